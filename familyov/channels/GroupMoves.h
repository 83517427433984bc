#pragma once

#include <optional>
#include <vector>

#include "familyov/channels/ChannelTexts.h"

// Groups of channels and the moves that take every member along. The rule that a grouped step is
// written once to each member lives here alone: whichever window the user moved (a level window, a
// summary pane), it calls these and then tells the other windows what changed; a window that hears
// of a group step only shows it.
namespace namespaceOV {

class IQDeviceOrdavinex;

// A channel's group as the tables index it: a byte from the unit or a file beyond the eleven
// group values counts as no group (0).
int GroupOf(int groupByte);
// The channel's group read from the unit.
int ReadGroup(IQDeviceOrdavinex& device, int channel);
// Every channel of the unit in group `group` (none for group 0), in channel order.
std::vector<int> GroupMembers(IQDeviceOrdavinex& device, int group);

// The levels a channel can take: an input's or an output's.
const LevelRange& LevelRangeOf(const IQDeviceOrdavinex& device, int channel);

// The highest and lowest level among a group's members.
struct LevelExtremes {
  float highest;
  float lowest;
};
// None for an empty group.
std::optional<LevelExtremes> GroupLevelExtremes(IQDeviceOrdavinex& device, int group);
// `delta` limited so that neither the highest member goes above the range nor the lowest below.
float LimitGroupStep(float delta, const LevelExtremes& extremes, const LevelRange& range);

// What a level move wrote: the channels whose level changed.
struct LevelMove {
  float delta = 0.0f;
  std::vector<int> changed;
};
// Moves channel `channel` to `target` dB, or, when it is grouped, every member by the same amount,
// limited so that the group keeps its offsets within the range. Each member is written once; the
// extremes are taken from the unit at the time of the move. Bus failures pass to the caller.
LevelMove MoveChannelLevel(IQDeviceOrdavinex& device, int channel, float target);
// Moves every member of `group` by `delta` (limited as above), each written once.
LevelMove MoveGroupLevel(IQDeviceOrdavinex& device, int group, float delta);

// Adds `step` samples to the channel's delay, or to every member's when it is grouped, after the
// device fitted the step to its delay memory; no delay goes below 0. Returns the group moved (0
// for a single channel) and the step applied, for the notification.
struct DelayMove {
  int group = 0;
  int step = 0;
};
DelayMove MoveChannelDelay(IQDeviceOrdavinex& device, int channel, int step);

}  // namespace namespaceOV
