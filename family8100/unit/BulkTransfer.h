#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "familycommon/AnswerWait.h"
#include "familycommon/LoadFailure.h"
#include "familycommon/ProgressReport.h"

namespace namespace8100 {

class IQDevice8100;

// What a transfer writes into a unit besides its current settings and filters.
struct NamesToPutBack {
  bool unitName = false;
  // Bit n-1 for memory n.
  uint32_t memoryNames = 0;
  bool presetMap = false;
};

// A bulk transfer that recalls memories or writes settings: the units muted, and their current
// settings kept in shadow 0 until PutBack. The units' filter lists must be current when it
// begins. It follows what each unit holds meanwhile, so that a failure can say what a unit that
// stopped answering is left with. Should a failure end it before it is finished, Recover (or the
// destructor) puts the settings back, and the names kept with KeepNames, and lifts the mute,
// waiting within one bound for a unit that fell silent to answer again.
class BulkTransfer {
 public:
  // The wait for a silent unit is bounded by the first unit's ready wait, and shown on `progress`.
  BulkTransfer(std::vector<IQDevice8100*> units, familycommon::ProgressReport* progress);
  ~BulkTransfer();
  BulkTransfer(const BulkTransfer&) = delete;
  BulkTransfer& operator=(const BulkTransfer&) = delete;

  // Mutes the units in the order given, then keeps each one's settings and filters.
  void Begin();
  // Each unit's settings and filters as they were at the start; nothing is put back after that.
  void PutBack();
  // The same for one unit, which a failure afterwards puts back again: it is to be written.
  void PutBack(IQDevice8100& unit);
  // The settings as they now stand are the ones wanted: nothing is put back.
  void Keep();
  // The same for one unit: it is now only read.
  void Keep(const IQDevice8100& unit);
  // Reads what `names` says the transfer will write into the unit, to be put back with its
  // settings after a failure. Before the first of those writes.
  void KeepNames(IQDevice8100& unit, NamesToPutBack names);
  // Recalls the memory into the unit's current settings.
  void Recall(IQDevice8100& unit, int memory);
  // Runs `writes`, which put `settings` ("the file's current settings") into the unit's current
  // settings.
  void WriteSettings(IQDevice8100& unit, std::string settings, const std::function<void()>& writes);
  // Stores the unit's current settings in the memory, whose name written for it then stays.
  void Store(IQDevice8100& unit, int memory);
  void Unmute();
  // After a failure: puts back each unit not kept and lifts every mute, as far as the units
  // answer within the wait. Nothing is put back after that.
  void Recover();
  // What the unit is left with.
  const familycommon::UnitLeft& Left(const IQDevice8100& unit) const;
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
  struct Unit {
    IQDevice8100* device;
    familycommon::UnitLeft left;
    // Whether its settings are the ones wanted.
    bool kept = false;
    Names names;
  };
  Unit& Of(const IQDevice8100& unit);
  const Unit& Of(const IQDevice8100& unit) const;
  // Runs `change` on the unit, then tells `changed` whether it ran to its end; it is told so too
  // when a failure came once a write had gone to the unit, which may have taken it.
  static void Changing(IQDevice8100& unit, const std::function<void()>& change,
                       const std::function<void(bool whole)>& changed);
  // The unit's settings, filters and names as they were.
  void PutBackWhole(Unit& unit);
  void LiftMute(Unit& unit);
  // Runs `putBack` through the wait; whether it ran to its end.
  bool ThroughWait(IQDevice8100& unit, const std::function<void()>& putBack);

  std::vector<Unit> units_;
  familycommon::AnswerWait wait_;
  bool settled_ = false;
  std::vector<int> presetsLeft_;
};

// A bulk transfer cut short by a bus failure, after the put-back: the failure, and what each unit
// is left with.
struct TransferFailure {
  std::exception_ptr error;
  std::vector<std::pair<const IQDevice8100*, familycommon::UnitLeft>> left;
  // BulkTransfer::PresetsLeft.
  std::vector<int> presetsLeft;

  const familycommon::UnitLeft& Left(const IQDevice8100& unit) const;
  bool Restored(const IQDevice8100& unit) const { return Left(unit).PutBack(); }
  // The closing message's sentence on presetsLeft, or nothing.
  std::string PresetsLeftText() const;
  // The closing message of the load or copy that `words` name for the unit that took settings
  // from elsewhere into the memories `chosen` (bit n-1 for memory n): once it was put back, the
  // memories that hold them, then PresetsLeftText; else what it is left with. Last, when the
  // unit fell silent before the program could read it again, that it is read once it answers.
  std::string ClosingText(const IQDevice8100& unit, const familycommon::LoadCommandWords& words,
                          uint32_t chosen) const;
};

// Whether the units' filter lists are read before the transfer keeps their settings, or are
// current already.
enum class FilterLists { kRead, kCurrent };

// Settings moved in bulk into the units and kept: each unit's filters are read when `lists` says
// so (its snapshot holds them), the transfer begins, `moves` runs, and the mute is lifted. A bus
// failure puts every unit not kept back and lifts every mute as far as the units answer (a unit
// that fell silent is waited for), reads the units again quietly, and throws TransferFailure.
void TransferWithPutBack(const std::vector<IQDevice8100*>& units,
                         familycommon::ProgressReport* progress, FilterLists lists,
                         const std::function<void(BulkTransfer&)>& moves);

}  // namespace namespace8100
