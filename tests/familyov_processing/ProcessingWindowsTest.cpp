// The compressor, limiter, DSP capacity, mixing, advanced mixer and pink-noise windows of a
// simulated 8148 with 4 inputs, 8 outputs and the compressor option, opened from its edit window
// and driven through the pseudo-terminal; each window is grabbed to the build folder's gallery.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <tuple>

#include "bus/PollBackoff.h"
#include "familyov/channels/GroupAssignment.h"
#include "familyov/channels/TAdvMixerWindow.h"
#include "familyov/channels/TCompressorWindow.h"
#include "familyov/channels/TGasDialog.h"
#include "familyov/channels/TLimiterWindow.h"
#include "familyov/channels/TMixerWindow.h"
#include "familyov/channels/TPinkDialog.h"
#include "familyov/channels/TSummaryWindow.h"
#include "familyov/unit/NodeIds.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditModelWindows.h"
#include "platform/ui/Control.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/FamilyOvChannelIds.h"
#include "resources/FamilyOvFunctionIds.h"
#include "resources/FamilyOvProcessingIds.h"
#include "resources/FamilyOvSummaryIds.h"
#include "sim/Fault.h"
#include "sim/familyov/FamilyOvUnit.h"
#include "tests/familyov_unit/GuiTestEnvironment.h"
#include "tests/familyov_unit/OVTestSupport.h"
#include "tests/support/ControlSweep.h"
#include "tests/support/PollsResumed.h"

namespace namespaceOV {
namespace {

using namespace ovprocessing_res;
using testing::ElementsAre;
using testing::IsEmpty;

const auto* const kEnvironment = ovtest::AddGuiEnvironment("familyov_processing_tests");

constexpr int kAddress = 9;
constexpr int kFirstOutput = 4;

// A level as the unit holds it: the linear gain's bits in hex.
std::string Gain(float dB) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", std::bit_cast<uint32_t>(dBLevelObject::DbToGain(dB)));
  return text;
}

class ProcessingTest : public testing::Test {
 protected:
  ProcessingTest() {
    ovtest::ReportedErrors().clear();
    bus.port.SetRetries(0);
    sim::familyov::AddFamilyOvUnit(
        bus.bus,
        {.model = sim::familyov::Model::k8148, .address = kAddress, .compressorOption = true});
    unit = &dynamic_cast<IQDevice8148&>(*bus.RollCall({&type}).at(0));
    unit->autoOpenSummary = 0;  // only the windows a test opens
  }
  ~ProcessingTest() override {
    editWindow.reset();
    ui::test::PumpMessages();
  }
  // Opens the unit's edit window once the test has stored what the unit holds.
  void OpenUnit() {
    unit->InvalidateValues();
    editWindow = std::make_unique<TEdit8148Window>(nullptr, *unit);
    editWindow->Create();
    bus.TakeTrace();
  }
  template <typename Window>
  Window& Open(int node) {
    editWindow->OpenChildWindow(node);
    auto* window = dynamic_cast<Window*>(editWindow->ChildWindow(node));
    if (window == nullptr) throw std::logic_error("the node opened no window of that class");
    return *window;
  }
  std::vector<std::string> Taken(const std::string& prefix) {
    std::vector<std::string> taken;
    for (std::string& line : bus.TakeTrace()) {
      if (line.starts_with(prefix)) taken.push_back(std::move(line));
    }
    return taken;
  }
  std::vector<std::string> Writes() { return Taken("W"); }
  void StoreLevel(int id, int element, float dB) {
    bus.StoreLong(0, id, element, std::bit_cast<uint32_t>(dBLevelObject::DbToGain(dB)));
  }
  // Types into the edit and leaves it, as the user does.
  static void Enter(ui::Window& pane, int id, const std::string& text) {
    ui::Window& edit = ui::test::ControlOf(pane, id);
    ui::test::Type(pane, id, text);
    pane.SendNotify({.controlId = id, .code = ui::Notify::KillFocus, .control = &edit});
  }
  static void Spin(ui::Window& pane, int id, int zone) {
    auto& spin = dynamic_cast<TQuadButton&>(ui::test::ControlOf(pane, id));
    const ui::Rect r = spin.ZoneRect(zone);
    const ui::Point p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ui::test::MouseDown(spin, p);
    ui::test::MouseUp(spin, p);
    ui::test::PumpMessages();
  }
  static std::string TextOf(ui::Window& pane, int id) {
    return ui::test::ControlOf(pane, id).Text();
  }
  static void Grab(ui::Window& window, const std::string& name) {
    const std::filesystem::path folder = TELVO_GALLERY_DIR;
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(ui::test::GrabPng(window, (folder / name).string()));
  }

  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};
  ovtest::FamilyBus bus;
  IQ8148Type type;
  IQDevice8148* unit = nullptr;
  std::unique_ptr<TEdit8148Window> editWindow;
};

