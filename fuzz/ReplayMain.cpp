// Runs a fuzz entry point over files instead of generated inputs, so the normal build replays the
// seed corpus and every input that once failed. Each argument is a file or a folder of files; a
// folder that does not exist yet (no input has failed) is skipped.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> InputsOf(const std::filesystem::path& argument) {
  std::error_code error;
  if (!std::filesystem::is_directory(argument, error)) {
    if (std::filesystem::exists(argument, error)) return {argument};
    return {};
  }
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(argument)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    for (const std::filesystem::path& file : InputsOf(argv[i])) {
      std::ifstream in(file, std::ios::binary);
      const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
      std::printf("%s\n", file.c_str());
      std::fflush(stdout);  // names the input that brings the process down
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++replayed;
    }
  }
  std::printf("%zu inputs replayed\n", replayed);
  // No input at all means the folders were mistyped, not that every input passed.
  return replayed == 0 ? 1 : 0;
}
