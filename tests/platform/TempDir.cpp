#include "tests/platform/TempDir.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "telvo-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

void TempDir::WriteFile(const fs::path& relative, const std::string& text) const {
  fs::create_directories((path_ / relative).parent_path());
  std::ofstream out(path_ / relative, std::ios::binary);
  out << text;
  if (!out) throw std::runtime_error("cannot write test file");
}

void TempDir::Link(const fs::path& relative, const fs::path& target) const {
  fs::create_directories((path_ / relative).parent_path());
  fs::create_symlink(target, path_ / relative);
}

std::string FileContents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace testing_support
