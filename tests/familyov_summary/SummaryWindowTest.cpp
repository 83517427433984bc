// The unit summary against simulated units through the pseudo-terminal: its layout, what its
// panes write, the mixer map, the menu and the option that opens it with the unit.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "bus/PollBackoff.h"
#include "controls/TPolarityButton.h"
#include "familyov/channels/LevelWindows.h"
#include "familyov/channels/TLimiterWindow.h"
#include "familyov/channels/TSummaryWindow.h"
#include "familyov/filters/FilterClasses.h"
#include "familyov/unit/ChildWindowFactory.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditModelWindows.h"
#include "familyov/unit/TMemoryWindow.h"
#include "platform/registry/Key.h"
#include "platform/registry/Store.h"
#include "platform/ui/Application.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/ControlsResources.h"
#include "resources/FamilyOvChannelIds.h"
#include "resources/FamilyOvFunctionIds.h"
#include "resources/FamilyOvIds.h"
#include "resources/FamilyOvProcessingIds.h"
#include "resources/FamilyOvSummaryIds.h"
#include "sim/Fault.h"
#include "tests/familyov_unit/GuiTestEnvironment.h"
#include "tests/familyov_unit/OVTestSupport.h"
#include "tests/support/EventLoopCpu.h"
#include "tests/support/FailureInBox.h"
#include "tests/support/PollsResumed.h"

namespace namespaceOV {
namespace {

using namespace ovsummary_res;
using sim::familyov::Model;
using testing::ElementsAre;
using testing::IsEmpty;

const auto* const kEnvironment = ovtest::AddGuiEnvironment("familyov_summary_tests");

constexpr int kChannelGroupObject = 0x1D;
constexpr int kChannelNameObject = 0x30;
constexpr int kLastMemoryObject = 0x41;

void Grab(ui::Window& window, const std::string& name) {
  std::filesystem::create_directories(GALLERY_DIR);
  EXPECT_TRUE(ui::test::GrabPng(window, std::string(GALLERY_DIR "/") + name));
}

std::string ControlText(ui::Window& pane, int id) { return ui::test::ControlOf(pane, id).Text(); }

// A window of another kind that the summary opens, standing in for the real one.
class StandIn : public OVChild<ui::Frame> {
 public:
  explicit StandIn(TEditOVWindow& edit) : OVChild<ui::Frame>(edit, "Stand-in", "", nullptr) {}
  void Notify(NotifyRecord* record) override { TDataWindow::Notify(record); }
};

// A window that only hears what the others tell.
class Recorder : public OVChild<ui::Frame> {
 public:
  explicit Recorder(TEditOVWindow& edit) : OVChild<ui::Frame>(edit, "Recorder", "", nullptr) {}
  void Notify(NotifyRecord* record) override {
    if (heard) heard(*record);
    TDataWindow::Notify(record);
  }
  std::function<void(const NotifyRecord&)> heard;
};

class SummaryTest : public testing::Test {
 protected:
  SummaryTest() {
    bus.port.SetRetries(0);
    index = bus.AddModelUnit(Model::k8148, 5);
    device = &dynamic_cast<IQDevice8148&>(*bus.RollCall({&type}).at(0));
    device->autoOpenSummary = 0;
    type.SetRegistryKey(store.Root().OpenSubKey("TelvoWin2 Settings", true));
    ovtest::ReportedErrors().clear();
  }
  ~SummaryTest() override { RegisterChildWindow(ChildKind::Mixing, nullptr); }

  TSummaryWindow& Open() {
    edit = std::make_unique<TEdit8148Window>(nullptr, *device);
    edit->Create();
    edit->OpenChildWindow(edit->Ids().summary);
    auto* summary = dynamic_cast<TSummaryWindow*>(edit->ChildWindow(edit->Ids().summary));
    if (summary == nullptr) throw std::logic_error("no summary");
    bus.TakeTrace();
    return *summary;
  }
  std::vector<std::string> Writes() {
    std::vector<std::string> writes;
    for (auto& line : bus.TakeTrace()) {
      if (line[0] == 'W') writes.push_back(line);
    }
    return writes;
  }
  void SetGroup(int channel, uint8_t group) {
    bus.StoreByte(index, kChannelGroupObject, channel, group);
  }
  void SetName(int channel, const std::string& name) {
    std::vector<uint8_t> text(name.begin(), name.end());
    text.resize(12);
    bus.bus.StoreElement(index, kChannelNameObject, channel, text);
  }
  void SetCrosspoint(int output, int input, float dB) {
    gCrosspointLevelObject.SetElement(output * device->matrixInputs + input);
    gCrosspointLevelObject.Write(*device, dB);
  }

