// Whole-unit commands of the older family cut short by one bus fault: a refused request, a lost
// reply, or a unit that stops answering, at points spread through the command. Each gives one
// report and one closing message that is true of the units, which are left on their own settings
// wherever they still answer.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "bus/PollBackoff.h"
#include "bus/SettingsTextFile.h"
#include "controls/DeviceErrorReport.h"
#include "family8100/unit/FamilyKey8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/SettingsFile8100.h"
#include "family8100/unit/TMemoryDialog.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "family8100/unit/Types8100.h"
#include "familycommon/LoadFailure.h"
#include "platform/registry/Store.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/TestHooks.h"
#include "resources/Family8100Ids.h"
#include "sim/Fault.h"
#include "tests/bus/RequestTrace.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/familyov_files/FilesTestSupport.h"
#include "tests/support/FailureInBox.h"

using namespace namespace8100;
using sim::family8100::Model;
using testing::StartsWith;
using testsupport8100::AddFilter;
using testsupport8100::Described;
using testsupport8100::Made;

namespace {

constexpr int kSourceAddress = 3;
constexpr int kDestinationAddress = 4;

// A unit that pauses holds back its answers to this many requests, the failing one and the first
// of the put-back's, and sends them late: it is answering again before the wait for it is over.
constexpr int kPausedRequests = 3;

enum class Kind { kRefused, kLostReply, kPause, kSilentUnit };
constexpr Kind kEveryKind[] = {Kind::kRefused, Kind::kLostReply, Kind::kPause, Kind::kSilentUnit};

// The faults of a table of cases: each kind at the points where the command changes course, and
// at `spread` more points spread between them.
struct FaultCases {
  int spread;
  std::span<const Kind> kinds;
};

// Older firmware differs only in how a command deletes filters, which the points where each
// command changes course reach; a unit that stops answering gets no put-back to differ in.
constexpr Kind kPutBackKinds[] = {Kind::kRefused, Kind::kLostReply, Kind::kPause};
constexpr FaultCases kOldFirmwareCases{0, kPutBackKinds};

const char* Name(Kind kind) {
  switch (kind) {
    case Kind::kRefused:
      return "refused";
    case Kind::kLostReply:
      return "lost reply";
    case Kind::kPause:
      return "pause";
    default:
      return "silent unit";
  }
}

// The wait for a silent unit, counted in calls of its clock so that no machine's load can end it
// early; a unit that stays silent is given up at once.
void BoundTheWait(Kind kind, const std::vector<IQDevice8100*>& units) {
  for (IQDevice8100* unit : units) {
    if (kind == Kind::kSilentUnit) {
      unit->SetReadyBound({.limit = std::chrono::milliseconds(0)});
    } else {
      unit->SetReadyBound({.now = [t = ReadyBound::Clock::time_point()]() mutable {
        return t += std::chrono::milliseconds(1);
      }});
    }
  }
}

// How the closing text of a load or copy ends when the unit fell silent before it was read again.
const std::string kReadAgain = std::string("\n") + familycommon::kUnitReadAgainText;

// How the closing text of a command that could not put a unit back, left muted, begins.
std::string LeftMuted(const std::string& command) {
  const std::string text = familycommon::NotPutBackText(command, {.muted = true}, "");
  return text.substr(0, text.size() - 1);
}

// What a command may change on a unit, as the unit holds it, read afresh.
struct UnitState {
  SettingsRecord settings;
  std::vector<std::string> filters;
  bool unmuted = false;
  std::string name;
  std::vector<std::string> memoryNames;
  std::vector<int> presetMap;
  bool operator==(const UnitState&) const = default;
};

void PrintTo(const UnitState& state, std::ostream* out) {
  *out << testing::PrintToString(state.settings) << testing::PrintToString(state.filters)
       << " unmuted " << state.unmuted << " '" << state.name << "' "
       << testing::PrintToString(state.memoryNames) << testing::PrintToString(state.presetMap);
}

UnitState StateOf(IQDevice8100& unit) {
  unit.ResetValueStore();
  unit.ReadAllParameters();
  UnitState state{unit.ReadSettingsRecord(), Described(unit), g8100BulkMute.Read(unit),
                  g8100UnitName.Read(unit)};
  for (int n = 1; n <= kMemoryCount; ++n) {
    g8100MemoryIndex.Write(unit, static_cast<uint8_t>(n));
    state.memoryNames.push_back(unit.GetMemoryName());
    g8100PresetIndex.Write(unit, static_cast<uint8_t>(n));
    state.presetMap.push_back(unit.GetPresetMapEntry());
  }
  return state;
}

// Gives the unit a name, a name for memory 1 and a preset map turned by `turn` memories.
void Label(IQDevice8100& unit, const std::string& name, const std::string& memoryName, int turn) {
  g8100UnitName.Write(unit, name);
  g8100MemoryIndex.Write(unit, 1);
  unit.SetMemoryName(memoryName);
  for (int preset = 1; preset <= kMemoryCount; ++preset) {
    g8100PresetIndex.Write(unit, static_cast<uint8_t>(preset));
    unit.SetPresetMapEntry((preset - 1 + turn) % kMemoryCount + 1);
  }
}

// The requests of a command as "ADDRESS:REQUEST", and the faults that hit its request `step`.
struct CommandTrace {
  std::vector<std::string> requests;

