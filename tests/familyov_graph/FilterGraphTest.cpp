// The filter graph of a unit's channel against the simulated bus: what it draws at both ranges
// and in both label modes, selecting, dragging and stepping filters with the writes they make,
// the faults of a drag, printing, and the README's picture.

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bus/PollBackoff.h"
#include "familyov/filters/FilterClasses.h"
#include "familyov/filters/TFilterEditor.h"
#include "familyov/filters/TFilterGraphWindow.h"
#include "familyov/unit/OrdavinexErrors.h"
#include "familyov/unit/TEditModelWindows.h"
#include "familyov/unit/TOVWindow.h"
#include "platform/ui/Application.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "tests/familyov_unit/GuiTestEnvironment.h"
#include "tests/familyov_unit/OVTestSupport.h"
#include "tests/support/FaultKinds.h"

namespace namespaceOV {
namespace {

using sim::familyov::Model;

const auto* const kEnvironment = ovtest::AddGuiEnvironment("familyov_graph_tests");

constexpr ui::Color kTeal{0, 128, 128};
constexpr ui::Color kDarkBlue{0, 0, 128};
constexpr ui::Color kGreen{0, 255, 0};
constexpr ui::Color kRed{255, 0, 0};

class FilterGraphTest : public testing::Test {
 protected:
  FilterGraphTest() {
    bus.port.SetRetries(0);
    unit = bus.AddModelUnit(Model::k8148, 5);
    device = &dynamic_cast<IQDevice8148&>(*bus.RollCall({&type}).at(0));
    device->autoOpenSummary = 0;
    edit = std::make_unique<TEdit8148Window>(nullptr, *device);
    edit->Create();
    edit->Show();
    ovtest::ReportedErrors().clear();
  }

  template <typename FilterClass>
  FilterClass& Add(int channel, int frequency, float level = 0.0f) {
    auto filter = std::make_unique<FilterClass>();
    filter->channel = channel;
    filter->frequency = frequency;
    if constexpr (requires { filter->level; }) filter->level = level;
    auto& added = static_cast<FilterClass&>(*device->AddFilter(std::move(filter)));
    added.WriteToDevice(*device);
    added.SendCreateCommand(*device);
    return added;
  }

  // The channel's filter editor, opened from its node; its graph pane.
  TFilterGraphWindow& Open(int channel) {
    const int node = edit->Ids().firstChannel + channel;
    edit->OpenChildWindow(node);
    editor = dynamic_cast<TFilterDecoratedFrame*>(edit->ChildWindow(node));
    if (editor == nullptr || editor->Layout().Panes().graph == nullptr) {
      throw std::runtime_error("no graph");
    }
    ui::test::PumpMessages();
    bus.TakeTrace();
    return *editor->Layout().Panes().graph;
  }

  // Where the graph puts a value: the window's pixel.
  static ui::Point PixelOf(TFilterGraphWindow& graph, float f, float dB, bool zoomedLevel = false,
                           bool zoomedBand = false) {
    QImage scratch(1, 1, QImage::Format_RGB32);
    ui::Dc dc(scratch);
    familycommon::TFreqDC freq(dc, graph.ClientRect(), zoomedBand ? 100.0f : 20.0f,
                               zoomedBand ? 5000.0f : 24000.0f, zoomedLevel ? -12.0f : -80.0f,
                               zoomedLevel ? 12.0f : 20.0f, false);
    const ui::Point up = freq.ValueToPoint({f, std::pow(10.0f, dB / 20.0f)}, false);
    return dc.Mapping().ToDevice({up.x, -up.y});
  }

  // Whether the colour is drawn within `reach` pixels of `p`.
  static bool Near(TFilterGraphWindow& graph, ui::Point p, ui::Color colour, int reach = 1) {
    for (int dy = -reach; dy <= reach; ++dy) {
      for (int dx = -reach; dx <= reach; ++dx) {
        if (ui::test::SamplePixel(graph, {p.x + dx, p.y + dy}) == colour) return true;
      }
    }
    return false;
  }
  // Light text pixels in the box.
  static int TextPixels(TFilterGraphWindow& graph, const ui::Rect& box) {
    int count = 0;
    for (int y = box.top; y < box.bottom; ++y) {
      for (int x = box.left; x < box.right; ++x) {
        const ui::Color c = ui::test::SamplePixel(graph, {x, y});
        count += c.r > 100 && c.g > 100 && c.b > 100 ? 1 : 0;
      }
    }
    return count;
  }
  void Command(TFilterGraphWindow& graph, int id) {
    ui::Application::Instance()->RouteCommand(id, &graph);
    ui::test::PumpMessages();
  }
  // A press and release at `p`, as a click on the graph.
  static void Click(TFilterGraphWindow& graph, ui::Point p) {
    ui::test::MouseDown(graph, p);
    ui::test::MouseUp(graph, p);
    ui::test::PumpMessages();
  }

