#pragma once

#include <array>
#include <memory>

#include "family3300/Parameters3300.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"

namespace namespace3300 {

class IQDevice3300;

// The unit's ten memories by name: Save stores the current settings into one, Recall brings one
// back (and the edit window re-reads the unit). Each starts by reading the memory's name for its
// question: a unit that does not answer is told of once and asked nothing. A failed store or
// recall is told in one box with what it left on the unit. Typed names reach the unit when the
// dialog closes, and only they: a name merely shown is never written back, so neither a failed
// read nor one the unit has changed since leaves a placeholder or an old name in the unit.
class TMemoryDialog : public ui::Dialog {
 public:
  static constexpr int kNameChars = 9;
  // Posted to the edit window after a recall.
  static constexpr ui::MessageId kRefreshAllMessage = 102;

  TMemoryDialog(IQDevice3300& device, ui::Window* parent);

  void CloseWindow(int result = ui::kIdCancel) override;
  // Reads the names from the unit and shows them, but for a name the user has typed since, which
  // is to go to the unit as the dialog closes; a bus failure is thrown and leaves the names from
  // it on as they were.
  void ShowNames();
  // The names the user has not typed show empty.
  void ShowUnknown();

 protected:
  void SetupWindow() override;

 private:
  // A store or a recall: its words and what it tells after a failure.
  struct Command;

  void SaveMemory(int index);
  void RecallMemory(int index);
  // Reads memory `index`'s name, asks the command's question and runs it; a failure is told with
  // what the unit now holds, in one box. Answers whether the command may have changed the unit,
  // which still answers.
  bool Run(int index, const Command& command);
  // Shows the unit's name of memory `index` unless the user has typed one; a bus failure throws.
  void ShowName(int index);

  IQDevice3300& device_;
  std::array<std::unique_ptr<ui::Edit>, kMemoryCount> names_;
};

}  // namespace namespace3300
