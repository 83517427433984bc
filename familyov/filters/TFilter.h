#pragma once

#include <array>
#include <complex>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "familycommon/FilterLifetime.h"
#include "familyov/filters/FilterResponse.h"

class SettingsTextFile;
namespace ui {
class Window;
}

namespace namespaceOV {

class IQDeviceOrdavinex;

// Frequency limits of every filter, in Hz: what the editors set and a file may hold.
inline constexpr int kMinFilterFrequency = 20;
inline constexpr int kMaxFilterFrequency = 20000;

// The three 32-bit words of a filter in the unit's settings image: element 0 to 2 of the filter
// parameter object in unit encoding (integers, or float bit patterns).
using DeviceRecord = std::array<int32_t, 3>;

// The name a list shows for a type code; empty for a code outside the table.
std::string FilterTypeName(int typeCode);
// "None", "Butterworth", "Bessel", "Linkwitz-Riley"; empty outside 0..3.
std::string CrossoverTypeName(int crossoverType);

// One DSP filter of a unit's channel, or an output's low or high crossover. The base holds what
// every filter has; each class adds its parameters and its part of the unit sequences. The unit
// addresses filters through a selection: every group of writes that relies on it selects first.
// Its lifetime follows familycommon/FilterLifetime.h: a window keeps it through a FilterHandle.
class TFilter : public familycommon::HandleTarget {
 public:
  TFilter();
  virtual ~TFilter();
  TFilter(const TFilter&) = delete;
  TFilter& operator=(const TFilter&) = delete;

  // Full write without a command: the caller follows with SendCreateCommand for a filter the unit
  // has just (re)allocated.
  void WriteToDevice(IQDeviceOrdavinex& device);
  // The live elements and the frequency of the filter selected last, during a drag.
  void UpdateDeviceLive(IQDeviceOrdavinex& device);
  void WriteParams(IQDeviceOrdavinex& device);
  void SendUpdateCommand(IQDeviceOrdavinex& device);
  // With the number set: reads every field from the unit, while its slot holds this filter's
  // type. A slot whose type changed holds values of another kind than the class would write back:
  // the filter then keeps its own. Returns whether the filter took the unit's.
  bool ReadFromDevice(IQDeviceOrdavinex& device);
  void SendCreateCommand(IQDeviceOrdavinex& device);
  // Applies to this filter the change just made to `source`, another member of its link chain.
  virtual void CopyOnDevice(IQDeviceOrdavinex& device, const TFilter& source);
  virtual DeviceRecord GetDeviceRecord() const = 0;
  virtual void SetDeviceRecord(const DeviceRecord& record) = 0;
  void SetBypass(IQDeviceOrdavinex& device, bool on);
  void ToggleBypass(IQDeviceOrdavinex& device);
  // -2, -1, +1, +2: one dB or a tenth down or up; the class clamps the level.
  virtual void StepLevel(int /*stepCode*/) {}
  virtual int GetDSPSections() const { return 1; }
  std::string FormatFrequency(bool longForm) const;
  virtual std::string FormatParam1(bool longForm) const = 0;
  virtual std::string FormatParam2(bool longForm, bool useQ) const = 0;
  virtual float GetLevel() const { return 0.0f; }
  // Why a parameter lies outside the range the editors set and the units take, in the words of a
  // refusal; none when every one is in range.
  virtual std::optional<std::string> RangeFault() const;
  // A filter of the same class, parameters and bypass on `channel`, written to the unit. A channel
  // filter is added to the device's list (the device owns it); a crossover belongs to the caller.
  TFilter* CloneToChannel(IQDeviceOrdavinex& device, int channel) const;
  void WriteToFile(SettingsTextFile& file) const;
  // After the type code: channel, frequency and the class fields. A channel outside the family's
  // channels is a FileParserError.
  void ReadFromFile(SettingsTextFile& file);
  virtual std::string FormatPrintLine(bool useQ) const = 0;
  std::unique_ptr<TFilter> Clone() const;
  // Base fields; the class parameters too when `other` is of the same class.
  virtual void CopyFrom(const TFilter& other);
  // Bypass and frequency; the class parameters too when `other` is of the same class.
  virtual void CopyParamsFrom(const TFilter& other);
  float Magnitude(float frequencyHz) const;
  std::complex<double> Response(float frequencyHz) const;

  // Rebuilds `linkedChannels` from the chain this filter is in.
  void UpdateLinkedChannels();
  // Every member of this filter's chain from its head, each once, however the links are set.
  std::vector<TFilter*> ChainMembers();

  int number = -1;  // the unit's number of the filter; -1 until the unit or the list gives one
  int typeCode = 0;
  int channel = 0;
  int frequency = 0;  // Hz
  bool bypass = false;
  bool crossover = false;
  familycommon::FilterHandle<TFilter> linkHead;  // none on a head and on an unlinked filter
  int linkNumber = 0;                            // 0 unlinked or head, else the head's number + 1
  familycommon::FilterHandle<TFilter> nextInChain;
  std::vector<int> linkedChannels;  // ascending channels of the other chain members
  ui::Window* dialogFrequencyControl = nullptr;
  ui::Window* dialogLevelControl = nullptr;
  int serialNumber;

 protected:
  // A new default object of this filter's class.
  virtual std::unique_ptr<TFilter> NewOfSameClass() const = 0;
  // The class parameters of `other`, a filter of the same class.
  virtual void CopyClassParams(const TFilter& other) = 0;
  virtual bool SameClass(const TFilter& other) const = 0;
  // The class's elements of the full write, the live update and the parameter update, and the
  // reads that take them back.
  virtual void WriteClassElements(IQDeviceOrdavinex& device) = 0;
  virtual void WriteLiveElements(IQDeviceOrdavinex& /*device*/) {}
  virtual void WriteParamElements(IQDeviceOrdavinex& /*device*/) {}
  virtual void ReadClassElements(IQDeviceOrdavinex& device) = 0;
  // Runs after a command the class's elements went with.
  virtual void AfterCommand() {}
  virtual void WriteClassFields(SettingsTextFile& file) const = 0;
  virtual void ReadClassFields(SettingsTextFile& file) = 0;
  virtual FilterShape Shape() const = 0;
  FilterShape BaseShape() const;

  void WriteCommand(IQDeviceOrdavinex& device, int command);
  void Select(IQDeviceOrdavinex& device);

 private:
  static inline int serialCounter_ = 0;
};

// Commands written after a group of filter writes.
inline constexpr uint8_t kCommandCreate = 0;
inline constexpr uint8_t kCommandUpdate = 1;
inline constexpr uint8_t kCommandLive = 2;

// The class's own parts that only its type decides: the default object, the class test and copy.
template <typename Derived>
class FilterOf : public TFilter {
 public:
  void CopyFrom(const TFilter& other) override {
    TFilter::CopyFrom(other);
    if (SameClass(other)) CopyClassParams(other);
  }
  void CopyParamsFrom(const TFilter& other) override {
    TFilter::CopyParamsFrom(other);
    if (SameClass(other)) CopyClassParams(other);
  }

 protected:
  std::unique_ptr<TFilter> NewOfSameClass() const override { return std::make_unique<Derived>(); }
  bool SameClass(const TFilter& other) const override {
    return dynamic_cast<const Derived*>(&other) != nullptr;
  }
  void CopyClassParams(const TFilter& other) override {
    static_cast<Derived&>(*this).CopyParameters(static_cast<const Derived&>(other));
  }
};

// A new default filter of the class of `typeCode`; none for a code without a class.
std::unique_ptr<TFilter> MakeFilter(int typeCode);

}  // namespace namespaceOV
