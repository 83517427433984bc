#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "bus/CommPort.h"
#include "bus/IQDevice.h"
#include "bus/IQDeviceManager.h"
#include "bus/IQDeviceType.h"

// A port whose line answers every request with the next of the bytes given, then falls silent at
// once (no read waits), and one unit on it at address 5 of family 368.
class ScriptedBus {
 public:
  static constexpr uint32_t kFamilyCode = 368;
  // What the units on the line send back for the bytes the program wrote.
  using Answerer = std::function<std::vector<uint8_t>(std::span<const uint8_t> written)>;
  // What the bus and its line share: the bytes not read yet, the answerer.
  struct LineState;

  ScriptedBus();

  // The bytes the line answers with from now on, after whatever was not read yet.
  void Queue(std::span<const uint8_t> bytes);
  // From now on every write is answered by `answerer`, after whatever was not read yet.
  void AnswerWrites(Answerer answerer);

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

  std::shared_ptr<LineState> line_;
  CommPort port_;
  IQDeviceManager manager_{port_};
  UnitType type_;
  std::unique_ptr<IQDevice> unit_;
};
