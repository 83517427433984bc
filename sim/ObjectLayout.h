#pragma once

namespace sim {

// One addressable parameter in a simulated unit's object table.
struct ObjectLayout {
  int id = 0;
  // Bytes per element; a get answers with all of them.
  int elementSize = 1;
  // Elements; more than one makes an array whose requests carry an element index byte.
  int count = 1;
  // The unit changes the value by itself (meters, states); tests change it through
  // `SimulatedBus::StoreElement`. Carried so family models can mirror the program's tables.
  bool isVolatile = false;
};

}  // namespace sim
