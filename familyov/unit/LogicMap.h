#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace namespaceOV {

class IQDeviceOrdavinex;

// Logic inputs and outputs are numbers 0..31 that the user sets as five bits worth 16, 8, 4, 2
// and 1; for each input 1..31 the unit keeps a response: a memory to recall (0 none) and a logic
// output to drive.
inline constexpr int kLogicBits = 5;
inline constexpr int kLastLogicNumber = 31;
using LogicBitBoxes = std::array<bool, kLogicBits>;

// Box k holds the bit worth 16 >> k.
LogicBitBoxes LogicBitsOf(int number);
int LogicNumberOf(const LogicBitBoxes& boxes);
int ClampLogicNumber(int number);
// What the user typed, read as a number and brought into 0..31; none for a text without one.
std::optional<int> TypedLogicNumber(std::string_view text);

// The memory input `input` recalls (0 for none). A memory the model does not have, as a settings
// file may name, is refused with OrdavinexRangeError rather than recalled.
int RecalledMemory(IQDeviceOrdavinex& device, int input);
// The name the list shows for memory `memory`: its name on the unit, "<None>" for 0.
std::string RecalledMemoryText(IQDeviceOrdavinex& device, int memory);
// Gives input `target` the response of input `source`.
void CopyLogicResponse(IQDeviceOrdavinex& device, int source, int target);

}  // namespace namespaceOV
