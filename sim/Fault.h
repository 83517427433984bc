#pragma once

#include <cstdint>
#include <vector>

namespace sim {

// Listed in the order they act on one answer: what the reply carries, then what goes on the wire,
// then when it goes, then what happens to the line.
enum class FaultKind {
  kAcknowledgementIgnored,  // the unit keeps its roll-call state: it answers every query again
  kStatus,                  // status `value` instead of 1, its data replaced by filler bytes
  kErrorObject,             // answers from the error object with code `value`
  kErrorObjectWithoutData,  // answers from the error object with no code
  kOverlongLength,          // length byte `value`, with that many bytes after it (filler data)
  kRollCallAddress,         // roll-call answer naming address `value` (251, or another unit's)
  kThreeByteFamily,         // roll-call answer with the family code padded to three groups
  kRollCallLength,          // roll-call answer with length byte `value`, the rest unchanged
  kSilence,                 // no reply, though the unit carried the request out
  kUnheard,                 // no reply, and the unit never took the request: nothing changes
  kBadChecksum,             // the checksum byte off by one
  kTruncate,                // only the first `value` bytes of the reply
  kGarbageBefore,           // `bytes` before the reply
  kBytesAfter,              // `bytes` after the reply
  kStall,                   // the bus falls silent for `value` ms from this request on, as if
                            // paused: this answer and every one due meanwhile go out at its end
  kPause,                   // the bus keeps back the answers to `value` requests from this one on,
                            // as if paused for as long as the program takes to send them; they go
                            // out late, in order, just ahead of the answer to the next request
  kLateFirstByte,           // the first byte `value` ms late
  kByteGaps,                // `value` ms of silence between consecutive bytes
  kStarve,                  // the bus's thread, its lock held, does nothing for `value` ms once
                            // it has taken the request: nothing crosses the line either way, as
                            // when a loaded machine keeps the thread off its processor
  kHangUp,                  // after the reply (if any) the pseudo-terminal is closed
  kEndlessStream,           // after the reply, bytes without pause until the faults are cleared
};

// A scripted fault: which requests it hits and what it does to their answer. Requests are matched
// by the unit that answers (for broadcasts) or is addressed, the object id and the opcode; each
// fault counts the requests it matches and acts on occurrences [first, first + times).
// Faults act on requests no unit answers too (garbage or a stream after a roll-call restart),
// and on the interface's commands, which match address FD and the command byte as object id.
struct Fault {
  static constexpr int kAny = -1;
  static constexpr int kForever = -1;

  FaultKind kind = FaultKind::kSilence;
  int address = kAny;
  int objectId = kAny;
  int opcode = kAny;
  int firstOccurrence = 1;
  int times = kForever;
  int value = 0;
  std::vector<uint8_t> bytes;

  static Fault AcknowledgementIgnored();
  static Fault Status(uint8_t status);
  static Fault ErrorObject(uint8_t code);
  static Fault ErrorObjectWithoutData();
  static Fault OverlongLength(uint8_t length);
  static Fault RollCallLength(uint8_t length);
  static Fault RollCallAddress(uint8_t address);
  static Fault ThreeByteFamily();
  static Fault BadChecksum();
  static Fault Truncate(int keptBytes);
  static Fault GarbageBefore(std::vector<uint8_t> garbage);
  static Fault BytesAfter(std::vector<uint8_t> trailing);
  static Fault Silence();
  static Fault Unheard();
  static Fault Stall(int stallMs);
  static Fault Pause(int requests);
  static Fault LateFirstByte(int delayMs);
  static Fault ByteGaps(int gapMs);
  static Fault Starve(int heldMs);
  static Fault HangUp();
  static Fault EndlessStream();

  Fault ForUnit(int unitAddress) const;
  Fault ForObject(int id) const;
  Fault ForOpcode(int code) const;
  // Only the nth matching request (counted from 1).
  Fault OnOccurrence(int n) const;
  // The first n matching requests from the current first occurrence on.
  Fault Times(int n) const;
};

}  // namespace sim
