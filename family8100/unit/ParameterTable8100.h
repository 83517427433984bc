#pragma once

#include <span>
#include <string>

#include "bus/IQDevice.h"
#include "bus/UCodeObject.h"

// The older family's parameters: one object per id, each a single element, shared by every device
// of the family. The ids are the units' firmware's.
namespace namespace8100 {

// Ids 0 .. kObjectIdCount - 1 cover every object of the family.
inline constexpr int kObjectIdCount = 61;
inline constexpr int kMemoryCount = 12;
// Memories, and what a preset points at, are numbered from 1.
inline constexpr bool IsMemoryNumber(int n) { return n >= 1 && n <= kMemoryCount; }
// "Preset 3", or "Presets 3, 5 and 6": at least one.
std::string PresetsText(std::span<const int> presets);
inline constexpr int kFlashBlockBytes = 64;

// Types of their own for the firmware, memory and preset parameters; the codecs are the generic
// ones.
class FlashUCodeObject : public StringUCodeObject {
 public:
  FlashUCodeObject(int id, bool terminator)
      : StringUCodeObject(id, 1, false, terminator, kFlashBlockBytes) {}
  // The bytes as they are: a text write would stop at the first zero byte.
  void WriteBlock(IQDevice& device, std::span<const uint8_t> block) const {
    device.Write(*this, block, 0);
  }
};
class SaveMemoryObject : public ByteUCodeObject {
  using ByteUCodeObject::ByteUCodeObject;
};
class RestoreMemoryObject : public ByteUCodeObject {
  using ByteUCodeObject::ByteUCodeObject;
};
class MemoryNameObject : public StringUCodeObject {
  using StringUCodeObject::StringUCodeObject;
};
class PresetMapObject : public ByteUCodeObject {
  using ByteUCodeObject::ByteUCodeObject;
};

extern ByteUCodeObject g8100InitMode;
extern BoolUCodeObject g8100Reboot;
extern BoolUCodeObject g8100FlashStart;
extern BoolUCodeObject g8100FlashErase;
extern LongIntUCodeObject g8100FlashAddress;
// Firmware blocks go out as raw bytes; a string that stops at a zero would cut them short.
extern FlashUCodeObject g8100FlashBlock;
extern BoolUCodeObject g8100Ready;
extern ByteUCodeObject g8100Address;
extern BoolUCodeObject g8100StrobeLeds;
extern BoolUCodeObject g8100RightMute;
extern BoolUCodeObject g8100LeftMute;
extern ByteUCodeObject g8100RightAttenuation;
extern ByteUCodeObject g8100LeftAttenuation;
extern BoolUCodeObject g8100BulkMute;
extern SaveMemoryObject g8100SaveMemory;
extern RestoreMemoryObject g8100RestoreMemory;
extern LongIntUCodeObject g8100Routing;
extern AllocatingByteUCodeObject g8100NewFilterSlot;
extern ByteUCodeObject g8100DeleteFilter;
extern ByteUCodeObject g8100FilterBank;
extern ByteUCodeObject g8100FilterType;
extern ByteUCodeObject g8100FilterSlot;
extern ByteUCodeObject g8100FilterParamSelect;
// One wire id, two encodings: the unit keeps one value, and so does a device's store.
extern LongIntUCodeObject g8100FilterValueLong;
extern FloatUCodeObject g8100FilterValueFloat;
extern BoolUCodeObject g8100FilterCommit;
extern StringUCodeObject g8100UnitName;
extern StringUCodeObject g8100Password;
extern StringUCodeObject g8100SerialNumber;
extern BoolUCodeObject g8100Locked;
extern ByteUCodeObject g8100MemoryIndex;
extern MemoryNameObject g8100MemoryName;
extern LongIntUCodeObject g8100LevelMeter1;
extern LongIntUCodeObject g8100LevelMeter2;
extern LongIntUCodeObject g8100LevelMeter3;
extern LongIntUCodeObject g8100LevelMeter4;
extern ByteUCodeObject g8100PresetIndex;
extern PresetMapObject g8100PresetMap;
extern ByteUCodeObject g8100FilterParam39;
extern BoolUCodeObject g8100FilterBypassNow;
extern BoolUCodeObject g8100FilterBypass;
extern ByteUCodeObject g8100AddressDone;
extern StringUCodeObject g8100Status;
extern LongIntUCodeObject g8100LeftDelay;
extern LongIntUCodeObject g8100RightDelay;
extern BoolUCodeObject g8100LeftPolarity;
extern BoolUCodeObject g8100RightPolarity;
extern LongIntUCodeObject g8100LeftThreshold;
extern LongIntUCodeObject g8100RightThreshold;
extern FloatUCodeObject g8100LeftRelease;
extern FloatUCodeObject g8100RightRelease;
extern FloatUCodeObject g8100LeftGainReduction;
extern FloatUCodeObject g8100RightGainReduction;
extern LongIntUCodeObject g8100LimiterMode;
extern FloatUCodeObject g8100LeftNoiseLevel;
extern FloatUCodeObject g8100RightNoiseLevel;
extern ByteUCodeObject g8100LeftNoiseType;
extern ByteUCodeObject g8100RightNoiseType;
extern BoolUCodeObject g8100LeftNoiseOn;
extern BoolUCodeObject g8100RightNoiseOn;

}  // namespace namespace8100
