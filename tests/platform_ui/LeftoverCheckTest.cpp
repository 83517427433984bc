#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTimer>

#include "platform/ui/Application.h"
#include "platform/ui/IdleDispatcher.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Window.h"
#include "tests/support/LeftoverCheck.h"

namespace ui {
namespace {

using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

TEST(LeftoverCheck, FindsWhatATestLeavesQueuedAndDropsItUnrun) {
  int ran = 0;
  QTimer::singleShot(0, [&] { ++ran; });
  QTimer::singleShot(1000, [&] { ++ran; });
  Window w;
  w.Create();
  w.OnMessage(msg::kTimer, [&](const Message&) {
    ++ran;
    return Param{0};
  });
  w.StartTimer(7, 10);
  Application::Instance()->Idle().PassAfter(1000);
  EXPECT_THAT(testsupport::DropLeftovers(),
              UnorderedElementsAre(HasSubstr("window timer 7"), HasSubstr("idle wake-up"),
                                   HasSubstr("1000 ms timer"), HasSubstr("queued call")));
  test::PumpMessages();
  test::StepTimers(2000);
  EXPECT_EQ(ran, 0);
  EXPECT_THAT(testsupport::DropLeftovers(), ::testing::IsEmpty()) << "nothing is found twice";
}

}  // namespace
}  // namespace ui
