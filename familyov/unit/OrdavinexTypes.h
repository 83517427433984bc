#pragma once

#include "bus/IQDeviceType.h"

namespace namespaceOV {

inline constexpr uint32_t kFamilyCode8148 = 1136;
inline constexpr uint32_t kFamilyCode2Input = 880;

// What every model type of the family shares: its registry key and help.
class IQOrdavinexType : public IQDeviceType {
 public:
  static constexpr const char* kRegistryKeyName = "Ordavinex 26";

  // Opens (creating it when absent) the family's subkey of the program's key; every model of the
  // family shares it.
  void SetRegistryKey(const registry::Key& programKey) override;
  bool GetHelp(std::string& file, std::string& title) const override;
};

class IQ8148Type : public IQOrdavinexType {
 public:
  IQ8148Type();
  IQDevice* CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) override;
  IconResource CreateIcon() const override { return 9; }
  IconResource CreateSmallIcon() const override { return 20; }
  std::string GetName() const override { return "Ordavinex 48"; }
};

// The 2-input models, told apart by the output digit in the first byte of the model information.
class IQ8126Type : public IQOrdavinexType {
 public:
  IQ8126Type() : IQ8126Type('6', 6, "Ordavinex 26", 9, 16) {}
  IQDevice* CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) override;
  IconResource CreateIcon() const override { return icon_; }
  IconResource CreateSmallIcon() const override { return smallIcon_; }
  std::string GetName() const override { return name_; }
  bool GetSpecialCommand(std::string& text) const override;
  // The network logic trigger.
  void DoSpecialCommand(IQDeviceManager* manager) override;

 protected:
  IQ8126Type(char digit, int outputs, std::string name, IconResource icon, int smallIcon);

 private:
  char digit_;
  int outputs_;
  std::string name_;
  IconResource icon_;
  int smallIcon_;
};

class IQ8124Type : public IQ8126Type {
 public:
  IQ8124Type() : IQ8126Type('4', 4, "Ordavinex 24", std::nullopt, 17) {}
};

class IQ8122Type : public IQ8126Type {
 public:
  IQ8122Type() : IQ8126Type('2', 2, "Ordavinex 22", std::nullopt, 18) {}
};

}  // namespace namespaceOV
