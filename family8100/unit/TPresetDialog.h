#pragma once

#include <array>
#include <memory>

#include "platform/ui/ComboBox.h"
#include "platform/ui/Dialog.h"

namespace namespace8100 {

class IQDevice8100;

// The modal preset map: for each of the twelve presets, the memory it recalls, chosen by number
// and name. OK writes every preset that has a memory chosen, once the unit has given the whole map.
class TPresetDialog : public ui::Dialog {
 public:
  static constexpr int kPresets = 12;

  TPresetDialog(ui::Window* parent, IQDevice8100& unit);
  void CloseWindow(int result = ui::kIdCancel) override;

 protected:
  void SetupWindow() override;

 private:
  IQDevice8100& unit_;
  std::array<std::unique_ptr<ui::ComboBox>, kPresets> lists_;
  bool filled_ = false;
};

}  // namespace namespace8100
