#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/familyov/Access.h"

namespace sim::familyov {

// What a unit keeps for one filter slot. Parameters are kept as the bytes the program sent.
struct FilterRecord {
  bool allocated = false;
  // Set by the create command: the filter runs in the signal path.
  bool active = false;
  uint8_t type = 0;
  uint8_t channel = 0;
  bool bypass = false;
  uint8_t linkNumber = 0;
  std::array<std::array<uint8_t, 4>, 3> params{};

  bool operator==(const FilterRecord&) const = default;
};

// The unit's filter slots: the unit allocates a slot and hands out its number, the program
// selects a slot and then reads or writes the selected filter's record through the filter objects.
class FilterSlots {
 public:
  // `channels`: channel numbers the unit has (inputs and outputs); a filter names one of them.
  FilterSlots(int slotCount, int channels);

  // Answers a set or get of the filter objects (new, delete, select, channel, type, parameters,
  // command, order, bypass, link group, link copy; the DSP usage only the unit sets); nullopt for
  // every other object.
  // A set's data is one whole element and its index within the object's count: the unit checks
  // both before it asks.
  std::optional<Outcome> Set(const Access& access);
  std::optional<Outcome> Get(const Access& access);

  // The unit's front panel gives `slot` the filter type `type` right after the program's next
  // read of that slot's type.
  void RetypeAfterRead(int slot, uint8_t type) { retype_ = Retype{slot, type}; }

  int LastCommand() const { return lastCommand_; }
  const std::vector<FilterRecord>& Records() const { return slots_; }
  void Restore(const std::vector<FilterRecord>& records) { slots_ = records; }
  void Clear();
  // The DSP sections the active filters occupy.
  uint32_t SectionsInUse() const;

 private:
  Outcome Allocate();
  // Moves the selected filter to a new slot, as the unit does when a new order needs other room.
  Outcome Reallocate();
  Outcome Delete(uint8_t mode);
  Outcome Select(uint8_t number);
  Outcome Command(uint8_t code);
  Outcome CopyLinked(uint32_t link);
  Outcome WriteSelected(const Access& access);
  Outcome ReadSelected(const Access& access) const;
  std::optional<int> FirstFreeSlot() const;

  struct Retype {
    int slot;
    uint8_t type;
  };

  std::vector<FilterRecord> slots_;
  std::optional<Retype> retype_;
  int channels_;
  int selected_ = 0;
  int lastCommand_ = -1;
  uint32_t lastLink_ = 0;
};

}  // namespace sim::familyov
