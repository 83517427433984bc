#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // Writes `text` to the file at `relative`, making its folders.
  void WriteFile(const std::filesystem::path& relative, const std::string& text) const;
  // Makes a symbolic link at `relative` pointing at `target` (as given), making its folders.
  void Link(const std::filesystem::path& relative, const std::filesystem::path& target) const;

 private:
  std::filesystem::path path_;
};

// The whole content of `file`; empty when it cannot be read.
std::string FileContents(const std::filesystem::path& file);

}  // namespace testing_support
