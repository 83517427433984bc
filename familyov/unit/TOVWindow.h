#pragma once

#include <string>
#include <utility>

#include "controls/TDataWindow.h"
#include "platform/ui/Window.h"

namespace namespaceOV {

class IQDeviceOrdavinex;
class TEditOVWindow;

// The base of every window that the unit edit window opens from its tree.
//
// Contract for a derived window:
// - Derive through OVChild<WindowClass> (below), which puts the window class first and this
//   mixin second, so that the window exists when this constructor runs.
// - The caption is the title given here, "--" and the unit's display name.
// - Records sent with NotifyRoot reach the edit window, which acts on them and hands every record
//   to every open window of the unit; records sent with NotifyLocal reach this window only. A
//   window that shows unit data overrides Notify and then calls TDataWindow::Notify, which hands
//   the record to its panes.
// - The edit window creates the window through its factory (ChildWindowFactory.h), owns it, sets
//   `kind` to the node that opened it and creates it. When the user closes it, NotifyClosed tells
//   the edit window, which remembers its rectangle and frees its slot; never delete the object
//   yourself.
// - Bus work in a handler runs through GuardedUnitCall (OVGuard.h).
class TOVWindow : public virtual TDataWindow {
 public:
  TOVWindow(TEditOVWindow& editWindow, ui::Window& self, const std::string& title);
  ~TOVWindow() override = default;

  // Tells the edit window that the window goes, then destroys it.
  virtual void NotifyClosed(int result);
  virtual void SetTitle(const std::string& title);
  // The caption with the unit's display name as given, read by the caller.
  void ShowUnitName(const std::string& displayName);

  TEditOVWindow& EditWindow() const { return *editWindow_; }
  IQDeviceOrdavinex& Device() const { return *device_; }
  ui::Window& Self() const { return *self_; }

  int kind = -1;  // the node id of the tree node that opened the window

 protected:
  // Local records to this window, unit-wide ones to the edit window; run once the whole object
  // is built, so that the links can find it as a data window.
  void LinkToEditWindow();
  // The icon of the memory and clock-event windows goes by the unit's output count alone (the
  // six-output configuration of the four-input model too); a count without one of the three
  // pictures leaves the window without an icon of its own.
  void SetOutputCountIcon();

 private:
  TEditOVWindow* editWindow_;
  IQDeviceOrdavinex* device_;
  ui::Window* self_;
  std::string title_;
};

// A window class of the layer (a frame, a dialog, a plain window) made into a child window of
// the unit: WindowClass's constructor takes `args`.
template <typename WindowClass>
class OVChild : public WindowClass, public TOVWindow {
 public:
  template <typename... Args>
  OVChild(TEditOVWindow& editWindow, const std::string& title, Args&&... args)
      : WindowClass(std::forward<Args>(args)...), TOVWindow(editWindow, *this, title) {
    LinkToEditWindow();
  }

  // The user's close goes through NotifyClosed, so the edit window hears of it.
  void CloseWindow(int result) override {
    if (this->IsCreated() && this->CanClose()) NotifyClosed(result);
  }
};

}  // namespace namespaceOV
