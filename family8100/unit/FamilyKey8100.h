#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/registry/Key.h"

namespace namespace8100 {

class TFilter;

// The family's preferences under its key: zoom, delay unit, which memories the last save, report
// and copy took, and the values a new filter starts with. A missing key or value gives the
// default; an invalid key (a type never registered) reads defaults and stores nothing.
class FamilyKey8100 {
 public:
  // The subkeys whose "memories" mask each operation remembers.
  static constexpr const char* kFileSave = "File save";
  static constexpr const char* kReport = "Report";
  static constexpr const char* kDeviceCopy = "Device copy";

  explicit FamilyKey8100(registry::Key key) : key_(std::move(key)) {}

  // Bit n-1 for memory n; the low 16 bits of the stored value.
  uint32_t ReadMemoryMask(const std::string& subkey) const;
  void WriteMemoryMask(const std::string& subkey, uint32_t mask) const;
  bool MemoryMaskHas(const std::string& subkey, int memory) const;

  bool HorizontalZoom() const;
  bool VerticalZoom() const;
  void SetHorizontalZoom(bool on) const;
  void SetVerticalZoom(bool on) const;
  std::optional<uint8_t> DelayUnits() const;
  void SetDelayUnits(uint8_t units) const;

  // Types 3 to 7 keep the filter's values; others keep nothing.
  void SaveFilterDefault(const TFilter& filter) const;
  // Types 3 to 7 and 10 take the stored values, else the family's defaults; others are unchanged.
  void ApplyFilterDefaults(TFilter& filter) const;

 private:
  registry::Key key_;
};

}  // namespace namespace8100
