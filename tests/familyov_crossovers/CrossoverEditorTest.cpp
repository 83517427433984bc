// The crossover editor opened from a unit's tree: the graph's curves and network sum by pixels,
// dragging a crossover edge through the pseudo-terminal, and filters added on linked channels of a
// model whose outputs do not follow its inputs.

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "familyov/filters/CrossoverChanges.h"
#include "familyov/filters/TCrossoverEditor.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditModelWindows.h"
#include "platform/ui/Application.h"
#include "platform/ui/Static.h"
#include "platform/ui/TestHooks.h"
#include "resources/FamilyOvCrossoverEditorIds.h"
#include "resources/FamilyOvCrossoverIds.h"
#include "sim/Fault.h"
#include "tests/familyov_unit/GuiTestEnvironment.h"
#include "tests/familyov_unit/OVTestSupport.h"
#include "tests/support/FaultKinds.h"
#include "tests/support/PollsResumed.h"

namespace namespaceOV {
namespace {

constexpr ui::Color kGreen{0, 255, 0};
constexpr ui::Color kMagenta{255, 0, 255};
constexpr int kUp = -1;

struct CrossoverEditorTest : testing::Test {
  ovtest::FamilyBus bus;
  IQ8148Type type;
  int index = bus.AddModelUnit(sim::familyov::Model::k8148, 5, "1.5");
  IQDeviceInfo record{5, 1136, 1, ovtest::ModelId('8', "1.5", true)};
  IQDevice8148 unit{&type, &bus.manager, &record, 8};  // outputs from channel 4, in pairs
  TEdit8148Window editWindow{nullptr, unit};
  TCrossoverDecoratedFrame* editor = nullptr;

  void SetUp() override {
    bus.port.SetRetries(0);
    ovtest::ReportedErrors().clear();
    unit.autoOpenSummary = 0;  // only the windows a test opens
    editWindow.Create();
    for (const auto& [channel, name] : {std::pair{4, "Woofer"}, std::pair{5, "Tweeter"}}) {
      gChannelNameObject.SetElement(channel);
      gChannelNameObject.Write(unit, name);
    }
    editWindow.OpenChildWindow(editWindow.Ids().crossovers);
    editor = dynamic_cast<TCrossoverDecoratedFrame*>(
        editWindow.ChildWindow(editWindow.Ids().crossovers));
    ASSERT_NE(editor, nullptr);
    editor->SetRect({0, 0, 1000, 600});
    ui::test::PumpMessages();
  }
  TCrossoverGraphWindow& Graph() { return editor->Layout().Graph(); }
  CrossoverChanges Changes() {
    return CrossoverChanges(unit, [this](NotifyRecord& r) { editWindow.Notify(&r); });
  }
  // Output A falls and output B rises at 1200 Hz, fourth-order Linkwitz-Riley: network 1.
  void MakeTwoWayNetwork() {
    CrossoverChanges changes = Changes();
    changes.SetType(0, CrossoverSide::kLow, kCrossoverLinkwitzRiley);
    changes.StepOrder(0, CrossoverSide::kLow, kUp, "1200");
    changes.SetType(1, CrossoverSide::kHigh, kCrossoverLinkwitzRiley);
    changes.StepOrder(1, CrossoverSide::kHigh, kUp, "1200");
    ui::test::PumpMessages();
    bus.TakeTrace();
  }
  // Where the graph puts a value: the window's pixel.
  ui::Point PixelOf(float f, float dB) {
    QImage scratch(1, 1, QImage::Format_RGB32);
    ui::Dc dc(scratch);
    familycommon::TFreqDC freq(dc, Graph().ClientRect(), 20.0f, 24000.0f, -80.0f, 20.0f, false);
    const ui::Point up = freq.ValueToPoint({f, std::pow(10.0f, dB / 20.0f)}, false);
    return dc.Mapping().ToDevice({up.x, -up.y});
  }
  bool Near(ui::Point p, ui::Color colour) {
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        if (ui::test::SamplePixel(Graph(), {p.x + dx, p.y + dy}) == colour) return true;
      }
    }
    return false;
  }
};

