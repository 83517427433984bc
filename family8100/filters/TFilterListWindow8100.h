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
// holds its filter, whatever a removal message names. A read of the unit brings new filter objects:
// a row, and with it the user's selection, passes to the filter the unit holds in the same slot,
// and a read the unit broke off leaves the rows shown unknown until it is read whole.
class TFilterListWindow8100 : public ui::LayoutWindow {
 public:
  TFilterListWindow8100(ui::Window* parent, TChannelParent& hub);
  ~TFilterListWindow8100() override;

  ui::ListView& List() { return list_; }
  // Drops the rows of filters the unit no longer holds and lists those it holds anew, keeping the
  // selection; a single selected filter that is not the current one is announced.
  void FollowUnit();
  // The right-click menu of the editor's commands, its items decided from this window.
  std::unique_ptr<ui::Menu> ContextMenu();

 protected:
  void SetupWindow() override;

 private:
  // A row's filter, and what names it on the unit across a read that replaces the object.
  struct ListedFilter {
    familycommon::FilterHandle<TFilter> filter;
    int32_t slot;
    int32_t type;
  };

  void AddRow(TFilter& filter);
  // The filter the unit now holds in the place of a row whose filter went, not yet in a row.
  TFilter* SuccessorOf(const ListedFilter& gone) const;
  void ShowUnknown(int row);
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
  std::vector<ListedFilter> rowFilters_;
};

}  // namespace namespace8100
