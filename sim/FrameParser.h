#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sim {

enum class FrameKind {
  kPacket,            // framed by its length, checksum correct
  kInterfaceCommand,  // FD and one command byte
  kInterfaceTest,     // the six bytes of the duplex test
  kUnparsable,        // a bad checksum, a length beyond the receive buffer, or a partial frame
};

struct Frame {
  FrameKind kind = FrameKind::kUnparsable;
  std::vector<uint8_t> bytes;
};

// Cuts the byte stream from the program into frames, as a unit's receiver does: a packet ends
// where its length field says; what cannot be a frame is dropped whole.
class FrameParser {
 public:
  void Feed(uint8_t byte) { pending_.push_back(byte); }
  // The next complete frame, or nullopt while the pending bytes may still become one.
  std::optional<Frame> Next();
  // Gives up on a partial frame (the line fell silent in the middle of it).
  std::optional<Frame> DropPartial();
  bool HasPartial() const { return !pending_.empty(); }

 private:
  Frame Take(FrameKind kind, std::size_t count);

  std::vector<uint8_t> pending_;
};

}  // namespace sim
