#pragma once

#include <string>

#include "controls/TLevelDialog.h"

namespace namespace3300 {

// The per-channel level dialogs: the shared one-slider dialog with the family's read-outs. The
// edit window sets their captions and makes every move write at once.

// Gain in dB, 0.0 to 12.0.
class TGainLevelDialog : public TLevelDialog {
 public:
  using TLevelDialog::TLevelDialog;

 protected:
  void ShowValue() override;
  std::string UnitText() const override;
};

// The high-pass corner's label, "10" to "160".
class THPFLevelDialog : public TLevelDialog {
 public:
  using TLevelDialog::TLevelDialog;

 protected:
  void ShowValue() override;
  std::string UnitText() const override;
};

// The low-pass corner's label, "32K" to "6k".
class TLPFLevelDialog : public TLevelDialog {
 public:
  using TLevelDialog::TLevelDialog;

 protected:
  void ShowValue() override;
  std::string UnitText() const override;
};

}  // namespace namespace3300
