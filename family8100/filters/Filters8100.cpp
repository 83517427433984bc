#include "family8100/filters/Filters8100.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "bus/SettingsTextFile.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"

namespace namespace8100 {

namespace {

// Which value the filter value object carries.
enum ParamSelect : uint8_t { kSelectFrequency = 0, kSelectFirst = 1, kSelectSecond = 2 };

constexpr std::array<const char*, 11> kTypeNames = {
    "Undefined",    "Reserved",      "Subordinate",   "Parametric",     "Lowpass",  "Highpass",
    "Low shelving", "High shelving", "Low crossover", "High crossover", "Boost/cut"};
constexpr std::array<const char*, 4> kAlignmentNames = {"none", "Butterworth", "Bessel",
                                                        "Linkwitz-Riley"};
constexpr std::array<const char*, 4> kReportAlignmentNames = {"None", "Butterworth", "Bessel",
                                                              "Linkwitz-Riley"};
constexpr int32_t kFirstKiloHertzText = 5000;

std::string Printed(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printed(const char* format, ...) {
  char text[128];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

template <std::size_t N>
std::string NameAt(const std::array<const char*, N>& names, int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(N)) return {};
  return names[static_cast<std::size_t>(index)];
}

// An order a unit reports is kept where the tables and the budget hold it. A file's order is
// taken as written: its reader refuses one out of range.
int32_t BoundedOrder(int32_t order) { return std::clamp(order, 1, familycommon::kMaxFilterOrder); }

// A value of a file record; text there that is no number of its kind is refused by the value's
// name.
template <typename Read>
auto RecordValue(const std::string& what, const char* kind, Read read) -> decltype(read()) {
  try {
    return read();
  } catch (const FileParserError& error) {
    if (error.GetKind() != FileParserError::kFormatError) throw;
    throw FilterRecordError("The " + what + " is no " + kind + ".");
  }
}

int32_t RecordInt(SettingsTextFile& file, const std::string& what) {
  return RecordValue(what, "whole number", [&] { return file.ReadInt(); });
}

float RecordFloat(SettingsTextFile& file, const std::string& what) {
  return RecordValue(what, "number", [&] { return file.ReadFloat(); });
}

void Select(IQDevice8100& unit, ParamSelect which) { g8100FilterParamSelect.Write(unit, which); }

int32_t ReadLong(IQDevice8100& unit, ParamSelect which) {
  Select(unit, which);
  return static_cast<int32_t>(g8100FilterValueLong.Read(unit));
}

float ReadFloat(IQDevice8100& unit, ParamSelect which) {
  Select(unit, which);
  return g8100FilterValueFloat.Read(unit);
}

void WriteLong(IQDevice8100& unit, ParamSelect which, int32_t value) {
  Select(unit, which);
  g8100FilterValueLong.Write(unit, static_cast<uint32_t>(value));
}

void WriteFloat(IQDevice8100& unit, ParamSelect which, float value) {
  Select(unit, which);
  g8100FilterValueFloat.Write(unit, value);
}

// The frequency and the commit flag that ends a drag's quick write.
void WriteDragFrequency(IQDevice8100& unit, int32_t frequency) {
  WriteLong(unit, kSelectFrequency, frequency);
  g8100FilterCommit.Write(unit, false);
}

// The gain the unit takes for a level, less `offset`, worked out in double precision before it
// becomes the float on the wire. A level from a file or a unit is kept within the family's range.
float WireGain(float levelDb, double offset = 0.0) {
  const double db = std::isnan(levelDb) ? double{familycommon::kLevelFloorDb}
                                        : std::clamp<double>(levelDb, familycommon::kLevelFloorDb,
                                                             familycommon::kLevelCeilingDb);
  return static_cast<float>(std::pow(10.0, 0.05 * db) - offset);
}

std::string SlopeText(int32_t order, bool longForm) {
  return longForm ? Printed("Slope: %d dB/oct", -6 * order) : Printed("%d", -6 * order);
}

}  // namespace

std::string FilterTypeName(int32_t typeId) { return NameAt(kTypeNames, typeId); }
std::string AlignmentName(int32_t alignment) { return NameAt(kAlignmentNames, alignment); }

// ---- TFilter

void TFilter::WriteToUnit(IQDevice8100& unit) const {
  g8100FilterSlot.Write(unit, static_cast<uint8_t>(slot));
  g8100FilterType.Write(unit, static_cast<uint8_t>(type));
  g8100FilterBank.Write(unit, static_cast<uint8_t>(bank));
  g8100FilterBypass.Write(unit, bypass);
  WriteLong(unit, kSelectFrequency, frequency);
}

void TFilter::WriteDragValues(IQDevice8100& unit) const { WriteDragFrequency(unit, frequency); }

bool TFilter::ReadFromUnit(IQDevice8100& unit) {
  g8100FilterSlot.Write(unit, static_cast<uint8_t>(slot));
  const int32_t slotBank = g8100FilterBank.Read(unit);
  if (g8100FilterType.Read(unit) != type) return false;
  bank = slotBank;
  bypass = g8100FilterBypass.Read(unit);
  frequency = ReadLong(unit, kSelectFrequency);
  ReadClassValues(unit);
  return true;
}

void TFilter::SetUnitFlag(IQDevice8100& unit) const {
  g8100FilterSlot.Write(unit, static_cast<uint8_t>(slot));
  g8100FilterCommit.Write(unit, true);
}

void TFilter::SetBypass(IQDevice8100& unit, bool bypassed) {
  g8100FilterSlot.Write(unit, static_cast<uint8_t>(slot));
  bypass = bypassed;
  g8100FilterBypassNow.Write(unit, bypassed);
}

std::string TFilter::FormatFrequency(bool longForm) const {
  if (!longForm) return Printed("%d", frequency);
  if (frequency < kFirstKiloHertzText) return Printed("%d Hz", frequency);
  return Printed("%.1f kHz", frequency * 0.001);
}

void TFilter::Save(SettingsTextFile& file) const {
  file.WriteInt(type);
  file.WriteInt(bank);
  file.WriteInt(frequency);
}

void TFilter::Load(SettingsTextFile& file) {
  bank = RecordInt(file, "filter bank");
  frequency = RecordInt(file, "filter frequency");
  bypass = false;
}

TFilter& TFilter::CloneToBank(IQDevice8100& unit, int32_t toBank) const {
  std::unique_ptr<TFilter> copy = Clone();
  copy->slot = -1;
  copy->bypass = false;
  copy->bank = toBank;
  TFilter& placed = unit.PlaceFilter(std::move(copy));
  placed.WriteToUnit(unit);
  placed.SetUnitFlag(unit);
  return placed;
}

FilterShape TFilter::Shape() const { return {.typeCode = type, .frequencyHz = frequency}; }

// ---- parametric and boost/cut

void TPeakFilter::WriteToUnit(IQDevice8100& unit) const {
  TFilter::WriteToUnit(unit);
  WriteFloat(unit, kSelectSecond, WireGain(level, GainOffset()));
  // Rounded to a tenth, as the dialogs show it: truncation would send 0.7 as 6.
  WriteLong(unit, kSelectFirst, familycommon::RoundToInt(10.0 * double{q}));
}

void TPeakFilter::WriteDragValues(IQDevice8100& unit) const {
  WriteFloat(unit, kSelectSecond, WireGain(level, GainOffset()));
  TFilter::WriteDragValues(unit);
}

void TPeakFilter::ReadClassValues(IQDevice8100& unit) {
  level = LinearToDb(double{ReadFloat(unit, kSelectSecond)} + GainOffset());
  q = static_cast<float>(ReadLong(unit, kSelectFirst) * 0.1);
}

std::string TPeakFilter::FormatParam1(bool longForm) const {
  return Printed(longForm ? "Lev: %.1f dB" : "%.1f", double{level});
}

std::string TPeakFilter::FormatParam2(bool longForm) const {
  return Printed(longForm ? "Q: %.1f" : "%.1f", double{q});
}

std::string TPeakFilter::Describe() const {
  return Printed(type == kParametricFilter ? "Parametric at %d Hz, %.1f dB, Q %.1f\n"
                                           : "Boost/cut at %d Hz, %.1f dB, Q %.1f\n",
                 frequency, double{level}, double{q});
}

void TPeakFilter::Save(SettingsTextFile& file) const {
  TFilter::Save(file);
  file.WriteFloat(level);
  file.WriteFloat(q);
}

void TPeakFilter::Load(SettingsTextFile& file) {
  TFilter::Load(file);
  level = RecordFloat(file, "filter level");
  q = RecordFloat(file, "filter Q");
}

FilterShape TPeakFilter::Shape() const {
  FilterShape shape = TFilter::Shape();
  shape.levelDb = level;
  shape.q = q;
  return shape;
}

// ---- low-pass and high-pass

void TPassFilter::WriteToUnit(IQDevice8100& unit) const {
  TFilter::WriteToUnit(unit);
  WriteLong(unit, kSelectFirst, order);
}

void TPassFilter::ReadClassValues(IQDevice8100& unit) {
  order = BoundedOrder(ReadLong(unit, kSelectFirst));
}

int TPassFilter::SectionCost() const { return (BoundedOrder(order) + 1) / 2; }

std::string TPassFilter::FormatParam1(bool longForm) const { return SlopeText(order, longForm); }

std::string TPassFilter::FormatParam2(bool longForm) const { return longForm ? "--" : ""; }

std::string TPassFilter::Describe() const {
  return Printed(type == kLowpassFilter ? "Lowpass at %d Hz, slope %d dB/oct\n"
                                        : "Highpass at %d Hz, slope %d dB/oct\n",
                 frequency, -6 * order);
}

void TPassFilter::Save(SettingsTextFile& file) const {
  TFilter::Save(file);
  file.WriteInt(order);
}

void TPassFilter::Load(SettingsTextFile& file) {
  TFilter::Load(file);
  order = RecordInt(file, "filter order");
}

FilterShape TPassFilter::Shape() const {
  FilterShape shape = TFilter::Shape();
  shape.order = order;
  return shape;
}

// ---- shelves

void TShelfFilter::WriteToUnit(IQDevice8100& unit) const {
  TFilter::WriteToUnit(unit);
  WriteFloat(unit, kSelectFirst, WireGain(level));
  // The unit builds every shelf of one section.
  WriteLong(unit, kSelectSecond, 1);
}

void TShelfFilter::WriteDragValues(IQDevice8100& unit) const {
  WriteFloat(unit, kSelectFirst, WireGain(level));
  TFilter::WriteDragValues(unit);
}

void TShelfFilter::ReadClassValues(IQDevice8100& unit) {
  level = LinearToDb(ReadFloat(unit, kSelectFirst));
  Select(unit, kSelectSecond);
  shelfOrder = 1;
}

std::string TShelfFilter::FormatParam1(bool longForm) const {
  return Printed(longForm ? "Level: %.1f dB" : "%.1f", double{level});
}

std::string TShelfFilter::FormatParam2(bool) const { return "--"; }

std::string TShelfFilter::Describe() const {
  return Printed(type == kLowShelfFilter ? "Lowshelf at %d Hz, level %.1f dB\n"
                                         : "Highshelf at %d Hz, level %.1f dB\n",
                 frequency, double{level});
}

void TShelfFilter::Save(SettingsTextFile& file) const {
  TFilter::Save(file);
  file.WriteInt(static_cast<int>(level));
  file.WriteInt(shelfOrder);
}

void TShelfFilter::Load(SettingsTextFile& file) {
  TFilter::Load(file);
  level = static_cast<float>(RecordInt(file, "filter level"));
  shelfOrder = RecordInt(file, "shelf order");
}

FilterShape TShelfFilter::Shape() const {
  FilterShape shape = TFilter::Shape();
  shape.levelDb = level;
  shape.shelfOrder = shelfOrder;
  return shape;
}

// ---- crossovers

void TCrossoverFilter::WriteToUnit(IQDevice8100& unit) const {
  TFilter::WriteToUnit(unit);
  WriteLong(unit, kSelectFirst, order);
  WriteLong(unit, kSelectSecond, alignment);
}

void TCrossoverFilter::ReadClassValues(IQDevice8100& unit) {
  order = BoundedOrder(ReadLong(unit, kSelectFirst));
  alignment = ReadLong(unit, kSelectSecond);
}

std::string TCrossoverFilter::FormatParam1(bool longForm) const {
  return SlopeText(order, longForm);
}

std::string TCrossoverFilter::FormatParam2(bool longForm) const {
  return longForm ? "Type: " + AlignmentName(alignment) : AlignmentName(alignment);
}

std::string TCrossoverFilter::Describe() const {
  const std::string name = NameAt(kReportAlignmentNames, alignment);
  return Printed(type == kLowCrossoverFilter ? "Low %s Crossover at %d Hz, slope %d dB/oct\n"
                                             : "High %s Crossover at %d Hz, slope %d dB/oct\n",
                 name.c_str(), frequency, -6 * order);
}

void TCrossoverFilter::Save(SettingsTextFile& file) const {
  TFilter::Save(file);
  file.WriteInt(alignment);
  file.WriteInt(order);
}

void TCrossoverFilter::Load(SettingsTextFile& file) {
  TFilter::Load(file);
  alignment = RecordInt(file, "crossover alignment");
  order = RecordInt(file, "filter order");
}

FilterShape TCrossoverFilter::Shape() const {
  FilterShape shape = TFilter::Shape();
  shape.order = order;
  shape.alignment = alignment;
  return shape;
}

std::unique_ptr<TFilter> MakeFilter(int32_t typeId) {
  switch (typeId) {
    case kParametricFilter:
      return std::make_unique<TParametricFilter>();
    case kLowpassFilter:
      return std::make_unique<TLowpassFilter>();
    case kHighpassFilter:
      return std::make_unique<THighpassFilter>();
    case kLowShelfFilter:
      return std::make_unique<TLowshelfFilter>();
    case kHighShelfFilter:
      return std::make_unique<THighshelfFilter>();
    case kLowCrossoverFilter:
      return std::make_unique<TLowCrossoverFilter>();
    case kHighCrossoverFilter:
      return std::make_unique<THighCrossoverFilter>();
    case kBoostCutFilter:
      return std::make_unique<TOctaveFilter>();
    default:
      return nullptr;
  }
}

}  // namespace namespace8100
