#include "tests/platform_ui/UiTestEnvironment.h"

#include <memory>

#include "platform/ui/Application.h"
#include "platform/ui/Guard.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "tests/support/LeftoverCheck.h"

namespace ui::testing_support {

void FailTest(const std::string& what) { ADD_FAILURE() << what; }

namespace {
void FailOnError(const std::string& where, const std::string& what) {
  ADD_FAILURE() << "error in " << where << ": " << what;
}
}  // namespace

CollectedErrors::CollectedErrors() {
  SetErrorReporter([this](const std::string& where, const std::string& what) {
    errors.push_back(where + ": " + what);
  });
}
CollectedErrors::~CollectedErrors() { SetErrorReporter(FailOnError); }

RealModalLoops::RealModalLoops() { SetUnscriptedPrompts(UnscriptedPrompts::Show); }
RealModalLoops::~RealModalLoops() { SetUnscriptedPrompts(UnscriptedPrompts::Refuse, FailTest); }

namespace {

// Qt allows one application object per process and it must outlive every widget, so one
// environment owns it for the whole test program. Exceptions reaching the layer and prompts
// nobody scripted fail the running test at once instead of going unnoticed or waiting for a user.
class UiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    app_ = std::make_unique<Application>(argc_, argv_, "Telvo Test");
    SetErrorReporter(FailOnError);
    SetUnscriptedPrompts(UnscriptedPrompts::Refuse, FailTest);
    test::UseManualTimers();
    testsupport::CheckAfterEachTest(ui::test::DropLeftovers);
  }
  void TearDown() override {
    test::PumpMessages();
    app_.reset();
  }

 private:
  int argc_ = 1;
  char name_[18] = "platform_ui_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<Application> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new UiEnvironment);

}  // namespace
}  // namespace ui::testing_support
