#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "bus/IQDevice.h"
#include "familycommon/FilterLifetime.h"
#include "familycommon/ProgressReport.h"
#include "familyov/filters/FilterClasses.h"
#include "familyov/unit/FlagWait.h"
#include "familyov/unit/MemoryState.h"
#include "familyov/unit/OVCodecs.h"
#include "familyov/unit/ParameterTable.h"

namespace namespaceOV {

inline constexpr int kMemoryRecordCount = 21;  // record 0 the current settings, 1..20 memories
inline constexpr int kGroupCount = 11;         // group 0 (none) and 1..10

using familycommon::ProgressReport;

// Options a unit may have, as HasFeature asks about them.
enum UnitFeature : int {
  kFeatureLastMemory = 1,
  kFeatureClock = 2,
  kFeatureDelayBypass = 3,
  kFeatureAllpass = 4,
  kFeatureNewSettingsWatch = 5,
  kFeatureCrosspointDelays = 6,
  kFeatureCompressors = 7,
};

using familycommon::ProgressScope;

// The low and high crossover of each output of a crossover macro, and its output filters, as the
// capacity test sees them.
struct CrossoverMacroContents {
  std::vector<const TFilter*> outputFilters;
  std::array<const TLowCrossover*, kMaxOutputs> lowCrossover{};
  std::array<const THighCrossover*, kMaxOutputs> highCrossover{};
};

// What a model's DSP budget and delay memory hold, in cost units and samples at 48 kHz.
struct DspCapacity {
  int capacity;
  int baseCost;
  int parametricSectionCost;
  int otherSectionCost;
  int limiterCost;  // paid once, as soon as any output's limiter is on
  int pinkNoiseCost;
  int maxFilterRecords;
  bool crosspointDelays;
  int Budget() const { return capacity - baseCost; }
};

// Capacity request kinds.
enum SectionKind {
  kNoSections = -1,
  kParametricSections = 0,
  kOtherSections = 1,
  kLimiter = 2,
  kPinkNoise = 3
};

struct RgbColor {
  uint8_t red, green, blue;
  bool operator==(const RgbColor&) const = default;
};

struct FileFilter {
  std::string filter;
  std::string defaultExtension;
};

// A virtual unit's copy of one memory: the parameter values, its filters and crossovers.
struct MemoryRecord {
  MemoryState::Words state{};
  std::vector<std::unique_ptr<TFilter>> filters;
  std::array<std::unique_ptr<TLowCrossover>, kMaxOutputs> lowCrossover;
  std::array<std::unique_ptr<THighCrossover>, kMaxOutputs> highCrossover;
};

// Where a model's channels lie: its inputs from 0, its outputs from firstOutput (which may leave a
// gap after the inputs), and its mixing matrix.
struct ModelGeometry {
  int inputs;
  int outputs;
  int firstOutput;
  int matrixInputs;
  int matrixOutputs;
};

// Every unit of the newer family, on the bus or virtual: its geometry, the model of its filters
// and crossovers, its DSP use, a virtual unit's memories and the family's options.
class IQDeviceOrdavinex : public IQDevice {
 public:
  static constexpr int kMemoryImageWords8148 = 840;
  static constexpr int kMemoryImageWords8126 = 730;

  IQDeviceOrdavinex(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info,
                    int outputs);
  ~IQDeviceOrdavinex() override;

  bool Matches(const IQDeviceInfo& info) const override;
  bool GetListText(std::string& text) const override;
  std::string GetErrorText(int code) const override;
  void Request(const UCodeObject& object, int timeoutMs) override;
  bool LoadFile() override;
  bool SaveFile() override;
  // The device report and the device copy (DeviceReport.cpp, DeviceCopy.cpp).
  bool PrintReport() override;
  bool CopyFrom(IQDevice& source) override;
  bool AcceptsCopyFrom(IQDevice& source) override;
  bool ShowOpenWindow() override;
  // The unit's edit window while it is open, else null.
  ui::Window* EditWindow() const;

