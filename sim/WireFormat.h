#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The byte layouts the units speak: requests from the program, replies and roll-call answers
// from the units, and the interface's two-byte commands.
namespace sim {

inline constexpr int kOpcodeSet = 9;
inline constexpr int kOpcodeGet = 10;
// A request whose body ends after the object id (the roll-call messages) has no opcode.
inline constexpr int kNoOpcode = -1;

inline constexpr int kObjectRollCallRestart = 0x3F80;
inline constexpr int kObjectRollCallQuery = 0x3F81;
inline constexpr int kObjectRollCallAcknowledge = 0x3F82;
inline constexpr int kObjectError = 0x3FB0;

inline constexpr uint8_t kBroadcastAddress = 0xFC;
// Broadcasts carry these two bytes where a family code stands; they are not a valid
// variable-length integer (both have bit 7 set), so a broadcast's family field is read as is.
inline constexpr std::array<uint8_t, 2> kBroadcastFamilyBytes = {0xF8, 0xF8};
// First byte of the interface's own two-byte commands; they never reach the units.
inline constexpr uint8_t kInterfaceCommandByte = 0xFD;
inline constexpr uint8_t kInterfaceIdQuery = 0xE9;
// FD E0+n selects network n+1.
inline constexpr uint8_t kSelectNetworkFirst = 0xE0;
inline constexpr int kNetworkCount = 8;
// The bytes a duplex interface must echo to be recognised.
inline constexpr std::array<uint8_t, 6> kInterfaceTestBytes = {0x01, 0x02, 0x03, 0x04, 0xFE, 0xFF};

// A packet and its checksum must fit the units' 100-byte receive buffer.
inline constexpr std::size_t kMaxFrameBytes = 100;
// A roll-call answer with a length below this means "no unit" to the program.
inline constexpr int kMinRollCallLength = 10;

// A request packet with a correct checksum, split into its fields.
struct Request {
  int address = 0;
  int family = 0;
  int objectId = 0;
  int opcode = kNoOpcode;
  // Everything after the opcode: the element index byte of array objects, then the data.
  std::vector<uint8_t> payload;
};

// A unit's reply to a set or get. On the wire: the unit's address, its family code, status,
// length, object id, opcode, data and checksum. The first byte is the replying unit's own address,
// so that a captured trace shows who answered.
struct UnitReply {
  uint8_t status = 1;
  int objectId = 0;
  int opcode = 0;
  std::vector<uint8_t> data;
};

// A unit's answer to the roll-call query: a four-byte header (the query's broadcast address and
// family bytes, then status 1), the length of what follows up to the checksum, the unit's
// address, family code, model id and checksum.
struct RollCallAnswer {
  int length = 0;
  int address = 0;
  int family = 0;
  // Sends the family code in three 7-bit groups whatever its value.
  bool threeByteFamily = false;
  std::array<uint8_t, 8> modelId{};
};

// Wire bytes, checksum included.
std::vector<uint8_t> EncodeUnitReply(int unitAddress, int unitFamily, const UnitReply& reply);
std::vector<uint8_t> EncodeRollCallAnswer(const RollCallAnswer& answer);
// The length field a correct answer from this unit carries.
int RollCallLength(int family, bool threeByteFamily);

// Bytes from the address up to and including the length field, or 0 while `bytes` ends before
// the length field. The family code's value goes to `family` (0 for a broadcast).
std::size_t RequestHeaderBytes(std::span<const uint8_t> bytes, int& family);

// Splits a checksummed packet; nullopt when its fields run past its length or the checksum fails.
std::optional<Request> DecodeRequest(std::span<const uint8_t> frame);

}  // namespace sim
