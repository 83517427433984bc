#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "family8100/unit/Types8100.h"
#include "sim/Fault.h"
#include "sim/family8100/Family8100Unit.h"
#include "tests/bus/PseudoTerminalBus.h"

namespace testsupport8100 {

// The older family's units on a simulated bus behind a pseudo-terminal, and the program's port.
struct OlderFamilyBus : bustest::PseudoTerminalBus {
  using PseudoTerminalBus::PseudoTerminalBus;

  // The devices the family's types create for the units on the bus; the manager owns them.
  std::vector<IQDevice*> RollCall();
  // The requests since the last call: "W0A 01" for a set of object 0x0A, "R06" for a get of 0x06.
  std::vector<std::string> TakeTrace();
  // The slots of the unit at `index` on the bus.
  std::vector<sim::family8100::FilterSlot> SlotsOf(int index);

  namespace8100::IQ8100Type base;
  namespace8100::IQ8100PlusType plus;
  namespace8100::IQ8100XType x;
  namespace8100::IQ8100RTType runeTide;
};

// The one unit on the bus, found by a roll call.
namespace8100::IQDevice8100* OnlyUnit(OlderFamilyBus& bus);

// The four models, as bits of a set of them.
enum ModelMask : unsigned { kBase = 1, kPlus = 2, kX = 4, kRuneTide = 8, kAllModels = 15 };
inline constexpr ModelMask kEachModel[] = {kBase, kPlus, kX, kRuneTide};

// A new virtual unit of the model.
std::unique_ptr<namespace8100::IQDevice8100> NewVirtualUnit(ModelMask model);

// A filter of the class `Filter` in `bank` at `frequency`, its other values the class's defaults.
template <typename Filter>
std::unique_ptr<Filter> Made(int32_t bank, int32_t frequency) {
  auto filter = std::make_unique<Filter>();
  filter->bank = bank;
  filter->frequency = frequency;
  return filter;
}

// The filter placed on `unit`, written to it and marked as the unit's own.
void AddFilter(namespace8100::IQDevice8100& unit, std::unique_ptr<namespace8100::TFilter> filter);

// The descriptions of the unit's filters and then of its crossovers, one line each.
std::vector<std::string> Described(const namespace8100::IQDevice8100& unit);

// The three ways a write can fail: its answer lost after the unit carried it out, its answer lost
// with the request never taken, and a refusal.
enum class WriteFailure { kCarriedOut, kUnheard, kRefused };
inline constexpr WriteFailure kEachWriteFailure[] = {
    WriteFailure::kCarriedOut, WriteFailure::kUnheard, WriteFailure::kRefused};
std::string NameOf(WriteFailure failure);
// The fault that fails so every write to the unit at `address` until the faults are cleared.
sim::Fault FailingWrites(WriteFailure failure, int address);

}  // namespace testsupport8100
