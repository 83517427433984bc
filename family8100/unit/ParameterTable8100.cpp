#include "family8100/unit/ParameterTable8100.h"

namespace namespace8100 {

namespace {
constexpr bool kVolatile = true;
constexpr bool kStored = false;
constexpr bool kTerminated = true;
}  // namespace

std::string PresetsText(std::span<const int> presets) {
  std::string numbers = std::to_string(presets.front());
  for (std::size_t i = 1; i < presets.size(); ++i) {
    numbers += (i + 1 == presets.size() ? " and " : ", ") + std::to_string(presets[i]);
  }
  return (presets.size() == 1 ? "Preset " : "Presets ") + numbers;
}

ByteUCodeObject g8100InitMode{0, 1, kStored};
BoolUCodeObject g8100Reboot{1, 1, kStored};
BoolUCodeObject g8100FlashStart{2, 1, kStored};
BoolUCodeObject g8100FlashErase{3, 1, kStored};
LongIntUCodeObject g8100FlashAddress{4, 1, kStored};
FlashUCodeObject g8100FlashBlock{5, !kTerminated};
BoolUCodeObject g8100Ready{6, 1, kVolatile};
ByteUCodeObject g8100Address{7, 1, kStored};
BoolUCodeObject g8100StrobeLeds{8, 1, kStored};
BoolUCodeObject g8100RightMute{9, 1, kStored};
BoolUCodeObject g8100LeftMute{10, 1, kStored};
ByteUCodeObject g8100RightAttenuation{11, 1, kStored};
ByteUCodeObject g8100LeftAttenuation{12, 1, kStored};
BoolUCodeObject g8100BulkMute{13, 1, kStored};
SaveMemoryObject g8100SaveMemory{14, 1, kStored};
RestoreMemoryObject g8100RestoreMemory{15, 1, kStored};
LongIntUCodeObject g8100Routing{16, 1, kStored};
AllocatingByteUCodeObject g8100NewFilterSlot{17, 1, kVolatile};
ByteUCodeObject g8100DeleteFilter{18, 1, kVolatile};
ByteUCodeObject g8100FilterBank{19, 1, kVolatile};
ByteUCodeObject g8100FilterType{20, 1, kVolatile};
ByteUCodeObject g8100FilterSlot{21, 1, kVolatile};
ByteUCodeObject g8100FilterParamSelect{22, 1, kVolatile};
LongIntUCodeObject g8100FilterValueLong{23, 1, kVolatile};
FloatUCodeObject g8100FilterValueFloat{23, 1, kVolatile};
BoolUCodeObject g8100FilterCommit{24, 1, kVolatile};
StringUCodeObject g8100UnitName{25, 1, kStored, kTerminated};
StringUCodeObject g8100Password{26, 1, kStored, kTerminated};
StringUCodeObject g8100SerialNumber{27, 1, kStored, kTerminated};
BoolUCodeObject g8100Locked{28, 1, kVolatile};
ByteUCodeObject g8100MemoryIndex{29, 1, kStored};
MemoryNameObject g8100MemoryName{30, 1, kVolatile, kTerminated};
LongIntUCodeObject g8100LevelMeter1{31, 1, kVolatile};
LongIntUCodeObject g8100LevelMeter2{32, 1, kVolatile};
LongIntUCodeObject g8100LevelMeter3{33, 1, kVolatile};
LongIntUCodeObject g8100LevelMeter4{34, 1, kVolatile};
ByteUCodeObject g8100PresetIndex{36, 1, kStored};
PresetMapObject g8100PresetMap{37, 1, kVolatile};
ByteUCodeObject g8100FilterParam39{39, 1, kVolatile};
BoolUCodeObject g8100FilterBypassNow{40, 1, kStored};
// One value per slot, selected by id 21 like the filter's other values. Served from the store,
// every slot read back after a filter write would take that filter's bypass.
BoolUCodeObject g8100FilterBypass{41, 1, kVolatile};
ByteUCodeObject g8100AddressDone{42, 1, kStored};
StringUCodeObject g8100Status{43, 1, kVolatile, kTerminated};
LongIntUCodeObject g8100LeftDelay{44, 1, kStored};
LongIntUCodeObject g8100RightDelay{45, 1, kStored};
BoolUCodeObject g8100LeftPolarity{46, 1, kStored};
BoolUCodeObject g8100RightPolarity{47, 1, kStored};
LongIntUCodeObject g8100LeftThreshold{48, 1, kStored};
LongIntUCodeObject g8100RightThreshold{49, 1, kStored};
FloatUCodeObject g8100LeftRelease{50, 1, kStored};
FloatUCodeObject g8100RightRelease{51, 1, kStored};
FloatUCodeObject g8100LeftGainReduction{52, 1, kVolatile};
FloatUCodeObject g8100RightGainReduction{53, 1, kVolatile};
LongIntUCodeObject g8100LimiterMode{54, 1, kStored};
FloatUCodeObject g8100LeftNoiseLevel{55, 1, kStored};
FloatUCodeObject g8100RightNoiseLevel{56, 1, kStored};
ByteUCodeObject g8100LeftNoiseType{57, 1, kStored};
ByteUCodeObject g8100RightNoiseType{58, 1, kStored};
BoolUCodeObject g8100LeftNoiseOn{59, 1, kStored};
BoolUCodeObject g8100RightNoiseOn{60, 1, kStored};

}  // namespace namespace8100
