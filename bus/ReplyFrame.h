#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "bus/UCodePacket.h"

// Who sent a reply and what it answers, as far as its frame says.
struct ReplyOrigin {
  static constexpr int kNone = -1;

  uint8_t address = 0;
  // None in a roll-call answer, whose family field holds the broadcast's bytes.
  uint32_t family = 0;
  int objectId = kNone;
  int opcode = kNone;

  bool FromErrorObject() const;
};

// One reply as it came off the line.
struct ReplyFrame {
  ReplyOrigin origin;
  uint8_t status = 0;
  std::vector<uint8_t> value;
  // The bytes before the checksum, for the monitor.
  UCodePacket packet;
  bool checksumOk = false;
};

// Reads the rest of a reply whose first byte was `address`, one byte at a time from `next`: the
// family code (the broadcast's two bytes after a broadcast address), status, length, object id,
// opcode, data and checksum. Throws `ReplyTooLong` as soon as the length runs past what a packet
// holds, leaving the rest unread; whatever `next` throws passes through.
ReplyFrame ReadReplyFrame(uint8_t address, const std::function<uint8_t()>& next);
