#include "tests/xserver/XServerEnvironment.h"

#include <QApplication>
#include <memory>

#include "platform/ui/Application.h"
#include "platform/ui/Guard.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "tests/support/LeftoverCheck.h"

// On the xcb platform Qt talks to the session's D-Bus, whose library keeps a buffer of its own
// to the end of the process; only that library's memory is let go unreported.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

namespace xserver {
namespace {

void FailTest(const std::string& what) { ADD_FAILURE() << what; }

void FailOnError(const std::string& where, const std::string& what) {
  ADD_FAILURE() << "error in " << where << ": " << what;
}

// The server must be there before Qt's application connects to it, and outlive the application;
// the application is one per process.
class XServerEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    server_ = std::make_unique<XServer>();
    if (!server_->Running()) {
      why_ = server_->Failure();
      return;
    }
    input_ = std::make_unique<XInput>(server_->Display());
    if (!input_->Connected()) {
      why_ = "no connection with XTest to Xvfb on " + server_->Display();
      input_.reset();
      return;
    }
    setenv("DISPLAY", server_->Display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    app_ = std::make_unique<ui::Application>(argc_, argv_, "Telvo Test");
    // A blinking caret's timer would wake the event loop and deliver input that nothing else
    // would: only the program may deliver it here.
    QApplication::setCursorFlashTime(0);
    ui::SetErrorReporter(FailOnError);
    ui::SetUnscriptedPrompts(ui::UnscriptedPrompts::Refuse, FailTest);
    testsupport::CheckAfterEachTest(ui::test::DropLeftovers);
  }
  void TearDown() override {
    if (app_ != nullptr) ui::test::PumpMessages();
    app_.reset();
    input_.reset();
    server_.reset();
  }
  XInput* Input() const { return input_.get(); }
  const std::string& Why() const { return why_; }

 private:
  int argc_ = 1;
  char name_[14] = "xserver_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<XServer> server_;
  std::unique_ptr<XInput> input_;
  std::unique_ptr<ui::Application> app_;
  std::string why_;
};

auto* const kEnvironment =
    static_cast<XServerEnvironment*>(::testing::AddGlobalTestEnvironment(new XServerEnvironment));

}  // namespace

XInput* Input() { return kEnvironment->Input(); }
const std::string& NoServerWhy() { return kEnvironment->Why(); }

}  // namespace xserver
