#pragma once

#include <optional>

#include "bus/IQDeviceInfo.h"

class IQDevice;
class IQDeviceManager;

// The device marked with "Mark for copy". A virtual device is remembered as itself, a bus unit by
// its address, family and network, so that after a new roll call (which replaces every bus
// device object) the mark still finds the same unit, or finds that it is gone.
class CopyMark {
 public:
  void Set(const IQDevice& device);
  void Clear();
  bool IsSet() const { return virtual_ != nullptr || unit_.has_value(); }
  bool Refers(const IQDevice& device) const;
  // The marked device among the manager's current devices, or none when it is gone.
  IQDevice* Find(const IQDeviceManager& manager) const;

 private:
  const IQDevice* virtual_ = nullptr;
  std::optional<IQDeviceInfo> unit_;
};