  int Steps() const { return static_cast<int>(requests.size()); }
  // The first request that ends with `request`, counted from 1.
  int FirstStep(const std::string& request) const {
    const auto found = std::ranges::find_if(
        requests, [&](const std::string& r) { return r.ends_with(":" + request); });
    EXPECT_NE(found, requests.end()) << request;
    return static_cast<int>(found - requests.begin()) + 1;
  }
  // The `n`th request that begins with `request`.
  int NthStep(const std::string& request, int n) const {
    for (int step = 1; step <= Steps(); ++step) {
      if (requests[static_cast<std::size_t>(step - 1)].find(":" + request) != std::string::npos &&
          --n == 0) {
        return step;
      }
    }
    ADD_FAILURE() << request;
    return 1;
  }
  // Memory 1 keeps the name written for it once the unit took its store and was ready again.
  UnitState Expected(UnitState before, const UnitState& written, int faultStep) const {
    if (faultStep > NthStep("W0E 01", 1) + 1) before.memoryNames[0] = written.memoryNames[0];
    return before;
  }
  // What a load or a copy of memory 1 says of the unit it put back after a fault at `step`: the
  // memory is named once its store was sent.
  std::string PutBackText(const std::string& command, const std::string& source, int step) const {
    const std::string stopped = "The " + command + " was not finished";
    if (step < FirstStep("W0D 00")) return stopped + "; nothing was written to the unit.";
    const int store = NthStep("W0E 01", 1);
    const std::string memory = step > store + 1 ? "memory 1 holds " + source + " settings"
                               : step >= store
                                   ? "memory 1 may hold " + source + " settings or its old ones"
                                   : "its memories are as they were";
    return stopped + ". The unit's current settings were put back as they were; " + memory + ".";
  }
  // Adds to `steps` the first filter-type read once the units are muted, if there is one: a fault
  // there leaves the program's list of the unit's filters read only in part.
  void AddFirstTypeReadWhileMuted(std::vector<int>& steps) const {
    const auto read = std::find_if(requests.begin() + FirstStep("W0D 00"), requests.end(),
                                   [](const std::string& r) { return r.ends_with(":R14"); });
    if (read != requests.end()) steps.push_back(static_cast<int>(read - requests.begin()) + 1);
  }
  // Where the names and the preset map are written: the unit's name, memory 1's name and its
  // store, and the sixth preset.
  std::vector<int> NamingSteps(bool unitName) const {
    std::vector<int> steps{NthStep("W1E", 1), NthStep("W0E 01", 1), NthStep("W25", 6)};
    if (unitName) steps.push_back(NthStep("W19", 1));
    return steps;
  }
  int AddressAt(int step) const {
    return std::stoi(requests.at(static_cast<std::size_t>(step - 1)));
  }
  // Which request to its unit `step` is.
  int OccurrenceForUnit(int step) const {
    const std::string& request = requests.at(static_cast<std::size_t>(step - 1));
    const std::string unit = request.substr(0, request.find(':') + 1);
    return static_cast<int>(
        std::count_if(requests.begin(), requests.begin() + step,
                      [&](const std::string& r) { return r.starts_with(unit); }));
  }
  sim::Fault FaultAt(Kind kind, int step) const {
    switch (kind) {
      case Kind::kRefused:
        return sim::Fault::ErrorObject(7).OnOccurrence(step);
      case Kind::kLostReply:
        return sim::Fault::Silence().OnOccurrence(step).Times(1);
      case Kind::kPause:
        return sim::Fault::Pause(kPausedRequests).OnOccurrence(step).Times(1);
      default:
        return sim::Fault::Silence()
            .ForUnit(AddressAt(step))
            .OnOccurrence(OccurrenceForUnit(step))
            .Times(sim::Fault::kForever);
    }
  }
  // The first `leading` requests, the last, and `inner` more spread evenly between.
  std::vector<int> SpreadSteps(int leading, int inner) const {
    std::vector<int> steps;
    for (int step = 1; step <= leading; ++step) steps.push_back(step);
    for (int i = 1; i <= inner; ++i) steps.push_back(i * Steps() / (inner + 1));
    steps.push_back(Steps());
    return steps;
  }
};

class OlderFamilyCommandFailureTest : public testing::Test {
 protected:
  OlderFamilyCommandFailureTest() {
    bus.x.SetRegistryKey(store.Root());
    bus.port.SetRetries(0);
    controls::SetDeviceErrorReporter(
        [this](const IQException& e, IQDevice*, int) { reported.push_back(e.GetText()); });
  }
  ~OlderFamilyCommandFailureTest() override { controls::SetDeviceErrorReporter(nullptr); }

  // The unit at `address`, among those a roll call finds.
  IQDevice8100* Unit(const std::vector<IQDevice*>& found, int address) {
    for (IQDevice* device : found) {
      if (device->GetInfo().address == address) return dynamic_cast<IQDevice8100*>(device);
    }
    ADD_FAILURE() << "no unit at " << address;
    return nullptr;
  }

  // The command's requests, and what it told the user, when nothing goes wrong.
  template <typename Command>
  CommandTrace Traced(Command&& command) {
    bustest::TakeRequestTrace(bus.bus);
    command();
    return {bustest::TakeRequestTrace(bus.bus, true)};
  }

