#include "platform/ui/Button.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

namespace ui {

QWidget* PushButton::MakeControlWidget(QWidget* parentWidget) {
  auto* button = new QPushButton(parentWidget);
  button->setDefault(HasStyle(style::kDefault));
  button->setAutoDefault(false);
  QObject::connect(button, &QAbstractButton::clicked, button, [this] { RouteClick(); });
  return button;
}

void PushButton::Click() {
  if (auto* button = As<QAbstractButton>(); button != nullptr && button->isEnabled())
    button->click();
}

void PushButton::ApplyText(const QString& text) { As<QAbstractButton>()->setText(text); }

QString PushButton::ReadText() const { return As<QAbstractButton>()->text(); }

QWidget* CheckBox::MakeControlWidget(QWidget* parentWidget) {
  auto* box = new QCheckBox(parentWidget);
  QObject::connect(box, &QAbstractButton::clicked, box, [this] {
    Stated();
    RouteClick();
  });
  return box;
}

void CheckBox::SetCheck(bool checked) {
  checked_ = checked;
  hasState_ = true;
  ApplyState();
}

void CheckBox::ShowNoState() {
  checked_ = false;
  hasState_ = false;
  ApplyState();
}

void CheckBox::ApplyState() {
  if (Widget() == nullptr) return;
  if (auto* box = qobject_cast<QCheckBox*>(Widget())) {
    // Only a box with no known state offers the third look; a click from it ticks the box.
    box->setTristate(!hasState_);
    box->setCheckState(!hasState_ ? Qt::PartiallyChecked : checked_ ? Qt::Checked : Qt::Unchecked);
    return;
  }
  auto* radio = As<QAbstractButton>();
  // A ticked radio button of an exclusive group can only be cleared with the group's leave; its
  // others clear it when they are ticked.
  QButtonGroup* group = radio->group();
  const bool exclusive = group != nullptr && group->exclusive() && !hasState_;
  if (exclusive) group->setExclusive(false);
  radio->setChecked(checked_);
  if (exclusive) group->setExclusive(true);
}

void CheckBox::Stated() {
  if (hasState_) return;
  hasState_ = true;
  checked_ = As<QAbstractButton>()->isChecked();
  ApplyState();
}

bool CheckBox::HasState() const {
  if (hasState_) return true;
  // Another radio button of the group ticked since gives this one its state: not ticked.
  const auto* radio = qobject_cast<QRadioButton*>(Widget());
  return radio != nullptr && radio->group() != nullptr &&
         radio->group()->checkedButton() != nullptr;
}

bool CheckBox::IsChecked() const {
  // A box with no state is checked as far as Qt goes: it shows its third look.
  if (!hasState_) return false;
  return Widget() != nullptr ? As<QAbstractButton>()->isChecked() : checked_;
}

void CheckBox::KeepState() {
  PushButton::KeepState();
  checked_ = IsChecked();
}

QWidget* RadioButton::MakeControlWidget(QWidget* parentWidget) {
  auto* radio = new QRadioButton(parentWidget);
  radio->setAutoExclusive(false);  // the dialog groups its radio buttons by template group
  QObject::connect(radio, &QAbstractButton::clicked, radio, [this] {
    Stated();
    RouteClick();
  });
  return radio;
}

}  // namespace ui
