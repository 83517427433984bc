#include "platform/ui/TreeView.h"

#include <QPixmap>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "platform/ui/ImageList.h"
#include "platform/ui/ItemDragDetector.h"
#include "platform/ui/Text.h"

namespace ui {

namespace {
constexpr int kDataRole = Qt::UserRole + 1;
constexpr int kLabelRole = Qt::UserRole + 2;
constexpr int kImageRole = Qt::UserRole + 3;
constexpr int kSelectedImageRole = Qt::UserRole + 4;
}  // namespace

QWidget* TreeView::MakeControlWidget(QWidget* parentWidget) {
  auto* view = new QTreeWidget(parentWidget);
  view->setHeaderHidden(true);
  view->setColumnCount(1);
  view->setIconSize(QSize(16, 16));
  view->setEditTriggers(HasStyle(style::kEditLabels)
                            ? QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed
                            : QAbstractItemView::NoEditTriggers);
  QObject::connect(view, &QTreeWidget::currentItemChanged, view, [this](QTreeWidgetItem* current) {
    NotifyParent(ui::Notify::SelChange, -1, ToParam(current));
  });
  QObject::connect(view, &QTreeWidget::itemChanged, view,
                   [this](QTreeWidgetItem* item, int column) { LabelEdited(item, column); });
  QObject::connect(view, &QTreeWidget::itemDoubleClicked, view, [this](QTreeWidgetItem* item) {
    NotifyParent(ui::Notify::DoubleClick, -1, ToParam(item));
  });
  new ItemDragDetector(view, [this, view](QPoint press) {
    if (QTreeWidgetItem* item = view->itemAt(press))
      NotifyParent(ui::Notify::BeginDrag, -1, ToParam(item));
  });
  return view;
}

void TreeView::SetImageList(const ImageList* images) {
  images_ = images;
  auto* view = As<QTreeWidget>();
  if (view == nullptr) return;
  const QSignalBlocker block(view);
  for (QTreeWidgetItemIterator it(view); *it != nullptr; ++it) RefreshIcon(*it);
}

TreeItem TreeView::InsertItem(TreeItem parent, const std::string& text, int image, Param data,
                              int selectedImage) {
  auto* view = As<QTreeWidget>();
  if (view == nullptr) return {};
  const QSignalBlocker block(view);
  auto* node = parent ? new QTreeWidgetItem(parent.node) : new QTreeWidgetItem(view);
  node->setText(0, ToWidgetText(text));
  node->setData(0, kLabelRole, node->text(0));
  node->setData(0, kDataRole, QVariant::fromValue<qlonglong>(data));
  if (HasStyle(style::kEditLabels)) node->setFlags(node->flags() | Qt::ItemIsEditable);
  TreeItem item{node};
  SetItemImages(item, image, selectedImage);
  return item;
}

void TreeView::DeleteItem(TreeItem item) {
  if (!item || Widget() == nullptr) return;
  const QSignalBlocker block(As<QTreeWidget>());
  delete item.node;
}

void TreeView::DeleteAllItems() {
  if (auto* view = As<QTreeWidget>()) {
    const QSignalBlocker block(view);
    view->clear();
  }
}

TreeItem TreeView::FirstRoot() const {
  auto* view = As<QTreeWidget>();
  return {view != nullptr && view->topLevelItemCount() > 0 ? view->topLevelItem(0) : nullptr};
}

TreeItem TreeView::FirstChild(TreeItem item) const {
  if (!item) return FirstRoot();
  return {item.node->childCount() > 0 ? item.node->child(0) : nullptr};
}

TreeItem TreeView::NextSibling(TreeItem item) const {
  if (!item) return {};
  QTreeWidgetItem* parent = item.node->parent();
  if (parent == nullptr) {
    auto* view = As<QTreeWidget>();
    const int next = view->indexOfTopLevelItem(item.node) + 1;
    return {next < view->topLevelItemCount() ? view->topLevelItem(next) : nullptr};
  }
  const int next = parent->indexOfChild(item.node) + 1;
  return {next < parent->childCount() ? parent->child(next) : nullptr};
}

TreeItem TreeView::ParentOf(TreeItem item) const { return {item ? item.node->parent() : nullptr}; }

void TreeView::Expand(TreeItem item, bool expand) {
  if (item) item.node->setExpanded(expand);
}

bool TreeView::IsExpanded(TreeItem item) const { return item && item.node->isExpanded(); }

void TreeView::SetItemText(TreeItem item, const std::string& text) {
  if (!item) return;
  const QSignalBlocker block(As<QTreeWidget>());
  item.node->setText(0, ToWidgetText(text));
  item.node->setData(0, kLabelRole, item.node->text(0));
}

std::string TreeView::ItemText(TreeItem item) const {
  return item ? FromWidgetText(item.node->text(0)) : std::string();
}

void TreeView::SetItemImage(TreeItem item, int image) {
  if (item) SetItemImages(item, image, item.node->data(0, kSelectedImageRole).toInt());
}

void TreeView::SetItemImages(TreeItem item, int image, int selectedImage) {
  if (!item) return;
  const QSignalBlocker block(As<QTreeWidget>());
  item.node->setData(0, kImageRole, image);
  item.node->setData(0, kSelectedImageRole, selectedImage);
  RefreshIcon(item.node);
}

int TreeView::ItemImage(TreeItem item) const {
  return item ? item.node->data(0, kImageRole).toInt() : -1;
}

void TreeView::RefreshIcon(QTreeWidgetItem* node) const {
  const int image = node->data(0, kImageRole).toInt();
  const int selectedImage = node->data(0, kSelectedImageRole).toInt();
  QIcon icon = images_ != nullptr ? images_->Icon(image) : QIcon();
  if (images_ != nullptr && selectedImage >= 0) {
    const QImage selected = images_->Image(selectedImage);
    if (!selected.isNull()) icon.addPixmap(QPixmap::fromImage(selected), QIcon::Selected);
  }
  node->setIcon(0, icon);
}

Param TreeView::ItemData(TreeItem item) const {
  return item ? static_cast<Param>(item.node->data(0, kDataRole).toLongLong()) : 0;
}

TreeItem TreeView::Selected() const {
  auto* view = As<QTreeWidget>();
  return {view != nullptr ? view->currentItem() : nullptr};
}

void TreeView::Select(TreeItem item) {
  if (auto* view = As<QTreeWidget>()) view->setCurrentItem(item.node);
}

bool TreeView::OpensItem(const KeyStroke& key) const {
  return key.code == key::kReturn && key.down && key.modifiers == kNoModifier &&
         IsFocusOfItsWindow();
}

TreeItem TreeView::HitTest(Point p) const {
  auto* view = As<QTreeWidget>();
  if (view == nullptr) return {};
  return {view->itemAt(view->viewport()->mapFrom(view, QPoint(p.x, p.y)))};
}

QImage TreeView::CreateDragImage(TreeItem item, Point& upperLeft) const {
  auto* view = As<QTreeWidget>();
  if (view == nullptr || !item) return {};
  QRect r = view->visualItemRect(item.node);
  r.moveTopLeft(view->viewport()->mapTo(view, r.topLeft()));
  upperLeft = {r.left(), r.top()};
  return r.isEmpty() ? QImage() : view->grab(r).toImage();
}

void TreeView::LabelEdited(QTreeWidgetItem* item, int column) {
  if (column != 0) return;
  const QString before = item->data(0, kLabelRole).toString();
  const QString proposed = item->text(0);
  if (proposed == before) return;
  {
    const QSignalBlocker block(As<QTreeWidget>());
    item->setText(0, before);
  }
  if (NotifyParent(ui::Notify::EndLabelEdit, -1, ToParam(item), FromWidgetText(proposed)) != 0) {
    SetItemText({item}, FromWidgetText(proposed));
  }
}

}  // namespace ui