TEST_F(ProcessingTest, CompressorsShowWhatTheUnitHoldsAndWriteWhatTheUserSets) {
  for (int input : {0, 1}) bus.StoreByte(0, gCompGangObject.GetId(), input, 1);
  bus.StoreByte(0, gCompSpeedObject.GetId(), 1, 9);   // beyond the speed table
  bus.StoreByte(0, gCompRatioObject.GetId(), 2, 45);  // no ratio has this code
  OpenUnit();
  auto& window = Open<TCompressorWindow>(editWindow->Ids().compressors);
  EXPECT_EQ(TextOf(window.Pane(1), kCompSpeedText), "?");
  EXPECT_EQ(TextOf(window.Pane(2), kCompRatioText), "1:1");
  EXPECT_FALSE(ui::test::ControlOf(window.Pane(3), kCompGang).IsEnabled());
  ui::TreeView& tree = window.Tree().Tree();
  ASSERT_TRUE(tree.FirstRoot());
  EXPECT_EQ(tree.ItemText(tree.FirstRoot()), "Group 1");
  EXPECT_FALSE(tree.NextSibling(tree.FirstRoot()));
  Grab(window, "compressors-window.png");
  bus.TakeTrace();

  TCompressorDialog& pane = window.Pane(0);
  Enter(pane, kCompThreshold, "30");  // the unit holds +20 dB already
  Enter(pane, kCompThreshold, "-50");
  EXPECT_THAT(Writes(), ElementsAre("W46.0 " + Gain(-40.0f)));
  EXPECT_EQ(TextOf(pane, kCompThreshold), "-40.0");
  // Not a number: nothing written, the unit's value shown again.
  Enter(pane, kCompThreshold, "-");
  Enter(pane, kCompPostGain, ".");
  EXPECT_THAT(Writes(), IsEmpty());
  EXPECT_EQ(TextOf(pane, kCompThreshold), "-40.0");
  Enter(pane, kCompPostGain, "1e30");
  // A spin step is written even where the range holds the value.
  Spin(pane, kCompThresholdSpin, TQuadButton::kLowerRight);
  EXPECT_THAT(Writes(), ElementsAre("W45.0 " + Gain(24.0f), "W46.0 " + Gain(-40.0f)));

  // The ratio follows the slider as it moves and is written once, when it is let go.
  auto& ratio = dynamic_cast<ui::Trackbar&>(ui::test::ControlOf(pane, kCompRatio));
  ratio.SetPosition(3);
  pane.SendNotify({.controlId = kCompRatio,
                   .code = ui::Notify::Scroll,
                   .control = &ratio,
                   .value = static_cast<ui::Param>(ui::ScrollCode::ThumbTrack)});
  EXPECT_EQ(TextOf(pane, kCompRatioText), "1:4");
  EXPECT_THAT(Writes(), IsEmpty());
  pane.SendNotify({.controlId = kCompRatio,
                   .code = ui::Notify::Scroll,
                   .control = &ratio,
                   .value = static_cast<ui::Param>(ui::ScrollCode::EndScroll)});
  EXPECT_THAT(Writes(), ElementsAre("W47.0 28"));
  ui::test::Click(pane, kCompSoft);
  ui::test::Click(pane, kCompHard);
  EXPECT_THAT(Writes(), ElementsAre("W49.0 01", "W49.0 00"));

  // Splitting the gang makes a second group in the tree.
  ui::test::Click(window.Pane(1), kCompGang);
  ui::test::Click(window.Pane(2), kCompGang);
  EXPECT_THAT(Writes(), ElementsAre("W48.1 00", "W48.2 01"));
  ASSERT_TRUE(tree.NextSibling(tree.FirstRoot()));
  EXPECT_EQ(tree.ItemText(tree.NextSibling(tree.FirstRoot())), "Group 2");
  EXPECT_THAT(ovtest::ReportedErrors(), IsEmpty());
}

