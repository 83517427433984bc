#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace bench {

// Where the threads of this process spent a stretch of time, from the kernel's per-thread
// scheduling statistics, in milliseconds. All zero where the kernel keeps none.
struct ThreadTimes {
  // The program's thread on a processor: its own work.
  double programCpuMs = 0;
  // The other threads (the simulated bus) on a processor.
  double otherCpuMs = 0;
  // Any thread ready to run but waiting for a processor: time other programs on the machine took.
  double waitMs = 0;

  ThreadTimes operator-(const ThreadTimes& earlier) const {
    return {programCpuMs - earlier.programCpuMs, otherCpuMs - earlier.otherCpuMs,
            waitMs - earlier.waitMs};
  }
};

// Reads the times of the threads running when it was made; the thread that made it is the
// program's.
class ThreadClock {
 public:
  ThreadClock() {
    const std::string program = std::to_string(::syscall(SYS_gettid));
    if (DIR* tasks = ::opendir("/proc/self/task")) {
      while (const dirent* task = ::readdir(tasks)) {
        if (task->d_name[0] == '.') continue;
        const std::string path = std::string("/proc/self/task/") + task->d_name + "/schedstat";
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        threads_.push_back({fd, program == task->d_name});
      }
      ::closedir(tasks);
    }
  }
  ~ThreadClock() {
    for (const Thread& thread : threads_) ::close(thread.fd);
  }
  ThreadClock(const ThreadClock&) = delete;
  ThreadClock& operator=(const ThreadClock&) = delete;

  ThreadTimes Now() const {
    ThreadTimes times;
    for (const Thread& thread : threads_) {
      // "<time on a processor> <time waiting for one> <slices>", in nanoseconds.
      char text[96];
      const ssize_t n = ::pread(thread.fd, text, sizeof text - 1, 0);
      if (n <= 0) continue;
      text[n] = '\0';
      char* rest = nullptr;
      const double cpuMs = static_cast<double>(std::strtoull(text, &rest, 10)) / 1e6;
      const double waitMs = static_cast<double>(std::strtoull(rest, nullptr, 10)) / 1e6;
      (thread.program ? times.programCpuMs : times.otherCpuMs) += cpuMs;
      times.waitMs += waitMs;
    }
    return times;
  }

 private:
  struct Thread {
    int fd;
    bool program;
  };
  std::vector<Thread> threads_;
};

}  // namespace bench
