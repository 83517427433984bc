#include "app/DeviceTypes.h"

#include <cstdint>

#include "bus/IQDeviceType.h"

#if defined(TELVO_HAVE_FAMILYOV)
#include TELVO_FAMILYOV_TYPES_HEADER
#endif

namespace {

// Each type's template: a virtual device's record, family code and model character.
[[maybe_unused]] void SetTemplate(IQDeviceType& type, uint32_t familyCode, char model) {
  IQDeviceInfo& info = type.GetTemplate();
  info.address = IQDeviceInfo::kVirtualAddress;
  info.network = 1;
  info.familyCode = familyCode;
  info.modelId = {};
  info.modelId[0] = static_cast<uint8_t>(model);
}

template <typename Type>
[[maybe_unused]] void Add(DeviceTypeList& types, uint32_t familyCode, char model) {
  auto type = std::make_unique<Type>();
  SetTemplate(*type, familyCode, model);
  types.push_back(std::move(type));
}

}  // namespace

DeviceTypeList MakeDeviceTypes() {
  DeviceTypeList types;
#if defined(TELVO_HAVE_FAMILYOV)
  constexpr uint32_t kOrdavinexFamily = 880;
  constexpr uint32_t kOrdavinex48Family = 1136;
  Add<namespaceOV::IQ8122Type>(types, kOrdavinexFamily, '2');
  Add<namespaceOV::IQ8124Type>(types, kOrdavinexFamily, '4');
  Add<namespaceOV::IQ8126Type>(types, kOrdavinexFamily, '6');
  Add<namespaceOV::IQ8148Type>(types, kOrdavinex48Family, '8');
#endif
  return types;
}