TEST_F(ProcessingTest, ALimiterIsRefusedOnlyBeyondTheDspLimit) {
  bus.StoreByte(0, gLimiterGroupObject.GetId(), kFirstOutput + 5, 2);
  OpenUnit();
  // Filters that leave exactly a limiter's cost free: 188 + 115 x 4 + 5 + 167 = 820.
  for (int n = 0; n < 115; ++n) unit->AdoptFilter(std::make_unique<TParametricFilter>());
  auto lowpass = std::make_unique<TLowpassFilter>();
  lowpass->order = 2;
  unit->AdoptFilter(std::move(lowpass));
  auto& window = Open<TLimiterWindow>(editWindow->Ids().limiter);
  // Eight outputs stand in two rows of four.
  EXPECT_EQ(window.Pane(3).WindowRect().top, window.Pane(0).WindowRect().top);
  EXPECT_GT(window.Pane(4).WindowRect().top, window.Pane(0).WindowRect().top);
  ui::TreeView& tree = window.Tree().Tree();
  ASSERT_TRUE(tree.FirstRoot());
  EXPECT_EQ(tree.ItemText(tree.FirstRoot()), "Group 2");
  EXPECT_EQ(tree.ItemImage(tree.FirstChild(tree.FirstRoot())), ChannelTreeWindow::kDisabledImage);
  bus.TakeTrace();

  ui::test::Click(window.Pane(5), kLimEnable);
  EXPECT_THAT(Writes(), ElementsAre("W2D.9 01"));
  EXPECT_EQ(tree.ItemImage(tree.FirstChild(tree.FirstRoot())), ChannelTreeWindow::kChannelImage);
  ui::test::Click(window.Pane(5), kLimEnable);
  EXPECT_THAT(Writes(), ElementsAre("W2D.9 00"));

  unit->AdoptFilter(std::make_unique<TParametricFilter>());
  script.AnswerMessageBox(ui::kIdOk);
  ui::test::Click(window.Pane(0), kLimEnable);
  EXPECT_EQ(script.Seen().back().text, "Insufficient DSP Capacity");
  EXPECT_EQ(script.Seen().back().caption, "Limiter");
  EXPECT_THAT(Writes(), IsEmpty());
  EXPECT_FALSE(
      dynamic_cast<ui::CheckBox&>(ui::test::ControlOf(window.Pane(0), kLimEnable)).IsChecked());

  // "Groups..." assigns the outputs to limiter groups; the tree follows.
  script.RunDialog(ovchannels_res::kGroupAssignmentDialog, [](ui::Dialog& dialog) {
    auto& groups = dynamic_cast<TGroupAssignmentWindow&>(dialog);
    ui::ComboBox& list = groups.Row(0).List();
    list.SetSelection(1);
    groups.Row(0).SendNotify({ovchannels_res::kGroupList, ui::Notify::SelChange, &list});
    dialog.EndDialog(ui::kIdOk);
  });
  window.Commands().Run(ovchannels_res::kCmGroups);
  EXPECT_THAT(Writes(), ElementsAre("W2B.4 01"));
  EXPECT_EQ(tree.ItemText(tree.FirstRoot()), "Group 1");
  Grab(window, "limiter-window.png");
}

TEST_F(ProcessingTest, LimiterThresholdsAreClampedAndTheMetersMove) {
  bus.StoreByte(0, gLimiterEnableObject.GetId(), kFirstOutput, 1);
  OpenUnit();
  auto& window = Open<TLimiterWindow>(editWindow->Ids().limiter);
  TLimiterDialog& pane = window.Pane(0);
  bus.TakeTrace();
  Enter(pane, kLimThreshold, "21.5");
  Spin(pane, kLimThresholdSpin, TQuadButton::kUpperLeft);
  Spin(pane, kLimThresholdSpin, TQuadButton::kUpperLeft);
  Enter(pane, kLimThreshold, "22.05");  // within the threshold's resolution of the unit's
  Enter(pane, kLimThreshold, "nan");
  EXPECT_THAT(Writes(), ElementsAre("W28.4 " + Gain(21.5f - 22.0f), "W28.4 " + Gain(0.0f),
                                    "W28.4 " + Gain(0.0f)));
  EXPECT_EQ(TextOf(pane, kLimThreshold), "22.0");

  // The gain reduction of the output whose limiter is on moves from read to read.
  std::set<std::string> readings;
  for (int pass = 0; pass < 40; ++pass) {
    ui::test::PumpIdle(1);
    readings.insert(TextOf(pane, kLimMeterText));
  }
  EXPECT_GE(readings.size(), 3u);
  EXPECT_THAT(ovtest::ReportedErrors(), IsEmpty());
}

TEST_F(ProcessingTest, DspCapacityCountsCrosspointDelaysAndPollsTheUnitsCounter) {
  bus.StoreLong(0, gChannelDelayObject.GetId(), 0, 10800);
  bus.StoreLong(0, gCrosspointDelayObject.GetId(), CrosspointElement(7, 3, 4), 10800);
  bus.StoreByte(0, gLimiterEnableObject.GetId(), kFirstOutput + 1, 1);
  StoreLevel(gCrosspointLevelObject.GetId(), 0, 0.0f);
  OpenUnit();
  auto& gas = Open<TGasDialog>(editWindow->Ids().dspCapacity);
  EXPECT_EQ(TextOf(gas, kGasDelayMemory), "10%");
  EXPECT_EQ(TextOf(gas, kGasLimiters), "26%");
  EXPECT_EQ(TextOf(gas, kGasFiltersRemain), "116 filters remain");
  ui::test::PumpIdle(4);
  EXPECT_EQ(TextOf(gas, kGasUsage), "26%");  // (286 + 133 - 286) x 100 / 505
  Grab(gas, "dsp-capacity.png");
  // A crosspoint delay set in the advanced mixer shows at once.
  auto& advanced = Open<TAdvMixerWindow>(editWindow->Ids().advancedMixer);
  Enter(advanced.Cell(0, 0), kCellDelay, "225 ms");
  EXPECT_EQ(TextOf(gas, kGasDelayMemory), "15%");

  // With every polling window open, a unit that falls silent gives one report, and the program
  // goes on: a window still opens.
  Open<TLimiterWindow>(editWindow->Ids().limiter);
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress));
  ui::test::PumpIdle(30);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  bus.bus.ClearFaults();
  Open<TMixerWindow>(editWindow->Ids().mixing);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
}

