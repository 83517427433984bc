#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "platform/serial/SerialLine.h"
#include "platform/serial/WriteFaultLine.h"
#include "tests/platform/PseudoTerminal.h"
#include "tests/platform/TempDir.h"
#include "tests/support/HangBound.h"

namespace serial {
namespace {

using testing_support::PseudoTerminal;
using Bytes = std::vector<unsigned char>;
using Clock = std::chrono::steady_clock;

constexpr uint32_t kBusBaud = 38400;
// Bytes that must come are awaited until only a hang could keep them.
constexpr int kReplyWaitMs =
    std::chrono::duration_cast<std::chrono::milliseconds>(testsupport::kHangBound).count();

class SystemLineTest : public ::testing::Test {
 protected:
  void OpenConfigured(Line& line) {
    ASSERT_EQ(line.Open(pty_.SlavePath()), Failure::None) << line.LastErrno();
    ASSERT_EQ(line.Configure(kBusBaud), Failure::None) << line.LastErrno();
  }
  Bytes ReadFrom(Line& line, std::size_t count, int timeoutMs) {
    Bytes bytes(count);
    long n = line.Read(bytes.data(), count, timeoutMs);
    bytes.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return bytes;
  }

  PseudoTerminal pty_;
};

TEST_F(SystemLineTest, BytesCrossTheLineBothWays) {
  auto line = MakeSystemLine();
  OpenConfigured(*line);
  EXPECT_TRUE(line->IsOpen());

  // Raw mode: control characters and line ends pass unchanged.
  const Bytes out = {0xFD, 0x0A, 0x0D, 0x03, 0x11, 0x13, 0x00};
  EXPECT_EQ(line->Write(out.data(), out.size()), 7);
  EXPECT_EQ(pty_.Receive(out.size(), kReplyWaitMs), out);

  const Bytes in = {0x01, 0x13, 0x11, 0x0D, 0x7F};
  pty_.Send(in);
  EXPECT_EQ(ReadFrom(*line, in.size(), kReplyWaitMs), in);

  EXPECT_EQ(line->Close(), Failure::None);
  EXPECT_FALSE(line->IsOpen());
  EXPECT_EQ(line->Write(out.data(), 1), -1);
}

TEST_F(SystemLineTest, ConfiguresRaw8N1WithoutFlowControl) {
  auto line = MakeSystemLine();
  OpenConfigured(*line);
  // A second descriptor reads the terminal's settings without taking the lock.
  FILE* probe = std::fopen(pty_.SlavePath().c_str(), "r");
  ASSERT_NE(probe, nullptr);
  termios settings{};
  ASSERT_EQ(::tcgetattr(fileno(probe), &settings), 0);
  std::fclose(probe);

  EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(settings.c_iflag & (IXON | IXOFF | IXANY), 0u);
  EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(cfgetospeed(&settings), static_cast<speed_t>(B38400));
  EXPECT_EQ(cfgetispeed(&settings), static_cast<speed_t>(B38400));

  EXPECT_EQ(line->Configure(12345), Failure::Other);
  EXPECT_EQ(line->LastErrno(), EINVAL);
}

TEST_F(SystemLineTest, OpenFailuresMapToTheirKinds) {
  auto first = MakeSystemLine();
  OpenConfigured(*first);

  auto second = MakeSystemLine();
  EXPECT_EQ(second->Open(pty_.SlavePath()), Failure::InUse);
  EXPECT_EQ(second->LastErrno(), EWOULDBLOCK);
  EXPECT_FALSE(second->IsOpen());

  // Released by close: the port can be taken again.
  first->Close();
  EXPECT_EQ(second->Open(pty_.SlavePath()), Failure::None);

  auto missing = MakeSystemLine();
  EXPECT_EQ(missing->Open("/dev/no-such-serial-port"), Failure::NoSuchPort);
  EXPECT_EQ(missing->LastErrno(), ENOENT);
  EXPECT_FALSE(missing->IsOpen());

  // A file that is no terminal opens, but has no line state to read.
  testing_support::TempDir dir;
  dir.WriteFile("plain", "");
  auto plain = MakeSystemLine();
  ASSERT_EQ(plain->Open((dir.Path() / "plain").string()), Failure::None);
  EXPECT_EQ(plain->ReadState(), Failure::Other);
  EXPECT_EQ(plain->LastErrno(), ENOTTY);
  EXPECT_EQ(second->ReadState(), Failure::None);
}

TEST_F(SystemLineTest, ComNamesResolveThroughTheLookup) {
  std::vector<int> asked;
  auto lookup = [&](int number) -> std::optional<std::string> {
    asked.push_back(number);
    if (number == 12) return pty_.SlavePath();
    return std::nullopt;
  };
  auto line = MakeSystemLine(lookup);
  EXPECT_EQ(line->Open("\\\\.\\COM12"), Failure::None);
  line->Close();
  EXPECT_EQ(line->Open("COM12"), Failure::None);
  line->Close();
  EXPECT_EQ(line->Open("COM4"), Failure::NoSuchPort);
  EXPECT_EQ(asked, (std::vector<int>{12, 12, 4}));
}

TEST_F(SystemLineTest, ReadsEndAtTheirDeadline) {
  auto line = MakeSystemLine();
  OpenConfigured(*line);
  // Taken for seconds, the deadline would outlast the bound below.
  constexpr int kDeadlineMs = 100;

  Bytes buffer(4);
  auto start = Clock::now();
  EXPECT_EQ(line->Read(buffer.data(), 1, kDeadlineMs), 0);
  auto waited = Clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(kDeadlineMs - 2));
  EXPECT_LT(waited, testsupport::kHangBound);

