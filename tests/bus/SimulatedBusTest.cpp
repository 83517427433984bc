// End to end: the bus layer on the real termios line, through a pseudo-terminal, against
// simulated units.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"
#include "bus/IQException.h"
#include "bus/UCodeObject.h"
#include "platform/serial/PassThroughLine.h"
#include "sim/SimulatedBus.h"
#include "tests/bus/BusTestSupport.h"
#include "tests/bus/PseudoTerminalBus.h"
#include "tests/support/HangBound.h"

namespace {

constexpr int kSettingId = 20;
constexpr int kMeterId = 21;
constexpr int kNameId = 22;
constexpr int kFamily = 368;
constexpr int kMaxFlushes = 100;
constexpr int kMaxReadsBeforeHangUp = 1000;

sim::UnitIdentity Identity(int address, int family = kFamily, char model = '1') {
  sim::UnitIdentity identity{.address = address, .family = family};
  identity.modelId = {static_cast<uint8_t>(model), 'v', '1', '0', '0', 0, 0, 0};
  return identity;
}

const std::vector<sim::ObjectLayout> kObjects{
    {.id = kSettingId, .elementSize = 4, .count = 3},
    {.id = kMeterId, .elementSize = 4, .isVolatile = true},
    {.id = kNameId, .elementSize = 15}};

struct SimulatedBusTest : testing::Test {
  bustest::PseudoTerminalBus line;
  sim::SimulatedBus& bus = line.bus;
  CommPort& port = line.port;
  IQDeviceManager& manager = line.manager;
  bustest::RecordingNotifier& notifier = line.notifier;
  bustest::TestDeviceType type{kFamily, "Test"};

  std::vector<IQDevice*> RollCall(const std::vector<IQDeviceType*>& types) {
    return line.RollCall(types);
  }
  // The text of the bus exception `action` raises, or "" when it succeeds.
  template <typename Action>
  static std::string FailureOf(Action action) {
    try {
      action();
    } catch (const IQException& e) {
      return e.GetText();
    }
    return "";
  }
};

TEST_F(SimulatedBusTest, ValuesReachTheUnitAndComeBack) {
  const int unitIndex = bus.AddGenericUnit(Identity(5), kObjects);
  const auto found = RollCall({&type});
  ASSERT_EQ(found.size(), 1u);
  IQDevice& unit = *found[0];
  LongIntUCodeObject setting{kSettingId, 3, false};
  setting.SetElement(2);
  setting.Write(unit, 0xA1B2C3D4);
  EXPECT_EQ(bus.Element(unitIndex, kSettingId, 2), (std::vector<uint8_t>{0xA1, 0xB2, 0xC3, 0xD4}));
  FloatUCodeObject meter{kMeterId, 1, true};
  bus.StoreElement(unitIndex, kMeterId, 0, {0x3F, 0x80, 0x00, 0x00});
  EXPECT_EQ(meter.Read(unit), 1.0f);
  StringUCodeObject name{kNameId, 1, true, true};
  name.Write(unit, "Stage left");
  EXPECT_EQ(name.Read(unit), "Stage left");

  // A write whose answer never came may have been carried out: the value is asked of the unit
  // again and the unit is in doubt until its windows have read it. A refusal changes nothing.
  struct Row {
    const char* what;
    sim::Fault fault;
    uint32_t held;
    bool inDoubt;
  };
  const Row rows[] = {
      {"answer lost, carried out", sim::Fault::Silence(), 1, true},
      {"never heard", sim::Fault::Unheard(), 0xA1B2C3D4, true},
      {"refused", sim::Fault::ErrorObject(7), 0xA1B2C3D4, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    bus.ClearFaults();
    setting.Write(unit, 0xA1B2C3D4);
    unit.TakeDoubt();
    bus.AddFault(row.fault.ForObject(kSettingId).Times(1));
    EXPECT_THROW(setting.Write(unit, 1), IQException);
    EXPECT_EQ(unit.InDoubt(), row.inDoubt);
    EXPECT_EQ(setting.Read(unit), row.held);
  }
  // A read that goes unanswered leaves whatever asked showing unknown: the unit is in doubt until
  // it is read again. A refused read is the unit's answer.
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string("read, ") + row.what);
    bus.ClearFaults();
    unit.TakeDoubt();
    bus.AddFault(row.fault.ForObject(kMeterId).Times(1));
    EXPECT_THROW(meter.Read(unit), IQException);
    EXPECT_EQ(unit.InDoubt(), row.inDoubt);
  }
}

