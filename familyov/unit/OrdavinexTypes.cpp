#include "familyov/unit/OrdavinexTypes.h"

#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/TNetLogicDialog.h"

namespace namespaceOV {

namespace {

constexpr const char* kHelpFile = "ov-man.pdf";
constexpr const char* kHelpTitle = "Ordavinex Help";
constexpr const char* kSpecialCommandText = "Trigger Ordavinex Logic";

}  // namespace

void IQOrdavinexType::SetRegistryKey(const registry::Key& programKey) {
  IQDeviceType::SetRegistryKey(programKey);
  SetTypeKey(programKey.OpenSubKey(kRegistryKeyName, true));
}

bool IQOrdavinexType::GetHelp(std::string& file, std::string& title) const {
  file = kHelpFile;
  title = kHelpTitle;
  return true;
}

IQ8148Type::IQ8148Type() { GetTemplate().familyCode = kFamilyCode8148; }

IQDevice* IQ8148Type::CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) {
  if (info && (info->familyCode != kFamilyCode8148 || info->modelId[1] != '8')) return nullptr;
  return new IQDevice8148(this, manager, info, 8);
}

IQ8126Type::IQ8126Type(char digit, int outputs, std::string name, IconResource icon, int smallIcon)
    : digit_(digit), outputs_(outputs), name_(std::move(name)), icon_(icon), smallIcon_(smallIcon) {
  GetTemplate().familyCode = kFamilyCode2Input;
}

IQDevice* IQ8126Type::CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) {
  if (info && (info->familyCode != kFamilyCode2Input || info->modelId[0] != digit_)) {
    return nullptr;
  }
  return new IQDevice8126(this, manager, info, outputs_);
}

void IQ8126Type::DoSpecialCommand(IQDeviceManager* manager) {
  TNetLogicDialog(this, manager).Execute();
}

bool IQ8126Type::GetSpecialCommand(std::string& text) const {
  if (outputs_ != 6) return false;
  text = kSpecialCommandText;
  return true;
}

}  // namespace namespaceOV
