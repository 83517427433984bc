#include "sim/familyov/ObjectTable.h"

#include <algorithm>

namespace sim::familyov {
namespace {

constexpr int kChannels = 20;
constexpr int kOutputs = 12;
constexpr int kCrosspoints = 96;
constexpr int kCompressors = 8;
constexpr int kMemoryNames = 20;
constexpr int kLogicInputs = 32;
constexpr int kClockEvents = 70;
constexpr int kMemoryDumpElements = 256;
constexpr int kReserved4BCount = 16;
constexpr int kClockRecordBytes = 4;

ObjectLayout Byte(int id, int count = 1) { return {.id = id, .elementSize = 1, .count = count}; }
ObjectLayout Word(int id, int count = 1) { return {.id = id, .elementSize = 4, .count = count}; }
ObjectLayout Text(int id, int count = 1) {
  return {.id = id, .elementSize = kTextBytes, .count = count};
}
ObjectLayout Volatile(ObjectLayout layout) {
  layout.isVolatile = true;
  return layout;
}

}  // namespace

const std::vector<ObjectLayout>& ObjectTable() {
  using namespace object;
  static const std::vector<ObjectLayout> table = {
      Byte(kInitialize),
      Byte(kReset),
      Byte(kFlashEnable),
      Byte(kFlashErase),
      Word(kFlashAddress),
      Volatile({.id = kFlashData, .elementSize = kFlashRecordMaxBytes}),
      Volatile(Byte(kReady)),
      Byte(kAddress),
      Byte(kStrobeLeds),
      Byte(kFilterUpdate),
      Byte(kSaveMemory),
      Byte(kRecallMemory),
      Word(kCrosspointLevel, kCrosspoints),
      Volatile(Byte(kNewFilter)),
      Volatile(Byte(kDeleteFilter)),
      Volatile(Byte(kFilterChannel)),
      Volatile(Byte(kFilterType)),
      Volatile(Byte(kFilterSelect)),
      Volatile(Word(kFilterParam, kFilterParamCount)),
      Volatile(Byte(kFilterCommand)),
      Text(kUnitName),
      Text(kPassword),
      Text(kSerialNumber),
      Volatile(Byte(kLocked)),
      Text(kMemoryName, kMemoryNames),
      Byte(kLogicMemory, kLogicInputs),
      Word(kChannelLevel, kChannels),
      Byte(kCrossoverNetwork, kOutputs),
      Byte(kChannelGroup, kChannels),
      Byte(kDelayUnits),
      Word(kChannelDelay, kChannels),
      Byte(kChannelMute, kChannels),
      Byte(kLogicOut, kLogicInputs),
      Volatile(Byte(kFilterOrder)),
      Byte(kFilterBypassSet),
      Byte(kFilterBypass),
      Byte(kLimiterSpeed, kChannels),
      Byte(kCurrentLogicIn),
      Volatile({.id = kServiceStatus, .elementSize = kServiceStatusBytes}),
      Word(kLimiterThreshold, kChannels),
      Byte(kLimiterKnee, kChannels),
      Byte(kReserved2A),
      Byte(kLimiterGroup, kChannels),
      Volatile(Word(kLimiterMeter, kChannels)),
      Byte(kLimiterEnable, kChannels),
      Volatile(Word(kChannelMeter, kChannels)),
      Text(kChannelName, kChannels),
      Volatile(Byte(kFilterLinkGroup)),
      Word(kPolarity, kOutputs),
      Byte(kPinkNoiseEnable),
      Word(kPinkNoiseLevel),
      Word(kLevel35),
      Word(kMasterLevel),
      Volatile(Word(kFilterLink)),
      Volatile(Word(kDspUsage)),
      Volatile(
          {.id = kMemoryDump, .elementSize = kMemoryDumpBlockBytes, .count = kMemoryDumpElements}),
      Word(kMemoryImageSize),
      Byte(kMasterMute),
      Volatile({.id = kTime, .elementSize = kClockRecordBytes}),
      {.id = kTimerEvent, .elementSize = kClockRecordBytes, .count = kClockEvents},
      Volatile(Byte(kClockPresent)),
      Byte(kDelayBypass, kChannels),
      Volatile(Byte(kNewSettings)),
      Volatile(Byte(kLastMemory)),
      Volatile({.id = kDate, .elementSize = kClockRecordBytes}),
      Byte(kDaylightSaving),
      Word(kCrosspointDelay, kCrosspoints),
      Word(kCompPostGain, kCompressors),
      Word(kCompThreshold, kCompressors),
      Byte(kCompRatio, kCompressors),
      Byte(kCompGang, kCompressors),
      Byte(kCompSoftKnee, kCompressors),
      Byte(kCompSpeed, kCompressors),
      Byte(kReserved4B, kReserved4BCount),
      Byte(kCompressorOption),
      Byte(kFlashCount),
  };
  return table;
}

const ObjectLayout* FindObject(int objectId) {
  const auto& table = ObjectTable();
  const auto found =
      std::find_if(table.begin(), table.end(),
                   [objectId](const ObjectLayout& layout) { return layout.id == objectId; });
  return found == table.end() ? nullptr : &*found;
}

bool IsTextObject(int objectId) {
  using namespace object;
  static constexpr int kTextIds[] = {kUnitName,   kPassword,    kSerialNumber,
                                     kMemoryName, kChannelName, kServiceStatus};
  return std::find(std::begin(kTextIds), std::end(kTextIds), objectId) != std::end(kTextIds);
}

const std::vector<int>& MemorySettingIds() {
  using namespace object;
  static const std::vector<int> ids = {
      kCrosspointLevel, kChannelLevel, kCrossoverNetwork, kChannelGroup,   kChannelDelay,
      kChannelMute,     kLimiterSpeed, kLimiterThreshold, kLimiterKnee,    kLimiterGroup,
      kLimiterEnable,   kPolarity,     kPinkNoiseEnable,  kPinkNoiseLevel, kMasterLevel,
      kMasterMute,      kDelayBypass,  kCrosspointDelay,  kCompPostGain,   kCompThreshold,
      kCompRatio,       kCompGang,     kCompSoftKnee,     kCompSpeed,
  };
  return ids;
}

}  // namespace sim::familyov
