#include "family8100/unit/Commands8100.h"

#include <optional>

#include "bus/SettingsTextFile.h"
#include "controls/ClientWindow.h"
#include "controls/CommandStart.h"
#include "controls/DeviceErrorReport.h"
#include "family8100/unit/BulkTransfer.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/SettingsFile8100.h"
#include "family8100/unit/TMemorySelectDialog.h"
#include "family8100/unit/Types8100.h"
#include "familycommon/CheckedFileReader.h"
#include "familycommon/LoadFailure.h"
#include "familycommon/ProgressWindow.h"
#include "familycommon/StoppedCommand.h"
#include "platform/ui/Application.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/MessageBox.h"

namespace namespace8100 {

namespace {

constexpr const char* kSaveCaption = "Save to file";
constexpr const char* kLoadCaption = "Load file";
constexpr const char* kNotSaved = "The settings were not saved.\n";

// Twelve memories of seventy filters take some tens of kilobytes.
constexpr std::size_t kMaxSettingsFileBytes = 1024 * 1024;

const ui::FileDialogOptions kSettingsFileDialog{
    .filters = {{"Ordavinex settings (*.ov0)", "*.ov0"}}, .defaultExtension = "ov0"};

void CouldNotOpen(const SettingsTextFile& file) { Stop(file.CouldNotOpenText(), "File Error"); }

// The closing message of a save that a bus failure stopped, after which the old file stays.
std::string SaveStoppedText(const familycommon::UnitLeft& left) {
  if (!left.PutBack()) return familycommon::NotPutBackText("save", left, "");
  const std::string text = "The settings were not saved.";
  return left.written ? text + " The unit's current settings were put back as they were." : text;
}

}  // namespace

void Stop(const std::string& text, const std::string& caption) {
  ui::MessageBox(controls::ClientWindow(), text, caption, ui::mb::kOk | ui::mb::kIconStop);
}

void ReportBusFailure(const IQException& error, IQDevice8100& unit) {
  const auto* refusal = dynamic_cast<const ErrorObject*>(&error);
  controls::ReportDeviceError(error, &unit, refusal ? refusal->code : controls::kNoUnitErrorCode);
}

bool StopsAtLock(IQDevice8100& unit, const std::string& caption, const std::string& text) {
  return controls::StopsAtLock(
      controls::ReadLock([&](const auto& read) { return controls::GuardedBusCall(&unit, read); },
                         [&] { return g8100Locked.Read(unit); }),
      text, caption);
}

uint32_t ChooseRememberedMemories(const IQDevice8100& unit, const char* subkey,
                                  const std::string& note) {
  // A unit whose type is none of the family's remembers nothing.
  const auto* type = dynamic_cast<const IQ8100Type*>(unit.GetType());
  const FamilyKey8100 key = type ? type->Key() : FamilyKey8100(registry::Key());
  const uint32_t chosen = ChooseMemories(key.ReadMemoryMask(subkey), note, false);
  key.WriteMemoryMask(subkey, chosen);
  return chosen;
}

bool IQDevice8100::SaveFile() {
  if (StopsAtLock(*this, kSaveCaption)) return false;
  const std::optional<std::string> path = ui::AskSaveFile(nullptr, kSettingsFileDialog);
  if (!path) return false;
  const uint32_t memories = ChooseRememberedMemories(*this, FamilyKey8100::kFileSave,
                                                     "Note: audio may mute during file save");
  SettingsTextFile file;
  if (!file.Open(*path, SettingsTextFile::kWrite)) {
    CouldNotOpen(file);
    return false;
  }
  // A failure abandons the new file: the old one stays, and so does the unsaved mark.
  std::string failure;
  std::optional<familycommon::StoppedCommand> stopped;
  {
    const controls::OneReportScope report;
    try {
      familycommon::ProgressWindow progress;
      ui::WaitCursor wait;
      WriteSettingsFile(*this, file, memories, &progress);
      if (file.Close()) {
        SetModified(false);
        return true;
      }
      failure = kNotSaved + file.NotWrittenText();
    } catch (const TransferFailure& transfer) {
      // The unit failed, not the file: the failure names the unit and what it was doing.
      stopped.emplace(*this, transfer.error);
      failure = SaveStoppedText(transfer.Left(*this));
    } catch (const IQException&) {
      stopped.emplace(*this, std::current_exception());
      failure = SaveStoppedText({});
    } catch (const SettingsWriteError& error) {
      failure = kNotSaved + std::string(error.what());
    }
  }
  if (stopped) {
    stopped->Tell(failure, kSaveCaption);
  } else {
    Stop(failure, kSaveCaption);
  }
  return false;
}

bool IQDevice8100::LoadFile() {
  if (StopsAtLock(*this, kLoadCaption)) return false;
  const std::optional<std::string> path = ui::AskOpenFile(nullptr, kSettingsFileDialog);
  if (!path) return false;
  SettingsTextFile file;
  if (const std::optional<std::string> failure = file.OpenToRead(*path, kMaxSettingsFileBytes)) {
    Stop(*failure, "File Error");
    return false;
  }
  if (!IsSettingsFile(file)) {
    Stop("Unrecognized file format.", "");
    return false;
  }
  SettingsLoad load;
  try {
    load = ReadSettingsFile(*this, file);
  } catch (const familycommon::FileLineError& error) {
    ui::MessageBox(controls::ClientWindow(), std::string(error.what()) + "\nNothing was loaded.",
                   "File read error", ui::mb::kOk | ui::mb::kIconExclamation);
    return false;
  }
  const uint32_t memories =
      ChooseMemories(load.Memories(), "Note: audio may mute during file open", true);
  std::optional<familycommon::StoppedCommand> stopped;
  std::string closing;
  {
    const controls::OneReportScope report;
    try {
      familycommon::ProgressWindow progress;
      ui::WaitCursor wait;
      ApplySettingsLoad(*this, load, memories, &progress);
    } catch (const TransferFailure& failure) {
      stopped.emplace(*this, failure.error);
      closing = failure.ClosingText(*this, familycommon::kLoadWords, memories & load.Memories());
    }
  }
  if (!stopped) {
    if (const std::string kept = KeptPresetsText(load.EmptyPresets()); !kept.empty()) {
      ui::MessageBox(controls::ClientWindow(), kept, kLoadCaption,
                     ui::mb::kOk | ui::mb::kIconInformation);
    }
    return true;
  }
  // Told once the command's one report is over: its scope passes over no other failure while
  // the message waits for the user.
  stopped->Tell(closing, kLoadCaption);
  return false;
}

}  // namespace namespace8100
