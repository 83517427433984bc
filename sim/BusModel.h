#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "sim/BusSettings.h"
#include "sim/FaultScript.h"
#include "sim/FrameParser.h"
#include "sim/Transmission.h"
#include "sim/Unit.h"

namespace sim {

// The interface and the units behind it, without any I/O: a frame from the program goes in, what
// the interface or a unit sends back comes out, with the scripted faults applied.
class BusModel {
 public:
  int AddUnit(std::unique_ptr<Unit> unit);
  // Throws std::out_of_range for an index AddUnit never returned.
  Unit& UnitAt(int index);
  const Unit& UnitAt(int index) const;

  void SetInterfaceMode(InterfaceMode mode) { mode_ = mode; }
  InterfaceMode Mode() const { return mode_; }
  int SelectedNetwork() const { return selectedNetwork_; }
  FaultScript& Faults() { return faults_; }

  Transmission Handle(const Frame& frame);

 private:
  struct Slot {
    std::unique_ptr<Unit> unit;
    bool acknowledged = false;
  };
  // The unit that answered the last roll-call query, as it named itself.
  struct LastAnswer {
    Slot* slot = nullptr;
    int address = 0;
    int family = 0;
  };

  std::vector<uint8_t> HandleInterfaceCommand(uint8_t command);
  Transmission HandleRequest(const Request& request);
  bool Reachable(const Slot& slot) const;
  void RestartRollCall();
  Transmission AnswerQuery(const Request& request);
  void Acknowledge(const Request& request);
  Transmission AnswerUnitRequest(const Request& request);
  std::optional<Transmission> AnswerNetworkRequest(const Request& request);

  std::vector<Slot> slots_;
  InterfaceMode mode_ = InterfaceMode::kPlain;
  int selectedNetwork_ = 1;
  std::optional<LastAnswer> lastAnswer_;
  FaultScript faults_;
};

}  // namespace sim
