#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "family3300/IQDevice3300.h"
#include "familycommon/AnswerWait.h"

namespace namespace3300 {

// What a unit plays: the memory its number selects and its current settings.
struct UnitState {
  uint8_t memory = 0;
  SettingsImage settings{};
  bool operator==(const UnitState&) const = default;
};

UnitState ReadUnitState(IQDevice3300& device);

// Gives the unit `state` back through `wait`, its memory number first; `numberBack`, when given,
// is set once the unit has taken the number.
void PutUnitStateBack(IQDevice3300& device, const UnitState& state, familycommon::AnswerWait& wait,
                      bool* numberBack = nullptr);

// The names a command wrote over, each kept until the command no longer needs it put back: the
// unit's name, and a memory's name until the memory is stored with the settings that go with it.
class NamesKept {
 public:
  void WriteUnitName(IQDevice3300& device, const std::string& name);
  void WriteMemoryName(IQDevice3300& device, int number, const std::string& name);
  void Stored(int number);
  void PutBack(IQDevice3300& device) const;

 private:
  std::optional<std::string> unitName_;
  std::vector<std::pair<int, std::string>> memoryNames_;
};

// Runs `writes`, which change the unit's current settings, its stored memories and, through the
// NamesKept they are given, names, having read its current settings first. A bus failure part way
// (of this unit, or of the unit the settings come from) puts the current settings and the kept
// names back and throws familycommon::LoadFailure, whose `restored` says whether they are back. A
// unit that fell silent is waited for within `wait` and put back once it answers. Stored memories
// keep what was written.
void WriteWithPutBack(IQDevice3300& device, familycommon::AnswerWait& wait,
                      const std::function<void(NamesKept&)>& writes);

// Runs `putBack`, writes that give the unit what it held, through `wait`, polling the unit's lock
// while it is silent; throws the last failure when the unit refuses them or stays silent past the
// wait's bound.
void PutBack3300(IQDevice3300& device, familycommon::AnswerWait& wait,
                 const std::function<void()>& putBack);

}  // namespace namespace3300
