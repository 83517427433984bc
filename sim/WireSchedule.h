#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "sim/BusSettings.h"
#include "sim/Transmission.h"

namespace sim {

using WireClock = std::chrono::steady_clock;

inline constexpr long kBaudRate = 38400;
inline constexpr long kBitsPerByte = 10;  // start bit, eight data bits, stop bit
inline constexpr std::chrono::nanoseconds kByteWireTime{1'000'000'000L * kBitsPerByte / kBaudRate};

// When what the units' side sends reaches the program. With pacing each byte takes its wire time
// in both directions, a reply starts a turnaround after the request's last byte, and the bytes
// sent never overlap; without it everything is due at once. Timing faults add their delays.
class WireSchedule {
 public:
  enum class Action { kWriteByte, kHangUp, kStartStream };

  void SetPacing(const Pacing& pacing) { pacing_ = pacing; }
  bool Paced() const { return pacing_.enabled; }

  // When a byte the program wrote, read from the line at `readAt`, has fully arrived: bytes
  // written in one burst still arrive one after the other.
  WireClock::time_point Arrival(WireClock::time_point readAt);
  // The duplex interface's echo is the program's own byte heard back as it arrives.
  void Echo(uint8_t byte, WireClock::time_point arrival);
  // Schedules an answer to a frame whose last byte arrived at `frameEnd`.
  void Transmit(const Transmission& transmission, WireClock::time_point frameEnd);

  bool Empty() const { return items_.empty(); }
  // Precondition: not empty.
  WireClock::time_point NextDue() const;
  // The bytes due by `now` at the front, up to the first action or scripted gap.
  std::vector<uint8_t> DueBytes(WireClock::time_point now) const;
  // Removes `count` bytes from the front once they were written at `now`.
  void Written(std::size_t count, WireClock::time_point now);
  // The front when it is an action due by `now`, removed.
  std::optional<Action> TakeDueAction(WireClock::time_point now);
  void Clear() {
    items_.clear();
    stallEnd_ = {};
  }

 private:
  struct Item {
    Action action = Action::kWriteByte;
    uint8_t byte = 0;
    // Silence the program must see after the byte before this one, however late that one went
    // out: a slow wake-up never closes a scripted gap.
    std::chrono::milliseconds gapBefore{0};
  };

  WireClock::time_point DueAt(const Item& item, WireClock::time_point scheduled) const;
  // Returns when the byte has reached the program.
  WireClock::time_point SendByte(uint8_t byte, WireClock::time_point earliest,
                                 std::chrono::milliseconds gapBefore);

  Pacing pacing_;
  std::multimap<WireClock::time_point, Item> items_;
  WireClock::time_point inboundFreeAt_{};
  WireClock::time_point outboundFreeAt_{};
  WireClock::time_point lastWrittenAt_{};
  // Until when a scripted stall holds every answer back.
  WireClock::time_point stallEnd_{};
};

}  // namespace sim
