#include "sim/WireSchedule.h"

#include <algorithm>

namespace sim {

using std::chrono::milliseconds;

WireClock::time_point WireSchedule::Arrival(WireClock::time_point readAt) {
  if (!pacing_.enabled) return readAt;
  inboundFreeAt_ = std::max(readAt, inboundFreeAt_) + kByteWireTime;
  return inboundFreeAt_;
}

void WireSchedule::Echo(uint8_t byte, WireClock::time_point arrival) {
  items_.emplace(arrival, Item{Action::kWriteByte, byte});
}

WireClock::time_point WireSchedule::SendByte(uint8_t byte, WireClock::time_point earliest,
                                             milliseconds gapBefore) {
  const Item item{Action::kWriteByte, byte, gapBefore};
  if (!pacing_.enabled) {
    items_.emplace(earliest, item);
    return earliest;
  }
  // One transmitter: a byte starts when the one before it has left.
  const auto reached = std::max(earliest, outboundFreeAt_) + kByteWireTime;
  items_.emplace(reached, item);
  outboundFreeAt_ = reached;
  return reached;
}

void WireSchedule::Transmit(const Transmission& transmission, WireClock::time_point frameEnd) {
  const auto turnaround = pacing_.enabled ? std::chrono::microseconds(pacing_.turnaroundUs)
                                          : std::chrono::microseconds(0);
  if (transmission.stallMs > 0) {
    stallEnd_ = std::max(stallEnd_, frameEnd + milliseconds(transmission.stallMs));
  }
  auto next =
      std::max(frameEnd + turnaround, stallEnd_) + milliseconds(transmission.firstByteDelayMs);
  const milliseconds gap(transmission.gapMs);
  for (std::size_t i = 0; i < transmission.bytes.size(); ++i) {
    next = SendByte(transmission.bytes[i], next, i == 0 ? milliseconds(0) : gap) + gap;
  }
  if (transmission.hangUp) items_.emplace(next, Item{Action::kHangUp});
  if (transmission.endlessStream) items_.emplace(next, Item{Action::kStartStream});
}

WireClock::time_point WireSchedule::DueAt(const Item& item, WireClock::time_point scheduled) const {
  return std::max(scheduled, lastWrittenAt_ + item.gapBefore);
}

WireClock::time_point WireSchedule::NextDue() const {
  return DueAt(items_.begin()->second, items_.begin()->first);
}

std::vector<uint8_t> WireSchedule::DueBytes(WireClock::time_point now) const {
  std::vector<uint8_t> bytes;
  for (auto it = items_.begin(); it != items_.end() && it->second.action == Action::kWriteByte;
       ++it) {
    const bool gapFollows = !bytes.empty() && it->second.gapBefore.count() > 0;
    if (gapFollows || DueAt(it->second, it->first) > now) break;
    bytes.push_back(it->second.byte);
  }
  return bytes;
}

void WireSchedule::Written(std::size_t count, WireClock::time_point now) {
  if (count > 0) lastWrittenAt_ = now;
  for (; count > 0 && !items_.empty(); --count) items_.erase(items_.begin());
}

std::optional<WireSchedule::Action> WireSchedule::TakeDueAction(WireClock::time_point now) {
  if (items_.empty() || items_.begin()->first > now ||
      items_.begin()->second.action == Action::kWriteByte) {
    return std::nullopt;
  }
  const Action action = items_.begin()->second.action;
  items_.erase(items_.begin());
  return action;
}

}  // namespace sim
