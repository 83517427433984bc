#include "familyov/filters/FilterClasses.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "bus/SettingsTextFile.h"
#include "familycommon/FilterConversions.h"
#include "familyov/filters/FilterElements.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/ParameterTable.h"

namespace namespaceOV {

namespace {

int32_t Bits(float value) { return std::bit_cast<int32_t>(value); }
float FloatOf(int32_t bits) { return std::bit_cast<float>(bits); }

// The unit's peak gain word: the parametric filter carries the gain less one.
float PeakGain(float levelDb, bool lessOne) {
  return DbToLinear(levelDb) - (lessOne ? 1.0f : 0.0f);
}
float PeakLevel(float gain, bool lessOne) {
  return LinearToDb(double{gain} + (lessOne ? 1.0 : 0.0));
}

// A shelf's level in a file: whole dB as an integer, the form the record has always had, and
// any other level with its fraction, so that none is cut to whole dB.
void WriteShelfLevel(SettingsTextFile& file, float level) {
  const float kept =
      std::isfinite(level) ? std::clamp(level, -kLevelCeilingDb, kLevelCeilingDb) : 0.0f;
  if (kept == std::trunc(kept)) {
    file.WriteInt(static_cast<int>(kept));
  } else {
    file.WriteFloat(kept);
  }
}

// Levels are shown to a tenth of a dB; a level that a unit's gain word gives within a hundredth of
// a bound stands for that bound.
constexpr float kLevelToleranceDb = 0.01f;

std::optional<std::string> LevelFault(float level, float low, float high) {
  if (level >= low - kLevelToleranceDb && level <= high + kLevelToleranceDb) return std::nullopt;
  return OutOfRangeText("filter level in dB", level, low, high);
}

std::string SlopeText(int slope, bool longForm) {
  return longForm ? Printf("Slope: %d dB/oct", slope) : Printf("%d", slope);
}

constexpr const char* kCrossoverTypeShortNames[] = {"none", "Butterworth", "Bessel",
                                                    "Linkwitz-Riley"};

}  // namespace

// Parametric and boost/cut.

template <typename Derived>
DeviceRecord PeakFilter<Derived>::GetDeviceRecord() const {
  return {this->frequency, QToUnit(q), Bits(PeakGain(level, Derived::kGainLessOne))};
}

template <typename Derived>
void PeakFilter<Derived>::SetDeviceRecord(const DeviceRecord& record) {
  this->frequency = record[0];
  q = QFromUnit(record[1]);
  level = PeakLevel(FloatOf(record[2]), Derived::kGainLessOne);
}

template <typename Derived>
std::optional<std::string> PeakFilter<Derived>::RangeFault() const {
  if (auto fault = TFilter::RangeFault()) return fault;
  if (auto fault = LevelFault(level, Derived::kMinLevelDb, Derived::kMaxLevelDb)) return fault;
  if (q >= kMinPeakQ && q <= kMaxPeakQ) return std::nullopt;
  return OutOfRangeText("filter Q", q, kMinPeakQ, kMaxPeakQ);
}

template <typename Derived>
void PeakFilter<Derived>::StepLevel(int stepCode) {
  level = SteppedLevel(level, stepCode, Derived::kMinLevelDb, Derived::kMaxLevelDb);
}

template <typename Derived>
std::string PeakFilter<Derived>::FormatParam1(bool longForm) const {
  return longForm ? Printf("Lev: %.1f dB", double{level}) : Printf("%.1f", double{level});
}

template <typename Derived>
std::string PeakFilter<Derived>::FormatParam2(bool longForm, bool useQ) const {
  const float value = useQ ? q : QToBandwidth(q);
  if (!longForm) return Printf("%.1f", double{value});
  return useQ ? Printf("Q: %.1f", double{value}) : Printf(Derived::kBandwidthFormat, double{value});
}

template <typename Derived>
std::string PeakFilter<Derived>::FormatPrintLine(bool useQ) const {
  return useQ ? Printf("   %s at %d Hz, %.1f dB, Q %.1f\n", Derived::kPrintName, this->frequency,
                       double{level}, double{q})
              : Printf("   %s at %d Hz, %.1f dB, BW %.3f\n", Derived::kPrintName, this->frequency,
                       double{level}, double{QToBandwidth(q)});
}

template <typename Derived>
void PeakFilter<Derived>::WriteClassElements(IQDeviceOrdavinex& device) {
  WriteFloatElement(device, 2, PeakGain(level, Derived::kGainLessOne));
  WriteIntElement(device, 1, QToUnit(q));
}

template <typename Derived>
void PeakFilter<Derived>::WriteLiveElements(IQDeviceOrdavinex& device) {
  if (Derived::kLiveChangeSendsQ) {
    WriteClassElements(device);
  } else {
    WriteFloatElement(device, 2, PeakGain(level, Derived::kGainLessOne));
  }
}

template <typename Derived>
void PeakFilter<Derived>::WriteParamElements(IQDeviceOrdavinex& device) {
  WriteClassElements(device);
}

template <typename Derived>
void PeakFilter<Derived>::ReadClassElements(IQDeviceOrdavinex& device) {
  level = PeakLevel(ReadFloatElement(device, 2), Derived::kGainLessOne);
  q = QFromUnit(ReadIntElement(device, 1));
}

template <typename Derived>
void PeakFilter<Derived>::WriteClassFields(SettingsTextFile& file) const {
  file.WriteFloat(level);
  file.WriteFloat(q);
}

template <typename Derived>
void PeakFilter<Derived>::ReadClassFields(SettingsTextFile& file) {
  level = file.ReadFloat();
  q = file.ReadFloat();
}

template <typename Derived>
FilterShape PeakFilter<Derived>::Shape() const {
  FilterShape shape = this->BaseShape();
  shape.levelDb = level;
  shape.q = q;
  return shape;
}

// Filters with an order.

template <typename Derived>
int32_t OrderFilter<Derived>::BoundedOrder(int32_t unitOrder) {
  return std::clamp(unitOrder, Derived::kMinOrder, Derived::kMaxOrder);
}

template <typename Derived>
int32_t OrderFilter<Derived>::CheckedOrder(int32_t fileOrder) {
  if (fileOrder < Derived::kMinOrder || fileOrder > Derived::kMaxOrder) {
    throw FileParserError(FileParserError::kFormatError);
  }
  return fileOrder;
}

template <typename Derived>
std::optional<std::string> OrderFilter<Derived>::RangeFault() const {
  if (auto fault = TFilter::RangeFault()) return fault;
  if (order >= Derived::kMinOrder && order <= Derived::kMaxOrder) return std::nullopt;
  return OutOfRangeText("filter order", order, Derived::kMinOrder, Derived::kMaxOrder);
}

template <typename Derived>
DeviceRecord OrderFilter<Derived>::GetDeviceRecord() const {
  return {this->frequency, order, 0};
}

template <typename Derived>
void OrderFilter<Derived>::SetDeviceRecord(const DeviceRecord& record) {
  this->frequency = record[0];
  order = BoundedOrder(record[1]);
}

template <typename Derived>
void OrderFilter<Derived>::WriteClassElements(IQDeviceOrdavinex& device) {
  WriteIntElement(device, 1, order);
}

template <typename Derived>
void OrderFilter<Derived>::ReadClassElements(IQDeviceOrdavinex& device) {
  order = BoundedOrder(ReadIntElement(device, 1));
}

template <typename Derived>
void OrderFilter<Derived>::WriteClassFields(SettingsTextFile& file) const {
  file.WriteInt(order);
}

template <typename Derived>
void OrderFilter<Derived>::ReadClassFields(SettingsTextFile& file) {
  order = CheckedOrder(file.ReadInt());
}

template <typename Derived>
FilterShape OrderFilter<Derived>::Shape() const {
  FilterShape shape = this->BaseShape();
  shape.order = order;
  return shape;
}

template <typename Derived>
void SlopeFilter<Derived>::CopyOnDevice(IQDeviceOrdavinex& device, const TFilter& source) {
  if (!this->SameClass(source)) return;
  if (static_cast<const Derived&>(source).order == this->order) {
    TFilter::CopyOnDevice(device, source);
    return;
  }
  // A new order needs a new allocation on the unit, which may give the filter a new number.
  this->CopyParamsFrom(source);
  if (device.IsOnline()) {
    device.MoveForNewOrder(*this);
    this->CopyParamsFrom(source);
  }
  this->WriteToDevice(device);
  this->SendCreateCommand(device);
}

template <typename Derived>
int SlopeFilter<Derived>::GetDSPSections() const {
  // Orders are bounded where they are read; one set otherwise counts as the response draws it, so
  // that a negative order frees no capacity and a huge one cannot overflow the cost sums.
  const int order = std::clamp(this->order, 0, kMaxFilterOrder);
  return (order + 1) / 2;
}

template <typename Derived>
std::string SlopeFilter<Derived>::FormatParam1(bool longForm) const {
  return SlopeText(-6 * this->order, longForm);
}

template <typename Derived>
std::string SlopeFilter<Derived>::FormatParam2(bool longForm, bool) const {
  return longForm ? "--" : "";
}

std::string TLowpassFilter::FormatPrintLine(bool) const {
  return Printf("   Lowpass at %d Hz, slope %d dB/oct\n", frequency, -6 * order);
}

std::string THighpassFilter::FormatPrintLine(bool) const {
  return Printf("   Highpass at %d Hz, slope %d dB/oct\n", frequency, -6 * order);
}

std::string TCDHornFilter::FormatParam1(bool longForm) const {
  return SlopeText(6 * order, longForm);
}

std::string TCDHornFilter::FormatParam2(bool, bool) const { return "--"; }

std::string TCDHornFilter::FormatPrintLine(bool) const {
  return Printf("   CD Horn at %d Hz, slope %d dB/oct\n", frequency, 6 * order);
}

void TCDHornFilter::WriteLiveElements(IQDeviceOrdavinex& device) { WriteClassElements(device); }

void TCDHornFilter::WriteParamElements(IQDeviceOrdavinex& device) { WriteClassElements(device); }

TAllpassFilter::TAllpassFilter() {
  typeCode = kFilterAllpass;
  ComputeCoefficients();
}

void TAllpassFilter::CopyParamsFrom(const TFilter& other) {
  OrderFilter::CopyParamsFrom(other);
  ComputeCoefficients();
}

void TAllpassFilter::CopyParameters(const TAllpassFilter& other) {
  order = other.order;
  coefficient = other.coefficient;
  tangentTerm = other.tangentTerm;
  normalisedFrequency = other.normalisedFrequency;
}

void TAllpassFilter::SetDeviceRecord(const DeviceRecord& record) {
  OrderFilter::SetDeviceRecord(record);
  ComputeCoefficients();
}

std::string TAllpassFilter::FormatParam1(bool longForm) const {
  return longForm ? Printf("Order: %d", order) : Printf("%d", order);
}

std::string TAllpassFilter::FormatParam2(bool, bool) const { return "--"; }

std::string TAllpassFilter::FormatPrintLine(bool) const {
  return Printf("   Allpass at %d Hz, order %d\n", frequency, order);
}

void TAllpassFilter::ComputeCoefficients() {
  const AllpassCoefficients c = ComputeAllpassCoefficients(frequency);
  coefficient = c.coefficient;
  tangentTerm = c.tangentTerm;
  normalisedFrequency = c.normalisedFrequency;
}

void TAllpassFilter::WriteClassElements(IQDeviceOrdavinex& device) {
  OrderFilter::WriteClassElements(device);
  ComputeCoefficients();
}

void TAllpassFilter::WriteLiveElements(IQDeviceOrdavinex& device) {
  OrderFilter::WriteClassElements(device);
}

void TAllpassFilter::WriteParamElements(IQDeviceOrdavinex& device) {
  OrderFilter::WriteClassElements(device);
}

void TAllpassFilter::ReadClassElements(IQDeviceOrdavinex& device) {
  OrderFilter::ReadClassElements(device);
  ComputeCoefficients();
}

void TAllpassFilter::ReadClassFields(SettingsTextFile& file) {
  OrderFilter::ReadClassFields(file);
  ComputeCoefficients();
}

FilterShape TAllpassFilter::Shape() const {
  FilterShape shape = OrderFilter::Shape();
  shape.allpassCoefficient = coefficient;
  return shape;
}

// Shelves.

template <typename Derived>
DeviceRecord ShelfFilter<Derived>::GetDeviceRecord() const {
  return {this->frequency, Bits(DbToLinear(level)), 0};
}

template <typename Derived>
void ShelfFilter<Derived>::SetDeviceRecord(const DeviceRecord& record) {
  this->frequency = record[0];
  level = LinearToDb(FloatOf(record[1]));
}

template <typename Derived>
std::optional<std::string> ShelfFilter<Derived>::RangeFault() const {
  if (auto fault = TFilter::RangeFault()) return fault;
  return LevelFault(level, kMinLevelDb, kMaxLevelDb);
}

template <typename Derived>
void ShelfFilter<Derived>::StepLevel(int stepCode) {
  level = SteppedLevel(level, stepCode, kMinLevelDb, kMaxLevelDb);
}

template <typename Derived>
std::string ShelfFilter<Derived>::FormatParam1(bool longForm) const {
  return longForm ? Printf("Level: %.1f dB", double{level}) : Printf("%.1f", double{level});
}

template <typename Derived>
std::string ShelfFilter<Derived>::FormatParam2(bool, bool) const {
  return "--";
}

template <typename Derived>
void ShelfFilter<Derived>::WriteClassElements(IQDeviceOrdavinex& device) {
  WriteFloatElement(device, 1, DbToLinear(level));
}

template <typename Derived>
void ShelfFilter<Derived>::WriteLiveElements(IQDeviceOrdavinex& device) {
  WriteClassElements(device);
}

template <typename Derived>
void ShelfFilter<Derived>::WriteParamElements(IQDeviceOrdavinex& device) {
  WriteClassElements(device);
}

template <typename Derived>
void ShelfFilter<Derived>::ReadClassElements(IQDeviceOrdavinex& device) {
  level = LinearToDb(ReadFloatElement(device, 1));
}

template <typename Derived>
void ShelfFilter<Derived>::WriteClassFields(SettingsTextFile& file) const {
  WriteShelfLevel(file, level);
}

template <typename Derived>
void ShelfFilter<Derived>::ReadClassFields(SettingsTextFile& file) {
  level = file.ReadFloat();
}

template <typename Derived>
FilterShape ShelfFilter<Derived>::Shape() const {
  FilterShape shape = this->BaseShape();
  shape.levelDb = level;
  return shape;
}

std::string TLowshelfFilter::FormatPrintLine(bool) const {
  return Printf("   Lowshelf at %d Hz, level %.1f dB\n", frequency, double{level});
}

std::string THighshelfFilter::FormatPrintLine(bool) const {
  return Printf("   Highshelf at %d Hz, level %.1f dB\n", frequency, double{level});
}

// Crossovers.

template <typename Derived>
DeviceRecord CrossoverFilter<Derived>::GetDeviceRecord() const {
  return {this->frequency, this->order, crossoverType};
}

template <typename Derived>
void CrossoverFilter<Derived>::SetDeviceRecord(const DeviceRecord& record) {
  this->frequency = record[0];
  this->order = this->BoundedOrder(record[1]);
  crossoverType = record[2];
}

template <typename Derived>
std::optional<std::string> CrossoverFilter<Derived>::RangeFault() const {
  if (auto fault = OrderFilter<Derived>::RangeFault()) return fault;
  if (crossoverType >= kCrossoverNone && crossoverType <= kCrossoverLinkwitzRiley) {
    return std::nullopt;
  }
  return OutOfRangeText("crossover type", crossoverType, kCrossoverNone, kCrossoverLinkwitzRiley);
}

template <typename Derived>
std::string CrossoverFilter<Derived>::FormatParam2(bool longForm, bool) const {
  const bool known = crossoverType >= 0 && crossoverType < 4;
  const std::string name = known ? kCrossoverTypeShortNames[crossoverType] : "";
  return longForm ? "Type: " + name : name;
}

template <typename Derived>
void CrossoverFilter<Derived>::WriteClassElements(IQDeviceOrdavinex& device) {
  WriteIntElement(device, 1, this->order);
  WriteIntElement(device, 2, crossoverType);
}

template <typename Derived>
void CrossoverFilter<Derived>::ReadClassElements(IQDeviceOrdavinex& device) {
  this->order = this->BoundedOrder(ReadIntElement(device, 1));
  crossoverType = ReadIntElement(device, 2);
}

template <typename Derived>
void CrossoverFilter<Derived>::WriteClassFields(SettingsTextFile& file) const {
  file.WriteInt(crossoverType);
  file.WriteInt(this->order);
}

template <typename Derived>
void CrossoverFilter<Derived>::ReadClassFields(SettingsTextFile& file) {
  crossoverType = file.ReadInt();
  this->order = this->CheckedOrder(file.ReadInt());
}

template <typename Derived>
FilterShape CrossoverFilter<Derived>::Shape() const {
  FilterShape shape = OrderFilter<Derived>::Shape();
  shape.crossoverType = crossoverType;
  return shape;
}

std::string TLowCrossover::FormatPrintLine(bool) const {
  return Printf("   Low %s Crossover at %d Hz, slope %d dB/oct\n",
                CrossoverTypeName(crossoverType).c_str(), frequency, -6 * order);
}

std::string THighCrossover::FormatPrintLine(bool) const {
  return Printf("   High %s Crossover at %d Hz, slope %d dB/oct\n",
                CrossoverTypeName(crossoverType).c_str(), frequency, -6 * order);
}

template class PeakFilter<TParametricFilter>;
template class PeakFilter<TOctaveFilter>;
template class OrderFilter<TLowpassFilter>;
template class OrderFilter<THighpassFilter>;
template class OrderFilter<TCDHornFilter>;
template class OrderFilter<TAllpassFilter>;
template class OrderFilter<TLowCrossover>;
template class OrderFilter<THighCrossover>;
template class SlopeFilter<TLowpassFilter>;
template class SlopeFilter<THighpassFilter>;
template class SlopeFilter<TLowCrossover>;
template class SlopeFilter<THighCrossover>;
template class ShelfFilter<TLowshelfFilter>;
template class ShelfFilter<THighshelfFilter>;
template class CrossoverFilter<TLowCrossover>;
template class CrossoverFilter<THighCrossover>;

}  // namespace namespaceOV
