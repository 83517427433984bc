#include "tests/family8100_unit/OlderFamilyBus.h"

#include <gtest/gtest.h>

#include "tests/bus/RequestTrace.h"

namespace testsupport8100 {

std::vector<IQDevice*> OlderFamilyBus::RollCall() {
  return PseudoTerminalBus::RollCall({&base, &plus, &x, &runeTide});
}

std::vector<std::string> OlderFamilyBus::TakeTrace() { return bustest::TakeRequestTrace(bus); }

std::vector<sim::family8100::FilterSlot> OlderFamilyBus::SlotsOf(int index) {
  std::vector<sim::family8100::FilterSlot> unitSlots;
  bus.WithUnit(index, [&unitSlots](sim::Unit& unit) {
    unitSlots = dynamic_cast<sim::family8100::Family8100Unit&>(unit).Slots();
  });
  return unitSlots;
}

namespace8100::IQDevice8100* OnlyUnit(OlderFamilyBus& bus) {
  auto found = bus.RollCall();
  EXPECT_EQ(found.size(), 1u);
  return dynamic_cast<namespace8100::IQDevice8100*>(found.at(0));
}

std::unique_ptr<namespace8100::IQDevice8100> NewVirtualUnit(ModelMask model) {
  using namespace namespace8100;
  switch (model) {
    case kPlus:
      return std::make_unique<IQDevice8100Plus>(nullptr, nullptr, nullptr);
    case kX:
      return std::make_unique<IQDevice8100X>(nullptr, nullptr, nullptr);
    case kRuneTide:
      return std::make_unique<IQDevice8100RT>(nullptr, nullptr, nullptr);
    default:
      return std::make_unique<IQDevice8100>(nullptr, nullptr, nullptr);
  }
}

void AddFilter(namespace8100::IQDevice8100& unit, std::unique_ptr<namespace8100::TFilter> filter) {
  namespace8100::TFilter& placed = unit.PlaceFilter(std::move(filter));
  placed.WriteToUnit(unit);
  placed.SetUnitFlag(unit);
}

std::vector<std::string> Described(const namespace8100::IQDevice8100& unit) {
  std::vector<std::string> lines;
  for (const auto& filter : unit.Filters()) lines.push_back(filter->Describe());
  for (const namespace8100::TFilter* crossover : {unit.LowCrossover(), unit.HighCrossover()}) {
    if (crossover) lines.push_back(crossover->Describe());
  }
  return lines;
}

std::string NameOf(WriteFailure failure) {
  return failure == WriteFailure::kCarriedOut ? "CarriedOut"
         : failure == WriteFailure::kUnheard  ? "Unheard"
                                              : "Refused";
}

sim::Fault FailingWrites(WriteFailure failure, int address) {
  const sim::Fault fault = failure == WriteFailure::kCarriedOut ? sim::Fault::Silence()
                           : failure == WriteFailure::kUnheard  ? sim::Fault::Unheard()
                                                                : sim::Fault::ErrorObject(3);
  return fault.ForUnit(address).ForOpcode(sim::kOpcodeSet);
}

}  // namespace testsupport8100
