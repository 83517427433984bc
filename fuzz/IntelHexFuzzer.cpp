// Firmware files. The first byte picks the family's rules (odd: the older family's model record,
// without a version), the next two are the unit's family code, high byte first; the rest is the
// file. Firmware that is accepted must be what the unit is sent: records up to the first empty
// one, with a model record for the unit's family.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "familycommon/IntelHex.h"

using namespace familycommon;

namespace {

constexpr std::size_t kHeaderBytes = 3;

void CheckFirmware(const Firmware& firmware, uint32_t familyCode) {
  if (firmware.records.empty() || !firmware.records.back().data.empty()) std::abort();
  bool model = false;
  for (std::size_t r = 0; r + 1 < firmware.records.size(); ++r) {
    const HexRecord& record = firmware.records[r];
    if (record.data.empty()) std::abort();
    if (record.type != kHexModel) continue;
    model = true;
    if ((uint32_t{record.data[0]} << 8 | record.data[1]) != familyCode) std::abort();
  }
  if (!model) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < kHeaderBytes) return 0;
  const HexRules rules{.modelRecordBytes = data[0] % 2 ? 3u : 4u};
  const uint32_t familyCode = uint32_t{data[1]} << 8 | data[2];
  std::istringstream in(
      std::string(reinterpret_cast<const char*>(data + kHeaderBytes), size - kHeaderBytes));
  try {
    CheckFirmware(ReadFirmware(in, rules, familyCode), familyCode);
  } catch (const HexFileError&) {
    // The user is told why the file cannot be used; nothing is sent.
  }
  return 0;
}
