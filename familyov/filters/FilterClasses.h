#pragma once

#include "familyov/filters/TFilter.h"

// The ten filter classes of the newer family, by type code.
namespace namespaceOV {

// The Q range of both peak filters' editors.
inline constexpr float kMinPeakQ = 0.1f;
inline constexpr float kMaxPeakQ = 100.0f;

// Parametric and boost/cut: a peak with Q and level. `Derived` gives the level range, whether the
// unit's gain word carries the gain less one, the bandwidth's precision, the printed name and
// whether a live change sends Q along with the level.
template <typename Derived>
class PeakFilter : public FilterOf<Derived> {
 public:
  DeviceRecord GetDeviceRecord() const override;
  void SetDeviceRecord(const DeviceRecord& record) override;
  void StepLevel(int stepCode) override;
  std::string FormatParam1(bool longForm) const override;
  std::string FormatParam2(bool longForm, bool useQ) const override;
  float GetLevel() const override { return level; }
  std::optional<std::string> RangeFault() const override;
  std::string FormatPrintLine(bool useQ) const override;
  void CopyParameters(const Derived& other) {
    q = other.q;
    level = other.level;
  }

  float q = 8.7f;
  float level = 0.0f;  // dB

 protected:
  void WriteClassElements(IQDeviceOrdavinex& device) override;
  void WriteLiveElements(IQDeviceOrdavinex& device) override;
  void WriteParamElements(IQDeviceOrdavinex& device) override;
  void ReadClassElements(IQDeviceOrdavinex& device) override;
  void WriteClassFields(SettingsTextFile& file) const override;
  void ReadClassFields(SettingsTextFile& file) override;
  FilterShape Shape() const override;
};

class TParametricFilter : public PeakFilter<TParametricFilter> {
 public:
  static constexpr float kMinLevelDb = -70.0f;
  static constexpr float kMaxLevelDb = 12.0f;
  static constexpr bool kGainLessOne = true;
  static constexpr bool kLiveChangeSendsQ = true;
  static constexpr const char* kBandwidthFormat = "BW: %.3f";
  static constexpr const char* kPrintName = "Parametric";

  TParametricFilter() { typeCode = kFilterParametric; }
};

class TOctaveFilter : public PeakFilter<TOctaveFilter> {
 public:
  static constexpr float kMinLevelDb = -12.0f;
  static constexpr float kMaxLevelDb = 12.0f;
  static constexpr bool kGainLessOne = false;
  static constexpr bool kLiveChangeSendsQ = false;
  static constexpr const char* kBandwidthFormat = "BW: %.1f";
  static constexpr const char* kPrintName = "Boost/cut";

  TOctaveFilter() { typeCode = kFilterBoostCut; }
};

// Filters with an order and nothing else: lowpass, highpass, CD horn, allpass.
template <typename Derived>
class OrderFilter : public FilterOf<Derived> {
 public:
  DeviceRecord GetDeviceRecord() const override;
  void SetDeviceRecord(const DeviceRecord& record) override;
  void CopyParameters(const Derived& other) { order = other.order; }
  std::optional<std::string> RangeFault() const override;
  // An order the unit holds brought into the class's range, Derived::kMinOrder .. kMaxOrder.
  static int32_t BoundedOrder(int32_t unitOrder);
  // An order from a settings file; one outside the class's range is a FileParserError.
  static int32_t CheckedOrder(int32_t fileOrder);

  int order = 1;

 protected:
  void WriteClassElements(IQDeviceOrdavinex& device) override;
  void ReadClassElements(IQDeviceOrdavinex& device) override;
  void WriteClassFields(SettingsTextFile& file) const override;
  void ReadClassFields(SettingsTextFile& file) override;
  FilterShape Shape() const override;
};

// Lowpass and highpass: an order change re-allocates the filter on the unit.
template <typename Derived>
class SlopeFilter : public OrderFilter<Derived> {
 public:
  static constexpr int32_t kMinOrder = 1;
  static constexpr int32_t kMaxOrder = kMaxFilterOrder;

  SlopeFilter() { this->order = 2; }
  void CopyOnDevice(IQDeviceOrdavinex& device, const TFilter& source) override;
  int GetDSPSections() const override;
  std::string FormatParam1(bool longForm) const override;
  std::string FormatParam2(bool longForm, bool useQ) const override;
};

class TLowpassFilter : public SlopeFilter<TLowpassFilter> {
 public:
  TLowpassFilter() { typeCode = kFilterLowpass; }
  std::string FormatPrintLine(bool useQ) const override;
};

class THighpassFilter : public SlopeFilter<THighpassFilter> {
 public:
  THighpassFilter() { typeCode = kFilterHighpass; }
  std::string FormatPrintLine(bool useQ) const override;
};

class TCDHornFilter : public OrderFilter<TCDHornFilter> {
 public:
  // 6 or 12 dB per octave.
  static constexpr int32_t kMinOrder = 1;
  static constexpr int32_t kMaxOrder = 2;

  TCDHornFilter() { typeCode = kFilterCDHorn; }
  std::string FormatParam1(bool longForm) const override;
  std::string FormatParam2(bool longForm, bool useQ) const override;
  std::string FormatPrintLine(bool useQ) const override;

