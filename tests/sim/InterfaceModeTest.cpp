// The three interfaces between the port and the bus: plain, duplex echo and eight networks.

#include <gtest/gtest.h>

#include "SimTestSupport.h"

namespace {

using simtest::Bytes;
using simtest::Hex;
using simtest::ToHex;

const char* const kGet5 = "05 F0 02 02 14 0A 17";
const char* const kReply5 = "05 F0 02 01 03 14 0A 00 19";
const char* const kGet7 = "07 F0 02 02 14 0A 19";
const char* const kReply7 = "07 F0 02 01 03 14 0A 00 1B";
const char* const kIdQuery = "FD E9";

class InterfaceModeTest : public simtest::SimBusTest {
 protected:
  void SetUp() override {
    AddUnit(5, 1);
    AddUnit(7, 2);
  }
};

TEST_F(InterfaceModeTest, PlainInterfaceReachesOnlyTheFirstNetworkAndAnswersNoCommand) {
  Connect();
  ExpectNoReply(Hex(kIdQuery));
  ExpectNoReply(Hex("FD E1"));
  ExpectNoReply(Hex(kGet7));
  ExpectReply(Hex(kGet5), Hex(kReply5));
}

TEST_F(InterfaceModeTest, EightNetworkInterfaceAnswersItsIdAndSelectsNetworks) {
  bus_.SetInterfaceMode(sim::InterfaceMode::kEightNetworks);
  Connect();
  ExpectReply(Hex(kIdQuery), Hex("52 38"));  // "R8"
  EXPECT_EQ(bus_.SelectedNetwork(), 1);
  ExpectReply(Hex(kGet5), Hex(kReply5));
  ExpectNoReply(Hex(kGet7));

  ExpectNoReply(Hex("FD E1"));  // network 2
  EXPECT_EQ(bus_.SelectedNetwork(), 2);
  ExpectReply(Hex(kGet7), Hex(kReply7));
  ExpectNoReply(Hex(kGet5));

  // The roll call of network 2 finds only its own unit.
  ExpectNoReply(Hex("FC F8 F8 02 80 7F ED"));
  ExpectReply(Hex("FC F8 F8 02 81 7F EE"),
              Hex("FC F8 F8 01 0B 07 F0 02 55 4E 49 54 30 30 30 37 F8"));
  ExpectNoReply(Hex("07 F0 02 02 82 7F FC"));
  ExpectNoReply(Hex("FC F8 F8 02 81 7F EE"));

  ExpectNoReply(Hex("FD E7"));  // network 8, the last
  EXPECT_EQ(bus_.SelectedNetwork(), 8);
}

TEST_F(InterfaceModeTest, FaultsActOnInterfaceCommands) {
  bus_.SetInterfaceMode(sim::InterfaceMode::kEightNetworks);
  bus_.AddFault(sim::Fault::BytesAfter(Hex("00 00")).ForUnit(0xFD).ForObject(0xE1));
  bus_.AddFault(sim::Fault::Silence().ForObject(0xE9).OnOccurrence(1));
  Connect();
  ExpectNoReply(Hex(kIdQuery));
  ExpectReply(Hex(kIdQuery), Hex("52 38"));
  ExpectReply(Hex("FD E1"), Hex("00 00"));
  EXPECT_EQ(bus_.SelectedNetwork(), 2);
}

TEST_F(InterfaceModeTest, DuplexInterfaceEchoesEveryByteBeforeTheReply) {
  bus_.SetInterfaceMode(sim::InterfaceMode::kDuplexEcho);
  Connect();
  const Bytes test = Hex("01 02 03 04 FE FF");
  client_->Send(test);
  EXPECT_EQ(ToHex(client_->ReadCount(test.size(), simtest::kPromptMs)), ToHex(test));

  Bytes expected = Hex(kGet5);
  const Bytes reply = Hex(kReply5);
  expected.insert(expected.end(), reply.begin(), reply.end());
  bus_.ClearTraffic();
  client_->Send(Hex(kGet5));
  EXPECT_EQ(ToHex(client_->ReadCount(expected.size(), simtest::kPromptMs)), ToHex(expected));
  // The log holds what the units sent, not the interface's echo.
  EXPECT_EQ(ToHex(LastReplyLogged()), ToHex(reply));

  // The id query is only echoed: this interface has no id.
  ExpectNoReply(Hex(kIdQuery));
  EXPECT_EQ(ToHex(client_->ReadCount(2, simtest::kPromptMs)), ToHex(Hex(kIdQuery)));
}

}  // namespace