  // One failure, one report from the prompt after the `seen`th on: the error dialog, or a closing
  // box that tells the failure as the dialog does, naming the request that failed on the unit at
  // `address`.
  void ExpectOneReport(std::size_t seen, int address) {
    EXPECT_EQ(reported.size() + testsupport::FailuresToldInBoxes(script, seen), 1u)
        << "one failure, one report";
    EXPECT_TRUE(testsupport::BoxesNameTheFailedRequest(script, seen, address))
        << script.Seen().back().text;
  }
  // What the last closing message says after the failure it tells.
  std::string Closing() const { return testsupport::AfterTheFailure(script.Seen().back().text); }

  ui::PromptScript script{filestest::FailTest};
  registry::Store store;
  testsupport8100::OlderFamilyBus bus;
  std::vector<std::string> reported;
};

// Two X units with different settings; the source's memory 1 differs from its current settings.
class OlderFamilyCopyFailureTest : public OlderFamilyCommandFailureTest {
 protected:
  explicit OlderFamilyCopyFailureTest(const std::string& firmware = "1.2") {
    sim::family8100::AddFamily8100Unit(
        bus.bus, {.model = Model::kX, .address = kSourceAddress, .firmware = firmware});
    sim::family8100::AddFamily8100Unit(
        bus.bus, {.model = Model::kX, .address = kDestinationAddress, .firmware = firmware});
    const std::vector<IQDevice*> found = bus.RollCall();
    source = Unit(found, kSourceAddress);
    destination = Unit(found, kDestinationAddress);
    bus.x.Key().WriteMemoryMask(FamilyKey8100::kDeviceCopy, 0x1);
    Furnish(*source, 3, 800);
    source->SaveMemory(1);
    Furnish(*source, 5, 200);
    FurnishDestination();
    Label(*source, "Source", "Matinee", 5);
    Label(*destination, "Destination", "Evening", 0);
  }

  static void Furnish(IQDevice8100& unit, uint8_t attenuation, int32_t frequency) {
    unit.RemoveFilters();
    AddFilter(unit, Made<TParametricFilter>(kLeftInputBank, frequency));
    AddFilter(unit, Made<THighpassFilter>(kRightOutputBank, frequency / 10));
    AddFilter(unit, Made<TLowCrossoverFilter>(kLeftOutputBank, frequency / 2));
    g8100LeftAttenuation.Write(unit, attenuation);
    g8100LeftDelay.Write(unit, attenuation);
  }

  // Memory 1 too, which the copy recalls and reads: every case sends the requests of the traced
  // copy, whatever an earlier one stored there.
  void FurnishDestination() {
    Furnish(*destination, 9, 4000);
    destination->SaveMemory(1);
  }

  // The copy command with its memory chosen, and its closing message answered when one is due.
  // `pastLocks`: the lock reads went well, and the memories are asked for.
  bool Copy(bool closingMessage, bool pastLocks = true) {
    if (pastLocks) {
      script.RunDialog(f8100res::kMemorySelectDialog,
                       [](ui::Dialog& dialog) { dialog.CloseWindow(ui::kIdOk); });
    }
    if (closingMessage) script.AnswerMessageBox(ui::kIdOk);
    return destination->CopyFrom(*source);
  }

  void OneFaultAnywhereGivesOneReportAndATrueClosingMessage(FaultCases cases);

