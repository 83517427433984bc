#pragma once

#include <span>

#include "familyov/unit/OVCodecs.h"

// The newer family's parameters: one object per kind, shared by every device of the family. A
// caller selects the element (channel, output, crosspoint, memory or event slot) right before each
// read or write. Counts are the family's maxima; a model uses the first elements.
namespace namespaceOV {

inline constexpr int kMaxChannels = 20;
inline constexpr int kMaxOutputs = 12;
inline constexpr int kCrosspointCount = 96;
inline constexpr int kCompressorCount = 8;
inline constexpr int kMemoryNameCount = 20;
inline constexpr int kLogicInputCount = 32;
inline constexpr int kTimerEventSlots = 70;
inline constexpr int kMemoryImageBlocks = 256;
inline constexpr int kFilterParamCount = 3;
inline constexpr int kReservedBlockCount = 16;
// Ids 0 .. kObjectIdCount - 1 cover every object of the family.
inline constexpr int kObjectIdCount = 100;

// A write to any of these marks the unit's settings as changed.
inline constexpr int kSettingsIds[] = {0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x13, 0x1B,
                                       0x1F, 0x1C, 0x1D, 0x20, 0x28, 0x29, 0x2B,
                                       0x2D, 0x32, 0x33, 0x34, 0x36, 0x3B, 0x37};
// Storing or recalling a memory makes the settings equal to a memory again.
inline constexpr int kSaveMemoryId = 0x0A;
inline constexpr int kRecallMemoryId = 0x0B;
// Reads that make the unit allocate or re-allocate a filter.
inline constexpr int kAllocatingReadIds[] = {0x0D, 0x22};
// Family codes of both processor families, as a roll-call record carries them.
inline constexpr uint32_t kProcessorFamilyCodes[] = {368, 496, 624, 752, 880, 1136};

extern ByteUCodeObject gInitializeObject;
extern BoolUCodeObject gResetObject;
extern BoolUCodeObject gFlashEnableObject;
extern BoolUCodeObject gFlashEraseObject;
extern LongIntUCodeObject gFlashAddressObject;
extern FlashUCodeObject gFlashDataObject;
extern BoolUCodeObject gReadyObject;
extern ByteUCodeObject gAddressObject;
extern ByteUCodeObject gStrobeLEDsObject;
extern BoolUCodeObject gFilterUpdateObject;
extern SaveMemoryObject gSaveMemoryObject;
extern RestoreMemoryObject gRecallMemoryObject;
extern dBLevelObject gCrosspointLevelObject;
extern AllocatingByteUCodeObject gNewFilterObject;
extern ByteUCodeObject gDeleteFilterObject;
extern ByteUCodeObject gFilterChannelObject;
extern ByteUCodeObject gFilterTypeObject;
extern ByteUCodeObject gFilterSelectObject;
extern LongIntUCodeObject gFilterParamObject;
extern FloatUCodeObject gFilterParamFloatObject;
extern ByteUCodeObject gFilterCommandObject;
extern StringUCodeObject gUnitNameObject;
extern StringUCodeObject gPasswordObject;
extern StringUCodeObject gSerialNumberObject;
extern BoolUCodeObject gLockedObject;
extern StringUCodeObject gMemoryNameObject;
extern ByteUCodeObject gLogicMemoryObject;
extern dBLevelObject gChannelLevelObject;
extern ByteUCodeObject gCrossoverNetworkObject;
extern ByteUCodeObject gChannelGroupObject;
extern DelayUnitsObject gDelayUnitsObject;
extern DelayUCodeObject gChannelDelayObject;
extern BoolUCodeObject gChannelMuteObject;
extern ByteUCodeObject gLogicOutObject;
extern AllocatingByteUCodeObject gFilterOrderObject;
extern BoolUCodeObject gFilterBypassSetObject;
extern BoolUCodeObject gFilterBypassObject;
extern ByteUCodeObject gLimiterSpeedObject;
extern CurrentLogicInObject gCurrentLogicInObject;
extern StringUCodeObject gServiceStatusObject;
extern limiterLevelObject gLimiterThresholdObject;
extern BoolUCodeObject gLimiterKneeObject;
extern ByteUCodeObject gParam2AObject;
extern ByteUCodeObject gLimiterGroupObject;
extern dBLevelObject gLimiterMeterObject;
extern BoolUCodeObject gLimiterEnableObject;
extern dBLevelObject gChannelMeterObject;
extern StringUCodeObject gChannelNameObject;
extern ByteUCodeObject gFilterLinkGroupObject;
extern FloatUCodeObject gPolarityObject;
extern BoolUCodeObject gPinkNoiseEnableObject;
extern dBLevelObject gPinkNoiseLevelObject;
extern dBLevelObject gParam35Object;
extern dBLevelObject gMasterLevelObject;
extern LongIntUCodeObject gFilterLinkObject;
extern LongIntUCodeObject gDspUsageObject;
extern NVDumpObject gMemoryDumpObject;
extern LongIntUCodeObject gMemoryImageSizeObject;
extern BoolUCodeObject gMasterMuteObject;
extern TimeUCodeObject gTimeObject;
extern RTCEventObject gTimerEventObject;
extern BoolUCodeObject gClockPresentObject;
extern BoolUCodeObject gDelayBypassObject;
extern BoolUCodeObject gNewSettingsObject;
extern ByteUCodeObject gLastMemoryObject;
extern DateUCodeObject gDateObject;
extern BoolUCodeObject gDaylightSavingObject;
extern DelayUCodeObject gCrosspointDelayObject;
extern dBLevelObject gCompPostGainObject;
extern dBLevelObject gCompThresholdObject;
extern CompRatioObject gCompRatioObject;
extern BoolUCodeObject gCompGangObject;
extern BoolUCodeObject gCompSoftKneeObject;
extern CompSpeedObject gCompSpeedObject;
extern ByteUCodeObject gParam4BObject;
extern BoolUCodeObject gCompressorOptionObject;
extern ByteUCodeObject gFlashCountObject;

// Every object of the table, in id order (both encodings of id 0x13).
std::span<UCodeObject* const> ParameterObjects();

}  // namespace namespaceOV
