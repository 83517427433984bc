#pragma once

#include <QImage>
#include <vector>

#include "platform/ui/Control.h"

class QTreeWidgetItem;

namespace ui {

class ImageList;

// A list of items with small icons, or a report with columns (style::kReport), kept in ascending
// order of their text with style::kSort. Items carry a number each. Notifications to the parent:
// ItemChanged for each item whose selection changed (value 1 when it became selected, 0 when it
// lost the selection; losses first), DoubleClick, RightClick, ColumnClick, BeginDrag, and
// EndLabelEdit with the new text (the label changes when the parent answers non-zero or sets the
// text itself).
class ListView : public Control {
 public:
  using Control::Control;

  // Image lists are shared, not owned; they must outlive the view.
  void SetImageList(const ImageList* images);
  void SetStateImageList(const ImageList* images);
  // However many items there are, an empty area below the last one stays in reach (by scrolling)
  // for a click, a drop or a paste on "no item". Set before the view is created.
  void KeepRoomBelowItems() { roomBelowItems_ = true; }
  // Report mode: columns are added left to right.
  void AddColumn(const std::string& title, int widthPixels);
  // A line shown in the middle of the list while it holds no items: how to fill it.
  void SetEmptyHint(const std::string& hint);
  // The columns' widths together (the last one stretches to the list's width), and the width
  // that shows every column with the frame and a vertical scroll bar.
  int ColumnsWidth() const;
  int FullWidth() const;

  int InsertItem(int index, const std::string& text, int image = -1, Param data = 0);
  void DeleteItem(int item);
  void DeleteAllItems();
  int Count() const;

  void SetItemText(int item, int column, const std::string& text);
  std::string ItemText(int item, int column = 0) const;
  void SetItemImage(int item, int image);
  int ItemImage(int item) const;                 // -1: no such item
  void SetStateImage(int item, int stateImage);  // -1: none
  int StateImage(int item) const;
  void SetItemData(int item, Param data);
  Param ItemData(int item) const;

  int SelectedItem() const;  // the first selected item, -1: none
  // Every selected item, in index order (lists without style::kSingleSelection select several).
  std::vector<int> SelectedItems() const;
  bool IsSelected(int item) const;
  // Selects the item alone and scrolls it into view; -1 clears the selection.
  void SelectItem(int item);
  // Adds the item to the selection or takes it out, leaving the other items as they are.
  void SetSelected(int item, bool selected);
  // The item under a point in the control's client coordinates, or -1.
  int HitTest(Point p) const;
  Rect ItemRect(int item) const;
  void EditLabel(int item);
  // A picture of the item for dragging, and its upper-left corner in client coordinates.
  QImage CreateDragImage(int item, Point& upperLeft) const;

 protected:
  QWidget* MakeControlWidget(QWidget* parentWidget) override;

 private:
  QTreeWidgetItem* Item(int index) const;
  void RefreshIcon(QTreeWidgetItem* item) const;
  void LabelEdited(QTreeWidgetItem* item, int column);
  int SortedPosition(const QString& text) const;
  void ReportSelectionChanges();
  void RestoreReportedSelection();

  const ImageList* images_ = nullptr;
  const ImageList* stateImages_ = nullptr;
  int columns_ = 0;
  bool roomBelowItems_ = false;
};

}  // namespace ui
