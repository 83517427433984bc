#include "familyov/unit/SettingsFileCommands.h"

#include <optional>
#include <string>
#include <vector>

#include "bus/SettingsTextFile.h"
#include "controls/ClientWindow.h"
#include "controls/CommandStart.h"
#include "controls/DeviceErrorReport.h"
#include "familycommon/LoadFailure.h"
#include "familycommon/StoppedCommand.h"
#include "familyov/unit/CommandOutcome.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/SettingsFile.h"
#include "familyov/unit/UnitCommands.h"
#include "familyov/unit/UnitGlobals.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/Message.h"
#include "platform/ui/MessageBox.h"

namespace namespaceOV {

namespace {

constexpr const char* kSaveCaption = "Save to file";
constexpr const char* kLoadCaption = "Load file";
constexpr const char* kOpenCaption = "Open File";
constexpr const char* kNotSavedText = "The settings were not saved.";
// The largest unit's memory dumps take some tens of kilobytes.
constexpr std::size_t kMaxSettingsFileBytes = 4 * 1024 * 1024;

void Stop(ui::Window* owner, const std::string& text, const std::string& caption) {
  ui::MessageBox(owner, text, caption, ui::mb::kOk | ui::mb::kIconStop);
}

void Exclaim(const std::string& text) {
  ui::MessageBox(nullptr, text, kOpenCaption, ui::mb::kOk | ui::mb::kIconExclamation);
}

bool ConfirmWarning(const std::string& text) {
  return ui::MessageBox(nullptr, text, "WARNING", ui::mb::kOkCancel | ui::mb::kIconStop) ==
         ui::kIdOk;
}

// "Name (*.ext)|*.ext|..." as the dialog's filters.
ui::FileDialogOptions DialogOptions(const IQDeviceOrdavinex& device) {
  const FileFilter filter = device.GetFileFilter();
  ui::FileDialogOptions options;
  options.defaultExtension = filter.defaultExtension;
  std::size_t at = 0;
  while (at < filter.filter.size()) {
    const std::size_t bar = filter.filter.find('|', at);
    if (bar == std::string::npos) break;
    const std::size_t end = std::min(filter.filter.find('|', bar + 1), filter.filter.size());
    options.filters.push_back(
        {filter.filter.substr(at, bar - at), filter.filter.substr(bar + 1, end - bar - 1)});
    at = end + 1;
  }
  return options;
}

void CouldNotOpen(const SettingsTextFile& file) {
  Stop(nullptr, file.CouldNotOpenText(), "File Error");
}

}  // namespace

bool StopsAtLock(IQDeviceOrdavinex& device, const std::string& caption, const std::string& text) {
  return controls::StopsAtLock(
      controls::ReadLock([&](const auto& read) { return GuardedUnitCall(device, read); },
                         [&] { return gLockedObject.Read(device); }),
      text, caption);
}

bool SaveSettingsFile(IQDeviceOrdavinex& device) {
  controls::OneReportScope command;
  if (StopsAtLock(device, kSaveCaption)) return false;
  const std::optional<std::string> path = ui::AskSaveFile(nullptr, DialogOptions(device));
  if (!path) return false;
  SettingsTextFile file;
  if (!file.Open(*path, SettingsTextFile::kWrite)) {
    CouldNotOpen(file);
    return false;
  }
  std::string failure;
  try {
    ProgressWindow progress;
    WriteSettingsFile(device, file, &progress);
    if (file.Close()) {
      device.SetModified(false);
      return true;
    }
    failure = file.NotWrittenText();
  } catch (const IQException&) {
    familycommon::StoppedCommand(device, std::current_exception())
        .Tell(kNotSavedText, kSaveCaption);
    return false;
  } catch (const SettingsWriteError& error) {
    failure = error.what();
  }
  Stop(controls::ClientWindow(), std::string(kNotSavedText) + "\n" + failure, kSaveCaption);
  return false;
}

bool LoadSettingsFile(IQDeviceOrdavinex& device) {
  controls::OneReportScope command;
  if (StopsAtLock(device, kLoadCaption)) return false;
  const std::optional<std::string> path = ui::AskOpenFile(nullptr, DialogOptions(device));
  if (!path) return false;
  SettingsTextFile file;
  if (const std::optional<std::string> failure = file.OpenToRead(*path, kMaxSettingsFileBytes)) {
    Stop(nullptr, *failure, "File Error");
    return false;
  }
  try {
    ProgressWindow progress;
    std::vector<int> logicInputsCleared;
    switch (ReadSettingsFile(device, file, ConfirmWarning, &progress, &logicInputsCleared)) {
      case LoadResult::kLoaded: {
        const std::string cleared = ClearedLogicText(logicInputsCleared, device.GetMemoryCount());
        if (!RereadUnit(device, false)) {
          const std::string loaded = familycommon::kLoadedNotReadBackText;
          TellCommandOutcome(controls::ClientWindow(), device,
                             cleared.empty() ? loaded : loaded + " " + cleared, kLoadCaption);
        } else if (!cleared.empty()) {
          ui::MessageBox(controls::ClientWindow(), cleared, kLoadCaption,
                         ui::mb::kOk | ui::mb::kIconInformation);
        }
        return true;
      }
      case LoadResult::kCancelled:
        return false;
      case LoadResult::kNotSettingsFile:
        Exclaim("Invalid settings file");
        return false;
      case LoadResult::kOtherOutputCount:
        Exclaim("Incompatible devices.");
        return false;
    }
  } catch (const SettingsFileError& error) {
    Stop(controls::ClientWindow(), "Invalid settings file\n" + error.GetText(), kLoadCaption);
  } catch (const familycommon::LoadFailure& failure) {
    const familycommon::StoppedCommand stopped(device, failure.error);
    // Part of the file may be on the unit all the same; the closing message says whether the
    // program could read what it holds.
    RereadUnit(device, false);
    stopped.Tell(
        OutcomeText(device, familycommon::LoadOutcomeText(failure, familycommon::kLoadWords)),
        kLoadCaption);
  }
  return false;
}

}  // namespace namespaceOV
