// The filter graph of an 8148's channel on a pseudo-terminal paced at the bus's baud rate:
// - repainting 20 filters' magnitude and phase at a width of 1,000 pixels, against bare QPainter
//   drawing both curves in the same run;
// - dragging a filter with 100 mouse moves a second: the most positions ever waiting for the unit
//   (at most one write in flight, the latest position wins), and the longest drag step (the curve
//   following the mouse) against a frame, the time the machine took within a step (the threads'
//   waits for a processor or the line's hand-overs, whichever is more) taken off it. The unit
//   must end at the last position.

#include <QCoreApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "bench/BenchLine.h"
#include "bench/GraphRepaint.h"
#include "bench/Simulated8148.h"
#include "bench/ThreadTimes.h"
#include "familyov/filters/TFilterGraphWindow.h"
#include "platform/ui/Application.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppResources.h"

namespace {

using namespace namespaceOV;
using bench::Clock;
using bench::Ms;

constexpr double kRepaintLimit = 8;
constexpr int kRepaints = 301;
constexpr ui::Rect kGraphRect{0, 0, 1080, 400};  // a plot 1,000 pixels wide
constexpr int kChannel = 4;
constexpr int kMoves = 200;
constexpr auto kMoveInterval = std::chrono::milliseconds(10);

void AddFilters(IQDeviceOrdavinex& unit) {
  for (int i = 0; i < 20; ++i) {
    std::unique_ptr<TFilter> filter;
    if (i % 4 == 3) {
      auto shelf = std::make_unique<TLowshelfFilter>();
      shelf->level = 3.0f;
      filter = std::move(shelf);
    } else {
      auto peak = std::make_unique<TParametricFilter>();
      peak->level = i % 2 == 0 ? 4.5f : -6.0f;
      filter = std::move(peak);
    }
    filter->channel = kChannel;
    filter->frequency = 40 + 900 * i;
    TFilter* added = unit.AddFilter(std::move(filter));
    added->WriteToDevice(unit);
    added->SendCreateCommand(unit);
  }
}

// Where the graph shows a value, in its client pixels.
ui::Point PixelOf(const ui::Rect& client, GraphValue value) {
  QImage scratch(1, 1, QImage::Format_RGB32);
  ui::Dc dc(scratch);
  familycommon::TFreqDC freq(dc, client, 20.0f, 24000.0f, -80.0f, 20.0f, false);
  const ui::Point up = freq.ValueToPoint(value, false);
  return dc.Mapping().ToDevice({up.x, -up.y});
}

struct DragFigures {
  int largestBacklog = 0;
  std::vector<double> stepMs;
  bool endsAtLastPosition = false;
};

DragFigures Drag(TFilterGraphWindow& graph, IQDeviceOrdavinex& unit, TFilter& filter) {
  DragFigures figures;
  const ui::Point icon = PixelOf(graph.ClientRect(), graph.Icons().Selected()->position);
  ui::test::MouseDown(graph, icon);
  const bench::ThreadClock threads;
  auto due = Clock::now();
  for (int k = 1; k <= kMoves; ++k) {
    due += kMoveInterval;
    while (Clock::now() < due) QCoreApplication::processEvents();
    const double waitedMs = threads.Now().waitMs;
    const double handedOverMs = bench::HandOvers().TotalMs();
    const auto start = Clock::now();
    ui::test::MouseMove(graph, {icon.x + k, icon.y});
    const double stepMs = Ms(Clock::now() - start).count();
    const double machineMs =
        std::max(threads.Now().waitMs - waitedMs, bench::HandOvers().TotalMs() - handedOverMs);
    figures.stepMs.push_back(std::max(stepMs - machineMs, 0.0));
    figures.largestBacklog = std::max(figures.largestBacklog, graph.PendingLiveWrites());
  }
  ui::test::MouseUp(graph, {icon.x + kMoves, icon.y});
  ui::test::PumpMessages();
  TParametricFilter held;
  held.number = filter.number;
  held.ReadFromDevice(unit);
  figures.endsAtLastPosition = held.frequency == filter.frequency && !graph.Dragging();
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  ui::Application app(argc, argv, "familyov_graph_bench");
  RegisterAppResources();
  bench::PrintBusFailures();

  bench::Simulated8148 line;
  IQDevice8148 unit(&line.type, &line.manager, &line.record, 8);
  AddFilters(unit);
  unit.showPhase[kChannel] = true;
  FilterEditorPanes panes;
  panes.device = &unit;
  panes.channel = kChannel;
  TFilterGraphWindow graph(nullptr, panes);
  graph.SetRect(kGraphRect);
  graph.Create();
  graph.Show();
  ui::test::PumpMessages();

  const bool repaintWithin = bench::Report(bench::RepaintAgainstBare(
      {.measured = "familyov: filter graph repaint, 20 filters with phase, 1000 px",
       .limit = kRepaintLimit},
      graph, {graph.Icons().SumMagnitude().size(), graph.Icons().SumPhase().size()}, kRepaints));

  TFilter& dragged = *unit.Filters()[10];
  const ui::Point icon = PixelOf(graph.ClientRect(), {static_cast<float>(dragged.frequency),
                                                      std::pow(10.0f, 0.05f * dragged.GetLevel())});
  ui::test::MouseDown(graph, icon);
  ui::test::MouseUp(graph, icon);
  ui::test::PumpMessages();
  bench::StartPacedRun(line.bus);
  const DragFigures drag = Drag(graph, unit, dragged);
  std::printf(
      "familyov graph drag: %d moves at 100/s, %zu bus transfers, unit at the last "
      "position: %s\n",
      kMoves, line.bus.Traffic().size() / 2, drag.endsAtLastPosition ? "yes" : "NO");
  const bool backlogWithin =
      bench::Report({.measured = "familyov: largest backlog of drag positions for the unit",
                     .reference = "one position waiting",
                     .unit = "positions",
                     .referenceFigure = 1,
                     .measuredFigure = static_cast<double>(drag.largestBacklog),
                     .limit = 1.0});
  const bench::Spread steps = bench::SpreadOf(drag.stepMs);
  char stepDetail[96];
  std::snprintf(stepDetail, sizeof stepDetail,
                "%zu steps, median %.3f ms, middle half %.3f-%.3f ms", steps.count, steps.median,
                steps.lowerQuartile, steps.upperQuartile);
  const bool stepWithin =
      bench::Report({.measured = "familyov: longest drag step of the filter graph",
                     .reference = "a 60 Hz frame",
                     .unit = "ms",
                     .referenceFigure = bench::kFrameMs,
                     .measuredFigure = steps.highest,
                     .limit = 1.0,
                     .detail = stepDetail});
  graph.Destroy();
  line.Close();
  return repaintWithin && backlogWithin && stepWithin && drag.endsAtLastPosition ? 0 : 1;
}
