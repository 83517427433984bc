#include "bench/BenchLine.h"

#include <cmath>
#include <cstdio>

namespace bench {

namespace {

// Small figures keep their fractions; large ones would only show noise there.
std::string Figure(double figure, const std::string& unit) {
  const int decimals = figure < 100 ? 3 : figure < 10000 ? 1 : 0;
  char text[64];
  std::snprintf(text, sizeof text, "%.*f %s", decimals, figure, unit.c_str());
  return text;
}

}  // namespace

bool Report(const Result& result) {
  const double ratio = result.measuredFigure / result.referenceFigure;
  // A reference of nothing (a window without traffic, work that never ran) gives no ratio to hold
  // to the limit: the benchmark measured nothing, and says so.
  if (!(result.referenceFigure > 0) || !std::isfinite(ratio)) {
    std::printf("%-48s | not measured: no ratio of measured %s to %s %s | FAILED%s%s\n",
                result.measured.c_str(), Figure(result.measuredFigure, result.unit).c_str(),
                result.reference.c_str(), Figure(result.referenceFigure, result.unit).c_str(),
                result.detail.empty() ? "" : " | ", result.detail.c_str());
    std::fflush(stdout);
    return false;
  }
  const bool within = ratio <= result.limit;
  const std::string against = result.reference + " " + Figure(result.referenceFigure, result.unit);
  // Padded into columns, so that the lines of a run read as a table.
  std::printf("%-48s | against %-56s | measured %-12s | ratio %.3f | limit %.3f | %s%s%s\n",
              result.measured.c_str(), against.c_str(),
              Figure(result.measuredFigure, result.unit).c_str(), ratio, result.limit,
              within ? "ok" : "OVER", result.detail.empty() ? "" : " | ", result.detail.c_str());
  std::fflush(stdout);
  return within;
}

}  // namespace bench