  ovtest::FamilyBus bus;
  registry::Store store;
  IQ8148Type type;
  int index = 0;
  IQDevice8148* device = nullptr;
  std::unique_ptr<TEdit8148Window> edit;
};

TEST(MixerMapTest, NodesStandLevelWithThePanes) {
  const MixerMapNodes nodes = PlaceMixerMapNodes({0, 0, 90, 390}, 2, 65, 6, 65);
  EXPECT_THAT(nodes.inputs, ElementsAre(ui::Point{15, 163}, ui::Point{15, 228}));
  EXPECT_THAT(nodes.outputs,
              ElementsAre(ui::Point{75, 33}, ui::Point{75, 98}, ui::Point{75, 163},
                          ui::Point{75, 228}, ui::Point{75, 293}, ui::Point{75, 358}));
}

TEST_F(SummaryTest, ThreeColumnsOverTheFooter) {
  TSummaryWindow& summary = Open();
  TSummaryPanes& panes = summary.Panes();
  EXPECT_EQ(summary.Text(), "Unit Summary--" + device->GetDisplayName());
  EXPECT_EQ(panes.StubCount(), (device->outputs - device->inputs) / 2);
  EXPECT_EQ(ControlText(panes.Input(0), kChannelLabel), "1");
  EXPECT_EQ(ControlText(panes.Output(0), kChannelLabel), "A");
  EXPECT_EQ(ControlText(panes.Output(0), kCrossoversButton), "Crossovers: <None>");
  EXPECT_EQ(ControlText(panes.Output(0), kLimiterButton), "Limiter: Off");
  EXPECT_EQ(ControlText(panes.Input(0), kInputDelay), "0.000 ms");
  // The map stands between the columns, as tall as the outputs; the inputs centre on it.
  const ui::Rect map = panes.Map().WindowRect();
  const ui::Rect firstOutput = panes.Output(0).WindowRect();
  EXPECT_EQ(map.Width(), TMixerSummaryWindow::kWidth);
  EXPECT_EQ(map.right, firstOutput.left);
  EXPECT_EQ(map.Height(), device->outputs * firstOutput.Height());
  EXPECT_EQ(panes.Input(0).WindowRect().top,
            panes.StubCount() * panes.Input(0).WindowRect().Height());
  EXPECT_GE(panes.Footer().WindowRect().top, map.bottom);

  // What the panes show follows the records the unit's windows send.
  device->SetLowCrossover(0, std::make_unique<TLowCrossover>());
  device->SetHighCrossover(1, std::make_unique<THighCrossover>());
  bus.StoreByte(index, kLastMemoryObject, 0, 3);
  ovtest::SetMemoryName(*device, 3, "Show");
  NotifyRecord refresh{RefreshAll, 0, 0, nullptr};
  edit->Notify(&refresh);
  EXPECT_EQ(ControlText(panes.Output(0), kCrossoversButton), "Crossovers: Low");
  EXPECT_EQ(ControlText(panes.Output(1), kCrossoversButton), "Crossovers: High");
  EXPECT_EQ(ControlText(panes.Footer(), kLastMemory), "#3, 'Show'");
  float threshold = -6.5f;
  NotifyRecord limiter{LimiterThresholdChanged, device->firstOutput + 1, 0, &threshold};
  edit->Notify(&limiter);
  EXPECT_EQ(ControlText(panes.Output(1), kLimiterButton), "Limiter: -6.5");
  // "Mod" follows the settings-changed mark without asking the unit.
  auto& mod = dynamic_cast<TLEDButton&>(ui::test::ControlOf(panes.Footer(), kModifiedLamp));
  device->settingsChanged = true;
  ui::test::PumpIdle();
  EXPECT_EQ(mod.GetState(), TLEDButton::kYellow);
  device->settingsChanged = false;
  bus.TakeTrace();
  ui::test::PumpIdle();
  EXPECT_EQ(mod.GetState(), TLEDButton::kOff);
  // Tab runs through the inputs, then the outputs.
  summary.Show();
  summary.Widget()->activateWindow();
  ui::test::PumpMessages();
  panes.MoveFocus(&panes.Input(device->inputs - 1), false);
  EXPECT_TRUE(ui::test::ControlOf(panes.Output(0), kName).IsFocusOfItsWindow());
  // Tab from a name stops on the next pane's "Filters" button, never in its name, all selected.
  ui::test::PressKey(ui::test::ControlOf(panes.Output(0), kName), Qt::Key_Tab);
  EXPECT_TRUE(ui::test::ControlOf(panes.Output(1), kFiltersButton).IsFocusOfItsWindow());
  EXPECT_FALSE(ui::test::ControlOf(panes.Output(1), kName).IsFocusOfItsWindow());
  Grab(summary, "unit-summary.png");
  EXPECT_THAT(ovtest::ReportedErrors(), IsEmpty());
}

TEST_F(SummaryTest, PanesWriteWhatTheUserTypesOncePerMember) {
  TSummaryWindow& summary = Open();
  TChannelSummaryDialog& input = summary.Panes().Input(0);
  TOutputSummaryDialog& output = summary.Panes().Output(0);

  // Levels are clamped to the side's range; a name is written only when it changed.
  ui::test::Type(input, kInputLevel, "30");
  input.CommitLevel();
  ui::test::Type(output, kOutputLevel, "-90");
  output.CommitLevel();
  ui::test::Type(input, kName, "Vocals");
  input.CommitName();
  input.CommitName();
  EXPECT_EQ(Writes().size(), 3u);
  EXPECT_FLOAT_EQ(ovtest::ChannelLevel(*device, 0), 24.0f);
  EXPECT_NEAR(ovtest::ChannelLevel(*device, device->firstOutput), -80.0f, 1e-3);
  EXPECT_EQ(ControlText(input, kInputLevel), "24.0");

  // A delay typed in another unit is taken in it; the display unit stays.
  ui::test::Type(input, kInputDelay, "3 m");
  input.CommitDelay();
  EXPECT_THAT(Writes(), ElementsAre("W1F.0 000001A4"));
  EXPECT_EQ(ControlText(input, kInputDelay), "8.750 ms");
  ui::test::Type(output, kOutputDelay, "12");
  output.CommitDelay();
  EXPECT_THAT(Writes(), ElementsAre("W1F.4 00000240"));
  // Nine digits are cut to the delay memory that the other channels leave.
  ui::test::Type(output, kOutputDelay, "999999999");
  output.CommitDelay();
  char expected[16];
  std::snprintf(expected, sizeof expected, "W1F.4 %08X", device->GetDelayCapacity() - 420);
  EXPECT_THAT(Writes(), ElementsAre(expected));
  // The focus passing through a level the edit shows rounded writes nothing.
  ovtest::SetChannelLevel(*device, 2, 3.25f);
  NotifyRecord changed{LevelChanged, 2, 0, nullptr};
  edit->Notify(&changed);
  Writes();
  summary.Panes().Input(2).CommitLevel();
  summary.Panes().Input(2).CommitDelay();
  EXPECT_THAT(Writes(), IsEmpty());
  // Escape shows the unit's values again and writes nothing.
  ui::test::Type(input, kInputLevel, "5");
  ui::test::PressKey(ui::test::ControlOf(input, kInputLevel), Qt::Key_Escape);
  EXPECT_EQ(ControlText(input, kInputLevel), "24.0");
  EXPECT_THAT(Writes(), IsEmpty());

  // Polarity is the output's own; mute follows the group, one write per member.
  output.CmPolarity();
  EXPECT_THAT(Writes(), ElementsAre("W32.0 BF800000"));
  SetGroup(device->firstOutput, 1);
  SetGroup(device->firstOutput + 2, 1);
  device->InvalidateValues();
  output.CmMute();
  EXPECT_THAT(Writes(), ElementsAre("W20.4 01", "W20.6 01"));
  for (const int member : {0, 2}) {
    auto& lamp =
        dynamic_cast<TLEDButton&>(ui::test::ControlOf(summary.Panes().Output(member), kMute));
    EXPECT_EQ(lamp.GetState(), TLEDButton::kRed);
    EXPECT_EQ(lamp.ui::Window::Text(), "Mute");  // the caption the lamp draws
  }
  EXPECT_THAT(ovtest::ReportedErrors(), IsEmpty());

  // A grouped level step moves each member once, limited by the highest member, also while the
  // level window that shows the same group is open.
  SetGroup(0, 7);
  SetGroup(1, 7);
  ovtest::SetChannelLevel(*device, 0, 20.0f);
  ovtest::SetChannelLevel(*device, 1, 23.0f);
  device->InvalidateValues();
  edit->OpenChildWindow(edit->Ids().inputLevel);
  auto* levels = dynamic_cast<TInputLevelWindow*>(edit->ChildWindow(edit->Ids().inputLevel));
  ASSERT_NE(levels, nullptr);
  Writes();
  ui::test::Type(input, kInputLevel, "26");
  input.CommitLevel();
  EXPECT_EQ(Writes().size(), 2u);
  EXPECT_FLOAT_EQ(ovtest::ChannelLevel(*device, 0), 21.0f);
  EXPECT_FLOAT_EQ(ovtest::ChannelLevel(*device, 1), 24.0f);
  EXPECT_EQ(ControlText(summary.Panes().Input(1), kInputLevel), "24.0");
  EXPECT_EQ(ControlText(levels->Pane(1), ovchannels_res::kLevelText), "24.0");
  EXPECT_THAT(ovtest::ReportedErrors(), IsEmpty());
}

// A channel's name is told to the other windows only once the unit has taken it; a refused one
// shows the unit's name again, one in doubt shows none.
TEST_F(SummaryTest, ARenameIsToldOnlyOnceTheUnitTakesIt) {
  std::vector<int> renamed;
  RegisterChildWindow(ChildKind::Mixing, [&](TEditOVWindow& w, int) {
    auto window = std::make_unique<Recorder>(w);
    window->heard = [&](const NotifyRecord& r) {
      if (r.code == ChannelRenamed) renamed.push_back(r.channel);
    };
    return window;
  });
  TChannelSummaryDialog& input = Open().Panes().Input(1);
  edit->OpenChildWindow(edit->Ids().mixing);
  const std::string unitName = ControlText(input, kName);
  for (const testsupport::Condition& condition : testsupport::Conditions(ovtest::kRefusalCode)) {
    SCOPED_TRACE(condition.name);
    if (condition.fault) bus.bus.AddFault(condition.fault->ForUnit(5));
    ui::test::Type(input, kName, condition.fault ? "Refused" : unitName + "!");
    input.CommitName();
    EXPECT_EQ(ControlText(input, kName), !condition.fault    ? unitName + "!"
                                         : condition.refused ? unitName
                                                             : "");
    EXPECT_EQ(renamed, condition.fault ? std::vector<int>{} : std::vector<int>{1});
    bus.bus.ClearFaults();
    testsupport::ResumePollsAndSettle();
    ui::test::Type(input, kName, unitName);
    input.CommitName();
    renamed.clear();
  }
}

TEST_F(SummaryTest, SpinsStepByTheirZone) {
  ui::test::UseManualTimers();
  TSummaryWindow& summary = Open();
  TChannelSummaryDialog& input = summary.Panes().Input(0);
  const auto press = [&](int spinId, int zone) {
    auto& spin = dynamic_cast<TQuadButton&>(ui::test::ControlOf(input, spinId));
    const ui::Rect r = spin.ZoneRect(zone);
    const ui::Point p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ui::test::MouseDown(spin, p);
    ui::test::PumpMessages();
    ui::test::MouseUp(spin, p);
  };
  press(kInputLevelSpin, TQuadButton::kUpperLeft);
  press(kInputLevelSpin, TQuadButton::kLowerRight);
  EXPECT_NEAR(ovtest::ChannelLevel(*device, 0), 1.5f, 1e-4);
  EXPECT_EQ(ControlText(input, kInputLevel), "1.5");
  press(kInputDelaySpin, TQuadButton::kUpperRight);
  EXPECT_THAT(Writes().back(), "W1F.0 00000001");
  ui::Application::Instance()->RouteCommand(kCmUnitsFeet, &summary);
  Writes();
  press(kInputDelaySpin, TQuadButton::kUpperLeft);
  EXPECT_THAT(Writes(), ElementsAre("W1F.0 0000002B"));
  EXPECT_EQ(ControlText(input, kInputDelay), "1.024 ft");

  // A grouped delay moves every member by the same step, each written once.
  SetGroup(0, 7);
  SetGroup(1, 7);
  device->InvalidateValues();
  ui::test::Type(input, kInputDelay, "2 ft");
  input.CommitDelay();
  EXPECT_THAT(Writes(), ElementsAre("W1F.0 00000054", "W1F.1 00000029"));
  EXPECT_EQ(ControlText(summary.Panes().Input(1), kInputDelay), "0.976 ft");
}

TEST_F(SummaryTest, MapDrawsTheCrosspointsAndOpensTheMixer) {
  for (int o = 0; o < device->outputs; ++o) {
    for (int i = 0; i < device->inputs; ++i) SetCrosspoint(o, i, -100.0f);
  }
  SetCrosspoint(0, 0, 0.0f);
  SetCrosspoint(2, 1, -99.9f);
  TSummaryWindow& summary = Open();
  TMixerSummaryWindow& map = summary.Panes().Map();
  EXPECT_TRUE(map.Feeds(0, 0));
  EXPECT_TRUE(map.Feeds(1, 2));
  EXPECT_FALSE(map.Feeds(1, 0));
  const ui::Point a = map.Nodes().inputs[0];
  const ui::Point b = map.Nodes().outputs[0];
  EXPECT_EQ(ui::test::SamplePixel(map, {(a.x + b.x) / 2, (a.y + b.y) / 2}), ui::kGreen);

  SetCrosspoint(0, 0, -100.0f);
  NotifyRecord changed{CrosspointChanged, 0, 0, nullptr};
  edit->Notify(&changed);
  EXPECT_FALSE(map.Feeds(0, 0));

  RegisterChildWindow(ChildKind::Mixing,
                      [](TEditOVWindow& w, int) { return std::make_unique<StandIn>(w); });
  ui::test::MouseDown(map, {10, 10});
  EXPECT_NE(edit->ChildWindow(edit->Ids().mixing), nullptr);
}

TEST_F(SummaryTest, MetersMoveAndASilentUnitGivesOneReport) {
  const char* const names[] = {"Vocal L", "Vocal R",   "Playback L", "Playback R",
                               "Main L",  "Main R",    "Sub",        "Fill L",
                               "Fill R",  "Monitor 1", "Monitor 2",  "Booth"};
  for (int c = 0; c < device->channels; ++c) SetName(c, names[c]);
  for (int o = 0; o < device->outputs; ++o) {
    for (int i = 0; i < device->inputs; ++i)
      SetCrosspoint(o, i, o / 2 == i || o > 5 ? 0.0f : -100.0f);
  }
  TSummaryWindow& summary = Open();
  summary.Show();
  ui::test::PumpIdle(3 * device->channels);
  for (int o = 0; o < device->outputs; ++o) {
    EXPECT_GT(summary.Panes().Output(o).Meter().Level(), -40.0f) << o;
  }
  Grab(summary, "unit-summary-8148.png");
  if (std::getenv("TELVO_UPDATE_DOCS") != nullptr) {
    EXPECT_TRUE(ui::test::GrabPng(summary, DOCS_DIR "/unit-summary-8148.png"));
  }
  EXPECT_THAT(ovtest::ReportedErrors(), IsEmpty());

  // Every pane polls the same unit: one report when it falls silent, and the window stays usable.
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(5));
  ui::test::PumpIdle(2 * device->channels);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  bus.bus.ClearFaults();
  ui::test::Type(summary.Panes().Input(0), kName, "Lead");
  summary.Panes().Input(0).CommitName();
  EXPECT_EQ(Writes().size(), 1u);
}

// The bus dies with every polling window of the unit open: one report for the unit, then the
// program waits at next to no cost instead of failing thousands of writes a second.
TEST_F(SummaryTest, ADeadBusIsReportedOnceAndThenCostsNothing) {
  Open();
  const NodeIds& ids = edit->Ids();
  for (int node : {ids.inputLevel, ids.outputLevel, ids.limiter, ids.dspCapacity, ids.mixing,
                   ids.advancedMixer, ids.compressors, ids.inputDelay, ids.firstChannel}) {
    // A node the unit lacks (compressors without the option) would say so in a message box.
    if (node != NodeIds::kAbsent) edit->OpenChildWindow(node);
  }
  ui::test::PumpIdle(40);
  ASSERT_THAT(ovtest::ReportedErrors(), IsEmpty());
  bus.bus.HangUp();
  EXPECT_TRUE(testsupport::RunLoopUntil([] { return !ovtest::ReportedErrors().empty(); }));
  EXPECT_LT(testsupport::CpuShareWhileWaiting(std::chrono::milliseconds(1500)), 0.10);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
}

// The unit pauses for longer than the program waits: the polls meanwhile time out (one report),
// and when the unit resumes, their late answers arrive just ahead of the next one's. The next
// reads are answered by what they asked for: the unit's name stays in the titles and the meters
// follow the signal.
TEST_F(SummaryTest, AUnitThatStallsAndAnswersLateIsReadRightAfterwards) {
  constexpr int kUnitNameObject = 0x15;
  std::vector<uint8_t> name(15);
  std::ranges::copy(std::string("Front of House"), name.begin());
  bus.bus.StoreElement(index, kUnitNameObject, 0, name);
  TSummaryWindow& summary = Open();
  summary.Show();
  const std::string title = "Unit Summary--" + device->GetDisplayName();
  EXPECT_NE(title.find("Front of House"), std::string::npos) << title;
  // The meters of a unit that answers show a level that moves from poll to poll.
  const auto meterReadings = [&] {
    std::set<float> levels;
    for (int round = 0; round < 4; ++round) {
      ui::test::PumpIdle(3 * device->channels);
      levels.insert(summary.Panes().Output(0).Meter().Level());
    }
    return levels.size();
  };
  ASSERT_GT(meterReadings(), 1u);

  constexpr int kLatePolls = 5;
  bus.bus.AddFault(sim::Fault::Pause(kLatePolls).ForUnit(5).Times(1));
  for (int poll = 0; poll < kLatePolls; ++poll) {
    PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
    ui::test::PumpIdle(1);
  }
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);

