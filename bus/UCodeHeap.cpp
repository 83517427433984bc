#include "bus/UCodeHeap.h"

#include <algorithm>

#include "bus/IQException.h"
#include "bus/UCodeObject.h"

std::span<uint8_t> UCodeHeap::Element(const UCodeObject& object) {
  const auto size = static_cast<std::size_t>(object.ElementSize());
  const auto offset = static_cast<std::size_t>(object.GetElement()) * size;
  auto& buffer = buffers_[object.GetId()];
  // The selected element always lies within the object's count.
  const auto needed = size * static_cast<std::size_t>(object.GetCount());
  if (buffer.size() < needed) buffer.resize(needed, 0);
  return std::span<uint8_t>(buffer).subspan(offset, size);
}

void UCodeHeap::Set(IQDevice& device, const UCodeObject& object, std::span<const uint8_t> data,
                    int) {
  Remember(device, object);
  const auto element = Element(object);
  if (data.size() > element.size()) throw ValueTooLong();
  const auto tail = std::copy(data.begin(), data.end(), element.begin());
  std::fill(tail, element.end(), 0);
}

void UCodeHeap::Get(IQDevice& device, const UCodeObject& object, int) {
  Remember(device, object);
  const auto element = Element(object);
  lastRead_.assign(element.begin(), element.end());
}

bool UCodeHeap::Receive(std::vector<uint8_t>& data) {
  data = lastRead_;
  return true;
}

void UCodeHeap::SetObjectCount(int objectCount) { buffers_.DropFrom(objectCount); }
