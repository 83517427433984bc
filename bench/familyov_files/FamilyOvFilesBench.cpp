// Saving a simulated 8148's settings file and loading it back, through the real termios line and
// a pseudo-terminal paced at the bus's baud rate, each held against the time the wire itself needs
// for the same traffic in the same run; exits non-zero above the limit. The load ends with a recall
// of the current memory, whose ready wait polls the unit (traffic like any other) and then lets
// the line fall quiet for one poll timeout so that no late reply is taken for the next one: that
// quiet time is part of the reference.
//
// The save runs as the program runs it: the progress dialog over it, and the port pausing for the
// windows to paint. Kept in need of painting all the time, as under a window dragged across it,
// the dialog paints at every pause. The save is split into windows by time and the longest gap
// between two of its paints in each is held against one transaction's wire time, the median window
// counting (bench/EventLoopStall.h says why).

#include <QEvent>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "bench/BenchLine.h"
#include "bench/EventLoopStall.h"
#include "bench/Simulated8148.h"
#include "bus/SettingsTextFile.h"
#include "controls/TProgressDialog.h"
#include "familycommon/ProgressWindow.h"
#include "familyov/unit/FlagWait.h"
#include "familyov/unit/SettingsFile.h"
#include "platform/ui/Application.h"
#include "platform/ui/PaintOnlyLoop.h"
#include "resources/AppResources.h"

namespace {

constexpr double kLimitRatio = 1.10;
constexpr double kPaintGapLimitRatio = 2.0;
constexpr int kGapWindows = 5;

// The gaps between the paints of a widget that needs painting whenever the program could paint
// (at every pause of the port), each less the machine's time within it.
class PaintGaps : public QObject {
 public:
  void Watch(QWidget& widget) {
    widget_ = &widget;
    widget.installEventFilter(this);
  }
  // The watched widget needs painting again, as under a window dragged across it.
  void Expose() {
    if (widget_ != nullptr) widget_->update();
  }
  void Stop() {
    if (widget_ != nullptr) widget_->removeEventFilter(this);
    widget_ = nullptr;
  }
  const std::vector<bench::Gap>& Gaps() const { return gaps_; }

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::Paint) return false;
    const double gapMs = clock_.Mark();
    const auto now = bench::Clock::now();
    if (firstPaint_) {
      gaps_.push_back({bench::Ms(now - *firstPaint_).count(), gapMs});
    } else {
      firstPaint_ = now;
    }
    return false;
  }

 private:
  bench::GapClock clock_;
  QWidget* widget_ = nullptr;
  std::optional<bench::Clock::time_point> firstPaint_;
  std::vector<bench::Gap> gaps_;
};

// The program's progress dialog, its paints watched from the first step to the end.
class WatchedProgress : public familycommon::ProgressReport {
 public:
  explicit WatchedProgress(PaintGaps& gaps) : gaps_(gaps) {}
  void Begin(int range, const std::string& text) override {
    window_.Begin(range, text);
    for (ui::Window* w : ui::TopLevelWindows()) {
      if (dynamic_cast<TProgressDialog*>(w) != nullptr) gaps_.Watch(*w->Widget());
    }
  }
  void Step(int value) override { window_.Step(value); }
  void End() override {
    gaps_.Stop();
    window_.End();
  }

 private:
  PaintGaps& gaps_;
  familycommon::ProgressWindow window_;
};

int Requests(const std::vector<sim::TrafficEntry>& traffic) {
  return static_cast<int>(std::count_if(traffic.begin(), traffic.end(), [](const auto& entry) {
    return entry.direction == sim::Direction::kToUnits;
  }));
}

// The median window's longest paint gap against one transaction's wire time of the save; no
// reference where the save made no request or painted less than twice.
bench::WindowFigure PaintGapFigure(const std::vector<bench::Gap>& gaps, double wireMs,
                                   int requests) {
  if (requests <= 0) return {};
  std::vector<bench::WindowFigure> figures;
  for (const bench::GapWindow& window : bench::LongestGapsByWindow(gaps, kGapWindows)) {
    figures.push_back({window.longestMs, wireMs / requests,
                       "longest of " + std::to_string(window.gaps) + " gaps"});
  }
  return bench::MedianFigure(std::move(figures));
}

using bench::Time;
using bench::Timed;

}  // namespace

int main(int argc, char** argv) {
  using namespace namespaceOV;
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ui::Application app(argc, argv, "familyov_files_bench");
  RegisterAppDialogs();
  bench::Simulated8148 line({.compressorOption = true});
  PaintGaps gaps;
  line.port.SetPauseHook([&gaps] {
    gaps.Expose();
    ui::PaintPending();
  });
  const QTemporaryDir folder;
  const std::string path = folder.path().toStdString() + "/unit.q48";

  Timed save, load;
  int requests = 0;
  try {
    IQDevice8148 unit(&line.type, &line.manager, &line.record, 8);
    unit.compressorOption = true;
    line.bus.SetPacing({.enabled = true, .turnaroundUs = bench::kTurnaroundUs});
    save = Time(line.bus, [&] {
      SettingsTextFile file;
      if (!file.Open(path, SettingsTextFile::kWrite)) throw OrdavinexError("no file");
      WatchedProgress progress(gaps);
      WriteSettingsFile(unit, file, &progress);
      if (!file.Close()) throw OrdavinexError("not saved");
    });
    requests = Requests(line.bus.Traffic());
    unit.InvalidateValues();
    load = Time(line.bus, [&] {
      SettingsTextFile file;
      if (!file.Open(path, SettingsTextFile::kRead)) throw OrdavinexError("no file");
      const auto accept = [](const std::string&) { return true; };
      if (ReadSettingsFile(unit, file, accept, nullptr) != LoadResult::kLoaded) {
        throw OrdavinexError("not loaded");
      }
    });
  } catch (const IQException& e) {
    std::fprintf(stderr, "failure: %s\n", e.GetText().c_str());
    return 1;
  }
  const bool saved = bench::Report("familyov: save an 8148's settings file",
                                   "wire time with turnarounds", save, kLimitRatio);
  const bench::WindowFigure gap = PaintGapFigure(gaps.Gaps(), save.wireMs, requests);
  const bool painted =
      gap.reference > 0 &&
      bench::Report({.measured = "familyov: longest gap between progress paints in that save",
                     .reference = "one transaction's wire time",
                     .unit = "ms",
                     .referenceFigure = gap.reference,
                     .measuredFigure = gap.measured,
                     .limit = kPaintGapLimitRatio,
                     .detail = gap.detail});
  load.wireMs += kFlagPollReplyTimeoutMs;
  const bool loaded = bench::Report("familyov: load it back", "wire, turnarounds and ready wait",
                                    load, kLimitRatio);
  line.port.SetPauseHook(nullptr);
  line.Close();
  return saved && painted && loaded ? 0 : 1;
}