  IQDevice8100* source = nullptr;
  IQDevice8100* destination = nullptr;
};

// The same units at firmware 1.0, which delete their filters one by one: those the program's
// list may miss after a fault must go too.
class OlderFamilyOldFirmwareCopyFailureTest : public OlderFamilyCopyFailureTest {
 protected:
  OlderFamilyOldFirmwareCopyFailureTest() : OlderFamilyCopyFailureTest("1.0") {}
};

TEST_F(OlderFamilyCopyFailureTest, OneFaultAnywhereGivesOneReportAndATrueClosingMessage) {
  OneFaultAnywhereGivesOneReportAndATrueClosingMessage({7, kEveryKind});
}

TEST_F(OlderFamilyOldFirmwareCopyFailureTest,
       OneFaultAnywhereGivesOneReportAndATrueClosingMessage) {
  ASSERT_FALSE(destination->DeletesAllAtOnce());
  OneFaultAnywhereGivesOneReportAndATrueClosingMessage(kOldFirmwareCases);
}

void OlderFamilyCopyFailureTest::OneFaultAnywhereGivesOneReportAndATrueClosingMessage(
    FaultCases cases) {
  const UnitState sourceBefore = StateOf(*source);
  const UnitState destinationBefore = StateOf(*destination);
  const CommandTrace trace = Traced([&] { EXPECT_TRUE(Copy(false)); });
  ASSERT_GT(trace.Steps(), 300);
  ASSERT_EQ(StateOf(*destination).settings, sourceBefore.settings);
  ASSERT_EQ(StateOf(*source), sourceBefore);
  // The lock reads come first; a failed one ends the copy with its report alone. Nothing is written
  // before the units are muted.
  constexpr int kLockReads = 2;
  const int firstWrite = trace.FirstStep("W0D 00");

  std::vector<int> steps = trace.SpreadSteps(kLockReads, cases.spread);
  std::ranges::copy(trace.NamingSteps(false), std::back_inserter(steps));
  trace.AddFirstTypeReadWhileMuted(steps);
  for (const Kind kind : cases.kinds) {
    BoundTheWait(kind, {source, destination});
    for (const int step : steps) {
      // A pause that ends in a lock read or a filter read before the units are muted is a late
      // answer to a read; it changes nothing on the units.
      if (kind == Kind::kPause && step < firstWrite) continue;
      const bool sourceFails = trace.AddressAt(step) == kSourceAddress;
      const bool lockRead = step <= kLockReads;
      // A unit that stops answering is left as it is only where it may have been written.
      const bool sourceLeft = kind == Kind::kSilentUnit && sourceFails && step >= firstWrite;
      const bool destinationLeft = kind == Kind::kSilentUnit && !sourceFails && step >= firstWrite;
      SCOPED_TRACE(testing::Message() << Name(kind) << " at " << step << ": "
                                      << trace.requests.at(static_cast<std::size_t>(step - 1)));
      FurnishDestination();
      Label(*destination, "Destination", "Evening", 0);
      reported.clear();
      bus.bus.AddFault(trace.FaultAt(kind, step));
      const std::size_t seen = script.Seen().size();
      EXPECT_FALSE(Copy(!lockRead, !lockRead));
      bus.bus.ClearFaults();
      ExpectOneReport(seen, trace.AddressAt(step));
      if (lockRead) {
        EXPECT_EQ(script.Seen().size(), seen) << "no question, no closing message";
      } else {
        const std::string message = Closing();
        // A destination that fell silent is read again once it answers, and the box says so.
        EXPECT_EQ(message.ends_with(kReadAgain), kind == Kind::kSilentUnit && !sourceFails);
        if (destinationLeft) {
          EXPECT_THAT(message, StartsWith(LeftMuted("copy")));
        } else {
          EXPECT_THAT(message, StartsWith(trace.PutBackText("copy", "the source unit's", step)));
          const std::string sourceMuted = familycommon::SourceNotPutBackText({.muted = true});
          EXPECT_EQ(
              message.find(sourceMuted.substr(0, sourceMuted.size() - 1)) != std::string::npos,
              sourceLeft);
        }
      }
      // The program's lists are the units' once they answer again.
      std::vector<UnitState> after;
      for (IQDevice8100* unit : {source, destination}) {
        unit->ReadAgainIfStale();
        const std::vector<std::string> program = Described(*unit);
        after.push_back(StateOf(*unit));
        EXPECT_EQ(program, after.back().filters);
      }
      if (!sourceLeft) {
        EXPECT_EQ(after[0], sourceBefore);
      }
      if (!destinationLeft) {
        EXPECT_EQ(after[1], trace.Expected(destinationBefore, sourceBefore, step));
      }
      Furnish(*source, 5, 200);
      g8100BulkMute.Write(*source, true);
      g8100BulkMute.Write(*destination, true);
    }
  }
}

// Past the wait, the closing message says whose settings a unit may be left on: its own memory's,
// which the copy recalled, or the source unit's.
TEST_F(OlderFamilyCopyFailureTest, ACopyWithAUnitThatStopsAnsweringSaysWhoseSettingsItMayHold) {
  const CommandTrace trace = Traced([&] { EXPECT_TRUE(Copy(false)); });
  BoundTheWait(Kind::kSilentUnit, {source, destination});
  const std::string left = LeftMuted("copy");
  const int sourceRecall = trace.NthStep("W0F 01", 1);
  const struct {
    int silentFrom;
    std::string said;
  } cases[] = {
      {sourceRecall,
       trace.PutBackText("copy", "the source unit's", sourceRecall) +
           "\n\nThe source unit stopped answering before its own settings could be put back: it "
           "may be left muted and on the settings of its own memory 1."},
      // The destination's memory name, written after its own memory 1 was recalled.
      {trace.NthStep("W1E", 1), left + " and on the settings of its own memory 1." + kReadAgain},
      {trace.NthStep("W0E 01", 1),
       left +
           " and on the source unit's settings for memory 1. Memory 1 may hold its old "
           "settings or the source unit's." +
           kReadAgain},
  };
  for (const auto& [silentFrom, said] : cases) {
    SCOPED_TRACE(silentFrom);
    FurnishDestination();
    Label(*destination, "Destination", "Evening", 0);
    bus.bus.AddFault(trace.FaultAt(Kind::kSilentUnit, silentFrom));
    EXPECT_FALSE(Copy(true));
    bus.bus.ClearFaults();
    EXPECT_EQ(Closing(), said);
    for (IQDevice8100* unit : {source, destination}) unit->ReadAgainIfStale();
    Furnish(*source, 5, 200);
    g8100BulkMute.Write(*source, true);
    g8100BulkMute.Write(*destination, true);
  }
}

// One X unit with its memory page open, and a settings file of other settings.
class OlderFamilyUnitCommandTest : public OlderFamilyCommandFailureTest {
 protected:
  explicit OlderFamilyUnitCommandTest(const std::string& firmware = "1.2") {
    index = sim::family8100::AddFamily8100Unit(
        bus.bus, {.model = Model::kX, .address = 2, .firmware = firmware});
    unit = testsupport8100::OnlyUnit(bus);
    AddFilter(*unit, Made<TParametricFilter>(kLeftInputBank, 600));
    unit->SaveMemory(2);
    AddFilter(*unit, Made<TLowshelfFilter>(kRightInputBank, 90));
    g8100LeftAttenuation.Write(*unit, 4);
    SettingsTextFile file;
    EXPECT_TRUE(file.Open(path, SettingsTextFile::kWrite));
    IQDevice8100X other(nullptr, nullptr, nullptr);
    AddFilter(other, Made<THighpassFilter>(kLeftOutputBank, 70));
    Label(other, "", "Matinee", 5);
    other.SetName("Stage left");
    WriteSettingsFile(other, file, 0x1);
    EXPECT_TRUE(file.Close());
    // As a unit on the bus saves its name.
    std::string text = filestest::ReadText(path);
    text.replace(text.find("[Interface Name]"), 16, "[Unit Name]");
    filestest::WriteText(path, text);
    Label(*unit, "Hall", "Evening", 0);
    parent.Create();
    page = std::make_unique<TMemoryDialog>(&parent, *unit);
    page->Create();
  }
  ~OlderFamilyUnitCommandTest() override {
    page->Destroy();
    parent.Destroy();
  }

