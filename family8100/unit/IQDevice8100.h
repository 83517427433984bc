#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "bus/IQDevice.h"
#include "family8100/unit/ReadyWait.h"

namespace namespace8100 {

// Roll-call family codes of the four models.
inline constexpr uint32_t kTypeCodeBase = 368;
inline constexpr uint32_t kTypeCodePlus = 496;
inline constexpr uint32_t kTypeCodeX = 624;
inline constexpr uint32_t kTypeCodeRuneTide = 752;

// The text for an error code the unit sends; codes outside the units' table are named by number.
std::string ErrorText8100(int code);

// A unit of the older family, or a virtual one. Model gates test the type code, never the class.
// Opening, files, report and copy come later: they do nothing yet.
class IQDevice8100 : public IQDevice {
 public:
  IQDevice8100(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info)
      : IQDevice8100(type, manager, info, kTypeCodeBase) {}

  bool DoOpen(ui::Window* parent) override;
  bool LoadFile() override { return false; }
  bool SaveFile() override { return false; }
  bool PrintReport() override { return false; }
  bool CopyFrom(IQDevice& source) override;
  // Any model of either processor family at the same address and network.
  bool Matches(const IQDeviceInfo& info) const override;
  bool GetListText(std::string& text) const override;
  std::string GetErrorText(int code) const override { return ErrorText8100(code); }
  // A bus unit waits until it is ready before every write, and before it names a new filter's
  // slot; the port keeps its own reply time-out.
  void Write(const UCodeObject& object, std::span<const uint8_t> data, int timeoutMs) override;
  void Request(const UCodeObject& object, int timeoutMs) override;

  uint32_t TypeCode() const { return typeCode_; }
  bool HasDelay() const { return typeCode_ == kTypeCodePlus || typeCode_ == kTypeCodeX; }
  bool HasLimiter() const { return typeCode_ == kTypeCodeX; }
  bool HasNoise() const { return typeCode_ == kTypeCodeRuneTide; }
  // Units from firmware 1.1 on, and virtual units, delete all their filters with one command.
  bool DeletesAllAtOnce() const { return deletesAllAtOnce_; }
  void SetReadyBound(ReadyBound bound) { readyBound_ = std::move(bound); }

 protected:
  IQDevice8100(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info,
               uint32_t typeCode);

 private:
  // The values a new virtual unit starts with.
  void InitVirtualUnit();

  uint32_t typeCode_;
  bool waitsForReady_;
  bool deletesAllAtOnce_ = true;
  ReadyBound readyBound_;
};

class IQDevice8100Plus : public IQDevice8100 {
 public:
  IQDevice8100Plus(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info)
      : IQDevice8100(type, manager, info, kTypeCodePlus) {}

 protected:
  using IQDevice8100::IQDevice8100;
};

class IQDevice8100X : public IQDevice8100Plus {
 public:
  IQDevice8100X(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info)
      : IQDevice8100Plus(type, manager, info, kTypeCodeX) {}
};

class IQDevice8100RT : public IQDevice8100 {
 public:
  IQDevice8100RT(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info)
      : IQDevice8100(type, manager, info, kTypeCodeRuneTide) {}
};

}  // namespace namespace8100
