// A copy between two units on the simulated bus that fails part way: the destination gets its
// names, logic map, delay unit, clock events and current settings back, the source is left as it
// was, and the user hears once what became of the destination.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "familycommon/LoadFailure.h"
#include "familyov/unit/DeviceCopy.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/SettingsImage.h"
#include "platform/ui/Message.h"
#include "sim/Fault.h"
#include "sim/WireFormat.h"
#include "sim/familyov/ObjectTable.h"
#include "tests/bus/RequestTrace.h"
#include "tests/familycommon/TracedProgress.h"
#include "tests/familyov_files/FilesTestSupport.h"
#include "tests/familyov_files/UnitState.h"
#include "tests/familyov_unit/OVTestSupport.h"
#include "tests/support/FailureInBox.h"
#include "tests/support/SteppingClock.h"

namespace namespaceOV {
namespace {

using filestest::SetState;
using filestest::StateOf;
using filestest::UnitState;
using sim::familyov::Model;

constexpr int kSourceAddress = 3;
constexpr int kDestinationAddress = 4;
// The closing messages of a copy that put the destination back, and of one that left it.
constexpr const char* kCopyPutBack =
    "The copy was not finished. The unit's current settings and its memory names";
constexpr const char* kCopyLeft =
    "The copy was not finished and the unit stopped answering before its settings could be put "
    "back: ";
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
    TakeReportsInBoxes(seen);
    EXPECT_EQ(BusErrors().size(), 1u) << "one bus error is reported";
    BusErrors().clear();
    EXPECT_EQ(script.Seen().size(), seen + 1);
    if (script.Seen().size() != seen + 1) return {};
    EXPECT_EQ(script.Seen().back().caption, "Ordavinex Copy");
    return testsupport::AfterTheFailure(script.Seen().back().text);
  }