  // Everything is read anew, as when the unit's window opens again, the name first.
  device->InvalidateValues();
  PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
  EXPECT_EQ("Unit Summary--" + device->GetDisplayName(), title);
  edit->OpenChildWindow(edit->Ids().inputLevel);
  ui::Window* levels = edit->ChildWindow(edit->Ids().inputLevel);
  ASSERT_NE(levels, nullptr);
  EXPECT_NE(levels->Text().find("Front of House"), std::string::npos) << levels->Text();
  EXPECT_GT(meterReadings(), 1u) << "the meters move again";
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
}

// A value the unit did not give shows as unknown: neither a pane's template text, nor a figure
// the program never counted, nor one read before the unit fell silent stands in for it.
TEST_F(SummaryTest, WhatASilentUnitDidNotGiveShowsAsUnknown) {
  SetName(0, "Vocal");
  SetName(4, "Main");
  // The summary's fields, and the DSP capacity window's where it is open.
  const auto fields = [this](TSummaryWindow& summary) {
    TChannelSummaryDialog& input = summary.Panes().Input(0);
    TOutputSummaryDialog& output = summary.Panes().Output(0);
    TLastMemoryDialog& footer = summary.Panes().Footer();
    std::vector<std::string> shown{
        ControlText(input, kName), ControlText(input, kFiltersButton),
        ControlText(input, kInputLevel), ControlText(output, kName),
        ControlText(output, kOutputDelay), ControlText(output, kLimiterButton),
        ControlText(output, kCrossoversButton),
        // The caption the lamp draws.
        ui::test::ControlOf(output, kMute).ui::Window::Text(),
        ui::test::ControlOf(output, kPolarity).IsEnabled() ? "polarity" : "",
        ControlText(footer, kFiltersRemaining), ControlText(footer, kDspUsage),
        ControlText(footer, kLastLogic)};
    if (ui::Window* gas = edit->ChildWindow(edit->Ids().dspCapacity)) {
      shown.push_back(ControlText(*gas, ovprocessing_res::kGasFiltersRemain));
      shown.push_back(ControlText(*gas, ovprocessing_res::kGasTotal));
    }
    return shown;
  };
  std::vector<std::string> unknown{
      "", "Filters (?)",      "",  "", "", "Limiter: ?", "Crossovers: ?", "?",
      "", "? filters remain", "?", ""};
  TSummaryWindow& summary = Open();
  edit->OpenChildWindow(edit->Ids().dspCapacity);
  const std::vector<std::string> read = fields(summary);
  EXPECT_THAT(read, ElementsAre("Vocal", "Filters (0)", "0.0", "Main", "0.000 ms", "Limiter: Off",
                                "Crossovers: <None>", "", "polarity", testing::EndsWith(" remain"),
                                testing::EndsWith("%"), "0", testing::EndsWith(" remain"),
                                testing::EndsWith("%")));
  EXPECT_NE(read[9], "? filters remain");

  // Silent, what a refresh could not read is no longer known.
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(5));
  device->InvalidateValues();
  NotifyRecord refresh{RefreshAll, 0, 0, nullptr};
  edit->Notify(&refresh);
  std::vector<std::string> unknownWithCapacity = unknown;
  unknownWithCapacity.insert(unknownWithCapacity.end(), {"? filters remain", "?"});
  EXPECT_EQ(fields(summary), unknownWithCapacity);
  // Filled again while the unit was silent, every field is read again once it answers.
  bus.bus.ClearFaults();
  testsupport::ResumePollsAndSettle();
  EXPECT_EQ(fields(summary), read);
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(5));

  // Opened on the silent unit, the summary shows nothing it did not read; once the unit answers
  // its filters are read again and every field shows what the unit holds.
  edit.reset();
  ui::test::PumpMessages();
  EXPECT_EQ(fields(Open()), unknown);
  bus.bus.ClearFaults();
  testsupport::ResumePollsAndSettle();
  const std::vector<std::string> answered =
      fields(*dynamic_cast<TSummaryWindow*>(edit->ChildWindow(edit->Ids().summary)));
  EXPECT_EQ(answered, std::vector<std::string>(read.begin(), read.end() - 2));
}

