// An 8148 on a pseudo-terminal paced at the bus's baud rate, its output level window open: a
// level slider dragged through 200 positions in a second while the meters poll. Held against one
// request on the wire at a time: the most requests the program had out before a reply. The unit
// must end at the slider's last position.

#include <QEventLoop>
#include <QTimer>
#include <bit>
#include <cmath>
#include <cstdio>

#include "bench/BenchLine.h"
#include "bench/Simulated8148.h"
#include "familyov/channels/LevelWindows.h"
#include "platform/ui/Application.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppResources.h"
#include "resources/FamilyOvChannelIds.h"
#include "sim/familyov/ObjectTable.h"

namespace {

constexpr int kPositions = 200;
constexpr int kStepMs = 5;  // 200 positions a second
constexpr int kFirstPosition = 0;
constexpr int kSettleMs = 500;
constexpr double kLimitRatio = 1.0;
constexpr int kDraggedChannel = 4;  // the first output

// The most requests on the wire with no reply between them.
int MostOutstanding(const std::vector<sim::TrafficEntry>& traffic) {
  int most = 0;
  int outstanding = 0;
  for (const auto& entry : traffic) {
    outstanding = entry.direction == sim::Direction::kToUnits ? outstanding + 1 : 0;
    most = std::max(most, outstanding);
  }
  return most;
}

// Runs the event loop for `ms`, idle polling included.
void RunFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

float UnitLevelDb(sim::SimulatedBus& bus, int channel) {
  float gain = 0;
  bus.WithUnit(0, [&](sim::Unit& unit) {
    const auto bytes = unit.Element(sim::familyov::object::kChannelLevel, channel);
    uint32_t bits = 0;
    for (uint8_t byte : bytes) bits = bits << 8 | byte;
    gain = std::bit_cast<float>(bits);
  });
  return static_cast<float>(20.0 * std::log10(gain));
}

}  // namespace

int main(int argc, char** argv) {
  ui::Application app(argc, argv, "familyov_channels_bench");
  RegisterAppResources();
  bench::PrintBusFailures();

  bench::Open8148 open(false);
  auto* window = dynamic_cast<namespaceOV::TOutputLevelWindow*>(
      open.edit != nullptr ? open.OpenChild(open.edit->Ids().outputLevel) : nullptr);
  if (window == nullptr) return 1;
  sim::SimulatedBus& bus = open.line.bus;
  namespaceOV::TLevelDialog& pane = window->Pane(0);
  auto& trackbar =
      static_cast<ui::Trackbar&>(ui::test::ControlOf(pane, ovchannels_res::kLevelTrackbar));

  int position = kFirstPosition;
  QTimer drag;
  drag.setTimerType(Qt::PreciseTimer);
  QObject::connect(&drag, &QTimer::timeout, [&] {
    if (position - kFirstPosition >= kPositions) return drag.stop();
    trackbar.SetPosition(position++);
    pane.SendNotify({ovchannels_res::kLevelTrackbar, ui::Notify::Scroll, &trackbar, -1,
                     static_cast<ui::Param>(ui::ScrollCode::ThumbTrack)});
  });
  drag.start(kStepMs);
  // The drag takes longer than a second while the bus holds the loop; then the last position
  // has its time to reach the unit.
  while (drag.isActive()) RunFor(kStepMs);
  RunFor(kSettleMs);

  const int outstanding = MostOutstanding(bus.Traffic());
  const float expected = pane.Range().LevelAt(position - 1);
  const float reached = UnitLevelDb(bus, kDraggedChannel);
  const bool atLast = std::abs(reached - expected) < 0.01f;
  std::printf("familyov channels: slider ended at %.1f dB, the unit at %.1f dB\n", expected,
              reached);
  const bool within = bench::Report(
      {.measured = "familyov: requests in flight, a level slider dragged at 200 positions/s",
       .reference = "one request at a time",
       .unit = "requests",
       .referenceFigure = 1,
       .measuredFigure = static_cast<double>(outstanding),
       .limit = kLimitRatio});
  return within && atLast ? 0 : 1;
}
