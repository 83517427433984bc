// Filter lines of a settings file: each a type code, a channel, a frequency and the class's
// fields, read one after the other as a family loads its filters.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "bus/SettingsTextFile.h"
#include "familyov/filters/TFilter.h"
#include "fuzz/ExerciseFilter.h"
#include "fuzz/InputFile.h"

using namespace namespaceOV;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static InputFile input;
  SettingsTextFile file;
  if (!file.Open(input.Write(data, size).string(), SettingsTextFile::kRead)) std::abort();
  try {
    while (std::unique_ptr<TFilter> filter = MakeFilter(file.ReadInt())) {
      filter->ReadFromFile(file);
      ExerciseFilter(*filter);
    }
  } catch (const FileParserError&) {
    // The family refuses the whole file.
  }
  return 0;
}
