#pragma once

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace testing_support {

// Runs `work` in a child process of its own, which ends as soon as it returns: nothing of the
// test's own state is torn down twice.
inline pid_t StartChild(const std::function<bool()>& work) {
  pid_t child = ::fork();
  if (child == 0) {
    bool succeeded = false;
    try {
      succeeded = work();
    } catch (...) {
    }
    ::_exit(succeeded ? 0 : 1);
  }
  return child;
}

// Waits for a child from StartChild; true when its work returned true.
inline bool ChildSucceeded(pid_t child) {
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

}  // namespace testing_support
