#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sim/SimulatedBus.h"
#include "sim/Unit.h"
#include "sim/family8100/SignalReadings.h"

namespace sim::family8100 {

// The older family's models by their roll-call family code.
enum class Model { kBase = 368, kPlus = 496, kX = 624, kRuneTide = 752 };

inline constexpr int kReadyId = 6;
inline constexpr int kBulkMuteId = 13;
inline constexpr int kRoutingId = 16;
inline constexpr int kUnitNameId = 25;
inline constexpr int kPasswordId = 26;
inline constexpr int kLockedId = 28;
inline constexpr int kMemoryCount = 12;
// The family code every unit of the family answers besides its own, as auto-addressing sends it.
inline constexpr int kSharedFamily = 240;

// One filter slot as the unit keeps it; parameters as the bytes the program sent, by selector.
struct FilterSlot {
  uint8_t type = 0;
  uint8_t bank = 0;
  bool bypass = false;
  std::array<std::array<uint8_t, 4>, 3> params{};
  // Handed out as a new filter's slot and not yet given a type.
  bool handedOut = false;
  bool committed = false;

  bool IsFilter() const { return type >= 3 && type <= 10; }
  bool operator==(const FilterSlot&) const = default;
};

struct UnitOptions {
  Model model = Model::kBase;
  int address = 1;
  int network = 1;
  // Three characters, as the roll call carries them after the model's two.
  std::string firmware = "1.2";
  std::string unitName;
  // After each set the unit answers its ready flag down this many times, as it does while it
  // carries out a command.
  int busyPolls = 0;
};

// What the flash programmer of a unit was given.
struct FlashImage {
  bool started = false;
  bool erased = false;
  // Each block at the address it was written to: blocks follow one another from the address last
  // set.
  std::vector<std::pair<uint32_t, std::vector<uint8_t>>> blocks;
  // Set by the initialise mode, taken by the next reboot: that reboot initialises the unit.
  bool initialiseOnReboot = false;
  int reboots = 0;
  int initialisations = 0;
};

// A unit of the older family: the whole object table; the ready flag that drops while the unit
// carries out a set; filter slots selected by number, written by selector and committed; twelve
// memories with names and the preset map; the lock and its password; level meters and limiter
// gain that move at every read.
class Family8100Unit final : public Unit {
 public:
  explicit Family8100Unit(const UnitOptions& options);

  const std::vector<FilterSlot>& Slots() const { return slots_; }
  const FlashImage& Flash() const { return flash_; }
  // The slot takes `type` right after its type is next read, as when the front panel changes a
  // filter while the program reads it.
  void RetypeAfterRead(int slot, uint8_t type);
  // The preset points at no memory, as on a unit whose preset was never assigned.
  void ClearPreset(int preset);
  // Locks the unit with `password`, as the security page does.
  void Lock(const std::string& password);
  bool AnswersFamily(int family) const override;
  // Auto-addressing: every unit hears the network address; in addressing mode a unit takes the
  // address it is given and leaves the mode when told so at its new address.
  std::optional<UnitReply> AnswerNetworkRequest(const Request& request) override;

 protected:
  std::optional<UnitReply> AnswerSpecialSet(const Request& request) override;
  std::optional<UnitReply> AnswerSpecialGet(const Request& request) override;

 private:
  struct Memory {
    std::map<int, std::vector<uint8_t>> settings;
    std::vector<FilterSlot> filterSlots;
    std::string name;
  };

  std::optional<UnitReply> AnswerFilterSet(const Request& request, uint8_t value);
  std::optional<UnitReply> AnswerFlashSet(const Request& request, uint8_t value);
  void TakeAddress(uint8_t address);
  std::optional<UnitReply> AnswerFilterGet(const Request& request);
  std::optional<UnitReply> AnswerReadingGet(const Request& request);
  void StoreMemory(int memory);
  void RecallMemory(int memory);
  // Memory or preset 1 to 12 selected by an index object; 0 when none is.
  int Selected(int indexId) const;

  struct Retype {
    int slot;
    uint8_t type;
  };

  int busyPolls_;
  // Firmware before 1.1 deletes one selected filter at a time and refuses to delete them all.
  bool deletesAllAtOnce_;
  std::optional<Retype> retype_;
  int busyLeft_ = 0;
  std::vector<FilterSlot> slots_;
  int selectedSlot_ = 0;
  int selectedParam_ = 0;
  std::array<Memory, kMemoryCount + 1> memories_;
  std::array<uint8_t, kMemoryCount + 1> presets_{};
  std::string password_;
  FlashImage flash_;
  uint32_t flashCursor_ = 0;
  SignalReadings readings_;
};

// Adds the unit to the bus; returns its index there.
int AddFamily8100Unit(SimulatedBus& bus, const UnitOptions& options);

}  // namespace sim::family8100
