#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

// The identity of a unit as the roll call reports it; also the template of every device type.
struct IQDeviceInfo {
  static constexpr uint8_t kVirtualAddress = 255;
  static constexpr uint8_t kMaxBusAddress = 250;
  static constexpr std::size_t kModelIdBytes = 8;

  IQDeviceInfo() = default;
  IQDeviceInfo(uint8_t address, uint32_t familyCode, uint8_t network,
               std::span<const uint8_t> modelId = {});

  // The model id up to its first zero byte.
  std::string ModelText() const;
  bool IsVirtual() const { return address == kVirtualAddress; }
  bool operator==(const IQDeviceInfo&) const = default;

  uint8_t address = kVirtualAddress;
  uint8_t network = 1;
  std::array<uint8_t, kModelIdBytes> modelId{};
  uint32_t familyCode = 0;
};
