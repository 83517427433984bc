#include "sim/ErrorOutput.h"

#include <limits.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace sim {
namespace {

using Clock = std::chrono::steady_clock;

// Far more than any burst of lines a person types or a failing unit gives rise to, so that a reader
// that falls behind a burst for a while still gets all of it.
constexpr std::size_t kMaxHeldBytes = 1024 * 1024;
// How often the writer, waiting for room, looks whether the program is ending.
constexpr std::chrono::milliseconds kLookEvery{100};
// How long the end of the program waits for the output to take what is held.
constexpr std::chrono::milliseconds kEndGrace{300};

std::string Lines(long count) { return std::to_string(count) + (count == 1 ? " line" : " lines"); }

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
      if (failed_ || endBy_) return;
      if (dropped_ > 0) {
        std::string note =
            "(" + Lines(dropped_) + " dropped: standard error's reader was slower than they came)";
        if (!Fits(note.size() + line.size() + 2)) {
          ++dropped_;
          return;
        }
        // Left unwritten at the end, the note counts as the lines it tells of.
        Hold(std::move(note), dropped_);
        dropped_ = 0;
      }
      if (!Fits(line.size() + 1)) {
        ++dropped_;
        return;
      }
      Hold(std::string(line), 1);
    }
    changed_.notify_one();
  }

  void End() {
    std::unique_lock lock(mutex_);
    if (endBy_) return;
    endBy_ = Clock::now() + kEndGrace;
    changed_.notify_one();
    // The writer sees the end within a look and waits a look more for room to tell what it left
    // unwritten; a write it began past that is not waited for.
    ended_.wait_until(lock, *endBy_ + 2 * kLookEvery, [this] { return writerDone_; });
  }

 private:
  struct Held {
    std::string text;
    long lines;
  };

  bool Fits(std::size_t bytes) const { return heldBytes_ + bytes <= kMaxHeldBytes; }

  void Hold(std::string text, long lines) {
    text.push_back('\n');
    heldBytes_ += text.size();
    held_.push_back({std::move(text), lines});
  }

  // Up to PIPE_BUF bytes from the start of what is held, which a pipe polling writable takes whole.
  std::string FirstBytes() const {
    std::string bytes;
    std::size_t from = writtenOfFirst_;
    for (const Held& held : held_) {
      bytes.append(held.text, from, PIPE_BUF - bytes.size());
      if (bytes.size() == PIPE_BUF) break;
      from = 0;
    }
    return bytes;
  }

  void Forget(std::size_t written) {
    heldBytes_ -= written;
    written += writtenOfFirst_;
    while (!held_.empty() && written >= held_.front().text.size()) {
      written -= held_.front().text.size();
      held_.pop_front();
    }
    writtenOfFirst_ = written;
  }

  std::optional<Clock::time_point> EndBy() {
    std::lock_guard lock(mutex_);
    return endBy_;
  }

  void WriteWhatIsHeld() {
    bool failed = false;
    for (;;) {
      std::string bytes;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !held_.empty() || endBy_; });
        if (held_.empty()) break;
        bytes = FirstBytes();
      }
      const ssize_t written = WriteOnceThereIsRoom(bytes);
      if (written <= 0) {
        failed = written < 0;
        break;
      }
      std::lock_guard lock(mutex_);
      Forget(static_cast<std::size_t>(written));
    }
    std::string note;
    {
      std::lock_guard lock(mutex_);
      failed_ = failed;
      long notWritten = dropped_;
      for (const Held& held : held_) notWritten += held.lines;
      if (!failed && notWritten > 0) {
        note = (writtenOfFirst_ > 0 ? "\n(" : "(") + Lines(notWritten) +
               " not written: standard error's reader was too slow)\n";
      }
      held_.clear();
      heldBytes_ = 0;
    }
    pollfd output{STDERR_FILENO, POLLOUT, 0};
    if (!note.empty() && poll(&output, 1, static_cast<int>(kLookEvery.count())) == 1) {
      // Told only if the output makes room for it at once: the program is ending.
      [[maybe_unused]] const ssize_t told = write(output.fd, note.data(), note.size());
    }
    {
      std::lock_guard lock(mutex_);
      writerDone_ = true;
    }
    ended_.notify_all();
  }

  // Writes what the output takes of `bytes` once it has room: how many it took, 0 if the end of
  // the program came first, -1 once the output fails.
  ssize_t WriteOnceThereIsRoom(std::string_view bytes) {
    pollfd output{STDERR_FILENO, POLLOUT, 0};
    for (;;) {
      auto wait = kLookEvery;
      if (const auto endBy = EndBy()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(*endBy - Clock::now());
        if (left.count() <= 0) return 0;
        wait = std::min(wait, left);
      }
      const int ready = poll(&output, 1, static_cast<int>(wait.count()));
      if (ready == 0 || (ready < 0 && errno == EINTR)) continue;
      if (ready < 0) return -1;
      const ssize_t written = write(output.fd, bytes.data(), bytes.size());
      if (written > 0) return written;
      // Another holder of the output may have made it non-blocking.
      if (written < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      return -1;
    }
  }

  std::mutex mutex_;
  // Lines held, or the end of the program, for the writer.
  std::condition_variable changed_;
  // The writer is done.
  std::condition_variable ended_;
  std::deque<Held> held_;
  std::size_t heldBytes_ = 0;
  // Of the first line held, the bytes the output took already.
  std::size_t writtenOfFirst_ = 0;
  // Lines dropped since the last note of it.
  long dropped_ = 0;
  std::optional<Clock::time_point> endBy_;
  bool failed_ = false;
  bool writerDone_ = false;
};

ErrorOutput& Output() {
  // Never destroyed: its writer may wait on the output past the end of main.
  static auto* const output = new ErrorOutput;
  return *output;
}

}  // namespace

void SayOnStandardError(std::string_view line) { Output().Say(line); }

void EndStandardError() { Output().End(); }

}  // namespace sim
