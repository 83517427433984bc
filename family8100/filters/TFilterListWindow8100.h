#pragma once

#include <memory>
#include <vector>

#include "familycommon/FilterLifetime.h"
#include "familycommon/FilterListLook.h"
#include "platform/ui/LayoutWindow.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Menu.h"

namespace namespace8100 {

class TChannelParent;
class TFilter;

// The bank's filters, one row each (type, frequency and two parameters, a mark when bypassed),
// sorted by their text. The rows selected here are the hub's selection, on which the editor's
// commands act; a double-click toggles the bypass of a single selected filter, a right click
// offers the editor's commands. Rows follow the bank messages; a row goes when the unit no longer
// holds its filter, whatever a removal message names.
class TFilterListWindow8100 : public ui::LayoutWindow {
 public:
  TFilterListWindow8100(ui::Window* parent, TChannelParent& hub);
  ~TFilterListWindow8100() override;

  ui::ListView& List() { return list_; }
  // Drops the rows of filters the unit no longer holds and lists those it holds anew.
  void FollowUnit();
  // The right-click menu of the editor's commands, its items decided from this window.
  std::unique_ptr<ui::Menu> ContextMenu();

 protected:
  void SetupWindow() override;

 private:
  void FillRows();
  void AddRow(TFilter& filter);
  // Whether the filter is one of this bank's rows.
  bool Listed(const TFilter& filter) const;
  void ShowRow(int row, const TFilter& filter);
  int RowOf(const TFilter* filter) const;
  void RebuildSelection();
  void EvSelectionChanged();
  void EvDoubleClick();
  void EvRightClick();
  TFilter* FilterAt(int row) const;

  TChannelParent& hub_;
  ui::ListView list_;
  familycommon::FilterListLook look_;
  // Set while the window deletes rows itself, whose selection changes are not the user's.
  bool updating_ = false;
  // The rows' filters; a row's item data is its index here (the list sorts its rows).
  std::vector<familycommon::FilterHandle<TFilter>> rowFilters_;
};

}  // namespace namespace8100
