#include "tests/family3300_windows/WindowsTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "controls/DeviceErrorReport.h"
#include "family3300/Parameters3300.h"
#include "platform/ui/Application.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppResources.h"
#include "sim/WireFormat.h"
#include "sim/family3300/Family3300Unit.h"

namespace windows3300 {
namespace {

using namespace namespace3300;

constexpr int kBaud = 38400;

class GuiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    app_ = std::make_unique<ui::Application>(argc_, argv_, name_);
    RegisterAppResources();
    ui::SetUnscriptedPrompts(ui::UnscriptedPrompts::Refuse,
                             [](const std::string& what) { ADD_FAILURE() << what; });
    controls::SetDeviceErrorReporter([](const IQException& e, IQDevice*, int code) {
      ReportedErrors().push_back(e.GetText() + " " + std::to_string(code));
    });
  }
  void TearDown() override {
    ui::test::PumpMessages();
    app_.reset();
  }

 private:
  std::string name_ = "family3300_windows_tests";
  int argc_ = 1;
  char* argv_[2] = {name_.data(), nullptr};
  std::unique_ptr<ui::Application> app_;
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace

std::vector<std::string>& ReportedErrors() {
  static std::vector<std::string> errors;
  return errors;
}

std::vector<uint8_t> TextBytes(const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.resize(kNameChars, 0);
  return bytes;
}

Bus3300::Bus3300()
    : port(1, kBaud,
           [path = bus.SlavePath()] {
             return serial::MakeSystemLine([path](int) { return std::optional(path); });
           }),
      manager(port) {
  bus.Start();
  port.Open();
}

Bus3300::~Bus3300() {
  port.Close();
  bus.Stop();
}

namespace3300::IQDevice3300* Bus3300::AddUnit(int address, bool twoChannel,
                                              const std::string& firmware) {
  addresses_.push_back(address);
  sim::family3300::AddFamily3300Unit(bus, {.model = twoChannel ? sim::family3300::Model::k3300_2XL
                                                               : sim::family3300::Model::k3300XL,
                                           .address = address,
                                           .firmware = firmware,
                                           .unitName = "STAGE",
                                           .password = "ABC123"});
  std::vector<IQDevice*> found;
  manager.RollCall({&oneChannelType, &twoChannelType}, found, notifier);
  bus.ClearTraffic();
  for (IQDevice* device : found) {
    if (device->GetInfo().address == address) return dynamic_cast<IQDevice3300*>(device);
  }
  return nullptr;
}

void Bus3300::Store(int address, int objectId, const std::vector<uint8_t>& bytes) {
  const auto at = std::find(addresses_.begin(), addresses_.end(), address);
  bus.StoreElement(static_cast<int>(at - addresses_.begin()), objectId, 0, bytes);
}

uint8_t Bus3300::Byte(int address, int objectId) const {
  const auto at = std::find(addresses_.begin(), addresses_.end(), address);
  return bus.Element(static_cast<int>(at - addresses_.begin()), objectId, 0).at(0);
}

std::vector<std::string> Bus3300::TakeTrace() {
  std::vector<std::string> trace;
  for (const sim::TrafficEntry& entry : bus.Traffic()) {
    if (entry.direction != sim::Direction::kToUnits) continue;
    const auto request = sim::DecodeRequest(entry.bytes);
    if (!request || request->opcode == sim::kNoOpcode) continue;
    const bool write = request->opcode == sim::kOpcodeSet;
    char text[8];
    std::snprintf(text, sizeof text, "%c%02X", write ? 'W' : 'R', request->objectId);
    std::string line = text;
    if (write) {
      line += " ";
      for (uint8_t byte : request->payload) {
        std::snprintf(text, sizeof text, "%02X", byte);
        line += text;
      }
    }
    trace.push_back(line);
  }
  bus.ClearTraffic();
  return trace;
}

}  // namespace windows3300