TEST_F(SummaryTest, OpensWithTheUnitWhileTheOptionIsOn) {
  device->autoOpenSummary = 1;
  TEdit8148Window window(nullptr, *device);
  window.Create();
  auto* summary = dynamic_cast<TSummaryWindow*>(window.ChildWindow(window.Ids().summary));
  ASSERT_NE(summary, nullptr);
  auto* app = ui::Application::Instance();
  EXPECT_EQ(app->QueryCommand(kCmAutoOpen, summary).checked, true);
  EXPECT_TRUE(app->QueryCommand(kCmUnitName, summary).enabled);
  app->RouteCommand(kCmAutoOpen, summary);
  const registry::Key key =
      store.Root().OpenSubKey("TelvoWin2 Settings", false).OpenSubKey("Ordavinex 26", false);
  EXPECT_EQ(device->autoOpenSummary, 0);
  EXPECT_EQ(key.GetNumber("AutoOpen Summary"), 0u);
  app->RouteCommand(kCmAutoOpen, summary);
  EXPECT_EQ(key.GetNumber("AutoOpen Summary"), 1u);

  // The delay unit changes every delay shown; the check mark follows the unit.
  app->RouteCommand(kCmUnitsMeters, summary);
  EXPECT_EQ(app->QueryCommand(kCmUnitsMeters, summary).checked, true);
  EXPECT_EQ(ControlText(summary->Panes().Output(0), kOutputDelay), "0.000 m");
}

