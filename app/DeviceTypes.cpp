#include "app/DeviceTypes.h"

#include <cstdint>

#include "app/ErrorDialogs.h"
#include "app/TelvoApp.h"
#include "bus/IQDeviceType.h"
#include "controls/DeviceErrorReport.h"

#if defined(TELVO_HAVE_FAMILY3300)
#include TELVO_HAVE_FAMILY3300_HEADER
#endif
#if defined(TELVO_HAVE_FAMILY8100)
#include TELVO_HAVE_FAMILY8100_HEADER
#endif
#if defined(TELVO_HAVE_FAMILY8100_EDITORS)
#include "family8100/filters/TCrossoverWindow.h"
#include "family8100/filters/TFilterBankEditor.h"
#endif
#if defined(TELVO_HAVE_FAMILYOV)
#include TELVO_HAVE_FAMILYOV_HEADER
#include "familyov/unit/IQDeviceOrdavinex.h"
#endif

namespace {

// Both are used only by the families that are built in.

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
  // The order is the image index of each type's icon and the order of the Devices menu's
  // special commands, so it is fixed: graphic equalisers, older processors, newer processors.
#if defined(TELVO_HAVE_FAMILY3300)
  constexpr uint32_t kGraphicEqualiserFamily = 1520;
  Add<namespace3300::IQ3300Type>(types, kGraphicEqualiserFamily, '1');
  Add<namespace3300::IQ33002Type>(types, kGraphicEqualiserFamily, '2');
#endif
#if defined(TELVO_HAVE_FAMILY8100)
  constexpr uint32_t kOrdavinexBaseFamily = 368;
  constexpr uint32_t kOrdavinexPlusFamily = 496;
  constexpr uint32_t kOrdavinexXFamily = 624;
  constexpr uint32_t kOrdavinexRuneTideFamily = 752;
  Add<namespace8100::IQ8100Type>(types, kOrdavinexBaseFamily, '1');
  Add<namespace8100::IQ8100PlusType>(types, kOrdavinexPlusFamily, '1');
  Add<namespace8100::IQ8100XType>(types, kOrdavinexXFamily, '1');
  Add<namespace8100::IQ8100RTType>(types, kOrdavinexRuneTideFamily, '1');
#endif
#if defined(TELVO_HAVE_FAMILYOV)
  constexpr uint32_t kOrdavinexFamily = 880;
  constexpr uint32_t kOrdavinex48Family = 1136;
  Add<namespaceOV::IQ8122Type>(types, kOrdavinexFamily, '2');
  Add<namespaceOV::IQ8124Type>(types, kOrdavinexFamily, '4');
  Add<namespaceOV::IQ8126Type>(types, kOrdavinexFamily, '6');
  Add<namespaceOV::IQ8148Type>(types, kOrdavinex48Family, '8');
#endif
#if defined(TELVO_HAVE_FAMILY8100_EDITORS)
  namespace8100::RegisterCrossoverEditor();
  namespace8100::RegisterBankEditor();
#endif
  return types;
}

void InstallFamilyErrorReports() {
  controls::SetDeviceErrorReporter([](const IQException& error, IQDevice* device, int code) {
    ShowDeviceError(error, device, code);
  });
#if defined(TELVO_HAVE_FAMILYOV)
  // The newer family names no unit error codes: every failure is one of the path.
  namespaceOV::SetCommErrorReporter([](const IQException& error, IQDevice& device) {
    ShowDeviceError(error, &device, controls::kNoUnitErrorCode, MainWindow());
  });
#endif
}
