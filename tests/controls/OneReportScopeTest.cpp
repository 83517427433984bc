#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "bus/IQException.h"
#include "bus/UCodeObject.h"
#include "controls/ControlChange.h"
#include "controls/DeviceErrorReport.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"
#include "tests/bus/TestDevice.h"

namespace {

// A unit that waits on a read before each write and never answers it: no write is made.
class SilentBeforeEachWrite : public bustest::TestDevice {
 public:
  SilentBeforeEachWrite() : TestDevice(nullptr, nullptr, nullptr) {}

 protected:
  void DoWrite(const UCodeObject&, std::span<const uint8_t>, int) override { throw ReadTimeout(); }
};

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
  void WriteNotMade() {
    controls::GuardedBusCall(&unit_, [this] { ByteUCodeObject{1, 1, false}.Write(unit_, 0); });
  }

  SilentBeforeEachWrite unit_;

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

// An idle pass over a unit whose silence was told tells that silence no more, also when a write
// not made before the pass began told it, but what the pass meets anew is news: a refusal, or a
// write of its own not made, whatever stopped it. Told once, and the pass's later failures join
// it.
TEST_F(OneReportScopeTest, APassOverAToldSilenceStillTellsARefusalOrAWriteNotMadeOnce) {
  const std::pair<std::function<void()>, std::string> news[] = {
      {[this] { Refuse(); }, ErrorObject(7).GetText()},
      {[this] { WriteNotMade(); }, ReadTimeout().GetText()}};
  for (const auto& [meet, told] : news) {
    SCOPED_TRACE(told);
    WriteNotMade();
    shown_.clear();
    {
      const controls::PassOverReports pass;
      Fail();
      EXPECT_TRUE(shown_.empty());
      meet();
      meet();
      Fail();
    }
    EXPECT_EQ(shown_, std::vector<std::string>{told});
  }
}

}  // namespace