// Opening the menu asks its check marks of what the summary last read, never of the unit: a
// silent unit gives no report from a menu.
TEST_F(SummaryTest, TheMenuOfASilentUnitOpensWithoutAReport) {
  TSummaryWindow& summary = Open();
  auto* app = ui::Application::Instance();
  EXPECT_TRUE(app->QueryCommand(kCmUnitsMsec, &summary).checked);
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(5));
  device->InvalidateValues();
  for (int opening = 0; opening < 3; ++opening) {
    for (const int command : {kCmUnitsMsec, kCmUnitsFeet, kCmUnitsMeters}) {
      app->QueryCommand(command, &summary);
    }
  }
  EXPECT_THAT(ovtest::ReportedErrors(), IsEmpty());
  EXPECT_TRUE(app->QueryCommand(kCmUnitsMsec, &summary).checked) << "the last known unit";
}

// A write the user starts from a button, a spin, a list, a menu or a memory row while the unit
// fails it, with the summary, the memory and limiter windows and the tree open: once the unit
// answers, every one of them shows what the unit holds, as windows opened then do.
struct WritePath {
  const char* what;
  void (*act)(TEditOVWindow& edit, TSummaryWindow& summary);
  // Whether what it writes shows in a window: a memory saved shows nowhere.
  bool shown = true;
};

