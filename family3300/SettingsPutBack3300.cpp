#include "family3300/SettingsPutBack3300.h"

#include <algorithm>

#include "bus/IQException.h"
#include "family3300/Parameters3300.h"
#include "familycommon/LoadFailure.h"

namespace namespace3300 {

UnitState ReadUnitState(IQDevice3300& device) {
  UnitState state{.memory = g3300MemoryNumber.Read(device)};
  device.SnapshotSettings(state.settings, SnapshotMode::kRead);
  return state;
}

void PutUnitStateBack(IQDevice3300& device, const UnitState& state, familycommon::AnswerWait& wait,
                      bool* numberBack) {
  SettingsImage settings = state.settings;
  PutBack3300(device, wait, [&] {
    g3300MemoryNumber.Write(device, state.memory);
    if (numberBack != nullptr) *numberBack = true;
    device.SnapshotSettings(settings, SnapshotMode::kWrite);
  });
}

void NamesKept::WriteUnitName(IQDevice3300& device, const std::string& name) {
  // The first name read is the unit's own; later ones were written by the command.
  if (!unitName_) unitName_ = g3300UnitName.Read(device);
  g3300UnitName.Write(device, name);
}

void NamesKept::WriteMemoryName(IQDevice3300& device, int number, const std::string& name) {
  const StringUCodeObject& object = MemoryName3300(number);
  if (std::ranges::find(memoryNames_, number, &std::pair<int, std::string>::first) ==
      memoryNames_.end()) {
    memoryNames_.emplace_back(number, object.Read(device));
  }
  object.Write(device, name);
}

void NamesKept::Stored(int number) {
  std::erase_if(memoryNames_, [number](const auto& kept) { return kept.first == number; });
}

void NamesKept::PutBack(IQDevice3300& device) const {
  if (unitName_) g3300UnitName.Write(device, *unitName_);
  for (const auto& [number, name] : memoryNames_) MemoryName3300(number).Write(device, name);
}

void PutBack3300(IQDevice3300& device, familycommon::AnswerWait& wait,
                 const std::function<void()>& putBack) {
  wait.PutBack(device, putBack, [&] { device.IsLocked(); });
}

void WriteWithPutBack(IQDevice3300& device, familycommon::AnswerWait& wait,
                      const std::function<void(NamesKept&)>& writes) {
  SettingsImage current{};
  NamesKept names;
  bool taken = false;
  try {
    device.SnapshotSettings(current, SnapshotMode::kRead);
    taken = true;
    writes(names);
  } catch (const IQException&) {
    const std::exception_ptr error = std::current_exception();
    // Before the snapshot nothing was written.
    bool restored = true;
    if (taken) {
      try {
        PutBack3300(device, wait, [&] {
          device.SnapshotSettings(current, SnapshotMode::kWrite);
          names.PutBack(device);
        });
      } catch (const IQException&) {
        restored = false;
      }
    }
    throw familycommon::LoadFailure{error, restored};
  }
}

}  // namespace namespace3300
