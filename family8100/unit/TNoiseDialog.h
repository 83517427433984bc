#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "bus/UCodeObject.h"
#include "controls/TQuadButton.h"
#include "family8100/unit/TValueDialog8100.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"

namespace namespace8100 {

// The two noise sources' type (pink or flat spectrum) and level, -80 to 0 dB, typed or stepped
// with a four-zone spin button. Only a level the user changed is written; a click on a spin or a
// type button writes a typed level with it, as one entry.
class TNoiseDialog : public TValueDialog8100 {
 public:
  static constexpr float kMinLevelDb = -80.0f;
  static constexpr float kMaxLevelDb = 0.0f;
  TNoiseDialog(ui::Window* parent, IQDevice8100& device);

  void FillControls() override;
  void ApplyTyped() override;

 protected:
  void SetupWindow() override;

 private:
  struct Side {
    const FloatUCodeObject& level;
    const ByteUCodeObject& type;
    ui::Edit edit;
    ui::RadioButton pink;
    ui::RadioButton flat;
    TQuadButton spin;
    std::string shown{};
  };
  void Spin(Side& side);
  // 0 pink, 1 flat.
  void ChangeType(Side& side, uint8_t type);

  std::array<Side, 2> sides_;
};

}  // namespace namespace8100
