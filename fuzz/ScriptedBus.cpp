#include "fuzz/ScriptedBus.h"

#include <deque>

#include "platform/serial/SerialLine.h"
#include "tests/bus/TestDevice.h"

struct ScriptedBus::LineState {
  std::deque<uint8_t> input;
  Answerer answerer;
};

namespace {

class ScriptedLine : public serial::Line {
 public:
  explicit ScriptedLine(std::shared_ptr<ScriptedBus::LineState> state) : state_(std::move(state)) {}

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
  long Write(const uint8_t* data, std::size_t count) override {
    if (state_->answerer) {
      const std::vector<uint8_t> answer = state_->answerer({data, count});
      state_->input.insert(state_->input.end(), answer.begin(), answer.end());
    }
    return static_cast<long>(count);
  }
  long Read(uint8_t* data, std::size_t count, int) override {
    std::deque<uint8_t>& input = state_->input;
    std::size_t read = 0;
    for (; read < count && !input.empty(); ++read) {
      data[read] = input.front();
      input.pop_front();
    }
    return static_cast<long>(read);
  }
  // The input is the answer to the request about to be written, never stale.
  long ReadPending(uint8_t*, std::size_t) override { return 0; }
  int LastErrno() const override { return 0; }

 private:
  std::shared_ptr<ScriptedBus::LineState> state_;
  bool open_ = false;
};

}  // namespace

IQDevice* ScriptedBus::UnitType::CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) {
  if (info && info->familyCode != kFamilyCode) return nullptr;
  return new bustest::TestDevice(this, manager, info);
}

ScriptedBus::ScriptedBus()
    : line_(std::make_shared<LineState>()),
      port_(1, kBusBaudRate, [line = line_] { return std::make_unique<ScriptedLine>(line); }) {
  const IQDeviceInfo info(5, kFamilyCode, 1);
  unit_.reset(type_.CreateDevice(&manager_, &info));
  port_.Open();
}

void ScriptedBus::Queue(std::span<const uint8_t> bytes) {
  line_->input.insert(line_->input.end(), bytes.begin(), bytes.end());
}

void ScriptedBus::AnswerWrites(Answerer answerer) { line_->answerer = std::move(answerer); }
