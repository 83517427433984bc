#pragma once

#include <cstdint>

namespace namespaceOV {

// What a window of the family tells the others in NotifyRecord::code. The edit window acts on a
// few of them before it hands every record to every open window of the unit.
enum NotifyCode : uint32_t {
  FilterAdded = 0x65,  // pointer: the new filter; flag 1: a vector holding one clone
  FilterRemoved = 0x66,
  FilterChanged = 0x67,  // pointer: the filter; flag 1: a vector of filters
  FilterSelected = 0x68,
  RefreshAll = 0x69,
  CrossoverOutputSelected = 0x6A,  // pointer: the output's channel, an int
  GroupChanged = 0x6B,
  GroupLevelStep = 0x6C,
  DelayUnitsChanged = 0x6D,
  LimiterGroupChanged = 0x6E,
  LimiterEnableChanged = 0x6F,
  ChannelRenamed = 0x70,
  DelayChanged = 0x71,
  LevelChanged = 0x72,
  LimiterThresholdChanged = 0x73,
  MuteChanged = 0x74,
  FilterLinksChanged = 0x75,
  PolarityChanged = 0x76,
  PinkNoiseChanged = 0x77,
  NetworkAssignmentChanged = 0x78,
  LockChanged = 0x79,
  UnitRenamed = 0x7A,
  MemoryRenamed = 0x85,       // channel: the memory's number - 1
  LogicInSelected = 0x86,     // channel: the logic input now selected
  LogicOutChanged = 0x87,     // channel: the input whose logic output changed
  LogicMemoryChanged = 0x89,  // channel: the input whose memory changed
  FilterDragged = 0x8A,
  GroupDelayStep = 0x8B,
  CrosspointChanged = 0x8C,
  CompressorGangChanged = 0x8D,
  MasterMuteChanged = 0x8E,
  // The device let filters go or replaced them: a window that shows filters reads them again.
  FilterSetChanged = 0x8F,
};

// The edit window's own re-send of a FilterAdded for a clone on a linked channel.
inline constexpr int32_t kCloneFlag = 1;

}  // namespace namespaceOV
