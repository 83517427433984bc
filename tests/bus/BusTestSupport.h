#pragma once

// Stand-ins for what surrounds the bus layer: a scripted serial line that never sleeps, a
// recording notifier and monitor, and a device type of the tests in place of a family.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bus/BusNotifier.h"
#include "bus/ComMonitor.h"
#include "bus/CommPort.h"
#include "bus/IQDevice.h"
#include "bus/IQDeviceManager.h"
#include "bus/IQDeviceType.h"
#include "platform/serial/SerialLine.h"
#include "tests/bus/TestDevice.h"

namespace bustest {

using Bytes = std::vector<uint8_t>;

// What the scripted lines do and what was done to them; shared by every line a port opens.
struct LineScript {
  serial::Failure openFailure = serial::Failure::None;
  serial::Failure stateFailure = serial::Failure::None;
  serial::Failure configureFailure = serial::Failure::None;
  serial::Failure closeFailure = serial::Failure::None;
  std::optional<long> writeResult;  // what a write reports instead of writing everything
  bool readFails = false;
  bool babbles = false;  // the line never falls silent
  // Bytes waiting to be read; nullopt is one read that finds the line silent.
  std::deque<std::optional<uint8_t>> input;
  // Bytes that reached the line before anything asked for them (a late answer); only a read of
  // what is pending takes them.
  std::deque<uint8_t> pending;
  // Called with every write, after it is recorded: a scripted unit answers here.
  std::function<void(const Bytes&)> onWrite;

  std::vector<std::string> opened;
  int closes = 0;
  std::vector<Bytes> writes;
  std::vector<int> readTimeoutsMs;
  int silentReads = 0;

  void Queue(const Bytes& bytes) { input.insert(input.end(), bytes.begin(), bytes.end()); }
  void QueueSilence(int reads) { input.insert(input.end(), reads, std::nullopt); }
};

serial::LineFactory ScriptedLines(std::shared_ptr<LineScript> script);

// A reply as unit `address` of the family `familyBytes` encode sends it: address, family, status,
// length, id, opcode, data, checksum.
Bytes ReplyFrom(uint8_t address, const Bytes& familyBytes, uint8_t status, const Bytes& idBytes,
                const Bytes& data, uint8_t opcode = 10);
// A reply of the scripted unit, at address 5 of family 368.
Bytes Reply(uint8_t status, const Bytes& idBytes, const Bytes& data, uint8_t opcode = 10);
// The wire bytes of a request or roll-call message, checksum appended.
Bytes WithChecksum(Bytes bytes);

struct RecordingNotifier : BusNotifier {
  struct Message {
    std::string text, caption;
  };
  std::vector<Message> messages;
  void ShowMessage(const std::string& text, const std::string& caption, Icon) override {
    messages.push_back({text, caption});
  }
};

// Checks that `notifier` showed exactly one message, with this text and caption.
void ExpectOnlyMessage(const RecordingNotifier& notifier, const std::string& text,
                       const std::string& caption);
inline const std::string kAddressConflictText =
    "Address conflicts detected.  Please correct and perform roll call again.";

struct RecordingMonitor : ComMonitor {
  std::vector<Bytes> sentPackets, receivedPackets, sentBytes, receivedBytes;
  int masks = 0;
  void LogSentPacket(const UCodePacket& packet) override;
  void LogReceivedPacket(const UCodePacket& packet) override;
  void LogSentBytes(std::span<const uint8_t> b) override {
    sentBytes.emplace_back(b.begin(), b.end());
  }
  void LogReceivedBytes(std::span<const uint8_t> b) override {
    receivedBytes.emplace_back(b.begin(), b.end());
  }
  void BeginMask() override { ++masks; }
  void EndMask() override { --masks; }
};

// Accepts records of its own family code.
class TestDeviceType : public IQDeviceType {
 public:
  TestDeviceType(uint32_t familyCode, std::string name);
  IQDevice* CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) override;
  std::string GetName() const override { return name_; }

 private:
  std::string name_;
};

// A port on scripted lines, opened, with its device manager and a unit at address 5 of the
// tests' family.
struct ScriptedUnitTest : testing::Test {
  std::shared_ptr<LineScript> line = std::make_shared<LineScript>();
  CommPort port{1, kBusBaudRate, ScriptedLines(line)};
  IQDeviceManager manager{port};
  TestDeviceType type{368, "Test"};
  IQDeviceInfo info{5, 368, 1};
  std::unique_ptr<IQDevice> unit{type.CreateDevice(&manager, &info)};

  void SetUp() override { port.Open(); }
};

}  // namespace bustest
