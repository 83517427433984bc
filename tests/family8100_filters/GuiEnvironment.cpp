// The one application object Qt allows for this program's window and printing tests, the
// program's resources, and a failed test for any prompt that no script answers.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/ui/Application.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppResources.h"

namespace {

class GuiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    app_ = std::make_unique<ui::Application>(argc_, argv_, name_);
    RegisterAppResources();
    ui::SetUnscriptedPrompts(ui::UnscriptedPrompts::Refuse,
                             [](const std::string& what) { ADD_FAILURE() << what; });
  }
  void TearDown() override {
    ui::test::PumpMessages();
    app_.reset();
  }

 private:
  std::string name_ = "family8100_filters_tests";
  int argc_ = 1;
  char* argv_[2] = {name_.data(), nullptr};
  std::unique_ptr<ui::Application> app_;
};

const ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace
