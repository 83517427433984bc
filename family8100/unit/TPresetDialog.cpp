#include "family8100/unit/TPresetDialog.h"

#include <string>
#include <vector>

#include "controls/DeviceErrorReport.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "resources/Family8100Ids.h"

namespace namespace8100 {

TPresetDialog::TPresetDialog(ui::Window* parent, IQDevice8100& unit)
    : ui::Dialog(parent, f8100res::kPresetDialog), unit_(unit) {
  for (int i = 0; i < kPresets; ++i) {
    lists_[i] = std::make_unique<ui::ComboBox>(this, f8100res::kFirstPresetList + i);
  }
}

void TPresetDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  // A failure stops the filling: later lists stay empty or without a choice, and OK writes none
  // of them, so that the unit's entries are not overwritten by lists it never filled.
  filled_ = controls::GuardedBusCall(&unit_, [this] {
    std::vector<std::string> entries;
    for (int memory = 1; memory <= kMemoryCount; ++memory) {
      g8100MemoryIndex.Write(unit_, static_cast<uint8_t>(memory));
      entries.push_back(std::to_string(memory) + ": " + unit_.GetMemoryName());
    }
    for (auto& list : lists_) {
      for (const std::string& entry : entries) list->AddString(entry);
    }
    for (int preset = 1; preset <= kPresets; ++preset) {
      g8100PresetIndex.Write(unit_, static_cast<uint8_t>(preset));
      const int memory = unit_.GetPresetMapEntry() & 0xFF;
      // An entry outside 1 to 12 leaves the list without a choice.
      if (memory >= 1 && memory <= kMemoryCount) lists_[preset - 1]->SetSelection(memory - 1);
    }
  });
}

void TPresetDialog::CloseWindow(int result) {
  std::array<int, kPresets> chosen{};
  for (int i = 0; i < kPresets; ++i) chosen[i] = lists_[i]->Selection();
  ui::Dialog::CloseWindow(result);
  if (result != ui::kIdOk || !filled_) return;
  controls::GuardedBusCall(&unit_, [this, &chosen] {
    for (int preset = 1; preset <= kPresets; ++preset) {
      g8100PresetIndex.Write(unit_, static_cast<uint8_t>(preset));
      const int selection = chosen[preset - 1];
      if (selection >= 0) unit_.SetPresetMapEntry(selection + 1);
    }
  });
}

}  // namespace namespace8100