// Painting draws what was last read: a silent unit gives no report per repaint, and the diagram
// keeps its lines.
TEST_F(ProcessingTest, TheMixingDiagramOfASilentUnitRepaintsWithoutAReport) {
  OpenUnit();
  auto& mixer = Open<TMixerWindow>(editWindow->Ids().mixing);
  mixer.Show();
  ui::test::PumpMessages();
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress));
  unit->InvalidateValues();
  for (int repaint = 0; repaint < 3; ++repaint) {
    mixer.Invalidate();
    ui::test::PumpMessages();
    Grab(mixer, "mixing-window-silent.png");
  }
  EXPECT_THAT(ovtest::ReportedErrors(), testing::IsEmpty());
}

TEST_F(ProcessingTest, MixingMatrixAndAdvancedMixerShareTheCrosspoints) {
  const int element = CrosspointElement(1, 2, 4);
  StoreLevel(gCrosspointLevelObject.GetId(), element, -6.0f);
  // The factory routes these two; here they start off.
  StoreLevel(gCrosspointLevelObject.GetId(), CrosspointElement(2, 1, 4), -100.0f);
  StoreLevel(gCrosspointLevelObject.GetId(), CrosspointElement(6, 3, 4), -100.0f);
  OpenUnit();
  auto& mixer = Open<TMixerWindow>(editWindow->Ids().mixing);
  auto& advanced = Open<TAdvMixerWindow>(editWindow->Ids().advancedMixer);
  EXPECT_TRUE(mixer.Box(1, 2).IsChecked());
  EXPECT_FALSE(mixer.Box(2, 1).IsChecked());
  EXPECT_EQ(TextOf(advanced.Cell(1, 2), kCellGain), "-6.0");
  // 230 by 400 at the work area's corner, and the user cannot make it larger or smaller.
  const ui::Rect placed = mixer.PlacementRect();
  EXPECT_EQ(placed.Width(), 230);
  EXPECT_EQ(placed.Height(), 400);
  mixer.SetClientSize({500, 600});
  EXPECT_EQ(mixer.PlacementRect(), placed);
  Grab(mixer, "mixing-window.png");
  bus.TakeTrace();

  // Off writes -100 dB, on again 0 dB (not the level before); the advanced mixer follows.
  ui::test::Click(mixer, kCrosspointBox + 1 * 4 + 2);
  EXPECT_FALSE(ui::test::ControlOf(advanced.Cell(1, 2), kCellGain).IsEnabled());
  ui::test::Click(mixer, kCrosspointBox + 1 * 4 + 2);
  EXPECT_THAT(Writes(), ElementsAre("W0C.6 " + Gain(-100.0f), "W0C.6 " + Gain(0.0f)));
  EXPECT_EQ(TextOf(advanced.Cell(1, 2), kCellGain), "0.0");

  // A crosspoint that is off: one fine step up turns it on; the matrix follows.
  TAdvMixerDialog& cell = advanced.Cell(6, 3);
  Spin(cell, kCellGainSpin, TQuadButton::kUpperRight);
  EXPECT_TRUE(mixer.Box(6, 3).IsChecked());
  Enter(cell, kCellGain, "5");
  Enter(cell, kCellGain, "inf");
  EXPECT_THAT(Writes(), ElementsAre("W0C.27 " + Gain(-99.9f), "W0C.27 " + Gain(0.0f)));

  // Delays: a unit typed overrides the display unit; a step below zero writes 0; a nine-digit
  // delay takes what the delay memory has left.
  Enter(cell, kCellDelay, "2 ms");
  Enter(cell, kCellDelay, "3 ft");
  Spin(cell, kCellDelaySpin, TQuadButton::kLowerLeft);
  Spin(cell, kCellDelaySpin, TQuadButton::kLowerLeft);
  Spin(cell, kCellDelaySpin, TQuadButton::kLowerLeft);
  bus.StoreLong(0, gChannelDelayObject.GetId(), 0, 16000);
  unit->InvalidateValues();
  Enter(cell, kCellDelay, "999999999");
  EXPECT_THAT(Writes(), ElementsAre("W44.27 00000060", "W44.27 0000007E", "W44.27 0000004E",
                                    "W44.27 0000001E", "W44.27 00000000", "W44.27 00030D40"));
  EXPECT_EQ(TextOf(cell, kCellDelay), "4166.667 ms");
  Grab(advanced, "advanced-mixer.png");
  EXPECT_THAT(ovtest::ReportedErrors(), IsEmpty());
}

TEST_F(ProcessingTest, PinkNoiseLevelAndOutputMutes) {
  OpenUnit();
  auto& pink = Open<TPinkDialog>(editWindow->Ids().pinkNoise);
  EXPECT_EQ(pink.ResourceId(), kPinkNoise8Outputs);
  ui::test::Click(pink, kPinkEnable);
  Enter(pink, kPinkLevel, "-100");
  Spin(pink, kPinkLevelSpin, TQuadButton::kUpperLeft);
  Enter(pink, kPinkLevel, "-");
  ui::test::Click(pink, kFirstPinkMute + 1);
  EXPECT_THAT(Writes(),
              ElementsAre("W33 01", "W34 " + Gain(-80.0f), "W34 " + Gain(-79.0f), "W20.5 01"));
  EXPECT_EQ(TextOf(pink, kPinkLevel), "-79.0");
  Grab(pink, "pink-noise.png");
  EXPECT_THAT(ovtest::ReportedErrors(), IsEmpty());
}

