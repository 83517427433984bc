// The roll call as the program runs it: restart, then queries answered one unit at a time, each
// answering unit silenced by its acknowledgement.

#include <gtest/gtest.h>

#include "SimTestSupport.h"

namespace {

using simtest::Hex;

const char* const kRestart = "FC F8 F8 02 80 7F ED";
const char* const kQuery = "FC F8 F8 02 81 7F EE";

// Header FC F8 F8 01, length, address, family code, model id "UNIT000n", checksum.
const char* const kAnswer5 = "FC F8 F8 01 0A 05 70 55 4E 49 54 30 30 30 35 71";
const char* const kAnswer7 = "FC F8 F8 01 0B 07 F0 02 55 4E 49 54 30 30 30 37 F8";
const char* const kAnswer9 = "FC F8 F8 01 0B 09 F0 02 55 4E 49 54 30 30 30 39 FC";
const char* const kAck5 = "05 70 02 82 7F 78";
const char* const kAck7 = "07 F0 02 02 82 7F FC";
const char* const kAck9 = "09 F0 02 02 82 7F FE";

class RollCallTest : public simtest::SimBusTest {
 protected:
  void AddThreeUnits() {
    AddUnit(5, 1, 0x70);  // a one-byte family code gives the shortest answer, length 10
    AddUnit(7);
    AddUnit(9);
  }
};

TEST_F(RollCallTest, ThreeUnitsAnswerInTurnUntilTheQueryMeetsSilence) {
  AddThreeUnits();
  Connect();
  ExpectNoReply(Hex(kRestart));
  ExpectReply(Hex(kQuery), Hex(kAnswer5));
  ExpectNoReply(Hex(kAck5));
  ExpectReply(Hex(kQuery), Hex(kAnswer7));
  ExpectNoReply(Hex(kAck7));
  ExpectReply(Hex(kQuery), Hex(kAnswer9));
  ExpectNoReply(Hex(kAck9));
  ExpectNoReply(Hex(kQuery));

  // A restart makes every unit answer again.
  ExpectNoReply(Hex(kRestart));
  ExpectReply(Hex(kQuery), Hex(kAnswer5));
}

TEST_F(RollCallTest, OnlyAMatchingAcknowledgementSilencesAUnit) {
  AddThreeUnits();
  Connect();
  ExpectNoReply(Hex(kRestart));
  ExpectReply(Hex(kQuery), Hex(kAnswer5));
  // Not acknowledged: the same unit answers the next query.
  ExpectReply(Hex(kQuery), Hex(kAnswer5));
  // An acknowledgement for unit 7 while unit 5 answered silences unit 7, not unit 5.
  ExpectNoReply(Hex(kAck7));
  ExpectReply(Hex(kQuery), Hex(kAnswer5));
  ExpectNoReply(Hex(kAck5));
  ExpectReply(Hex(kQuery), Hex(kAnswer9));
}

// A unit that sends nothing, whether it never heard the query or kept its answer, is simply not
// found: the units after it still answer.
TEST_F(RollCallTest, AUnitThatSendsNothingHidesNoOtherUnit) {
  AddThreeUnits();
  Connect();
  for (const sim::Fault& fault : {sim::Fault::Unheard(), sim::Fault::Silence()}) {
    SCOPED_TRACE(static_cast<int>(fault.kind));
    bus_.ClearFaults();
    bus_.AddFault(fault.ForUnit(7));
    ExpectNoReply(Hex(kRestart));
    ExpectReply(Hex(kQuery), Hex(kAnswer5));
    ExpectNoReply(Hex(kAck5));
    ExpectReply(Hex(kQuery), Hex(kAnswer9));
    ExpectNoReply(Hex(kAck9));
    ExpectNoReply(Hex(kQuery));
  }
}

TEST_F(RollCallTest, TwoUnitsAtOneAddressAnswerOneAfterTheOther) {
  AddUnit(7);
  AddUnit(7);
  Connect();
  ExpectNoReply(Hex(kRestart));
  ExpectReply(Hex(kQuery), Hex(kAnswer7));
  ExpectNoReply(Hex(kAck7));
  ExpectReply(Hex(kQuery), Hex(kAnswer7));
  ExpectNoReply(Hex(kAck7));
  ExpectNoReply(Hex(kQuery));
}

}  // namespace