  // The load command with every memory of the file chosen, and its closing message answered
  // when one is due.
  // A load that a failed lock read ends asks nothing.
  bool Load(bool closingMessage, bool pastLock = true) {
    if (pastLock) {
      script.AnswerOpenFile(path).RunDialog(
          f8100res::kMemorySelectDialog, [](ui::Dialog& dialog) { dialog.CloseWindow(ui::kIdOk); });
    }
    if (closingMessage) script.AnswerMessageBox(ui::kIdOk);
    return unit->LoadFile();
  }
  // A Save or Recall button of the memory page, confirmed.
  void Click(int button, bool closingMessage) {
    script.AnswerMessageBox(ui::kIdYes);
    if (closingMessage) script.AnswerMessageBox(ui::kIdOk);
    ui::test::Click(*page, button);
    ui::test::PumpMessages();
  }

  // Memory 12 keeps the unit's settings to start each case from, which a command's requests
  // depend on: each filter the unit holds is read.
  void KeepStart() { unit->SaveMemory(12); }
  void BackToStart() {
    g8100BulkMute.Write(*unit, true);
    Label(*unit, "Hall", "Evening", 0);
    unit->RestoreMemory(12);
    unit->ResetValueStore();
    unit->ReadAllParameters();
  }

  void OneFaultAnywhereInALoadGivesOneReportAndATrueClosingMessage(FaultCases cases);
  void OneFaultAnywhereInASaveOrReportPutsTheUnitBackOrSaysWhatItHolds(FaultCases cases);

