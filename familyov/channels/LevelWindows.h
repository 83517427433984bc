#pragma once

#include <memory>
#include <vector>

#include "familyov/channels/GroupPanes.h"
#include "familyov/channels/LevelPanes.h"
#include "familyov/unit/TGroupWindow.h"
#include "familyov/unit/TOVWindow.h"
#include "platform/ui/Frame.h"

namespace namespaceOV {

// The level panes of one side of the unit in a row, with the side's groups beside them: a
// "Gang" pane under a two-channel side, else a tree of the groups at the left and "&Groups..."
// in the menu. The output side starts with the master level.
class TLevelWindow : public OVChild<ui::Frame> {
 public:
  ~TLevelWindow() override;

  // The record goes to the panes; the group extremes follow changes of groups and levels.
  void Notify(NotifyRecord* record) override;
  int PaneCount() const { return static_cast<int>(panes_.size()); }
  TLevelDialog& Pane(int index) { return *panes_.at(static_cast<std::size_t>(index)); }
  TMasterLevelDialog* Master() { return master_.get(); }
  TLinkDialog* Gang() { return gang_.get(); }
  TGroupTreeWindow* GroupTree() { return tree_.get(); }
  TGroupWindow& Panes() { return group_; }

 protected:
  TLevelWindow(TEditOVWindow& editWindow, const std::string& title, bool outputs);
  void SetupWindow() override;

 private:
  void CmGroups();

  bool outputs_;
  int first_;
  int count_;
  TGroupWindow group_;
  std::unique_ptr<TMasterLevelDialog> master_;
  std::vector<std::unique_ptr<TLevelDialog>> panes_;
  std::unique_ptr<TLinkDialog> gang_;
  std::unique_ptr<TGroupTreeWindow> tree_;
};

class TInputLevelWindow : public TLevelWindow {
 public:
  explicit TInputLevelWindow(TEditOVWindow& editWindow);
};

class TOutputLevelWindow : public TLevelWindow {
 public:
  explicit TOutputLevelWindow(TEditOVWindow& editWindow);
};

}  // namespace namespaceOV
