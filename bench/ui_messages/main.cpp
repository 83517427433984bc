// Posting and dispatching window messages through the layer against the same number of bare Qt
// posted events, in one run: the layer may cost at most twice as much.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/BenchLine.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

namespace {

constexpr int kMessages = 100000;
constexpr int kRounds = 5;
constexpr double kLimitRatio = 2.0;
constexpr ui::MessageId kBenchMessage = 301;

class BareReceiver : public QObject {
 public:
  static QEvent::Type Type() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
  }
  int received = 0;

 protected:
  bool event(QEvent* e) override {
    if (e->type() != Type()) return QObject::event(e);
    ++received;
    return true;
  }
};

qint64 BareQtNs() {
  BareReceiver receiver;
  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < kMessages; ++i)
    QCoreApplication::postEvent(&receiver, new QEvent(BareReceiver::Type()));
  QCoreApplication::sendPostedEvents();
  const qint64 ns = timer.nsecsElapsed();
  if (receiver.received != kMessages) std::fprintf(stderr, "bare Qt lost events\n");
  return ns;
}

qint64 LayerNs() {
  ui::Window window;
  window.Create();
  int received = 0;
  window.OnMessage(kBenchMessage, [&](const ui::Message& m) {
    received += static_cast<int>(m.wParam);
    return ui::Param{0};
  });
  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < kMessages; ++i) window.Post(kBenchMessage, 1, i);
  QCoreApplication::sendPostedEvents();
  const qint64 ns = timer.nsecsElapsed();
  if (received != kMessages) std::fprintf(stderr, "the layer lost messages\n");
  return ns;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ui::Application app(argc, argv, "bench");
  qint64 bare = BareQtNs();  // warm-up runs count too; the best of each is compared
  qint64 layer = LayerNs();
  for (int round = 0; round < kRounds; ++round) {
    bare = std::min(bare, BareQtNs());
    layer = std::min(layer, LayerNs());
  }
  const bool within = bench::Report(
      {.measured = "ui: " + std::to_string(kMessages) + " messages posted and dispatched",
       .reference = "bare Qt (posted events)",
       .unit = "ms",
       .referenceFigure = bare / 1e6,
       .measuredFigure = layer / 1e6,
       .limit = kLimitRatio});
  return within ? 0 : 1;
}