  int index = 0;
  IQDevice8100* unit = nullptr;
  QTemporaryDir folder;
  std::string path = folder.filePath("other.ov0").toStdString();
  ui::Window parent{nullptr};
  std::unique_ptr<TMemoryDialog> page;
};

// The same unit at firmware 1.0, which deletes its filters one by one.
class OlderFamilyOldFirmwareUnitCommandTest : public OlderFamilyUnitCommandTest {
 protected:
  OlderFamilyOldFirmwareUnitCommandTest() : OlderFamilyUnitCommandTest("1.0") {}
};

TEST_F(OlderFamilyUnitCommandTest, ARecallOrStoreCutShortIsReportedOnceAndSaysWhatTheUnitHolds) {
  // The signal-flow page polls its meters while the error is shown, as behind the modal box; it
  // is hidden otherwise, so that the commands' requests are the same in every run.
  TSigFlowDialog signalFlow(&parent, *unit);
  signalFlow.Create();
  controls::SetDeviceErrorReporter([&](const IQException& e, IQDevice*, int) {
    reported.push_back(e.GetText());
    PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
    signalFlow.Show();
    ui::test::PumpIdle(3);
    signalFlow.Hide();
  });
  const int recall = f8100res::kFirstRecallButton + 1;
  const int store = f8100res::kFirstSaveButton + 4;
  for (const int button : {recall, store}) {
    const CommandTrace trace = Traced([&] { Click(button, false); });
    // The memory's name is read for the question first (a fault there asks nothing: the memory
    // page's tests hold it); the command's own requests follow.
    const int named = trace.FirstStep("R1E");
    std::vector<int> steps{named + 1, named + 2};
    for (const int step : trace.SpreadSteps(0, button == recall ? 6 : 0)) {
      if (step > named + 2) steps.push_back(step);
    }
    // Late in the recall, as the unit's last filters are read.
    if (button == recall) steps.push_back(trace.Steps() - 1);
    for (const Kind kind : {Kind::kRefused, Kind::kLostReply, Kind::kSilentUnit}) {
      for (const int step : steps) {
        SCOPED_TRACE(testing::Message() << Name(kind) << " at " << step << ": "
                                        << trace.requests.at(static_cast<std::size_t>(step - 1)));
        reported.clear();
        const std::size_t seenBefore = script.Seen().size();
        bus.bus.AddFault(trace.FaultAt(kind, step));
        Click(button, true);
        bus.bus.ClearFaults();
        EXPECT_EQ(reported.size() + testsupport::FailuresToldInBoxes(script, seenBefore), 1u)
            << "one failure, one report";
        const bool written =
            std::any_of(trace.requests.begin() + named, trace.requests.begin() + step,
                        [](const std::string& r) { return r.find(":W") != std::string::npos; });
        const std::string said = button == store ? familycommon::kSaveNotFinishedText
                                 : kind == Kind::kSilentUnit
                                     ? familycommon::StoppedAnsweringText(written)
                                     : familycommon::kRecallNotFinishedText;
        EXPECT_THAT(script.Seen().back().text, testing::EndsWith(said));
        // The program's filters are the unit's once it answers again.
        EXPECT_EQ(unit->ListsStale(), kind == Kind::kSilentUnit && button == recall);
        unit->ReadAgainIfStale();
        const std::vector<std::string> program = Described(*unit);
        EXPECT_EQ(program, StateOf(*unit).filters);
      }
    }
  }
}

// A recall on a unit that falls silent is one failure: the signal-flow page, polling on once the
// command is over (behind its closing message), does not report the same silence again.
TEST_F(OlderFamilyUnitCommandTest, ARecallOnAUnitThatFallsSilentIsReportedOnceAlsoByThePolls) {
  TSigFlowDialog signalFlow(&parent, *unit);
  signalFlow.Create();
  signalFlow.Hide();
  const int recall = f8100res::kFirstRecallButton + 1;
  const CommandTrace trace = Traced([&] { Click(recall, false); });
  // From the recall's first request, after the memory's name read for the question, which leaves
  // the unit as it was, and from the unit's eighth filter slot read.
  const int first = trace.FirstStep("R1E") + 1;
  for (const int silentFrom : {first, trace.NthStep("W15 07", 1)}) {
    SCOPED_TRACE(silentFrom);
    reported.clear();
    const std::size_t seenBefore = script.Seen().size();
    bus.bus.AddFault(trace.FaultAt(Kind::kSilentUnit, silentFrom));
    Click(recall, true);
    PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
    signalFlow.Show();
    ui::test::PumpIdle(3);
    signalFlow.Hide();
    bus.bus.ClearFaults();
    EXPECT_EQ(reported.size() + testsupport::FailuresToldInBoxes(script, seenBefore), 1u)
        << "one failure, one report";
    EXPECT_THAT(script.Seen().back().text,
                testing::EndsWith(familycommon::StoppedAnsweringText(silentFrom != first)));
    unit->ReadAgainIfStale();
  }
}

// Past the wait, the closing message names what the unit holds where it stopped answering.
TEST_F(OlderFamilyUnitCommandTest, ALoadOnAUnitThatStopsAnsweringSaysWhatTheUnitHolds) {
  KeepStart();
  BackToStart();
  const CommandTrace trace = Traced([&] { EXPECT_TRUE(Load(false)); });
  BoundTheWait(Kind::kSilentUnit, {unit});
  const std::string left = LeftMuted("load");
  const std::string memorySettings = " and partly on the file's settings for memory 1";
  const std::string stored = "; memory 1 holds the file's settings.";
  const struct {
    int silentFrom;
    std::string said;
  } cases[] = {
      // The lock read: its report alone, nothing asked or written.
      {1, ""},
      {trace.FirstStep("W0D 00"), left + "."},
      {trace.NthStep("W0C", 1), left + memorySettings + "."},
      {trace.NthStep("W0E 01", 1),
       left + " and on the file's settings for memory 1. Memory 1 may hold its old settings or "
              "the file's."},
      {trace.NthStep("W0C", 2), left + " and partly on the file's current settings" + stored},
      {trace.Steps(), left + " and on the file's current settings" + stored},
  };
  for (const auto& [silentFrom, said] : cases) {
    SCOPED_TRACE(silentFrom);
    BackToStart();
    reported.clear();
    bus.bus.AddFault(trace.FaultAt(Kind::kSilentUnit, silentFrom));
    const std::size_t seen = script.Seen().size();
    EXPECT_FALSE(Load(!said.empty(), !said.empty()));
    bus.bus.ClearFaults();
    ExpectOneReport(seen, 2);
    if (said.empty()) {
      EXPECT_EQ(script.Seen().size(), seen);
    } else {
      EXPECT_EQ(Closing(), said + kReadAgain);
    }
  }
}

TEST_F(OlderFamilyUnitCommandTest, OneFaultAnywhereInALoadGivesOneReportAndATrueClosingMessage) {
  OneFaultAnywhereInALoadGivesOneReportAndATrueClosingMessage({6, kEveryKind});
}

TEST_F(OlderFamilyOldFirmwareUnitCommandTest,
       OneFaultAnywhereInALoadGivesOneReportAndATrueClosingMessage) {
  ASSERT_FALSE(unit->DeletesAllAtOnce());
  OneFaultAnywhereInALoadGivesOneReportAndATrueClosingMessage(kOldFirmwareCases);
}

void OlderFamilyUnitCommandTest::OneFaultAnywhereInALoadGivesOneReportAndATrueClosingMessage(
    FaultCases cases) {
  KeepStart();
  const UnitState before = StateOf(*unit);
  const CommandTrace trace = Traced([&] { EXPECT_TRUE(Load(false)); });
  const UnitState loaded = StateOf(*unit);
  ASSERT_NE(loaded, before);

  // The lock read comes first; a failed one ends the load with its report alone. Nothing is
  // written before the unit is muted.
  constexpr int kLockRead = 1;
  const int firstWrite = trace.FirstStep("W0D 00");

  std::vector<int> steps = trace.SpreadSteps(kLockRead, cases.spread);
  std::ranges::copy(trace.NamingSteps(true), std::back_inserter(steps));
  // The store, and the unit's ready poll after it.
  const int store = trace.NthStep("W0E 01", 1);
  steps.push_back(store + 1);
  trace.AddFirstTypeReadWhileMuted(steps);
  for (const Kind kind : cases.kinds) {
    BoundTheWait(kind, {unit});
    for (const int step : steps) {
      // A pause that ends in the lock read or a filter read before the unit is muted is a late
      // answer to a read; it changes nothing on the unit.
      if (kind == Kind::kPause && step < firstWrite) continue;
      const bool lockRead = step == kLockRead;
      const bool left = kind == Kind::kSilentUnit && step >= firstWrite;
      SCOPED_TRACE(testing::Message() << Name(kind) << " at " << step << ": "
                                      << trace.requests.at(static_cast<std::size_t>(step - 1)));
      BackToStart();
      ASSERT_EQ(StateOf(*unit), before);
      reported.clear();
      bus.bus.AddFault(trace.FaultAt(kind, step));
      const std::size_t seen = script.Seen().size();
      EXPECT_FALSE(Load(!lockRead, !lockRead));
      bus.bus.ClearFaults();
      ExpectOneReport(seen, 2);
      // A unit that fell silent is read again once it answers, and the box says so.
      const bool silent = kind == Kind::kSilentUnit;
      if (lockRead) {
        EXPECT_EQ(script.Seen().size(), seen) << "no question, no closing message";
      } else if (left) {
        EXPECT_THAT(Closing(), StartsWith(LeftMuted("load")));
        EXPECT_THAT(Closing(), testing::EndsWith(kReadAgain));
      } else {
        EXPECT_EQ(Closing(),
                  trace.PutBackText("load", "the file's", step) + (silent ? kReadAgain : ""));
      }
      // The program's lists are the unit's once it answers again.
      unit->ReadAgainIfStale();
      const std::vector<std::string> program = Described(*unit);
      const UnitState after = StateOf(*unit);
      EXPECT_EQ(program, after.filters);
      if (!left) {
        EXPECT_EQ(after, trace.Expected(before, loaded, step));
      }
    }
  }
}

// A save or a report recalls memories while the unit is muted. Wherever a fault stops it, a unit
// that answers again within the wait gets its settings back and its mute lifted; past the wait,
// one closing message names what the unit holds.
TEST_F(OlderFamilyUnitCommandTest,
       OneFaultAnywhereInASaveOrReportPutsTheUnitBackOrSaysWhatItHolds) {
  OneFaultAnywhereInASaveOrReportPutsTheUnitBackOrSaysWhatItHolds({6, kEveryKind});
}

TEST_F(OlderFamilyOldFirmwareUnitCommandTest,
       OneFaultAnywhereInASaveOrReportPutsTheUnitBackOrSaysWhatItHolds) {
  ASSERT_FALSE(unit->DeletesAllAtOnce());
  OneFaultAnywhereInASaveOrReportPutsTheUnitBackOrSaysWhatItHolds(kOldFirmwareCases);
}

void OlderFamilyUnitCommandTest::OneFaultAnywhereInASaveOrReportPutsTheUnitBackOrSaysWhatItHolds(
    FaultCases cases) {
  KeepStart();
  bus.x.Key().WriteMemoryMask(FamilyKey8100::kFileSave, 0x3);
  bus.x.Key().WriteMemoryMask(FamilyKey8100::kReport, 0x3);
  const std::string saved = folder.filePath("saved.ov0").toStdString();
  const std::string listed = folder.filePath("report.txt").toStdString();
  const auto chooseMemories = [&] {
    script.RunDialog(f8100res::kMemorySelectDialog,
                     [](ui::Dialog& dialog) { dialog.CloseWindow(ui::kIdOk); });
  };
  // Each command, with its closing message answered when one is due.
  // The file is there from the first run on: it is replaced.
  const auto answerSaveFile = [&](const std::string& path) {
    script.AnswerSaveFile(path);
    if (QFileInfo::exists(QString::fromStdString(path))) script.AnswerMessageBox(ui::kIdYes);
  };
  // A command that a failed lock read ends asks nothing.
  const std::function<bool(bool, bool)> save = [&](bool closingMessage, bool pastLock) {
    if (pastLock) {
      answerSaveFile(saved);
      chooseMemories();
    }
    if (closingMessage) script.AnswerMessageBox(ui::kIdOk);
    return unit->SaveFile();
  };
  const std::function<bool(bool, bool)> report = [&](bool closingMessage, bool pastLock) {
    if (pastLock) {
      chooseMemories();
      answerSaveFile(listed);
    }
    if (closingMessage) script.AnswerMessageBox(ui::kIdOk);
    return unit->PrintReport();
  };
  const std::string notSaved = "The settings were not saved.";
  const std::string putBack = " The unit's current settings were put back as they were.";
  const UnitState before = StateOf(*unit);
  for (const auto& commandRun : {std::pair("save", save), std::pair("report", report)}) {
    const std::string command = commandRun.first;
    const std::function<bool(bool, bool)>& run = commandRun.second;
    BackToStart();
    const CommandTrace trace = Traced([&] { EXPECT_TRUE(run(false, true)); });
    ASSERT_EQ(StateOf(*unit), before);
    const std::string savedText = filestest::ReadText(saved);
    const int firstWrite = trace.FirstStep("W0D 00");
    const int secondRecall = trace.NthStep("W0F 02", 1);
    // Past the wait: muted, on the memory last recalled, and partly back from it.
    const std::map<int, std::string> holds = {
        {firstWrite, LeftMuted(command) + "."},
        {secondRecall, LeftMuted(command) + " and on the settings of its own memory 2."},
        {trace.NthStep("W0C", 1),
         LeftMuted(command) + " and partly on the settings of its own memory 2."},
        {trace.Steps(), LeftMuted(command) + "."},
    };
    std::vector<int> steps = trace.SpreadSteps(1, cases.spread);
    for (const auto& [step, said] : holds) steps.push_back(step);
    steps.push_back(trace.NthStep("W0F 01", 1));
    for (const Kind kind : cases.kinds) {
      BoundTheWait(kind, {unit});
      for (const int step : steps) {
        if (kind == Kind::kPause && step < firstWrite) continue;
        SCOPED_TRACE(testing::Message() << command << ", " << Name(kind) << " at " << step << ": "
                                        << trace.requests.at(static_cast<std::size_t>(step - 1)));
        // A failed lock read ends the command with its report alone.
        const bool lockRead = step == 1;
        const bool left = kind == Kind::kSilentUnit && step >= firstWrite;
        // Every failed save closes with a message; a report only where the unit is left.
        const bool closing = left || (command == "save" && !lockRead);
        BackToStart();
        unit->SetModified(true);
        reported.clear();
        bus.bus.AddFault(trace.FaultAt(kind, step));
        const std::size_t seen = script.Seen().size();
        EXPECT_FALSE(run(closing, !lockRead));
        bus.bus.ClearFaults();
        ExpectOneReport(seen, 2);
        if (lockRead) {
          EXPECT_EQ(script.Seen().size(), seen) << "no question, no closing message";
        }
        const std::string said = closing ? Closing() : "";
        if (left) {
          EXPECT_THAT(said, StartsWith(LeftMuted(command)));
          if (holds.contains(step)) {
            EXPECT_EQ(said, holds.at(step));
          }
        } else {
          if (closing) {
            EXPECT_EQ(said, step < firstWrite ? notSaved : notSaved + putBack);
          }
          unit->ReadAgainIfStale();
          EXPECT_EQ(StateOf(*unit), before);
        }
        if (command == "save") {
          EXPECT_EQ(filestest::ReadText(saved), savedText) << "a failed save keeps the old file";
          EXPECT_TRUE(unit->IsModified()) << "and the unsaved mark";
        }
      }
    }
  }
}

// A preset the unit left empty takes no empty entry back: once the load wrote it, the closing
// message names it.
TEST_F(OlderFamilyUnitCommandTest, APresetThatCannotBePutBackIsNamed) {
  unit->SaveMemory(12);
  const auto setBack = [&] {
    Label(*unit, "Hall", "Evening", 0);
    bus.bus.WithUnit(index, [](sim::Unit& simulated) {
      dynamic_cast<sim::family8100::Family8100Unit&>(simulated).ClearPreset(6);
    });
    unit->RestoreMemory(12);
    unit->ResetValueStore();
    unit->ReadAllParameters();
  };
  setBack();
  const CommandTrace trace = Traced([&] { EXPECT_TRUE(Load(false)); });
  const std::string restored =
      "The load was not finished. The unit's current settings were put back as they were; memory "
      "1 holds the file's settings.";
  const std::pair<int, std::string> cases[] = {
      {trace.NthStep("W25", 1), restored},
      {trace.NthStep("W25", 11),
       restored + "\n\nPreset 6 could not be put back: the unit takes no empty preset."},
  };
  for (const auto& [step, said] : cases) {
    SCOPED_TRACE(step);
    setBack();
    bus.bus.AddFault(trace.FaultAt(Kind::kRefused, step));
    EXPECT_FALSE(Load(true));
    bus.bus.ClearFaults();
    EXPECT_EQ(Closing(), said);
    g8100PresetIndex.Write(*unit, 5);
    EXPECT_EQ(unit->GetPresetMapEntry(), 5) << "the others are put back";
  }
}

// A unit that never reports itself ready is given up within one bound, however many writes the
// load and its put-back still have for it, and was never written.
TEST_F(OlderFamilyUnitCommandTest, AUnitThatNeverGetsReadyIsToldOfWithinOneBound) {
  const UnitState before = StateOf(*unit);
  constexpr int kBoundPolls = 6;
  unit->SetReadyBound({.maxPolls = kBoundPolls});
  bus.bus.StoreElement(index, sim::family8100::kReadyId, 0, {0});
  bustest::TakeRequestTrace(bus.bus);
  EXPECT_FALSE(Load(true));
  // Told in the closing message, not by the error dialog.
  EXPECT_TRUE(reported.empty());
  EXPECT_THAT(script.Seen().back().text, StartsWith(kNotReadyText));
  // Its lists could not be read again meanwhile: they are, once it is ready.
  EXPECT_THAT(script.Seen().back().text,
              testing::EndsWith("\n\nThe load was not finished; nothing was written to the unit." +
                                kReadAgain));
  const std::vector<std::string> requests = bustest::TakeRequestTrace(bus.bus);
  // One bound, then one poll for each later write: the quiet read's three tries.
  EXPECT_EQ(std::ranges::count(requests, "R06"), kBoundPolls + 3);
  EXPECT_EQ(std::ranges::count_if(requests, [](const std::string& r) { return r[0] == 'W'; }), 0);
  bus.bus.StoreElement(index, sim::family8100::kReadyId, 0, {1});
  EXPECT_EQ(StateOf(*unit), before);
}

}  // namespace
