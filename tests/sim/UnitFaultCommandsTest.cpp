// Fault lines typed into a running simulator: what each makes of the named unit, and that text
// which is not a command changes nothing, however it arrives.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SimTestSupport.h"
#include "sim/LineAssembler.h"
#include "sim/UnitFaultCommands.h"

namespace {

using simtest::Bytes;
using simtest::Hex;
using namespace std::string_literals;

enum class Meets { kAnswers, kRefuses, kHearsNothing };

class UnitFaultCommandsTest : public simtest::SimBusTest {
 protected:
  // Feeds `text` a byte at a time, as a pipe may hand it over, then ends it; returns each line's
  // outcome: '+' taken, '-' rejected, '.' blank.
  std::string Type(const std::string& text) {
    sim::LineAssembler assembler(sim::UnitFaultCommands::kMaxLineBytes);
    std::string outcomes;
    const auto take = [&](const std::vector<std::string>& lines) {
      for (const std::string& line : lines) {
        const auto outcome = commands_.Take(line);
        outcomes += outcome.taken ? '+' : outcome.message.empty() ? '.' : '-';
        EXPECT_TRUE(std::ranges::all_of(outcome.message, [](char c) {
          return c >= ' ' && c <= '~';
        })) << outcome.message;
      }
    };
    for (const char byte : text) take(assembler.Add({&byte, 1}));
    take(assembler.Finish());
    return outcomes;
  }

  // Unit 5's family refuses with 3, unit 7's with 9.
  sim::UnitFaultCommands commands_{bus_, {{5, 3}, {7, 9}}};
};

TEST_F(UnitFaultCommandsTest, EachLineSetsWhatTheUnitDoesFromThenOn) {
  AddUnit(5);
  AddUnit(7);
  Connect();
  const std::string tooLong = "refuse 5" + std::string(sim::UnitFaultCommands::kMaxLineBytes, ' ');
  const struct {
    std::string typed;
    const char* outcomes;
    Meets meets;
  } cases[] = {
      {"refuse 5\n", "+", Meets::kRefuses},
      {"refuse 5\nanswer 5\n", "++", Meets::kAnswers},
      // An over-long line does not swallow the next one.
      {std::string(1000, 'x') + "\nsilent 5\n", "-+", Meets::kHearsNothing},
      {"silent 5\nanswer 5\n", "++", Meets::kAnswers},
      {"refuse 5\nsilent 5\n", "++", Meets::kHearsNothing},
      // A rejected line leaves the unit as it was.
      {"silent 5\nrefuse 5\nanswer\n", "++-", Meets::kRefuses},
      // Another unit's faults come and go without touching this one's.
      {"silent 5\nrefuse 7\nanswer 7\n", "+++", Meets::kHearsNothing},
      {" \trefuse  5 \r\n\n", "+.", Meets::kRefuses},
      {"refuse 5", "+", Meets::kRefuses},
      {"refuse\nrefuse 5 5\nrefuse five\nRefuse 5\nmute 5\nrefuse 5x\nrefuse +5\nrefuse 0x5\n",
       "--------", Meets::kAnswers},
      {"refuse 9\nrefuse 0\nrefuse -5\nrefuse 99999999999999999999\nrefuse 5\0\nrefuse 5\xff\n"s +
           tooLong + "\n",
       "-------", Meets::kAnswers},
  };
  uint8_t held = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.typed));
    bus_.ClearFaults();
    EXPECT_EQ(Type(c.typed), c.outcomes);
    const uint8_t next = held + 1;
    const Bytes set = simtest::WithChecksum({0x05, 0xF0, 0x02, 0x03, 0x14, 0x09, next});
    const Bytes get = Hex("05 F0 02 02 14 0A 17");
    if (c.meets == Meets::kHearsNothing) {
      ExpectNoReply(set);
      ExpectNoReply(get);
    } else {
      ExpectReply(set, c.meets == Meets::kAnswers ? Hex("05 F0 02 01 02 14 09 17")
                                                  : Hex("05 F0 02 01 04 B0 7F 09 03 37"));
      if (c.meets == Meets::kAnswers) held = next;
      ExpectReply(get, simtest::WithChecksum({0x05, 0xF0, 0x02, 0x01, 0x03, 0x14, 0x0A, held}));
    }
    EXPECT_EQ(bus_.Element(0, 20, 0), Bytes{held});
  }
}

}  // namespace