// Whether `control` lies wholly inside `window`'s client area.
bool Inside(ui::Window& control, ui::Window& window) {
  const ui::Rect r = control.ClientRect();
  const ui::Point topLeft = window.ScreenToClient(control.ClientToScreen({0, 0}));
  const ui::Point bottomRight = window.ScreenToClient(control.ClientToScreen({r.right, r.bottom}));
  const ui::Rect client = window.ClientRect();
  return topLeft.x >= 0 && topLeft.y >= 0 && bottomRight.x <= client.right &&
         bottomRight.y <= client.bottom;
}

TEST_F(CrossoverEditorTest, AtItsFirstSizeEveryControlShowsWithBothRowsPictures) {
  TCrossoverDecoratedFrame fresh(editWindow);
  fresh.Create();
  fresh.Show();
  ui::test::PumpMessages();
  TCrossoverDialog& dialog = fresh.Layout().Dialog();
  EXPECT_TRUE(Inside(ui::test::ControlOf(dialog, ovcrossover_res::kPolarity), fresh));
  int pictures = 0;
  for (ui::Window* child : dialog.Children()) {
    if (dynamic_cast<ui::Picture*>(child) == nullptr) continue;
    ++pictures;
    const ui::Rect r = child->WindowRect();
    int traced = 0;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) {
        const ui::Color c = ui::test::SamplePixel(dialog, {x, y});
        if (c.b > 100 && c.r < 80 && c.g < 80) ++traced;
      }
    }
    EXPECT_GT(traced, 10);
  }
  EXPECT_EQ(pictures, 2);
}

