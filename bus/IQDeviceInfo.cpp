#include "bus/IQDeviceInfo.h"

#include <algorithm>

IQDeviceInfo::IQDeviceInfo(uint8_t address, uint32_t familyCode, uint8_t network,
                           std::span<const uint8_t> modelId)
    : address(address), network(network), familyCode(familyCode) {
  std::copy_n(modelId.begin(), std::min(modelId.size(), kModelIdBytes), this->modelId.begin());
}

std::string IQDeviceInfo::ModelText() const {
  const auto end = std::find(modelId.begin(), modelId.end(), 0);
  return std::string(modelId.begin(), end);
}
