#pragma once

#include <memory>
#include <vector>

#include "platform/ui/Control.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/Resources.h"
#include "platform/ui/Window.h"

class QEventLoop;
class QFont;

namespace ui {

class PushButton;

// A dialog built from the template registered under its resource id. Control objects the dialog
// (or its subclass) constructs bind to their ids; every other template entry gets a plain control
// owned by the dialog. Run modally with Execute, or modeless with Create (the object outlives its
// window); a template with style::kChild makes a caption-less dialog embedded in its parent.
class Dialog : public Window {
 public:
  Dialog(Window* parent, int resourceId);
  ~Dialog() override;

  int ResourceId() const { return resourceId_; }
  // Creates, runs until EndDialog or CloseWindow, destroys; returns the result.
  int Execute();
  void EndDialog(int result);
  bool IsModal() const { return loop_ != nullptr; }
  int Result() const { return result_; }

  // Closing with OK first asks every edit's validator: the first invalid edit says why and takes
  // the focus, and the dialog stays open.
  void CloseWindow(int result = kIdCancel) override;

  // A dialog sized by what it holds rather than by its template; it keeps that size.
  void SetFixedClientSize(Size s);
  Control* ControlById(int id) const;
  const DialogUnits& Units() const { return *units_; }
  const DialogTemplate& Template() const { return template_; }

  // Enter presses the push button that has the focus, else runs the default button (else OK);
  // Escape runs Cancel. Override to act otherwise (on key-up, say, while swallowing key-down).
  bool PreProcessKey(const KeyStroke& key) override;
  // A dialog's children stand where its template or its owner puts them, never by a layout.
  bool PlaceChild(const Window&) override { return false; }
  // On the first idle call after input, buttons take the enabled state of their commands.
  bool IdleAction(long idleCount) override;

 protected:
  QWidget* MakeWidget(QWidget* parentWidget) override;
  void CreateChildren() override;
  // A modal dialog whose window goes (its parent closed, say) ends its loop.
  void WidgetDestroyed() override;

 private:
  int DefaultButtonId() const;
  PushButton* FocusedPushButton() const;
  bool FieldsValid();

  int resourceId_;
  DialogTemplate template_;
  std::unique_ptr<DialogUnits> units_;
  std::vector<std::unique_ptr<Control>> ownedControls_;
  // The control of each template entry, found or made at the first Create and kept for later ones.
  std::vector<Control*> entryControls_;
  QEventLoop* loop_ = nullptr;
  bool ended_ = false;
  int result_ = kIdCancel;
};

// A control of the right class for a template entry that no control object claimed.
std::unique_ptr<Control> MakeDefaultControl(Window* parent, const ControlTemplate& t);

}  // namespace ui
