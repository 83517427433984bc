#include "familyov/unit/LogicTrigger.h"

#include <optional>
#include <string>

#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/WaitProgress.h"

namespace namespaceOV {
namespace {

void CheckInput(int input) {
  if (input < kFirstLogicInput || input > kLastLogicInput) {
    throw OrdavinexRangeError("Logic input " + std::to_string(input) + " does not exist.");
  }
}

// Fires the input and waits for the unit, the wait shown in `progress` when there is one.
void FireAndWait(IQDeviceOrdavinex& device, int input, TProgressDialog* progress) {
  std::optional<WaitProgress> shown;
  if (progress) shown.emplace(device, *progress);
  gCurrentLogicInObject.WriteAndWaitReady(device, static_cast<uint8_t>(input));
}

}  // namespace

void TriggerLogicInput(IQDeviceOrdavinex& device, int input, TProgressDialog* progress) {
  CheckInput(input);
  if (device.IsOnline()) {
    FireAndWait(device, input, progress);
    return;
  }
  gLogicMemoryObject.SetElement(input);
  const int memory = gLogicMemoryObject.Read(device);
  if (memory > device.GetMemoryCount()) {
    throw OrdavinexRangeError("Logic input " + std::to_string(input) + " recalls memory " +
                              std::to_string(memory) + ", which this unit does not have.");
  }
  gCurrentLogicInObject.WriteAndWaitReady(device, static_cast<uint8_t>(input));
  gRecallMemoryObject.RecallMemory(device, static_cast<uint8_t>(memory));
}

bool SendNetworkLogicTrigger(IQDeviceType* type, IQDeviceManager* manager, int input,
                             TProgressDialog* progress) {
  const IQDeviceInfo everyUnit(kNetworkLogicAddress, kNetworkLogicFamilyCode, 1);
  IQDevice8126 network(type, manager, &everyUnit, 6);
  try {
    CheckInput(input);
    if (manager) manager->GetPort().Open();
    FireAndWait(network, input, progress);
    return true;
  } catch (const IQException& error) {
    ReportCommError(error, network);
    return false;
  }
}

}  // namespace namespaceOV
