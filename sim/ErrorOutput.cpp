#include "sim/ErrorOutput.h"

#include <limits.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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
// Far longer than a reader that reads at all goes without taking bytes, however loaded the machine.
constexpr int kTakesNoMoreAfterMs = 1000;
// How often the writer, waiting for room, looks whether the output took bytes meanwhile.
constexpr int kLookEveryMs = 100;

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
      std::unique_lock lock(mutex_);
      // A burst outruns the writer, not an output that takes bytes: the line waits for the writer
      // unless the output takes no more.
      taken_.wait(lock, [&] { return failed_ || takesNoMore_ || Fits(line); });
      if (failed_) return;
      if (!Fits(line)) {
        ++dropped_;
        return;
      }
      held_.append(line).push_back('\n');
    }
    changed_.notify_one();
  }

 private:
  // A line longer than the bound is held alone, so that it never waits for good.
  bool Fits(std::string_view line) const {
    return held_.empty() || held_.size() + line.size() + 1 <= kMaxHeldBytes;
  }

  void WriteWhatIsHeld() {
    for (;;) {
      std::string text;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !held_.empty() || dropped_ > 0; });
        text.swap(held_);
        if (dropped_ > 0) {
          text += "(" + std::to_string(dropped_) + (dropped_ == 1 ? " line" : " lines") +
                  " dropped: standard error took nothing for a second or more)\n";
        }
        dropped_ = 0;
      }
      taken_.notify_all();
      if (!WriteAll(text)) break;
    }
    {
      std::lock_guard lock(mutex_);
      failed_ = true;
      held_.clear();
    }
    taken_.notify_all();
  }

  // Writes all of `text`; false once the output fails.
  bool WriteAll(std::string_view text) {
    while (!text.empty()) {
      if (!AwaitRoom()) return false;
      // An output that polls writable takes this much without waiting, so that the writer waits
      // only in AwaitRoom, where the lines said meanwhile know whether to wait for it.
      const ssize_t written =
          write(STDERR_FILENO, text.data(), std::min<std::size_t>(text.size(), PIPE_BUF));
      if (written > 0) {
        text.remove_prefix(static_cast<std::size_t>(written));
        continue;
      }
      // Another holder of the output may have made it non-blocking.
      if (written < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      return false;
    }
    return true;
  }

  // Waits until the output has room or fails; false if the wait itself fails. A pipe polls
  // writable only once a whole page of it is free, which a reader taking a little at a time frees
  // only every so often; its reader has taken bytes whenever fewer wait in it than at the last
  // look. The output has taken nothing for a second once ten looks in a row, a tenth of a second of
  // the writer's waiting apart, found nothing taken: a time the writer was stopped or kept from
  // running counts as one look at most, so a reader stopped along with it is not taken for one
  // that reads nothing.
  bool AwaitRoom() {
    pollfd output{STDERR_FILENO, POLLOUT, 0};
    long waiting = WaitingInPipe();
    int looksTakingNothing = 0;
    bool takesNoMore = false;
    for (;;) {
      const int ready = poll(&output, 1, kLookEveryMs);
      if (ready != 0) {
        if (takesNoMore) SetTakesNoMore(false);
        return ready > 0;
      }
      const long nowWaiting = WaitingInPipe();
      if (nowWaiting < waiting) {
        looksTakingNothing = 0;
        if (takesNoMore) {
          takesNoMore = false;
          SetTakesNoMore(false);
        }
      } else if (++looksTakingNothing == kTakesNoMoreAfterMs / kLookEveryMs) {
        takesNoMore = true;
        SetTakesNoMore(true);
      }
      waiting = nowWaiting;
    }
  }

  // The bytes waiting in the pipe standard error is for its reader to take; -1 if it is no pipe.
  static long WaitingInPipe() {
    struct stat status {};
    int waiting = 0;
    if (fstat(STDERR_FILENO, &status) != 0 || !S_ISFIFO(status.st_mode) ||
        ioctl(STDERR_FILENO, FIONREAD, &waiting) != 0) {
      return -1;
    }
    return waiting;
  }

  void SetTakesNoMore(bool takesNoMore) {
    {
      std::lock_guard lock(mutex_);
      takesNoMore_ = takesNoMore;
    }
    taken_.notify_all();
  }

  std::mutex mutex_;
  // Lines held or dropped, for the writer to write or tell.
  std::condition_variable changed_;
  // Room for lines, or none to wait for.
  std::condition_variable taken_;
  std::string held_;
  int dropped_ = 0;
  bool takesNoMore_ = false;
  bool failed_ = false;
};

}  // namespace

void SayOnStandardError(std::string_view line) {
  // Never destroyed: its writer may wait on the output for good, past the end of main.
  static auto* const output = new ErrorOutput;
  output->Say(line);
}

}  // namespace sim
