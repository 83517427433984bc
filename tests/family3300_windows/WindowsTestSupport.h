#pragma once

// The graphic-equaliser family's windows against units on the simulated bus, with the transfers
// they send written as "W0D 01" (write 01 to object 0x0D) and "R1D" (read object 0x1D).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"
#include "family3300/IQDevice3300.h"
#include "family3300/Types3300.h"
#include "sim/SimulatedBus.h"
#include "tests/bus/BusTestSupport.h"

namespace windows3300 {

// The failures the family's windows reported, by their texts.
std::vector<std::string>& ReportedErrors();

class Bus3300 {
 public:
  Bus3300();
  ~Bus3300();

  // A simulated unit named "STAGE" with the password "ABC123", of the two-channel model or
  // not, with firmware `firmware` ("01.20"), found by a roll call.
  namespace3300::IQDevice3300* AddUnit(int address, bool twoChannel,
                                       const std::string& firmware = "01.20");
  std::vector<std::string> TakeTrace();
  void Store(int address, int objectId, const std::vector<uint8_t>& bytes);
  uint8_t Byte(int address, int objectId) const;

  sim::SimulatedBus bus;
  CommPort port;
  IQDeviceManager manager;
  bustest::RecordingNotifier notifier;
  namespace3300::IQ3300Type oneChannelType;
  namespace3300::IQ33002Type twoChannelType;

 private:
  std::vector<int> addresses_;
};

// The bytes of a text as an object holds them: its characters, zero-filled to 15.
std::vector<uint8_t> TextBytes(const std::string& text);

}  // namespace windows3300
