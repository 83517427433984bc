#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "sim/SimulatedBus.h"
#include "sim/Unit.h"

namespace sim::family3300 {

inline constexpr int kFamilyCode = 1520;

enum class Model { k3300XL, k3300_2XL };

// Object ids the tests look at.
inline constexpr int kHpfAId = 2;
inline constexpr int kGainAId = 6;
inline constexpr int kPasswordEntryId = 12;
inline constexpr int kLockId = 13;
inline constexpr int kNewPasswordId = 14;
inline constexpr int kStatusId = 15;
inline constexpr int kUnitNameId = 16;
inline constexpr int kMemoryNumberId = 17;
inline constexpr int kMemoryAccessId = 18;
inline constexpr int kFirstMemoryNameId = 19;
inline constexpr int kFirstBandAId = 29;
inline constexpr int kFirstBandBId = 57;

struct UnitOptions {
  Model model = Model::k3300_2XL;
  int address = 1;
  int network = 1;
  // Five characters after the model digit in the roll-call identity.
  std::string firmware = "01.20";
  std::string unitName = "---------";
  std::string password = "AAAAAA";
};

// A graphic equaliser: every parameter of both channels (a one-channel unit keeps channel B's
// objects too, as the firmware does), ten memories that it stores and recalls itself, and a
// password lock under which it refuses every change but the unlock. Values out of their ranges
// are refused with the error object.
class Family3300Unit final : public Unit {
 public:
  explicit Family3300Unit(const UnitOptions& options);

  // The settings of the channel parameters (ids 2..11 and 29..84) memory `number` holds.
  const std::vector<uint8_t>& Memory(int number) const { return memories_.at(number - 1); }

 protected:
  std::optional<UnitReply> AnswerSpecialSet(const Request& request) override;

 private:
  std::optional<UnitReply> AnswerMemoryAccess(const Request& request);
  std::vector<uint8_t> CurrentSettings() const;
  void Recall(const std::vector<uint8_t>& settings);

  std::string password_;
  std::array<std::vector<uint8_t>, 10> memories_;
};

// Adds the unit to the bus; returns its index there.
int AddFamily3300Unit(SimulatedBus& bus, const UnitOptions& options);

}  // namespace sim::family3300
