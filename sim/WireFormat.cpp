#include "sim/WireFormat.h"

#include "bus/UCodePacket.h"

namespace sim {
namespace {

// The roll-call answer's header repeats the query's broadcast address and family bytes.
constexpr std::array<uint8_t, 3> kRollCallHeaderBytes = {
    kBroadcastAddress, kBroadcastFamilyBytes[0], kBroadcastFamilyBytes[1]};
constexpr uint8_t kStatusAccepted = 1;
constexpr int kModelIdBytes = 8;

void AppendFamily(UCodePacket& packet, int family, bool threeGroups) {
  if (!threeGroups) {
    packet.AppendVarint(family);
    return;
  }
  packet.AppendByte(static_cast<uint8_t>((family & 0x7F) | 0x80));
  packet.AppendByte(static_cast<uint8_t>(((family >> 7) & 0x7F) | 0x80));
  packet.AppendByte(static_cast<uint8_t>((family >> 14) & 0x7F));
}

}  // namespace

std::vector<uint8_t> EncodeUnitReply(int unitAddress, int unitFamily, const UnitReply& reply) {
  UCodePacket packet;
  packet.AppendByte(static_cast<uint8_t>(unitAddress));
  packet.AppendVarint(unitFamily);
  packet.AppendByte(reply.status);
  const std::size_t length = VarintLength(reply.objectId) + 1 + reply.data.size();
  packet.AppendByte(static_cast<uint8_t>(length));
  packet.AppendVarint(reply.objectId);
  packet.AppendByte(static_cast<uint8_t>(reply.opcode));
  for (uint8_t byte : reply.data) packet.AppendByte(byte);
  return packet.WireBytes();
}

int RollCallLength(int family, bool threeByteFamily) {
  return 1 + (threeByteFamily ? 3 : VarintLength(family)) + kModelIdBytes;
}

std::vector<uint8_t> EncodeRollCallAnswer(const RollCallAnswer& answer) {
  UCodePacket packet;
  for (uint8_t byte : kRollCallHeaderBytes) packet.AppendByte(byte);
  packet.AppendByte(kStatusAccepted);
  packet.AppendByte(static_cast<uint8_t>(answer.length));
  packet.AppendByte(static_cast<uint8_t>(answer.address));
  AppendFamily(packet, answer.family, answer.threeByteFamily);
  for (uint8_t byte : answer.modelId) packet.AppendByte(byte);
  return packet.WireBytes();
}

std::size_t RequestHeaderBytes(std::span<const uint8_t> bytes, int& family) {
  family = 0;
  if (bytes.empty()) return 0;
  std::size_t familyBytes = kBroadcastFamilyBytes.size();
  if (bytes[0] != kBroadcastAddress) {
    familyBytes = static_cast<std::size_t>(DecodeVarint(bytes.subspan(1), family));
    if (familyBytes == 0) return 0;
  }
  const std::size_t header = 1 + familyBytes + 1;
  return bytes.size() < header ? 0 : header;
}

std::optional<Request> DecodeRequest(std::span<const uint8_t> frame) {
  if (frame.size() < 4 || ChecksumOf(frame.first(frame.size() - 1)) != frame.back()) {
    return std::nullopt;
  }
  Request request;
  request.address = frame[0];
  const std::size_t header = RequestHeaderBytes(frame, request.family);
  if (header == 0 || header + frame[header - 1] + 1 != frame.size()) return std::nullopt;

  const auto body = frame.subspan(header, frame[header - 1]);
  const int idBytes = DecodeVarint(body, request.objectId);
  if (idBytes == 0) return std::nullopt;
  if (static_cast<std::size_t>(idBytes) < body.size()) {
    request.opcode = body[idBytes];
    request.payload.assign(body.begin() + idBytes + 1, body.end());
  }
  return request;
}

}  // namespace sim
