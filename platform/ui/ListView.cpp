#include "platform/ui/ListView.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>

#include "platform/ui/ImageList.h"
#include "platform/ui/ItemDragDetector.h"
#include "platform/ui/RightClickDetector.h"
#include "platform/ui/Text.h"

namespace ui {

namespace {
constexpr int kDataRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;
constexpr int kStateRole = Qt::UserRole + 3;
constexpr int kLabelRole = Qt::UserRole + 4;  // the accepted label, to undo a refused edit
// Whether the parent was last told the item is selected.
constexpr int kReportedSelectedRole = Qt::UserRole + 5;

// A list that says how to fill it while it is empty: a blank white box looks broken.
class HintedTreeWidget : public QTreeWidget {
 public:
  using QTreeWidget::QTreeWidget;
  void SetHint(const QString& hint) {
    hint_ = hint;
    viewport()->update();
  }

 protected:
  void paintEvent(QPaintEvent* e) override {
    QTreeWidget::paintEvent(e);
    if (hint_.isEmpty() || topLevelItemCount() != 0) return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    painter.drawText(viewport()->rect().adjusted(kHintMargin, kHintMargin, -kHintMargin, 0),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, hint_);
  }

 private:
  static constexpr int kHintMargin = 8;
  QString hint_;
};

// A tree widget whose scrolling reaches past its last item by at least `room` pixels.
class RoomBelowItemsTree : public HintedTreeWidget {
 public:
  RoomBelowItemsTree(QWidget* parent, int room) : HintedTreeWidget(parent), room_(room) {
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  }

 protected:
  void updateGeometries() override {
    // The tree's own range ends at the last item and would pull a view scrolled into the room
    // back up to it.
    const int scrolled = verticalScrollBar()->value();
    HintedTreeWidget::updateGeometries();
    const int count = topLevelItemCount();
    if (count == 0) return;
    const QRect last = visualItemRect(topLevelItem(count - 1));
    if (last.isEmpty()) return;
    const int contentHeight = last.bottom() + 1 + verticalOffset();
    const int needed = contentHeight + room_ - viewport()->height();
    if (needed <= verticalScrollBar()->maximum()) return;
    verticalScrollBar()->setMaximum(needed);
    verticalScrollBar()->setValue(scrolled);
  }

