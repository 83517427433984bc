#include "platform/ui/Control.h"

#include <QFontDatabase>
#include <QWidget>

#include "platform/ui/Application.h"
#include "platform/ui/Text.h"

namespace ui {

void Control::Bind(const ControlTemplate& t, const Rect& pixels) {
  template_ = t;
  bound_ = true;
  SetRect(pixels);
  if (!t.text.empty() && Window::Text().empty()) Window::SetText(t.text);
  if (t.styles & style::kDisabled) Enable(false);
  if (t.styles & style::kHidden) Hide();
}

QWidget* Control::MakeWidget(QWidget* parentWidget) {
  QWidget* widget = MakeControlWidget(parentWidget);
  QFont font = parentWidget != nullptr ? parentWidget->font() : widget->font();
  if (template_.styles & style::kFixedPitch) {
    const int pointSize = font.pointSize();
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (pointSize > 0) font.setPointSize(pointSize);
  }
  widget->setFont(font);
  if (!tabStop_) {
    widget->setFocusPolicy(static_cast<Qt::FocusPolicy>(widget->focusPolicy() & ~Qt::TabFocus));
  }
  return widget;
}

void Control::SetText(const std::string& text) {
  Window::SetText(text);
  if (Widget() != nullptr) ApplyText(ToWidgetText(text));
}

std::string Control::Text() const {
  return Widget() != nullptr ? FromWidgetText(ReadText()) : Window::Text();
}

Param Control::NotifyParent(ui::Notify code, int item, Param value, std::string text) {
  if (Parent() == nullptr) return 0;
  return Parent()->SendNotify({id_, code, this, item, value, std::move(text)});
}

Param Control::DefaultMessage(const Message& m) {
  if (m.id == msg::kSetFocus) return NotifyParent(ui::Notify::SetFocus);
  if (m.id == msg::kKillFocus) return NotifyParent(ui::Notify::KillFocus);
  return 0;
}

void Control::RouteClick() {
  if (auto* app = Application::Instance()) app->RouteControlCommand(id_, Parent());
}

}  // namespace ui
