#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace bench {

// How long the threads of this process (the program's and the simulated bus's) have been ready to
// run but waiting for a processor, from the kernel's per-thread scheduling statistics: time that
// other programs on the machine took, not the program. Zero where the kernel keeps none.
class ProcessorWait {
 public:
  // Watches the threads running now.
  ProcessorWait() {
    if (DIR* tasks = ::opendir("/proc/self/task")) {
      while (const dirent* task = ::readdir(tasks)) {
        if (task->d_name[0] == '.') continue;
        const std::string path = std::string("/proc/self/task/") + task->d_name + "/schedstat";
        if (const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC); fd >= 0) fds_.push_back(fd);
      }
      ::closedir(tasks);
    }
  }
  ~ProcessorWait() {
    for (int fd : fds_) ::close(fd);
  }
  ProcessorWait(const ProcessorWait&) = delete;
  ProcessorWait& operator=(const ProcessorWait&) = delete;

  double Ms() const {
    double ns = 0;
    for (int fd : fds_) {
      // "<time on a processor> <time waiting for one> <slices>", in nanoseconds.
      char text[96];
      const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
      if (n <= 0) continue;
      text[n] = '\0';
      char* waiting = nullptr;
      std::strtoull(text, &waiting, 10);
      ns += static_cast<double>(std::strtoull(waiting, nullptr, 10));
    }
    return ns / 1e6;
  }

 private:
  std::vector<int> fds_;
};

}  // namespace bench
