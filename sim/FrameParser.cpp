#include "sim/FrameParser.h"

#include <algorithm>

#include "bus/UCodePacket.h"
#include "sim/WireFormat.h"

namespace sim {
namespace {

constexpr std::size_t kInterfaceCommandBytes = 2;

}  // namespace

std::optional<Frame> FrameParser::Next() {
  if (pending_.empty()) return std::nullopt;

  if (pending_[0] == kInterfaceCommandByte) {
    if (pending_.size() < kInterfaceCommandBytes) return std::nullopt;
    return Take(FrameKind::kInterfaceCommand, kInterfaceCommandBytes);
  }

  const std::size_t testPrefix = std::min(pending_.size(), kInterfaceTestBytes.size());
  if (std::equal(pending_.begin(), pending_.begin() + testPrefix, kInterfaceTestBytes.begin())) {
    if (testPrefix < kInterfaceTestBytes.size()) return std::nullopt;
    return Take(FrameKind::kInterfaceTest, kInterfaceTestBytes.size());
  }

  int family = 0;
  const std::size_t header = RequestHeaderBytes(pending_, family);
  if (header == 0) return std::nullopt;
  const std::size_t total = header + pending_[header - 1] + 1;
  if (total > kMaxFrameBytes) return Take(FrameKind::kUnparsable, pending_.size());
  if (pending_.size() < total) return std::nullopt;
  const auto frame = std::span(pending_).first(total);
  const bool checksumGood = ChecksumOf(frame.first(total - 1)) == frame.back();
  return Take(checksumGood ? FrameKind::kPacket : FrameKind::kUnparsable, total);
}

std::optional<Frame> FrameParser::DropPartial() {
  if (pending_.empty()) return std::nullopt;
  return Take(FrameKind::kUnparsable, pending_.size());
}

Frame FrameParser::Take(FrameKind kind, std::size_t count) {
  Frame frame{kind, std::vector<uint8_t>(pending_.begin(), pending_.begin() + count)};
  pending_.erase(pending_.begin(), pending_.begin() + count);
  return frame;
}

}  // namespace sim
