#include "family3300/Types3300.h"

namespace namespace3300 {

namespace {

constexpr const char* kMaskValueName = "memories";
constexpr uint32_t kMaskBits = 0xFFFF;

}  // namespace

void IQ3300BaseType::SetRegistryKey(const registry::Key& programKey) {
  IQDeviceType::SetRegistryKey(programKey);
  SetTypeKey(programKey.OpenSubKey(kRegistryKeyName, true));
}

IQDevice* IQ3300BaseType::Create(IQDeviceManager* manager, const IQDeviceInfo* info,
                                 Model3300 model) {
  if (info) {
    const bool twoChannel = info->modelId[0] == '2';
    if (info->familyCode != kFamilyCode3300 || twoChannel != (model == Model3300::kTwoChannel)) {
      return nullptr;
    }
  }
  return new IQDevice3300(this, manager, info, model);
}

uint32_t IQ3300BaseType::GetMask(const std::string& subKey) const {
  if (!GetTypeKey().IsValid()) return 0;
  return GetTypeKey().OpenSubKey(subKey, true).GetNumber(kMaskValueName).value_or(0) & kMaskBits;
}

void IQ3300BaseType::SetMask(const std::string& subKey, uint32_t mask) const {
  if (!GetTypeKey().IsValid()) return;
  GetTypeKey().OpenSubKey(subKey, true).SetNumber(kMaskValueName, mask);
}

bool IQ3300Type::GetHelp(std::string& file, std::string& title) const {
  file = "3300-man.pdf";
  title = "3300/3300-2 Help";
  return true;
}

}  // namespace namespace3300