// Enter and the focus leaving the field are one entry, with the generator on or off; on a unit
// that fails with nothing read since the windows were refreshed, Enter and the focus the error box
// takes then are told once.
TEST_F(ProcessingTest, ThePinkNoiseLevelIsOneEntryByEnterOrTheFocusLeaving) {
  for (const bool on : {true, false}) {
    for (const bool enter : {true, false}) {
      SCOPED_TRACE(std::string(on ? "on, " : "off, ") + (enter ? "Enter" : "focus out"));
      bus.StoreByte(0, gPinkNoiseEnableObject.GetId(), 0, on ? 1 : 0);
      StoreLevel(gPinkNoiseLevelObject.GetId(), 0, -40.0f);
      OpenUnit();
      auto& pink = Open<TPinkDialog>(editWindow->Ids().pinkNoise);
      ui::Window& level = ui::test::ControlOf(pink, kPinkLevel);
      ui::test::Type(pink, kPinkLevel, "-10");
      if (enter) {
        ui::test::PressKey(level, Qt::Key_Return);
      } else {
        pink.SendNotify(
            {.controlId = kPinkLevel, .code = ui::Notify::KillFocus, .control = &level});
      }
      EXPECT_THAT(Writes(), ElementsAre("W34 " + Gain(-10.0f)));
      EXPECT_EQ(level.Text(), "-10.0");
    }
  }
  NotifyRecord refresh{.code = RefreshAll};
  editWindow->Notify(&refresh);
  unit->InvalidateValues();
  auto& pink = Open<TPinkDialog>(editWindow->Ids().pinkNoise);
  ui::Window& level = ui::test::ControlOf(pink, kPinkLevel);
  ui::test::Type(pink, kPinkLevel, "-20");
  // The error box takes the focus from the field while it is shown.
  static TPinkDialog* shownOver;
  static ui::Window* field;
  shownOver = &pink;
  field = &level;
  const CommErrorReporter previous = SetCommErrorReporter([](const IQException& e, IQDevice&) {
    ovtest::ReportedErrors().push_back(e.GetText());
    shownOver->SendNotify(
        {.controlId = kPinkLevel, .code = ui::Notify::KillFocus, .control = field});
  });
  bus.bus.AddFault(sim::Fault::Unheard().ForUnit(kAddress));
  ui::test::PressKey(level, Qt::Key_Return);
  bus.bus.ClearFaults();
  SetCommErrorReporter(previous);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
}

// The first edit numbered `id` in the window, whose tree may bear the same number; none when
// there is none.
ui::Edit* EditIn(ui::Window& window, int id) {
  for (ui::Window* child : window.Children()) {
    if (auto* edit = dynamic_cast<ui::Edit*>(child); edit != nullptr && edit->Id() == id) {
      return edit;
    }
    if (ui::Edit* edit = EditIn(*child, id)) return edit;
  }
  return nullptr;
}

TEST_F(ProcessingTest, AnEditWritesOnlyWhenTheUserChangedItsText) {
  const auto gain = [](float dB, float offsetDb) {
    return std::bit_cast<uint32_t>(dBLevelObject::DbToGain(dB, offsetDb));
  };
  // What the unit holds, shown clamped or rounded by the edit, and what the user then types.
  struct Row {
    const char* what;
    int NodeIds::*node;
    int edit;
    const UCodeObject& object;
    int element;
    std::optional<uint32_t> held;
    const char* typed;
  };
  const float limiterOffset = limiterLevelObject::kOffsetDb;
  const Row rows[] = {
      {"threshold beyond its edit's range", &NodeIds::compressors, kCompThreshold,
       gCompThresholdObject, 0, gain(40.0f, 0.0f), "10"},
      {"threshold of hundredths", &NodeIds::compressors, kCompThreshold, gCompThresholdObject, 0,
       gain(-6.02f, 0.0f), "-3"},
      {"post gain", &NodeIds::compressors, kCompPostGain, gCompPostGainObject, 0, gain(30.0f, 0.0f),
       "3"},
      {"limiter threshold", &NodeIds::limiter, kLimThreshold, gLimiterThresholdObject, kFirstOutput,
       gain(30.0f, limiterOffset), "-3"},
      {"pink noise level", &NodeIds::pinkNoise, kPinkLevel, gPinkNoiseLevelObject, 0,
       gain(-6.02f, 0.0f), "-10"},
      {"crosspoint gain", &NodeIds::advancedMixer, kCellGain, gCrosspointLevelObject, 0,
       gain(-6.02f, 0.0f), "-10"},
      {"crosspoint delay", &NodeIds::advancedMixer, kCellDelay, gCrosspointDelayObject, 0, 7, "1"},
      {"channel delay", &NodeIds::inputDelay, ovchannels_res::kDelayEdit, gChannelDelayObject, 0, 7,
       "1"},
      {"channel name", &NodeIds::inputNames, ovchannels_res::kNameEdit, gChannelNameObject, 0,
       std::nullopt, "Vox"},
  };
  // Only a limiter that is on takes a threshold.
  bus.StoreByte(0, gLimiterEnableObject.GetId(), kFirstOutput, 1);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    if (row.held) bus.StoreLong(0, row.object.GetId(), row.element, *row.held);
    OpenUnit();
    const int node = editWindow->Ids().*row.node;
    editWindow->OpenChildWindow(node);
    ui::Edit* edit = EditIn(*editWindow->ChildWindow(node), row.edit);
    ASSERT_NE(edit, nullptr);
    ui::Window& pane = *edit->Parent();
    const auto focusOut = [&] {
      pane.SendNotify({.controlId = row.edit, .code = ui::Notify::KillFocus, .control = edit});
    };
    bus.TakeTrace();
    focusOut();
    EXPECT_THAT(Writes(), IsEmpty()) << "opened and left as it was";
    ui::test::Type(pane, row.edit, row.typed);
    focusOut();
    char written[8];
    std::snprintf(written, sizeof written, "W%02X", row.object.GetId());
    EXPECT_THAT(Writes(), testing::Contains(testing::StartsWith(written)));
  }
  EXPECT_THAT(ovtest::ReportedErrors(), IsEmpty());
}

