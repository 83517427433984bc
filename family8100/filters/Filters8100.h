#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "family8100/filters/FilterGain.h"
#include "family8100/filters/FilterTypes.h"
#include "familycommon/FilterLifetime.h"

class SettingsTextFile;

namespace ui {
class Edit;
}

namespace namespace8100 {

class IQDevice8100;

enum FilterBank : int32_t {
  kRightInputBank = 1,
  kLeftInputBank = 2,
  kRightOutputBank = 3,
  kLeftOutputBank = 4,
};

// The type names of the filter list and the printout, by type id; "" for an id outside the table.
std::string FilterTypeName(int32_t typeId);
// "none", "Butterworth", ... as the dialogs and lists show an alignment; "" for any other value.
std::string AlignmentName(int32_t alignment);

// A value of a filter's settings-file record that is no number of its kind; the text names it.
class FilterRecordError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The number posted messages name a filter by. No other filter of the run is given it, a copy
// included, so a message that arrives after its filter went finds none rather than another.
class FilterNumber {
 public:
  FilterNumber() : value_(Next()) {}
  FilterNumber(const FilterNumber&) : value_(Next()) {}
  FilterNumber& operator=(const FilterNumber&) { return *this; }
  int64_t Value() const { return value_; }

 private:
  static int64_t Next() {
    static int64_t last = 0;
    return ++last;
  }
  int64_t value_;
};

// One filter of an older-family unit. Its fields are public: the editors change them and then
// write the filter to the unit.
//
// Writes and reads go through the family's filter objects against the unit; bus failures pass to
// the caller and the fields already changed stay changed.
class TFilter : public familycommon::HandleTarget {
 public:
  virtual ~TFilter() = default;

  // Every field of the filter into its slot on the unit; SetUnitFlag then commits it.
  virtual void WriteToUnit(IQDevice8100& unit) const;
  // The values a graph drag changes, to the slot selected last.
  virtual void WriteDragValues(IQDevice8100& unit) const;
  // The filter in `slot` as the unit holds it, taken only while the slot holds this filter's type:
  // a slot whose type changed holds values of another kind than the class would write back, and
  // the filter then keeps its own. Returns whether the filter took the unit's.
  bool ReadFromUnit(IQDevice8100& unit);
  void SetUnitFlag(IQDevice8100& unit) const;
  void SetBypass(IQDevice8100& unit, bool bypassed);

  // DSP sections the filter takes of the unit's budget.
  virtual int SectionCost() const { return 1; }
  // Long form for lists, graphs and printouts; short form for the dialogs' edit fields.
  std::string FormatFrequency(bool longForm) const;
  virtual std::string FormatParam1(bool longForm) const = 0;
  virtual std::string FormatParam2(bool longForm) const = 0;
  // The report's line for the filter, newline included.
  virtual std::string Describe() const = 0;

  // The settings file's record: type, bank, frequency, then the class's fields.
  virtual void Save(SettingsTextFile& file) const;
  // The rest of the record after the type id, which the caller has read, every value as written:
  // the reader checks the ranges. Clears the bypass. A value that is no number throws
  // FilterRecordError, the end of the file FileParserError.
  virtual void Load(SettingsTextFile& file);

  // A copy that belongs to no unit.
  virtual std::unique_ptr<TFilter> Clone() const = 0;
  // Takes back the values of `held`, a clone of this filter made before a change that the unit did
  // not take. The slot stays, since the unit may have moved the filter meanwhile, and so do the
  // dialog's fields.
  virtual void TakeValues(const TFilter& held) = 0;
  // A filter like this one (never bypassed) registered with `unit` in `bank`, written and
  // committed. Bank filters join the unit's list, crossovers take the unit's crossover place; the
  // caller adds the section cost. The unit owns the result.
  TFilter& CloneToBank(IQDevice8100& unit, int32_t bank) const;

  virtual FilterShape Shape() const;
  float Magnitude(float frequencyHz) const { return FilterGain(Shape()).At(frequencyHz); }

  int32_t slot = -1;
  int32_t type = 0;
  int32_t bank = 0;
  int32_t frequency = 0;
  bool bypass = false;
  // The edit fields of the filter's open dialog, which follow a drag on the graph; the dialog
  // sets them for its lifetime, and a copy of the filter takes none.
  ui::Edit* frequencyField = nullptr;
  ui::Edit* levelField = nullptr;
  // A write of the filter's values went unanswered: the unit may hold them or the ones before, so
  // the dialogs show none while the unit is in doubt (IQDevice::InDoubt).
  bool valuesInDoubt = false;

  int64_t Number() const { return number_.Value(); }

 protected:
  explicit TFilter(int32_t typeId) : type(typeId) {}
  TFilter(const TFilter&) = default;
  TFilter& operator=(const TFilter&) = default;
  // The values of the class's own, from the slot selected last.
  virtual void ReadClassValues(IQDevice8100& unit) = 0;

