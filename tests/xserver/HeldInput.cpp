#include "tests/xserver/HeldInput.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTest>
#include <QWidget>
#include <chrono>
#include <thread>
#include <utility>

#include "platform/ui/PaintOnlyLoop.h"
#include "platform/ui/Window.h"
#include "tests/support/EventLoopCpu.h"
#include "tests/xserver/XServerEnvironment.h"

namespace xserver {

namespace {

// How long after the input was sent the program's connection has surely read it; an operation goes
// on pausing that long, so that the paint-only loop has left the input queued before it ends.
constexpr std::chrono::milliseconds kHeldFor{100};

}  // namespace

QPoint CentreOf(ui::Window& control) {
  const QWidget& w = *control.Widget();
  return w.mapToGlobal(w.rect().center());
}

void PauseForInput(std::function<void()>& during) {
  ui::PaintPending();
  const auto send = std::exchange(during, nullptr);
  if (!send) return;
  send();
  const auto until = std::chrono::steady_clock::now() + kHeldFor;
  while (std::chrono::steady_clock::now() < until) {
    ui::PaintPending();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void SendAhead(std::function<void()>& during) {
  if (const auto send = std::exchange(during, nullptr)) send();
  std::this_thread::sleep_for(kHeldFor);
}

void LeaveNoFocusWait() {
  QWidget last;
  last.show();
  last.activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&last));
  Input()->DropFocus();
  testsupport::RunLoopUntil([] { return QGuiApplication::focusWindow() == nullptr; });
}

}  // namespace xserver
