#pragma once

#include <cstdint>
#include <span>

class UCodePacket;

// Receives a copy of all bus traffic for display. Masked stretches mark routine traffic (meter
// polling) that the monitor may choose to hide.
class ComMonitor {
 public:
  virtual ~ComMonitor() = default;

  virtual void LogSentPacket(const UCodePacket& packet) = 0;
  virtual void LogReceivedPacket(const UCodePacket& packet) = 0;
  virtual void LogSentBytes(std::span<const uint8_t> bytes) = 0;
  virtual void LogReceivedBytes(std::span<const uint8_t> bytes) = 0;
  virtual void BeginMask() = 0;
  virtual void EndMask() = 0;
};
