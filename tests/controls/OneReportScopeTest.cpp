#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "bus/IQException.h"
#include "controls/DeviceErrorReport.h"

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

}  // namespace