  // The channel indexes the unit has: its inputs, then its outputs from firstOutput.
  std::vector<int> ChannelIndexes() const;
  // "1", "2", ... for inputs, "A", "B", ... for outputs; empty for a channel the model lacks.
  virtual std::string GetChannelLabel(int channel) const = 0;
  // Stores a DWORD option under the family's key; false when there is none.
  bool WriteOption(const std::string& name, uint32_t value);
  std::string GetDisplayName();
  virtual int GetModelBitmapId() const = 0;
  virtual int GetModelResourceId() const = 0;
  virtual std::span<const int> GetImageOffsetTable() const = 0;
  virtual bool HasFeature(int feature) const = 0;
  // Channels 0..5 have colours; none for the others (the caller uses the button face).
  static std::optional<RgbColor> GetChannelColor(int channel);

  // A proposed step of a channel's delay (applied to every member of its group), reduced so that
  // every delay fits the delay memory; a step down passes, but never below an empty memory.
  int FitChannelDelay(int delay, int channel);
  // The same for a step of one crosspoint's delay; 0 on models without crosspoint delays.
  int FitCrosspointDelay(int delay);
  // Recounts the DSP use of filters, crossovers, limiters and pink noise; the total cost.
  int RecountDspUse();
  // A figure of the last count (totalPercent, freeSections, ...), or none while that count is not
  // the unit's: it stopped at a read the unit did not answer, or it went over filters that may
  // not be what the unit holds.
  std::optional<int> DspFigure(int figure) const {
    return dspCounted_ && !filtersStale_ ? std::optional<int>(figure) : std::nullopt;
  }
  bool CanAddSections(int kind, int count, int kind2 = kNoSections, int count2 = 0);
  // Whether the macro's crossovers and output filters fit in place of the unit's.
  bool CanAddSections2(const CrossoverMacroContents& macro);
  // Memory record n (0..kMemoryRecordCount - 1) of a virtual unit; OrdavinexRangeError else.
  void SaveMemoryRecord(int n);
  void RecallMemoryRecord(int n);
  virtual int GetDelayCapacity() const = 0;
  int GetMaxFilterRecords() const { return Capacity().maxFilterRecords; }
  virtual int GetMemoryCount() const = 0;
  virtual FileFilter GetFileFilter() const = 0;
  virtual const DspCapacity& Capacity() const = 0;

  // Reads every filter and crossover of a bus unit (none from a locked one); a virtual unit only
  // recounts. A read the unit fails part way is made once more, and the failure still thrown;
  // when the second read fails too, the device keeps the filters it had.
  void ReadDeviceParameters(ProgressReport* progress = nullptr);
  // Whether the filters the device holds may no longer be the unit's: their read failed, or a
  // change stopped where the unit could not be put back. The unit's edit window reads them again
  // once the unit answers.
  bool FiltersStale() const { return filtersStale_; }
  // Filters that may not be the unit's leave the unit in doubt: read again whole once it answers.
  void MarkFiltersStale() {
    filtersStale_ = true;
    MarkInDoubt();
  }
  // The unit may hold a slot it handed out for a new filter or order and the program never heard
  // of: the filters are read again once the unit answers, and that read frees every empty slot
  // and starts the filter a lost order change moved.
  void AllocationUnanswered() override;
  // The create command of the filter in slot `number` went unanswered: the unit may hold it there
  // without running it. The next whole read frees it then, so that the program lists no filter the
  // unit never started.
  void CreateUnanswered(int number);
  // Has a bus unit find room for the filter's new order: the filter takes the number the unit
  // moved it to.
  void MoveForNewOrder(TFilter& filter);
  // A failure is reported, and the events read before it kept.
  void ReadTimerEvents(ProgressReport* progress = nullptr);
  // The same, but a failure is thrown.
  void ReadClockEvents(ProgressReport* progress = nullptr);
  // Appends the filter and gives it its number: the unit allocates it, or on a virtual unit the
  // lowest one free.
  TFilter* AddFilter(std::unique_ptr<TFilter> filter);
  // Adds the filter (AddFilter), writes it to a bus unit and starts it there. A failure part way
  // is thrown after the half-made filter has left the unit again, as far as the unit answers:
  // one the unit never started does nothing and refuses every change.
  TFilter* CreateFilter(std::unique_ptr<TFilter> filter);
  // Appends a filter that already has its number, as a unit's memory holds it.
  void AdoptFilter(std::unique_ptr<TFilter> filter) { filters_.push_back(std::move(filter)); }
  // Deletes the filter on a bus unit and hands it back to the caller; the chains it was in are
  // set again from the link numbers, as the unit now holds them.
  std::unique_ptr<TFilter> RemoveFilter(TFilter* filter);
  std::vector<std::unique_ptr<TFilter>> RemoveFilters(const std::vector<TFilter*>& filters);
  void RemoveAllFilters();
  // Sets heads and chains from the link numbers, then every filter's linked channels.
  void LinkFilters();
  void InvalidateValues() { SetObjectCount(kObjectIdCount); }
  void GetGroupLevelRange();
  void SaveFilterDefaults(const TFilter& filter);
  void LoadFilterDefaults(TFilter& filter) const;

