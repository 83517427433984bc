#include "app/CopyMark.h"

#include "bus/IQDevice.h"
#include "bus/IQDeviceManager.h"

void CopyMark::Set(const IQDevice& device) {
  Clear();
  if (device.GetInfo().IsVirtual()) {
    virtual_ = &device;
  } else {
    unit_ = device.GetInfo();
  }
}

void CopyMark::Clear() {
  virtual_ = nullptr;
  unit_.reset();
}

bool CopyMark::Refers(const IQDevice& device) const {
  if (virtual_ != nullptr) return virtual_ == &device;
  return unit_ && !device.GetInfo().IsVirtual() && device.Matches(*unit_);
}

IQDevice* CopyMark::Find(const IQDeviceManager& manager) const {
  if (!IsSet()) return nullptr;
  for (IQDevice* device : manager.Devices()) {
    if (Refers(*device)) return device;
  }
  return nullptr;
}
