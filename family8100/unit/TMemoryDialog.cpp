#include "family8100/unit/TMemoryDialog.h"

#include <string>

#include "controls/ChangeOutcome.h"
#include "controls/DeviceErrorReport.h"
#include "controls/TProgressDialog.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/TPresetDialog.h"
#include "familycommon/LoadFailure.h"
#include "platform/ui/Application.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Validator.h"
#include "resources/Family8100Ids.h"

namespace namespace8100 {

namespace {

constexpr const char* kNameCharacters = "0-9 a-zA-Z/,#()&-";

// The progress dialog and the wait cursor while one memory command runs.
class Busy {
 public:
  Busy(ui::Window* page, const std::string& text) : progress_(page) {
    progress_.Create();
    progress_.SetText(text);
  }
  ~Busy() { progress_.Destroy(); }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  ui::WaitCursor wait_;
  TProgressDialog progress_;
};

}  // namespace

TMemoryDialog::TMemoryDialog(ui::Window* parent, IQDevice8100& unit)
    : ui::Dialog(parent, f8100res::kMemoryDialog), unit_(unit) {
  for (int i = 0; i < kMemories; ++i) {
    names_[i] = std::make_unique<ui::Edit>(this, f8100res::kFirstMemoryName + i, kNameLength);
    OnCommand(f8100res::kFirstSaveButton + i, [this, i] { SaveMemory(i); });
    OnCommand(f8100res::kFirstRecallButton + i, [this, i] { RecallMemory(i); });
  }
  OnCommand(f8100res::kPresetMapButton, [this] { CmPresetMap(); });
}

void TMemoryDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  SetText("Memories - " + unit_.GetName());
  unitNames_.fill(std::nullopt);
  // The list text and the names come from the unit. A failure is reported once and stops the
  // filling: the names left show empty, not the template's placeholder, and are never written
  // back.
  for (auto& name : names_) {
    name->SetText("");
    name->SetValidator(std::make_unique<ui::CharSetValidator>(kNameCharacters));
  }
  controls::GuardedBusCall(&unit_, [this] { ReadNames(); });
}

void TMemoryDialog::ReadNames() {
  if (std::string listText; unit_.GetListText(listText)) SetText("Memories - " + listText);
  for (int i = 0; i < kMemories; ++i) {
    if (unitNames_[i] && *unitNames_[i] != NameText(i)) continue;
    names_[i]->SetText(UnitName(i));
    unitNames_[i] = NameText(i);
  }
}

std::string TMemoryDialog::UnitName(int index) {
  g8100MemoryIndex.Write(unit_, static_cast<uint8_t>(index + 1));
  return unit_.GetMemoryName();
}

void TMemoryDialog::CleanupWindow() {
  WriteNamesBack();
  ui::Dialog::CleanupWindow();
}

bool TMemoryDialog::PreProcessKey(const ui::KeyStroke& key) {
  return key.code == ui::key::kReturn || key.code == ui::key::kEscape;
}

std::string TMemoryDialog::NameText(int index) const {
  return names_[index]->Text().substr(0, kNameLength);
}

bool TMemoryDialog::WriteNamesBack() {
  const controls::DoubtWatch doubt;
  int writing = -1;
  if (controls::GuardedBusCall(&unit_, [&] {
        for (writing = 0; writing < kMemories; ++writing) {
          const std::string name = NameText(writing);
          if (!unitNames_[writing] || *unitNames_[writing] == name) continue;
          g8100MemoryIndex.Write(unit_, static_cast<uint8_t>(writing + 1));
          unit_.SetMemoryName(name);
          unitNames_[writing] = name;
        }
      })) {
    return true;
  }
  // The names the unit did not take give way to the ones it held, so that none is shown as done
  // nor written later unless the user types it again. The unit may have taken the one whose
  // answer never came: unknown until the unit is read again.
  for (int i = 0; i < kMemories; ++i) {
    if (unitNames_[i]) names_[i]->SetText(*unitNames_[i]);
  }
  if (doubt.DoubtMet()) {
    unitNames_.at(writing).reset();
    names_.at(writing)->SetText("");
  }
  return false;
}

bool TMemoryDialog::Confirmed(const std::string& question, int index, const std::string& caption) {
  // The question names the memory as the unit holds it, not as the field shows it: a name typed
  // and not yet written, or one the page could not read. A unit that does not give the name has
  // been told of, and nothing is asked.
  std::string name;
  if (!controls::GuardedBusCall(&unit_, [&] { name = UnitName(index); })) return false;
  const std::string text = question + std::to_string(index + 1) + ", '" + name + "'?";
  return ui::MessageBox(this, text, caption, ui::mb::kYesNo | ui::mb::kIconQuestion) == ui::kIdYes;
}

void TMemoryDialog::SaveMemory(int index) {
  // The name read for the question and the save are one command, and the views that poll the
  // unit meanwhile join its one report; a failure of the save is told in the closing message.
  const controls::OneReportScope report;
  if (!Confirmed("Overwrite memory #", index, "Save memory")) return;
  std::exception_ptr failure;
  {
    Busy busy(this, "Saving...");
    failure = controls::FailureOf([this, index] { unit_.SaveMemory(index + 1); });
  }
  if (failure) TellFailure(failure, familycommon::kSaveNotFinishedText, "Save memory");
}

void TMemoryDialog::RecallMemory(int index) {
  // The name read for the question and the recall are one command, and the views that poll the
  // unit meanwhile join its one report; a failure of the recall is told in the closing message,
  // once the command is over, as a load's is.
  const controls::OneReportScope report;
  if (!Confirmed("Overwrite current settings with memory #", index, "Recall memory")) return;
  std::exception_ptr failure;
  bool answered = true;
  const uint64_t writesBefore = unit_.WritesSent();
  {
    Busy busy(this, "Loading...");
    failure = controls::FailureOf([this, index] {
      unit_.DropCrossovers();
      unit_.RestoreMemory(index + 1);
      unit_.ResetValueStore();
      unit_.ReadAllParameters();
    });
    // Also when the recall was refused: the unit may have carried it out all the same.
    if (failure) answered = unit_.ReadAgainQuietly();
  }
  if (failure) {
    TellFailure(failure,
                answered ? familycommon::kRecallNotFinishedText
                         : familycommon::StoppedAnsweringText(unit_.WritesSent() != writesBefore),
                "Recall memory");
  }
  // Also after a failure: the crossovers are gone and the unit may hold the memory already, so
  // the windows read what it holds now. A unit that stopped answering is read again, and the
  // windows with it, once a poll finds it answering.
  if (answered && Parent()) Parent()->Post(kMemoryRecalled);
}

void TMemoryDialog::TellFailure(const std::exception_ptr& failure, const std::string& text,
                                const char* caption) {
  ui::MessageBox(this, controls::TakeFailureText(unit_, failure) + text, caption,
                 ui::mb::kOk | ui::mb::kIconExclamation);
}

void TMemoryDialog::CmPresetMap() {
  // The click is one action: a unit that failed the names is not asked for the map as well.
  if (WriteNamesBack()) TPresetDialog(this, unit_).Execute();
}

}  // namespace namespace8100
