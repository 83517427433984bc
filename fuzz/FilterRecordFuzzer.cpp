// Filter records as the unit's settings image holds them: a type code byte, then the filter's
// three 32-bit words, little-endian.
#include <cstdint>
#include <memory>

#include "familyov/filters/TFilter.h"
#include "fuzz/ExerciseFilter.h"

using namespace namespaceOV;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  DeviceRecord record{};
  if (size != 1 + sizeof record) return 0;
  std::unique_ptr<TFilter> filter = MakeFilter(data[0]);
  if (!filter) return 0;
  for (std::size_t i = 0; i < record.size(); ++i) {
    const uint8_t* word = data + 1 + 4 * i;
    record[i] = static_cast<int32_t>(uint32_t{word[0]} | uint32_t{word[1]} << 8 |
                                     uint32_t{word[2]} << 16 | uint32_t{word[3]} << 24);
  }
  filter->SetDeviceRecord(record);
  ExerciseFilter(*filter);
  return 0;
}
