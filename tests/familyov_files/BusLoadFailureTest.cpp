// A settings file loaded into a unit on the simulated bus that fails part way: the unit gets its
// names, logic map, delay unit and current settings back, and the user hears whether it could.

#include <gtest/gtest.h>

#include "bus/SettingsTextFile.h"
#include "familycommon/LoadFailure.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/SettingsFile.h"
#include "familyov/unit/SettingsImage.h"
#include "platform/ui/Message.h"
#include "sim/Fault.h"
#include "tests/familyov_files/FilesTestSupport.h"
#include "tests/familyov_files/UnitState.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

using filestest::SetState;
using filestest::StateOf;
using filestest::UnitState;
using sim::familyov::Model;

class BusLoadFailureTest : public filestest::FilesTest {
 protected:
  BusLoadFailureTest() {
    sim::familyov::AddFamilyOvUnit(bus.bus, {.model = Model::k8126, .address = 3});
    unit = dynamic_cast<IQDeviceOrdavinex*>(bus.RollCall({&type}).at(0));
    // The file holds the current settings and memory 1 only, which keeps each load short.
    SetState(*unit, "From file", 4, 0.25f);
    SettingsTextFile out;
    EXPECT_TRUE(out.Open(path, SettingsTextFile::kWrite));
    WriteSettingsFile(*unit, out, nullptr);
    EXPECT_TRUE(out.Close());
    std::string text = filestest::ReadText(path);
    text = text.substr(0, text.find("\n[Memory Dump 2]")) + "\n\n// End of file\n";
    filestest::WriteText(path, text);
    SetState(*unit, "On the unit", 2, 0.5f);
  }

  // Loads the file, which the test expects to fail; whether the unit was put back.
  bool FailingLoad() {
    SettingsTextFile file;
    EXPECT_TRUE(file.Open(path, SettingsTextFile::kRead));
    return filestest::FailingLoad([&] {
      ReadSettingsFile(
          *unit, file, [](const std::string&) { return true; }, nullptr);
    });
  }

  ovtest::FamilyBus bus;
  IQ8126Type type;
  IQDeviceOrdavinex* unit = nullptr;
  const std::string path = TempPath("short.ov2");
};

TEST_F(BusLoadFailureTest, AFailureAnywhereInALoadPutsTheUnitBack) {
  const UnitState before = StateOf(*unit);
  bus.TakeTrace();
  {
    SettingsTextFile file;
    ASSERT_TRUE(file.Open(path, SettingsTextFile::kRead));
    ASSERT_EQ(ReadSettingsFile(
                  *unit, file, [](const std::string&) { return true; }, nullptr),
              LoadResult::kLoaded);
  }
  const int steps = static_cast<int>(bus.TakeTrace().size());
  const UnitState loaded = StateOf(*unit);
  ASSERT_NE(loaded, before);
  SetState(*unit, "On the unit", 2, 0.5f);
  ASSERT_EQ(StateOf(*unit), before);

  // The first step, the last, and steps spread over the snapshot, the globals and both memories.
  std::vector<int> failing = {1, steps};
  for (int step = 7; step < steps; step += 61) failing.push_back(step);
  for (const int step : failing) {
    SCOPED_TRACE(step);
    bus.bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(step));
    EXPECT_TRUE(FailingLoad());
    bus.bus.ClearFaults();
    EXPECT_EQ(StateOf(*unit), before);
  }
}

TEST_F(BusLoadFailureTest, AUnitThatStopsAnsweringIsSaidToBeLeftMutedOrPartlyLoaded) {
  bus.bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(400).Times(sim::Fault::kForever));
  EXPECT_FALSE(FailingLoad());

  // Through the command, the user is told.
  bus.bus.ClearFaults();
  bus.bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(400).Times(sim::Fault::kForever));
  script.AnswerOpenFile(path).AnswerMessageBox(ui::kIdOk);
  EXPECT_FALSE(unit->LoadFile());
  // Its filters may no longer be the ones the program shows: they are read again once it answers.
  EXPECT_EQ(script.Seen().back().text, std::string(familycommon::kLoadNotRestoredText) + "\n" +
                                           familycommon::kFiltersReadAgainText);
  EXPECT_EQ(script.Seen().back().caption, "Load file");
  bus.bus.ClearFaults();
}

}  // namespace
}  // namespace namespaceOV
