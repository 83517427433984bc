#include "tests/controls/ControlsTestEnvironment.h"

#include <QImage>
#include <memory>

#include "platform/ui/Application.h"
#include "platform/ui/Guard.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/ControlsResources.h"
#include "tests/support/LeftoverCheck.h"

namespace controlstest {

Host::Host() : ui::Window(nullptr) { SetRect({40, 40, 440, 340}); }

void Host::Place(ui::Control& control, const ui::Rect& pixels, ui::ControlKind kind) {
  control.Bind({control.Id(), kind, "", {}}, pixels);
}

void Host::Open() {
  Create();
  Show();
  ui::test::PumpMessages();
}

void Host::Record(ui::MessageId id) {
  OnMessage(id, [this](const ui::Message& m) {
    received.push_back(m);
    return 0;
  });
}

void SavePicture(ui::Window& window, const std::string& fileName) {
  const std::string path = OutputPath(fileName);
  ASSERT_TRUE(ui::test::GrabPng(window, path));
  EXPECT_FALSE(QImage(QString::fromStdString(path)).isNull());
}

namespace {

// Qt allows one application object per process and it must outlive every widget, so one
// environment owns it for the whole program. Exceptions reaching the layer and prompts nobody
// scripted fail the running test at once, and timers move only when a test steps them.
class ControlsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    app_ = std::make_unique<ui::Application>(argc_, argv_, "Telvo Test");
    ui::SetErrorReporter([](const std::string& where, const std::string& what) {
      ADD_FAILURE() << "exception in " << where << ": " << what;
    });
    ui::SetUnscriptedPrompts(ui::UnscriptedPrompts::Refuse,
                             [](const std::string& what) { ADD_FAILURE() << what; });
    ui::test::UseManualTimers();
    testsupport::CheckAfterEachTest(ui::test::DropLeftovers);
    controls_res::RegisterControlsResources();
  }
  void TearDown() override {
    ui::test::PumpMessages();
    app_.reset();
  }

 private:
  int argc_ = 1;
  char name_[15] = "controls_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<ui::Application> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ControlsEnvironment);

}  // namespace
}  // namespace controlstest
