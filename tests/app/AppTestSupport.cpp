#include "tests/app/AppTestSupport.h"

#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "app/TelvoApp.h"
#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"
#include "bus/IQException.h"
#include "bus/PollBackoff.h"
#include "bus/PortList.h"
#include "bus/SettingsTextFile.h"
#include "platform/registry/UserRoot.h"
#include "platform/serial/UserPorts.h"
#include "platform/ui/Application.h"
#include "platform/ui/Guard.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppIds.h"
#include "resources/AppResources.h"
#include "tests/bus/AnsweredLine.h"
#include "tests/support/LeftoverCheck.h"

namespace apptest {

bool TestUnit::LoadFile() {
  ++log_.loads;
  if (log_.onLoad) log_.onLoad();
  return true;
}

bool TestUnit::GetListText(std::string& text) const {
  if (GetInfo().IsVirtual()) return false;
  if (std::ranges::count(log_.unreadableListText, GetInfo().address) > 0) throw ReadTimeout();
  text = "(" + std::to_string(GetInfo().address) + ") " + GetInfo().ModelText();
  return true;
}

TestUnitType::TestUnitType(DeviceLog& log, std::string name) : log_(log), name_(std::move(name)) {
  GetTemplate().familyCode = kTestFamily;
}

IQDevice* TestUnitType::CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) {
  if (info && info->familyCode != kTestFamily) return nullptr;
  return new TestUnit(this, manager, info, log_);
}

registry::Key SettingsKey() { return registry::UserRoot().OpenSubKey("TelvoWin2 Settings", true); }

void FailTest(const std::string& what) { ADD_FAILURE() << what; }

namespace {

// One application object for the whole test program, as Qt allows only one. The settings store is
// a temporary folder, set before anything reads it, so that no test touches the user's settings.
class AppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(config_.isValid());
    setenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit().constData(), 1);
    app_ = std::make_unique<ui::Application>(argc_, argv_, "Telvo Windows 2.3");
    RegisterAppResources();
    ui::SetErrorReporter([](const std::string& where, const std::string& what) {
      ADD_FAILURE() << "exception in " << where << ": " << what;
    });
    ui::SetUnscriptedPrompts(ui::UnscriptedPrompts::Refuse, FailTest);
    ui::test::UseManualTimers();
    // A silent unit's polls pause by the tests' clock only, however long the machine keeps them.
    PollBackoff::Clock::Hold();
    testsupport::CheckAfterEachTest(ui::test::DropLeftovers);
  }
  void TearDown() override {
    ui::test::PumpMessages();
    app_.reset();
  }

 private:
  QTemporaryDir config_;
  int argc_ = 1;
  char name_[10] = "app_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<ui::Application> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

const std::vector<sim::ObjectLayout> kUnitObjects{{.id = 20, .elementSize = 4}};

// Removes the program's settings, as on a first start.
void ForgetSettings() { registry::UserRoot().DeleteSubKeyTree("TelvoWin2 Settings"); }

}  // namespace

ShellTest::ShellTest() {
  ForgetSettings();
  TheCommPort.Close();
  TheCommPort.SetPortNumber(1);
  TheCommPort.SetName("");
  TheCommPort.SetRetries(CommPort::kDefaultRetries);
  TheCommPort.SetReadTimeout(CommPort::kDefaultReadTimeoutMs);
  // Whichever port the program opens, its reads wait for the simulated units' answers.
  TheCommPort.SetLineFactory(
      [this] { return std::make_unique<bustest::AnsweredLine>(bus, serial::MakeSystemLine()); });
  TheDeviceManager.GetEncoder().SetOwedRepliesClock(bustest::StillClock);
  ThePortList().SelectPort(nullptr);
  bus.Start();
  serial::UserComNumbers().Enter(kSimComNumber, bus.SlavePath());
}

ShellTest::~ShellTest() {
  if (frame_) frame_->Destroy();
  frame_.reset();
  client_.reset();
  ui::test::PumpMessages();
  TheCommPort.Close();
  TheCommPort.SetLineFactory(CommPort::SystemLines());
  bus.Stop();
}

void ShellTest::AddUnits(std::initializer_list<int> addresses) {
  for (int address : addresses) {
    sim::UnitIdentity identity{.address = address, .family = static_cast<int>(kTestFamily)};
    identity.modelId = {'U', 'N', 'I', 'T', static_cast<uint8_t>('0' + address % 10), 0, 0, 0};
    bus.AddGenericUnit(identity, kUnitObjects);
  }
}

void ShellTest::Start() {
  DeviceTypeFactory testTypes = [this] {
    DeviceTypeList types;
    types.push_back(std::make_unique<TestUnitType>(log));
    return types;
  };
  client_ = std::make_unique<TTelvo33DlgClient>(
      builtInTypes_ ? DeviceTypeFactory(MakeDeviceTypes) : testTypes, desktop);
  frame_ = BuildMainFrame("Telvo Windows 2.3", *client_);
  frame_->Create();
  frame_->Show();
  ui::test::PumpMessages();
}

ui::Prompt ShellTest::OneMessageFrom(int command) {
  ui::PromptScript script(FailTest);
  script.AnswerMessageBox(ui::kIdOk);
  ui::Application::Instance()->RouteCommand(command, &client());
  if (script.Seen().size() != 1) {
    ADD_FAILURE() << "command " << command << " showed " << script.Seen().size() << " prompts";
    return {};
  }
  return script.Seen()[0];
}

ui::Prompt ShellTest::RollCall() { return OneMessageFrom(appres::kCmRollCall); }

std::vector<std::string> ShellTest::Items(TDeviceListWindow& list) const {
  std::vector<std::string> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list.ItemText(i));
  return items;
}

int ShellTest::ItemNamed(TDeviceListWindow& list, const std::string& text) const {
  for (int i = 0; i < list.Count(); ++i) {
    if (list.ItemText(i) == text) return i;
  }
  return -1;
}

ui::Point ShellTest::ItemPoint(TDeviceListWindow& list, int item) {
  const ui::Rect r = list.ItemRect(item);
  const ui::Point centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  return client().ScreenToClient(list.ClientToScreen(centre));
}

ui::Point ShellTest::EmptyPoint(TDeviceListWindow& list) {
  const ui::Rect r = list.ClientRect();
  return client().ScreenToClient(list.ClientToScreen({r.right / 2, r.bottom - 6}));
}

void ShellTest::RightClick(TDeviceListWindow& list, ui::Point clientPoint) {
  ui::test::MouseDown(list, list.ScreenToClient(client().ClientToScreen(clientPoint)), true);
  ui::test::PumpMessages();
}

void ShellTest::Drag(TDeviceListWindow& from, int item, ui::Point clientDropPoint) {
  client().SendNotify({from.Id(), ui::Notify::BeginDrag, &from, item});
  ui::test::MouseUp(client(), clientDropPoint);
  ui::test::PumpMessages();
}

IQDevice* ShellTest::DeviceOf(TDeviceListWindow& list, int item) const {
  return client_->Slots().At(static_cast<int>(list.ItemData(item)));
}

IQDevice& ShellTest::OpenBusUnit(int address) {
  TDeviceListWindow& list = client().BusList();
  for (int i = 0; i < list.Count(); ++i) {
    IQDevice* device = DeviceOf(list, i);
    if (device == nullptr || device->GetInfo().address != address) continue;
    if (!device->IsOpen()) {
      list.SelectItem(i);
      client().SendNotify({appres::kBusList, ui::Notify::DoubleClick, &list, i});
    }
    return *device;
  }
  throw std::runtime_error("no unit at address " + std::to_string(address));
}

}  // namespace apptest
