#include "platform/ui/MessageBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QWidget>

#include "platform/ui/Application.h"
#include "platform/ui/Message.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/Text.h"
#include "platform/ui/Window.h"

namespace ui {

namespace {

QMessageBox::Icon IconOf(unsigned style) {
  switch (style & mb::kIconMask) {
    case mb::kIconStop:
      return QMessageBox::Critical;
    case mb::kIconQuestion:
      return QMessageBox::Question;
    case mb::kIconExclamation:
      return QMessageBox::Warning;
    case mb::kIconInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

QMessageBox::StandardButtons ButtonsOf(unsigned style) {
  switch (style & mb::kButtonMask) {
    case mb::kOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case mb::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case mb::kYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    default:
      return QMessageBox::Ok;
  }
}

// A message box as wide as its caption needs beside the window manager's decorations: Qt's own
// sizing leaves room for a bare title only, and a window manager shortens what does not fit to
// a letter or two. An empty caption stays empty, rather than becoming the program's file name.
class CaptionedMessageBox : public QMessageBox {
 public:
  CaptionedMessageBox(Icon icon, const QString& caption, const QString& text,
                      StandardButtons buttons, QWidget* parent)
      : QMessageBox(icon, caption.isEmpty() ? QStringLiteral(" ") : caption, text, buttons,
                    parent) {}

 protected:
  void showEvent(QShowEvent* e) override {
    QMessageBox::showEvent(e);
    const int wanted = CaptionFitWidth(FromWidgetText(windowTitle()));
    if (width() < wanted) setFixedWidth(wanted);
  }
};

int ResultOf(int button) {
  switch (button) {
    case QMessageBox::Ok:
      return kIdOk;
    case QMessageBox::Yes:
      return kIdYes;
    case QMessageBox::No:
      return kIdNo;
    default:
      return kIdCancel;
  }
}

}  // namespace

int CaptionFitWidth(const std::string& caption) {
  // Title bars set their text in bold; beside it sit the window menu's icon and the minimise,
  // maximise and close buttons, each about a title bar's height square, and the borders.
  constexpr int kTitleBarButtons = 4;
  constexpr int kButtonPadding = 8;
  constexpr int kBorders = 24;
  QFont bold = QApplication::font();
  bold.setBold(true);
  const QFontMetrics metrics(bold);
  return metrics.horizontalAdvance(ToWidgetText(caption)) +
         kTitleBarButtons * (metrics.height() + kButtonPadding) + kBorders;
}

int MessageBox(Window* owner, const std::string& text, std::optional<std::string> caption,
               unsigned style) {
  auto* app = Application::Instance();
  const std::string title = caption.value_or(app != nullptr ? app->Name() : std::string());
  if (auto scripted = InterceptPrompt({PromptKind::MessageBox, text, title, 0}))
    return scripted->result;
  CaptionedMessageBox box(IconOf(style), ToWidgetText(title), ToWidgetText(text), ButtonsOf(style),
                          owner != nullptr ? owner->Widget() : nullptr);
  if (app != nullptr) app->BeginPrompt();
  const int button = box.exec();
  if (app != nullptr) app->EndPrompt();
  return ResultOf(button);
}

}  // namespace ui
