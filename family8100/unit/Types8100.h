#pragma once

#include <string>

#include "bus/IQDeviceType.h"
#include "family8100/unit/FamilyKey8100.h"
#include "family8100/unit/IQDevice8100.h"
#include "resources/Family8100Ids.h"

namespace namespace8100 {

// The base model's type; the other three derive it and share its registry key, large icon and
// special command, which only the base announces so that the Devices menu shows it once.
class IQ8100Type : public IQDeviceType {
 public:
  static constexpr const char* kRegistryKeyName = "Ordavinex";

  IQ8100Type() = default;

  // Opens (creating it when absent) the family's subkey of the program's key.
  void SetRegistryKey(const registry::Key& programKey) override;
  IQDevice* CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) override;
  IconResource CreateIcon() const override { return f8100res::kLargeIcon; }
  IconResource CreateSmallIcon() const override { return 7; }
  std::string GetName() const override { return "Ordavinex"; }
  // The family's preferences.
  FamilyKey8100 Key() const { return FamilyKey8100(GetTypeKey()); }
  // Auto-addressing of every unit of the family.
  bool GetSpecialCommand(std::string& text) const override;
  void DoSpecialCommand(IQDeviceManager* manager) override;

 protected:
  // The other models share the base model's special command without announcing it again.
  explicit IQ8100Type(bool announcesSpecialCommand)
      : announcesSpecialCommand_(announcesSpecialCommand) {}

  // The model's device: a virtual one without a record, else a bus one for a record of the
  // model's own code.
  template <typename Device>
  IQDevice* Create(IQDeviceManager* manager, const IQDeviceInfo* info, uint32_t typeCode) {
    if (info && info->familyCode != typeCode) return nullptr;
    auto* device = new Device(this, manager, info);
    const FamilyKey8100 key = Key();
    device->SetGraphZoom(key.HorizontalZoom(), key.VerticalZoom());
    return device;
  }

 private:
  bool announcesSpecialCommand_ = true;
};

class IQ8100PlusType : public IQ8100Type {
 public:
  IQ8100PlusType() : IQ8100Type(false) {}
  IQDevice* CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) override {
    return Create<IQDevice8100Plus>(manager, info, kTypeCodePlus);
  }
  IconResource CreateSmallIcon() const override { return 13; }
  std::string GetName() const override { return "Ordavinex+"; }
};

class IQ8100XType : public IQ8100Type {
 public:
  IQ8100XType() : IQ8100Type(false) {}
  IQDevice* CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) override {
    return Create<IQDevice8100X>(manager, info, kTypeCodeX);
  }
  IconResource CreateSmallIcon() const override { return 14; }
  std::string GetName() const override { return "Ordavinex X"; }
};

class IQ8100RTType : public IQ8100Type {
 public:
  IQ8100RTType() : IQ8100Type(false) {}
  IQDevice* CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) override {
    return Create<IQDevice8100RT>(manager, info, kTypeCodeRuneTide);
  }
  IconResource CreateSmallIcon() const override { return 15; }
  std::string GetName() const override { return "Ordavinex Rune Tide"; }
};

}  // namespace namespace8100
