#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <span>

#include "bus/CommPort.h"
#include "bus/IQDevice.h"
#include "bus/IQDeviceManager.h"
#include "bus/IQDeviceType.h"

// A port whose line answers every request with the next of the bytes given, then falls silent at
// once (no read waits), and one unit on it at address 5 of family 368.
class ScriptedBus {
 public:
  static constexpr uint32_t kFamilyCode = 368;

  ScriptedBus();

  // The bytes the line answers with from now on, after whatever was not read yet.
  void Queue(std::span<const uint8_t> bytes);

  CommPort& Port() { return port_; }
  IQDeviceManager& Manager() { return manager_; }
  IQDeviceType& Type() { return type_; }
  IQDevice& Unit() { return *unit_; }

 private:
  class UnitType : public IQDeviceType {
   public:
    IQDevice* CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) override;
    std::string GetName() const override { return "Fuzzed unit"; }
  };

  std::shared_ptr<std::deque<uint8_t>> input_;
  CommPort port_;
  IQDeviceManager manager_{port_};
  UnitType type_;
  std::unique_ptr<IQDevice> unit_;
};
