#include "sim/ErrorOutput.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

namespace sim {
namespace {

// Far more than any burst of lines a person types or a failing unit gives rise to.
constexpr std::size_t kMaxHeldBytes = 64 * 1024;

// Writes all of `text`; false once the output fails.
bool WriteAll(std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = write(STDERR_FILENO, text.data(), text.size());
    if (written > 0) {
      text.remove_prefix(static_cast<std::size_t>(written));
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    // Another holder of the output may have made it non-blocking: wait until it takes bytes.
    pollfd output{STDERR_FILENO, POLLOUT, 0};
    if (written < 0 && errno == EAGAIN && poll(&output, 1, -1) >= 0) continue;
    return false;
  }
  return true;
}

class ErrorOutput {
 public:
  ErrorOutput() {
    // The writer takes no signal: the stop signals stay with whoever waits for them, and an
    // output whose reader is gone fails the write instead of ending the process.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    std::thread([this] { WriteWhatIsHeld(); }).detach();
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  }

  void Say(std::string_view line) {
    {
      std::lock_guard lock(mutex_);
      if (failed_) return;
      if (held_.size() + line.size() + 1 > kMaxHeldBytes) {
        ++dropped_;
        return;
      }
      held_.append(line).push_back('\n');
    }
    changed_.notify_one();
  }

 private:
  void WriteWhatIsHeld() {
    for (;;) {
      std::string text;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !held_.empty() || dropped_ > 0; });
        text.swap(held_);
        if (dropped_ > 0) {
          text += "(" + std::to_string(dropped_) + " lines dropped: standard error took no more)\n";
        }
        dropped_ = 0;
      }
      if (!WriteAll(text)) break;
    }
    std::lock_guard lock(mutex_);
    failed_ = true;
    held_.clear();
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::string held_;
  int dropped_ = 0;
  bool failed_ = false;
};

}  // namespace

void SayOnStandardError(std::string_view line) {
  // Never destroyed: its writer may wait on the output for good, past the end of main.
  static auto* const output = new ErrorOutput;
  output->Say(line);
}

}  // namespace sim
