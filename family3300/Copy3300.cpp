#include "family3300/Copy3300.h"

#include "bus/IQException.h"
#include "family3300/Parameters3300.h"

namespace namespace3300 {

namespace {

// Runs the bus work, naming the unit each step talks to so that a failure can say which failed.
class CopySteps {
 public:
  template <typename F>
  auto On(IQDevice3300& device, F&& step) {
    failing_ = &device;
    return step(device);
  }
  IQDevice3300* Failing() const { return failing_; }

 private:
  IQDevice3300* failing_ = nullptr;
};

bool InMask(uint32_t mask, int number) { return (mask & (1u << (number - 1))) != 0; }

void CopyChannelMemory(CopySteps& steps, IQDevice3300& destination, IQDevice3300& source,
                       int channel) {
  const ChannelObjects& objects = Channel3300(channel);
  auto copy = [&](const ByteUCodeObject& object) {
    const uint8_t value = steps.On(source, [&](IQDevice3300& unit) { return object.Read(unit); });
    steps.On(destination, [&](IQDevice3300& unit) { object.Write(unit, value); });
  };
  for (const ByteUCodeObject& band : objects.bands) copy(band);
  copy(objects.hpf);
  copy(objects.lpf);
  copy(objects.gain);
}

void CopyMemoryLoops(CopySteps& steps, IQDevice3300& destination, IQDevice3300& source,
                     uint32_t memoryMask) {
  for (int number = 1; number <= kMemoryCount; ++number) {
    if (!InMask(memoryMask, number)) continue;
    const StringUCodeObject& name = MemoryName3300(number);
    const std::string text = steps.On(source, [&](IQDevice3300& unit) { return name.Read(unit); });
    steps.On(destination, [&](IQDevice3300& unit) { name.Write(unit, text); });
  }
  for (int number = 1; number <= kMemoryCount; ++number) {
    if (!InMask(memoryMask, number)) continue;
    steps.On(source, [&](IQDevice3300& unit) { unit.UseMemory(number, MemoryOperation::kRecall); });
    for (int channel = 0; channel < destination.ChannelCount(); ++channel) {
      CopyChannelMemory(steps, destination, source, channel);
    }
    steps.On(destination,
             [&](IQDevice3300& unit) { unit.UseMemory(number, MemoryOperation::kStore); });
  }
}

}  // namespace

void CopyMemories3300(IQDevice3300& destination, IQDevice3300& source, uint32_t memoryMask) {
  CopySteps steps;
  SettingsImage current{};
  std::exception_ptr loopFailure;
  IQDevice3300* loopFailing = nullptr;
  try {
    steps.On(source,
             [&](IQDevice3300& unit) { unit.SnapshotSettings(current, SnapshotMode::kRead); });
    try {
      CopyMemoryLoops(steps, destination, source, memoryMask);
    } catch (const IQException&) {
      loopFailure = std::current_exception();
      loopFailing = steps.Failing();
    }
    steps.On(source,
             [&](IQDevice3300& unit) { unit.SnapshotSettings(current, SnapshotMode::kWrite); });
    steps.On(destination,
             [&](IQDevice3300& unit) { unit.SnapshotSettings(current, SnapshotMode::kWrite); });
  } catch (const IQException&) {
    throw CopyFailure{steps.Failing(), std::current_exception()};
  }
  if (loopFailure) throw CopyFailure{loopFailing, loopFailure};
}

}  // namespace namespace3300
