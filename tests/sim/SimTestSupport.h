#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/SimulatedBus.h"
#include "tests/support/HangBound.h"

namespace simtest {

using Bytes = std::vector<uint8_t>;

// "05 F0 02" -> {0x05, 0xF0, 0x02}.
Bytes Hex(std::string_view text);
std::string ToHex(const Bytes& bytes);
// The bytes followed by their checksum, as every packet goes on the wire.
Bytes WithChecksum(Bytes bytes);

// The program's end of the line: the slave of the pseudo-terminal, raw, with every read bounded.
class PortClient {
 public:
  explicit PortClient(const std::string& path);
  ~PortClient();
  PortClient(const PortClient&) = delete;
  PortClient& operator=(const PortClient&) = delete;

  void Send(const Bytes& bytes);
  // Reads until `count` bytes came or the deadline passed; returns what came.
  Bytes ReadCount(std::size_t count, std::chrono::milliseconds deadline);
  // Result of one poll and read with a deadline: bytes read, 0 for silence, -1 for a failed line.
  long ReadOnce(std::chrono::milliseconds deadline);
  // Every byte this client has read.
  uint64_t BytesRead() const { return bytesRead_; }
  void Close();

 private:
  int fd_ = -1;
  uint64_t bytesRead_ = 0;
};

// How long a test waits for bytes that must come: they come at once, unless the machine keeps the
// bus's thread or the system's from running, which only a hang makes this long.
inline constexpr std::chrono::milliseconds kPromptMs = testsupport::kHangBound;

// A running bus with a connected client; tests add units before `Connect`.
class SimBusTest : public ::testing::Test {
 protected:
  static constexpr int kFamily = 368;  // F0 02 on the wire

  void TearDown() override;
  void Connect();
  int AddUnit(int address, int network = 1, int family = kFamily);
  // Sends `request` and reads `expected.size()` bytes; checks them and the logged reply.
  void ExpectReply(const Bytes& request, const Bytes& expected);
  // Sends `request` and checks that nothing answers it.
  void ExpectNoReply(const Bytes& request);
  // Waits until the bus has logged `count` entries.
  void AwaitTraffic(std::size_t count);
  // Reads every byte the bus has written so far: silence on the line may only mean that the
  // system has not handed them over yet.
  void TakeAllTheBusSent();
  Bytes LastReplyLogged();

  sim::SimulatedBus bus_;
  std::unique_ptr<PortClient> client_;
};

// A unit's model id as the tests give it: "UNIT" and the address in four digits.
std::array<uint8_t, 8> ModelIdFor(int address);

}  // namespace simtest