 private:
  int room_;
};

QImage Composite(const QImage& state, const QImage& image) {
  if (state.isNull()) return image;
  if (image.isNull()) return state;
  QImage both(state.width() + image.width(), std::max(state.height(), image.height()),
              QImage::Format_ARGB32_Premultiplied);
  both.fill(Qt::transparent);
  QPainter p(&both);
  p.drawImage(0, 0, state);
  p.drawImage(state.width(), 0, image);
  return both;
}
}  // namespace

QWidget* ListView::MakeControlWidget(QWidget* parentWidget) {
  // Two rows' height: room enough to aim a drop at.
  const int room = 2 * QFontMetrics(parentWidget->font()).height();
  HintedTreeWidget* view = roomBelowItems_ ? new RoomBelowItemsTree(parentWidget, room)
                                           : new HintedTreeWidget(parentWidget);
  view->setRootIsDecorated(false);
  view->setUniformRowHeights(true);
  view->setColumnCount(1);
  view->setHeaderHidden(!HasStyle(style::kReport) || HasStyle(style::kNoHeader));
  view->setSelectionMode(HasStyle(style::kSingleSelection) ? QAbstractItemView::SingleSelection
                                                           : QAbstractItemView::ExtendedSelection);
  view->setEditTriggers(HasStyle(style::kEditLabels)
                            ? QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed
                            : QAbstractItemView::NoEditTriggers);
  view->setIconSize(QSize(16, 16));
  QObject::connect(view, &QTreeWidget::itemSelectionChanged, view,
                   [this] { ReportSelectionChanges(); });
  QObject::connect(view, &QTreeWidget::itemDoubleClicked, view,
                   [this, view](QTreeWidgetItem* item) {
                     NotifyParent(ui::Notify::DoubleClick, view->indexOfTopLevelItem(item));
                   });
  QObject::connect(view, &QTreeWidget::itemChanged, view,
                   [this](QTreeWidgetItem* item, int column) { LabelEdited(item, column); });
  new ItemDragDetector(view, [this, view](QPoint press) {
    if (QTreeWidgetItem* item = view->itemAt(press)) {
      NotifyParent(ui::Notify::BeginDrag, view->indexOfTopLevelItem(item));
    }
  });
  view->header()->setSectionsClickable(true);
  QObject::connect(view->header(), &QHeaderView::sectionClicked, view,
                   [this](int column) { NotifyParent(ui::Notify::ColumnClick, -1, column); });
  new RightClickDetector(view->viewport(), [this, view](QPoint at) {
    const QPoint inView = view->viewport()->mapTo(view, at);
    NotifyParent(ui::Notify::RightClick, HitTest({inView.x(), inView.y()}),
                 PackPoint({inView.x(), inView.y()}));
  });
  return view;
}

QTreeWidgetItem* ListView::Item(int index) const {
  auto* view = As<QTreeWidget>();
  if (view == nullptr || index < 0 || index >= view->topLevelItemCount()) return nullptr;
  return view->topLevelItem(index);
}

void ListView::SetImageList(const ImageList* images) {
  images_ = images;
  if (auto* view = As<QTreeWidget>()) {
    for (int i = 0; i < view->topLevelItemCount(); ++i) RefreshIcon(view->topLevelItem(i));
  }
}

void ListView::SetStateImageList(const ImageList* images) {
  stateImages_ = images;
  SetImageList(images_);
}

void ListView::AddColumn(const std::string& title, int widthPixels) {
  auto* view = As<QTreeWidget>();
  if (view == nullptr) return;
  const int column = columns_++;
  view->setColumnCount(std::max(columns_, 1));
  view->headerItem()->setText(column, ToWidgetText(title));
  view->setColumnWidth(column, widthPixels);
}

void ListView::SetEmptyHint(const std::string& hint) {
  if (auto* view = dynamic_cast<HintedTreeWidget*>(Widget())) view->SetHint(ToWidgetText(hint));
}

int ListView::ColumnsWidth() const {
  const auto* view = As<QTreeWidget>();
  if (view == nullptr) return 0;
  int width = 0;
  for (int column = 0; column < columns_; ++column) width += view->columnWidth(column);
  return width;
}

int ListView::FullWidth() const {
  auto* view = As<QTreeWidget>();
  if (view == nullptr) return 0;
  // The frame takes its width from the style when first polished, which showing does.
  view->ensurePolished();
  return ColumnsWidth() + 2 * view->frameWidth() +
         view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

int ListView::InsertItem(int index, const std::string& text, int image, Param data) {
  auto* view = As<QTreeWidget>();
  if (view == nullptr) return -1;
  const QSignalBlocker block(view);
  auto* item = new QTreeWidgetItem;
  item->setText(0, ToWidgetText(text));
  item->setData(0, kLabelRole, item->text(0));
  item->setData(0, kDataRole, QVariant::fromValue<qlonglong>(data));
  item->setData(0, kImageRole, image);
  item->setData(0, kStateRole, -1);
  item->setData(0, kReportedSelectedRole, false);
  if (HasStyle(style::kEditLabels)) item->setFlags(item->flags() | Qt::ItemIsEditable);
  const int at = HasStyle(style::kSort) ? SortedPosition(item->text(0))
                                        : std::clamp(index, 0, view->topLevelItemCount());
  view->insertTopLevelItem(at, item);
  RefreshIcon(item);
  return at;
}

void ListView::DeleteItem(int item) {
  QTreeWidgetItem* node = Item(item);
  if (node == nullptr) return;
  const QSignalBlocker block(As<QTreeWidget>());
  delete node;
  // The selection does not jump to a neighbour: the next command must not act on an item the
  // user did not pick.
  RestoreReportedSelection();
}

void ListView::DeleteAllItems() {
  if (auto* view = As<QTreeWidget>()) {
    const QSignalBlocker block(view);
    view->clear();
  }
}

int ListView::Count() const {
  return Widget() != nullptr ? As<QTreeWidget>()->topLevelItemCount() : 0;
}

void ListView::SetItemText(int item, int column, const std::string& text) {
  QTreeWidgetItem* node = Item(item);
  if (node == nullptr || column < 0 || column >= As<QTreeWidget>()->columnCount()) return;
  const QSignalBlocker block(As<QTreeWidget>());
  node->setText(column, ToWidgetText(text));
  if (column == 0) node->setData(0, kLabelRole, node->text(0));
}

std::string ListView::ItemText(int item, int column) const {
  QTreeWidgetItem* node = Item(item);
  return node != nullptr ? FromWidgetText(node->text(column)) : std::string();
}

void ListView::SetItemImage(int item, int image) {
  if (QTreeWidgetItem* node = Item(item)) {
    const QSignalBlocker block(As<QTreeWidget>());
    node->setData(0, kImageRole, image);
    RefreshIcon(node);
  }
}

int ListView::ItemImage(int item) const {
  QTreeWidgetItem* node = Item(item);
  return node != nullptr ? node->data(0, kImageRole).toInt() : -1;
}

void ListView::SetStateImage(int item, int stateImage) {
  if (QTreeWidgetItem* node = Item(item)) {
    const QSignalBlocker block(As<QTreeWidget>());
    node->setData(0, kStateRole, stateImage);
    RefreshIcon(node);
  }
}

int ListView::StateImage(int item) const {
  QTreeWidgetItem* node = Item(item);
  return node != nullptr ? node->data(0, kStateRole).toInt() : -1;
}

void ListView::RefreshIcon(QTreeWidgetItem* item) const {
  const QImage image =
      images_ != nullptr ? images_->Image(item->data(0, kImageRole).toInt()) : QImage();
  const QImage state =
      stateImages_ != nullptr ? stateImages_->Image(item->data(0, kStateRole).toInt()) : QImage();
  const QImage both = Composite(state, image);
  item->setIcon(0, both.isNull() ? QIcon() : QIcon(QPixmap::fromImage(both)));
}

void ListView::SetItemData(int item, Param data) {
  if (QTreeWidgetItem* node = Item(item))
    node->setData(0, kDataRole, QVariant::fromValue<qlonglong>(data));
}

Param ListView::ItemData(int item) const {
  QTreeWidgetItem* node = Item(item);
  return node != nullptr ? static_cast<Param>(node->data(0, kDataRole).toLongLong()) : 0;
}

int ListView::SelectedItem() const {
  const std::vector<int> selected = SelectedItems();
  return selected.empty() ? -1 : selected.front();
}

std::vector<int> ListView::SelectedItems() const {
  std::vector<int> selected;
  for (int i = 0; i < Count(); ++i) {
    if (Item(i)->isSelected()) selected.push_back(i);
  }
  return selected;
}

bool ListView::IsSelected(int item) const {
  QTreeWidgetItem* node = Item(item);
  return node != nullptr && node->isSelected();
}

void ListView::SelectItem(int item) {
  auto* view = As<QTreeWidget>();
  if (view == nullptr) return;
  QTreeWidgetItem* node = Item(item);
  if (node == nullptr) {
    view->clearSelection();
    return;
  }
  view->setCurrentItem(node, 0, QItemSelectionModel::ClearAndSelect);
  view->scrollToItem(node);
}

void ListView::SetSelected(int item, bool selected) {
  if (QTreeWidgetItem* node = Item(item)) node->setSelected(selected);
}

int ListView::HitTest(Point p) const {
  auto* view = As<QTreeWidget>();
  if (view == nullptr) return -1;
  QTreeWidgetItem* node = view->itemAt(view->viewport()->mapFrom(view, QPoint(p.x, p.y)));
  return node != nullptr ? view->indexOfTopLevelItem(node) : -1;
}

Rect ListView::ItemRect(int item) const {
  QTreeWidgetItem* node = Item(item);
  if (node == nullptr) return {};
  auto* view = As<QTreeWidget>();
  QRect r = view->visualItemRect(node);
  r.moveTopLeft(view->viewport()->mapTo(view, r.topLeft()));
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void ListView::EditLabel(int item) {
  if (QTreeWidgetItem* node = Item(item)) As<QTreeWidget>()->editItem(node, 0);
}

QImage ListView::CreateDragImage(int item, Point& upperLeft) const {
  const Rect r = ItemRect(item);
  upperLeft = {r.left, r.top};
  if (r.IsEmpty()) return {};
  return Widget()->grab(QRect(r.left, r.top, r.Width(), r.Height())).toImage();
}

int ListView::SortedPosition(const QString& text) const {
  // After the items that sort before it or equal to it, as a sorted list control inserts.
  int at = 0;
  while (at < Count() && Item(at)->text(0).compare(text, Qt::CaseInsensitive) <= 0) ++at;
  return at;
}

void ListView::ReportSelectionChanges() {
  std::vector<int> lost;
  std::vector<int> gained;
  {
    const QSignalBlocker block(As<QTreeWidget>());  // the bookkeeping is no label edit
    for (int i = 0; i < Count(); ++i) {
      QTreeWidgetItem* node = Item(i);
      const bool selected = node->isSelected();
      if (selected == node->data(0, kReportedSelectedRole).toBool()) continue;
      node->setData(0, kReportedSelectedRole, selected);
      (selected ? gained : lost).push_back(i);
    }
  }
  for (int i : lost) NotifyParent(ui::Notify::ItemChanged, i, 0);
  for (int i : gained) NotifyParent(ui::Notify::ItemChanged, i, 1);
}

void ListView::RestoreReportedSelection() {
  auto* view = As<QTreeWidget>();
  const QSignalBlocker block(view);
  for (int i = 0; i < Count(); ++i) {
    QTreeWidgetItem* node = Item(i);
    node->setSelected(node->data(0, kReportedSelectedRole).toBool());
  }
}

void ListView::LabelEdited(QTreeWidgetItem* item, int column) {
  if (column != 0) return;
  auto* view = As<QTreeWidget>();
  const QString before = item->data(0, kLabelRole).toString();
  const QString proposed = item->text(0);
  if (proposed == before) return;
  const int index = view->indexOfTopLevelItem(item);
  {
    const QSignalBlocker block(view);
    item->setText(0, before);  // the label stays until the parent accepts the new one
  }
  const Param accepted = NotifyParent(ui::Notify::EndLabelEdit, index, 0, FromWidgetText(proposed));
  if (accepted != 0 && Item(index) == item) SetItemText(index, 0, FromWidgetText(proposed));
}

}  // namespace ui
