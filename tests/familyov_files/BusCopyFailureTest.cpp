// A copy between two units on the simulated bus that fails part way: the destination gets its
// names, logic map, delay unit, clock events and current settings back, the source is left as it
// was, and the user hears once what became of the destination.

#include <gtest/gtest.h>

#include "familycommon/LoadFailure.h"
#include "familyov/unit/DeviceCopy.h"
#include "familyov/unit/ParameterTable.h"
#include "platform/ui/Message.h"
#include "sim/Fault.h"
#include "sim/WireFormat.h"
#include "sim/familyov/ObjectTable.h"
#include "tests/familyov_files/FilesTestSupport.h"
#include "tests/familyov_files/UnitState.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

using filestest::SetState;
using filestest::StateOf;
using filestest::UnitState;
using sim::familyov::Model;

constexpr int kSourceAddress = 3;
constexpr int kDestinationAddress = 4;
// Each memory the destination takes: the block writes of a 12-memory unit's image and the block
// kept for the next memory.
constexpr int kDumpWritesPerMemory = 184;

std::vector<std::string>& BusErrors() {
  static std::vector<std::string> errors;
  return errors;
}

// The request each reported failure names, as the error dialog shows it: the unit's address and
// the object's id.
std::vector<std::pair<int, int>>& FailedRequests() {
  static std::vector<std::pair<int, int>> requests;
  return requests;
}

class BusCopyFailureTest : public filestest::FilesTest {
 protected:
  BusCopyFailureTest() {
    // Units of 12 memories keep each copy short; made without a roll call, which takes longer
    // than a copy.
    for (const int address : {kSourceAddress, kDestinationAddress}) {
      bus.AddModelUnit(Model::k8126, address, "1.4");
      const IQDeviceInfo record(address, 880, 1, ovtest::ModelId('6', "1.4", false));
      units.push_back(std::make_unique<IQDevice8126>(&type, &bus.manager, &record, 6));
    }
    source = units[0].get();
    destination = units[1].get();
    SetState(*source, "Src", 4, 0.25f);
    SetState(*destination, "Dst", 2, 0.5f);
    previousReporter_ = SetCommErrorReporter([](const IQException& error, IQDevice&) {
      BusErrors().push_back(error.GetText());
      if (error.FailedDevice() != nullptr) {
        FailedRequests().emplace_back(error.FailedDevice()->GetInfo().address,
                                      error.FailedObject()->GetId());
      }
    });
    BusErrors().clear();
    FailedRequests().clear();
  }
  ~BusCopyFailureTest() override { SetCommErrorReporter(previousReporter_); }

  // Every read goes to the units, as it does for devices that have not read them yet, so that
  // each copy makes the same requests.
  void ForgetValues() {
    source->InvalidateValues();
    destination->InvalidateValues();
  }

  // Copies, which the test expects to fail; whether `to` was put back.
  bool FailingCopy(IQDeviceOrdavinex& to, IQDeviceOrdavinex& from) {
    ForgetValues();
    return filestest::FailingLoad([&] { CopyDeviceSettings(to, from); });
  }

  // The copy command under `fault`, which the test expects to end it: its one message.
  std::string FailingCopyCommand(const sim::Fault& fault) {
    ForgetValues();
    bus.bus.AddFault(fault);
    const std::size_t seen = script.Seen().size();
    script.AnswerMessageBox(ui::kIdOk);
    EXPECT_FALSE(CopyDeviceFrom(*destination, *source));
    bus.bus.ClearFaults();
    EXPECT_EQ(BusErrors().size(), 1u) << "one bus error is reported";
    BusErrors().clear();
    EXPECT_EQ(script.Seen().size(), seen + 1);
    if (script.Seen().size() != seen + 1) return {};
    EXPECT_EQ(script.Seen().back().caption, "Ordavinex Copy");
    return script.Seen().back().text;
  }

  ovtest::FamilyBus bus;
  IQ8126Type type;
  std::vector<std::unique_ptr<IQDevice8126>> units;
  IQDeviceOrdavinex* source = nullptr;
  IQDeviceOrdavinex* destination = nullptr;

 private:
  CommErrorReporter previousReporter_ = nullptr;
};

sim::Fault RefusedAt(int address, int object, int opcode, int occurrence) {
  return sim::Fault::ErrorObject(7)
      .ForUnit(address)
      .ForObject(object)
      .ForOpcode(opcode)
      .OnOccurrence(occurrence);
}

TEST_F(BusCopyFailureTest, ARefusalAtAnyStepOfACopyPutsTheDestinationBack) {
  const UnitState before = StateOf(*destination);
  const UnitState sourceBefore = StateOf(*source);
  ASSERT_NE(before, sourceBefore);
  ForgetValues();
  bus.TakeTrace();
  CopyDeviceSettings(*destination, *source);
  const int steps = static_cast<int>(bus.TakeTrace().size());
  ASSERT_EQ(StateOf(*destination), sourceBefore) << "a whole copy leaves the units alike";
  SetState(*destination, "Dst", 2, 0.5f);
  ASSERT_EQ(StateOf(*destination), before);

  // Each unit's clock read before anything is written, the snapshot's first read and its read of
  // the current settings, and the last step.
  for (const int step : {1, 2, 3, 330, steps}) {
    SCOPED_TRACE(step);
    bus.bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(step));
    EXPECT_TRUE(FailingCopy(*destination, *source));
    bus.bus.ClearFaults();
    EXPECT_EQ(StateOf(*destination), before);
  }
  EXPECT_EQ(StateOf(*source), sourceBefore) << "the source is only read";
}

