#pragma once

#include <memory>
#include <vector>

#include "familyov/channels/DelayPanes.h"
#include "familyov/channels/NamePanes.h"
#include "familyov/unit/TGroupWindow.h"
#include "familyov/unit/TOVWindow.h"
#include "platform/ui/LayoutWindow.h"

namespace namespaceOV {

// The delay panes of one side in a row (eight outputs in two rows of four), with the display
// unit's pane at the left.
class TDelayWindow : public OVChild<ui::LayoutWindow> {
 public:
  ~TDelayWindow() override;

  void Notify(NotifyRecord* record) override { TDataWindow::Notify(record); }
  int PaneCount() const { return static_cast<int>(panes_.size()); }
  TDelayDialog& Pane(int index) { return *panes_.at(static_cast<std::size_t>(index)); }
  TDelayUnitsDialog& Units() { return units_; }

 protected:
  TDelayWindow(TEditOVWindow& editWindow, const std::string& title, bool outputs);
  void SetupWindow() override;

 private:
  bool outputs_;
  TGroupWindow group_;
  TDelayUnitsDialog units_;
  std::vector<std::unique_ptr<TDelayDialog>> panes_;
};

class TInputDelayWindow : public TDelayWindow {
 public:
  explicit TInputDelayWindow(TEditOVWindow& editWindow);
};

class TOutputDelayWindow : public TDelayWindow {
 public:
  explicit TOutputDelayWindow(TEditOVWindow& editWindow);
};

// The name panes of one side, one under the other.
class TNameWindow : public OVChild<ui::LayoutWindow> {
 public:
  ~TNameWindow() override;

  void Notify(NotifyRecord* record) override { TDataWindow::Notify(record); }
  int PaneCount() const { return static_cast<int>(panes_.size()); }
  TNameDialog& Pane(int index) { return *panes_.at(static_cast<std::size_t>(index)); }

 protected:
  TNameWindow(TEditOVWindow& editWindow, bool outputs);
  void SetupWindow() override;

 private:
  TGroupWindow group_;
  std::vector<std::unique_ptr<TNameDialog>> panes_;
};

class TInputNameWindow : public TNameWindow {
 public:
  explicit TInputNameWindow(TEditOVWindow& editWindow) : TNameWindow(editWindow, false) {}
};

class TOutputNameWindow : public TNameWindow {
 public:
  explicit TOutputNameWindow(TEditOVWindow& editWindow) : TNameWindow(editWindow, true) {}
};

}  // namespace namespaceOV