TEST_F(CrossoverEditorTest, TheGraphShowsEachOutputOfTheNetworkAndTheirSum) {
  EXPECT_EQ(editor->Text(), "Crossovers--" + unit.GetDisplayName());
  MakeTwoWayNetwork();
  EXPECT_EQ(Graph().CurrentChannel(), 4);
  ASSERT_EQ(Graph().Icons().All().size(), 2u);
  // The chosen output's low-pass in white, the other output's high-pass in green, no sum yet.
  EXPECT_TRUE(Near(PixelOf(100.0f, 0.0f), ui::kWhite));
  EXPECT_TRUE(Near(PixelOf(10000.0f, 0.0f), kGreen));
  // Below the bottom of the plot a curve breaks off rather than running along the edge.
  EXPECT_FALSE(Near(PixelOf(40.0f, -80.0f), kGreen));
  EXPECT_FALSE(Near(PixelOf(1200.0f, 0.0f), kMagenta));

  // The menu's command: in phase the two edges add up flat.
  ui::Application::Instance()->RouteCommand(ovcrossover_editor_res::kCmShowNetworkSum,
                                            &editor->Layout());
  ui::test::PumpMessages();
  EXPECT_TRUE(unit.showNetworkSum);
  for (const float f : {100.0f, 1200.0f, 10000.0f}) EXPECT_TRUE(Near(PixelOf(f, 0.0f), kMagenta));

  // Inverted, output B cancels output A where they cross.
  Changes().TogglePolarity(1);
  ui::test::PumpMessages();
  EXPECT_TRUE(Near(PixelOf(100.0f, 0.0f), kMagenta));
  EXPECT_FALSE(Near(PixelOf(1200.0f, 0.0f), kMagenta));
  // A polarity the unit holds as minus infinity counts as inverted, not as a perfect network.
  gPolarityObject.SetElement(1);
  gPolarityObject.Write(unit, -std::numeric_limits<float>::infinity());
  NotifyRecord polarity{PolarityChanged, unit.firstOutput + 1, 0, nullptr};
  editWindow.Notify(&polarity);
  ui::test::PumpMessages();
  EXPECT_TRUE(Near(PixelOf(100.0f, 0.0f), kMagenta));
  EXPECT_FALSE(Near(PixelOf(1200.0f, 0.0f), kMagenta));

  // Choosing output C shows network 2, where no output has crossovers.
  ui::TreeView& tree = editor->Layout().NetworkTree().Tree();
  tree.Select(tree.FirstChild(tree.NextSibling(tree.FirstRoot())));
  ui::test::PumpMessages();
  EXPECT_EQ(Graph().CurrentChannel(), 6);
  EXPECT_TRUE(Graph().Icons().All().empty());
  EXPECT_FALSE(Near(PixelOf(100.0f, 0.0f), ui::kWhite));
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

TEST_F(CrossoverEditorTest,
       DraggingAnEdgeWritesTheLatestFrequencyLiveAndTheWholeCrossoverAtTheEnd) {
  MakeTwoWayNetwork();
  TFilter& low = *unit.LowCrossover(0);
  const std::string number = ovtest::Hex(low.number);
  const ui::Point icon = PixelOf(1200.0f, 20.0f * std::log10(0.707f));
  ui::test::MouseDown(Graph(), icon);
  EXPECT_TRUE(Graph().Dragging());
  EXPECT_FALSE(unit.parametersReady);
  // Two moves before the unit is written: only the latest goes out; mostly sideways, so only
  // the frequency moves.
  ui::test::MouseMove(Graph(), {icon.x + 20, icon.y + 2});
  ui::test::MouseMove(Graph(), {icon.x + 40, icon.y - 3});
  EXPECT_EQ(Graph().PendingLiveWrites(), 1);
  ui::test::PumpMessages();
  const int first = low.frequency;
  EXPECT_GT(first, 1200);
  ui::test::MouseMove(Graph(), {icon.x + 60, icon.y});
  ui::test::MouseUp(Graph(), {icon.x + 60, icon.y});
  ui::test::PumpMessages();
  const int last = low.frequency;
  EXPECT_GT(last, first);
  const auto hz = [](int f) {
    char text[32];
    std::snprintf(text, sizeof text, "W13.0 %08X", f);
    return std::string(text);
  };
  EXPECT_EQ(bus.TakeTrace(), (std::vector<std::string>{
                                 "W11 " + number, hz(first), "W14 02", "W11 " + number, "W10 08",
                                 "W0F 04", "W24 00", hz(last), "W31 00", "W13.1 00000004",
                                 "W13.2 00000003", "W11 " + number, "W14 00"}));
  EXPECT_EQ(ui::test::ControlOf(editor->Layout().Dialog(), ovcrossover_res::kLowFrequency).Text(),
            std::to_string(last));
  EXPECT_FALSE(Graph().Dragging());
  EXPECT_TRUE(unit.parametersReady);
  EXPECT_EQ(ui::Window::MouseCapture(), nullptr);

  // Escape leaves the edge where the mouse took it, on the unit too, and tells no window.
  const ui::Point now = PixelOf(static_cast<float>(last), 20.0f * std::log10(0.707f));
  ui::test::MouseDown(Graph(), now);
  ui::test::MouseMove(Graph(), {now.x + 30, now.y});
  ui::test::PressKey(Graph(), Qt::Key_Escape);
  ui::test::PumpMessages();
  EXPECT_FALSE(Graph().Dragging());
  EXPECT_EQ(ui::Window::MouseCapture(), nullptr);
  EXPECT_EQ(bus.TakeTrace(),
            (std::vector<std::string>{"W11 " + number, hz(low.frequency), "W14 02"}));
  EXPECT_EQ(ui::test::ControlOf(editor->Layout().Dialog(), ovcrossover_res::kLowFrequency).Text(),
            std::to_string(low.frequency));

  // Output B's edge is drawn but cannot be taken from here.
  const ui::Point other = PixelOf(1200.0f, 20.0f * std::log10(0.707f));
  ui::test::MouseDown(Graph(), other);
  EXPECT_FALSE(Graph().Dragging());
  ui::test::MouseUp(Graph(), other);
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

TEST_F(CrossoverEditorTest, ABusErrorDuringADragEndsItAndFreesTheMouse) {
  MakeTwoWayNetwork();
  const ui::Point icon = PixelOf(1200.0f, 20.0f * std::log10(0.707f));
  bus.bus.AddFault(sim::Fault::ErrorObject(3).ForUnit(5).ForObject(0x13).ForOpcode(9));
  ui::test::MouseDown(Graph(), icon);
  ui::test::MouseMove(Graph(), {icon.x + 30, icon.y});
  ui::test::PumpMessages();
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  EXPECT_FALSE(Graph().Dragging());
  EXPECT_EQ(ui::Window::MouseCapture(), nullptr);
  EXPECT_TRUE(unit.parametersReady);
  bus.TakeTrace();
  ui::test::MouseMove(Graph(), {icon.x + 50, icon.y});
  ui::test::MouseUp(Graph(), {icon.x + 50, icon.y});
  ui::test::PumpMessages();
  EXPECT_EQ(bus.TakeTrace(), std::vector<std::string>{});
}

// A drop the unit fails after it followed the drag: the edge, in the program and in the dialog,
// stays where the unit last took it, or shows unknown while the unit may hold more; one report.
TEST_F(CrossoverEditorTest, ADropTheUnitFailsLeavesTheEdgeWhereTheUnitLastTookIt) {
  MakeTwoWayNetwork();
  for (const testsupport::WriteFailure& failure : testsupport::WriteFailures(3)) {
    SCOPED_TRACE(failure.name);
    ovtest::ReportedErrors().clear();
    TFilter& low = *unit.LowCrossover(0);
    const ui::Point icon = PixelOf(static_cast<float>(low.frequency), 20.0f * std::log10(0.707f));
    ui::test::MouseDown(Graph(), icon);
    ui::test::MouseMove(Graph(), {icon.x + 30, icon.y});
    ui::test::PumpMessages();
    const int taken = low.frequency;
    bus.bus.AddFault(failure.fault.ForUnit(5));
    ui::test::MouseMove(Graph(), {icon.x + 60, icon.y});
    ui::test::MouseUp(Graph(), {icon.x + 60, icon.y});
    ui::test::PumpMessages();
    EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
    EXPECT_EQ(low.frequency, taken);
    EXPECT_EQ(ui::test::ControlOf(editor->Layout().Dialog(), ovcrossover_res::kLowFrequency).Text(),
              failure.refused ? std::to_string(taken) : "");
    bus.bus.ClearFaults();
    testsupport::ResumePollsAndSettle();
  }
}

// Lets the section count, not the cost, decide how many filters fit.
class RoomyUnit : public IQDevice8148 {
 public:
  using IQDevice8148::IQDevice8148;
  const DspCapacity& Capacity() const override {
    static constexpr DspCapacity kRoomy = [] {
      DspCapacity c = kCapacity;
      c.capacity = 1'000'000;
      return c;
    }();
    return kRoomy;
  }
};

TEST(CrossoverEditorChannelsTest, LinkedFiltersAndSectionsReachTheLastOutputOfAModelWithAGap) {
  // Three inputs, seven outputs from channel 4: channel 3 does not exist, channel 10 does.
  auto unit = ovtest::NewVirtual<RoomyUnit>(7);
  ASSERT_EQ(unit->firstOutput, 4);
  TEdit8148Window editWindow(nullptr, *unit);
  editWindow.Create();
  unit->linkedChannels[0] = unit->linkedChannels[10] = true;
  auto peak = std::make_unique<TParametricFilter>();
  peak->channel = 0;
  TFilter* added = unit->AddFilter(std::move(peak));
  added->WriteToDevice(*unit);
  added->SendCreateCommand(*unit);
  NotifyRecord record{FilterAdded, 0, 0, added};
  editWindow.Notify(&record);
  std::vector<int> channels;
  for (const auto& f : unit->Filters()) channels.push_back(f->channel);
  EXPECT_EQ(channels, (std::vector<int>{0, 10}));

  // The last output's sections count against the unit's filter records.
  while (static_cast<int>(unit->Filters().size()) < unit->GetMaxFilterRecords()) {
    auto more = std::make_unique<TParametricFilter>();
    more->channel = 10;
    unit->AddFilter(std::move(more));
  }
  EXPECT_FALSE(unit->CanAddSections(kParametricSections, 1));
}

}  // namespace
}  // namespace namespaceOV
