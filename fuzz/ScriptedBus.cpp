#include "fuzz/ScriptedBus.h"

#include "platform/serial/SerialLine.h"
#include "tests/bus/TestDevice.h"

namespace {

class ScriptedLine : public serial::Line {
 public:
  explicit ScriptedLine(std::shared_ptr<std::deque<uint8_t>> input) : input_(std::move(input)) {}

  serial::Failure Open(const std::string&) override {
    open_ = true;
    return serial::Failure::None;
  }
  serial::Failure ReadState() override { return serial::Failure::None; }
  serial::Failure Configure(uint32_t) override { return serial::Failure::None; }
  serial::Failure Close() override {
    open_ = false;
    return serial::Failure::None;
  }
  bool IsOpen() const override { return open_; }
  long Write(const uint8_t*, std::size_t count) override { return static_cast<long>(count); }
  long Read(uint8_t* data, std::size_t count, int) override {
    std::size_t read = 0;
    for (; read < count && !input_->empty(); ++read) {
      data[read] = input_->front();
      input_->pop_front();
    }
    return static_cast<long>(read);
  }
  // The input is the answer to the request about to be written, never stale.
  long ReadPending(uint8_t*, std::size_t) override { return 0; }
  int LastErrno() const override { return 0; }

 private:
  std::shared_ptr<std::deque<uint8_t>> input_;
  bool open_ = false;
};

}  // namespace

IQDevice* ScriptedBus::UnitType::CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) {
  if (info && info->familyCode != kFamilyCode) return nullptr;
  return new bustest::TestDevice(this, manager, info);
}

ScriptedBus::ScriptedBus()
    : input_(std::make_shared<std::deque<uint8_t>>()),
      port_(1, kBusBaudRate, [input = input_] { return std::make_unique<ScriptedLine>(input); }) {
  const IQDeviceInfo info(5, kFamilyCode, 1);
  unit_.reset(type_.CreateDevice(&manager_, &info));
  port_.Open();
}

void ScriptedBus::Queue(std::span<const uint8_t> bytes) {
  input_->insert(input_->end(), bytes.begin(), bytes.end());
}
