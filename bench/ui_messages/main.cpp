// Posting and dispatching window messages through the layer against the same number of bare Qt
// posted events, in turns in one run: the layer may cost at most twice as much.
#include <QCoreApplication>
#include <QEvent>
#include <cstdio>
#include <string>

#include "bench/BenchLine.h"
#include "bench/Repeated.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

namespace {

constexpr int kMessages = 100000;
constexpr int kRounds = 21;
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

void PostBareQt() {
  BareReceiver receiver;
  for (int i = 0; i < kMessages; ++i)
    QCoreApplication::postEvent(&receiver, new QEvent(BareReceiver::Type()));
  QCoreApplication::sendPostedEvents();
  if (receiver.received != kMessages) std::fprintf(stderr, "bare Qt lost events\n");
}

void PostThroughLayer() {
  ui::Window window;
  window.Create();
  int received = 0;
  window.OnMessage(kBenchMessage, [&](const ui::Message& m) {
    received += static_cast<int>(m.wParam);
    return ui::Param{0};
  });
  for (int i = 0; i < kMessages; ++i) window.Post(kBenchMessage, 1, i);
  QCoreApplication::sendPostedEvents();
  if (received != kMessages) std::fprintf(stderr, "the layer lost messages\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ui::Application app(argc, argv, "bench");
  const bool within = bench::Report(bench::TimedInTurns(
      {.measured = "ui: " + std::to_string(kMessages) + " messages posted and dispatched",
       .reference = "bare Qt (posted events)",
       .unit = "ms",
       .limit = kLimitRatio},
      kRounds, PostThroughLayer, PostBareQt, bench::FrameShare::kLeftOut));
  return within ? 0 : 1;
}