TEST_F(SimulatedBusTest, AFailureNamesItsOwnRequestWhateverRequestsFollow) {
  bus.AddGenericUnit(Identity(5), kObjects);
  const auto found = RollCall({&type});
  ASSERT_EQ(found.size(), 1u);
  IQDevice& unit = *found[0];
  LongIntUCodeObject setting{kSettingId, 3, false};
  LongIntUCodeObject meter{kMeterId, 1, true};
  for (const sim::Fault& fault : {sim::Fault::ErrorObject(7), sim::Fault::Status(0)}) {
    bus.ClearFaults();
    bus.AddFault(fault.ForObject(kSettingId).OnOccurrence(1).Times(sim::Fault::kForever));
    std::optional<ErrorObject> refused;
    std::optional<DeviceBusy> busy;
    try {
      setting.Write(unit, 1);
    } catch (const ErrorObject& e) {
      refused = e;
    } catch (const DeviceBusy& e) {
      busy = e;
    }
    bus.ClearFaults();
    meter.Read(unit);  // what a program does next, putting a unit back say
    const IQException* failure = nullptr;
    if (refused) failure = &*refused;
    if (busy) failure = &*busy;
    ASSERT_NE(failure, nullptr);
    EXPECT_EQ(failure->FailedDevice(), &unit);
    EXPECT_EQ(failure->FailedObject(), &setting);
    EXPECT_EQ(unit.CurrentSocket()->LastObject(), &meter);
  }
}

TEST_F(SimulatedBusTest, EveryFaultRaisesItsOwnExceptionAndNothingHangs) {
  bus.AddGenericUnit(Identity(5), kObjects);
  const auto found = RollCall({&type});
  ASSERT_EQ(found.size(), 1u);
  IQDevice& unit = *found[0];
  LongIntUCodeObject meter{kMeterId, 1, true};
  const auto readMeter = [&] { meter.Read(unit); };
  const std::string timeout = "Timeout error during read from COM port.";
  const std::vector<std::pair<sim::Fault, std::string>> cases{
      {sim::Fault::Silence(), timeout},
      {sim::Fault::Truncate(5), timeout},
      {sim::Fault::Pause(1).Times(1), timeout},
      {sim::Fault::BadChecksum(), "Read invalid checksum in message."},
      {sim::Fault::Status(0), "Device did not accept the request after repeated attempts."},
      {sim::Fault::ErrorObject(7), "Received response from error object."},
      {sim::Fault::OverlongLength(200), "Reply from device is longer than allowed."},
      {sim::Fault::LateFirstByte(50), ""},
      {sim::Fault::ByteGaps(15), ""},
      {sim::Fault::Status(0).Times(3), ""},
  };
  for (const auto& [fault, text] : cases) {
    bus.ClearFaults();
    bus.AddFault(fault.ForObject(kMeterId));
    EXPECT_EQ(FailureOf(readMeter), text) << static_cast<int>(fault.kind);
    // What the program left of a spoiled reply must be off the line before the next case.
    manager.GetEncoder().Flush(0);
  }

  bus.ClearFaults();
  bus.AddFault(sim::Fault::ErrorObjectWithoutData().ForObject(kMeterId));
  try {
    readMeter();
    ADD_FAILURE();
  } catch (const ErrorObject& e) {
    EXPECT_EQ(e.code, 0);
  }

  // Stray bytes around a reply may spoil it, but never hang the program, and a flush recovers.
  for (const sim::Fault& fault :
       {sim::Fault::GarbageBefore({0x55, 0x01}), sim::Fault::BytesAfter({0x01, 0x02}),
        sim::Fault::EndlessStream()}) {
    bus.ClearFaults();
    bus.AddFault(fault.ForObject(kMeterId).OnOccurrence(1));
    FailureOf(readMeter);
    FailureOf(readMeter);
    bus.ClearFaults();
    // A stream fills the terminal's buffer far beyond what one bounded flush discards.
    for (int flushes = 0; flushes < kMaxFlushes && port.TryReadByte(); ++flushes) {
      manager.GetEncoder().Flush(0);
    }
    EXPECT_EQ(FailureOf(readMeter), "") << static_cast<int>(fault.kind);
  }

  // The line goes dead once the program has taken the reply; every later transfer fails.
  bus.AddFault(sim::Fault::HangUp().ForObject(kMeterId).OnOccurrence(1));
  std::string failure;
  for (int reads = 0; reads < kMaxReadsBeforeHangUp && failure.empty(); ++reads) {
    failure = FailureOf(readMeter);
  }
  EXPECT_THAT(failure, testing::AnyOf("Non-timeout error trying to read from COM port.",
                                      "Non-timeout error trying to write to COM port."));
}

