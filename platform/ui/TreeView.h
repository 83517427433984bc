#pragma once

#include <QImage>

#include "platform/ui/Control.h"

class QTreeWidgetItem;

namespace ui {

class ImageList;

// A handle on a tree item; empty for "none" and for the invisible root.
struct TreeItem {
  QTreeWidgetItem* node = nullptr;
  explicit operator bool() const { return node != nullptr; }
  friend bool operator==(const TreeItem&, const TreeItem&) = default;
};

// A tree of labelled items with images and a number each; an item may show another image while it
// is selected. Notifications to the parent carry the item in Notification::value
// (TreeView::FromParam): SelChange, DoubleClick, BeginDrag, EndLabelEdit (accepted when the parent
// answers non-zero or relabels the item itself).
class TreeView : public Control {
 public:
  using Control::Control;

  void SetImageList(const ImageList* images);  // shared, not owned
  // Without a selected image the item shows `image` also while selected.
  TreeItem InsertItem(TreeItem parent, const std::string& text, int image = -1, Param data = 0,
                      int selectedImage = -1);
  void DeleteItem(TreeItem item);
  void DeleteAllItems();

  TreeItem FirstRoot() const;
  TreeItem FirstChild(TreeItem item) const;
  TreeItem NextSibling(TreeItem item) const;
  TreeItem ParentOf(TreeItem item) const;
  void Expand(TreeItem item, bool expand = true);
  bool IsExpanded(TreeItem item) const;

  void SetItemText(TreeItem item, const std::string& text);
  std::string ItemText(TreeItem item) const;
  void SetItemImage(TreeItem item, int image);
  void SetItemImages(TreeItem item, int image, int selectedImage);
  int ItemImage(TreeItem item) const;  // -1 for none
  Param ItemData(TreeItem item) const;
  TreeItem Selected() const;
  void Select(TreeItem item);
  TreeItem HitTest(Point p) const;
  QImage CreateDragImage(TreeItem item, Point& upperLeft) const;
  // Whether the key is Enter going down, without Shift, Control or Alt, while the tree holds its
  // window's focus: the key that opens the selected item, as a double click does.
  bool OpensItem(const KeyStroke& key) const;

  static TreeItem FromParam(Param value) { return {reinterpret_cast<QTreeWidgetItem*>(value)}; }

 protected:
  QWidget* MakeControlWidget(QWidget* parentWidget) override;

 private:
  static Param ToParam(QTreeWidgetItem* node) { return reinterpret_cast<Param>(node); }
  void LabelEdited(QTreeWidgetItem* item, int column);
  void RefreshIcon(QTreeWidgetItem* node) const;

  const ImageList* images_ = nullptr;
};

}  // namespace ui
