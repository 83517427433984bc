#pragma once

#include <cstdint>
#include <span>
#include <vector>

class IQDevice;
// A request the unit keeps refusing (its reply status is not "accepted") is given up on after this
// many replies, with `DeviceBusy`.
inline constexpr int kMaxNotAcceptedReplies = 20;

class UCodeObject;

// Where a device's values go: the bus (`UCodeEncoder`) or the device's own store (`UCodeHeap`).
// Each socket remembers the device and object of its last set or get for error reports.
class IQDataSocket {
 public:
  virtual ~IQDataSocket() = default;

  // Stores or sends one value: the element `object` selects. A positive `timeoutMs` overrides the
  // reply time-out for this request.
  virtual void Set(IQDevice& device, const UCodeObject& object, std::span<const uint8_t> data,
                   int timeoutMs) = 0;
  // Asks for one value; `Receive` collects it.
  virtual void Get(IQDevice& device, const UCodeObject& object, int timeoutMs) = 0;
  // Replaces `data` with the value asked for; false when it must be asked for again.
  virtual bool Receive(std::vector<uint8_t>& data) = 0;
  // Discards pending input.
  virtual void Flush(int timeoutMs) = 0;

  IQDevice* LastDevice() const { return lastDevice_; }
  const UCodeObject* LastObject() const { return lastObject_; }

 protected:
  void Remember(IQDevice& device, const UCodeObject& object) {
    lastDevice_ = &device;
    lastObject_ = &object;
  }

 private:
  IQDevice* lastDevice_ = nullptr;
  const UCodeObject* lastObject_ = nullptr;
};
