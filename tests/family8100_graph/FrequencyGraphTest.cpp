// A filter bank's frequency graph against a simulated unit of the older family: what it draws at
// both ranges, selecting and dragging filters with the writes they make, the faults of a drag,
// printing, and the README's picture.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/DeviceErrorReport.h"
#include "family8100/filters/BankHub.h"
#include "family8100/filters/TFilterDialog8100.h"
#include "family8100/filters/TFrequencyGraph.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/TEdit8100Window.h"
#include "platform/ui/Application.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/Family8100FilterDialogIds.h"
#include "sim/Fault.h"
#include "sim/WireFormat.h"
#include "tests/app/AppGuiEnvironment.h"
#include "tests/family8100_unit/BankGraphPixel.h"
#include "tests/family8100_unit/OlderFamilyBus.h"

namespace namespace8100 {
namespace {

using sim::family8100::Model;

const auto* const kEnvironment = testsupport::AddAppGuiEnvironment("family8100_graph_tests", [] {});

constexpr ui::Color kTeal{0, 128, 128};
constexpr ui::Color kDarkBlue{0, 0, 128};
constexpr ui::Color kGreen{0, 255, 0};
constexpr ui::Color kRed{255, 0, 0};

bool Has(const std::vector<std::string>& trace, const std::string& request) {
  return std::ranges::find(trace, request) != trace.end();
}

class FrequencyGraphTest : public testing::Test {
 protected:
  FrequencyGraphTest() {
    bus.port.SetRetries(0);
    sim::family8100::AddFamily8100Unit(bus.bus, {.model = Model::kX, .address = 2});
    unit = testsupport8100::OnlyUnit(bus);
    controls::SetDeviceErrorReporter([this](const IQException& e, IQDevice*, int) {
      errors.push_back(e.GetText());
      if (atBox) atBox();
    });
  }
  ~FrequencyGraphTest() override { controls::SetDeviceErrorReporter(nullptr); }

  template <typename Filter>
  Filter& Add(int bank, int frequency, float level = 0.0f) {
    auto made = std::make_unique<Filter>();
    made->bank = bank;
    made->frequency = frequency;
    if constexpr (requires { made->level; }) made->level = level;
    if constexpr (requires { made->q; }) made->q = 1.4f;
    auto& filter = static_cast<Filter&>(unit->PlaceFilter(std::move(made)));
    filter.WriteToUnit(*unit);
    filter.SetUnitFlag(*unit);
    return filter;
  }

  TFrequencyGraph& Open(int bank, ui::Rect rect = {0, 0, 800, 400}) {
    graph = std::make_unique<TFrequencyGraph>(*unit, bank, nullptr);
    graph->SetRect(rect);
    graph->Create();
    graph->Show();
    ui::test::PumpMessages();
    bus.TakeTrace();
    return *graph;
  }

  // Where the graph puts a value: the window's pixel.
  ui::Point PixelOf(float f, float dB) const {
    return testsupport8100::BankGraphPixel(*graph, *unit, {f, std::pow(10.0f, dB / 20.0f)});
  }
  bool Near(ui::Point p, ui::Color colour, int reach = 1) const {
    for (int dy = -reach; dy <= reach; ++dy) {
      for (int dx = -reach; dx <= reach; ++dx) {
        if (ui::test::SamplePixel(*graph, {p.x + dx, p.y + dy}) == colour) return true;
      }
    }
    return false;
  }
  int LightPixels(const ui::Rect& box) const {
    int count = 0;
    for (int y = box.top; y < box.bottom; ++y) {
      for (int x = box.left; x < box.right; ++x) {
        const ui::Color c = ui::test::SamplePixel(*graph, {x, y});
        count += c.r > 100 && c.g > 100 && c.b > 100 ? 1 : 0;
      }
    }
    return count;
  }
  void Command(int id) {
    ui::Application::Instance()->RouteCommand(id, graph.get());
    ui::test::PumpMessages();
  }
  void Click(ui::Point p) {
    ui::test::MouseDown(*graph, p);
    ui::test::MouseUp(*graph, p);
    ui::test::PumpMessages();
  }

