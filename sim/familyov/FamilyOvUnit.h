#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/SimulatedBus.h"
#include "sim/Unit.h"
#include "sim/familyov/Access.h"
#include "sim/familyov/BusyPeriod.h"
#include "sim/familyov/FilterSlots.h"
#include "sim/familyov/FlashProgrammer.h"
#include "sim/familyov/MemoryBank.h"
#include "sim/familyov/MemoryImages.h"
#include "sim/familyov/Model.h"
#include "sim/familyov/SignalMeters.h"
#include "sim/familyov/UnitClock.h"

namespace sim::familyov {

// The code a locked unit refuses a change with ("Device is locked" in the maker's table).
inline constexpr uint8_t kDeviceLockedError = 10;

struct UnitOptions {
  Model model = Model::k8148;
  int address = 1;
  int network = 1;
  // Three characters, as the roll call carries them.
  std::string firmware = "1.5";
  // Only the 8148 can have it.
  bool compressorOption = false;
  std::string serialNumber = "SIM0001";
  // The name the unit comes with, as a user would have given it.
  std::string unitName;
  // The firmware a completed reflash installs, in effect after the reboot that ends it (the next
  // roll call names it); empty keeps the firmware as it was.
  std::string reflashedFirmware;
  BusyLength busy;
};

// A unit of the newer family: the whole object table, and the objects that do something rather
// than hold a value: filter slots, memories with the ready flag, lock and password, clock,
// logic trigger, new settings and the firmware objects.
// The clock stays simpler than on a unit: it keeps the time and date last set and does not run.
// While it reboots the unit answers with its ready flag down rather than falling silent.
class FamilyOvUnit final : public Unit {
 public:
  explicit FamilyOvUnit(const UnitOptions& options);

  // A logic input fired at the unit's own connector (or by its clock): the unit wants to recall
  // the memory the logic map names and raises its new-settings flag until the program answers.
  void FireLogicInput(int input);

  // The 2-input models fire a logic input sent to the network address and answer their ready flag
  // there.
  std::optional<UnitReply> AnswerNetworkRequest(const Request& request) override;

  const FilterSlots& Filters() const { return filters_; }
  void RetypeFilterAfterRead(int slot, uint8_t type) { filters_.RetypeAfterRead(slot, type); }
  const std::vector<FlashRecord>& FlashRecords() const { return flash_.Records(); }
  // Reboots since construction: each ends a reflash or a factory initialise.
  int Reboots() const { return reboots_; }

 protected:
  std::optional<UnitReply> AnswerSpecialSet(const Request& request) override;
  std::optional<UnitReply> AnswerSpecialGet(const Request& request) override;

 private:
  // Decodes a request for an object the unit handles itself and replies with what `outcomeOf`
  // makes of it; nothing for an object the table serves.
  template <typename OutcomeOf>
  std::optional<UnitReply> AnswerSpecial(const Request& request, OutcomeOf outcomeOf);
  std::optional<Outcome> SetSpecial(const ObjectLayout& layout, const Access& access);
  std::optional<Outcome> GetSpecial(const Access& access);
  bool AllowedWhileLocked(const Access& access) const;
  Outcome StoreText(const ObjectLayout& layout, const Access& access);
  Outcome TryPassword(const Access& access);
  Outcome SetLocked(uint8_t value);
  std::optional<Outcome> MoveToAddress(uint8_t address);
  Outcome AnswerNewSettings(uint8_t value);
  Outcome FireLogicInputNow(uint8_t input);
  Outcome Initialize(uint8_t value);
  Outcome Reset(uint8_t value);
  // The gain reduction of the channel's limiter as a linear gain's bits: none while it is off.
  std::vector<uint8_t> LimiterReading(int channel);
  // The unit's own DSP usage counter, from the filters it runs, its limiters and pink noise.
  uint32_t DspUsageCounter() const;
  // Runs `outcome` and, when it succeeded, drops the ready flag for a while.
  Outcome ThenBusy(Outcome outcome);
  void ApplyFactoryDefaults();
  // A unit acknowledges an initialise at once and resets itself while it shows busy; the reset is
  // long work (every memory is rewritten), and done before the reply it would keep the reply
  // from the program for as long as that work takes. So the reset is done before the unit's next
  // answer instead, which is the first moment the program can see it.
  void FinishDueFactoryReset();
  // The memory the logic map names for an input, or 0 for none.
  uint8_t LogicMemory(int input) const;

  UnitOptions options_;
  ModelTraits traits_;
  FilterSlots filters_;
  MemoryImages images_;
  MemoryBank memories_;
  FlashProgrammer flash_;
  BusyPeriod working_;
  BusyPeriod loading_;
  SignalMeters meters_;
  UnitClock clock_;
  // Reads of each channel's limiter meter: the gain reduction moves on with each.
  std::array<uint32_t, SignalMeters::kChannels> limiterReads_{};
  bool locked_ = false;
  std::string password_;
  // The memory a fired logic input waits to recall, 0 for none.
  uint8_t pendingMemory_ = 0;
  bool factoryResetDue_ = false;
  int reboots_ = 0;
};

// Adds a unit of the model to the bus; returns its index for `SimulatedBus::WithUnit`.
int AddFamilyOvUnit(SimulatedBus& bus, const UnitOptions& options);

}  // namespace sim::familyov
