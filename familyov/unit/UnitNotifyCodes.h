#pragma once

#include <cstdint>

namespace namespaceOV {

// The records the memory, logic and clock-event windows send and act on.
inline constexpr uint32_t kNotifyRefreshAll = 0x69;     // every value of the unit may have changed
inline constexpr uint32_t kNotifyMemoryRenamed = 0x85;  // channel: the memory's number - 1
inline constexpr uint32_t kNotifyLogicInSelected = 0x86;     // channel: the selected input
inline constexpr uint32_t kNotifyLogicOutChanged = 0x87;     // channel: the input
inline constexpr uint32_t kNotifyLogicMemoryChanged = 0x89;  // channel: the input

}  // namespace namespaceOV
