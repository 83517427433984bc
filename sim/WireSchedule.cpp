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

WireClock::time_point WireSchedule::SendByte(uint8_t byte, WireClock::time_point earliest) {
  if (!pacing_.enabled) {
    items_.emplace(earliest, Item{Action::kWriteByte, byte});
    return earliest;
  }
  // One transmitter: a byte starts when the one before it has left.
  const auto reached = std::max(earliest, outboundFreeAt_) + kByteWireTime;
  items_.emplace(reached, Item{Action::kWriteByte, byte});
  outboundFreeAt_ = reached;
  return reached;
}

void WireSchedule::Transmit(const Transmission& transmission, WireClock::time_point frameEnd) {
  const auto turnaround = pacing_.enabled ? std::chrono::microseconds(pacing_.turnaroundUs)
                                          : std::chrono::microseconds(0);
  auto next = frameEnd + turnaround + milliseconds(transmission.firstByteDelayMs);
  for (uint8_t byte : transmission.bytes) {
    next = SendByte(byte, next) + milliseconds(transmission.gapMs);
  }
  if (transmission.hangUp) items_.emplace(next, Item{Action::kHangUp});
  if (transmission.endlessStream) items_.emplace(next, Item{Action::kStartStream});
}

std::vector<uint8_t> WireSchedule::DueBytes(WireClock::time_point now) const {
  std::vector<uint8_t> bytes;
  for (auto it = items_.begin();
       it != items_.end() && it->first <= now && it->second.action == Action::kWriteByte; ++it) {
    bytes.push_back(it->second.byte);
  }
  return bytes;
}

void WireSchedule::DropFront(std::size_t count) {
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
