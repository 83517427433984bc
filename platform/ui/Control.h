#pragma once

#include <QString>
#include <string>

#include "platform/ui/Resources.h"
#include "platform/ui/Window.h"

namespace ui {

// A control object bound to a control id of its parent dialog's template. The dialog binds the
// template entry (kind, text, rectangle, styles) before it creates the control; a window that
// places a control itself binds one by hand.
class Control : public Window {
 public:
  Control(Window* parent, int id) : Window(parent), id_(id) {}
  int Id() const { return id_; }

  void Bind(const ControlTemplate& t, const Rect& pixels);
  bool IsBound() const { return bound_; }
  const ControlTemplate& Template() const { return template_; }
  bool HasStyle(unsigned s) const { return (template_.styles & s) != 0; }

  void SetText(const std::string& text) override;
  std::string Text() const override;
  // A control that is no Tab stop still takes the focus when clicked. Set before Create.
  void SetTabStop(bool stop) { tabStop_ = stop; }

 protected:
  QWidget* MakeWidget(QWidget* parentWidget) final;
  virtual QWidget* MakeControlWidget(QWidget* parentWidget) = 0;
  virtual void ApplyText(const QString&) {}
  virtual QString ReadText() const { return {}; }
  void KeepState() override { Window::SetText(Text()); }
  // Focus changes go on to the parent as notifications.
  Param DefaultMessage(const Message& m) override;

  // Tells the parent window; returns its answer (0 when it does not listen).
  Param NotifyParent(ui::Notify code, int item = -1, Param value = 0, std::string text = {});
  // A click on a button-like control: its id goes as a command to its parent and on up to its
  // dialog, never to the windows beyond.
  void RouteClick();

  template <typename W>
  W* As() const {
    return static_cast<W*>(Widget());
  }

 private:
  int id_;
  bool bound_ = false;
  bool tabStop_ = true;
  ControlTemplate template_;
};

}  // namespace ui
