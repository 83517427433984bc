#include "family8100/unit/Types8100.h"

#include "family8100/unit/AutoAddress8100.h"

namespace namespace8100 {

void IQ8100Type::SetRegistryKey(const registry::Key& programKey) {
  IQDeviceType::SetRegistryKey(programKey);
  SetTypeKey(programKey.OpenSubKey(kRegistryKeyName, true));
}

IQDevice* IQ8100Type::CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) {
  return Create<IQDevice8100>(manager, info, kTypeCodeBase);
}

bool IQ8100Type::GetSpecialCommand(std::string& text) const {
  if (!announcesSpecialCommand_) return false;
  text = "Auto-address Ordavinex units";
  return true;
}

void IQ8100Type::DoSpecialCommand(IQDeviceManager* manager) { RunAutoAddressing(manager, this); }

}  // namespace namespace8100
