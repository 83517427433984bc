#include "tests/familyov_files/UnitState.h"

#include <gtest/gtest.h>

#include "bus/SettingsTextFile.h"
#include "familycommon/LoadFailure.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/SettingsFile.h"
#include "familyov/unit/SettingsImage.h"

namespace filestest {

using namespace namespaceOV;

namespace {

constexpr int kChangedEvent = 2;

}  // namespace

UnitState StateOf(IQDeviceOrdavinex& unit) {
  unit.InvalidateValues();
  UnitState state;
  for (int m = 0; m < unit.GetMemoryCount(); ++m) {
    gMemoryNameObject.SetElement(m);
    state.names.push_back(gMemoryNameObject.Read(unit));
  }
  for (const int c : unit.ChannelIndexes()) {
    gChannelNameObject.SetElement(c);
    state.names.push_back(gChannelNameObject.Read(unit));
  }
  for (int n = 1; n < kLogicInputCount; ++n) {
    gLogicMemoryObject.SetElement(n);
    state.logic.push_back(gLogicMemoryObject.Read(unit));
    gLogicOutObject.SetElement(n);
    state.logic.push_back(gLogicOutObject.Read(unit));
  }
  state.delayUnits = gDelayUnitsObject.Read(unit);
  if (unit.UpdateClockPresence()) {
    for (int slot = 0; slot < kTimerEventSlots; ++slot) {
      TTimerStruct event;
      gTimerEventObject.SetElement(slot);
      gTimerEventObject.ReadTimerEvent(unit, event);
      state.events.push_back({event.day, event.hour, event.minute, event.logic});
    }
  }
  SettingsImage image(ReadImageLength(unit));
  ReadMemoryImage(unit, 0, image);
  state.current.assign(image.Words().begin(), image.Words().end());
  return state;
}

void PrintTo(const UnitState& state, std::ostream* out) {
  *out << "names";
  for (const std::string& name : state.names) *out << " '" << name << "'";
  *out << "\nlogic";
  for (const int entry : state.logic) *out << ' ' << entry;
  *out << "\ndelay unit " << state.delayUnits << "\nevents";
  for (const auto& event : state.events) {
    *out << ' ' << event[0] << '/' << event[1] << ':' << event[2] << '>' << event[3];
  }
  *out << "\ncurrent" << std::hex;
  for (const uint32_t word : state.current) *out << ' ' << word;
  *out << std::dec << '\n';
}

void SetState(IQDeviceOrdavinex& unit, const std::string& name, int logicMemory, float level) {
  gMemoryNameObject.SetElement(3);
  gMemoryNameObject.Write(unit, name);
  gChannelNameObject.SetElement(unit.ChannelIndexes().back());
  gChannelNameObject.Write(unit, name);
  gLogicMemoryObject.SetElement(5);
  gLogicMemoryObject.Write(unit, static_cast<uint8_t>(logicMemory));
  gLogicOutObject.SetElement(5);
  gLogicOutObject.Write(unit, static_cast<uint8_t>(logicMemory + 1));
  if (unit.UpdateClockPresence()) {
    gTimerEventObject.SetElement(kChangedEvent);
    gTimerEventObject.WriteTimerEvent(
        unit, {.day = 2, .hour = logicMemory, .minute = 30, .logic = logicMemory});
  }
  gChannelLevelObject.SetElement(1);
  gChannelLevelObject.Write(unit, level);
}

void SaveSettingsFile(namespaceOV::IQDeviceOrdavinex& unit, const std::string& path) {
  SettingsTextFile out;
  ASSERT_TRUE(out.Open(path, SettingsTextFile::kWrite));
  namespaceOV::WriteSettingsFile(unit, out, nullptr);
  ASSERT_TRUE(out.Close());
}

std::vector<std::vector<uint32_t>> MemoriesOf(IQDeviceOrdavinex& unit) {
  std::vector<std::vector<uint32_t>> memories;
  SettingsImage image(ReadImageLength(unit));
  for (int m = 1; m <= unit.GetMemoryCount(); ++m) {
    ReadMemoryImage(unit, m, image);
    memories.emplace_back(image.Words().begin(), image.Words().end());
  }
  return memories;
}

namespace {

using Part = familycommon::LoadProgress::Part;

UnitState GlobalsOf(UnitState state) {
  state.current.clear();
  return state;
}

// Where `part` says the unit holds what it had or what was loaded, whether it does.
::testing::AssertionResult PartHolds(const char* what, Part part, const UnitState& now,
                                     const UnitState& before, const UnitState& loaded) {
  if (part == Part::kPartly || now == (part == Part::kWhole ? loaded : before)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << what << " are not " << (part == Part::kWhole ? "as loaded" : "as they were") << ":\n"
         << ::testing::PrintToString(now);
}

}  // namespace

::testing::AssertionResult HoldsWhatItSays(IQDeviceOrdavinex& unit,
                                           const familycommon::LoadProgress& progress,
                                           bool restored, const LoadEnds& ends) {
  const UnitState now = StateOf(unit);
  const Part globals = restored ? Part::kUnchanged : progress.globals;
  const Part current = restored ? Part::kUnchanged : progress.current;
  const auto currentOf = [](const UnitState& state) { return UnitState{.current = state.current}; };
  if (auto held = PartHolds("the globals", globals, GlobalsOf(now), GlobalsOf(ends.before),
                            GlobalsOf(ends.loaded));
      !held) {
    return held;
  }
  if (auto held = PartHolds("the current settings", current, currentOf(now), currentOf(ends.before),
                            currentOf(ends.loaded));
      !held) {
    return held;
  }
  const std::vector<std::vector<uint32_t>> memories = MemoriesOf(unit);
  for (int m = 1; m <= static_cast<int>(memories.size()); ++m) {
    const std::size_t k = static_cast<std::size_t>(m - 1);
    if (m == progress.memoriesWritten + 1 && progress.nextMemoryPartly) continue;
    const bool loaded = m <= progress.memoriesWritten;
    if (memories[k] != (loaded ? ends.memoriesLoaded : ends.memoriesBefore)[k]) {
      return ::testing::AssertionFailure()
             << "memory " << m << " is not " << (loaded ? "as loaded" : "as it was");
    }
  }
  return ::testing::AssertionSuccess();
}

bool FailingLoad(const std::function<void()>& load) {
  try {
    load();
    ADD_FAILURE() << "no failure";
  } catch (const familycommon::LoadFailure& failure) {
    EXPECT_THROW(std::rethrow_exception(failure.error), ErrorObject);
    return failure.restored;
  } catch (const ErrorObject&) {
    return true;
  }
  return false;
}

}  // namespace filestest