 protected:
  void WriteLiveElements(IQDeviceOrdavinex& device) override;
  void WriteParamElements(IQDeviceOrdavinex& device) override;
};

class TAllpassFilter : public OrderFilter<TAllpassFilter> {
 public:
  // One or two first-order sections.
  static constexpr int32_t kMinOrder = 1;
  static constexpr int32_t kMaxOrder = 2;

  TAllpassFilter();
  void CopyParamsFrom(const TFilter& other) override;
  void CopyParameters(const TAllpassFilter& other);
  void SetDeviceRecord(const DeviceRecord& record) override;
  std::string FormatParam1(bool longForm) const override;
  std::string FormatParam2(bool longForm, bool useQ) const override;
  std::string FormatPrintLine(bool useQ) const override;
  // Derives the digital section's values from the frequency.
  void ComputeCoefficients();

  float coefficient = 0.0f;
  float tangentTerm = 0.0f;
  float normalisedFrequency = 0.0f;

 protected:
  void WriteClassElements(IQDeviceOrdavinex& device) override;
  void WriteLiveElements(IQDeviceOrdavinex& device) override;
  void WriteParamElements(IQDeviceOrdavinex& device) override;
  void ReadClassElements(IQDeviceOrdavinex& device) override;
  void AfterCommand() override { ComputeCoefficients(); }
  void ReadClassFields(SettingsTextFile& file) override;
  FilterShape Shape() const override;
};

template <typename Derived>
class ShelfFilter : public FilterOf<Derived> {
 public:
  static constexpr float kMinLevelDb = -12.0f;
  static constexpr float kMaxLevelDb = 12.0f;

  DeviceRecord GetDeviceRecord() const override;
  void SetDeviceRecord(const DeviceRecord& record) override;
  void StepLevel(int stepCode) override;
  std::string FormatParam1(bool longForm) const override;
  std::string FormatParam2(bool longForm, bool useQ) const override;
  float GetLevel() const override { return level; }
  std::optional<std::string> RangeFault() const override;
  void CopyParameters(const Derived& other) { level = other.level; }

  float level = 0.0f;  // dB

 protected:
  void WriteClassElements(IQDeviceOrdavinex& device) override;
  void WriteLiveElements(IQDeviceOrdavinex& device) override;
  void WriteParamElements(IQDeviceOrdavinex& device) override;
  void ReadClassElements(IQDeviceOrdavinex& device) override;
  void WriteClassFields(SettingsTextFile& file) const override;
  void ReadClassFields(SettingsTextFile& file) override;
  FilterShape Shape() const override;
};

class TLowshelfFilter : public ShelfFilter<TLowshelfFilter> {
 public:
  TLowshelfFilter() { typeCode = kFilterLowShelf; }
  std::string FormatPrintLine(bool useQ) const override;
};

class THighshelfFilter : public ShelfFilter<THighshelfFilter> {
 public:
  THighshelfFilter() { typeCode = kFilterHighShelf; }
  std::string FormatPrintLine(bool useQ) const override;
};

// An output's low or high crossover edge; it lives in the output's crossover slot.
template <typename Derived>
class CrossoverFilter : public SlopeFilter<Derived> {
 public:
  CrossoverFilter() { this->crossover = true; }
  // Clone carries the crossover type and order; a copy takes only the base fields.
  void CopyFrom(const TFilter& other) override { TFilter::CopyFrom(other); }
  DeviceRecord GetDeviceRecord() const override;
  void SetDeviceRecord(const DeviceRecord& record) override;
  std::string FormatParam2(bool longForm, bool useQ) const override;
  std::optional<std::string> RangeFault() const override;
  void CopyParameters(const Derived& other) {
    this->order = other.order;
    crossoverType = other.crossoverType;
  }

  int crossoverType = kCrossoverButterworth;

 protected:
  void WriteClassElements(IQDeviceOrdavinex& device) override;
  void ReadClassElements(IQDeviceOrdavinex& device) override;
  void WriteClassFields(SettingsTextFile& file) const override;
  void ReadClassFields(SettingsTextFile& file) override;
  FilterShape Shape() const override;
};

class TLowCrossover : public CrossoverFilter<TLowCrossover> {
 public:
  TLowCrossover() { typeCode = kFilterLowCrossover; }
  std::string FormatPrintLine(bool useQ) const override;
};

class THighCrossover : public CrossoverFilter<THighCrossover> {
 public:
  THighCrossover() { typeCode = kFilterHighCrossover; }
  std::string FormatPrintLine(bool useQ) const override;
};

}  // namespace namespaceOV

namespace namespaceOV {

extern template class PeakFilter<TParametricFilter>;
extern template class PeakFilter<TOctaveFilter>;
extern template class OrderFilter<TLowpassFilter>;
extern template class OrderFilter<THighpassFilter>;
extern template class OrderFilter<TCDHornFilter>;
extern template class OrderFilter<TAllpassFilter>;
extern template class OrderFilter<TLowCrossover>;
extern template class OrderFilter<THighCrossover>;
extern template class SlopeFilter<TLowpassFilter>;
extern template class SlopeFilter<THighpassFilter>;
extern template class SlopeFilter<TLowCrossover>;
extern template class SlopeFilter<THighCrossover>;
extern template class ShelfFilter<TLowshelfFilter>;
extern template class ShelfFilter<THighshelfFilter>;
extern template class CrossoverFilter<TLowCrossover>;
extern template class CrossoverFilter<THighCrossover>;

}  // namespace namespaceOV
