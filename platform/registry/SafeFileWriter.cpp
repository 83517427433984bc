#include "platform/registry/SafeFileWriter.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <optional>
#include <string>
#include <system_error>

namespace registry {

namespace {

constexpr std::size_t kFlushThresholdBytes = 64 * 1024;
constexpr mode_t kNewFileMode = 0644;
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr std::size_t kRandomPartLength = 6;  // the X's of mkostemps

// A temporary of `target` is named "<target's name>.<pid of its writer>.<random part>.tmp", so
// that a save can tell its own file's leftovers from everything else in the folder.
std::string TemporaryPattern(const std::filesystem::path& target) {
  return target.string() + '.' + std::to_string(::getpid()) + '.' +
         std::string(kRandomPartLength, 'X') + std::string(kTemporarySuffix);
}

// The writer's pid when `name` is a temporary of the file named `targetName`.
std::optional<pid_t> TemporaryWriter(std::string_view name, std::string_view targetName) {
  if (!name.starts_with(targetName) || !name.ends_with(kTemporarySuffix)) return std::nullopt;
  name.remove_prefix(targetName.size());
  name.remove_suffix(kTemporarySuffix.size());
  // What is left is ".<pid>.<random part>".
  if (name.size() < 3 + kRandomPartLength || name.front() != '.') return std::nullopt;
  std::string_view random = name.substr(name.size() - kRandomPartLength);
  std::string_view pid = name.substr(1, name.size() - kRandomPartLength - 2);
  if (name[name.size() - kRandomPartLength - 1] != '.' ||
      !std::all_of(random.begin(), random.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
      })) {
    return std::nullopt;
  }
  pid_t writer = 0;
  auto [end, error] = std::from_chars(pid.data(), pid.data() + pid.size(), writer);
  if (error != std::errc() || end != pid.data() + pid.size() || writer <= 0) return std::nullopt;
  return writer;
}

bool IsRunning(pid_t process) { return ::kill(process, 0) == 0 || errno == EPERM; }

// Every save that is killed leaves its temporary behind. Those of `target` whose writer has gone
// are removed; a live writer's, and other files', are not.
void RemoveLeftTemporaries(const std::filesystem::path& target) {
  namespace fs = std::filesystem;
  const std::string targetName = target.filename().string();
  std::error_code error;
  fs::directory_iterator entries(target.parent_path().empty() ? "." : target.parent_path(), error);
  for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
    std::optional<pid_t> writer = TemporaryWriter(entries->path().filename().string(), targetName);
    std::error_code ignored;
    if (writer && !IsRunning(*writer) && entries->is_regular_file(ignored)) {
      fs::remove(entries->path(), ignored);
    }
  }
}

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
  RemoveLeftTemporaries(target);
  std::string pattern = TemporaryPattern(target);
  int fd = ::mkostemps(pattern.data(), static_cast<int>(kTemporarySuffix.size()), O_CLOEXEC);
  if (fd < 0) return Fail(errno);
  fd_ = fd;
  temporary_ = pattern;
  // mkostemps makes the file private; the new file keeps the old one's permissions, or gets those
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

std::string SafeFileWriter::ErrorText() const {
  return error_ == 0 ? std::string() : std::generic_category().message(error_);
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