// Failures told in a command's closing box rather than in the error dialog.
int failuresToldInBoxes = 0;

class WritePathTest
    : public SummaryTest,
      public testing::WithParamInterface<std::tuple<WritePath, ovtest::WriteFailure>> {
 protected:
  // What the open windows show of what the paths write, the captions and tree with them.
  std::vector<std::string> Shown() {
    auto& summary = *dynamic_cast<TSummaryWindow*>(edit->ChildWindow(edit->Ids().summary));
    TChannelSummaryDialog& input = summary.Panes().Input(0);
    TOutputSummaryDialog& output = summary.Panes().Output(0);
    auto& memories = *dynamic_cast<TMemoryWindow*>(edit->ChildWindow(edit->Ids().memory));
    auto& limiter = *dynamic_cast<TLimiterWindow*>(edit->ChildWindow(edit->Ids().limiter));
    const auto lamp = [](ui::Window& pane, int id) {
      return std::to_string(dynamic_cast<TLEDButton&>(ui::test::ControlOf(pane, id)).GetState());
    };
    auto& polarity = dynamic_cast<TPolarityButton&>(ui::test::ControlOf(output, kPolarity));
    ui::Window& release = ui::test::ControlOf(limiter.Pane(0), ovprocessing_res::kLimRelease);
    const auto* channel = edit->FindNodeInfo(edit->ChannelNodeId(0));
    return {edit->Text(), summary.Text(), memories.Text(),
            channel != nullptr ? edit->Tree().ItemText(channel->item) : "no node",
            ControlText(input, kName), ControlText(input, kInputLevel),
            ui::test::ControlOf(output, kMute).ui::Window::Text() + lamp(output, kMute),
            polarity.IsEnabled() ? std::to_string(polarity.GetState()) : "?",
            ControlText(output, kLimiterButton), ControlText(summary.Panes().Footer(), kLastMemory),
            ControlText(memories.Row(2), ovfunctions_res::kMemoryName),
            lamp(memories.Row(2), ovfunctions_res::kMemoryLamp),
            // A limiter turned off shows none of its settings.
            release.IsEnabled() ? release.Text() : "off",
            release.IsEnabled() ? ControlText(limiter.Pane(0), ovprocessing_res::kLimThreshold)
                                : "off"};
  }
  void OpenAll() {
    Open();
    edit->OpenChildWindow(edit->Ids().memory);
    edit->OpenChildWindow(edit->Ids().limiter);
  }
};

