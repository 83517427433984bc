// The crossover graph of an 8148 with all eight outputs in one network, each with both edges,
// and the network sum shown: repainting it at a width of 1,000 pixels, against bare QPainter
// drawing its nine curves in the same run.

#include <cstdio>

#include "bench/BenchLine.h"
#include "bench/GraphRepaint.h"
#include "bench/Simulated8148.h"
#include "familyov/filters/CrossoverChanges.h"
#include "familyov/filters/TCrossoverGraphWindow.h"
#include "familyov/unit/ParameterTable.h"
#include "platform/ui/Application.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppResources.h"

namespace {

using namespace namespaceOV;

constexpr double kRepaintLimit = 4;
constexpr int kRepaints = 301;
constexpr ui::Rect kGraphRect{0, 0, 1080, 400};  // a plot 1,000 pixels wide
constexpr int kOutputs = 8;

// Every output in network 1, as eight bands from low to high.
void AddBands(IQDeviceOrdavinex& unit) {
  CrossoverChanges changes(unit, nullptr);
  for (int o = 0; o < kOutputs; ++o) {
    gCrossoverNetworkObject.SetElement(o);
    gCrossoverNetworkObject.Write(unit, 1);
    changes.SetType(o, CrossoverSide::kLow, kCrossoverLinkwitzRiley);
    changes.SetType(o, CrossoverSide::kHigh, kCrossoverButterworth);
    unit.LowCrossover(o)->frequency = 100 << o;
    unit.HighCrossover(o)->frequency = 50 << o;
  }
}

}  // namespace

int main(int argc, char** argv) {
  ui::Application app(argc, argv, "familyov_crossover_graph_bench");
  RegisterAppResources();
  SetCommErrorReporter([](const IQException& e, IQDevice&) {
    std::fprintf(stderr, "bus failure: %s\n", e.GetText().c_str());
  });

  bench::Simulated8148 line;
  IQDevice8148 unit(&line.type, &line.manager, &line.record, kOutputs);
  AddBands(unit);
  unit.showNetworkSum = true;
  TCrossoverGraphWindow graph(nullptr, unit);
  graph.SetRect(kGraphRect);
  graph.Create();
  graph.Show();
  ui::test::PumpMessages();

  std::vector<std::size_t> curves;
  for (int o = 0; o < kOutputs; ++o) curves.push_back(graph.Icons().OutputCurve(o).size());
  curves.push_back(graph.Icons().NetworkSum().size());
  const bool within = bench::Report(bench::RepaintAgainstBare(
      {.measured = "familyov: crossover graph repaint, 8 outputs with the sum, 1000 px",
       .limit = kRepaintLimit},
      graph, curves, kRepaints));
  graph.Destroy();
  line.Close();
  return within && graph.Icons().All().size() == 2 * kOutputs ? 0 : 1;
}
