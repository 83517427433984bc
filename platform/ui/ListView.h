#pragma once

#include <QImage>

#include "platform/ui/Control.h"

class QTreeWidgetItem;

namespace ui {

class ImageList;

// A list of items with small icons, or a report with columns (style::kReport). Items carry a
// number each. Notifications to the parent: ItemChanged (value 1 when the item became selected,
// 0 when it lost the selection), DoubleClick, BeginDrag, and EndLabelEdit with the new text (the
// label changes when the parent answers non-zero or sets the text itself).
class ListView : public Control {
 public:
  using Control::Control;

  // Image lists are shared, not owned; they must outlive the view.
  void SetImageList(const ImageList* images);
  void SetStateImageList(const ImageList* images);
  // Report mode: columns are added left to right.
  void AddColumn(const std::string& title, int widthPixels);

  int InsertItem(int index, const std::string& text, int image = -1, Param data = 0);
  void DeleteItem(int item);
  void DeleteAllItems();
  int Count() const;

  void SetItemText(int item, int column, const std::string& text);
  std::string ItemText(int item, int column = 0) const;
  void SetItemImage(int item, int image);
  void SetStateImage(int item, int stateImage);  // -1: none
  int StateImage(int item) const;
  void SetItemData(int item, Param data);
  Param ItemData(int item) const;

  int SelectedItem() const;  // -1: none
  void SelectItem(int item);
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

  const ImageList* images_ = nullptr;
  const ImageList* stateImages_ = nullptr;
  int lastSelected_ = -1;
  int columns_ = 0;
};

}  // namespace ui