// A value typed while the unit fails, Enter then the focus leaving (as the error box takes it):
// one report for the entry, the field shows again what it showed before, and nothing is written
// once the unit answers unless the user types again. Every typed field of every window, on a
// silent unit and on one that refuses.
struct TypedField {
  const char* what;
  int NodeIds::*node;
  int edit;
  const char* typed;
};

class FailedEntryTest
    : public ProcessingTest,
      public testing::WithParamInterface<std::tuple<TypedField, ovtest::WriteFailure>> {};

TEST_P(FailedEntryTest, IsToldOnceAndShowsWhatTheUnitHoldsOnceItAnswers) {
  const TypedField& field = std::get<0>(GetParam());
  const ovtest::WriteFailure& failure = std::get<1>(GetParam());
  bus.StoreByte(0, gLimiterEnableObject.GetId(), kFirstOutput, 1);
  bus.StoreByte(0, gPinkNoiseEnableObject.GetId(), 0, 1);
  OpenUnit();
  const int node = editWindow->Ids().*field.node;
  const auto fieldOfOpenWindow = [&] {
    editWindow->OpenChildWindow(node);
    return EditIn(*editWindow->ChildWindow(node), field.edit);
  };
  ui::Edit* edit = fieldOfOpenWindow();
  ASSERT_NE(edit, nullptr);
  ui::Window& pane = *edit->Parent();
  const auto focusOut = [&] {
    pane.SendNotify({.controlId = field.edit, .code = ui::Notify::KillFocus, .control = edit});
  };
  const std::string shown = edit->Text();
  ui::test::Type(pane, field.edit, field.typed);
  edit->SetFocus();
  bus.bus.AddFault(failure.fault.ForUnit(kAddress));
  ui::test::PressKey(*edit, Qt::Key_Return);
  focusOut();
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  // Only a refusal says what the unit holds.
  EXPECT_EQ(edit->Text(), failure.refused ? shown : "");

  bus.bus.ClearFaults();
  PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
  ui::test::PumpIdle(20);
  ui::test::RestIdle();
  const std::string answered = edit->Text();
  EXPECT_EQ(answered != shown, failure.carriedOut) << answered;
  bus.TakeTrace();
  edit->SetFocus();
  focusOut();
  ui::test::PressKey(*edit, Qt::Key_Return);
  EXPECT_THAT(Writes(), IsEmpty());
  EXPECT_EQ(edit->Text(), answered);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  // The window opened again reads the unit afresh.
  editWindow.reset();
  ui::test::PumpMessages();
  OpenUnit();
  EXPECT_EQ(fieldOfOpenWindow()->Text(), answered);
}

INSTANTIATE_TEST_SUITE_P(
    EveryTypedField, FailedEntryTest,
    testing::Combine(
        testing::Values(
            TypedField{"SummaryName", &NodeIds::summary, ovsummary_res::kName, "Kick"},
            TypedField{"SummaryInputLevel", &NodeIds::summary, ovsummary_res::kInputLevel, "5"},
            TypedField{"SummaryInputDelay", &NodeIds::summary, ovsummary_res::kInputDelay, "3"},
            TypedField{"SummaryOutputLevel", &NodeIds::summary, ovsummary_res::kOutputLevel, "-5"},
            TypedField{"SummaryOutputDelay", &NodeIds::summary, ovsummary_res::kOutputDelay, "3"},
            TypedField{"ChannelName", &NodeIds::inputNames, ovchannels_res::kNameEdit, "Vox"},
            TypedField{"ChannelDelay", &NodeIds::outputDelay, ovchannels_res::kDelayEdit, "3"},
            TypedField{"CompressorThreshold", &NodeIds::compressors, kCompThreshold, "-3"},
            TypedField{"CompressorPostGain", &NodeIds::compressors, kCompPostGain, "3"},
            TypedField{"LimiterThreshold", &NodeIds::limiter, kLimThreshold, "-3"},
            TypedField{"PinkNoiseLevel", &NodeIds::pinkNoise, kPinkLevel, "-10"},
            TypedField{"CrosspointGain", &NodeIds::advancedMixer, kCellGain, "-10"},
            TypedField{"CrosspointDelay", &NodeIds::advancedMixer, kCellDelay, "1"},
            TypedField{"MemoryName", &NodeIds::memory, ovfunctions_res::kMemoryName, "Show"}),
        testing::ValuesIn(ovtest::kWriteFailures)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).what) + std::get<1>(info.param).name;
    });

