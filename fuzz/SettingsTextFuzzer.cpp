// The sectioned settings file. The input's first byte says how many of the bytes after it are
// reads, one byte each, the way a family reads its file; the rest is the file.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "bus/SettingsTextFile.h"
#include "fuzz/InputFile.h"

namespace {

const char* const kSectionNames[] = {"Device", "Filters", "", "a]b",
                                     "0123456789012345678901234567890"};
constexpr std::size_t kSectionCount = std::size(kSectionNames);
constexpr std::size_t kBufferBytes = 64;

void Read(SettingsTextFile& file, uint8_t op) {
  const std::size_t argument = op / 5;
  switch (op % 5) {
    case 0:
      file.FindSection(kSectionNames[argument % kSectionCount]);
      break;
    case 1:
      file.ReadInt();
      break;
    case 2:
      if (!std::isfinite(file.ReadFloat())) std::abort();
      break;
    case 3: {
      char text[kBufferBytes];
      const std::size_t capacity = argument % kBufferBytes;
      file.ReadString(text, capacity);
      if (std::strlen(text) >= capacity) std::abort();
      break;
    }
    default:
      file.Rewind();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static InputFile input;
  if (size == 0) return 0;
  const std::size_t reads = std::min<std::size_t>(data[0], size - 1);
  const uint8_t* ops = data + 1;
  SettingsTextFile file;
  if (!file.Open(input.Write(ops + reads, size - 1 - reads).string(), SettingsTextFile::kRead)) {
    std::abort();
  }
  for (std::size_t i = 0; i < reads; ++i) {
    try {
      Read(file, ops[i]);
    } catch (const FileParserError&) {
      // A family gives up at a refused read; the fuzzer reads on from wherever it stopped.
    }
  }
  return 0;
}
