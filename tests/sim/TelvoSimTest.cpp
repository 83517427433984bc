// telvo-sim started as its users start it: whatever became of its standard streams (closed, never
// read, their reader gone), it serves the bus, takes its commands and ends when told to.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>

#include "SimTestSupport.h"

namespace {

using simtest::Bytes;
using simtest::WithChecksum;
using Clock = std::chrono::steady_clock;

constexpr int kHangBoundMs =
    std::chrono::duration_cast<std::chrono::milliseconds>(testsupport::kHangBound).count();

// A line that is not a command: each gives a message of some 80 bytes.
constexpr const char* kNotACommand = "x\n";
// Enough of them for several times the 64 KB a pipe holds, in far less input than that.
constexpr int kNotACommandLines = 4000;

// A process of its own that reads standard error `bytes` at a time, `pauseNs` apart, for its first
// `slowlyFor` bytes, then all there is at once.
struct ErrorReader {
  std::size_t bytes;
  long pauseNs;
  std::size_t slowlyFor;
};
// 2 KB a second for its first 6 KB: for three seconds, a pipe it keeps full frees a page only once,
// after two, and polls writable only then.
constexpr ErrorReader kSlowReader{128, 62'500'000, 6 * 1024};
// 160 bytes a second for good: a pipe it keeps full frees a page only every 25 seconds.
constexpr ErrorReader kTrickleReader{16, 100'000'000, SIZE_MAX};

// How long the simulator may take to act on a typed line or a stop signal, whatever standard
// error's reader does: many times what it takes on a loaded machine, and far less than a reader
// trickling bytes takes to make room for a line.
constexpr std::chrono::seconds kActsWithin{5};
// How long a unit that answers takes at most on a loaded machine.
constexpr std::chrono::milliseconds kAnswersWithin{1000};

// The simulator as a process of its own, ended and reaped when the test leaves it.
class SimulatorProcess {
 public:
  SimulatorProcess() = default;
  SimulatorProcess(const SimulatorProcess&) = delete;
  SimulatorProcess& operator=(const SimulatorProcess&) = delete;

  ~SimulatorProcess() {
    for (const pid_t pid : {pid_, reader_}) {
      if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
      }
    }
    for (const int fd : {process_, input_, output_, errors_}) {
      if (fd >= 0) close(fd);
    }
  }

  // How its standard streams are given to it; a stream neither piped nor given a file is closed.
  struct Streams {
    bool inputPiped = true;
    // What waits on the piped standard input when it starts.
    std::string typedAhead;
    // The reader of standard output is gone before the simulator prints anything.
    bool outputReaderGone = false;
    bool errorPiped = true;
    // Standard error goes to a file of its own instead: an output that takes every byte at once.
    bool errorToFile = false;
    // Standard error is a pipe that this reader reads, copying into the file with errorToFile. A
    // process beside the simulator, not a thread of the test: stopping the test stops neither,
    // stopping all three (a terminal's Ctrl-Z) both.
    const ErrorReader* errorReader = nullptr;
    // A socket instead of the pipe, piped or read by errorReader.
    bool errorThroughSocket = false;
  };

