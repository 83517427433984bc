#include "platform/ui/Button.h"

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
  QObject::connect(box, &QAbstractButton::clicked, box, [this] { RouteClick(); });
  return box;
}

void CheckBox::SetCheck(bool checked) {
  checked_ = checked;
  if (Widget() != nullptr) As<QAbstractButton>()->setChecked(checked);
}

bool CheckBox::IsChecked() const {
  return Widget() != nullptr ? As<QAbstractButton>()->isChecked() : checked_;
}

void CheckBox::KeepState() {
  PushButton::KeepState();
  checked_ = IsChecked();
}

QWidget* RadioButton::MakeControlWidget(QWidget* parentWidget) {
  auto* radio = new QRadioButton(parentWidget);
  radio->setAutoExclusive(false);  // the dialog groups its radio buttons by template group
  QObject::connect(radio, &QAbstractButton::clicked, radio, [this] { RouteClick(); });
  return radio;
}

}  // namespace ui
