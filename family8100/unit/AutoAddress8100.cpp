#include "family8100/unit/AutoAddress8100.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "bus/IQDeviceInfo.h"
#include "controls/ClientWindow.h"
#include "controls/TInputDialog.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "platform/ui/Application.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Validator.h"

namespace namespace8100 {

namespace {

// Every unit of the family answers this family code, and the network address.
constexpr uint32_t kSharedFamily = 240;
constexpr uint8_t kNetworkAddress = 252;
constexpr uint8_t kCollectAddress = 1;
constexpr int kLastAddress = 250;
constexpr uint8_t kAddressingMode = 1;
constexpr uint8_t kAddressed = 0;

std::unique_ptr<IQDevice8100> UnitAt(IQDeviceManager* manager, IQDeviceType* type,
                                     uint8_t address) {
  const IQDeviceInfo info(address, kSharedFamily, 1);
  return std::make_unique<IQDevice8100>(type, manager, &info);
}

void IgnoringBusFailure(const auto& action) {
  try {
    action();
  } catch (const IQException&) {
    // The network address gets no reliable answer: whether units took it shows below.
  }
}

}  // namespace

AddressingResult AutoAddressUnits(IQDeviceManager* manager, IQDeviceType* type, int firstAddress) {
  const auto everyUnit = UnitAt(manager, type, kNetworkAddress);
  IgnoringBusFailure([&] { g8100Address.Write(*everyUnit, kCollectAddress); });
  IgnoringBusFailure([&] { g8100AddressDone.Write(*everyUnit, kAddressingMode); });
  const auto collected = UnitAt(manager, type, kCollectAddress);
  AddressingResult result;
  for (int address = firstAddress; address <= kLastAddress; ++address) {
    try {
      g8100Address.Write(*collected, static_cast<uint8_t>(address));
      g8100AddressDone.Write(*UnitAt(manager, type, static_cast<uint8_t>(address)), kAddressed);
    } catch (const ErrorObject&) {
      result.unitRefused = true;
      break;
    } catch (const IQException&) {
      break;
    }
    ++result.addressed;
  }
  return result;
}

void RunAutoAddressing(IQDeviceManager* manager, IQDeviceType* type) {
  if (ui::MessageBox(controls::ClientWindow(),
                     "This action will readdress all Ordavinex family units on the bus.  Continue?",
                     "Auto-addressing",
                     ui::mb::kOkCancel | ui::mb::kIconInformation) != ui::kIdOk) {
    return;
  }
  TInputDialog ask(controls::ClientWindow(), "First address", "Address : ", "2", 3,
                   std::make_unique<ui::RangeValidator>(1, kLastAddress));
  if (ask.Execute() != ui::kIdOk) return;
  char* end = nullptr;
  const long firstAddress = std::strtol(ask.Answer().c_str(), &end, 10);
  // Nothing typed, or no address: nothing is readdressed.
  if (end == ask.Answer().c_str() || *end != '\0' || firstAddress < 1 ||
      firstAddress > kLastAddress) {
    return;
  }
  AddressingResult result;
  {
    ui::WaitCursor wait;
    result = AutoAddressUnits(manager, type, static_cast<int>(firstAddress));
  }
  if (result.unitRefused) {
    ui::MessageBox(controls::ClientWindow(), "Unit responded with error code.", "Error",
                   ui::mb::kOk | ui::mb::kIconExclamation);
  }
  ui::MessageBox(controls::ClientWindow(), std::to_string(result.addressed) + " units addressed.",
                 "Auto addressing", ui::mb::kOk | ui::mb::kIconInformation);
}

}  // namespace namespace8100
