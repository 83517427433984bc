#include "app/DeviceSlotTable.h"

#include "bus/IQDevice.h"

int DeviceSlotTable::Take(IQDevice* device) {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (devices_[slot] == nullptr) {
      devices_[slot] = device;
      return slot;
    }
  }
  return -1;
}

void DeviceSlotTable::Free(int slot) {
  if (slot >= 0 && slot < kSlotCount) devices_[slot] = nullptr;
}

IQDevice* DeviceSlotTable::At(int slot) const {
  return slot >= 0 && slot < kSlotCount ? devices_[slot] : nullptr;
}

int DeviceSlotTable::SlotOf(const IQDevice* device) const {
  if (device == nullptr) return -1;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (devices_[slot] == device) return slot;
  }
  return -1;
}

void DeviceSlotTable::FreeBusDevices() {
  for (IQDevice*& device : devices_) {
    if (device != nullptr && !device->GetInfo().IsVirtual()) device = nullptr;
  }
}
