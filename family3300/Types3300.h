#pragma once

#include <cstdint>
#include <string>

#include "bus/IQDeviceType.h"
#include "family3300/IQDevice3300.h"
#include "resources/Family3300Ids.h"

namespace namespace3300 {

// What both models share: the family's registry key and the memory masks of report and copy
// (bit k - 1 stands for memory k).
class IQ3300BaseType : public IQDeviceType {
 public:
  static constexpr const char* kRegistryKeyName = "3300/3300-2";

  // Opens (creating it when absent) the family's subkey of the program's key.
  void SetRegistryKey(const registry::Key& programKey) override;

  // The memories the report lists, and those a copy transfers; none until set.
  uint32_t GetPrintMemories() const { return GetMask("Printing"); }
  void SetPrintMemories(uint32_t mask) const { SetMask("Printing", mask); }
  uint32_t GetCopyMemories() const { return GetMask("Copy"); }
  void SetCopyMemories(uint32_t mask) const { SetMask("Copy", mask); }

 protected:
  // A virtual unit of the model without a record; a bus unit for a record of the family whose
  // model digit is '2' exactly when the model has two channels; else none.
  IQDevice* Create(IQDeviceManager* manager, const IQDeviceInfo* info, Model3300 model);

 private:
  uint32_t GetMask(const std::string& subKey) const;
  void SetMask(const std::string& subKey, uint32_t mask) const;
};

class IQ3300Type : public IQ3300BaseType {
 public:
  IQDevice* CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) override {
    return Create(manager, info, Model3300::kOneChannel);
  }
  IconResource CreateIcon() const override { return res3300::kLargeIcon; }
  IconResource CreateSmallIcon() const override { return 8; }
  std::string GetName() const override { return "3300XL"; }
  bool GetHelp(std::string& file, std::string& title) const override;
};

class IQ33002Type : public IQ3300BaseType {
 public:
  IQDevice* CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) override {
    return Create(manager, info, Model3300::kTwoChannel);
  }
  IconResource CreateIcon() const override { return res3300::kTwoChannelLargeIcon; }
  IconResource CreateSmallIcon() const override { return 11; }
  std::string GetName() const override { return "3300-2XL"; }
};

}  // namespace namespace3300
