// The unit's whole-unit commands, as the client calls them: settings files, report and copy, with
// their dialogs and messages. A command tells of one failure once, its lock read included, in the
// same box that says what it left on the unit; the dialogs it shows meanwhile are modal, so no
// other work reports inside its scope.

#include <optional>
#include <string>

#include "bus/IQException.h"
#include "bus/SettingsTextFile.h"
#include "controls/ClientWindow.h"
#include "controls/CommandStart.h"
#include "controls/DeviceErrorReport.h"
#include "family3300/Copy3300.h"
#include "family3300/IQDevice3300.h"
#include "family3300/ReportText3300.h"
#include "family3300/SettingsFile3300.h"
#include "family3300/TPrint3300Dialog.h"
#include "family3300/Types3300.h"
#include "familycommon/CheckedFileReader.h"
#include "familycommon/LoadFailure.h"
#include "familycommon/ProgressWindow.h"
#include "familycommon/StoppedCommand.h"
#include "platform/registry/SafeFileWriter.h"
#include "platform/ui/Application.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/MessageBox.h"

namespace namespace3300 {

namespace {

void Tell(ui::Window* owner, const std::string& text, const std::string& caption, unsigned icon) {
  ui::MessageBox(owner, text, caption, ui::mb::kOk | icon);
}

// Whether the command ends at its opening read of the unit's lock: a locked unit is told `text`
// under `caption`; a lock that cannot be read is reported and ends it too: nothing is done to a
// unit in an unknown state.
bool StopsAtLock(IQDevice3300& device, const std::string& caption,
                 const std::string& text = "Device is locked.") {
  return controls::StopsAtLock(
      controls::ReadLock([&](const auto& read) { return controls::GuardedBusCall(&device, read); },
                         [&] { return device.IsLocked(); }),
      text, caption);
}

ui::FileDialogOptions SettingsDialogOptions(const IQDevice3300& device) {
  const std::string extension = SettingsFileExtension3300(device.GetModel());
  const std::string model = device.IsTwoChannel() ? "3300-2XL" : "3300XL";
  return {.filters = {{model + " settings (*." + extension + ")", "*." + extension}},
          .defaultExtension = extension};
}

// Ten memories of two channels take a few kilobytes.
constexpr std::size_t kMaxSettingsFileBytes = 256 * 1024;

void CouldNotOpen(const SettingsTextFile& file) {
  Tell(nullptr, file.CouldNotOpenText(), "File Error", ui::mb::kIconStop);
}

// A bus failure of a copy, told for the unit that failed, with what the copy left.
void ReportCopyFailure(const CopyFailure& failure, const std::string& caption) {
  familycommon::StoppedCommand(*failure.device, failure.outcome.error)
      .Tell(familycommon::CopyFailureText(failure.outcome, failure.sourceRestored), caption);
}

// A bus failure of a command that recalled the unit's memories to read them, told with what the
// command left on the unit.
void ReportMemoryReadFailure(IQDevice3300& device, const familycommon::MemoryReadFailure& failure,
                             const std::string& notFinished, const std::string& caption) {
  familycommon::StoppedCommand(device, failure.error)
      .Tell(familycommon::MemoryReadFailureText(notFinished, failure), caption);
}

}  // namespace

bool IQDevice3300::SaveFile() {
  constexpr const char* kCaption = "Save to file";
  controls::OneReportScope command;
  if (StopsAtLock(*this, kCaption)) return false;
  const std::optional<std::string> path = ui::AskSaveFile(nullptr, SettingsDialogOptions(*this));
  if (!path) return false;
  SettingsTextFile file;
  if (!file.Open(*path, SettingsTextFile::kWrite)) {
    CouldNotOpen(file);
    return false;
  }
  std::string failure;
  bool written = false;
  try {
    familycommon::ProgressWindow progress;
    ui::WaitCursor wait;
    WriteSettingsFile3300(*this, file, &progress);
    written = file.Close();
    if (!written) failure = file.NotWrittenText();
  } catch (const SettingsWriteError& error) {
    failure = error.what();
  } catch (const familycommon::MemoryReadFailure& stopped) {
    ReportMemoryReadFailure(*this, stopped, "The settings were not saved.", kCaption);
    return false;
  }
  if (written) {
    SetModified(false);
    return true;
  }
  Tell(controls::ClientWindow(), "The settings were not saved.\n" + failure, kCaption,
       ui::mb::kIconStop);
  return false;
}

bool IQDevice3300::LoadFile() {
  constexpr const char* kCaption = "Load file";
  controls::OneReportScope command;
  if (StopsAtLock(*this, kCaption)) return false;
  const std::optional<std::string> path = ui::AskOpenFile(nullptr, SettingsDialogOptions(*this));
  if (!path) return false;
  SettingsTextFile file;
  if (const std::optional<std::string> failure = file.OpenToRead(*path, kMaxSettingsFileBytes)) {
    Tell(nullptr, *failure, "File Error", ui::mb::kIconStop);
    return false;
  }
  SettingsLoad load;
  FileCheck check = FileCheck::kUnrecognised;
  try {
    ui::WaitCursor wait;
    check = ReadSettingsFile3300(file, GetModel(), load);
  } catch (const familycommon::FileLineError& error) {
    Tell(controls::ClientWindow(), std::string(error.what()) + "\nNothing was loaded.",
         "File read error", ui::mb::kIconExclamation);
    return false;
  }
  switch (check) {
    case FileCheck::kLoadable:
      break;
    case FileCheck::kUnrecognised:
      Tell(controls::ClientWindow(), "Unrecognized file format.", "", ui::mb::kIconStop);
      return false;
    case FileCheck::kWrongType:
      Tell(controls::ClientWindow(), "Wrong file type!", "", ui::mb::kIconExclamation);
      return false;
  }
  try {
    familycommon::ProgressWindow progress;
    ui::WaitCursor wait;
    ApplySettingsLoad(*this, load, &progress);
    return true;
  } catch (const familycommon::LoadFailure& failure) {
    std::string outcome = familycommon::LoadFailureText(failure);
    if (!failure.restored) {
      // Whatever the windows show may no longer be what the unit holds.
      MarkInDoubt();
      outcome = outcome + "\n" + familycommon::kUnitReadAgainText;
    }
    familycommon::StoppedCommand(*this, failure.error).Tell(outcome, kCaption);
  }
  return false;
}

bool IQDevice3300::PrintReport() {
  constexpr const char* kCaption = "Print to file";
  controls::OneReportScope command;
  if (StopsAtLock(*this, kCaption)) return false;
  const auto* type = dynamic_cast<const IQ3300BaseType*>(GetType());
  if (!type) return false;
  uint32_t mask = type->GetPrintMemories();
  TPrint3300Dialog(mask, nullptr).Execute();
  type->SetPrintMemories(mask);

  const std::optional<std::string> path = ui::AskSaveFile(
      nullptr, {.filters = {{"text file (*.txt)", "*.txt"}}, .defaultExtension = "txt"});
  if (!path) return false;
  registry::SafeFileWriter file;
  if (!file.Begin(*path)) {
    Tell(nullptr, "Could not open file for print.", "Print error", ui::mb::kIconStop);
    return false;
  }
  std::string report;
  std::optional<familycommon::MemoryReadFailure> stopped;
  try {
    familycommon::ProgressWindow progress;
    ui::WaitCursor wait;
    WriteReport3300(*this, mask, report, &progress);
  } catch (const familycommon::MemoryReadFailure& failure) {
    stopped = failure;
  }
  // A report a failure cut short keeps what was read, and says so.
  if (stopped) report += "\n--Listing ended by a communication error--\n";
  const bool saved = file.Write(report) && file.Commit();
  if (stopped) ReportMemoryReadFailure(*this, *stopped, "The report was not finished.", kCaption);
  if (!saved) {
    Tell(nullptr, "Could not write file for print.", "Print error", ui::mb::kIconStop);
    return false;
  }
  return !stopped;
}

bool IQDevice3300::CopyFrom(IQDevice& source) {
  constexpr const char* kCaption = "3300 Copy";
  controls::OneReportScope command;
  if (source.GetInfo().familyCode != kFamilyCode3300) {
    Tell(nullptr, "Cannot copy this device type.", kCaption, ui::mb::kIconExclamation);
    return false;
  }
  auto* from = dynamic_cast<IQDevice3300*>(&source);
  if (!from) return false;
  if (from->IsTwoChannel() != IsTwoChannel()) {
    Tell(nullptr, "Incompatible types.", kCaption, ui::mb::kIconExclamation);
    return false;
  }
  const auto* type = dynamic_cast<const IQ3300BaseType*>(GetType());
  if (!type) return false;
  // Destination first, then source. A lock that cannot be read is reported and ends the copy:
  // nothing is copied to or from a unit in a state not known.
  if (StopsAtLock(*this, "Load file", "Destination device is locked.") ||
      StopsAtLock(*from, "Load file", "Source device is locked.")) {
    return false;
  }
  uint32_t mask = type->GetCopyMemories();
  TPrint3300Dialog(mask, controls::ClientWindow(), "3300 copy options").Execute();
  type->SetCopyMemories(mask);
  try {
    familycommon::ProgressWindow progress;
    ui::WaitCursor wait;
    CopyMemories3300(*this, *from, mask, &progress);
  } catch (const CopyFailure& failure) {
    ReportCopyFailure(failure, kCaption);
    return false;
  }
  return true;
}

}  // namespace namespace3300
