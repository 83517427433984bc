#include "family3300/TMemoryDialog.h"

#include <exception>
#include <string>

#include "controls/CarriedName.h"
#include "controls/ChangeOutcome.h"
#include "controls/DeviceErrorReport.h"
#include "family3300/IQDevice3300.h"
#include "familycommon/LoadFailure.h"
#include "platform/ui/Application.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Validator.h"
#include "resources/Family3300Ids.h"

namespace namespace3300 {
namespace {

constexpr const char* kNameCharacters = "0-9 a-zA-Z/,#()&-";
constexpr const char* kUnnamed = "---------";

// Whether the unit answers a read. Asked after a failure that the command tells, so it tells no
// one.
bool Answers(IQDevice3300& device) {
  try {
    g3300MemoryNumber.Read(device);
    return true;
  } catch (const IQException&) {
    return false;
  }
}

}  // namespace

TMemoryDialog::TMemoryDialog(IQDevice3300& device, ui::Window* parent)
    : ui::Dialog(parent, res3300::kMemoryDialog), device_(device) {
  for (int k = 0; k < kMemoryCount; ++k) {
    names_[static_cast<std::size_t>(k)] =
        std::make_unique<ui::Edit>(this, res3300::kFirstName + k, kNameChars);
    OnCommand(res3300::kFirstSave + k, [this, k] { SaveMemory(k); });
    OnCommand(res3300::kFirstRecall + k, [this, k] { RecallMemory(k); });
  }
}

void TMemoryDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  // A name the unit did not give shows empty, not as the template's placeholder.
  for (auto& name : names_) name->SetText("");
  controls::GuardedBusCall(&device_, [this] { ShowNames(); });
  for (auto& name : names_)
    name->SetValidator(std::make_unique<ui::CharSetValidator>(kNameCharacters));
}

void TMemoryDialog::ShowNames() {
  for (int k = 0; k < kMemoryCount; ++k) ShowName(k);
}

void TMemoryDialog::ShowName(int index) {
  const std::size_t k = static_cast<std::size_t>(index);
  const std::string name = MemoryName3300(index + 1).Read(device_);
  if (!names_[k]->IsModified()) names_[k]->SetText(name.substr(0, kNameChars));
}

void TMemoryDialog::ShowUnknown() {
  for (auto& name : names_) {
    if (!name->IsModified()) name->SetText("");
  }
}

struct TMemoryDialog::Command {
  MemoryOperation operation;
  const char* caption;
  // Asked with the memory's number and name after it.
  const char* question;
  // What the unit holds after it said no; after an answer was lost, while it answers; and once
  // it answers no more.
  const char* refused;
  const char* inDoubt;
  const char* silent;
};

void TMemoryDialog::SaveMemory(int index) {
  static constexpr Command kSave{
      .operation = MemoryOperation::kStore,
      .caption = "Save memory",
      .question = "Overwrite memory #",
      .refused = "The unit refused the memory save and was left as it was.",
      .inDoubt = familycommon::kSaveNotFinishedText,
      .silent =
          "The unit stopped answering before the memory save was finished: the memory may "
          "hold its old settings or the current ones. The unit's current settings are "
          "unchanged."};
  Run(index, kSave);
}

void TMemoryDialog::RecallMemory(int index) {
  static constexpr Command kRecall{
      .operation = MemoryOperation::kRecall,
      .caption = "Recall memory",
      .question = "Overwrite current settings with memory #",
      .refused = "The unit refused the memory recall and was left as it was.",
      .inDoubt = familycommon::kRecallNotFinishedText,
      .silent =
          "The unit stopped answering before the memory recall was finished: it may hold "
          "its earlier settings or the memory's."};
  // Also after a lost reply: the unit may hold the memory already, so the windows read what it
  // holds now. A unit that stopped answering is read again, with every window, once it answers.
  if (Run(index, kRecall) && Parent() != nullptr) Parent()->Post(kRefreshAllMessage);
}

bool TMemoryDialog::Run(int index, const Command& command) {
  // The name read, the question and the command are one command: one failure, one report.
  const controls::OneReportScope report;
  if (!controls::GuardedBusCall(&device_, [&] { ShowName(index); })) return false;
  const std::string question = command.question + std::to_string(index + 1) + ", '" +
                               names_[static_cast<std::size_t>(index)]->Text() + "'?";
  if (ui::MessageBox(this, question, command.caption, ui::mb::kYesNo | ui::mb::kIconQuestion) !=
      ui::kIdYes) {
    return false;
  }
  std::exception_ptr failure;
  controls::ChangeOutcome outcome = controls::ChangeOutcome::kTaken;
  bool answers = true;
  {
    ui::WaitCursor wait;
    outcome = controls::OutcomeOf([&] {
      failure = controls::FailureOf([&] { device_.UseMemory(index + 1, command.operation); });
      return !failure;
    });
    if (outcome == controls::ChangeOutcome::kInDoubt) answers = Answers(device_);
  }
  if (outcome == controls::ChangeOutcome::kTaken) return true;
  std::string held = command.refused;
  if (outcome == controls::ChangeOutcome::kInDoubt) {
    held = answers ? command.inDoubt
                   : std::string(command.silent) + "\n" + familycommon::kUnitReadAgainText;
  }
  ui::MessageBox(this, controls::TakeFailureText(device_, failure) + held, command.caption,
                 ui::mb::kOk | ui::mb::kIconExclamation);
  return outcome == controls::ChangeOutcome::kInDoubt && answers;
}

void TMemoryDialog::CloseWindow(int result) {
  if (IsCreated()) {
    // Only the names the user typed go to the unit: one shown is what the unit held when it was
    // read, and may no longer be (a load or a recall cut short), or was never read at all.
    for (std::size_t k = 0; k < names_.size(); ++k) {
      if (names_[k]->IsModified() && controls::RefusedName(this, names_[k]->Text(), "Memories")) {
        return;
      }
    }
    controls::GuardedBusCall(&device_, [this] {
      for (std::size_t k = 0; k < names_.size(); ++k) {
        if (!names_[k]->IsModified()) continue;
        const std::string name = names_[k]->Text();
        MemoryName3300(static_cast<int>(k) + 1).Write(device_, name.empty() ? kUnnamed : name);
      }
    });
  }
  ui::Dialog::CloseWindow(result);
}

}  // namespace namespace3300
