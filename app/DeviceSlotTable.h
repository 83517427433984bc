#pragma once

#include <array>

class IQDevice;

// Ties list items to devices: an item carries a slot number, the slot the device. The table does
// not own the devices; the device manager does.
class DeviceSlotTable {
 public:
  static constexpr int kSlotCount = 255;

  // The lowest free slot, now holding `device`; -1 when all are taken.
  int Take(IQDevice* device);
  void Free(int slot);
  // The device in `slot`, none for a free slot or a number out of range.
  IQDevice* At(int slot) const;
  // The lowest slot holding `device`, -1 when none does.
  int SlotOf(const IQDevice* device) const;
  // Frees every slot of a bus unit; virtual devices keep theirs.
  void FreeBusDevices();

 private:
  std::array<IQDevice*, kSlotCount> devices_{};
};
