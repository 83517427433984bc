#include "tests/familyov_window/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "platform/ui/Application.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppResources.h"

namespace ovwintest {
namespace {

std::vector<std::string> reportedErrors;

// Qt allows one application object per program. A prompt that no script answers fails the test,
// and the family's error reports are collected instead of shown.
class GuiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    app_ = std::make_unique<ui::Application>(argc_, argv_, "familyov_window_tests");
    RegisterAppResources();
    ui::SetUnscriptedPrompts(ui::UnscriptedPrompts::Refuse,
                             [](const std::string& what) { ADD_FAILURE() << what; });
    namespaceOV::SetCommErrorReporter(
        [](const IQException& e, IQDevice&) { reportedErrors.push_back(e.GetText()); });
  }
  void TearDown() override {
    ui::test::PumpMessages();
    app_.reset();
  }

 private:
  int argc_ = 1;
  char name_[24] = "familyov_window_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<ui::Application> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace

std::vector<std::string> TakeReportedErrors() { return std::exchange(reportedErrors, {}); }

}  // namespace ovwintest