  const std::vector<std::unique_ptr<TFilter>>& Filters() const { return filters_; }
  // Whether the filter is one of the unit's filters or crossovers.
  bool Holds(const TFilter* filter) const;
  // After a multi-step change that stopped part way: the filters read again from a bus unit (the
  // chains from the link numbers on a virtual one), and every view told to read them again. A
  // change that could reach only some filters' values names them in `reached`: those are read
  // again in place and the others kept, so that what holds them (a selection, a dialog) keeps them.
  // A read that fails leaves the filters stale, to be read again once the unit answers.
  void ResyncFilterViews(std::span<TFilter* const> reached = {});
  // Told whenever filters leave the device or are replaced (familycommon/FilterLifetime.h).
  familycommon::FilterSetNotice filterSetNotice;
  TLowCrossover* LowCrossover(int output) const;
  THighCrossover* HighCrossover(int output) const;
  // Puts a crossover into output `output`'s slot; false (and the crossover dropped) when the
  // model has no such output.
  bool SetLowCrossover(int output, std::unique_ptr<TLowCrossover> crossover);
  bool SetHighCrossover(int output, std::unique_ptr<THighCrossover> crossover);
  // Empties the output's slot and hands its crossover (or null) to the caller.
  std::unique_ptr<TLowCrossover> TakeLowCrossover(int output);
  std::unique_ptr<THighCrossover> TakeHighCrossover(int output);
  const std::vector<TTimerStruct>& TimerEvents() const { return timerEvents_; }
  // The clock-event editor changes the events in place and writes each one it changes.
  std::vector<TTimerStruct>& TimerEvents() { return timerEvents_; }
  // The list only; the caller writes the events to the unit.
  void SetTimerEvents(std::vector<TTimerStruct> events) { timerEvents_ = std::move(events); }
  // A bus unit has its clock when its firmware knows one and the unit says it is fitted; a
  // virtual unit keeps the clock it was made with. Sets and returns clockPresent.
  bool UpdateClockPresence();

  void SetWaitBound(WaitBound bound) { waitBound_ = std::move(bound); }
  const WaitBound& GetWaitBound() const { return waitBound_; }

  int inputs = 0;
  int outputs = 0;
  int channels = 0;
  int firstOutput = 0;
  int matrixOutputs = 0;
  int matrixInputs = 0;
  int filtersPercent = 0;
  int crossoversPercent = 0;
  int limitersPercent = 0;
  int totalPercent = 0;
  int pinkNoisePercent = 0;
  int freeSections = 0;
  bool clockPresent = false;
  bool settingsChanged = false;
  float firmwareVersion = 0.0f;
  bool parametersReady = true;
  bool showNetworkSum = false;  // the crossover graph adds the sum of its network's outputs
  std::array<bool, kMaxChannels> verticalZoom{};
  std::array<bool, kMaxChannels> horizontalZoom{};
  std::array<bool, kMaxChannels> linearGraphLabels{};
  std::array<bool, kMaxChannels> showPhase{};
  std::array<int32_t, kMaxChannels> cumulativeInput{};
  int useQ = 1;
  int autoOpenSummary = 1;
  float delayTemperature = 20.0f;
  uint8_t mixerFlag = 1;
  int selectedLogicIn = 1;
  std::array<float, kGroupCount> groupMaxLevel{};
  std::array<float, kGroupCount> groupMinLevel{};
  std::array<bool, kMaxChannels> linkedChannels{};
  int totalSections = 0;
  std::array<int, kMaxChannels> sectionsPerChannel{};

