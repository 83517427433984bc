#include "familyov/unit/ParameterTable.h"

namespace namespaceOV {

ByteUCodeObject gInitializeObject{0x00, 1, false};
BoolUCodeObject gResetObject{0x01, 1, false};
BoolUCodeObject gFlashEnableObject{0x02, 1, false};
BoolUCodeObject gFlashEraseObject{0x03, 1, false};
LongIntUCodeObject gFlashAddressObject{0x04, 1, false};
FlashUCodeObject gFlashDataObject{0x05, 1, true};
BoolUCodeObject gReadyObject{0x06, 1, true};
ByteUCodeObject gAddressObject{0x07, 1, false};
ByteUCodeObject gStrobeLEDsObject{0x08, 1, false};
BoolUCodeObject gFilterUpdateObject{0x09, 1, false};
SaveMemoryObject gSaveMemoryObject{0x0A, 1, false};
RestoreMemoryObject gRecallMemoryObject{0x0B, 1, false};
dBLevelObject gCrosspointLevelObject{0x0C, kCrosspointCount, false};
AllocatingByteUCodeObject gNewFilterObject{0x0D, 1, true};
ByteUCodeObject gDeleteFilterObject{0x0E, 1, true};
ByteUCodeObject gFilterChannelObject{0x0F, 1, true};
ByteUCodeObject gFilterTypeObject{0x10, 1, true};
ByteUCodeObject gFilterSelectObject{0x11, 1, true};
LongIntUCodeObject gFilterParamObject{0x13, kFilterParamCount, true};
FloatUCodeObject gFilterParamFloatObject{0x13, kFilterParamCount, true};
ByteUCodeObject gFilterCommandObject{0x14, 1, true};
StringUCodeObject gUnitNameObject{0x15, 1, false, true};
StringUCodeObject gPasswordObject{0x16, 1, false, true};
StringUCodeObject gSerialNumberObject{0x17, 1, false, true};
BoolUCodeObject gLockedObject{0x18, 1, true};
StringUCodeObject gMemoryNameObject{0x19, kMemoryNameCount, false, true};
ByteUCodeObject gLogicMemoryObject{0x1A, kLogicInputCount, false};
dBLevelObject gChannelLevelObject{0x1B, kMaxChannels, false};
ByteUCodeObject gCrossoverNetworkObject{0x1C, kMaxOutputs, false};
ByteUCodeObject gChannelGroupObject{0x1D, kMaxChannels, false};
DelayUnitsObject gDelayUnitsObject{0x1E, 1, false};
DelayUCodeObject gChannelDelayObject{0x1F, kMaxChannels, false};
BoolUCodeObject gChannelMuteObject{0x20, kMaxChannels, false};
ByteUCodeObject gLogicOutObject{0x21, kLogicInputCount, false};
AllocatingByteUCodeObject gFilterOrderObject{0x22, 1, true};
// The bypass belongs to the selected filter; like every filter object it is never served from
// the store, or each filter read would take the first one's bypass.
BoolUCodeObject gFilterBypassSetObject{0x23, 1, true};
BoolUCodeObject gFilterBypassObject{0x24, 1, true};
ByteUCodeObject gLimiterSpeedObject{0x25, kMaxChannels, false};
CurrentLogicInObject gCurrentLogicInObject{0x26, 1, false};
StringUCodeObject gServiceStatusObject{0x27, 1, true, true};
limiterLevelObject gLimiterThresholdObject{0x28, kMaxChannels, false};
BoolUCodeObject gLimiterKneeObject{0x29, kMaxChannels, false};
ByteUCodeObject gParam2AObject{0x2A, 1, false};
ByteUCodeObject gLimiterGroupObject{0x2B, kMaxChannels, false};
dBLevelObject gLimiterMeterObject{0x2C, kMaxChannels, true};
BoolUCodeObject gLimiterEnableObject{0x2D, kMaxChannels, false};
dBLevelObject gChannelMeterObject{0x2E, kMaxChannels, true};
StringUCodeObject gChannelNameObject{0x30, kMaxChannels, false, true};
ByteUCodeObject gFilterLinkGroupObject{0x31, 1, true};
FloatUCodeObject gPolarityObject{0x32, kMaxOutputs, false};
BoolUCodeObject gPinkNoiseEnableObject{0x33, 1, false};
dBLevelObject gPinkNoiseLevelObject{0x34, 1, false};
dBLevelObject gParam35Object{0x35, 1, false};
dBLevelObject gMasterLevelObject{0x36, 1, false};
LongIntUCodeObject gFilterLinkObject{0x37, 1, true};
LongIntUCodeObject gDspUsageObject{0x38, 1, true};
NVDumpObject gMemoryDumpObject{0x39, kMemoryImageBlocks, true};
LongIntUCodeObject gMemoryImageSizeObject{0x3A, 1, false};
BoolUCodeObject gMasterMuteObject{0x3B, 1, false};
TimeUCodeObject gTimeObject{0x3C, 1, true};
RTCEventObject gTimerEventObject{0x3D, kTimerEventSlots, false};
BoolUCodeObject gClockPresentObject{0x3E, 1, true};
BoolUCodeObject gDelayBypassObject{0x3F, kMaxChannels, false};
BoolUCodeObject gNewSettingsObject{0x40, 1, true};
ByteUCodeObject gLastMemoryObject{0x41, 1, true};
DateUCodeObject gDateObject{0x42, 1, true};
BoolUCodeObject gDaylightSavingObject{0x43, 1, false};
DelayUCodeObject gCrosspointDelayObject{0x44, kCrosspointCount, false};
dBLevelObject gCompPostGainObject{0x45, kCompressorCount, false};
dBLevelObject gCompThresholdObject{0x46, kCompressorCount, false};
CompRatioObject gCompRatioObject{0x47, kCompressorCount, false};
BoolUCodeObject gCompGangObject{0x48, kCompressorCount, false};
BoolUCodeObject gCompSoftKneeObject{0x49, kCompressorCount, false};
CompSpeedObject gCompSpeedObject{0x4A, kCompressorCount, false};
ByteUCodeObject gParam4BObject{0x4B, kReservedBlockCount, false};
BoolUCodeObject gCompressorOptionObject{0x4C, 1, false};
ByteUCodeObject gFlashCountObject{0x4D, 1, false};

namespace {

UCodeObject* const kObjects[] = {
    &gInitializeObject,
    &gResetObject,
    &gFlashEnableObject,
    &gFlashEraseObject,
    &gFlashAddressObject,
    &gFlashDataObject,
    &gReadyObject,
    &gAddressObject,
    &gStrobeLEDsObject,
    &gFilterUpdateObject,
    &gSaveMemoryObject,
    &gRecallMemoryObject,
    &gCrosspointLevelObject,
    &gNewFilterObject,
    &gDeleteFilterObject,
    &gFilterChannelObject,
    &gFilterTypeObject,
    &gFilterSelectObject,
    &gFilterParamObject,
    &gFilterParamFloatObject,
    &gFilterCommandObject,
    &gUnitNameObject,
    &gPasswordObject,
    &gSerialNumberObject,
    &gLockedObject,
    &gMemoryNameObject,
    &gLogicMemoryObject,
    &gChannelLevelObject,
    &gCrossoverNetworkObject,
    &gChannelGroupObject,
    &gDelayUnitsObject,
    &gChannelDelayObject,
    &gChannelMuteObject,
    &gLogicOutObject,
    &gFilterOrderObject,
    &gFilterBypassSetObject,
    &gFilterBypassObject,
    &gLimiterSpeedObject,
    &gCurrentLogicInObject,
    &gServiceStatusObject,
    &gLimiterThresholdObject,
    &gLimiterKneeObject,
    &gParam2AObject,
    &gLimiterGroupObject,
    &gLimiterMeterObject,
    &gLimiterEnableObject,
    &gChannelMeterObject,
    &gChannelNameObject,
    &gFilterLinkGroupObject,
    &gPolarityObject,
    &gPinkNoiseEnableObject,
    &gPinkNoiseLevelObject,
    &gParam35Object,
    &gMasterLevelObject,
    &gFilterLinkObject,
    &gDspUsageObject,
    &gMemoryDumpObject,
    &gMemoryImageSizeObject,
    &gMasterMuteObject,
    &gTimeObject,
    &gTimerEventObject,
    &gClockPresentObject,
    &gDelayBypassObject,
    &gNewSettingsObject,
    &gLastMemoryObject,
    &gDateObject,
    &gDaylightSavingObject,
    &gCrosspointDelayObject,
    &gCompPostGainObject,
    &gCompThresholdObject,
    &gCompRatioObject,
    &gCompGangObject,
    &gCompSoftKneeObject,
    &gCompSpeedObject,
    &gParam4BObject,
    &gCompressorOptionObject,
    &gFlashCountObject,
};

}  // namespace

std::span<UCodeObject* const> ParameterObjects() { return kObjects; }

}  // namespace namespaceOV
