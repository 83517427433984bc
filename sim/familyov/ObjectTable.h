#pragma once

#include <vector>

#include "sim/ObjectLayout.h"

// The newer family's objects as the units hold them. Element sizes are what travels on the wire:
// the clock records and clock events are four bytes, a memory-image block sixteen.
namespace sim::familyov {

namespace object {
inline constexpr int kInitialize = 0x00;
inline constexpr int kReset = 0x01;
inline constexpr int kFlashEnable = 0x02;
inline constexpr int kFlashErase = 0x03;
inline constexpr int kFlashAddress = 0x04;
inline constexpr int kFlashData = 0x05;
inline constexpr int kReady = 0x06;
inline constexpr int kAddress = 0x07;
inline constexpr int kStrobeLeds = 0x08;
inline constexpr int kFilterUpdate = 0x09;
inline constexpr int kSaveMemory = 0x0A;
inline constexpr int kRecallMemory = 0x0B;
inline constexpr int kCrosspointLevel = 0x0C;
inline constexpr int kNewFilter = 0x0D;
inline constexpr int kDeleteFilter = 0x0E;
inline constexpr int kFilterChannel = 0x0F;
inline constexpr int kFilterType = 0x10;
inline constexpr int kFilterSelect = 0x11;
inline constexpr int kFilterParam = 0x13;
inline constexpr int kFilterCommand = 0x14;
inline constexpr int kUnitName = 0x15;
inline constexpr int kPassword = 0x16;
inline constexpr int kSerialNumber = 0x17;
inline constexpr int kLocked = 0x18;
inline constexpr int kMemoryName = 0x19;
inline constexpr int kLogicMemory = 0x1A;
inline constexpr int kChannelLevel = 0x1B;
inline constexpr int kCrossoverNetwork = 0x1C;
inline constexpr int kChannelGroup = 0x1D;
inline constexpr int kDelayUnits = 0x1E;
inline constexpr int kChannelDelay = 0x1F;
inline constexpr int kChannelMute = 0x20;
inline constexpr int kLogicOut = 0x21;
inline constexpr int kFilterOrder = 0x22;
inline constexpr int kFilterBypassSet = 0x23;
inline constexpr int kFilterBypass = 0x24;
inline constexpr int kLimiterSpeed = 0x25;
inline constexpr int kCurrentLogicIn = 0x26;
inline constexpr int kServiceStatus = 0x27;
inline constexpr int kLimiterThreshold = 0x28;
inline constexpr int kLimiterKnee = 0x29;
inline constexpr int kReserved2A = 0x2A;
inline constexpr int kLimiterGroup = 0x2B;
inline constexpr int kLimiterMeter = 0x2C;
inline constexpr int kLimiterEnable = 0x2D;
inline constexpr int kChannelMeter = 0x2E;
inline constexpr int kChannelName = 0x30;
inline constexpr int kFilterLinkGroup = 0x31;
inline constexpr int kPolarity = 0x32;
inline constexpr int kPinkNoiseEnable = 0x33;
inline constexpr int kPinkNoiseLevel = 0x34;
inline constexpr int kLevel35 = 0x35;
inline constexpr int kMasterLevel = 0x36;
inline constexpr int kFilterLink = 0x37;
inline constexpr int kDspUsage = 0x38;
inline constexpr int kMemoryDump = 0x39;
inline constexpr int kMemoryImageSize = 0x3A;
inline constexpr int kMasterMute = 0x3B;
inline constexpr int kTime = 0x3C;
inline constexpr int kTimerEvent = 0x3D;
inline constexpr int kClockPresent = 0x3E;
inline constexpr int kDelayBypass = 0x3F;
inline constexpr int kNewSettings = 0x40;
inline constexpr int kLastMemory = 0x41;
inline constexpr int kDate = 0x42;
inline constexpr int kDaylightSaving = 0x43;
inline constexpr int kCrosspointDelay = 0x44;
inline constexpr int kCompPostGain = 0x45;
inline constexpr int kCompThreshold = 0x46;
inline constexpr int kCompRatio = 0x47;
inline constexpr int kCompGang = 0x48;
inline constexpr int kCompSoftKnee = 0x49;
inline constexpr int kCompSpeed = 0x4A;
inline constexpr int kReserved4B = 0x4B;
inline constexpr int kCompressorOption = 0x4C;
inline constexpr int kFlashCount = 0x4D;
}  // namespace object

inline constexpr int kTextBytes = 15;
inline constexpr int kServiceStatusBytes = 12;
inline constexpr int kFlashRecordMaxBytes = 64;
inline constexpr int kMemoryDumpBlockBytes = 16;
inline constexpr int kFilterParamCount = 3;

// Every object of the family with its element size, count and volatile flag; the same for every
// model (a model uses the first elements of each array).
const std::vector<ObjectLayout>& ObjectTable();

// The table's entry for an object, or nullptr when the family has no such object.
const ObjectLayout* FindObject(int objectId);

// Text objects keep no tail of an older, longer text: a write replaces the whole element.
bool IsTextObject(int objectId);

// The objects a memory holds besides the filters and the memory image: the settings the unit
// runs, not its identity, names, logic map, clock or firmware.
const std::vector<int>& MemorySettingIds();

}  // namespace sim::familyov
