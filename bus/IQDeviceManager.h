#pragma once

#include <memory>
#include <vector>

#include "bus/UCodeEncoder.h"

class BusNotifier;
class CommPort;
class IQDevice;
class IQDeviceType;

// Owns every device, bus units and virtual ones in order of creation, each with its in-use mark
// (set while its edit window is open), and the transport; runs the roll call.
class IQDeviceManager {
 public:
  explicit IQDeviceManager(CommPort& port);
  ~IQDeviceManager();
  IQDeviceManager(const IQDeviceManager&) = delete;
  IQDeviceManager& operator=(const IQDeviceManager&) = delete;

  // Replaces every bus device with the units that answer, created by the first of `types` that
  // accepts each record and appended to `found`. A unit matching a device already known is an
  // address conflict: the user is told and no further device is created. A failure on the bus
  // throws and leaves the devices as they were.
  void RollCall(const std::vector<IQDeviceType*>& types, std::vector<IQDevice*>& found,
                BusNotifier& notifier);
  void RemoveBusDevices();

  // The device marked in use, or none when it is unknown or already in use.
  IQDevice* Acquire(IQDevice* device);
  void Release(IQDevice* device);
  IQDevice* FindDevice(const IQDeviceInfo& info, const std::string& name) const;
  bool AnyUnsaved() const;
  bool AnyBusInUse() const;
  bool AnyVirtualInUse() const;
  // A new virtual device named "New Device #n" with the lowest free n.
  IQDevice* NewVirtualDevice(IQDeviceType* type);
  // False when the device is unknown or in use.
  bool DeleteDevice(IQDevice* device);
  // Removes every device, last first, marking each closed.
  void RemoveAll();

  std::vector<IQDevice*> Devices() const;
  bool IsInUse(const IQDevice* device) const;
  UCodeEncoder& GetEncoder() { return encoder_; }
  CommPort& GetPort() { return port_; }

 private:
  struct Entry {
    std::unique_ptr<IQDevice> device;
    bool inUse = false;
  };

  std::vector<Entry>::iterator FindEntry(const IQDevice* device);
  std::vector<Entry>::const_iterator FindEntry(const IQDevice* device) const;
  bool AnyInUse(bool virtualDevices) const;
  void CreateFromRecord(const std::vector<IQDeviceType*>& types, const IQDeviceInfo& record,
                        std::vector<IQDevice*>& found);

  std::vector<Entry> entries_;
  CommPort& port_;
  UCodeEncoder encoder_;
};

// The program's device manager, on `TheCommPort`.
extern IQDeviceManager TheDeviceManager;