  // Starts it with one unit at address 1.
  void Start(const Streams& streams) {
    std::array<int, 2> input{-1, -1};
    std::array<int, 2> output{-1, -1};
    std::array<int, 2> errors{-1, -1};
    ASSERT_EQ(pipe2(output.data(), O_CLOEXEC), 0);
    if (streams.outputReaderGone) {
      close(output[0]);
      output[0] = -1;
    }
    if (streams.inputPiped) {
      ASSERT_EQ(pipe2(input.data(), O_CLOEXEC), 0);
      const std::string& typed = streams.typedAhead;
      ASSERT_EQ(write(input[1], typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    }
    const bool errorsThroughPipe = streams.errorPiped || streams.errorReader != nullptr;
    if (errorsThroughPipe && streams.errorThroughSocket) {
      ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, errors.data()), 0);
    } else if (errorsThroughPipe) {
      ASSERT_EQ(pipe2(errors.data(), O_CLOEXEC), 0);
    }
    if (streams.errorToFile) {
      std::string name = (std::filesystem::temp_directory_path() / "telvo-sim-XXXXXX").string();
      errors_ = mkostemp(name.data(), O_CLOEXEC);
      ASSERT_GE(errors_, 0) << name;
      unlink(name.c_str());
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (streams.inputPiped) {
      posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    } else {
      posix_spawn_file_actions_addclose(&actions, STDIN_FILENO);
    }
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    if (errorsThroughPipe) {
      posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
    } else if (streams.errorToFile) {
      posix_spawn_file_actions_adddup2(&actions, errors_, STDERR_FILENO);
    } else {
      posix_spawn_file_actions_addclose(&actions, STDERR_FILENO);
    }
    char program[] = TELVO_SIM_PROGRAM;
    char units[] = "--units";
    char one[] = "1";
    char* argv[] = {program, units, one, nullptr};
    const int spawned = posix_spawn(&pid_, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    for (const int unused : {input[0], output[1], errors[1]}) {
      if (unused >= 0) close(unused);
    }
    input_ = input[1];
    output_ = output[0];
    if (streams.errorPiped) errors_ = errors[0];
    if (streams.errorReader != nullptr) {
      reader_ = fork();
      if (reader_ == 0) CopySlowlyThenAtOnce(*streams.errorReader, errors[0], errors_);
      close(errors[0]);
      ASSERT_GT(reader_, 0);
    }
    ASSERT_EQ(spawned, 0) << TELVO_SIM_PROGRAM;
    process_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
    ASSERT_GE(process_, 0);
  }

  // The first line of the standard output: the terminal the program opens.
  std::string TerminalPath() const { return LineFrom(output_); }
  // The next line of the standard error.
  std::string ErrorLine() const { return LineFrom(errors_); }

  // What the file standard error goes to holds once it has `count` lines or a note of lines
  // dropped.
  std::string ErrorFileOnceItHolds(long count) const {
    std::string text;
    const auto end = Clock::now() + testsupport::kHangBound;
    while (std::ranges::count(text, '\n') < count && text.find("dropped") == std::string::npos &&
           Clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      text.resize(static_cast<std::size_t>(lseek(errors_, 0, SEEK_END)));
      if (pread(errors_, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) break;
    }
    return text;
  }

  // Whether each of the descriptors 0-2 leads elsewhere than either end of the terminal.
  bool StandardDescriptorsOffTheTerminal(const std::string& terminal) const {
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
      const std::filesystem::path link =
          "/proc/" + std::to_string(pid_) + "/fd/" + std::to_string(descriptor);
      std::error_code error;
      const std::string target = std::filesystem::read_symlink(link, error).string();
      if (target == terminal || target.find("ptmx") != std::string::npos) return false;
    }
    return true;
  }

  void CloseErrorReader() {
    close(errors_);
    errors_ = -1;
  }

  void Type(const std::string& text) {
    ASSERT_EQ(write(input_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }

  // Whether the simulator ends, and ends well, on SIGTERM within `bound`.
  bool EndsOnTerm(std::chrono::milliseconds bound = testsupport::kHangBound) {
    kill(pid_, SIGTERM);
    pollfd process{process_, POLLIN, 0};
    if (poll(&process, 1, static_cast<int>(bound.count())) != 1) return false;
    int status = 0;
    const bool reaped = waitpid(pid_, &status, 0) == pid_;
    pid_ = -1;
    return reaped && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

 private:
  // Copies `from` into `to`, if there is one, until `from` ends, as `reader` reads. Runs in a child
  // forked from the test, so it calls only what a signal handler may call.
  [[noreturn]] static void CopySlowlyThenAtOnce(const ErrorReader& reader, int from, int to) {
    static std::array<char, 64 * 1024> chunk;
    if (to >= 0 && fcntl(to, F_SETFL, O_APPEND) != 0) _exit(1);
    std::size_t copied = 0;
    for (;;) {
      const bool slowly = copied < reader.slowlyFor;
      const ssize_t got = read(from, chunk.data(), slowly ? reader.bytes : chunk.size());
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) _exit(got == 0 ? 0 : 1);
      for (ssize_t written = 0; to >= 0 && written < got;) {
        const ssize_t put =
            write(to, chunk.data() + written, static_cast<std::size_t>(got - written));
        if (put <= 0) _exit(1);
        written += put;
      }
      copied += static_cast<std::size_t>(got);
      if (slowly) {
        const timespec pause{0, reader.pauseNs};
        nanosleep(&pause, nullptr);
      }
    }
  }

  static std::string LineFrom(int pipe) {
    std::string line;
    pollfd from{pipe, POLLIN, 0};
    char c = 0;
    while (poll(&from, 1, kHangBoundMs) > 0 && read(pipe, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }

  pid_t pid_ = -1;
  // The process that reads standard error slowly, if one does.
  pid_t reader_ = -1;
  int process_ = -1;
  int input_ = -1;
  int output_ = -1;
  int errors_ = -1;
};

const Bytes kGet = WithChecksum({0x01, 0xF0, 0x02, 0x02, 0x14, 0x0A});
const Bytes kGetAnswer = WithChecksum({0x01, 0xF0, 0x02, 0x01, 0x03, 0x14, 0x0A, 0x00});

// Sets unit 1's byte until the unit refuses, as it does once the simulator has taken "refuse 1";
// whether that came within `bound`. The refusal is read whole, so that the line holds none of it.
bool RefusedOnceTaken(simtest::PortClient& line, std::chrono::milliseconds bound) {
  const Bytes set = WithChecksum({0x01, 0xF0, 0x02, 0x03, 0x14, 0x09, 0x01});
  const Bytes taken = WithChecksum({0x01, 0xF0, 0x02, 0x01, 0x02, 0x14, 0x09});
  const Bytes refusal = WithChecksum({0x01, 0xF0, 0x02, 0x01, 0x04, 0xB0, 0x7F, 0x09, 0x07});
  const auto end = Clock::now() + bound;
  while (Clock::now() < end) {
    line.Send(set);
    Bytes reply = line.ReadCount(taken.size(), simtest::kPromptMs);
    if (reply == taken) continue;
    const Bytes rest = line.ReadCount(refusal.size() - reply.size(), simtest::kPromptMs);
    reply.insert(reply.end(), rest.begin(), rest.end());
    return reply == refusal;
  }
  return false;
}

// Reads unit 1's byte until the unit answers no more, as once the simulator has taken "silent 1";
// whether that came within `bound`.
bool SilentOnceTaken(simtest::PortClient& line, std::chrono::milliseconds bound) {
  const auto end = Clock::now() + bound;
  while (Clock::now() < end) {
    line.Send(kGet);
    // The byte reads 0, or 1 where a set came before the refusal.
    if (line.ReadCount(kGetAnswer.size(), kAnswersWithin).empty()) return true;
  }
  return false;
}

TEST(TelvoSimTest, ClosedStandardStreamsLeaveTheTerminalToTheBus) {
  for (const bool errorPiped : {true, false}) {
    SCOPED_TRACE(errorPiped ? "standard input closed" : "standard input and error closed");
    SimulatorProcess simulator;
    ASSERT_NO_FATAL_FAILURE(simulator.Start({.inputPiped = false, .errorPiped = errorPiped}));
    const std::string terminal = simulator.TerminalPath();
    ASSERT_FALSE(terminal.empty());
    EXPECT_TRUE(simulator.StandardDescriptorsOffTheTerminal(terminal));
    simtest::PortClient line(terminal);
    line.Send(kGet);
    EXPECT_EQ(simtest::ToHex(line.ReadCount(kGetAnswer.size(), simtest::kPromptMs)),
              simtest::ToHex(kGetAnswer));
    EXPECT_TRUE(simulator.EndsOnTerm());
  }
}

// Whatever standard error's reader does, the lines typed after a burst and the stop signal are
// acted on at once: what the output has not taken waits for it, not the simulator.
TEST(TelvoSimTest, AnErrorOutputNobodyTakesNeverHoldsTheSimulatorUp) {
  std::string typed;
  for (int i = 0; i < kNotACommandLines; ++i) typed += kNotACommand;
  typed += "refuse 1\n";
  const struct {
    const char* name;
    SimulatorProcess::Streams streams;
    bool readerGone;
  } cases[] = {
      {"never read", {}, false},
      {"its reader gone", {}, true},
      {"a pipe read 16 bytes at a time",
       {.errorPiped = false, .errorReader = &kTrickleReader},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimulatorProcess simulator;
    ASSERT_NO_FATAL_FAILURE(simulator.Start(c.streams));
    const std::string terminal = simulator.TerminalPath();
    ASSERT_FALSE(terminal.empty());
    if (c.readerGone) simulator.CloseErrorReader();
    ASSERT_NO_FATAL_FAILURE(simulator.Type(typed));
    simtest::PortClient line(terminal);
    EXPECT_TRUE(RefusedOnceTaken(line, kActsWithin));
    ASSERT_NO_FATAL_FAILURE(simulator.Type("silent 1\n"));
    EXPECT_TRUE(SilentOnceTaken(line, kActsWithin));
    EXPECT_TRUE(simulator.EndsOnTerm(kActsWithin));
  }
}

TEST(TelvoSimTest, AStandardOutputWhoseReaderIsGoneLeavesItServing) {
  SimulatorProcess simulator;
  // It takes commands only once it has printed the terminal's path.
  ASSERT_NO_FATAL_FAILURE(simulator.Start({.typedAhead = "refuse 1\n", .outputReaderGone = true}));
  EXPECT_EQ(simulator.ErrorLine(), "telvo-sim: unit 1 refuses every write");
  EXPECT_TRUE(simulator.EndsOnTerm());
}

// A file takes every byte at once; a pipe or a socket read slowly stays full for seconds, but is
// read all the while, and what waits for it is held for it, however long it takes nothing.
TEST(TelvoSimTest, AnErrorOutputThatIsReadGetsEveryLineOfABurst) {
  constexpr int kBurstLines = 5000;
  std::string typed;
  for (int i = 0; i < kBurstLines; ++i) typed += kNotACommand;
  const struct {
    const char* name;
    const ErrorReader* reader;
    bool socket;
  } cases[] = {
      {"a file", nullptr, false},
      {"a pipe read slowly", &kSlowReader, false},
      {"a socket read slowly", &kSlowReader, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimulatorProcess simulator;
    ASSERT_NO_FATAL_FAILURE(simulator.Start({.typedAhead = typed,
                                             .errorPiped = false,
                                             .errorToFile = true,
                                             .errorReader = c.reader,
                                             .errorThroughSocket = c.socket}));
    const std::string text = simulator.ErrorFileOnceItHolds(kBurstLines);
    EXPECT_EQ(std::ranges::count(text, '\n'), kBurstLines);
    EXPECT_EQ(text.find("dropped"), std::string::npos);
    EXPECT_TRUE(simulator.EndsOnTerm());
  }
}

}  // namespace
