#include "familyov/unit/UnitCommands.h"

#include <algorithm>
#include <charconv>
#include <memory>

#include "controls/CarriedName.h"
#include "controls/ClientWindow.h"
#include "controls/RenamedCaptions.h"
#include "controls/TInputDialog.h"
#include "controls/TProgressDialog.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OrdavinexTypes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/SettingsFileCommands.h"
#include "familyov/unit/WaitProgress.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Validator.h"

namespace namespaceOV {
namespace {

constexpr int kMaxNameChars = 11;
constexpr int kMaxAddressChars = 3;
constexpr int kFirstAddress = 1;
constexpr int kLastAddress = 250;
constexpr uint8_t kStrobeCommand = 2;

void Tell(ui::Window* owner, const std::string& text, const std::string& caption,
          unsigned icon = 0) {
  ui::MessageBox(owner, text, caption, ui::mb::kOk | icon);
}

// Runs a bus step; a failure is reported and answered with false.
template <typename Step>
bool Reported(IQDeviceOrdavinex& device, Step step) {
  try {
    step();
    return true;
  } catch (const IQException& error) {
    ReportCommError(error, device);
    return false;
  }
}

}  // namespace

void TellDeviceLists(IQDeviceOrdavinex& device) {
  if (ui::Window* client = controls::ClientWindow()) {
    client->Post(controls::kDeviceChangedMessage, 0, reinterpret_cast<ui::Param>(&device));
  }
}

bool RenameUnit(IQDeviceOrdavinex& device, ui::Window* owner,
                std::span<ui::Window* const> windows) {
  std::string name;
  if (!Reported(device, [&] { name = gUnitNameObject.Read(device); })) return false;
  TInputDialog dialog(owner, "Unit name", "New name:", name.substr(0, kMaxNameChars),
                      kMaxNameChars);
  if (dialog.Execute() != ui::kIdOk) return false;
  if (dialog.Answer().empty()) {
    Tell(owner, "Null string.", "", ui::mb::kIconStop);
    return false;
  }
  if (controls::RefusedName(owner, dialog.Answer(), "Unit name")) return false;
  // The unit's windows carry its list text or its display name in their captions.
  const auto shownNames = [&device] {
    std::string display;
    try {
      display = device.GetDisplayName();
    } catch (const IQException&) {
    }
    return std::pair{device.ListTextOrName({}), display};
  };
  const auto [listBefore, displayBefore] = shownNames();
  if (!Reported(device, [&] { gUnitNameObject.Write(device, dialog.Answer()); })) return false;
  const auto [listAfter, displayAfter] = shownNames();
  std::vector<CaptionName> renamed;
  if (!listAfter.empty()) renamed.push_back({listBefore, listAfter});
  if (!displayAfter.empty()) renamed.push_back({displayBefore, displayAfter});
  FollowRename(windows, renamed);
  TellDeviceLists(device);
  return true;
}

bool ChangeAddress(IQDeviceOrdavinex& device, ui::Window* owner) {
  TInputDialog dialog(owner, "New address", "Address : ", std::to_string(device.GetInfo().address),
                      kMaxAddressChars,
                      std::make_unique<ui::RangeValidator>(kFirstAddress, kLastAddress));
  if (dialog.Execute() != ui::kIdOk) return false;
  int address = 0;
  const std::string& text = dialog.Answer();
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), address);
  if (error != std::errc() || end != text.data() + text.size() || address < kFirstAddress ||
      address > kLastAddress) {
    return false;
  }
  // The unit takes its new address with this very request, sent to the old one.
  if (!Reported(device, [&] { gAddressObject.Write(device, static_cast<uint8_t>(address)); })) {
    return false;
  }
  IQDeviceInfo moved = device.GetInfo();
  moved.address = static_cast<uint8_t>(address);
  device.SetInfo(moved);
  TellDeviceLists(device);
  TProgressDialog progress(owner);
  progress.Create();
  progress.SetText("Waiting for the unit at its new address...");
  WaitProgress shown(device, progress);
  Reported(device, [&] { WaitReady(device); });
  return true;
}

std::string FirmwareVersionText(const IQDeviceOrdavinex& device) {
  const auto& model = device.GetInfo().modelId;
  // The 4-input model carries its output digit in the second byte, the others in the first.
  const std::size_t digitAt = device.GetInfo().familyCode == kFamilyCode8148 ? 1 : 0;
  const auto begin = model.begin() + digitAt + 1;
  return std::string(begin, std::find(begin, model.end(), 0));
}

void ShowFirmwareVersion(const IQDeviceOrdavinex& device, ui::Window* owner) {
  Tell(owner, "Firmware version: " + FirmwareVersionText(device), "");
}

void ShowSerialNumber(IQDeviceOrdavinex& device, ui::Window* owner) {
  std::string text;
  // Nothing valid was read after a failure: no box follows its report.
  if (!Reported(device, [&] { text = gSerialNumberObject.Read(device); })) return;
  Tell(owner, text, "Serial Number");
}

void StrobeLeds(IQDeviceOrdavinex& device) {
  Reported(device, [&] { gStrobeLEDsObject.Write(device, kStrobeCommand); });
}

bool FactoryInitialize(IQDeviceOrdavinex& device, ui::Window* owner) {
  if (ui::MessageBox(owner,
                     "Warning: This action will reset all parameters to factory defaults.  "
                     "Continue?",
                     "Factory Initialize",
                     ui::mb::kOkCancel | ui::mb::kIconExclamation) != ui::kIdOk) {
    return false;
  }
  TProgressDialog progress(owner);
  progress.Create();
  progress.SetText("Preparing to reset device in initialize mode...");
  WaitProgress shown(device, progress);
  // A unit that did not take the initialise request resets nothing: the user is told and not sent
  // to cycle its power.
  if (!Reported(device, [&] { gInitializeObject.Write(device, 1); })) return false;
  try {
    WaitReady(device);
    gResetObject.Write(device, true);
  } catch (const IQException&) {
    // A unit that resets may stop answering half-way; the wait after the power cycle tells.
  }
  Tell(owner, "Wait until unit stops strobing LEDs, cycle power on unit, then press OK.",
       "Initialize");
  Reported(device, [&] { WaitReady(device); });
  return true;
}

bool RereadUnit(IQDeviceOrdavinex& device, bool withClockEvents) {
  device.InvalidateValues();
  return Reported(device, [&] {
    ProgressWindow progress;
    device.ReadDeviceParameters(&progress);
    if (withClockEvents && device.clockPresent) device.ReadTimerEvents();
  });
}

}  // namespace namespaceOV
