#include "family3300/LevelDialogs3300.h"

#include <cstdio>
#include <string>

#include "family3300/Labels3300.h"

namespace namespace3300 {

void TGainLevelDialog::ShowValue() {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", ShownValue() * 0.5);
  ReadOut().SetText(text);
}

std::string TGainLevelDialog::UnitText() const { return "dB"; }

void THPFLevelDialog::ShowValue() { ReadOut().SetText(HpfLabel3300(ShownValue())); }

std::string THPFLevelDialog::UnitText() const { return "Hz"; }

std::string TLPFLevelDialog::UnitText() const { return "Hz"; }

void TLPFLevelDialog::ShowValue() {
  // The top of the slider reads with a capital K, as the units' front panels print it.
  const int index = ShownValue();
  ReadOut().SetText(index == 0 ? std::string("32K") : std::string(LpfLabel3300(index)));
}

}  // namespace namespace3300