  testsupport8100::OlderFamilyBus bus;
  IQDevice8100* unit = nullptr;
  std::unique_ptr<TFrequencyGraph> graph;
  std::vector<std::string> errors;
  // Runs while the error box is open.
  std::function<void()> atBox;
};

TEST_F(FrequencyGraphTest, GridLabelsAndTracesAtBothRanges) {
  Add<TParametricFilter>(kRightInputBank, 1000, 10.0f);
  Add<TParametricFilter>(kLeftInputBank, 100, -20.0f);
  Add<TLowpassFilter>(kRightInputBank, 5000).bypass = true;
  Open(kRightInputBank);

  EXPECT_EQ(ui::test::SamplePixel(*graph, PixelOf(1000.0f, -70.0f)), kTeal);
  EXPECT_EQ(ui::test::SamplePixel(*graph, PixelOf(45.0f, -20.0f)), kDarkBlue);
  EXPECT_TRUE(Near(PixelOf(1000.0f, 10.0f), kGreen));
  // The left bank's filter is not in this sum; the bypassed low-pass neither, unless asked for.
  EXPECT_TRUE(Near(PixelOf(100.0f, 0.0f), kGreen));
  EXPECT_FALSE(Near(PixelOf(15000.0f, -24.0f), kRed, 2));
  const ui::Point tenK = PixelOf(10000.0f, -80.0f);
  EXPECT_GT(LightPixels({tenK.x - 20, tenK.y + 2, tenK.x + 20, tenK.y + 16}), 10);

  Command(TFrequencyGraph::kCmShowBypassTrace);
  EXPECT_TRUE(Near(PixelOf(10000.0f, -12.3f), kRed, 3));
  Command(TFrequencyGraph::kCmLeftIn);
  EXPECT_TRUE(Near(PixelOf(100.0f, -20.0f), kGreen, 2));

  // Zoomed: 100 Hz to 1 kHz, the frame closes the right edge, levels every dB from -12.
  Command(TFrequencyGraph::kCmHorizontalZoom);
  Command(TFrequencyGraph::kCmVerticalZoom);
  EXPECT_EQ(ui::test::SamplePixel(*graph, PixelOf(500.0f, -11.5f)), kTeal);
  EXPECT_EQ(ui::test::SamplePixel(*graph, PixelOf(1000.0f, -11.5f)), kDarkBlue);
  EXPECT_TRUE(Near(PixelOf(1000.0f, 10.0f), kGreen, 2));
}

TEST_F(FrequencyGraphTest, DragKeepsToOneAxisWritesLiveAndCommitsOnDropEscapeLeavesIt) {
  TParametricFilter& filter = Add<TParametricFilter>(kRightInputBank, 1000, 0.0f);
  Open(kRightInputBank);
  TAllChannelParent hubs;
  TChannelParent hub(*unit, hubs, kRightInputBank);
  auto dialog = TFilterDialog8100::Make(nullptr, hub, filter);
  dialog->Create();
  auto field = [&](int id) { return ui::test::ControlOf(*dialog, id).Text(); };
  const ui::Point icon = PixelOf(1000.0f, 0.0f);
  Click(icon);
  ASSERT_NE(graph->Icons().Selected(), nullptr);
  EXPECT_TRUE(bus.TakeTrace().empty());

  // Mostly sideways: the level stays where it was.
  ui::test::MouseDown(*graph, icon);
  EXPECT_TRUE(graph->Dragging());
  EXPECT_TRUE(Has(bus.TakeTrace(), "W15 00"));
  ui::test::MouseMove(*graph, {icon.x + 60, icon.y - 8});
  EXPECT_GT(filter.frequency, 1500);
  EXPECT_EQ(field(f8100res::kFilterFrequency), std::to_string(filter.frequency));
  EXPECT_FLOAT_EQ(filter.level, 0.0f);
  EXPECT_FALSE(Has(bus.TakeTrace(), "W18 01"));
  ui::test::MouseUp(*graph, {icon.x + 60, icon.y - 8});
  ui::test::PumpMessages();
  EXPECT_FALSE(graph->Dragging());
  EXPECT_EQ(bus.TakeTrace().back(), "W18 01");
  const int dropped = filter.frequency;

  // Mostly up, then Esc: the frequency stays, the level stays as live-written, nothing commits.
  const ui::Point moved = PixelOf(static_cast<float>(dropped), 0.0f);
  ui::test::MouseDown(*graph, moved);
  ui::test::MouseMove(*graph, {moved.x + 3, moved.y - 40});
  bus.TakeTrace();
  char level[16];
  std::snprintf(level, sizeof level, "%.1f", static_cast<double>(filter.level));
  EXPECT_EQ(field(f8100res::kFilterLevel), level);
  ui::test::PressKey(*graph, Qt::Key_Escape);
  ui::test::PumpMessages();
  EXPECT_FALSE(graph->Dragging());
  EXPECT_EQ(ui::Window::MouseCapture(), nullptr);
  EXPECT_EQ(filter.frequency, dropped);
  EXPECT_GT(filter.level, 3.0f);
  const auto escaped = bus.TakeTrace();
  EXPECT_FALSE(escaped.empty()) << "the level reached goes to the unit";
  EXPECT_FALSE(Has(escaped, "W18 01"));
  EXPECT_TRUE(errors.empty());

  dialog.reset();  // a later drag has no dialog to show its values in
  EXPECT_EQ(filter.frequencyField, nullptr);
  EXPECT_EQ(filter.levelField, nullptr);
}

// The view commands flip their own flag of this bank's view only. With both live flags off a drag
// leaves the unit alone until the drop, which writes and commits.
TEST_F(FrequencyGraphTest, ViewCommandsFlipTheirBanksFlagAndWithoutLiveFlagsOnlyTheDropWrites) {
  TParametricFilter& filter = Add<TParametricFilter>(kRightInputBank, 1000, 0.0f);
  Open(kRightInputBank);
  GraphView8100& view = unit->graphViews[kRightInputBank];
  const GraphView8100& otherView = unit->graphViews[kLeftInputBank];
  ASSERT_TRUE(view.liveWrite && view.liveRedraw);
  const struct {
    int command;
    bool GraphView8100::*flag;
  } commands[] = {{TFrequencyGraph::kCmShowBypassTrace, &GraphView8100::showBypassTrace},
                  {TFrequencyGraph::kCmLiveWrite, &GraphView8100::liveWrite},
                  {TFrequencyGraph::kCmLiveRedraw, &GraphView8100::liveRedraw}};
  for (const auto& c : commands) {
    SCOPED_TRACE(c.command);
    const bool before = view.*c.flag;
    const bool otherBefore = otherView.*c.flag;
    Command(c.command);
    EXPECT_EQ(view.*c.flag, !before);
    EXPECT_EQ(otherView.*c.flag, otherBefore);
  }
  EXPECT_TRUE(bus.TakeTrace().empty());

  const ui::Point icon = PixelOf(1000.0f, 0.0f);
  Click(icon);
  ui::test::MouseDown(*graph, icon);
  ASSERT_TRUE(graph->Dragging());
  ui::test::MouseMove(*graph, {icon.x + 60, icon.y});
  ui::test::PumpMessages();
  EXPECT_TRUE(bus.TakeTrace().empty());
  EXPECT_EQ(filter.frequency, 1000) << "the filter takes the values at the drop";
  ui::test::MouseUp(*graph, {icon.x + 60, icon.y});
  ui::test::PumpMessages();
  EXPECT_GT(filter.frequency, 1500);
  EXPECT_EQ(bus.TakeTrace().back(), "W18 01");
  EXPECT_TRUE(errors.empty());
}

TEST_F(FrequencyGraphTest, ABusFailureDuringADragReleasesTheMouseAndEndsIt) {
  TEdit8100Window unitWindow(nullptr, *unit);
  unitWindow.Create();
  TParametricFilter& filter = Add<TParametricFilter>(kRightInputBank, 1000, 0.0f);
  Open(kRightInputBank);
  ui::Point icon = PixelOf(1000.0f, 0.0f);
  Click(icon);

  // The unit refusing one step leaves the drag running; a silent line ends it.
  ui::test::MouseDown(*graph, icon);
  bus.bus.AddFault(sim::Fault::ErrorObject(3).ForUnit(2).ForOpcode(9).Times(1));
  ui::test::MouseMove(*graph, {icon.x + 30, icon.y});
  ui::test::PumpMessages();
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_TRUE(graph->Dragging());
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(2).ForOpcode(9));
  ui::test::MouseMove(*graph, {icon.x + 40, icon.y});
  ui::test::PumpMessages();
  EXPECT_EQ(errors.size(), 2u);
  EXPECT_FALSE(graph->Dragging());
  EXPECT_EQ(ui::Window::MouseCapture(), nullptr);

