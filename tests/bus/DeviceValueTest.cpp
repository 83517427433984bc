#include <gtest/gtest.h>

#include <stdexcept>

#include "bus/IQException.h"
#include "bus/UCodeObject.h"
#include "tests/bus/BusTestSupport.h"

namespace {

using bustest::Bytes;
using bustest::Reply;

// A unit that accepts every set, and a virtual device of the same test type.
struct DeviceValueTest : bustest::ScriptedUnitTest {
  std::unique_ptr<IQDevice> offline{type.CreateDevice(&manager, nullptr)};

  void SetUp() override {
    ScriptedUnitTest::SetUp();
    line->onWrite = [this](const Bytes& sent) {
      if (sent.size() > 5 && sent[5] == 9) line->Queue(Reply(1, {sent[4]}, {}, 9));
    };
  }
  // The data bytes of the last set request.
  Bytes SentData() const {
    const Bytes& sent = line->writes.back();
    return Bytes(sent.begin() + 6, sent.end() - 1);
  }
};

TEST_F(DeviceValueTest, TypedObjectsEncodeTheirValues) {
  LongIntUCodeObject longInt{30, 1, false};
  longInt.Write(*unit, 258);
  EXPECT_EQ(SentData(), (Bytes{0x00, 0x00, 0x01, 0x02}));
  FloatUCodeObject real{31, 1, false};
  real.Write(*unit, 1.0f);
  EXPECT_EQ(SentData(), (Bytes{0x3F, 0x80, 0x00, 0x00}));
  StringUCodeObject terminated{32, 1, false, true};
  terminated.Write(*unit, "AB");
  EXPECT_EQ(SentData(), (Bytes{0x41, 0x42, 0x00}));
  StringUCodeObject bare{33, 1, false, false};
  bare.Write(*unit, "ABCD", 2);
  EXPECT_EQ(SentData(), (Bytes{0x41, 0x42}));
  EXPECT_THROW(terminated.Write(*unit, std::string(15, 'x')), ValueTooLong);
  EXPECT_EQ(real.Read(*unit), 1.0f);  // served from the store
}

TEST_F(DeviceValueTest, ShortOrEmptyRepliesAreErrorsNotStaleBytes) {
  LongIntUCodeObject longInt{30, 1, true};
  line->Queue(Reply(1, {30}, {0x01, 0x02}));
  EXPECT_THROW(longInt.Read(*unit), ShortReply);
  line->Queue(Reply(1, {30}, {}));
  EXPECT_THROW(longInt.Read(*unit), NoData);

  // Nor are they kept: the next read of a value read only once asks the unit again.
  LongIntUCodeObject setting{34, 1, false};
  line->Queue(Reply(1, {34}, {0x01, 0x02}));
  EXPECT_THROW(setting.Read(*unit), ShortReply);
  line->Queue(Reply(1, {34}, {0x01, 0x02, 0x03, 0x04}));
  EXPECT_EQ(setting.Read(*unit), 0x01020304u);
  ByteUCodeObject flag{35, 1, false};
  line->Queue(Reply(1, {35}, {}));
  EXPECT_THROW(flag.Read(*unit), NoData);
  line->Queue(Reply(1, {35}, {0x05}));
  EXPECT_EQ(flag.Read(*unit), 0x05);
  StringUCodeObject name{32, 1, true, true};
  line->Queue(Reply(1, {32}, {}));
  EXPECT_EQ(name.Read(*unit), "");
  line->Queue(Reply(1, {32}, {'H', 'i', 0, 'x'}));
  EXPECT_EQ(name.Read(*unit), "Hi");
}

TEST_F(DeviceValueTest, NonVolatileValuesAreReadOnceVolatileOnesEveryTime) {
  ByteUCodeObject setting{20, 1, false};
  ByteUCodeObject meter{21, 1, true};
  line->Queue(Reply(1, {20}, {0x05}));
  EXPECT_EQ(setting.Read(*unit), 0x05);
  EXPECT_EQ(setting.Read(*unit), 0x05);
  setting.Write(*unit, 0x06);
  EXPECT_EQ(setting.Read(*unit), 0x06);
  EXPECT_EQ(line->writes.size(), 2u);  // one get, one set

  meter.Write(*unit, 0x01);
  line->Queue(Reply(1, {21}, {0x07}));
  EXPECT_EQ(meter.Read(*unit), 0x07);
  line->Queue(Reply(1, {21}, {0x08}));
  EXPECT_EQ(meter.Read(*unit), 0x08);
  EXPECT_EQ(line->writes.size(), 5u);
}

TEST_F(DeviceValueTest, AnUnansweredWriteIsAskedOfTheUnitAgainAndAnOverlongOneNeverLeaves) {
  ByteUCodeObject setting{20, 1, false};
  setting.Write(*unit, 0x05);
  line->onWrite = nullptr;
  EXPECT_THROW(setting.Write(*unit, 0x06), ReadTimeout);
  EXPECT_TRUE(unit->InDoubt());
  // The unit may have taken it: the store no longer answers for it.
  line->Queue(Reply(1, {20}, {0x06}));
  EXPECT_EQ(setting.Read(*unit), 0x06);
  EXPECT_FALSE(unit->IsUnsaved());

  // More data than the element holds never reaches the unit or the store.
  const std::size_t requestsSent = line->writes.size();
  EXPECT_THROW(unit->Write(setting, Bytes{0x07, 0x08}, 0), ValueTooLong);
  EXPECT_EQ(line->writes.size(), requestsSent);
  EXPECT_EQ(setting.Read(*unit), 0x06);
  EXPECT_THROW(offline->Write(setting, Bytes{0x07, 0x08}, 0), ValueTooLong);
  EXPECT_FALSE(offline->IsUnsaved());
}

TEST_F(DeviceValueTest, VirtualDevicesUseOnlyTheirStore) {
  LongIntUCodeObject levels{40, 5, false};
  levels.SetElement(2);
  EXPECT_EQ(levels.Read(*offline), 0u);  // never written
  levels.Write(*offline, 0x01020304);
  for (int element : {1, 3}) {
    levels.SetElement(element);
    EXPECT_EQ(levels.Read(*offline), 0u);
  }
  levels.SetElement(2);
  EXPECT_EQ(levels.Read(*offline), 0x01020304u);

  StringUCodeObject name{41, 1, false, false};
  name.Write(*offline, "ABCDEF");
  name.Write(*offline, "AB");
  EXPECT_EQ(name.Read(*offline), "AB");
  EXPECT_TRUE(line->writes.empty());
  EXPECT_TRUE(offline->IsUnsaved());
}

TEST_F(DeviceValueTest, ResizingTheStoreDropsHigherIdsAndReadsEverythingFromTheUnitAgain) {
  ByteUCodeObject kept{20, 1, false};
  ByteUCodeObject dropped{40, 1, false};
  kept.Write(*offline, 0x05);
  dropped.Write(*offline, 0x06);
  offline->SetObjectCount(30);
  EXPECT_EQ(kept.Read(*offline), 0x05);
  EXPECT_EQ(dropped.Read(*offline), 0x00);  // as never written
  dropped.Write(*offline, 0x07);            // an id past the count is still kept
  EXPECT_EQ(dropped.Read(*offline), 0x07);

  line->Queue(Reply(1, {20}, {0x05}));
  EXPECT_EQ(kept.Read(*unit), 0x05);
  EXPECT_EQ(kept.Read(*unit), 0x05);  // from the store
  unit->SetObjectCount(30);
  line->Queue(Reply(1, {20}, {0x08}));
  EXPECT_EQ(kept.Read(*unit), 0x08);
  EXPECT_EQ(line->writes.size(), 2u);
}

TEST_F(DeviceValueTest, ObjectsOfOneIdShareItsElements) {
  // As a long and a float view of the same parameters do; the longer array widens the buffer.
  LongIntUCodeObject whole{50, 2, false};
  FloatUCodeObject real{50, 4, false};
  whole.SetElement(1);
  whole.Write(*offline, 0x3F800000);
  real.SetElement(3);
  real.Write(*offline, 2.0f);
  real.SetElement(1);
  EXPECT_EQ(real.Read(*offline), 1.0f);
  whole.SetElement(0);
  EXPECT_EQ(whole.Read(*offline), 0u);
  real.SetElement(3);
  EXPECT_EQ(real.Read(*offline), 2.0f);

  ByteUCodeObject negative{-1, 1, false};
  EXPECT_THROW(negative.Write(*offline, 1), std::out_of_range);
  EXPECT_THROW(negative.Read(*offline), std::out_of_range);
}

TEST_F(DeviceValueTest, EachReadKeepsItsOwnValue) {
  // Every read goes through the device's one buffer: a longer value read before must leave no
  // bytes behind in a shorter one, nor a refused reply any in the next.
  StringUCodeObject name{60, 1, false, false};
  ByteUCodeObject flag{61, 1, true};
  name.Write(*offline, "ABCDEFGH");
  flag.Write(*offline, 0x01);
  EXPECT_EQ(name.Read(*offline), "ABCDEFGH");
  EXPECT_EQ(offline->ReadValue(flag, 0).size(), 1u);
  EXPECT_EQ(name.Read(*offline, 3), "ABC");

  StringUCodeObject status{62, 1, true, false};
  line->Queue(Reply(1, {62}, {'A', 'B', 'C', 'D', 'E', 'F'}));
  EXPECT_EQ(status.Read(*unit), "ABCDEF");
  line->Queue(Reply(0, {62}, {'X', 'X', 'X', 'X', 'X', 'X', 'X'}));  // refused
  line->Queue(Reply(1, {62}, {'H', 'i'}));
  EXPECT_EQ(status.Read(*unit), "Hi");
}

TEST(UCodeObject, SetIdWithoutVolatileKeepsTheFlag) {
  ByteUCodeObject object{1, 1, true};
  object.SetId(2, false);
  EXPECT_TRUE(object.IsVolatile());
  EXPECT_EQ(object.GetId(), 2);
}

}  // namespace
