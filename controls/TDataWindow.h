#pragma once

#include "controls/NotifyRecord.h"

namespace ui {
class Window;
}

// Mixed into every window that shows a unit's data, next to its window class (a dialog, a frame, a
// plain window). It passes notifications down the window tree and knows two data windows to tell
// about its own changes: the root of the unit's tree (which broadcasts to every window) and its
// local owner. Neither link is owned; linked windows are ancestors and outlive this one.
//
// Window bases that a class can combine (a unit's child window that is also a window of panes)
// derive from it virtually, so that the class holds one pair of links; the most derived class then
// starts unlinked unless it passes its parent here, and links itself once built.
class TDataWindow {
 public:
  // Starts with the parent's view of the tree when the parent is a data window, else unlinked.
  explicit TDataWindow(ui::Window* parent = nullptr);
  virtual ~TDataWindow() = default;
  TDataWindow(const TDataWindow&) = delete;
  TDataWindow& operator=(const TDataWindow&) = delete;

  // Handles the record, then hands it to each data-window child in creation order. An override
  // does its own work first and then calls this.
  virtual void Notify(NotifyRecord* record);
  // Set the root (1) or local (2) link here and in the whole subtree; a window that is not a data
  // window sets a null link.
  virtual void SetLink1(ui::Window* root);
  virtual void SetLink2(ui::Window* local);

  TDataWindow* RootLink() const { return root_; }
  TDataWindow* LocalLink() const { return local_; }
  // To the whole unit, or to the owning window only; nobody to tell when the link is null.
  void NotifyRoot(NotifyRecord* record) const;
  void NotifyLocal(NotifyRecord* record) const;

 private:
  template <typename F>
  void ForEachDataChild(F&& f) const;

  TDataWindow* local_ = nullptr;
  TDataWindow* root_ = nullptr;
};
