#include "platform/ui/Static.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>

namespace ui {

namespace {

// Texts, pictures and frames are not for the mouse: a press on one reaches the window behind it,
// so that a click on a dialog's background is the dialog's even where a frame covers it.
template <typename W>
W* PassingTheMouse(W* widget) {
  widget->setAttribute(Qt::WA_TransparentForMouseEvents);
  return widget;
}

}  // namespace

QWidget* StaticText::MakeControlWidget(QWidget* parentWidget) {
  auto* label = PassingTheMouse(new QLabel(parentWidget));
  Qt::Alignment align = Qt::AlignLeft;
  if (HasStyle(style::kCenter)) align = Qt::AlignHCenter;
  if (HasStyle(style::kRight)) align = Qt::AlignRight;
  label->setAlignment(align | Qt::AlignTop);
  label->setWordWrap(true);
  label->setTextFormat(Qt::PlainText);
  if (HasStyle(style::kSunken)) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  return label;
}

void StaticText::ApplyText(const QString& text) { As<QLabel>()->setText(text); }

QString StaticText::ReadText() const { return As<QLabel>()->text(); }

QWidget* Picture::MakeControlWidget(QWidget* parentWidget) {
  auto* label = PassingTheMouse(new QLabel(parentWidget));
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setPixmap(QPixmap::fromImage(Resources::Image(Template().imageId)));
  return label;
}

void Picture::SetImage(int imageId) { SetImage(Resources::Image(imageId)); }

void Picture::SetImage(const QImage& image) {
  if (Widget() != nullptr) As<QLabel>()->setPixmap(QPixmap::fromImage(image));
}

QWidget* Line::MakeControlWidget(QWidget* parentWidget) {
  auto* frame = PassingTheMouse(new QFrame(parentWidget));
  const DluBox& b = Template().box;
  frame->setFrameShape(b.height <= 2 ? QFrame::HLine : b.width <= 2 ? QFrame::VLine : QFrame::Box);
  frame->setFrameShadow(QFrame::Sunken);
  return frame;
}

QWidget* GroupBox::MakeControlWidget(QWidget* parentWidget) {
  auto* box = PassingTheMouse(new QGroupBox(parentWidget));
  box->lower();
  return box;
}

void GroupBox::ApplyText(const QString& text) { As<QGroupBox>()->setTitle(text); }

QString GroupBox::ReadText() const { return As<QGroupBox>()->title(); }

}  // namespace ui
