#pragma once

#include <array>
#include <memory>

#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"

namespace namespace8100 {

class IQDevice8100;

// The memory page of a unit: the twelve memory names to edit, Save and Recall per memory, and the
// preset map. Names go to the unit when the page closes and before the preset map opens; a name
// the page could not read from the unit is never written over.
class TMemoryDialog : public ui::Dialog {
 public:
  // Posted to the parent once a recall has changed the unit: everything is to be read again.
  static constexpr ui::MessageId kMemoryRecalled = 102;
  static constexpr int kMemories = 12;
  // A name takes eleven characters.
  static constexpr int kNameLimit = 12;

  TMemoryDialog(ui::Window* parent, IQDevice8100& unit);

 protected:
  void SetupWindow() override;
  void CleanupWindow() override;
  // Enter and Escape neither press a button nor close the page.
  bool PreProcessKey(const ui::KeyStroke& key) override;

 private:
  void SaveMemory(int index);
  void RecallMemory(int index);
  void CmPresetMap();
  void WriteNamesBack();
  std::string NameText(int index) const;
  bool Confirmed(const std::string& question, int index, const std::string& caption);

  IQDevice8100& unit_;
  std::array<std::unique_ptr<ui::Edit>, kMemories> names_;
  // Which names were read from the unit, and so may be written back.
  std::array<bool, kMemories> nameRead_{};
};

}  // namespace namespace8100
