#pragma once

#include <array>
#include <memory>

#include "family3300/Parameters3300.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"

namespace namespace3300 {

class IQDevice3300;

// The unit's ten memories by name: Save stores the current settings into one, Recall brings one
// back (and the edit window re-reads the unit). A failed store or recall is reported once and then
// said what it left. Typed names reach the unit when the dialog closes; only names that were read
// from the unit (as it opened, or since, as the edit window read the unit again after a load, a
// recall or a write in doubt) are written back, so a failed read never leaves a placeholder or an
// old name in the unit.
class TMemoryDialog : public ui::Dialog {
 public:
  static constexpr int kNameChars = 9;
  // Posted to the edit window after a recall.
  static constexpr ui::MessageId kRefreshAllMessage = 102;

  TMemoryDialog(IQDevice3300& device, ui::Window* parent);

  void CloseWindow(int result = ui::kIdCancel) override;
  // Reads the names from the unit and shows them, but for a name the user has typed since, which
  // is to go to the unit as the dialog closes; a bus failure is thrown and leaves the names after
  // it as they were, not to be written back.
  void ShowNames();
  // The names the user has not typed show empty, and none is written back until read again.
  void ShowUnknown();

 protected:
  void SetupWindow() override;

 private:
  void SaveMemory(int index);
  void RecallMemory(int index);
  bool Confirmed(const std::string& question, const std::string& caption);
  // After the one report of a failed store or recall: what the unit now holds.
  void TellFailure(const std::string& text, const std::string& caption);

  IQDevice3300& device_;
  std::array<std::unique_ptr<ui::Edit>, kMemoryCount> names_;
  // How many names, from memory 1 on, were last read from the unit.
  int namesRead_ = 0;
};

}  // namespace namespace3300