  // A failed drop ends the drag too. Its press reads the unit, in doubt since the silence, again
  // first, through the unit's window.
  bus.bus.ClearFaults();
  icon = PixelOf(static_cast<float>(filter.frequency), 0.0f);
  ui::test::MouseDown(*graph, icon);
  ASSERT_TRUE(graph->Dragging());
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(2).ForOpcode(9));
  ui::test::MouseUp(*graph, {icon.x + 1, icon.y});
  EXPECT_EQ(errors.size(), 3u);
  EXPECT_FALSE(graph->Dragging());
  EXPECT_EQ(ui::Window::MouseCapture(), nullptr);
}

// A step written live, then a drop, that the unit refuses: while the error box is open the filter
// and its icon stand where the unit last took them, at the drag's last step taken.
TEST_F(FrequencyGraphTest, WhileTheBoxIsOpenTheFilterStandsWhereTheUnitLastTookIt) {
  TParametricFilter& filter = Add<TParametricFilter>(kRightInputBank, 1000, 0.0f);
  Open(kRightInputBank);
  Click(PixelOf(1000.0f, 0.0f));
  // A step ends with the commit flag, which the drop writes last; a drop begins with the slot's
  // type. The last step is written before the drop where the step is refused, else never.
  const struct {
    const UCodeObject* refused;
    bool stepWritten;
  } cases[] = {{&g8100FilterCommit, true}, {&g8100FilterType, false}};
  for (const auto& [refused, stepWritten] : cases) {
    SCOPED_TRACE(refused->GetId());
    errors.clear();
    const ui::Point from = PixelOf(static_cast<float>(filter.frequency), 0.0f);
    ui::test::MouseDown(*graph, from);
    ui::test::MouseMove(*graph, {from.x + 30, from.y});
    ui::test::PumpMessages();
    const int taken = filter.frequency;
    bus.bus.AddFault(sim::Fault::ErrorObject(3)
                         .ForUnit(2)
                         .ForObject(refused->GetId())
                         .ForOpcode(sim::kOpcodeSet)
                         .Times(1));
    std::vector<float> shown;
    atBox = [&] {
      // The box's own loop delivers what the views were told.
      ui::test::PumpMessages();
      shown = {static_cast<float>(filter.frequency), graph->Icons().Selected()->position.frequency};
    };
    ui::test::MouseMove(*graph, {from.x + 60, from.y});
    if (stepWritten) ui::test::PumpMessages();
    ui::test::MouseUp(*graph, {from.x + 60, from.y});
    ui::test::PumpMessages();
    atBox = nullptr;
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_THAT(shown, testing::Each(static_cast<float>(taken)));
    bus.bus.ClearFaults();
  }
}

