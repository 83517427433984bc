#include "tests/familyov_files/FilesTestSupport.h"

#include <fstream>
#include <memory>
#include <sstream>

#include "platform/ui/Application.h"
#include "platform/ui/Guard.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppResources.h"
#include "tests/support/LeftoverCheck.h"

namespace filestest {

void FailTest(const std::string& what) { ADD_FAILURE() << what; }

std::string GoldenPath(const std::string& name) {
  return std::string(TELVO_GOLDEN_DIR) + "/" + name;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

::testing::AssertionResult SameText(const std::string& actual, const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  std::istringstream a(actual), e(expected);
  std::string lineA, lineE;
  for (int line = 1;; ++line) {
    const bool moreA = static_cast<bool>(std::getline(a, lineA));
    const bool moreE = static_cast<bool>(std::getline(e, lineE));
    if (moreA != moreE || lineA != lineE) {
      return ::testing::AssertionFailure()
             << "line " << line << ": \"" << (moreA ? lineA : "<end>") << "\" instead of \""
             << (moreE ? lineE : "<end>") << "\"";
    }
  }
}

std::string LogicRecallingAtMost(std::string text, int last) {
  constexpr int kMostMemories = 15;
  // A logic line of the globals: the memory recalled and the logic output driven, here none.
  const auto line = [](int memory) { return "\n" + std::to_string(memory) + " 0 \n"; };
  for (int memory = last + 1; memory <= kMostMemories; ++memory) {
    for (std::size_t at; (at = text.find(line(memory))) != std::string::npos;) {
      text.replace(at, line(memory).size(), line(last));
    }
  }
  return text;
}

std::string FilesTest::TempPath(const std::string& name) const {
  return folder.path().toStdString() + "/" + name;
}

namespace {

class FilesEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    app_ = std::make_unique<ui::Application>(argc_, argv_, "Telvo Test");
    RegisterAppDialogs();
    ui::SetErrorReporter([](const std::string& where, const std::string& what) {
      ADD_FAILURE() << "exception in " << where << ": " << what;
    });
    ui::SetUnscriptedPrompts(ui::UnscriptedPrompts::Refuse, FailTest);
    testsupport::CheckAfterEachTest(ui::test::DropLeftovers);
  }
  void TearDown() override {
    ui::test::PumpMessages();
    app_.reset();
  }

 private:
  int argc_ = 1;
  char name_[21] = "familyov_files_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<ui::Application> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new FilesEnvironment);

}  // namespace
}  // namespace filestest