  // A partial reply comes back as far as it got.
  pty_.Send({0xAA, 0xBB});
  ASSERT_TRUE(pty_.ReachedSlave(2, kReplyWaitMs));
  EXPECT_EQ(ReadFrom(*line, 4, kDeadlineMs), (Bytes{0xAA, 0xBB}));

  // Bytes already on the line are taken however late the line is asked: a read whose time was
  // spent before it began, as when the program was kept from running, is no silence.
  pty_.Send({0xCC, 0xDD});
  ASSERT_TRUE(pty_.ReachedSlave(2, kReplyWaitMs));
  const std::pair<int, Bytes> rows[] = {{0, {0xCC}}, {-kDeadlineMs, {0xDD}}};
  for (const auto& [timeoutMs, read] : rows) {
    SCOPED_TRACE(timeoutMs);
    EXPECT_EQ(ReadFrom(*line, 1, timeoutMs), read);
  }
}

TEST_F(SystemLineTest, HangUpFailsTheReadInsteadOfHanging) {
  auto line = MakeSystemLine();
  OpenConfigured(*line);
  pty_.HangUp();
  Bytes buffer(1);
  EXPECT_EQ(line->Read(buffer.data(), 1, 10'000), -1);
  EXPECT_EQ(line->LastErrno(), EIO);
}

TEST_F(SystemLineTest, InjectedWriteFaultsApplyOnceEachInOrder) {
  WriteFaultLine line(MakeSystemLine());
  OpenConfigured(line);
  const Bytes packet = {1, 2, 3, 4, 5, 6};

  line.QueueFailedWrite(EIO);
  line.QueueShortWrite(2);
  EXPECT_EQ(line.PendingFaults(), 2u);

  EXPECT_EQ(line.Write(packet.data(), packet.size()), -1);
  EXPECT_EQ(line.LastErrno(), EIO);
  EXPECT_EQ(line.Write(packet.data(), packet.size()), 2);
  EXPECT_EQ(line.Write(packet.data(), packet.size()), 6);
  EXPECT_EQ(line.PendingFaults(), 0u);

  // The failed write sent nothing; the short one only its head.
  EXPECT_EQ(pty_.Receive(8, kReplyWaitMs), (Bytes{1, 2, 1, 2, 3, 4, 5, 6}));
}

}  // namespace
}  // namespace serial