  // A closing box from the prompt after the `seen`th on that tells the command's failure is its
  // report, as the error dialog would be.
  void TakeReportsInBoxes(std::size_t seen) {
    for (const std::size_t at : testsupport::BoxesTellingAFailure(script, seen)) {
      const std::string& text = script.Seen()[at - 1].text;
      BusErrors().push_back(text.substr(0, text.find('\n')));
      if (const auto named = testsupport::FailedRequestInBox(text)) {
        FailedRequests().push_back(*named);
      }
    }
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
  int steps = 0;
  TracedProgress progress([&] {
    std::vector<std::string> sent = bus.TakeTrace();
    steps += static_cast<int>(sent.size());
    return sent;
  });
  CopyDeviceSettings(*destination, *source, &progress);
  steps += static_cast<int>(bus.TakeTrace().size());
  ExpectReadFirst(progress, destination->GetMemoryCount(), "Copying...");
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
    const std::string closing = FailingCopyCommand(fault);
    EXPECT_TRUE(closing.starts_with(kCopyPutBack) ||
                closing == "The copy was not finished; nothing was written to the unit.")
        << closing;
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
  const std::string closing = FailingCopyCommand(dies);
  EXPECT_TRUE(closing.starts_with(kCopyLeft)) << closing;
  EXPECT_TRUE(closing.ends_with(familycommon::kUnitReadAgainText)) << closing;
}

// The copy command with one fault at points spread through it: a refusal, a lost reply, or the
// unit it hits falling silent for good. A lock that cannot be read ends the copy with its report
// alone, before anything is written. A refused or lost poll of a flag counts as "not yet": the copy
// goes on. Any other fault gives one report and a closing message that says what the destination
// holds: its own settings again, unless it stopped answering once the copy had written to it.
TEST_F(BusCopyFailureTest, OneFaultOfEachKindAnywhereGivesOneReportAndATrueClosingMessage) {
  // A silent unit's requests and flag waits run out soon: a unit is ready again by the third poll
  // of its flag, lost reply or not, so three polls see it through however long each takes.
  bus.port.SetRetries(0);
  for (IQDeviceOrdavinex* unit : {source, destination}) {
    unit->SetWaitBound(testsupport::PollCountBound<WaitBound>(3));
  }
  const UnitState before = StateOf(*destination);
  const UnitState sourceBefore = StateOf(*source);
  SettingsImage current(ReadImageLength(*destination));
  ReadMemoryImage(*destination, 0, current);
  // After a case that may have left it part way, the destination gets its own state again.
  const auto setBack = [&](bool left) {
    SetState(*destination, "Dst", 2, 0.5f);
    if (left) WriteMemoryImage(*destination, 0, current);
  };
  ForgetValues();
  bustest::TakeRequestTrace(bus.bus);
  ASSERT_TRUE(CopyDeviceFrom(*destination, *source));
  const std::vector<std::string> trace = bustest::TakeRequestTrace(bus.bus, true);
  const int steps = static_cast<int>(trace.size());
  const auto requestAt = [&](int step) { return trace.at(static_cast<std::size_t>(step - 1)); };
  const auto addressAt = [&](int step) { return std::stoi(requestAt(step)); };
  // A poll of a unit's ready or new-settings flag.
  static_assert(sim::familyov::object::kReady == 0x06 &&
                sim::familyov::object::kNewSettings == 0x40);
  const auto flagPoll = [&](int step) {
    const std::string request = requestAt(step);
    return request.ends_with(":R06") || request.ends_with(":R40");
  };
  const auto firstWrite = std::ranges::find_if(trace, [](const std::string& request) {
    return request.starts_with(std::to_string(kDestinationAddress) + ":W");
  });
  ASSERT_NE(firstWrite, trace.end());
  const int firstWriteStep = static_cast<int>(firstWrite - trace.begin()) + 1;
  setBack(false);

  enum class Kind { kRefused, kLostReply, kSilentUnit };
  const char* const kKindNames[] = {"refused", "reply lost", "silent unit"};
  constexpr int kLockReads = 2;
  // The lock reads, points early, midway and late through the memories, and the last request (a
  // poll of the destination's ready flag).
  const int early = steps / 6;
  const int middle = steps / 2;
  const int late = steps * 5 / 6;
  const std::pair<Kind, int> rows[] = {
      {Kind::kRefused, 1},       {Kind::kRefused, middle},   {Kind::kLostReply, 2},
      {Kind::kLostReply, early}, {Kind::kLostReply, steps},  {Kind::kSilentUnit, 1},
      {Kind::kSilentUnit, 2},    {Kind::kSilentUnit, early}, {Kind::kSilentUnit, middle},
      {Kind::kSilentUnit, late}, {Kind::kSilentUnit, steps}};
  for (const auto& [kind, step] : rows) {
    const int address = addressAt(step);
    SCOPED_TRACE(testing::Message() << kKindNames[static_cast<int>(kind)] << " at " << step << ": "
                                    << requestAt(step));
    sim::Fault fault = sim::Fault::ErrorObject(7).OnOccurrence(step);
    if (kind == Kind::kLostReply) fault = sim::Fault::Silence().OnOccurrence(step).Times(1);
    if (kind == Kind::kSilentUnit) {
      const int occurrence = static_cast<int>(
          std::count_if(trace.begin(), trace.begin() + step,
                        [&](const std::string& request) { return std::stoi(request) == address; }));
      fault = sim::Fault::Silence()
                  .ForUnit(address)
                  .OnOccurrence(occurrence)
                  .Times(sim::Fault::kForever);
    }
    const bool lockRead = step <= kLockReads;
    const bool goesOn = kind != Kind::kSilentUnit && !lockRead && flagPoll(step);
    const bool left =
        kind == Kind::kSilentUnit && address == kDestinationAddress && step >= firstWriteStep;
    ForgetValues();
    BusErrors().clear();
    bus.bus.AddFault(fault);
    const std::size_t seen = script.Seen().size();
    if (!goesOn && !lockRead) script.AnswerMessageBox(ui::kIdOk);
    FailedRequests().clear();
    EXPECT_EQ(CopyDeviceFrom(*destination, *source), goesOn);
    bus.bus.ClearFaults();
    TakeReportsInBoxes(seen);
    EXPECT_EQ(BusErrors().size(), goesOn ? 0u : 1u) << "one failure, one report";
    // Told by the closing message or the error dialog, the failure names its request.
    if (!goesOn) {
      ASSERT_EQ(FailedRequests().size(), 1u);
      EXPECT_EQ(FailedRequests().front().first, address);
    }
    if (goesOn) {
      EXPECT_EQ(script.Seen().size(), seen);
      EXPECT_EQ(StateOf(*destination), sourceBefore);
    } else if (lockRead) {
      EXPECT_EQ(script.Seen().size(), seen);
      EXPECT_EQ(StateOf(*destination), before);
    } else if (left) {
      ASSERT_EQ(script.Seen().size(), seen + 1);
      const std::string closing = testsupport::AfterTheFailure(script.Seen().back().text);
      EXPECT_TRUE(closing.starts_with(kCopyLeft)) << closing;
      EXPECT_TRUE(closing.ends_with(familycommon::kUnitReadAgainText)) << closing;
      // The filters are read again once the unit answers.
      EXPECT_TRUE(destination->FiltersStale());
      destination->InvalidateValues();
      destination->ReadDeviceParameters();
      EXPECT_FALSE(destination->FiltersStale());
    } else {
      ASSERT_EQ(script.Seen().size(), seen + 1);
      const std::string closing = testsupport::AfterTheFailure(script.Seen().back().text);
      EXPECT_TRUE(closing.starts_with(kCopyPutBack) ||
                  closing == "The copy was not finished; nothing was written to the unit.")
          << closing;
      EXPECT_EQ(StateOf(*destination), before);
    }
    setBack(left);
  }
  EXPECT_EQ(StateOf(*source), sourceBefore) << "the source is only read";
}

// A unit that pauses part way through a load or a copy and then answers again (a USB adapter's
// hiccup): the put-back waits for it and gives it all of its settings back, with one report and a
// closing message that says so. A unit still silent once the wait's bound has passed is left as it
// is, and the message says what it holds: what it names as loaded or as it was is so.
TEST_F(BusCopyFailureTest, AStallAnywhereInALoadOrACopyIsWaitedForAndTheUnitPutBack) {
  // The answers kept back while the put-back first tries and then polls the unit.
  constexpr int kPausedAnswers = 3;
  // The put-back's wait for the paused unit: many more polls than the pause keeps back.
  constexpr int kPatientPolls = 30;
  using Part = familycommon::LoadProgress::Part;
  const std::string path = TempPath("stall.ov2");
  SetState(*destination, "From file", 4, 0.25f);
  filestest::SaveSettingsFile(*destination, path);
  const std::vector<std::vector<uint32_t>> fileMemories = filestest::MemoriesOf(*destination);
  SetState(*destination, "Dst", 2, 0.5f);
  SettingsImage current(ReadImageLength(*destination));
  ReadMemoryImage(*destination, 0, current);
  // The destination's memories hold other settings than the file's and the source's.
  const auto setBack = [&] {
    SetState(*destination, "Dst", 2, 0.5f);
    WriteMemoryImage(*destination, 0, current);
    for (int m = 1; m <= destination->GetMemoryCount(); ++m) {
      gSaveMemoryObject.SaveMemory(*destination, static_cast<uint8_t>(m));
    }
  };
  setBack();
  filestest::LoadEnds ends{.before = StateOf(*destination),
                           .memoriesBefore = filestest::MemoriesOf(*destination)};
  ASSERT_NE(ends.memoriesBefore, fileMemories);
  // The command as the client runs it: whether it finished, else its one closing message.
  const auto command = [&](bool copy, std::string* closing = nullptr) {
    ForgetValues();
    const std::size_t seen = script.Seen().size();
    if (!copy) script.AnswerOpenFile(path);
    if (closing) script.AnswerMessageBox(ui::kIdOk);
    const bool finished = copy ? CopyDeviceFrom(*destination, *source) : destination->LoadFile();
    TakeReportsInBoxes(seen);
    if (closing) {
      EXPECT_EQ(script.Seen().size(), seen + (copy ? 1 : 2)) << "one closing message";
      *closing = testsupport::AfterTheFailure(script.Seen().back().text);
    }
    return finished;
  };
  const UnitState sourceBefore = StateOf(*source);
  const std::vector<std::vector<uint32_t>> sourceMemories = filestest::MemoriesOf(*source);
  const std::string globalsNamed =
      std::string("memory names, logic map, delay unit") + (destination->UpdateClockPresence()
                                                                ? ", channel names and clock events"
                                                                : " and channel names");

  for (const bool copy : {false, true}) {
    SCOPED_TRACE(copy ? "copy" : "load");
    const familycommon::LoadCommandWords& words =
        copy ? familycommon::kCopyWords : familycommon::kLoadWords;
    bustest::TakeRequestTrace(bus.bus);
    ASSERT_TRUE(command(copy));
    const std::vector<std::string> trace = bustest::TakeRequestTrace(bus.bus, true);
    const int steps = static_cast<int>(trace.size());
    ends.loaded = StateOf(*destination);
    ends.memoriesLoaded = copy ? sourceMemories : fileMemories;
    ASSERT_EQ(filestest::MemoriesOf(*destination), ends.memoriesLoaded);
    setBack();
    ASSERT_EQ(StateOf(*destination), ends.before);
    // A poll of a ready or new-settings flag waits through a pause: the command goes on.
    const auto flagPoll = [&](int step) {
      const std::string& request = trace.at(static_cast<std::size_t>(step - 1));
      return request.ends_with(":R06") || request.ends_with(":R40");
    };

    // From the first write, of a memory name (a failure before it leaves nothing to put back),
    // through the memories to the last block of the last one (what the load reads afterwards is
    // no longer put back); no flag poll.
    const auto startingWith = [](const std::string& text) {
      return [prefix = std::to_string(kDestinationAddress) + ":" +
                       text](const std::string& request) { return request.starts_with(prefix); };
    };
    const auto nth = [&](const std::string& text, int n) {
      int step = 0;
      for (int seen = 0; seen < n; ++step) seen += startingWith(text)(trace.at(step)) ? 1 : 0;
      return step;
    };
    // Counted, not timed: no stop of the test program passes the bound while the unit is about to
    // answer.
    destination->SetWaitBound(testsupport::PollCountBound<WaitBound>(kPatientPolls));
    const int firstWrite = nth("W19", 1);
    const int lastWrite =
        steps - static_cast<int>(std::find_if(trace.rbegin(), trace.rend(), startingWith("W39")) -
                                 trace.rbegin());
    for (int point = 0; point <= 3; ++point) {
      int step = firstWrite + (lastWrite - firstWrite) * point / 3;
      while (flagPoll(step)) --step;
      SCOPED_TRACE(testing::Message() << "pause from request " << step << ": " << trace[step - 1]);
      bus.bus.AddFault(sim::Fault::Pause(kPausedAnswers).OnOccurrence(step).Times(1));
      BusErrors().clear();
      std::string closing;
      EXPECT_FALSE(command(copy, &closing));
      bus.bus.ClearFaults();
      EXPECT_EQ(BusErrors().size(), 1u) << "one failure, one report";
      EXPECT_TRUE(closing.starts_with(std::string("The ") + words.command +
                                      " was not finished. The unit's current settings and its " +
                                      globalsNamed + " were put back as they were; "))
          << closing;
      EXPECT_EQ(StateOf(*destination), ends.before);
      EXPECT_FALSE(destination->FiltersStale());
      EXPECT_EQ(StateOf(*source), sourceBefore);
      setBack();
    }

    // A destination silent past the wait's bound (lowered here) from a point in the names, in the
    // current settings, in a memory, and at its last write, is left part way, and said to be. The
    // put-back's first write, of a memory name, went to the silent unit, which may have taken it.
    struct SilentRow {
      const char* request;
      int occurrence;
      familycommon::LoadProgress progress;
    };
    const int memories = destination->GetMemoryCount();
    const SilentRow rows[] = {
        {"W19", 5, {.globals = Part::kPartly}},
        {"W39 00", 20, {.globals = Part::kPartly, .current = Part::kPartly}},
        {"W39 06",
         20,
         {.globals = Part::kPartly,
          .current = Part::kWhole,
          .memoriesWritten = 5,
          .nextMemoryPartly = true}},
        {"W39",
         static_cast<int>(std::count_if(trace.begin(), trace.end(), startingWith("W39"))),
         {.globals = Part::kPartly,
          .current = Part::kWhole,
          .memoriesWritten = memories - 1,
          .nextMemoryPartly = true}},
    };
    destination->SetWaitBound({.limit = std::chrono::milliseconds(300)});
    for (SilentRow row : rows) {
      const int step = nth(row.request, row.occurrence);
      SCOPED_TRACE(testing::Message() << "silent from request " << step << ": " << trace[step - 1]);
      const int occurrence =
          static_cast<int>(std::count_if(trace.begin(), trace.begin() + step, startingWith("")));
      bus.bus.AddFault(sim::Fault::Silence()
                           .ForUnit(kDestinationAddress)
                           .OnOccurrence(occurrence)
                           .Times(sim::Fault::kForever));
      BusErrors().clear();
      std::string closing;
      EXPECT_FALSE(command(copy, &closing));
      bus.bus.ClearFaults();
      EXPECT_EQ(BusErrors().size(), 1u);
      row.progress.globalsNamed = globalsNamed;
      row.progress.memoriesToWrite = memories;
      EXPECT_EQ(closing, familycommon::LoadOutcomeText(
                             {.restored = false, .progress = row.progress}, words) +
                             "\n" + familycommon::kUnitReadAgainText);
      if (!copy && row.progress.memoriesWritten == memories - 1) {
        EXPECT_TRUE(closing.starts_with(
            "The load was not finished and the unit stopped answering before its settings could "
            "be put back: its " +
            globalsNamed +
            " may be partly the file's; it runs the file's current settings; memories 1 to 11 "
            "hold the file's settings and memory 12 may hold part of them."))
            << closing;
      }
      EXPECT_TRUE(destination->FiltersStale());
      EXPECT_TRUE(filestest::HoldsWhatItSays(*destination, row.progress, false, ends));
      setBack();
      destination->ReadDeviceParameters();
    }
    destination->SetWaitBound({});
  }
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
