#include "family3300/Copy3300.h"

#include "bus/IQException.h"
#include "family3300/Parameters3300.h"
#include "family3300/SettingsPutBack3300.h"

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

// The first bus failure of a copy; later ones only add to the damage it already explains.
class FirstFailure {
 public:
  // Whether `work` ran to its end.
  template <typename F>
  bool Catch(CopySteps& steps, F&& work) {
    try {
      work();
      return true;
    } catch (const IQException&) {
      if (!error_) {
        error_ = std::current_exception();
        device_ = steps.Failing();
      }
    }
    return false;
  }
  void RethrowIfAny() const {
    if (error_) std::rethrow_exception(error_);
  }
  IQDevice3300* Device() const { return device_; }

 private:
  std::exception_ptr error_;
  IQDevice3300* device_ = nullptr;
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
                     uint32_t memoryMask, NamesKept& names) {
  for (int number = 1; number <= kMemoryCount; ++number) {
    if (!InMask(memoryMask, number)) continue;
    const StringUCodeObject& name = MemoryName3300(number);
    const std::string text = steps.On(source, [&](IQDevice3300& unit) { return name.Read(unit); });
    steps.On(destination, [&](IQDevice3300& unit) { names.WriteMemoryName(unit, number, text); });
  }
  for (int number = 1; number <= kMemoryCount; ++number) {
    if (!InMask(memoryMask, number)) continue;
    steps.On(source, [&](IQDevice3300& unit) { unit.UseMemory(number, MemoryOperation::kRecall); });
    for (int channel = 0; channel < destination.ChannelCount(); ++channel) {
      CopyChannelMemory(steps, destination, source, channel);
    }
    steps.On(destination,
             [&](IQDevice3300& unit) { unit.UseMemory(number, MemoryOperation::kStore); });
    names.Stored(number);
  }
}

}  // namespace

void CopyMemories3300(IQDevice3300& destination, IQDevice3300& source, uint32_t memoryMask,
                      familycommon::ProgressReport* progress) {
  CopySteps steps;
  UnitState before;
  try {
    before = steps.On(source, ReadUnitState);
  } catch (const IQException&) {
    throw CopyFailure{&source, {std::current_exception(), true}};
  }
  FirstFailure failure;
  bool sourceRestored = true;
  // One wait for both units: a bus that stays silent is told of after one bound.
  familycommon::AnswerWait wait(progress, destination.GetAnswerBound());
  try {
    WriteWithPutBack(destination, wait, [&](NamesKept& names) {
      failure.Catch(steps, [&] { CopyMemoryLoops(steps, destination, source, memoryMask, names); });
      // The source goes back on its own: one that stopped answering must not keep the destination
      // from its put-back. Left on a recalled memory, it would play other settings than before.
      sourceRestored = failure.Catch(steps, [&] {
        steps.On(source, [&](IQDevice3300& unit) { PutUnitStateBack(unit, before, wait); });
      });
      failure.RethrowIfAny();
      steps.On(destination, [&](IQDevice3300& unit) {
        unit.SnapshotSettings(before.settings, SnapshotMode::kWrite);
      });
    });
  } catch (const familycommon::LoadFailure& outcome) {
    // A failure no step named was the destination's own: its snapshot or its last write.
    IQDevice3300* failed = failure.Device() != nullptr ? failure.Device() : &destination;
    throw CopyFailure{failed, outcome, sourceRestored};
  }
}

}  // namespace namespace3300
