#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Static.h"

namespace namespace8100 {

// Chooses the memories an operation takes: bit n-1 of the mask for memory n. OK makes the mask
// exactly the ticked boxes; closing otherwise leaves it as it was. With `onlyOffered` the memories
// the mask leaves out cannot be ticked.
class TMemorySelectDialog : public ui::Dialog {
 public:
  static constexpr int kMemories = 12;

  TMemorySelectDialog(ui::Window* parent, uint32_t& mask, const std::string& note,
                      bool onlyOffered);
  void CloseWindow(int result = ui::kIdCancel) override;

 protected:
  void SetupWindow() override;

 private:
  uint32_t& mask_;
  std::string note_;
  bool onlyOffered_;
  std::array<std::unique_ptr<ui::CheckBox>, kMemories> checks_;
  ui::StaticText noteText_;
};

// Runs the dialog over the client window and returns the mask it leaves.
uint32_t ChooseMemories(uint32_t mask, const std::string& note, bool onlyOffered);

}  // namespace namespace8100
