#include "family8100/unit/FamilyKey8100.h"

#include <algorithm>
#include <cstring>

#include "family8100/filters/Filters8100.h"

namespace namespace8100 {

namespace {

constexpr const char* kMemories = "memories";
constexpr const char* kFilterDefaults = "Filter defaults";
constexpr const char* kFrequency = "frequency";
constexpr const char* kWidth = "width";
constexpr const char* kLevel = "level";
constexpr const char* kOrder = "order";
constexpr uint32_t kMaskBits = 0xFFFF;
constexpr int32_t kDefaultShelfOrder = 2;
constexpr float kDefaultPeakWidth = 8.7F;

// Where each type keeps its defaults and what it starts with without them.
struct TypeDefaults {
  const char* subkey;  // none: the type always starts with the defaults
  int32_t frequency;
};

std::optional<TypeDefaults> DefaultsOf(int32_t type) {
  switch (type) {
    case kParametricFilter:
      return TypeDefaults{"Parametric", 1000};
    case kBoostCutFilter:
      return TypeDefaults{nullptr, 1000};
    case kLowpassFilter:
      return TypeDefaults{"Lowpass", 15000};
    case kHighpassFilter:
      return TypeDefaults{"Highpass", 40};
    case kLowShelfFilter:
      return TypeDefaults{"Lowshelf", 200};
    case kHighShelfFilter:
      return TypeDefaults{"Highshelf", 5000};
    default:
      return std::nullopt;
  }
}

uint32_t FloatBits(float value) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

float StoredFloat(const registry::Key& key, const char* name, float fallback) {
  const std::optional<uint32_t> bits = key.GetNumber(name);
  if (!bits) return fallback;
  float value = 0;
  std::memcpy(&value, &*bits, sizeof value);
  // A value edited by hand must not reach a filter as NaN.
  return value == value ? value : fallback;
}

}  // namespace

uint32_t FamilyKey8100::ReadMemoryMask(const std::string& subkey) const {
  return key_.OpenSubKey(subkey, false).GetNumber(kMemories).value_or(0) & kMaskBits;
}

void FamilyKey8100::WriteMemoryMask(const std::string& subkey, uint32_t mask) const {
  key_.OpenSubKey(subkey, true).SetNumber(kMemories, mask);
}

bool FamilyKey8100::MemoryMaskHas(const std::string& subkey, int memory) const {
  return memory >= 1 && memory <= 16 && (ReadMemoryMask(subkey) >> (memory - 1) & 1U) != 0;
}

bool FamilyKey8100::HorizontalZoom() const {
  return (key_.GetNumber("Horizontal Zoom").value_or(0) & 0xFF) != 0;
}

bool FamilyKey8100::VerticalZoom() const {
  return (key_.GetNumber("Vertical Zoom").value_or(0) & 0xFF) != 0;
}

void FamilyKey8100::SetHorizontalZoom(bool on) const {
  key_.SetNumber("Horizontal Zoom", on ? 1 : 0);
}

void FamilyKey8100::SetVerticalZoom(bool on) const { key_.SetNumber("Vertical Zoom", on ? 1 : 0); }

std::optional<uint8_t> FamilyKey8100::DelayUnits() const {
  const std::optional<uint32_t> units = key_.GetNumber("Delay units");
  if (!units) return std::nullopt;
  return static_cast<uint8_t>(*units);
}

void FamilyKey8100::SetDelayUnits(uint8_t units) const { key_.SetNumber("Delay units", units); }

void FamilyKey8100::SaveFilterDefault(const TFilter& filter) const {
  const std::optional<TypeDefaults> defaults = DefaultsOf(filter.type);
  if (!defaults || !defaults->subkey) return;
  const registry::Key key =
      key_.OpenSubKey(kFilterDefaults, true).OpenSubKey(defaults->subkey, true);
  key.SetNumber(kFrequency, static_cast<uint32_t>(filter.frequency));
  if (const auto* peak = dynamic_cast<const TPeakFilter*>(&filter)) {
    key.SetNumber(kWidth, FloatBits(peak->q));
    key.SetNumber(kLevel, FloatBits(peak->level));
  } else if (const auto* pass = dynamic_cast<const TPassFilter*>(&filter)) {
    key.SetNumber(kOrder, static_cast<uint32_t>(pass->order));
  } else if (const auto* shelf = dynamic_cast<const TShelfFilter*>(&filter)) {
    key.SetNumber(kLevel, FloatBits(shelf->level));
  }
}

void FamilyKey8100::ApplyFilterDefaults(TFilter& filter) const {
  const std::optional<TypeDefaults> defaults = DefaultsOf(filter.type);
  if (!defaults) return;
  const registry::Key key =
      defaults->subkey ? key_.OpenSubKey(kFilterDefaults, false).OpenSubKey(defaults->subkey, false)
                       : registry::Key();
  filter.frequency = static_cast<int32_t>(
      key.GetNumber(kFrequency).value_or(static_cast<uint32_t>(defaults->frequency)) & 0xFFFF);
  if (auto* peak = dynamic_cast<TPeakFilter*>(&filter)) {
    peak->q = StoredFloat(key, kWidth, kDefaultPeakWidth);
    peak->level = StoredFloat(key, kLevel, 0.0F);
  } else if (auto* pass = dynamic_cast<TPassFilter*>(&filter)) {
    pass->order = std::clamp<int32_t>(key.GetNumber(kOrder).value_or(2) & 0xFF, 1,
                                      familycommon::kMaxFilterOrder);
  } else if (auto* shelf = dynamic_cast<TShelfFilter*>(&filter)) {
    shelf->level = StoredFloat(key, kLevel, 0.0F);
    shelf->shelfOrder = kDefaultShelfOrder;
  }
}

}  // namespace namespace8100
