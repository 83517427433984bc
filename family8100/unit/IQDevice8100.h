#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bus/IQDevice.h"
#include "family8100/filters/Filters8100.h"
#include "family8100/filters/GraphView8100.h"
#include "family8100/unit/EditorMakers8100.h"
#include "family8100/unit/ReadyWait.h"
#include "familycommon/ProgressReport.h"
#include "familycommon/UnitErrorTexts.h"

namespace namespace8100 {

// Roll-call family codes of the four models.
inline constexpr uint32_t kTypeCodeBase = 368;
inline constexpr uint32_t kTypeCodePlus = 496;
inline constexpr uint32_t kTypeCodeX = 624;
inline constexpr uint32_t kTypeCodeRuneTide = 752;

inline constexpr int kSectionBudget = 70;
inline constexpr int kFilterSlots = 70;
inline constexpr int kFilterSlotsX = 78;
// Shadow 0 holds the current settings while an operation recalls memories; 1 to 12 are a virtual
// unit's memories.
inline constexpr int kShadowCount = 13;
inline constexpr int kWrongPasswordCode = 9;

using familycommon::ProgressReport;
using familycommon::ProgressScope;

// The model's current settings other than filters, one word per value, in the order the family
// keeps them: levels, mutes and routing; delays; polarity and limiter; noise sources.
using SettingsRecord = std::vector<uint32_t>;

// A unit of the older family, or a virtual one. Model gates test the type code, never the class.
// It owns the unit's filters as last read or written, and a virtual unit's memories and preset map.
// Opening shows the unit's edit window, which the device keeps while it is open.
class IQDevice8100 : public IQDevice {
 public:
  IQDevice8100(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info)
      : IQDevice8100(type, manager, info, kTypeCodeBase) {}

  ~IQDevice8100() override;

  bool DoOpen(ui::Window* parent) override;
  bool ShowOpenWindow() override;
  // The open edit window, if any.
  ui::Window* EditWindow() const;
  bool LoadFile() override;
  bool SaveFile() override;
  bool PrintReport() override;
  bool CopyFrom(IQDevice& source) override;
  // Any model of either processor family at the same address and network.
  bool Matches(const IQDeviceInfo& info) const override;
  bool GetListText(std::string& text) const override;
  // The list text of a bus unit whose lock is known: a locked one is named so.
  std::string ListText(bool locked) const;
  std::string GetErrorText(int code) const override { return familycommon::UnitErrorText(code); }
  // A bus unit waits until it is ready before it names a new filter's slot, as before every write
  // (DoWrite); the port keeps its own reply time-out.
  void Request(const UCodeObject& object, int timeoutMs) override;
  // The unit may keep a slot it handed out that the program never heard of: the lists are stale,
  // and the next whole read frees every empty slot.
  void AllocationUnanswered() override;

  uint32_t TypeCode() const { return typeCode_; }
  // Characters 2 to 8 of the roll-call identification.
  std::string FirmwareVersionText() const;
  bool HasDelay() const { return typeCode_ == kTypeCodePlus || typeCode_ == kTypeCodeX; }
  bool HasLimiter() const { return typeCode_ == kTypeCodeX; }
  bool HasNoise() const { return typeCode_ == kTypeCodeRuneTide; }
  bool HasCrossovers() const { return typeCode_ == kTypeCodeX; }
  // Units from firmware 1.1 on, and virtual units, delete all their filters with one command.
  bool DeletesAllAtOnce() const { return deletesAllAtOnce_; }
  void SetReadyBound(ReadyBound bound) { readyWaits_.SetBound(std::move(bound)); }
  const ReadyBound& GetReadyBound() const { return readyWaits_.Bound(); }
  // The writes sent to the unit so far, whether it took them or not: an operation that failed
  // without sending one changed nothing.
  uint64_t WritesSent() const { return writesSent_; }
  // Polls the ready flag within the unit's bound; NotReadyTimeout when it passes.
  void WaitUntilReady() { WaitReady(*this, readyWaits_.Bound()); }
  void WaitUntilRebooted() { WaitReadyThroughReboot(*this, readyWaits_.Bound()); }
  // Whether the unit never reported itself ready within the bound and has not since: nothing is
  // written to it meanwhile.
  bool StuckNotReady() const { return readyWaits_.Stuck(); }
  int FilterSlotCount() const { return typeCode_ == kTypeCodeX ? kFilterSlotsX : kFilterSlots; }

