#pragma once

#include <cstdint>
#include <vector>

namespace sim {

// What the units' side puts on the line in answer to one frame, and how.
struct Transmission {
  std::vector<uint8_t> bytes;
  int firstByteDelayMs = 0;
  // The line stays silent this long from the request on; what falls due meanwhile waits too.
  int stallMs = 0;
  // The answers to this many frames from this one on are kept back until the frame after them.
  int pausedFrames = 0;
  int gapMs = 0;
  // The bus's thread stops this long before it sends the answer or takes another byte.
  int starveMs = 0;
  bool hangUp = false;
  bool endlessStream = false;
};

}  // namespace sim
