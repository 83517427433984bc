// Set and get through the pseudo-terminal, as the program sends them, with the units' replies.

#include <gtest/gtest.h>

#include "SimTestSupport.h"
#include "sim/Unit.h"

namespace {

using simtest::Hex;

struct Exchange {
  const char* request;
  const char* reply;  // empty: the units stay silent
};

class UnitRequestsTest : public simtest::SimBusTest {
 protected:
  void Run(std::initializer_list<Exchange> exchanges) {
    for (const Exchange& exchange : exchanges) {
      if (*exchange.reply == '\0') {
        ExpectNoReply(Hex(exchange.request));
      } else {
        ExpectReply(Hex(exchange.request), Hex(exchange.reply));
      }
    }
  }
};

// Unit 5 of family 368 (F0 02): object 20 a byte, 21 four bytes, 22 five 4-byte elements,
// 300 (AC 02) two bytes.
TEST_F(UnitRequestsTest, SetThenGetReturnsTheStoredElement) {
  AddUnit(5);
  Connect();
  Run({
      // byte
      {"05 F0 02 03 14 09 07 1E", "05 F0 02 01 02 14 09 17"},
      {"05 F0 02 02 14 0A 17", "05 F0 02 01 03 14 0A 07 20"},
      // four bytes, most significant first
      {"05 F0 02 06 15 09 00 00 01 02 1E", "05 F0 02 01 02 15 09 18"},
      {"05 F0 02 02 15 0A 18", "05 F0 02 01 06 15 0A 00 00 01 02 20"},
      // a short write overwrites only its own bytes; a get always returns the whole element
      {"05 F0 02 03 15 09 AA C2", "05 F0 02 01 02 15 09 18"},
      {"05 F0 02 02 15 0A 18", "05 F0 02 01 06 15 0A AA 00 01 02 CA"},
      // array element 3, then its neighbour 2 untouched
      {"05 F0 02 07 16 09 03 3F 80 00 00 DF", "05 F0 02 01 02 16 09 19"},
      {"05 F0 02 03 16 0A 03 1D", "05 F0 02 01 06 16 0A 3F 80 00 00 DD"},
      {"05 F0 02 03 16 0A 02 1C", "05 F0 02 01 06 16 0A 00 00 00 00 1E"},
      // a two-byte object id
      {"05 F0 02 05 AC 02 09 12 34 F9", "05 F0 02 01 03 AC 02 09 B2"},
      {"05 F0 02 03 AC 02 0A B2", "05 F0 02 01 05 AC 02 0A 12 34 FB"},
  });
  EXPECT_EQ(bus_.Element(0, 22, 3), Hex("3F 80 00 00"));
}

TEST_F(UnitRequestsTest, BadRequestsAnswerFromTheErrorObject) {
  AddUnit(5);
  Connect();
  Run({
      // unknown object: invalid object id (0)
      {"05 F0 02 02 63 0A 66", "05 F0 02 01 04 B0 7F 0A 00 35"},
      // element 5 of a five-element array: parameter out of range (7)
      {"05 F0 02 03 16 0A 05 1F", "05 F0 02 01 04 B0 7F 0A 07 3C"},
      // two bytes for a one-byte element: parameter out of range, nothing stored
      {"05 F0 02 04 14 09 01 02 1B", "05 F0 02 01 04 B0 7F 09 07 3B"},
      // opcode 11: method out of range (3)
      {"05 F0 02 02 14 0B 18", "05 F0 02 01 04 B0 7F 0B 03 39"},
      // an array request without its index byte: incomplete message (5)
      {"05 F0 02 02 16 0A 19", "05 F0 02 01 04 B0 7F 0A 05 3A"},
  });
  EXPECT_EQ(bus_.Element(0, 20, 0), Hex("00"));
}

TEST_F(UnitRequestsTest, OnlyTheAddressedUnitOfItsFamilyAnswers) {
  AddUnit(5);
  Connect();
  Run({
      {"06 F0 02 02 14 0A 18", ""},  // nobody at address 6
      {"05 F1 02 02 14 0A 18", ""},  // unit 5 is not of family 369
      {"05 F0 02 02 14 0A 19", ""},  // bad checksum
  });
}

// A family model that reacts to a command object: a set of object 0x40 copies its byte into
// object 20, as a unit does when a command changes its settings.
class CommandUnit : public sim::Unit {
 public:
  using Unit::Unit;

 protected:
  std::optional<sim::UnitReply> AnswerSpecialSet(const sim::Request& request) override {
    if (request.objectId != kCommandObject || request.payload.size() != 1) return std::nullopt;
    StoreElement(20, 0, request.payload);
    return Accepted(request);
  }

 private:
  static constexpr int kCommandObject = 0x40;
};

TEST_F(UnitRequestsTest, UnitModelAnswersItsSpecialObjects) {
  bus_.AddUnit(std::make_unique<CommandUnit>(sim::UnitIdentity{.address = 5, .family = kFamily},
                                             std::vector<sim::ObjectLayout>{{.id = 20}}));
  Connect();
  Run({
      {"05 F0 02 03 40 09 2A 6D", "05 F0 02 01 02 40 09 43"},
      {"05 F0 02 02 14 0A 17", "05 F0 02 01 03 14 0A 2A 43"},
      // the model leaves what it does not handle to the table
      {"05 F0 02 02 41 0A 44", "05 F0 02 01 04 B0 7F 0A 00 35"},
  });
}

// A family model whose address object (0x41) takes a new bus address.
class ReaddressableUnit : public sim::Unit {
 public:
  using Unit::Unit;

 protected:
  std::optional<sim::UnitReply> AnswerSpecialSet(const sim::Request& request) override {
    if (request.objectId != kAddressObject || request.payload.size() != 1) return std::nullopt;
    sim::UnitIdentity identity = Identity();
    identity.address = request.payload[0];
    SetIdentity(identity);
    return Accepted(request);
  }

 private:
  static constexpr int kAddressObject = 0x41;
};

TEST_F(UnitRequestsTest, AUnitWrittenANewAddressAnswersOnlyThere) {
  bus_.AddUnit(std::make_unique<ReaddressableUnit>(
      sim::UnitIdentity{.address = 5, .family = kFamily, .modelId = simtest::ModelIdFor(5)},
      std::vector<sim::ObjectLayout>{{.id = 20}}));
  Connect();
  Run({
      {"05 F0 02 03 41 09 09 4D", "05 F0 02 01 02 41 09 44"},  // from the old address
      {"05 F0 02 02 14 0A 17", ""},
      {"09 F0 02 02 14 0A 1B", "09 F0 02 01 03 14 0A 00 1D"},
      {"FC F8 F8 02 80 7F ED", ""},
  });
  client_->Send(Hex("FC F8 F8 02 81 7F EE"));
  const simtest::Bytes answer = client_->ReadCount(17, simtest::kPromptMs);
  ASSERT_EQ(answer.size(), 17u);
  EXPECT_EQ(answer[5], 9);  // the roll call finds it at its new address
}

TEST(UnitTest, RefusesObjectsTheWireCannotCarry) {
  const sim::UnitIdentity identity{.address = 5, .family = 368};
  EXPECT_THROW(sim::Unit(identity, {{.id = 1, .elementSize = 0}}), std::invalid_argument);
  EXPECT_THROW(sim::Unit(identity, {{.id = 1, .elementSize = 200}}), std::invalid_argument);
  EXPECT_THROW(sim::Unit(identity, {{.id = 1, .count = 300}}), std::invalid_argument);
  EXPECT_THROW(sim::Unit({.address = 5, .network = 9}, {}), std::invalid_argument);
}

}  // namespace
