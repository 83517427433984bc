#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace namespace8100 {

class IQDevice8100;

// The units' audio muted while settings move in bulk. Lift ends it; should a failure end it
// first, the destructor lifts it on every unit that still answers.
class BulkMute {
 public:
  // Mutes the units in the order given; a failure lifts what it muted and passes on.
  explicit BulkMute(std::vector<IQDevice8100*> units);
  ~BulkMute();
  BulkMute(const BulkMute&) = delete;
  BulkMute& operator=(const BulkMute&) = delete;

  void Lift();
  // Lifts the mute on every unit that answers; the units that did not.
  std::vector<IQDevice8100*> Release();

 private:
  std::vector<IQDevice8100*> units_;
  bool lifted_ = false;
};

// What a transfer writes into a unit besides its current settings and filters.
struct NamesToPutBack {
  bool unitName = false;
  // Bit n-1 for memory n.
  uint32_t memoryNames = 0;
  bool presetMap = false;
};

// A bulk transfer that recalls memories: the units muted, and their current settings kept in
// shadow 0 until PutBack. The units' filter lists must be current when it starts. Should a
// failure end it before PutBack, the destructor puts the settings back, and the names kept with
// KeepNames, as far as each unit lets it, and then lifts the mute, so no unit is left muted or on
// a recalled memory.
class BulkTransfer {
 public:
  explicit BulkTransfer(std::vector<IQDevice8100*> units);
  ~BulkTransfer();
  BulkTransfer(const BulkTransfer&) = delete;
  BulkTransfer& operator=(const BulkTransfer&) = delete;

  // Each unit's settings and filters as they were at the start; nothing is put back after that.
  void PutBack();
  // The same for one unit, which a failure afterwards puts back again: it is to be written.
  void PutBack(IQDevice8100& unit);
  // The settings as they now stand are the ones wanted: nothing is put back.
  void Keep() { kept_.assign(units_.size(), true); }
  // The same for one unit: it is now only read.
  void Keep(const IQDevice8100& unit);
  // Reads what `names` says the transfer will write into the unit, to be put back with its
  // settings after a failure. Before the first of those writes.
  void KeepNames(IQDevice8100& unit, NamesToPutBack names);
  // The memory is stored in the unit with the name written for it, which then stays.
  void Stored(const IQDevice8100& unit, int memory);
  void Unmute() { mute_.Lift(); }
  // After a failure: puts back each unit not kept and lifts every mute, as far as the units
  // answer; the units not wholly back.
  std::vector<IQDevice8100*> Recover();
  // The presets the put-back found written and could not give back their empty entries: the unit
  // takes none.
  const std::vector<int>& PresetsLeft() const { return presetsLeft_; }

 private:
  // The names and preset map a unit had before the transfer wrote its own.
  struct Names {
    std::optional<std::string> unitName;
    std::vector<std::pair<int, std::string>> memoryNames;
    std::vector<std::pair<int, int>> presetMap;
  };
  std::size_t IndexOf(const IQDevice8100& unit) const;
  // The unit's settings, filters and names as they were.
  void PutBackWhole(std::size_t index);

  std::vector<IQDevice8100*> units_;
  BulkMute mute_;
  // By unit: whether its settings are the ones wanted.
  std::vector<bool> kept_;
  std::vector<Names> names_;
  std::vector<int> presetsLeft_;
};

// A bulk transfer cut short by a bus failure, after the put-back: the failure, and the units
// that could not be put back wholly (they may be left muted or on other settings).
struct TransferFailure {
  std::exception_ptr error;
  std::vector<IQDevice8100*> notRestored;
  // BulkTransfer::PresetsLeft.
  std::vector<int> presetsLeft;

  bool Restored(const IQDevice8100& unit) const;
  // The closing message's sentence on presetsLeft, or nothing.
  std::string PresetsLeftText() const;
};

// Settings moved in bulk into the units and kept: each unit's filters are read (its snapshot
// holds them), the units are muted with their settings kept, `moves` runs, and the mute is lifted.
// A bus failure puts every unit not kept back and lifts every mute as far as the units answer,
// reads the units again quietly, and throws TransferFailure.
void TransferWithPutBack(const std::vector<IQDevice8100*>& units,
                         const std::function<void(BulkTransfer&)>& moves);

}  // namespace namespace8100
