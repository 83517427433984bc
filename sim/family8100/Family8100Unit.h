#pragma once

#include <string>

#include "sim/SimulatedBus.h"
#include "sim/Unit.h"

namespace sim::family8100 {

// The older family's models by their roll-call family code.
enum class Model { kBase = 368, kPlus = 496, kX = 624, kRuneTide = 752 };

inline constexpr int kReadyId = 6;
inline constexpr int kUnitNameId = 25;
inline constexpr int kLockedId = 28;

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

// A unit of the older family: the whole object table, and the ready flag that drops while the
// unit carries out a set.
class Family8100Unit final : public Unit {
 public:
  explicit Family8100Unit(const UnitOptions& options);

 protected:
  std::optional<UnitReply> AnswerSpecialSet(const Request& request) override;
  std::optional<UnitReply> AnswerSpecialGet(const Request& request) override;

 private:
  int busyPolls_;
  int busyLeft_ = 0;
};

// Adds the unit to the bus; returns its index there.
int AddFamily8100Unit(SimulatedBus& bus, const UnitOptions& options);

}  // namespace sim::family8100