  ovtest::FamilyBus bus;
  IQ8148Type type;
  int unit = 0;
  IQDevice8148* device = nullptr;
  std::unique_ptr<TEdit8148Window> edit;
  TFilterDecoratedFrame* editor = nullptr;
};

TEST_F(FilterGraphTest, GridLabelsAndCurvesAtBothRangesAndInBothLabelModes) {
  Add<TParametricFilter>(0, 1000, 10.0f);
  TFilterGraphWindow& graph = Open(0);
  ui::test::PumpMessages();
  const int bottom = PixelOf(graph, 1000.0f, -80.0f).y;

  // Frequency lines, the level lines and ticks, the labels under the decades, the peak.
  EXPECT_EQ(ui::test::SamplePixel(graph, PixelOf(graph, 1000.0f, -70.0f)), kTeal);
  EXPECT_EQ(ui::test::SamplePixel(graph, PixelOf(graph, 45.0f, -20.0f)), kDarkBlue);
  EXPECT_EQ(ui::test::SamplePixel(graph, PixelOf(graph, 21.0f, -24.0f)), kDarkBlue);
  EXPECT_EQ(ui::test::SamplePixel(graph, PixelOf(graph, 45.0f, -24.0f)), ui::kBlack);
  const int x1k = PixelOf(graph, 1000.0f, 0.0f).x;
  EXPECT_GT(TextPixels(graph, {x1k - 15, bottom + 2, x1k + 15, bottom + 16}), 10);
  EXPECT_EQ(TextPixels(graph, {x1k + 40, bottom + 2, x1k + 70, bottom + 16}), 0);
  EXPECT_TRUE(Near(graph, PixelOf(graph, 1000.0f, 10.0f), kGreen));
  EXPECT_TRUE(Near(graph, PixelOf(graph, 100.0f, 0.0f), kGreen));

  // Zoomed both ways: the peak near the top, the 100 Hz edge labelled, 2 kHz a line.
  Command(graph, TFilterGraphWindow::kCmVerticalZoom);
  Command(graph, TFilterGraphWindow::kCmHorizontalZoom);
  EXPECT_TRUE(device->verticalZoom[0] && device->horizontalZoom[0]);
  EXPECT_TRUE(Near(graph, PixelOf(graph, 1000.0f, 10.0f, true, true), kGreen));
  EXPECT_EQ(ui::test::SamplePixel(graph, PixelOf(graph, 2000.0f, -11.5f, true, true)), kTeal);
  EXPECT_EQ(ui::test::SamplePixel(graph, PixelOf(graph, 150.0f, -8.0f, true, true)), kDarkBlue);
  const ui::Point edge = PixelOf(graph, 100.0f, -12.0f, true, true);
  EXPECT_GT(TextPixels(graph, {edge.x, edge.y + 2, edge.x + 40, edge.y + 16}), 10);

  // Linear labels: third octaves from 25 Hz, every third one labelled.
  Command(graph, TFilterGraphWindow::kCmVerticalZoom);
  Command(graph, TFilterGraphWindow::kCmHorizontalZoom);
  Command(graph, TFilterGraphWindow::kCmLinearLabels);
  EXPECT_EQ(ui::test::SamplePixel(graph, PixelOf(graph, 25.0f, -70.0f)), kTeal);
  EXPECT_EQ(ui::test::SamplePixel(graph, PixelOf(graph, 30.0f, -70.0f)), ui::kBlack);
  const int x25 = PixelOf(graph, 25.0f, 0.0f).x;
  EXPECT_GT(TextPixels(graph, {x25 - 8, bottom + 2, x25 + 8, bottom + 16}), 5);

  // The phase of the sum: 0 on the 0 dB line far from the peak, labelled at the right edge.
  Command(graph, TFilterGraphWindow::kCmShowPhase);
  EXPECT_TRUE(Near(graph, PixelOf(graph, 12000.0f, 0.0f), kRed));
  EXPECT_TRUE(device->showPhase[0]);
}

TEST_F(FilterGraphTest, DragWritesTheLatestPositionLiveAndTheUnitEndsAtTheLast) {
  TParametricFilter& filter = Add<TParametricFilter>(0, 1000, 0.0f);
  TFilterGraphWindow& graph = Open(0);
  const ui::Point icon = PixelOf(graph, 1000.0f, 0.0f);
  Click(graph, icon);
  ASSERT_NE(graph.Icons().Selected(), nullptr);
  EXPECT_EQ(bus.TakeTrace(), std::vector<std::string>{});
  EXPECT_TRUE(device->parametersReady);

  ui::test::MouseDown(graph, icon);
  EXPECT_FALSE(device->parametersReady);
  // Two moves before the unit is written: only the latest goes out.
  ui::test::MouseMove(graph, {icon.x + 20, icon.y + 2});
  ui::test::MouseMove(graph, {icon.x + 40, icon.y - 3});
  EXPECT_EQ(graph.PendingLiveWrites(), 1);
  ui::test::PumpMessages();
  const int first = filter.frequency;
  EXPECT_GT(first, 1000);
  EXPECT_EQ(filter.level, 0.0f);
  ui::test::MouseMove(graph, {icon.x + 60, icon.y + 1});
  ui::test::MouseUp(graph, {icon.x + 60, icon.y + 1});
  ui::test::PumpMessages();
  const int last = filter.frequency;
  EXPECT_GT(last, first);
  // Selected once; each write the gain, Q and frequency and the live command; the release's
  // position, not yet written when the button came up, goes out before the final command.
  auto live = [](int hz) {
    char frequency[32];
    std::snprintf(frequency, sizeof frequency, "W13.0 %08X", hz);
    return std::vector<std::string>{"W13.2 00000000", "W13.1 00000057", frequency, "W14 02"};
  };
  std::vector<std::string> expected{"W11 00"};
  for (int hz : {first, last}) {
    for (const std::string& w : live(hz)) expected.push_back(w);
  }
  expected.push_back("W14 01");
  EXPECT_EQ(bus.TakeTrace(), expected);
  EXPECT_FALSE(graph.Dragging());
  EXPECT_TRUE(device->parametersReady);
  EXPECT_EQ(ui::Window::MouseCapture(), nullptr);
}

TEST_F(FilterGraphTest, ABusErrorEndsTheDragAndAClickReleasedElsewhereLetsTheIdleCheckGo) {
  Add<TParametricFilter>(0, 1000, 0.0f);
  TFilterGraphWindow& graph = Open(0);
  const ui::Point icon = PixelOf(graph, 1000.0f, 0.0f);

  // Pressed on the graph's empty part, let go over another window.
  ui::test::MouseDown(graph, PixelOf(graph, 100.0f, -50.0f));
  EXPECT_FALSE(device->parametersReady);
  ui::test::MouseUp(*editor, {5, 5});
  EXPECT_TRUE(device->parametersReady);
  EXPECT_EQ(ui::Window::MouseCapture(), nullptr);

  Click(graph, icon);
  ASSERT_NE(graph.Icons().Selected(), nullptr);

  bus.bus.AddFault(sim::Fault::ErrorObject(3).ForUnit(5).ForObject(0x13).ForOpcode(9));
  ui::test::MouseDown(graph, icon);
  ui::test::MouseMove(graph, {icon.x + 30, icon.y});
  ui::test::PumpMessages();
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  EXPECT_FALSE(graph.Dragging());
  EXPECT_EQ(ui::Window::MouseCapture(), nullptr);
  EXPECT_TRUE(device->parametersReady);
  bus.TakeTrace();
  ui::test::MouseMove(graph, {icon.x + 50, icon.y});
  ui::test::MouseUp(graph, {icon.x + 50, icon.y});
  ui::test::PumpMessages();
  EXPECT_EQ(bus.TakeTrace(), std::vector<std::string>{});

  // Without the selection the live writes would reach another filter: no drag starts.
  bus.bus.ClearFaults();
  bus.bus.AddFault(sim::Fault::ErrorObject(3).ForUnit(5).ForObject(0x11).ForOpcode(9));
  ASSERT_NE(graph.Icons().Selected(), nullptr);
  const GraphValue moved = graph.Icons().Selected()->position;
  const ui::Point now = PixelOf(graph, moved.frequency, 20.0f * std::log10(moved.gain));
  ui::test::MouseDown(graph, now);
  ui::test::MouseMove(graph, {now.x + 30, now.y});
  ui::test::PumpMessages();
  EXPECT_FALSE(graph.Dragging());
  EXPECT_TRUE(device->parametersReady);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 2u);
  EXPECT_EQ(bus.TakeTrace(), std::vector<std::string>{"W11 00"});
}

// A refusal, a lost reply or a unit silent from then on, at each step of a drag of a chain's head,
// its copy to the member on another channel among them: one report, and both filters as the unit
// holds them, read again once a silent unit answers.
TEST_F(FilterGraphTest, ADragRefusedAtAnyStepLeavesTheFilterAsTheUnitHoldsIt) {
  const int head = Add<TParametricFilter>(0, 1000, 0.0f).number;
  TParametricFilter& member = Add<TParametricFilter>(4, 1000, 0.0f);
  member.linkNumber = head + 1;
  member.WriteToDevice(*device);
  device->LinkFilters();
  const int memberNumber = member.number;
  TFilterGraphWindow& graph = Open(0);
  // A read of a silent unit's filters, once it answers, replaces the objects.
  const auto numbered = [&](int number) -> TParametricFilter& {
    for (const auto& f : device->Filters()) {
      if (f->number == number) return dynamic_cast<TParametricFilter&>(*f);
    }
    throw std::runtime_error("no filter #" + std::to_string(number));
  };
  const auto filter = [&]() -> TParametricFilter& { return numbered(head); };
  const auto iconPoint = [&] {
    return PixelOf(graph, static_cast<float>(filter().frequency), filter().level);
  };
  Click(graph, iconPoint());
  // A press on the selected filter, a live step, a second step the release writes.
  int dx = 20;
  const auto drag = [&] {
    const GraphValue at = graph.Icons().Selected()->position;
    const ui::Point p = PixelOf(graph, at.frequency, 20.0f * std::log10(at.gain));
    dx = -dx;
    ui::test::MouseDown(graph, p);
    ui::test::MouseMove(graph, {p.x + dx, p.y});
    ui::test::PumpMessages();
    ui::test::MouseMove(graph, {p.x + 2 * dx, p.y});
    ui::test::MouseUp(graph, {p.x + 2 * dx, p.y});
    ui::test::PumpMessages();
  };
  bus.TakeTrace();
  drag();
  const int steps = static_cast<int>(bus.TakeTrace().size());
  ASSERT_GE(steps, 7);
  for (const testsupport::FaultKind& kind : testsupport::kFaultKinds) {
    // The first step selects the filter on the unit; when it fails, no drag starts.
    for (int failing = 1; failing <= steps; ++failing) {
      SCOPED_TRACE(std::string(kind.name) + " at request " + std::to_string(failing));
      bus.bus.AddFault(kind.fault.ForUnit(5).OnOccurrence(failing).Times(kind.times));
      ovtest::ReportedErrors().clear();
      const int before = filter().frequency;
      drag();
      bus.bus.ClearFaults();
      EXPECT_EQ(ovtest::ReportedErrors().size(), 1u)
          << testing::PrintToString(ovtest::ReportedErrors());
      EXPECT_FALSE(graph.Dragging());
      PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
      ui::test::PumpIdle(5);
      EXPECT_FALSE(device->FiltersStale());
      for (const int number : {head, memberNumber}) {
        TParametricFilter unitHolds;
        unitHolds.number = number;
        unitHolds.ReadFromDevice(*device);
        EXPECT_EQ(numbered(number).GetDeviceRecord(), unitHolds.GetDeviceRecord())
            << "#" << number << " from " << before;
        EXPECT_EQ(numbered(number).bypass, unitHolds.bypass) << "#" << number;
      }
      if (graph.Icons().Selected() == nullptr) Click(graph, iconPoint());
      ASSERT_NE(graph.Icons().Selected(), nullptr);
      EXPECT_TRUE(graph.Icons().Selected()->Shows(&filter()));
    }
  }
}

TEST_F(FilterGraphTest, ADraggedHeadKeepsTheUnitsSelectionWhenAMemberTakesItsBypass) {
  TParametricFilter& head = Add<TParametricFilter>(0, 1000, 0.0f);
  TParametricFilter& member = Add<TParametricFilter>(4, 1000, 0.0f);
  member.bypass = true;
  member.linkNumber = head.number + 1;
  member.WriteToDevice(*device);
  device->LinkFilters();
  TFilterGraphWindow& graph = Open(0);
  const ui::Point p = PixelOf(graph, 1000.0f, 0.0f);
  Click(graph, p);
  ui::test::MouseDown(graph, p);
  for (int step = 1; step <= 2; ++step) {
    ui::test::MouseMove(graph, {p.x + 15 * step, p.y});
    ui::test::PumpMessages();
  }
  ui::test::MouseUp(graph, {p.x + 30, p.y});
  ui::test::PumpMessages();
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
  for (TParametricFilter* filter : {&head, &member}) {
    TParametricFilter unitHolds;
    unitHolds.number = filter->number;
    unitHolds.ReadFromDevice(*device);
    EXPECT_EQ(filter->GetDeviceRecord(), unitHolds.GetDeviceRecord()) << "#" << filter->number;
    EXPECT_EQ(filter->bypass, unitHolds.bypass) << "#" << filter->number;
  }
  EXPECT_NE(head.frequency, 1000);
}

TEST_F(FilterGraphTest, AnOutputsCumulativeViewAddsTheInputsFiltersToItsSum) {
  Add<TParametricFilter>(0, 1000, 10.0f);
  TFilterGraphWindow& graph = Open(4);
  // No filters: the grid alone.
  EXPECT_FALSE(Near(graph, PixelOf(graph, 100.0f, 0.0f), kGreen));
  ui::PromptScript script([](const std::string& m) { ADD_FAILURE() << m; });
  script.ChooseFromPopup(TFilterGraphWindow::kCmCumulativeInput1);
  ui::test::MouseDown(graph, PixelOf(graph, 100.0f, -50.0f), true);
  ui::test::PumpMessages();
  EXPECT_EQ(device->cumulativeInput[4], 1);
  EXPECT_TRUE(Near(graph, PixelOf(graph, 1000.0f, 10.0f), kGreen));
  // The input's filter counts but cannot be picked on the output's graph.
  Click(graph, PixelOf(graph, 1000.0f, 10.0f));
  EXPECT_EQ(graph.Icons().Selected(), nullptr);
}

TEST_F(FilterGraphTest, KeysStepThroughTheFiltersAndTheirLevelsAndBypassWritesTheUnit) {
  TParametricFilter& low = Add<TParametricFilter>(0, 500, 0.0f);
  TParametricFilter& high = Add<TParametricFilter>(0, 2000, 0.0f);
  TFilterGraphWindow& graph = Open(0);
  Click(graph, PixelOf(graph, 2000.0f, 0.0f));
  ASSERT_EQ(&graph.Icons().Selected()->Filter(), &high);

  // Right from the highest wraps round to the lowest; Up steps its level a tenth of a dB.
  ui::test::PressKey(graph, Qt::Key_Right);
  ASSERT_EQ(&graph.Icons().Selected()->Filter(), &low);
  EXPECT_EQ(bus.TakeTrace(), std::vector<std::string>{});
  ui::test::PressKey(graph, Qt::Key_Up);
  ui::test::PressKey(graph, Qt::Key_PageDown);
  EXPECT_NEAR(low.level, -0.9f, 1e-4);
  const std::vector<std::string> trace = bus.TakeTrace();
  ASSERT_FALSE(trace.empty());
  EXPECT_EQ(trace.front(), "W11 " + ovtest::Hex(low.number));
  EXPECT_EQ(trace.back(), "W14 01");

  Command(graph, TFilterGraphWindow::kCmBypass);
  EXPECT_TRUE(low.bypass);
  EXPECT_EQ(bus.TakeTrace(),
            (std::vector<std::string>{"W11 " + ovtest::Hex(low.number), "W23 01"}));
  // A bypassed filter keeps its icon but leaves the sum.
  EXPECT_FALSE(Near(graph, PixelOf(graph, 500.0f, -0.9f), kGreen, 0));
}

TEST_F(FilterGraphTest, AKeyStepRefusedAtAnyStepLeavesTheFilterAsTheUnitHoldsIt) {
  TParametricFilter& filter = Add<TParametricFilter>(0, 1000, 0.0f);
  TFilterGraphWindow& graph = Open(0);
  Click(graph, PixelOf(graph, 1000.0f, 0.0f));
  ASSERT_NE(graph.Icons().Selected(), nullptr);
  for (const Qt::Key key : {Qt::Key_Up, Qt::Key_PageDown}) {
    SCOPED_TRACE(key);
    bus.TakeTrace();
    ui::test::PressKey(graph, key);
    const int steps = static_cast<int>(bus.TakeTrace().size());
    ASSERT_GE(steps, 2);
    for (int failing = 1; failing <= steps; ++failing) {
      SCOPED_TRACE(failing);
      bus.bus.AddFault(sim::Fault::ErrorObject(7).ForUnit(5).OnOccurrence(failing));
      ovtest::ReportedErrors().clear();
      ui::test::PressKey(graph, key);
      ui::test::PumpMessages();
      bus.bus.ClearFaults();
      EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
      ASSERT_NE(graph.Icons().Selected(), nullptr);
      EXPECT_TRUE(graph.Icons().Selected()->Shows(&filter));
      TParametricFilter unitHolds;
      unitHolds.number = filter.number;
      unitHolds.ReadFromDevice(*device);
      EXPECT_EQ(filter.GetDeviceRecord(), unitHolds.GetDeviceRecord());
    }
  }
}

TEST_F(FilterGraphTest, PrintedGraphSitsInTheMiddleOfThePageWithoutPhase) {
  Add<TParametricFilter>(0, 1000, 10.0f);
  TFilterGraphWindow& graph = Open(0);
  Command(graph, TFilterGraphWindow::kCmShowPhase);
  QTemporaryDir folder;
  const QString pdf = folder.filePath("graph.pdf");
  ui::PromptScript script([](const std::string& m) { ADD_FAILURE() << m; });
  script.AnswerPrint(pdf.toStdString());
  Command(graph, TFilterGraphWindow::kCmPrint);

  QProcess convert;
  convert.start("pdftoppm", {"-png", "-r", "72", "-singlefile", pdf, folder.filePath("page")});
  ASSERT_TRUE(convert.waitForFinished(30000) && convert.exitCode() == 0) << "pdftoppm failed";
  const QImage page(folder.filePath("page.png"));
  ASSERT_FALSE(page.isNull());
  std::filesystem::create_directories(GALLERY_DIR);
  ui::test::SavePng(page, GALLERY_DIR "/filter-graph-printed.png");
  // Count the graph's ink in columns across the page: a frame at 20 % and 80 % of the width, the
  // green sum between, no red phase anywhere.
  auto inkInColumn = [&](int x) {
    int ink = 0;
    for (int y = page.height() / 4; y < 3 * page.height() / 4; ++y) {
      ink += qGray(page.pixel(x, y)) < 200 ? 1 : 0;
    }
    return ink;
  };
  auto inkNear = [&](int x) {
    int most = 0;
    for (int dx = -2; dx <= 2; ++dx) most = std::max(most, inkInColumn(x + dx));
    return most;
  };
  const int w = page.width();
  EXPECT_GT(inkNear(w / 5), page.height() / 3);
  EXPECT_GT(inkNear(4 * w / 5), page.height() / 3);
  EXPECT_LT(inkNear(w / 10), 5);
  int green = 0, red = 0;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < w; ++x) {
      const QColor c = page.pixelColor(x, y);
      green += c.green() > 150 && c.red() < 100 && c.blue() < 100 ? 1 : 0;
      red += c.red() > 150 && c.green() < 100 && c.blue() < 100 ? 1 : 0;
    }
  }
  EXPECT_GT(green, 50);
  EXPECT_EQ(red, 0);
}