 protected:
  void DoWrite(const UCodeObject& object, std::span<const uint8_t> data, int timeoutMs) override;
  // Model geometry, set by the model's constructor.
  void SetGeometry(const ModelGeometry& geometry);
  struct VirtualDefaults {
    float firmware;
    // Output o starts on crossover network o / networkGroupSize + 1.
    int networkGroupSize;
    // Which input feeds output o: routing[o] holds a bit per input.
    std::array<uint8_t, kMaxOutputs> routing;
    bool crosspointDelays;
    bool compressors;
    int memoryImageWords;
  };
  // Gives a new virtual unit its firmware, clock, settings in the value store, memories and the
  // model information it shows.
  void InitVirtualUnit(const VirtualDefaults& defaults);
  // Creates the unit's edit window and keeps it while it is open; a window closed before goes now.
  bool ShowEditWindow(std::unique_ptr<ui::Window> window);

 private:
  int SectionCost(const TFilter& filter) const;
  bool AnyLimiterEnabled();
  int CrosspointDelaySum();
  int ChannelDelaySum();
  int FitDelay(int delay, int members, int available, int used);
  void CountSection(int channel, int sections);
  void ReadOptions();
  void ClearCrossovers();
  // The unit's filter records, taken in place of the device's only when all are read; false
  // (and no filters) for a locked unit.
  bool ReadFilterRecords(ProgressReport* progress);
  // Every filter and crossover of the unit.
  std::vector<TFilter*> FiltersAndCrossovers() const;
  // Sends its create command to each filter a lost order change moved, found where the unit put
  // it: in a slot that is not among `held`, with its old slot among `empty`.
  void StartMovedFilters(std::span<const int> held, std::span<const int> empty);
  // Whether the unit runs `filter`, just read from its slot, whose create command went unanswered;
  // one it never started is freed.
  bool StartedElseFreed(TFilter& filter);
  // The units a write of this device reaches: itself, or, from the network logic address, every
  // 2-input unit of its network the program knows.
  std::vector<IQDeviceOrdavinex*> UnitsAddressed();
  // The lowest number that no filter or crossover of the unit has and no link refers to.
  int UnusedFilterNumber() const;
  MemoryRecord& Record(int n);
  // The state block's layout, in either direction.
  void MoveState(MemoryRecord& record, MemoryState::Direction direction);

  std::vector<std::unique_ptr<TFilter>> filters_;
  std::array<std::unique_ptr<TLowCrossover>, kMaxOutputs> lowCrossover_;
  std::array<std::unique_ptr<THighCrossover>, kMaxOutputs> highCrossover_;
  std::vector<TTimerStruct> timerEvents_;
  std::array<MemoryRecord, kMemoryRecordCount> memories_;
  WaitBound waitBound_;
  bool filtersStale_ = false;
  bool dspCounted_ = false;
  // An allocation went unanswered and no whole read of the filters has freed its slot yet.
  bool slotsInDoubt_ = false;
  // A filter an order change moved, as the program knew it before: the unit keeps its type and
  // channel, and frees its old slot unless it has no other room.
  struct MovedFilter {
    int from;
    int typeCode;
    int channel;
  };
  // The filter whose new room the unit is being asked for.
  std::optional<MovedFilter> moving_;
  // The filters moved by order changes whose answer never came, since the last whole read or
  // recall.
  std::vector<MovedFilter> lostMoves_;
  // The slots of filters whose create command went unanswered, since the last whole read.
  std::vector<int> createsInDoubt_;
  std::unique_ptr<ui::Window> editWindow_;
};

// Keeps a unit's unsaved and settings-changed marks through an operation that only reads it:
// reading a virtual unit's memories recalls each in turn, which would otherwise mark it changed.
class UnchangedMarks {
 public:
  explicit UnchangedMarks(IQDeviceOrdavinex& device)
      : device_(device), modified_(device.IsModified()), changed_(device.settingsChanged) {}
  ~UnchangedMarks() {
    device_.SetModified(modified_);
    device_.settingsChanged = changed_;
  }
  UnchangedMarks(const UnchangedMarks&) = delete;
  UnchangedMarks& operator=(const UnchangedMarks&) = delete;

 private:
  IQDeviceOrdavinex& device_;
  bool modified_;
  bool changed_;
};

// Reports a failed bus operation of the family; the window layer installs the dialog.
using CommErrorReporter = void (*)(const IQException& error, IQDevice& device);
// Returns the reporter it replaces.
CommErrorReporter SetCommErrorReporter(CommErrorReporter reporter);
void ReportCommError(const IQException& error, IQDevice& device);

}  // namespace namespaceOV
