#include "sim/familyov/FlashProgrammer.h"

#include "sim/Unit.h"
#include "sim/familyov/ObjectTable.h"

namespace sim::familyov {
namespace {

Outcome OutOfRange() { return Outcome::Fail(unit_error::kParameterOutOfRange); }

}  // namespace

Outcome FlashProgrammer::Enable(uint8_t value) {
  enabled_ = value != 0;
  return Outcome::Done();
}

Outcome FlashProgrammer::Erase(uint8_t value) {
  if (value == 0) return Outcome::Done();
  // Erasing without the enable first would be a stray write wiping the firmware.
  if (!enabled_) return OutOfRange();
  erased_ = true;
  records_.clear();
  upperAddress_ = 0;
  offset_ = 0;
  return Outcome::Done();
}

Outcome FlashProgrammer::SetAddress(uint32_t upperAddress) {
  upperAddress_ = upperAddress;
  offset_ = 0;
  return Outcome::Done();
}

Outcome FlashProgrammer::SetCount(uint8_t count) {
  if (count == 0 || count > kFlashRecordMaxBytes) return OutOfRange();
  count_ = count;
  return Outcome::Done();
}

Outcome FlashProgrammer::Write(std::span<const uint8_t> block) {
  if (!erased_ || block.size() != count_) return OutOfRange();
  records_.push_back({upperAddress_ + offset_, {block.begin(), block.end()}});
  offset_ += static_cast<uint32_t>(block.size());
  return Outcome::Done();
}

bool FlashProgrammer::Reboot() {
  const bool programmed = erased_ && !records_.empty();
  enabled_ = false;
  erased_ = false;
  return programmed;
}

}  // namespace sim::familyov