TEST_P(WritePathTest, EveryOpenWindowShowsWhatTheUnitHoldsOnceItAnswers) {
  const auto& [path, failure] = GetParam();
  bus.StoreByte(index, gLimiterEnableObject.GetId(), device->firstOutput, 1);
  OpenAll();
  const std::vector<std::string> before = Shown();
  failuresToldInBoxes = 0;
  const auto told = [] { return ovtest::ReportedErrors().size() + failuresToldInBoxes; };
  bus.bus.AddFault(failure.fault.ForUnit(5));
  path.act(*edit, *dynamic_cast<TSummaryWindow*>(edit->ChildWindow(edit->Ids().summary)));
  EXPECT_EQ(told(), 1u);

  bus.bus.ClearFaults();
  testsupport::ResumePollsAndSettle();
  const std::vector<std::string> answered = Shown();
  EXPECT_EQ(told(), 1u);
  EXPECT_EQ(answered != before, failure.carriedOut && path.shown);
  edit.reset();
  ui::test::PumpMessages();
  device->InvalidateValues();
  OpenAll();
  EXPECT_EQ(answered, Shown());
}

void PressSpin(ui::Window& pane, int id, int zone) {
  auto& spin = dynamic_cast<TQuadButton&>(ui::test::ControlOf(pane, id));
  const ui::Rect r = spin.ZoneRect(zone);
  const ui::Point p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ui::test::MouseDown(spin, p);
  ui::test::PumpMessages();
  ui::test::MouseUp(spin, p);
}

// Clicks `id` of memory 2's row and answers its question; the box that tells the outcome closes,
// and counts as the report when it tells the failure with it.
void ClickMemoryRow(TEditOVWindow& edit, int id) {
  ui::PromptScript script([](const std::string&) {});
  script.AnswerMessageBox(ui::kIdOk);
  ui::test::Click(dynamic_cast<TMemoryWindow&>(*edit.ChildWindow(edit.Ids().memory)).Row(2), id);
  failuresToldInBoxes += static_cast<int>(testsupport::FailuresToldInBoxes(script));
}

