#include "familyov/unit/UnitGlobals.h"

#include <algorithm>

namespace namespaceOV {

Globals GlobalsOf(IQDeviceOrdavinex& device) {
  Globals globals;
  for (int m = 0; m < device.GetMemoryCount(); ++m) {
    gMemoryNameObject.SetElement(m);
    globals.memoryNames.push_back(gMemoryNameObject.Read(device));
  }
  for (int n = 1; n < kLogicInputCount; ++n) {
    gLogicMemoryObject.SetElement(n);
    globals.logic[n].memory = gLogicMemoryObject.Read(device);
    gLogicOutObject.SetElement(n);
    globals.logic[n].output = gLogicOutObject.Read(device);
  }
  globals.delayUnits = gDelayUnitsObject.Read(device);
  for (const int c : device.ChannelIndexes()) {
    gChannelNameObject.SetElement(c);
    globals.channelNames.push_back(gChannelNameObject.Read(device));
  }
  return globals;
}

std::vector<int> WriteGlobals(IQDeviceOrdavinex& device, const Globals& globals) {
  const int memories = device.GetMemoryCount();
  const std::size_t names =
      std::min(globals.memoryNames.size(), static_cast<std::size_t>(memories));
  for (std::size_t m = 0; m < names; ++m) {
    gMemoryNameObject.SetElement(static_cast<int>(m));
    gMemoryNameObject.Write(device, globals.memoryNames[m]);
  }
  std::vector<int> recallingNone;
  for (int n = 1; n < kLogicInputCount; ++n) {
    uint8_t memory = globals.logic[n].memory;
    if (memory > memories) {
      memory = 0;
      recallingNone.push_back(n);
    }
    gLogicMemoryObject.SetElement(n);
    gLogicMemoryObject.Write(device, memory);
    gLogicOutObject.SetElement(n);
    gLogicOutObject.Write(device, globals.logic[n].output);
  }
  gDelayUnitsObject.Write(device, globals.delayUnits);
  const std::vector<int> channels = device.ChannelIndexes();
  for (std::size_t c = 0; c < globals.channelNames.size() && c < channels.size(); ++c) {
    gChannelNameObject.SetElement(channels[c]);
    gChannelNameObject.Write(device, globals.channelNames[c]);
  }
  return recallingNone;
}

std::string ClearedLogicText(const std::vector<int>& inputs, int memories) {
  if (inputs.empty()) return {};
  const bool one = inputs.size() == 1;
  std::string text = one ? "Logic input " : "Logic inputs ";
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (i > 0) text += i + 1 == inputs.size() ? " and " : ", ";
    text += std::to_string(inputs[i]);
  }
  return text + (one ? " was" : " were") + " set to recall no memory, as the unit has " +
         std::to_string(memories) + " memories.";
}

std::vector<TTimerStruct> EventsOf(IQDeviceOrdavinex& device) {
  std::vector<TTimerStruct> events(kTimerEventSlots);
  for (int slot = 0; slot < kTimerEventSlots; ++slot) {
    TTimerStruct& event = events[static_cast<std::size_t>(slot)];
    event.slot = slot;
    gTimerEventObject.SetElement(slot);
    gTimerEventObject.ReadTimerEvent(device, event);
  }
  return events;
}

void WriteEvents(IQDeviceOrdavinex& device, const std::vector<TTimerStruct>& events) {
  device.SetTimerEvents(events);
  for (int i = 0; i < static_cast<int>(events.size()); ++i) {
    gTimerEventObject.SetElement(i);
    gTimerEventObject.WriteTimerEvent(device, events[static_cast<std::size_t>(i)]);
  }
}

}  // namespace namespaceOV