  // Told whenever filters leave the unit object or are replaced (familycommon/FilterLifetime.h).
  familycommon::FilterSetNotice filterSetNotice;
  // The filters of the four banks, in the order read or added; the crossovers apart.
  const std::vector<std::unique_ptr<TFilter>>& Filters() const { return filters_; }
  TFilter* LowCrossover() const { return lowCrossover_.get(); }
  TFilter* HighCrossover() const { return highCrossover_.get(); }
  int UsedSections() const;
  bool HasFilterCapacity(int sections) const { return UsedSections() + sections <= kSectionBudget; }
  bool CanAddFilter(const TFilter& filter) const { return HasFilterCapacity(filter.SectionCost()); }
  // Registers a new filter: a bus unit gives it a slot first. Crossovers take the crossover place
  // of their side (the old one goes); the others join the list. Returns the filter, now owned here.
  TFilter& PlaceFilter(std::unique_ptr<TFilter> filter);
  // Deletes a filter of the list, or a crossover, on the unit, then here.
  void RemoveFilter(const TFilter& filter);
  // Deletes every filter and both crossovers. Each filter leaves the list as soon as the unit has
  // deleted it, so a bus failure part way leaves the list as the unit holds it.
  void RemoveFilters();
  // Forgets the crossovers without touching the unit: a memory recall replaces them.
  void DropCrossovers();
  // The filters and crossovers as the unit holds them. A locked unit shows none. A virtual unit
  // keeps what it has.
  void ReadAllParameters(ProgressReport* progress = nullptr);
  // Every value is asked of the unit again on its next read.
  void ResetValueStore();
  // After a bus failure part way through an operation, which has been reported: the unit may have
  // carried out what it refused, so `read` asks it again. A unit that refuses again is asked a few
  // times more and then left as far as it was read, without a second report, also from the windows
  // that poll it. Whether it was read. One that gives up leaves the lists stale (ListsStale).
  bool ReadQuietly(const std::function<void()>& read);
  // Every value and filter read again so; the views hear of the new filters once. Whether the
  // unit answered.
  bool ReadAgainQuietly();
  // Whether the program's filters may differ from the unit's: a quiet read after a failure found
  // the unit silent. The unit's window reads it again, with everything its windows show, at the
  // first idle pass that finds it answering, as it does a unit in doubt.
  bool ListsStale() const { return listsStale_; }
  // Reads everything again quietly when the lists are stale; whether it did so and the unit
  // answered, so the views are to show the unit's values again.
  bool ReadAgainIfStale();

  // Whether the attenuation dialog moves both outputs together; kept while the unit is open.
  bool attenuationLinked = false;

  SettingsRecord ReadSettingsRecord();
  void WriteSettingsRecord(const SettingsRecord& record);

  // Memories 1 to 12. A bus unit stores or recalls and then waits until it is ready; a virtual unit
  // copies its shadow memory.
  void SaveMemory(int memory);
  void RestoreMemory(int memory);
  // The name of the memory, and the memory of the preset, selected by the index objects.
  void SetMemoryName(const std::string& name);
  std::string GetMemoryName();
  void SetPresetMapEntry(int memory);
  int GetPresetMapEntry();
  // Keeps the current settings, filters and crossovers in shadow `index`, or puts them back.
  void SaveShadowMemory(int index);
  void RestoreShadowMemory(int index);

  // The response graphs' view options; every view starts with the family's stored zoom.
  GraphViews8100 graphViews;
  // The low crossover follows the high one at the ratio they had; the program's own choice.
  bool crossoverLink = false;
  void SetGraphZoom(bool horizontal, bool vertical);
  // Where each editor window stood, and each response graph's client rectangle as it closed, by
  // view 1 to 5: an editor opens again as the user left it, a bank's graph pane as wide as it was.
  std::array<EditorPlace, kCrossoverView + 1> editorPlaces;
  std::array<ui::Rect, kCrossoverView + 1> graphRects;

 protected:
  IQDevice8100(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info,
               uint32_t typeCode);
  // A bus unit waits until it is ready before every write.
  void DoWrite(const UCodeObject& object, std::span<const uint8_t> data, int timeoutMs) override;

 private:
  struct Shadow {
    SettingsRecord settings;
    std::vector<std::unique_ptr<TFilter>> filters;
    std::unique_ptr<TFilter> lowCrossover;
    std::unique_ptr<TFilter> highCrossover;
    std::string name;
    int presetMemory = 0;
  };

  // The values a new virtual unit starts with.
  void InitVirtualUnit();
  // A virtual unit keeps the password it was locked with and unlocks with it, as a unit does.
  void WriteVirtualPassword(std::span<const uint8_t> data);
  // The shadow an index object selects; none outside 1 to 12.
  Shadow* SelectedShadow(const UCodeObject& index);
  std::unique_ptr<TFilter>& CrossoverPlace(const TFilter& crossover);

  uint32_t typeCode_;
  bool waitsForReady_;
  bool deletesAllAtOnce_ = true;
  ReadyWaits readyWaits_;
  bool listsStale_ = false;
  // A new slot's read went unanswered and no whole read of the filters has freed the slot yet.
  bool slotsInDoubt_ = false;
  uint64_t writesSent_ = 0;
  std::vector<std::unique_ptr<TFilter>> filters_;
  std::unique_ptr<TFilter> lowCrossover_;
  std::unique_ptr<TFilter> highCrossover_;
  std::array<Shadow, kShadowCount> shadows_;
  std::string virtualPassword_;
  std::unique_ptr<ui::Window> editWindow_;
};

class IQDevice8100Plus : public IQDevice8100 {
 public:
  IQDevice8100Plus(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info)
      : IQDevice8100(type, manager, info, kTypeCodePlus) {}

 protected:
  using IQDevice8100::IQDevice8100;
};

class IQDevice8100X : public IQDevice8100Plus {
 public:
  IQDevice8100X(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info)
      : IQDevice8100Plus(type, manager, info, kTypeCodeX) {}
};

class IQDevice8100RT : public IQDevice8100 {
 public:
  IQDevice8100RT(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info)
      : IQDevice8100(type, manager, info, kTypeCodeRuneTide) {}
};

}  // namespace namespace8100