TEST_F(FrequencyGraphTest, PrintedGraphSitsInTheMiddleOfThePage) {
  Add<TParametricFilter>(kRightInputBank, 1000, 10.0f);
  Open(kRightInputBank);
  QTemporaryDir folder;
  const QString pdf = folder.filePath("graph.pdf");
  ui::PromptScript script([](const std::string& m) { ADD_FAILURE() << m; });
  script.AnswerPrint(pdf.toStdString());
  Command(TFrequencyGraph::kCmPrint);

  QProcess convert;
  convert.start("pdftoppm", {"-png", "-r", "72", "-singlefile", pdf, folder.filePath("page")});
  ASSERT_TRUE(convert.waitForFinished(30000) && convert.exitCode() == 0) << "pdftoppm failed";
  const QImage page(folder.filePath("page.png"));
  ASSERT_FALSE(page.isNull());
  auto inkNear = [&](int x) {
    int most = 0;
    for (int dx = -2; dx <= 2; ++dx) {
      int ink = 0;
      for (int y = page.height() / 4; y < 3 * page.height() / 4; ++y) {
        ink += qGray(page.pixel(x + dx, y)) < 200 ? 1 : 0;
      }
      most = std::max(most, ink);
    }
    return most;
  };
  const int w = page.width();
  EXPECT_GT(inkNear(w / 5), page.height() / 3);
  EXPECT_GT(inkNear(4 * w / 5), page.height() / 3);
  EXPECT_LT(inkNear(w / 10), 5);
}

TEST_F(FrequencyGraphTest, ReadmePictureOfABankWithSeveralFilters) {
  Add<THighpassFilter>(kLeftOutputBank, 40);
  Add<TParametricFilter>(kLeftOutputBank, 120, -6.0f);
  Add<TLowshelfFilter>(kLeftOutputBank, 300, 4.0f);
  Add<TParametricFilter>(kLeftOutputBank, 2500, 5.0f).q = 3.0f;
  Add<THighshelfFilter>(kLeftOutputBank, 8000, -4.0f);
  Add<TLowpassFilter>(kLeftOutputBank, 16000);
  Open(kLeftOutputBank, {0, 0, 1000, 420});
  Command(TFrequencyGraph::kCmVerticalZoom);
  Click(PixelOf(2500.0f, 5.0f));
  ASSERT_NE(graph->Icons().Selected(), nullptr);
  std::filesystem::create_directories(GALLERY_DIR);
  EXPECT_TRUE(ui::test::GrabPng(*graph, GALLERY_DIR "/frequency-graph-8100.png"));
  if (std::getenv("TELVO_UPDATE_DOCS") != nullptr) {
    EXPECT_TRUE(ui::test::GrabPng(*graph, DOCS_DIR "/frequency-graph-8100.png"));
  }
}

}  // namespace
}  // namespace namespace8100