TEST_F(SimulatedBusTest, RollCallYieldsEveryUnitInOrderAndRefusesAddressConflicts) {
  bustest::TestDeviceType other{880, "Other"};
  const std::vector<int> addresses{10, 3, 7, 1, 22};
  for (int address : addresses) {
    bus.AddGenericUnit(Identity(address, address == 7 ? 880 : kFamily, '2'), kObjects);
  }
  bus.AddFault(sim::Fault::ThreeByteFamily().ForUnit(22));
  auto found = RollCall({&type, &other});
  ASSERT_EQ(found.size(), addresses.size());
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    EXPECT_EQ(found[i]->GetInfo().address, addresses[i]);
    EXPECT_EQ(found[i]->GetInfo().ModelText(), "2v100");
  }
  EXPECT_EQ(found[2]->GetType(), &other);
  EXPECT_EQ(found[4]->GetInfo().familyCode, static_cast<uint32_t>(kFamily));
  EXPECT_TRUE(notifier.messages.empty());

  bus.AddGenericUnit(Identity(3), kObjects);
  found = RollCall({&type, &other});
  EXPECT_EQ(found.size(), 5u);  // the second unit at address 3 answers last
  bustest::ExpectOnlyMessage(notifier, bustest::kAddressConflictText, "Roll call");
}

TEST_F(SimulatedBusTest, DetectedInterfacesReachUnitsOnEveryNetworkAndThroughTheEcho) {
  sim::UnitIdentity onThird = Identity(4);
  onThird.network = 3;
  const int third = bus.AddGenericUnit(onThird, kObjects);
  const int first = bus.AddGenericUnit(Identity(5), kObjects);
  bus.SetInterfaceMode(sim::InterfaceMode::kEightNetworks);
  UCodeEncoder& encoder = manager.GetEncoder();
  encoder.DetectInterface();
  EXPECT_EQ(encoder.GetNetworkCount(), 8);
  const auto found = RollCall({&type});
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0]->GetInfo().network, 1);
  EXPECT_EQ(found[1]->GetInfo().network, 3);
  LongIntUCodeObject meter{kMeterId, 1, true};
  bus.StoreElement(third, kMeterId, 0, {0, 0, 0, 42});
  EXPECT_EQ(meter.Read(*found[1]), 42u);
  EXPECT_EQ(bus.SelectedNetwork(), 3);

  bus.SetInterfaceMode(sim::InterfaceMode::kDuplexEcho);
  encoder.DetectInterface();
  EXPECT_TRUE(port.GetDuplexEcho());
  bus.StoreElement(first, kMeterId, 0, {0, 0, 0, 43});
  EXPECT_EQ(meter.Read(*found[0]), 43u);
}

TEST_F(SimulatedBusTest, GarbledRollCallAnswersEndTheNetworkCleanly) {
  bus.AddGenericUnit(Identity(4), kObjects);
  for (const sim::Fault& fault :
       {sim::Fault::RollCallAddress(251), sim::Fault::RollCallLength(9)}) {
    bus.ClearFaults();
    bus.AddFault(fault);
    EXPECT_TRUE(RollCall({&type}).empty());
  }
  bus.ClearFaults();
  EXPECT_EQ(RollCall({&type}).size(), 1u);
}

}  // namespace

