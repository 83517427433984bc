#pragma once

#include <vector>

#include "platform/ui/Control.h"

namespace ui {

// A drop-down list (style::kDropDownList) or an editable combo box. Items carry a number each.
class ComboBox : public Control {
 public:
  using Control::Control;
  int AddString(const std::string& text, Param data = 0);
  void InsertString(int index, const std::string& text, Param data = 0);
  void DeleteString(int index);
  void Clear();
  int Count() const;
  std::string ItemText(int index) const;
  Param ItemData(int index) const;
  void SetItemData(int index, Param data);
  int Selection() const;  // -1: none
  void SetSelection(int index);
  int FindExact(const std::string& text) const;

 protected:
  QWidget* MakeControlWidget(QWidget* parentWidget) override;
  void ApplyText(const QString& text) override;
  QString ReadText() const override;
};

// A list of strings. Items carry a number each.
class ListBox : public Control {
 public:
  using Control::Control;
  int AddString(const std::string& text, Param data = 0);
  void InsertString(int index, const std::string& text, Param data = 0);
  void DeleteString(int index);
  void Clear();
  int Count() const;
  std::string ItemText(int index) const;
  Param ItemData(int index) const;
  int Selection() const;  // -1: none
  void SetSelection(int index);

 protected:
  QWidget* MakeControlWidget(QWidget* parentWidget) override;
};

}  // namespace ui
