#pragma once

class IQDeviceManager;
class IQDeviceType;

namespace namespace8100 {

// How an auto-addressing run ended.
struct AddressingResult {
  int addressed = 0;
  // A unit answered with its error object, which ended the run.
  bool unitRefused = false;
};

// Gives every unit of the family on the bus a new address from `firstAddress` (1 to 250) on: all
// of them are sent to address 1 in addressing mode, then the one answering there is moved to the
// next free address until none answers or the addresses run out.
AddressingResult AutoAddressUnits(IQDeviceManager* manager, IQDeviceType* type, int firstAddress);

// The Devices menu's command: asks before it starts and for the first address (cancelling either
// question readdresses nothing), then says how many units it readdressed.
void RunAutoAddressing(IQDeviceManager* manager, IQDeviceType* type);

}  // namespace namespace8100
