// Repainting an older-family bank's frequency graph with 20 filters at a plot width of 1,000
// pixels, against bare QPainter drawing its traces in the same run. The traces are kept by the
// icons, so a repaint only draws.

#include <memory>

#include "bench/BenchLine.h"
#include "bench/GraphRepaint.h"
#include "family8100/filters/TFrequencyGraph.h"
#include "family8100/unit/Types8100.h"
#include "platform/ui/Application.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppResources.h"

namespace {

using namespace namespace8100;
constexpr double kRepaintLimit = 12;
constexpr int kRepaints = 301;
constexpr ui::Rect kGraphRect{0, 0, 1080, 400};  // a plot 1,000 pixels wide
constexpr int kFilters = 20;

void AddFilters(IQDevice8100& unit) {
  for (int i = 0; i < kFilters; ++i) {
    std::unique_ptr<TFilter> filter;
    if (i % 4 == 3) {
      auto shelf = std::make_unique<TLowshelfFilter>();
      shelf->level = 3.0f;
      filter = std::move(shelf);
    } else {
      auto peak = std::make_unique<TParametricFilter>();
      peak->level = i % 2 == 0 ? 4.5f : -6.0f;
      peak->q = 2.0f;
      filter = std::move(peak);
    }
    filter->bank = kRightInputBank;
    filter->frequency = 40 + 900 * i;
    unit.PlaceFilter(std::move(filter));
  }
}

}  // namespace

int main(int argc, char** argv) {
  ui::Application app(argc, argv, "family8100_graph_bench");
  RegisterAppResources();
  IQ8100XType type;
  std::unique_ptr<IQDevice> device(type.CreateDevice(nullptr, nullptr));
  auto& unit = dynamic_cast<IQDevice8100&>(*device);
  AddFilters(unit);
  TFrequencyGraph graph(unit, kRightInputBank, nullptr);
  graph.SetRect(kGraphRect);
  graph.Create();
  graph.Show();
  ui::test::PumpMessages();
  const bool within = bench::Report(bench::RepaintAgainstBare(
      {.measured = "family8100: frequency graph repaint, 20 filters, 1000 px",
       .limit = kRepaintLimit},
      graph, {graph.Icons().BankTrace().size()}, kRepaints));
  graph.Destroy();
  return within ? 0 : 1;
}
