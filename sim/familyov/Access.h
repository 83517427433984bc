#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sim::familyov {

// One set or get of an element, its index byte already taken from the payload.
struct Access {
  int objectId = 0;
  int index = 0;
  std::span<const uint8_t> data;
};

// What a special object answers: the data of a get (nothing for a set), or the unit's error code.
struct Outcome {
  std::optional<uint8_t> error;
  std::vector<uint8_t> data;

  static Outcome Done(std::vector<uint8_t> data = {}) { return {std::nullopt, std::move(data)}; }
  static Outcome Fail(uint8_t code) { return {code, {}}; }
};

// Four bytes, most significant first, as words travel on the wire.
inline std::vector<uint8_t> WordBytes(uint32_t word) {
  return {static_cast<uint8_t>(word >> 24), static_cast<uint8_t>(word >> 16),
          static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word)};
}

// The value of four bytes, most significant first; the caller has checked there are four.
inline uint32_t WordOf(std::span<const uint8_t> bytes) {
  return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

}  // namespace sim::familyov
