#include "tests/bus/BusTestSupport.h"

#include <algorithm>

#include "bus/UCodePacket.h"

namespace bustest {

namespace {

class ScriptedLine : public serial::Line {
 public:
  explicit ScriptedLine(std::shared_ptr<LineScript> script) : s_(std::move(script)) {}

  serial::Failure Open(const std::string& portName) override {
    s_->opened.push_back(portName);
    open_ = s_->openFailure == serial::Failure::None;
    return s_->openFailure;
  }
  serial::Failure ReadState() override { return s_->stateFailure; }
  serial::Failure Configure(uint32_t) override { return s_->configureFailure; }
  serial::Failure Close() override {
    ++s_->closes;
    open_ = false;
    return s_->closeFailure;
  }
  bool IsOpen() const override { return open_; }
  long Write(const uint8_t* data, std::size_t count) override {
    s_->writes.emplace_back(data, data + count);
    if (s_->onWrite) s_->onWrite(s_->writes.back());
    return s_->writeResult.value_or(static_cast<long>(count));
  }
  long Read(uint8_t* data, std::size_t count, int timeoutMs) override {
    s_->readTimeoutsMs.push_back(timeoutMs);
    if (s_->readFails) return -1;
    if (s_->babbles) {
      std::fill_n(data, count, 0x55);
      return static_cast<long>(count);
    }
    std::size_t n = 0;
    while (n < count && !s_->input.empty() && s_->input.front()) {
      data[n++] = *s_->input.front();
      s_->input.pop_front();
    }
    if (n == 0) {
      ++s_->silentReads;
      if (!s_->input.empty()) s_->input.pop_front();
    }
    return static_cast<long>(n);
  }
  long ReadPending(uint8_t* data, std::size_t count) override {
    if (s_->readFails) return -1;
    std::size_t n = 0;
    for (; n < count && !s_->pending.empty(); ++n) {
      data[n] = s_->pending.front();
      s_->pending.pop_front();
    }
    return static_cast<long>(n);
  }
  int LastErrno() const override { return 0; }

 private:
  std::shared_ptr<LineScript> s_;
  bool open_ = false;
};

}  // namespace

serial::LineFactory ScriptedLines(std::shared_ptr<LineScript> script) {
  return [script] { return std::make_unique<ScriptedLine>(script); };
}

Bytes WithChecksum(Bytes bytes) {
  bytes.push_back(ChecksumOf(bytes));
  return bytes;
}

Bytes ReplyFrom(uint8_t address, const Bytes& familyBytes, uint8_t status, const Bytes& idBytes,
                const Bytes& data, uint8_t opcode) {
  Bytes reply{address};
  reply.insert(reply.end(), familyBytes.begin(), familyBytes.end());
  reply.push_back(status);
  reply.push_back(static_cast<uint8_t>(idBytes.size() + 1 + data.size()));
  reply.insert(reply.end(), idBytes.begin(), idBytes.end());
  reply.push_back(opcode);
  reply.insert(reply.end(), data.begin(), data.end());
  return WithChecksum(reply);
}

Bytes Reply(uint8_t status, const Bytes& idBytes, const Bytes& data, uint8_t opcode) {
  return ReplyFrom(0x05, {0xF0, 0x02}, status, idBytes, data, opcode);
}

void ExpectOnlyMessage(const RecordingNotifier& notifier, const std::string& text,
                       const std::string& caption) {
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_EQ(notifier.messages[0].text, text);
  EXPECT_EQ(notifier.messages[0].caption, caption);
}

void RecordingMonitor::LogSentPacket(const UCodePacket& packet) {
  sentPackets.push_back(packet.WireBytes());
}

void RecordingMonitor::LogReceivedPacket(const UCodePacket& packet) {
  receivedPackets.push_back(packet.Bytes());
}

TestDeviceType::TestDeviceType(uint32_t familyCode, std::string name) : name_(std::move(name)) {
  GetTemplate().familyCode = familyCode;
}

IQDevice* TestDeviceType::CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) {
  if (info && info->familyCode != GetTemplate().familyCode) return nullptr;
  return new TestDevice(this, manager, info);
}

}  // namespace bustest