// A window filled while its unit answered nothing, the unit answering again. A change made
// before any idle pass writes that change alone, and a read it needs that fails writes nothing,
// told once; the idle passes show what the unit holds, as the window opened afresh does.
TEST_F(ProcessingTest, AWindowFilledOnASilentUnitWritesOnlyTheChangeAndIsFilledOnceItAnswers) {
  using Shown = std::function<std::vector<std::string>(ui::Window&)>;
  // The read-outs polled move on between two looks at an unchanged unit.
  const Shown controls = [](ui::Window& window) {
    return testsupport::ShownControls(window, [](ui::Window& control) {
      const auto* shown = dynamic_cast<ui::Control*>(&control);
      const int id = shown != nullptr ? shown->Id() : -1;
      return (id == kLimMeterText && dynamic_cast<TLimiterDialog*>(control.Parent())) ||
             (id == kGasUsage && dynamic_cast<TGasDialog*>(control.Parent()));
    });
  };
  const Shown map = [this](ui::Window& window) {
    std::vector<std::string> fed;
    for (int o = 0; o < unit->outputs * unit->inputs; ++o) {
      const bool on = dynamic_cast<TSummaryWindow&>(window).Panes().Map().Feeds(o % unit->inputs,
                                                                                o / unit->inputs);
      fed.push_back(on ? "on" : "off");
    }
    return fed;
  };
  struct Row {
    const char* what;
    int NodeIds::*node;
    std::function<void()> store;              // what the unit holds
    std::function<void(ui::Window&)> change;  // none where the window only shows
    std::vector<std::string> writes;
    bool readsFirst;  // the change asks the unit before it writes
    Shown shown;
  };
  const Row rows[] = {
      {"pink noise mutes",
       &NodeIds::pinkNoise,
       [&] {
         for (int o : {1, 2}) bus.StoreByte(0, gChannelMuteObject.GetId(), kFirstOutput + o, 1);
       },
       [](ui::Window& pink) { ui::test::Click(pink, kFirstPinkMute); },
       {"W20.4 01"},
       false,
       controls},
      {"a crosspoint on",
       &NodeIds::mixing,
       [&] { StoreLevel(gCrosspointLevelObject.GetId(), 6, -6.0f); },
       [](ui::Window& mixer) { ui::test::Click(mixer, kCrosspointBox + 1 * 4 + 2); },
       {},
       true,
       controls},
      {"a crosspoint off",
       &NodeIds::mixing,
       [&] { StoreLevel(gCrosspointLevelObject.GetId(), 9, -100.0f); },
       [](ui::Window& mixer) { ui::test::Click(mixer, kCrosspointBox + 2 * 4 + 1); },
       {"W0C.9 " + Gain(0.0f)},
       true,
       controls},
      {"advanced mixer",
       &NodeIds::advancedMixer,
       [&] { StoreLevel(gCrosspointLevelObject.GetId(), 6, 0.0f); },
       [](ui::Window& w) {
         Spin(dynamic_cast<TAdvMixerWindow&>(w).Cell(1, 2), kCellGainSpin,
              TQuadButton::kLowerRight);
       },
       {"W0C.6 " + Gain(-0.1f)},
       true,
       controls},
      {"compressors",
       &NodeIds::compressors,
       [&] { bus.StoreByte(0, gCompSoftKneeObject.GetId(), 1, 1); },
       [](ui::Window& w) {
         ui::test::Click(dynamic_cast<TCompressorWindow&>(w).Pane(0), kCompSoft);
       },
       {"W49.0 01"},
       false,
       controls},
      {"a compressor's ratio stepped",
       &NodeIds::compressors,
       [&] { bus.StoreByte(0, gCompRatioObject.GetId(), 0, 50); },  // 1:8
       [](ui::Window& w) {
         auto& pane = dynamic_cast<TCompressorWindow&>(w).Pane(0);
         ui::test::PressKey(ui::test::ControlOf(pane, kCompRatio), Qt::Key_Right);
       },
       {"W47.0 3C"},  // 1:16
       true,
       controls},
      {"a compressor's speed stepped",
       &NodeIds::compressors,
       [&] { bus.StoreByte(0, gCompSpeedObject.GetId(), 0, 6); },
       [](ui::Window& w) {
         auto& pane = dynamic_cast<TCompressorWindow&>(w).Pane(0);
         ui::test::PressKey(ui::test::ControlOf(pane, kCompSpeed), Qt::Key_Right);
       },
       {"W4A.0 07"},
       true,
       controls},
      {"limiters",
       &NodeIds::limiter,
       [&] { bus.StoreByte(0, gLimiterEnableObject.GetId(), kFirstOutput + 1, 1); },
       [](ui::Window& w) { ui::test::Click(dynamic_cast<TLimiterWindow&>(w).Pane(5), kLimEnable); },
       {"W2D.9 01"},
       false,
       controls},
      {"DSP capacity",
       &NodeIds::dspCapacity,
       [&] { bus.StoreByte(0, gLimiterEnableObject.GetId(), kFirstOutput + 1, 1); },
       {},
       {},
       false,
       controls},
      {"the summary's mixing map",
       &NodeIds::summary,
       [&] { StoreLevel(gCrosspointLevelObject.GetId(), 6, -6.0f); },
       {},
       {},
       false,
       map},
  };
  enum class Then { kChange, kChangeWhoseReadsFail, kIdlePasses };
  for (const Row& row : rows) {
    for (const Then then : {Then::kChange, Then::kChangeWhoseReadsFail, Then::kIdlePasses}) {
      if (!row.change && then != Then::kIdlePasses) continue;
      if (!row.readsFirst && then == Then::kChangeWhoseReadsFail) continue;
      SCOPED_TRACE(std::string(row.what) + ", then " + std::to_string(static_cast<int>(then)));
      row.store();
      editWindow.reset();
      ui::test::PumpMessages();
      OpenUnit();
      const int node = editWindow->Ids().*row.node;
      ovtest::ReportedErrors().clear();
      bus.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress));
      editWindow->OpenChildWindow(node);
      bus.bus.ClearFaults();
      ui::Window* window = editWindow->ChildWindow(node);
      ASSERT_NE(window, nullptr);
      const std::vector<std::string> filledSilent = row.shown(*window);
      EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
      ovtest::ReportedErrors().clear();
      bus.TakeTrace();
      if (then == Then::kIdlePasses) {
        testsupport::ResumePollsAndSettle();
        const std::vector<std::string> answered = row.shown(*window);
        EXPECT_NE(answered, filledSilent);
        editWindow.reset();
        ui::test::PumpMessages();
        OpenUnit();
        editWindow->OpenChildWindow(node);
        EXPECT_EQ(answered, row.shown(*editWindow->ChildWindow(node)));
        EXPECT_THAT(ovtest::ReportedErrors(), IsEmpty());
        continue;
      }
      const bool readsFail = then == Then::kChangeWhoseReadsFail;
      if (readsFail) {
        bus.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress).ForOpcode(sim::kOpcodeGet));
      }
      row.change(*window);
      bus.bus.ClearFaults();
      EXPECT_THAT(Writes(), readsFail ? std::vector<std::string>{} : row.writes);
      EXPECT_EQ(ovtest::ReportedErrors().size(), readsFail ? 1u : 0u);
    }
  }
}

