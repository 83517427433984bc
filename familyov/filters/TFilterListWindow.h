#pragma once

#include <string>
#include <vector>

#include "controls/TDataWindow.h"
#include "familycommon/FilterLifetime.h"
#include "familycommon/FilterListLook.h"
#include "familyov/filters/FilterEditorPanes.h"
#include "familyov/filters/TFilter.h"
#include "platform/ui/LayoutWindow.h"
#include "platform/ui/ListView.h"

namespace namespaceOV {

// One channel's filters, one row each, sorted by frequency or by creation. It owns the editor's
// selection and carries out the commands on the selected filters; the rows follow the unit's
// records.
class TFilterListWindow : public ui::LayoutWindow, public TDataWindow {
 public:
  TFilterListWindow(ui::Window* parent, FilterEditorPanes& panes);
  ~TFilterListWindow() override;

  void Notify(NotifyRecord* record) override;
  // The Delete key deletes the selected filters, as the menus' Delete does.
  bool PreProcessKey(const ui::KeyStroke& key) override;
  ui::ListView& List() { return list_; }
  std::vector<TFilter*> Rows() const { return familycommon::HeldFilters(rows_); }
  std::vector<TFilter*> Selection() const { return familycommon::HeldFilters(selection_); }

  bool HasRows() const { return !rows_.empty(); }
  bool HasSelection() const { return !selection_.empty(); }
  // Unlink: every selected filter is in a chain. Copy and move: none is.
  bool SelectionAllLinked() const;
  bool SelectionNoneLinked() const;

  void CmBypass(bool bypass);
  void CmDelete();
  void CmUnlink();
  void CmCopyToChannel(int channel);
  void CmMoveToChannel(int channel);
  void CmSelectAll();
  void CmSelectZeroDb();
  void CmPrint();
  void ColumnClicked(int column);
  void PopupMenu();

 protected:
  void SetupWindow() override;

 private:
  void FillRows();
  void InsertRow(TFilter* filter);
  void UpdateRow(TFilter* filter);
  void DeleteRow(TFilter* filter);
  void ShowRow(int item, TFilter& filter);
  int RowOf(const TFilter* filter) const;
  // Creation or frequency, as the user chose to sort.
  int SortKey(const TFilter& filter) const;
  bool RowsInOrder() const;
  void SelectionChanged();
  std::vector<TFilter*> SelectedRows() const;
  void KeepSelection(const std::vector<TFilter*>& selected);
  void SelectFilters(const std::vector<TFilter*>& filters);
  void NotifyRemoved(NotifyRecord& record);
  // After a multi-step change that stopped part way.
  void ResyncAfterFailure();

  FilterEditorPanes& panes_;
  IQDeviceOrdavinex& device_;
  ui::ListView list_;
  // In the list's item order.
  std::vector<familycommon::FilterHandle<TFilter>> rows_;
  std::vector<familycommon::FilterHandle<TFilter>> selection_;
  std::vector<int> selectedNumbers_;  // of selection_, which outlive a memory read's new objects
  familycommon::FilterListLook look_;
  bool updating_ = false;
  bool sortByCreation_ = false;
};

// The row texts of a filter: type, frequency, parameters and linked channels' labels; the values
// blank while the unit's filters may not be what the program holds.
struct FilterRowTexts {
  std::string type;
  std::string frequency;
  std::string param1;
  std::string param2;
  std::string links;
};
FilterRowTexts RowTexts(TFilter& filter, const IQDeviceOrdavinex& device);
// 1 bypassed, plus 2 in a link chain; 0 for neither.
int RowStateIcon(const TFilter& filter);

}  // namespace namespaceOV
