#include "platform/ui/ComboBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <algorithm>

#include "platform/ui/Text.h"

namespace ui {

namespace {
constexpr int kDataRole = Qt::UserRole + 1;

bool InRange(int index, int count) { return index >= 0 && index < count; }
}  // namespace

QWidget* ComboBox::MakeControlWidget(QWidget* parentWidget) {
  auto* combo = new QComboBox(parentWidget);
  combo->setEditable(!HasStyle(style::kDropDownList));
  combo->setInsertPolicy(QComboBox::NoInsert);
  // A template's height for a combo box includes its dropped-down list; the box itself is one line.
  combo->setFixedHeight(combo->sizeHint().height());
  QObject::connect(combo, &QComboBox::activated, combo,
                   [this](int index) { NotifyParent(ui::Notify::SelChange, index); });
  if (combo->isEditable()) {
    QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, combo,
                     [this] { NotifyParent(ui::Notify::Changed); });
  }
  return combo;
}

int ComboBox::AddString(const std::string& text, Param data) {
  InsertString(Count(), text, data);
  return Count() - 1;
}

void ComboBox::InsertString(int index, const std::string& text, Param data) {
  if (auto* combo = As<QComboBox>()) {
    combo->insertItem(std::clamp(index, 0, combo->count()), ToWidgetText(text),
                      QVariant::fromValue<qlonglong>(data));
  }
}

void ComboBox::DeleteString(int index) {
  if (InRange(index, Count())) As<QComboBox>()->removeItem(index);
}

void ComboBox::Clear() {
  if (auto* combo = As<QComboBox>()) combo->clear();
}

int ComboBox::Count() const { return Widget() != nullptr ? As<QComboBox>()->count() : 0; }

std::string ComboBox::ItemText(int index) const {
  return InRange(index, Count()) ? FromWidgetText(As<QComboBox>()->itemText(index)) : std::string();
}

Param ComboBox::ItemData(int index) const {
  return InRange(index, Count()) ? static_cast<Param>(As<QComboBox>()->itemData(index).toLongLong())
                                 : 0;
}

void ComboBox::SetItemData(int index, Param data) {
  if (InRange(index, Count()))
    As<QComboBox>()->setItemData(index, QVariant::fromValue<qlonglong>(data));
}

int ComboBox::Selection() const {
  return Widget() != nullptr ? As<QComboBox>()->currentIndex() : -1;
}

void ComboBox::SetSelection(int index) {
  if (Widget() != nullptr) As<QComboBox>()->setCurrentIndex(InRange(index, Count()) ? index : -1);
}

int ComboBox::FindExact(const std::string& text) const {
  return Widget() != nullptr
             ? As<QComboBox>()->findText(ToWidgetText(text),
                                         Qt::MatchFixedString | Qt::MatchCaseSensitive)
             : -1;
}

void ComboBox::ApplyText(const QString& text) {
  auto* combo = As<QComboBox>();
  if (combo->isEditable()) combo->setEditText(text);
}

QString ComboBox::ReadText() const { return As<QComboBox>()->currentText(); }

QWidget* ListBox::MakeControlWidget(QWidget* parentWidget) {
  auto* list = new QListWidget(parentWidget);
  list->setSortingEnabled(HasStyle(style::kSort));
  QObject::connect(list, &QListWidget::currentRowChanged, list,
                   [this](int row) { NotifyParent(ui::Notify::SelChange, row); });
  QObject::connect(list, &QListWidget::itemDoubleClicked, list,
                   [this, list](QListWidgetItem* item) {
                     NotifyParent(ui::Notify::DoubleClick, list->row(item));
                   });
  return list;
}

int ListBox::AddString(const std::string& text, Param data) {
  InsertString(Count(), text, data);
  return Count() - 1;
}

void ListBox::InsertString(int index, const std::string& text, Param data) {
  auto* list = As<QListWidget>();
  if (list == nullptr) return;
  const QSignalBlocker block(list);  // only the user's changes of the selection notify
  auto* item = new QListWidgetItem(ToWidgetText(text));
  item->setData(kDataRole, QVariant::fromValue<qlonglong>(data));
  list->insertItem(std::clamp(index, 0, list->count()), item);
}

void ListBox::DeleteString(int index) {
  if (!InRange(index, Count())) return;
  const QSignalBlocker block(As<QListWidget>());
  delete As<QListWidget>()->takeItem(index);
}

void ListBox::Clear() {
  if (auto* list = As<QListWidget>()) {
    const QSignalBlocker block(list);
    list->clear();
  }
}

int ListBox::Count() const { return Widget() != nullptr ? As<QListWidget>()->count() : 0; }

std::string ListBox::ItemText(int index) const {
  return InRange(index, Count()) ? FromWidgetText(As<QListWidget>()->item(index)->text())
                                 : std::string();
}

Param ListBox::ItemData(int index) const {
  return InRange(index, Count())
             ? static_cast<Param>(As<QListWidget>()->item(index)->data(kDataRole).toLongLong())
             : 0;
}

int ListBox::Selection() const {
  return Widget() != nullptr ? As<QListWidget>()->currentRow() : -1;
}

void ListBox::SetSelection(int index) {
  if (Widget() == nullptr) return;
  const QSignalBlocker block(As<QListWidget>());
  As<QListWidget>()->setCurrentRow(InRange(index, Count()) ? index : -1);
}

}  // namespace ui
