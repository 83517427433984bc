#pragma once

#include <array>
#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"

namespace namespace8100 {

class IQDevice8100;

// The memory page of a unit: the twelve memory names to edit, Save and Recall per memory, and the
// preset map. Names go to the unit when the page closes, before the preset map opens and before
// the unit is locked; a name the page could not read from the unit is never written over, and a
// name the unit already holds is not written again.
class TMemoryDialog : public ui::Dialog {
 public:
  // Posted to the parent once a recall has changed the unit: everything is to be read again.
  static constexpr ui::MessageId kMemoryRecalled = 102;
  static constexpr int kMemories = 12;
  // The unit keeps eleven characters of a name: the edits take no more.
  static constexpr int kNameLength = 11;

  TMemoryDialog(ui::Window* parent, IQDevice8100& unit);

  // Writes the names the user changed; a failure is reported, and the names not written show the
  // unit's again, the one whose answer never came unknown. Whether the unit took them all.
  bool WriteNamesBack();
  // Reads the unit's list text for the caption and the names again and shows them, but for those
  // the user changed and the unit has not taken yet. A bus failure is thrown.
  void ReadNames();

 protected:
  void SetupWindow() override;
  void CleanupWindow() override;
  // Enter and Escape neither press a button nor close the page.
  bool PreProcessKey(const ui::KeyStroke& key) override;

 private:
  void SaveMemory(int index);
  void RecallMemory(int index);
  // The closing message of a save or recall that failed, headed by `failure` unless the command
  // has told of one already: one box.
  void TellFailure(const std::exception_ptr& failure, const std::string& text, const char* caption);
  void CmPresetMap();
  std::string NameText(int index) const;
  // The name of memory `index` + 1 as the unit holds it. A bus failure is thrown.
  std::string UnitName(int index);
  bool Confirmed(const std::string& question, int index, const std::string& caption);

  IQDevice8100& unit_;
  std::array<std::unique_ptr<ui::Edit>, kMemories> names_;
  // The name the unit holds as last read or written; none when it could not be read, so it is
  // never written over.
  std::array<std::optional<std::string>, kMemories> unitNames_;
};

}  // namespace namespace8100
