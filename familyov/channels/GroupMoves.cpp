#include "familyov/channels/GroupMoves.h"

#include <algorithm>
#include <cstdint>

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/ParameterTable.h"

namespace namespaceOV {

int GroupOf(int groupByte) { return groupByte > 0 && groupByte < kGroupCount ? groupByte : 0; }

int ReadGroup(IQDeviceOrdavinex& device, int channel) {
  gChannelGroupObject.SetElement(channel);
  return GroupOf(gChannelGroupObject.Read(device));
}

std::vector<int> GroupMembers(IQDeviceOrdavinex& device, int group) {
  std::vector<int> members;
  if (GroupOf(group) == 0) return members;
  for (int channel : device.ChannelIndexes()) {
    if (ReadGroup(device, channel) == group) members.push_back(channel);
  }
  return members;
}

const LevelRange& LevelRangeOf(const IQDeviceOrdavinex& device, int channel) {
  return channel >= device.firstOutput ? kOutputLevelRange : kInputLevelRange;
}

namespace {

float ReadLevel(IQDeviceOrdavinex& device, int channel) {
  gChannelLevelObject.SetElement(channel);
  return gChannelLevelObject.Read(device);
}

void WriteLevel(IQDeviceOrdavinex& device, int channel, float dB) {
  gChannelLevelObject.SetElement(channel);
  gChannelLevelObject.Write(device, dB);
}

int ReadDelay(IQDeviceOrdavinex& device, int channel) {
  gChannelDelayObject.SetElement(channel);
  return static_cast<int32_t>(gChannelDelayObject.Read(device));
}

void AddDelay(IQDeviceOrdavinex& device, int channel, int step) {
  const int64_t delay =
      std::clamp<int64_t>(int64_t{ReadDelay(device, channel)} + step, 0, INT32_MAX);
  gChannelDelayObject.SetElement(channel);
  gChannelDelayObject.Write(device, static_cast<uint32_t>(delay));
}

}  // namespace

std::optional<LevelExtremes> GroupLevelExtremes(IQDeviceOrdavinex& device, int group) {
  std::optional<LevelExtremes> extremes;
  for (int channel : GroupMembers(device, group)) {
    const float level = ReadLevel(device, channel);
    if (!extremes) {
      extremes = LevelExtremes{level, level};
    } else {
      extremes->highest = std::max(extremes->highest, level);
      extremes->lowest = std::min(extremes->lowest, level);
    }
  }
  return extremes;
}

float LimitGroupStep(float delta, const LevelExtremes& extremes, const LevelRange& range) {
  if (extremes.highest + delta > range.maximum) delta = range.maximum - extremes.highest;
  if (extremes.lowest + delta < range.minimum) delta = range.minimum - extremes.lowest;
  return delta;
}

LevelMove MoveGroupLevel(IQDeviceOrdavinex& device, int group, float delta) {
  LevelMove move;
  const std::vector<int> members = GroupMembers(device, group);
  if (members.empty()) return move;
  const auto extremes = GroupLevelExtremes(device, group);
  move.delta = LimitGroupStep(delta, *extremes, LevelRangeOf(device, members.front()));
  for (int channel : members) {
    const float level = ReadLevel(device, channel);
    const float moved = LevelRangeOf(device, channel).Clamp(level + move.delta);
    if (moved == level) continue;
    WriteLevel(device, channel, moved);
    move.changed.push_back(channel);
  }
  return move;
}

LevelMove MoveChannelLevel(IQDeviceOrdavinex& device, int channel, float target) {
  const LevelRange& range = LevelRangeOf(device, channel);
  const float delta = range.Clamp(target) - ReadLevel(device, channel);
  if (const int group = ReadGroup(device, channel); group != 0) {
    return MoveGroupLevel(device, group, delta);
  }
  WriteLevel(device, channel, range.Clamp(target));
  return {delta, {channel}};
}

DelayMove MoveChannelDelay(IQDeviceOrdavinex& device, int channel, int step) {
  DelayMove move{ReadGroup(device, channel), device.FitChannelDelay(step, channel)};
  if (move.group == 0) {
    AddDelay(device, channel, move.step);
    return move;
  }
  for (int member : GroupMembers(device, move.group)) AddDelay(device, member, move.step);
  return move;
}

}  // namespace namespaceOV
