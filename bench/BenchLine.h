#pragma once

#include <string>

namespace bench {

// One benchmark result, held against a reference measured or fixed in the same run: the wire time
// of the same traffic, the same work done with bare Qt, or a 60 Hz frame.
struct Result {
  std::string measured;   // what was measured
  std::string reference;  // what it is held against
  std::string unit;       // of both figures
  double referenceFigure = 0;
  double measuredFigure = 0;
  double limit = 0;  // the highest ratio allowed
  // How the figures came about and how far they spread: the runs or windows they are the median
  // of, or what the time beyond the wire went to. Empty when there is nothing to add.
  std::string detail;
};

// Every benchmark prints its results in the same form, which scripts/run-benchmarks reads:
//   WHAT | against REFERENCE FIGURE UNIT | measured FIGURE UNIT | ratio R.RRR | limit L.LLL | ok
// where the ratio is measured / reference and the verdict is OVER when it exceeds the limit; a
// detail follows the verdict as one more column. Returns whether the ratio is within its limit.
// Figures that give no ratio (a reference of nothing) print a plain "not measured" line instead,
// which the script does not take for a result, and count as a failure.
bool Report(const Result& result);

}  // namespace bench
