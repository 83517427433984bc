#pragma once

#include <array>
#include <cstdint>

#include "bus/UCodeObject.h"

// The graphic-equaliser family's parameters: one object per id, each a single volatile element,
// shared by every unit of the family. A bus unit is read afresh on every read; a virtual unit
// answers from its store. The ids are the units' firmware's.
namespace namespace3300 {

// Ids 0 .. kObjectIdCount - 1 cover every object of the family.
inline constexpr int kObjectIdCount = 86;
inline constexpr int kMemoryCount = 10;
inline constexpr int kBandCount = 28;
inline constexpr int kChannelCount = 2;

// Value ranges of the channel parameters, as the units accept them.
inline constexpr uint8_t kMaxCornerIndex = 7;
inline constexpr uint8_t kMaxGain = 24;        // half-dB steps
inline constexpr uint8_t kMaxBandLevel = 40;   // half-dB steps
inline constexpr uint8_t kFlatBandLevel = 20;  // 0 dB

// Names hold up to 15 characters; memory names go out with their terminating zero, so their
// element has room for it.
inline constexpr int kNameChars = 15;
// Passwords are exactly six characters, sent without a terminator.
inline constexpr int kPasswordChars = 6;

// Writing 0 stores the current settings into the memory `g3300MemoryNumber` names; writing 1
// recalls that memory. Its own type so that every memory operation goes through
// IQDevice3300::ExecuteMemoryOperation.
class MemoryAccessObject : public ByteUCodeObject {
  using ByteUCodeObject::ByteUCodeObject;
};

extern BoolUCodeObject g3300DspiSwitch;       // 1
extern ByteUCodeObject g3300HpfA;             // 2: high-pass corner index 0..7
extern ByteUCodeObject g3300HpfB;             // 3
extern ByteUCodeObject g3300LpfA;             // 4: low-pass corner index 0..7
extern ByteUCodeObject g3300LpfB;             // 5
extern ByteUCodeObject g3300GainA;            // 6: 0..24 half-dB steps
extern ByteUCodeObject g3300GainB;            // 7
extern BoolUCodeObject g3300EqInA;            // 8: equaliser in (1) or bypassed (0)
extern BoolUCodeObject g3300EqInB;            // 9
extern BoolUCodeObject g3300MuteA;            // 10
extern BoolUCodeObject g3300MuteB;            // 11
extern StringUCodeObject g3300PasswordEntry;  // 12: written to unlock
extern BoolUCodeObject g3300Lock;             // 13: writing 1 locks
extern StringUCodeObject g3300NewPassword;    // 14
extern StringUCodeObject g3300Status;         // 15: service status, first 6 bytes shown
extern StringUCodeObject g3300UnitName;       // 16
extern ByteUCodeObject g3300MemoryNumber;     // 17: 1..10, for the next store or recall
extern MemoryAccessObject g3300MemoryAccess;  // 18
// Memory k (1..10) at index k - 1: id 18 + k.
extern std::array<StringUCodeObject, kMemoryCount> g3300MemoryName;
// Band b (1..28) at index b - 1: ids 28 + b (A) and 56 + b (B); 0..40, 20 = 0 dB.
extern std::array<ByteUCodeObject, kBandCount> g3300BandA;
extern std::array<ByteUCodeObject, kBandCount> g3300BandB;

// The objects of one channel, in the order memory images, files and copies use.
struct ChannelObjects {
  const std::array<ByteUCodeObject, kBandCount>& bands;
  const ByteUCodeObject& hpf;
  const ByteUCodeObject& lpf;
  const ByteUCodeObject& gain;
  const BoolUCodeObject& mute;
  const BoolUCodeObject& eqIn;
};
// Channel 0 is A, 1 is B.
const ChannelObjects& Channel3300(int channel);

// The name object of memory `number` (1..10).
const StringUCodeObject& MemoryName3300(int number);

}  // namespace namespace3300
