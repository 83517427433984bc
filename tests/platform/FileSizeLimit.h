#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace testing_support {

// Caps the size of files this process writes, so that writes beyond it fail with EFBIG: a full
// disk that even root cannot write past. Restores the old cap and signal handling when done.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t maxBytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit capped = old_;
    capped.rlim_cur = maxBytes;
    ::setrlimit(RLIMIT_FSIZE, &capped);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  sighandler_t oldHandler_;
};

}  // namespace testing_support