// One refusal of each kind of object the copy writes to the destination or reads from either unit,
// through the copy command.
TEST_F(BusCopyFailureTest, EachKindOfObjectRefusedEndsTheCommandWithOneReportAndTheUnitBack) {
  using namespace sim::familyov::object;
  const UnitState before = StateOf(*destination);
  const int set = sim::kOpcodeSet;
  const int get = sim::kOpcodeGet;
  const int to = kDestinationAddress;
  const int from = kSourceAddress;
  const sim::Fault faults[] = {
      RefusedAt(to, kTimerEvent, get, 1),
      RefusedAt(from, kMemoryName, get, 1),
      RefusedAt(to, kMemoryName, set, 1),
      RefusedAt(to, kLogicMemory, set, 1),
      RefusedAt(to, kLogicOut, set, 31),
      RefusedAt(to, kDelayUnits, set, 1),
      RefusedAt(to, kChannelName, set, 1),
      RefusedAt(from, kTimerEvent, get, 40),
      RefusedAt(to, kTimerEvent, set, 1),
      RefusedAt(from, kMemoryDump, get, 1),
      RefusedAt(to, kMemoryDump, set, 1),
      RefusedAt(to, kRecallMemory, set, 1),
      RefusedAt(from, kMemoryDump, get, kDumpWritesPerMemory + 90),
      RefusedAt(to, kMemoryDump, set, kDumpWritesPerMemory + 5),
  };
  for (const sim::Fault& fault : faults) {
    SCOPED_TRACE(testing::Message() << "unit " << fault.address << " object " << fault.objectId
                                    << " opcode " << fault.opcode << " #" << fault.firstOccurrence);
    FailedRequests().clear();
    EXPECT_EQ(FailingCopyCommand(fault), familycommon::kCopyRestoredText);
    EXPECT_EQ(StateOf(*destination), before);
    // The put-back's own requests come after the failure: the report still names the refused one.
    EXPECT_EQ(FailedRequests(),
              (std::vector<std::pair<int, int>>{{fault.address, fault.objectId}}));
  }
}

TEST_F(BusCopyFailureTest, ADestinationThatStopsAnsweringIsSaidToBeLeftMutedOrPartlyLoaded) {
  bus.bus.AddFault(RefusedAt(kDestinationAddress, sim::familyov::object::kMemoryDump,
                             sim::kOpcodeSet, kDumpWritesPerMemory + 5)
                       .Times(sim::Fault::kForever));
  EXPECT_FALSE(FailingCopy(*destination, *source));
  bus.bus.ClearFaults();

  const sim::Fault dies = sim::Fault::ErrorObject(7)
                              .ForUnit(kDestinationAddress)
                              .OnOccurrence(400)
                              .Times(sim::Fault::kForever);
  EXPECT_EQ(FailingCopyCommand(dies), std::string(familycommon::kCopyNotRestoredText) + "\n" +
                                          familycommon::kFiltersReadAgainText);
}

// Reading a virtual unit's memories recalls each in turn; writing them stores each.
TEST_F(BusCopyFailureTest, AVirtualUnitOnEitherSideIsLeftOnItsOwnSettings) {
  auto model = ovtest::NewVirtual<IQDevice8126>(6);
  model->firmwareVersion = 1.4f;
  ovtest::SetChannelLevel(*model, 3, -7.0f);
  gSaveMemoryObject.SaveMemory(*model, 2);
  ovtest::SetChannelLevel(*model, 3, -1.0f);
  auto horn = std::make_unique<TCDHornFilter>();
  horn->channel = 0;
  model->AddFilter(std::move(horn));
  ovtest::SetMemoryName(*model, 3, "Mine");
  model->SetModified(false);
  model->settingsChanged = false;
  const auto unchanged = [&] {
    EXPECT_NEAR(ovtest::ChannelLevel(*model, 3), -1.0f, 1e-4f);
    ASSERT_EQ(model->Filters().size(), 1u);
    EXPECT_EQ(model->Filters()[0]->typeCode, kFilterCDHorn);
    EXPECT_EQ(ovtest::MemoryName(*model, 3), "Mine");
  };
  const UnitState before = StateOf(*destination);

  // Memory 2 of the bus unit fails while the virtual unit has memory 2 recalled to be read.
  bus.bus.AddFault(RefusedAt(kDestinationAddress, sim::familyov::object::kMemoryDump,
                             sim::kOpcodeSet, kDumpWritesPerMemory * 2 + 5));
  EXPECT_TRUE(FailingCopy(*destination, *model));
  bus.bus.ClearFaults();
  unchanged();
  EXPECT_FALSE(model->IsUnsaved());
  EXPECT_FALSE(model->settingsChanged);
  EXPECT_EQ(StateOf(*destination), before);

  // The bus unit fails while memory 2 is read from it.
  bus.bus.AddFault(RefusedAt(kDestinationAddress, sim::familyov::object::kMemoryDump,
                             sim::kOpcodeGet, kDumpWritesPerMemory * 2 + 5));
  EXPECT_TRUE(FailingCopy(*model, *destination));
  bus.bus.ClearFaults();
  unchanged();
}

}  // namespace
}  // namespace namespaceOV