 private:
  FilterNumber number_;
};

// The concrete class of a type id: its constructor sets the id, its clone copies every field.
template <typename Derived, typename Kind, int32_t kTypeId>
class FilterClass : public Kind {
 public:
  FilterClass() : Kind(kTypeId) {}
  std::unique_ptr<TFilter> Clone() const override {
    auto copy = std::make_unique<Derived>(static_cast<const Derived&>(*this));
    copy->frequencyField = nullptr;
    copy->levelField = nullptr;
    return copy;
  }
  void TakeValues(const TFilter& held) override {
    auto& self = static_cast<Derived&>(*this);
    const int32_t slot = self.slot;
    ui::Edit* const frequencyField = self.frequencyField;
    ui::Edit* const levelField = self.levelField;
    self = dynamic_cast<const Derived&>(held);
    self.slot = slot;
    self.frequencyField = frequencyField;
    self.levelField = levelField;
  }
};

// Parametric (peaking) and boost/cut filters: a level and a Q.
class TPeakFilter : public TFilter {
 public:
  void WriteToUnit(IQDevice8100& unit) const override;
  void WriteDragValues(IQDevice8100& unit) const override;
  std::string FormatParam1(bool longForm) const override;
  std::string FormatParam2(bool longForm) const override;
  std::string Describe() const override;
  void Save(SettingsTextFile& file) const override;
  void Load(SettingsTextFile& file) override;
  FilterShape Shape() const override;

  float q = 0.0F;
  float level = 0.0F;

 protected:
  using TFilter::TFilter;
  void ReadClassValues(IQDevice8100& unit) override;
  // The parametric filter's unit gain is 0 for a flat filter, the boost/cut filter's is 1.
  float GainOffset() const { return type == kParametricFilter ? 1.0F : 0.0F; }
};

class TParametricFilter final
    : public FilterClass<TParametricFilter, TPeakFilter, kParametricFilter> {};

class TOctaveFilter final : public FilterClass<TOctaveFilter, TPeakFilter, kBoostCutFilter> {};

// Low-pass and high-pass filters: an order of 6 dB per octave each.
class TPassFilter : public TFilter {
 public:
  void WriteToUnit(IQDevice8100& unit) const override;
  int SectionCost() const override;
  std::string FormatParam1(bool longForm) const override;
  std::string FormatParam2(bool longForm) const override;
  std::string Describe() const override;
  void Save(SettingsTextFile& file) const override;
  void Load(SettingsTextFile& file) override;
  FilterShape Shape() const override;

  int32_t order = 2;

 protected:
  using TFilter::TFilter;
  void ReadClassValues(IQDevice8100& unit) override;
};

class TLowpassFilter final : public FilterClass<TLowpassFilter, TPassFilter, kLowpassFilter> {};

class THighpassFilter final : public FilterClass<THighpassFilter, TPassFilter, kHighpassFilter> {};

// Low and high shelving filters. The unit builds every shelf of one section; the shelf order
// only shapes the drawn curve.
class TShelfFilter : public TFilter {
 public:
  void WriteToUnit(IQDevice8100& unit) const override;
  void WriteDragValues(IQDevice8100& unit) const override;
  std::string FormatParam1(bool longForm) const override;
  std::string FormatParam2(bool longForm) const override;
  std::string Describe() const override;
  void Save(SettingsTextFile& file) const override;
  void Load(SettingsTextFile& file) override;
  FilterShape Shape() const override;

  float level = 0.0F;
  int32_t shelfOrder = 1;

 protected:
  using TFilter::TFilter;
  void ReadClassValues(IQDevice8100& unit) override;
};

class TLowshelfFilter final : public FilterClass<TLowshelfFilter, TShelfFilter, kLowShelfFilter> {};

class THighshelfFilter final
    : public FilterClass<THighshelfFilter, TShelfFilter, kHighShelfFilter> {};

// The X model's low and high crossover edges. They cost no section of the bank budget.
class TCrossoverFilter : public TFilter {
 public:
  void WriteToUnit(IQDevice8100& unit) const override;
  int SectionCost() const override { return 0; }
  std::string FormatParam1(bool longForm) const override;
  std::string FormatParam2(bool longForm) const override;
  std::string Describe() const override;
  void Save(SettingsTextFile& file) const override;
  void Load(SettingsTextFile& file) override;
  FilterShape Shape() const override;

  int32_t alignment = kAlignmentButterworth;
  int32_t order = 2;

 protected:
  using TFilter::TFilter;
  void ReadClassValues(IQDevice8100& unit) override;
};

class TLowCrossoverFilter final
    : public FilterClass<TLowCrossoverFilter, TCrossoverFilter, kLowCrossoverFilter> {};

class THighCrossoverFilter final
    : public FilterClass<THighCrossoverFilter, TCrossoverFilter, kHighCrossoverFilter> {};

// A new filter of the type id with its constructor's defaults; none for an id no class has.
std::unique_ptr<TFilter> MakeFilter(int32_t typeId);

}  // namespace namespace8100
