#include "bus/ReplyFrame.h"

#include "bus/IQException.h"
#include "bus/UCodeEncoder.h"

bool ReplyOrigin::FromErrorObject() const { return objectId == UCodeEncoder::kErrorObjectId; }

ReplyFrame ReadReplyFrame(uint8_t address, const std::function<uint8_t()>& next) {
  ReplyFrame frame;
  const auto read = [&] {
    const uint8_t byte = next();
    frame.packet.AppendByte(byte);
    return byte;
  };
  frame.packet.AppendByte(address);
  frame.origin.address = address;
  if (address == UCodeEncoder::kBroadcastAddress) {
    read();
    read();
  } else {
    const int b1 = read();
    frame.origin.family = static_cast<uint32_t>(b1 & 0x7F);
    if (b1 & 0x80) frame.origin.family |= static_cast<uint32_t>(read() & 0x7F) << 7;
  }
  frame.status = read();
  std::size_t remaining = read();
  if (frame.packet.Size() + remaining > UCodePacket::kMaxBytes) throw ReplyTooLong();
  if (remaining > 0) {
    const int b1 = read();
    --remaining;
    frame.origin.objectId = b1 & 0x7F;
    if ((b1 & 0x80) && remaining > 0) {
      frame.origin.objectId |= (read() & 0x7F) << 7;
      --remaining;
    }
  }
  if (remaining > 0) {
    frame.origin.opcode = read();
    --remaining;
  }
  for (; remaining > 0; --remaining) frame.value.push_back(read());
  frame.checksumOk = next() == frame.packet.Checksum();
  return frame;
}
