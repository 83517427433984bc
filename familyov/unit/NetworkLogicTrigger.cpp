#include "familyov/unit/NetworkLogicTrigger.h"

#include <optional>
#include <string>

#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/WaitProgress.h"

namespace namespaceOV {
namespace {

void CheckInput(int input) {
  if (input < kFirstNetworkLogicInput || input > kLastNetworkLogicInput) {
    throw OrdavinexRangeError("Logic input " + std::to_string(input) + " does not exist.");
  }
}

}  // namespace

bool SendNetworkLogicTrigger(IQDeviceType* type, IQDeviceManager* manager, int input,
                             TProgressDialog* progress) {
  const IQDeviceInfo everyUnit(kNetworkLogicAddress, kNetworkLogicFamilyCode, 1);
  IQDevice8126 network(type, manager, &everyUnit, 6);
  try {
    CheckInput(input);
    if (manager) manager->GetPort().Open();
    std::optional<WaitProgress> shown;
    if (progress) shown.emplace(network, *progress);
    gCurrentLogicInObject.WriteAndWaitReady(network, static_cast<uint8_t>(input));
    return true;
  } catch (const IQException& error) {
    ReportCommError(error, network);
    return false;
  }
}

}  // namespace namespaceOV