// A test that awaits the units' answers reads a reply however late the bus's thread sends it, or
// however long the thread is kept from running, and still sees a silent or paused unit as one.
TEST(AwaitedRepliesTest, ALateReplyIsReadAndASilentUnitStillTimesOut) {
  // Longer than a timed read can be delayed by anything but a hang.
  constexpr int kStallPastAnyDelayMs =
      std::chrono::duration_cast<std::chrono::milliseconds>(testsupport::kHangBound).count();
  const struct {
    bustest::Replies replies;
    sim::Fault fault;
    bool read;
  } cases[] = {
      {bustest::Replies::kTimed, sim::Fault::Stall(kStallPastAnyDelayMs), false},
      {bustest::Replies::kAwaited, sim::Fault::Stall(400), true},
      {bustest::Replies::kAwaited, sim::Fault::Starve(1000), true},
      {bustest::Replies::kAwaited, sim::Fault::Silence(), false},
      {bustest::Replies::kAwaited, sim::Fault::Pause(1), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "fault " << static_cast<int>(c.fault.kind)
                                    << (c.replies == bustest::Replies::kTimed ? ", timed" : ""));
    bustest::PseudoTerminalBus line;
    line.bus.AddGenericUnit(Identity(5), kObjects);
    bustest::TestDeviceType type{kFamily, "Test"};
    const auto found = line.RollCall({&type});
    ASSERT_EQ(found.size(), 1u);
    line.Reopen(c.replies);
    LongIntUCodeObject meter{kMeterId, 1, true};
    line.bus.StoreElement(0, kMeterId, 0, {0, 0, 0, 9});
    line.bus.AddFault(c.fault.ForObject(kMeterId).OnOccurrence(1).Times(1));
    try {
      EXPECT_EQ(meter.Read(*found[0]), 9u);
      EXPECT_TRUE(c.read);
    } catch (const ReadTimeout&) {
      EXPECT_FALSE(c.read);
    }
  }
}

// Counts the reads that go to the line beneath.
class CountedReads : public serial::PassThroughLine {
 public:
  CountedReads(std::unique_ptr<serial::Line> inner, int& reads)
      : PassThroughLine(std::move(inner)), reads_(reads) {}
  long Read(uint8_t* data, std::size_t count, int timeoutMs) override {
    ++reads_;
    return PassThroughLine::Read(data, count, timeoutMs);
  }

 private:
  int& reads_;
};

// The program takes a reply a byte at a time; the pseudo-terminal hands it over in one read, since
// a read of it for each byte made the system's calls a third of the suite's processor time.
TEST(AwaitedRepliesTest, AReplyCrossesThePseudoTerminalInOneRead) {
  bustest::PseudoTerminalBus line;
  const int unitIndex = line.bus.AddGenericUnit(Identity(5), kObjects);
  bustest::TestDeviceType type{kFamily, "Test"};
  const auto found = line.RollCall({&type});
  ASSERT_EQ(found.size(), 1u);
  int reads = 0;
  line.port.SetLineFactory([&line, &reads, path = line.bus.SlavePath()] {
    return std::make_unique<bustest::AnsweredLine>(
        line.bus, std::make_unique<CountedReads>(
                      serial::MakeSystemLine([path](int) { return std::optional(path); }), reads));
  });
  line.port.Close();
  line.port.Open();
  const std::string stored = "Stage left";
  std::vector<uint8_t> bytes(stored.begin(), stored.end());
  bytes.resize(15);
  line.bus.StoreElement(unitIndex, kNameId, 0, bytes);
  StringUCodeObject name{kNameId, 1, true, true};
  EXPECT_EQ(name.Read(*found[0]), stored);
  EXPECT_EQ(reads, 1);
}

// Past its bound the line ends the test saying why, rather than read on as if the unit were silent.
TEST(AwaitedRepliesDeathTest, ABusThatNeverTakesTheRequestEndsTheTest) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  sim::SimulatedBus bus;  // never started
  bustest::AnsweredLine line(bus, serial::MakeSystemLine(), std::chrono::seconds(1));
  ASSERT_EQ(line.Open(bus.SlavePath()), serial::Failure::None);
  const uint8_t request = 0x05;
  ASSERT_EQ(line.Write(&request, 1), 1);
  uint8_t reply = 0;
  EXPECT_DEATH(line.Read(&reply, 1, CommPort::kDefaultReadTimeoutMs),
               "the simulated bus did not answer within 1 s");
}
