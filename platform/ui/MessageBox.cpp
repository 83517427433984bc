#include "platform/ui/MessageBox.h"

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

int MessageBox(Window* owner, const std::string& text, std::optional<std::string> caption,
               unsigned style) {
  auto* app = Application::Instance();
  const std::string title = caption.value_or(app != nullptr ? app->Name() : std::string());
  if (auto scripted = InterceptPrompt({PromptKind::MessageBox, text, title, 0}))
    return scripted->result;
  QMessageBox box(IconOf(style), ToWidgetText(title), ToWidgetText(text), ButtonsOf(style),
                  owner != nullptr ? owner->Widget() : nullptr);
  if (app != nullptr) app->BeginPrompt();
  const int button = box.exec();
  if (app != nullptr) app->EndPrompt();
  return ResultOf(button);
}

}  // namespace ui
