#include "FamilyOvTestSupport.h"

#include <chrono>

namespace familyovtest {

using simtest::Hex;
using simtest::WithChecksum;

namespace {

constexpr int kBusyPolls = 3;
// Long enough that a busy unit never becomes ready by the clock during a test.
constexpr std::chrono::milliseconds kBusyTime{60'000};

}  // namespace

int FamilyOvBusTest::AddModel(sim::familyov::UnitOptions options) {
  options.busy = {.polls = kBusyPolls, .time = kBusyTime};
  return sim::familyov::AddFamilyOvUnit(bus_, options);
}

void FamilyOvBusTest::Run(std::initializer_list<Exchange> exchanges) {
  for (const Exchange& exchange : exchanges) {
    const simtest::Bytes request = WithChecksum(Hex(exchange.request));
    if (*exchange.reply == '\0') {
      ExpectNoReply(request);
    } else {
      ExpectReply(request, WithChecksum(Hex(exchange.reply)));
    }
  }
}

void FamilyOvBusTest::WithFamilyUnit(
    int unitIndex, const std::function<void(sim::familyov::FamilyOvUnit&)>& action) {
  bus_.WithUnit(unitIndex,
                [&](sim::Unit& unit) { action(dynamic_cast<sim::familyov::FamilyOvUnit&>(unit)); });
}

}  // namespace familyovtest
