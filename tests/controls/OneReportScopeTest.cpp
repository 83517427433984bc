#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "bus/IQException.h"
#include "controls/ControlChange.h"
#include "controls/DeviceErrorReport.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

namespace {

// Reports that reach the application's dialogs, in order.
class OneReportScopeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    controls::SetDeviceErrorReporter(
        [this](const IQException& e, IQDevice*, int) { shown_.push_back(e.GetText()); });
  }
  void TearDown() override { controls::SetDeviceErrorReporter(nullptr); }

  void Fail() { controls::ReportDeviceError(ReadTimeout(), nullptr, controls::kNoUnitErrorCode); }
  void Refuse() { controls::ReportDeviceError(ErrorObject(7), nullptr, 7); }

  std::vector<std::string> shown_;
};

TEST_F(OneReportScopeTest, ACommandShowsItsFirstFailureOnlyAndNestedCommandsJoinIt) {
  Fail();  // outside any command every failure is told
  {
    controls::OneReportScope command;
    EXPECT_FALSE(controls::OneReportScope::FailureShown());
    Fail();
    {
      controls::OneReportScope putBack;
      Fail();
    }
    EXPECT_TRUE(controls::OneReportScope::FailureShown());
    Fail();
  }
  EXPECT_EQ(shown_.size(), 2u);
  {
    controls::OneReportScope next;  // a new command starts with nothing shown
    EXPECT_FALSE(controls::OneReportScope::FailureShown());
    Fail();
    Fail();
  }
  Fail();
  EXPECT_EQ(shown_.size(), 4u);
}

// A window the command opens for the user to act in (a modal dialog) is not the command: each
// choice made there is told, whatever the command told before, and the command's own later
// failures still join its first report.
TEST_F(OneReportScopeTest, EachActionInAModalWindowTheCommandOpenedIsToldApart) {
  ui::Window dialog;
  {
    const controls::OneReportScope command;
    Fail();
    ui::Application::Instance()->PushModal(&dialog);
    for (int choice = 0; choice < 2; ++choice) {
      const controls::OneReportScope action;
      Fail();
      Fail();
    }
    ui::Application::Instance()->PopModal(&dialog);
    Fail();
  }
  EXPECT_EQ(shown_.size(), 3u);
}

// A refused change is drawn again from the unit before its box opens, so that nothing behind the
// box shows the value the unit refused.
TEST_F(OneReportScopeTest, AChangeIsPutBackBeforeItsFailureIsTold) {
  controls::ApplyChange(
      [] { return controls::GuardedBusCall(nullptr, [] { throw ErrorObject(7); }); },
      {.showUnit = [this] { shown_.push_back("put back"); }});
  EXPECT_EQ(shown_, (std::vector<std::string>{"put back", ErrorObject(7).GetText()}));
}

// An idle pass over a unit whose silence was told tells that silence no more, but a refusal it
// meets is news: told once, and the pass's later failures join it.
TEST_F(OneReportScopeTest, APassOverAToldSilenceStillTellsARefusalOnce) {
  {
    const controls::PassOverReports pass;
    Fail();
    EXPECT_TRUE(shown_.empty());
    Refuse();
    Refuse();
    Fail();
  }
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0], ErrorObject(7).GetText());
}

}  // namespace
