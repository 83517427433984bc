#include "bus/UCodeObject.h"

#include <algorithm>
#include <bit>

#include "bus/IQDevice.h"
#include "bus/IQException.h"

UCodeObject::UCodeObject(int id, int count, bool isVolatile)
    : count_(std::max(count, 1)), volatile_(isVolatile), id_(id) {}

void UCodeObject::SetId(int id, bool isVolatile) {
  id_ = id;
  if (isVolatile) volatile_ = true;
}

void UCodeObject::SetElement(int element) { element_ = std::clamp(element, 0, count_ - 1); }

uint8_t ByteUCodeObject::Read(IQDevice& device, int timeoutMs) const {
  const auto data = device.ReadValue(*this, timeoutMs);
  if (data.empty()) throw NoData();
  return data[0];
}

void ByteUCodeObject::Write(IQDevice& device, uint8_t value, int timeoutMs) const {
  const uint8_t data[] = {value};
  device.Write(*this, data, timeoutMs);
}

bool BoolUCodeObject::Read(IQDevice& device, int timeoutMs) const {
  const auto data = device.ReadValue(*this, timeoutMs);
  if (data.empty()) throw NoData();
  return data[0] != 0;
}

void BoolUCodeObject::Write(IQDevice& device, bool value, int timeoutMs) const {
  const uint8_t data[] = {static_cast<uint8_t>(value ? 1 : 0)};
  device.Write(*this, data, timeoutMs);
}

uint32_t FourByteUCodeObject::ReadBits(IQDevice& device) const {
  const auto data = device.ReadValue(*this, 0);
  if (data.empty()) throw NoData();
  if (data.size() < 4) throw ShortReply();
  return uint32_t{data[0]} << 24 | uint32_t{data[1]} << 16 | uint32_t{data[2]} << 8 | data[3];
}

void FourByteUCodeObject::WriteBits(IQDevice& device, uint32_t bits) const {
  const uint8_t data[] = {static_cast<uint8_t>(bits >> 24), static_cast<uint8_t>(bits >> 16),
                          static_cast<uint8_t>(bits >> 8), static_cast<uint8_t>(bits)};
  device.Write(*this, data, 0);
}

float FloatUCodeObject::Read(IQDevice& device) const {
  return std::bit_cast<float>(ReadBits(device));
}

void FloatUCodeObject::Write(IQDevice& device, float value) const {
  WriteBits(device, std::bit_cast<uint32_t>(value));
}

StringUCodeObject::StringUCodeObject(int id, int count, bool isVolatile, bool terminator,
                                     int elementSize)
    : UCodeObject(id, count, isVolatile), terminator_(terminator), elementSize_(elementSize) {}

std::string StringUCodeObject::Read(IQDevice& device, int length) const {
  const auto data = device.ReadValue(*this, 0);
  auto end = std::find(data.begin(), data.end(), 0);
  if (length > 0 && end - data.begin() > length) end = data.begin() + length;
  return std::string(data.begin(), end);
}

void StringUCodeObject::Write(IQDevice& device, const std::string& text, int length) const {
  std::string_view chars(text.c_str());
  if (length > 0) chars = chars.substr(0, static_cast<std::size_t>(length));
  std::vector<uint8_t> data(chars.begin(), chars.end());
  if (terminator_) data.push_back(0);
  if (data.size() > static_cast<std::size_t>(elementSize_)) throw ValueTooLong();
  device.Write(*this, data, 0);
}
