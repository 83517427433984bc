#include "family8100/unit/Types8100.h"

namespace namespace8100 {

void IQ8100Type::SetRegistryKey(const registry::Key& programKey) {
  IQDeviceType::SetRegistryKey(programKey);
  SetTypeKey(programKey.OpenSubKey(kRegistryKeyName, true));
}

IQDevice* IQ8100Type::CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) {
  return Create<IQDevice8100>(manager, info, kTypeCodeBase);
}

}  // namespace namespace8100
