#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace registry {

// Writes a file so that it is either wholly replaced or left as it was: the bytes go to a
// temporary file in the same folder, every write is checked, and only a fully written, flushed
// file is renamed over the old one. A writer that is killed leaves its temporary behind; the next
// save of the same file removes it.
class SafeFileWriter {
 public:
  SafeFileWriter() = default;
  ~SafeFileWriter();
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // Starts a new temporary file beside `target`. False when it cannot be made.
  bool Begin(const std::filesystem::path& target);
  // Queues bytes; false once anything has failed (the failure sticks until Commit or Abandon).
  bool Write(std::string_view bytes);
  // Flushes, syncs and renames the temporary file over the target. False, with the target left
  // as it was and the temporary file removed, when any step or any earlier write failed.
  bool Commit();
  // Drops the temporary file; the target stays as it was.
  void Abandon();

  bool IsActive() const { return fd_ >= 0; }
  // The errno of the first failure, and the system's words for it ("No space left on device");
  // empty when nothing failed.
  int Error() const { return error_; }
  std::string ErrorText() const;

 private:
  bool Flush();
  bool Fail(int error);

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::string pending_;
  int fd_ = -1;
  int error_ = 0;
};

// Replaces `target` with `contents` through a SafeFileWriter.
bool SaveFileSafely(const std::filesystem::path& target, std::string_view contents);

}  // namespace registry
