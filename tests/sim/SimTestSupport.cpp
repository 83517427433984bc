#include "SimTestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "bus/UCodePacket.h"

namespace simtest {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

Bytes Hex(std::string_view text) {
  Bytes bytes;
  std::string digits;
  for (char c : text) {
    if (c == ' ') continue;
    digits += c;
    if (digits.size() == 2) {
      bytes.push_back(static_cast<uint8_t>(std::stoi(digits, nullptr, 16)));
      digits.clear();
    }
  }
  if (!digits.empty()) throw std::invalid_argument("odd hex text");
  return bytes;
}

std::string ToHex(const Bytes& bytes) {
  std::string text;
  for (uint8_t byte : bytes) {
    char two[4];
    std::snprintf(two, sizeof two, "%02X ", byte);
    text += two;
  }
  return text;
}

Bytes WithChecksum(Bytes bytes) {
  bytes.push_back(ChecksumOf(bytes));
  return bytes;
}

std::array<uint8_t, 8> ModelIdFor(int address) {
  char text[9];
  std::snprintf(text, sizeof text, "UNIT%04d", address);
  std::array<uint8_t, 8> id{};
  std::memcpy(id.data(), text, id.size());
  return id;
}

PortClient::PortClient(const std::string& path) {
  fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
  termios raw{};
  tcgetattr(fd_, &raw);
  cfmakeraw(&raw);
  tcsetattr(fd_, TCSANOW, &raw);
}

PortClient::~PortClient() { Close(); }

void PortClient::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

void PortClient::Send(const Bytes& bytes) {
  ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

long PortClient::ReadOnce(milliseconds deadline) {
  pollfd fd{fd_, POLLIN, 0};
  const int ready = poll(&fd, 1, static_cast<int>(deadline.count()));
  if (ready == 0) return 0;
  if (ready < 0 || (fd.revents & (POLLHUP | POLLERR | POLLNVAL))) return -1;
  uint8_t scratch[256];
  const ssize_t count = read(fd_, scratch, sizeof scratch);
  if (count <= 0) return -1;
  bytesRead_ += static_cast<uint64_t>(count);
  return count;
}

Bytes PortClient::ReadCount(std::size_t count, milliseconds deadline) {
  Bytes bytes;
  const auto end = Clock::now() + deadline;
  while (bytes.size() < count) {
    const auto left = std::chrono::duration_cast<milliseconds>(end - Clock::now());
    if (left.count() <= 0) break;
    pollfd fd{fd_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left.count())) <= 0 || !(fd.revents & POLLIN)) break;
    uint8_t scratch[256];
    const ssize_t got = read(fd_, scratch, std::min(sizeof scratch, count - bytes.size()));
    if (got <= 0) break;
    bytesRead_ += static_cast<uint64_t>(got);
    bytes.insert(bytes.end(), scratch, scratch + got);
  }
  return bytes;
}

void SimBusTest::TearDown() {
  client_.reset();
  bus_.Stop();
}

void SimBusTest::Connect() {
  bus_.Start();
  client_ = std::make_unique<PortClient>(bus_.SlavePath());
}

int SimBusTest::AddUnit(int address, int network, int family) {
  return bus_.AddGenericUnit(
      {.address = address, .network = network, .family = family, .modelId = ModelIdFor(address)},
      {{.id = 20, .elementSize = 1},
       {.id = 21, .elementSize = 4},
       {.id = 22, .elementSize = 4, .count = 5},
       {.id = 300, .elementSize = 2}});
}

void SimBusTest::AwaitTraffic(std::size_t count) {
  const auto end = Clock::now() + kPromptMs;
  while (bus_.Traffic().size() < count && Clock::now() < end) {
    std::this_thread::yield();
  }
  ASSERT_GE(bus_.Traffic().size(), count) << "the bus never logged the exchange";
}

void SimBusTest::TakeAllTheBusSent() {
  const uint64_t sent = bus_.Carried().fromUnits;
  ASSERT_LE(client_->BytesRead(), sent);
  client_->ReadCount(static_cast<std::size_t>(sent - client_->BytesRead()), kPromptMs);
  ASSERT_EQ(client_->BytesRead(), sent) << "the bus's bytes never reached the client";
}

Bytes SimBusTest::LastReplyLogged() {
  const auto traffic = bus_.Traffic();
  for (auto it = traffic.rbegin(); it != traffic.rend(); ++it) {
    if (it->direction == sim::Direction::kFromUnits) return it->bytes;
  }
  return {};
}

void SimBusTest::ExpectReply(const Bytes& request, const Bytes& expected) {
  bus_.ClearTraffic();
  client_->Send(request);
  EXPECT_EQ(ToHex(client_->ReadCount(expected.size(), kPromptMs)), ToHex(expected))
      << "request " << ToHex(request);
  EXPECT_EQ(ToHex(LastReplyLogged()), ToHex(expected));
}

void SimBusTest::ExpectNoReply(const Bytes& request) {
  bus_.ClearTraffic();
  client_->Send(request);
  // The bus logs a request and its reply together, so once the request is in the log a reply
  // would be too.
  AwaitTraffic(1);
  const auto traffic = bus_.Traffic();
  ASSERT_EQ(traffic.size(), 1u) << "request " << ToHex(request);
  EXPECT_EQ(traffic[0].direction, sim::Direction::kToUnits);
  EXPECT_EQ(ToHex(traffic[0].bytes), ToHex(request));
}

}  // namespace simtest
