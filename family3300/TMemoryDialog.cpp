#include "family3300/TMemoryDialog.h"

#include "controls/CarriedName.h"
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

// Whether the unit answers a read. Asked after a failure that was reported already, so it tells
// no one.
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
  for (namesRead_ = 0; namesRead_ < kMemoryCount; ++namesRead_) {
    const std::string name = MemoryName3300(namesRead_ + 1).Read(device_);
    ui::Edit& field = *names_[static_cast<std::size_t>(namesRead_)];
    if (!field.IsModified()) field.SetText(name.substr(0, kNameChars));
  }
}

void TMemoryDialog::ShowUnknown() {
  namesRead_ = 0;
  for (auto& name : names_) {
    if (!name->IsModified()) name->SetText("");
  }
}

bool TMemoryDialog::Confirmed(const std::string& question, const std::string& caption) {
  return ui::MessageBox(this, question, caption, ui::mb::kYesNo | ui::mb::kIconQuestion) ==
         ui::kIdYes;
}

void TMemoryDialog::SaveMemory(int index) {
  const std::size_t k = static_cast<std::size_t>(index);
  if (!Confirmed(
          "Overwrite memory #" + std::to_string(index + 1) + ", '" + names_[k]->Text() + "'?",
          "Save memory")) {
    return;
  }
  bool stored = false;
  {
    ui::WaitCursor wait;
    stored = controls::GuardedBusCall(
        &device_, [&] { device_.UseMemory(index + 1, MemoryOperation::kStore); });
  }
  if (!stored) TellFailure(familycommon::kSaveNotFinishedText, "Save memory");
}

void TMemoryDialog::RecallMemory(int index) {
  const std::size_t k = static_cast<std::size_t>(index);
  if (!Confirmed("Overwrite current settings with memory #" + std::to_string(index + 1) + ", '" +
                     names_[k]->Text() + "'?",
                 "Recall memory")) {
    return;
  }
  bool recalled = false;
  bool answers = true;
  {
    ui::WaitCursor wait;
    recalled = controls::GuardedBusCall(
        &device_, [&] { device_.UseMemory(index + 1, MemoryOperation::kRecall); });
    if (!recalled) answers = Answers(device_);
  }
  if (!recalled) {
    TellFailure(
        answers ? familycommon::kRecallNotFinishedText : familycommon::kStoppedAnsweringText,
        "Recall memory");
  }
  // Also after a refused or lost reply: the unit may hold the memory already, so the windows read
  // what it holds now. A unit that stopped answering is not asked again for every window.
  if (answers && Parent() != nullptr) Parent()->Post(kRefreshAllMessage);
}

void TMemoryDialog::TellFailure(const std::string& text, const std::string& caption) {
  ui::MessageBox(this, text, caption, ui::mb::kOk | ui::mb::kIconExclamation);
}

void TMemoryDialog::CloseWindow(int result) {
  if (IsCreated()) {
    for (int k = 0; k < namesRead_; ++k) {
      if (controls::RefusedName(this, names_[static_cast<std::size_t>(k)]->Text(), "Memories")) {
        return;
      }
    }
    controls::GuardedBusCall(&device_, [this] {
      for (int k = 0; k < namesRead_; ++k) {
        const std::string name = names_[static_cast<std::size_t>(k)]->Text();
        MemoryName3300(k + 1).Write(device_, name.empty() ? kUnnamed : name);
      }
    });
  }
  ui::Dialog::CloseWindow(result);
}

}  // namespace namespace3300