TEST(VirtualProcessingTest, AVirtualThreeBySevenUnitOpensEveryWindowAndNeverPolls) {
  auto unit = ovtest::NewVirtual<IQDevice8148>(7);
  TEdit8148Window editWindow(nullptr, *unit);
  editWindow.Create();
  const NodeIds& ids = editWindow.Ids();
  for (int node : {ids.compressors, ids.limiter, ids.dspCapacity, ids.mixing, ids.advancedMixer,
                   ids.pinkNoise}) {
    editWindow.OpenChildWindow(node);
    ASSERT_NE(editWindow.ChildWindow(node), nullptr) << node;
  }
  auto& compressors = dynamic_cast<TCompressorWindow&>(*editWindow.ChildWindow(ids.compressors));
  EXPECT_FALSE(ui::test::ControlOf(compressors.Pane(2), kCompGang).IsEnabled());
  auto& limiter = dynamic_cast<TLimiterWindow&>(*editWindow.ChildWindow(ids.limiter));
  EXPECT_GT(limiter.Pane(3).WindowRect().top, limiter.Pane(2).WindowRect().top);  // 3 over 4
  EXPECT_EQ(dynamic_cast<TPinkDialog&>(*editWindow.ChildWindow(ids.pinkNoise)).ResourceId(),
            kPinkNoise7Outputs);
  unit->TakeTrace();
  ui::test::PumpIdle(10);
  for (const std::string& line : unit->TakeTrace()) {
    EXPECT_FALSE(line.starts_with("R2C") || line.starts_with("R38")) << line;
  }
  // The row length is 4, not the input count: input 3 of output G (on from the start) is element
  // 6 x 4 + 2.
  auto& mixer = dynamic_cast<TMixerWindow&>(*editWindow.ChildWindow(ids.mixing));
  ui::test::Click(mixer, kCrosspointBox + 6 * 3 + 2);
  std::vector<std::string> writes = unit->TakeTrace();
  std::erase_if(writes, [](const std::string& line) { return !line.starts_with("W0C"); });
  EXPECT_THAT(writes, ElementsAre("W0C.26 " + Gain(-100.0f)));
}

}  // namespace
}  // namespace namespaceOV
