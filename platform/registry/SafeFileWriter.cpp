#include "platform/registry/SafeFileWriter.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace registry {

namespace {

constexpr std::size_t kFlushThresholdBytes = 64 * 1024;
constexpr mode_t kNewFileMode = 0644;

// The folder's entry for the renamed file only survives a crash once the folder is synced.
void SyncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

SafeFileWriter::~SafeFileWriter() { Abandon(); }

bool SafeFileWriter::Begin(const std::filesystem::path& target) {
  Abandon();
  error_ = 0;
  target_ = target;
  std::string pattern = target.string() + ".XXXXXX";
  int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) return Fail(errno);
  fd_ = fd;
  temporary_ = pattern;
  // mkostemp makes the file private; the new file keeps the old one's permissions, or gets those
  // of an ordinary user file.
  struct stat old {};
  ::fchmod(fd_, ::stat(target.c_str(), &old) == 0 ? old.st_mode & 07777 : kNewFileMode);
  return true;
}

bool SafeFileWriter::Write(std::string_view bytes) {
  if (fd_ < 0 || error_ != 0) return false;
  pending_.append(bytes);
  return pending_.size() < kFlushThresholdBytes || Flush();
}

bool SafeFileWriter::Flush() {
  std::size_t done = 0;
  while (done < pending_.size()) {
    ssize_t n = ::write(fd_, pending_.data() + done, pending_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail(n < 0 ? errno : EIO);
    done += static_cast<std::size_t>(n);
  }
  pending_.clear();
  return true;
}

bool SafeFileWriter::Commit() {
  if (fd_ < 0) return false;
  bool written = error_ == 0 && Flush() && (::fsync(fd_) == 0 || Fail(errno));
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && written) written = Fail(errno);
  if (written && ::rename(temporary_.c_str(), target_.c_str()) != 0) written = Fail(errno);
  if (!written) {
    ::unlink(temporary_.c_str());
    return false;
  }
  SyncFolder(target_.parent_path());
  return true;
}

void SafeFileWriter::Abandon() {
  pending_.clear();
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  ::unlink(temporary_.c_str());
}

bool SafeFileWriter::Fail(int error) {
  if (error_ == 0) error_ = error;
  return false;
}

bool SaveFileSafely(const std::filesystem::path& target, std::string_view contents) {
  SafeFileWriter writer;
  return writer.Begin(target) && writer.Write(contents) && writer.Commit();
}

}  // namespace registry