TEST_F(FilterGraphTest, ReadmePictureOfAChannelWithSeveralFilters) {
  Add<THighpassFilter>(4, 40);
  Add<TParametricFilter>(4, 120, -6.0f);
  Add<TLowshelfFilter>(4, 300, 4.0f);
  Add<TParametricFilter>(4, 2500, 5.0f).q = 3.0f;
  Add<THighshelfFilter>(4, 8000, -4.0f);
  Add<TLowpassFilter>(4, 16000);
  TFilterGraphWindow& graph = Open(4);
  Command(graph, TFilterGraphWindow::kCmVerticalZoom);
  Click(graph, PixelOf(graph, 2500.0f, 5.0f, true));
  ASSERT_NE(graph.Icons().Selected(), nullptr);
  editor->SetRect({0, 0, 1000, 500});
  ui::test::PumpMessages();
  std::filesystem::create_directories(GALLERY_DIR);
  EXPECT_TRUE(ui::test::GrabPng(graph, GALLERY_DIR "/filter-graph.png"));
  if (std::getenv("TELVO_UPDATE_DOCS") != nullptr) {
    EXPECT_TRUE(ui::test::GrabPng(graph, DOCS_DIR "/filter-graph.png"));
  }
}

}  // namespace
}  // namespace namespaceOV
