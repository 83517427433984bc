#include "tests/family3300/EqTestSupport.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "controls/DeviceErrorReport.h"
#include "tests/app/AppGuiEnvironment.h"
#include "tests/bus/PseudoTerminalBus.h"
#include "tests/bus/RequestTrace.h"
#include "tests/support/FailureInBox.h"

namespace eqtest {

namespace {

std::vector<std::string>& ReportedErrors() {
  static std::vector<std::string> errors;
  return errors;
}

// The family's error reports are collected, with the unit's code and its text.
[[maybe_unused]] testing::Environment* const kEnvironment =
    testsupport::AddAppGuiEnvironment("family3300_tests", [] {
      controls::SetDeviceErrorReporter([](const IQException& error, IQDevice* device, int code) {
        ReportedErrors().push_back(std::to_string(code) + ": " +
                                   (code >= 0 ? device->GetErrorText(code) : error.GetText()));
      });
    });

void SetTemplate(IQDeviceType& type, char model) {
  IQDeviceInfo& info = type.GetTemplate();
  info.familyCode = namespace3300::kFamilyCode3300;
  info.modelId = {};
  info.modelId[0] = static_cast<uint8_t>(model);
}

}  // namespace

std::vector<std::string> TakeReportedErrors() { return std::exchange(ReportedErrors(), {}); }

std::size_t TakeReports(const ui::PromptScript& script, std::size_t first) {
  const std::vector<std::size_t> boxes = testsupport::BoxesTellingAFailure(script, first);
  for (const std::size_t at : boxes) {
    EXPECT_NE(testsupport::FailedRequestInBox(script.Seen()[at - 1].text), std::nullopt)
        << script.Seen()[at - 1].text;
  }
  return TakeReportedErrors().size() + boxes.size();
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

std::string Golden(const std::string& name) {
  return ReadFile(std::filesystem::path(TELVO_GOLDEN_DIR) / name);
}

familycommon::AnswerBound AnswerBoundInPolls() {
  return {.now = [t = familycommon::AnswerBound::Clock::time_point()]() mutable {
    return t += familycommon::kAnswerWaitLimit / 20;
  }};
}

EqFixture::EqFixture()
    : folder(std::filesystem::temp_directory_path() /
             ("family3300-" + std::to_string(::getpid()) + "-" +
              testing::UnitTest::GetInstance()->current_test_info()->name())),
      port(1, kBusBaudRate,
           [this, path = bus.SlavePath()]() -> std::unique_ptr<serial::Line> {
             // Each read waits for the units' answers: however loaded the machine, a unit is silent
             // only where a test's fault makes it so.
             return std::make_unique<bustest::AnsweredLine>(
                 bus, serial::MakeSystemLine([path](int) { return std::optional(path); }));
           }),
      manager(port) {
  manager.GetEncoder().SetOwedRepliesClock(bustest::StillClock);
  std::filesystem::create_directories(folder);
  SetTemplate(oneChannel, '1');
  SetTemplate(twoChannel, '2');
  oneChannel.SetRegistryKey(store.Root());
  twoChannel.SetRegistryKey(store.Root());
  TakeReportedErrors();
}

EqFixture::~EqFixture() {
  port.Close();
  bus.Stop();
  std::filesystem::remove_all(folder);
}

void EqFixture::AddUnit(sim::family3300::Model model, int address, const std::string& name) {
  sim::family3300::AddFamily3300Unit(bus, {.model = model, .address = address, .unitName = name});
}

std::vector<namespace3300::IQDevice3300*> EqFixture::RollCall() {
  bus.Start();
  port.Open();
  std::vector<IQDevice*> found;
  manager.RollCall({&oneChannel, &twoChannel}, found, notifier);
  bus.ClearTraffic();
  std::vector<namespace3300::IQDevice3300*> units;
  for (IQDevice* device : found) {
    units.push_back(dynamic_cast<namespace3300::IQDevice3300*>(device));
    units.back()->SetAnswerBound(AnswerBoundInPolls());
  }
  return units;
}

namespace3300::IQDevice3300* EqFixture::NewVirtual(sim::family3300::Model model,
                                                   const std::string& name) {
  IQDeviceType& type = model == sim::family3300::Model::k3300XL
                           ? static_cast<IQDeviceType&>(oneChannel)
                           : static_cast<IQDeviceType&>(twoChannel);
  virtuals.emplace_back(type.CreateDevice(&manager, nullptr));
  virtuals.back()->SetName(name);
  auto* unit = dynamic_cast<namespace3300::IQDevice3300*>(virtuals.back().get());
  // A copy from a bus unit waits within its virtual destination's bound.
  unit->SetAnswerBound(AnswerBoundInPolls());
  return unit;
}

std::vector<std::string> EqFixture::TakeTrace(bool withAddress) {
  return bustest::TakeRequestTrace(bus, withAddress);
}

}  // namespace eqtest