INSTANTIATE_TEST_SUITE_P(
    NonTypedWrites, WritePathTest,
    testing::Combine(
        testing::Values(
            WritePath{"PolarityButton",
                      [](TEditOVWindow&, TSummaryWindow& summary) {
                        ui::test::Click(summary.Panes().Output(0), kPolarity);
                      }},
            WritePath{"LevelSpin",
                      [](TEditOVWindow&, TSummaryWindow& summary) {
                        PressSpin(summary.Panes().Input(0), kInputLevelSpin,
                                  TQuadButton::kUpperLeft);
                      }},
            WritePath{"LimiterThresholdSpin",
                      [](TEditOVWindow& edit, TSummaryWindow&) {
                        auto& limiter =
                            dynamic_cast<TLimiterWindow&>(*edit.ChildWindow(edit.Ids().limiter));
                        PressSpin(limiter.Pane(0), ovprocessing_res::kLimThresholdSpin,
                                  TQuadButton::kLowerLeft);
                      }},
            WritePath{"LimiterReleaseList",
                      [](TEditOVWindow& edit, TSummaryWindow&) {
                        auto& limiter =
                            dynamic_cast<TLimiterWindow&>(*edit.ChildWindow(edit.Ids().limiter));
                        auto& list = dynamic_cast<ui::ComboBox&>(
                            ui::test::ControlOf(limiter.Pane(0), ovprocessing_res::kLimRelease));
                        list.SetSelection(2);
                        limiter.Pane(0).SendNotify({.controlId = ovprocessing_res::kLimRelease,
                                                    .code = ui::Notify::SelChange,
                                                    .control = &list});
                      }},
            WritePath{"Mute",
                      [](TEditOVWindow&, TSummaryWindow& summary) {
                        ui::test::Click(summary.Panes().Output(0), kMute);
                      }},
            WritePath{"MemoryRecall",
                      [](TEditOVWindow& edit, TSummaryWindow&) {
                        ClickMemoryRow(edit, ovfunctions_res::kMemoryRecall);
                      }},
            WritePath{"MemorySave",
                      [](TEditOVWindow& edit, TSummaryWindow&) {
                        ClickMemoryRow(edit, ovfunctions_res::kMemorySave);
                      },
                      false},
            WritePath{"UnitRename",
                      [](TEditOVWindow& edit, TSummaryWindow&) {
                        ui::PromptScript script(
                            [](const std::string& what) { ADD_FAILURE() << what; });
                        script.RunDialog(controls_res::kInputDialog, [](ui::Dialog& dialog) {
                          ui::test::Type(dialog, controls_res::kInputField, "Silent1");
                          ui::test::Click(dialog, ui::kIdOk);
                        });
                        ui::Application::Instance()->RouteCommand(ovres::kCmRenameUnit, &edit);
                      }},
            WritePath{"ChannelRename",
                      [](TEditOVWindow&, TSummaryWindow& summary) {
                        TChannelSummaryDialog& input = summary.Panes().Input(0);
                        ui::test::Type(input, kName, "Kick");
                        ui::test::PressKey(ui::test::ControlOf(input, kName), Qt::Key_Return);
                      }}),
        testing::ValuesIn(ovtest::kWriteFailures)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).what) + std::get<1>(info.param).name;
    });

TEST(VirtualSummaryTest, AVirtualUnitHasNoUnitCommandsAndNeverPolls) {
  auto unit = ovtest::NewVirtual<IQDevice8126>(6);
  unit->autoOpenSummary = 1;
  TEdit8126Window window(nullptr, *unit);
  window.Create();
  auto* summary = dynamic_cast<TSummaryWindow*>(window.ChildWindow(window.Ids().summary));
  ASSERT_NE(summary, nullptr);
  EXPECT_EQ(summary->Panes().StubCount(), 2);
  auto* app = ui::Application::Instance();
  for (const int command : {kCmUnitName, kCmSecurity, kCmSerialNumber, kCmFirmwareVersion}) {
    EXPECT_FALSE(app->QueryCommand(command, summary).enabled) << command;
  }
  EXPECT_EQ(window.Poller().Count(), 0u);
  unit->TakeTrace();
  ui::test::PumpIdle();
  EXPECT_THAT(unit->TakeTrace(), IsEmpty());
}

// The three-input configuration numbers its outputs from channel 4, while the tree lists the
// channels one after another.
TEST(ThreeInputSummaryTest, FiltersButtonsOpenTheirOwnChannelsAndNamesStopAtElevenCharacters) {
  ovtest::FamilyBus bus;
  bus.port.SetRetries(0);
  bus.AddModelUnit(Model::k8137, 5);
  // No device type takes this configuration from a roll call.
  IQ8148Type type;
  IQDeviceInfo record{5, 1136, 1, ovtest::ModelId('7', "1.5", true)};
  IQDevice8148 device(&type, &bus.manager, &record, 7);
  ASSERT_EQ(device.firstOutput, 4);
  device.autoOpenSummary = 0;
  std::vector<int> opened;
  RegisterChildWindow(ChildKind::Filters, [&](TEditOVWindow& w, int channel) {
    opened.push_back(channel);
    return std::make_unique<StandIn>(w);
  });
  TEdit8148Window edit(nullptr, device);
  edit.Create();
  edit.OpenChildWindow(edit.Ids().summary);
  auto& summary = dynamic_cast<TSummaryWindow&>(*edit.ChildWindow(edit.Ids().summary));
  ui::test::Click(summary.Panes().Output(0), kFiltersButton);
  ui::test::Click(summary.Panes().Output(6), kFiltersButton);
  EXPECT_THAT(opened, ElementsAre(4, 10));
  EXPECT_EQ(edit.ChildWindow(edit.Ids().linking), nullptr);
  RegisterChildWindow(ChildKind::Filters, nullptr);

  ui::test::Type(summary.Panes().Output(6), kName, "Twelve chars");
  EXPECT_EQ(ControlText(summary.Panes().Output(6), kName), "Twelve char");
}

}  // namespace
}  // namespace namespaceOV
