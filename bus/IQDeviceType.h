#pragma once

#include <optional>
#include <string>

#include "bus/IQDeviceInfo.h"
#include "platform/registry/Key.h"

class IQDevice;
class IQDeviceManager;

// One model of one family: creates its devices from roll-call records, names the model and may
// offer a special command for the Devices menu.
class IQDeviceType {
 public:
  // Icons are named by their resource number; the application loads them.
  using IconResource = std::optional<int>;

  virtual ~IQDeviceType() = default;

  // The base keeps the application's settings key; the families open their subkey of it.
  virtual void SetRegistryKey(const registry::Key& key) { settingsKey_ = key; }
  // With a record: a new device when the record belongs to this model, else none. Without one:
  // a new virtual device of the model. The caller owns the device.
  virtual IQDevice* CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) = 0;
  virtual IconResource CreateIcon() const { return std::nullopt; }
  virtual IconResource CreateSmallIcon() const { return std::nullopt; }
  virtual std::string GetName() const = 0;
  virtual bool GetHelp(std::string& file, std::string& title) const;
  // True with the menu text when the model has a special command.
  virtual bool GetSpecialCommand(std::string& text) const;
  virtual void DoSpecialCommand(IQDeviceManager* manager);

  // Address 255, network 1; the application fills in family code and model digit per model.
  IQDeviceInfo& GetTemplate() { return template_; }
  const IQDeviceInfo& GetTemplate() const { return template_; }
  const registry::Key& GetSettingsKey() const { return settingsKey_; }
  const registry::Key& GetTypeKey() const { return typeKey_; }

 protected:
  void SetTypeKey(const registry::Key& key) { typeKey_ = key; }

 private:
  registry::Key settingsKey_;
  IQDeviceInfo template_;
  registry::Key typeKey_;
};
