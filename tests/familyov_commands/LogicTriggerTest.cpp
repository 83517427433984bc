// The network logic trigger: a logic input fired on every 2-input unit of the network at once.

#include <gtest/gtest.h>

#include "controls/TQuadButton.h"
#include "familyov/unit/NetworkLogicTrigger.h"
#include "platform/ui/TestHooks.h"
#include "resources/FamilyOvCommandIds.h"
#include "tests/familyov_commands/CommandsTestSupport.h"

namespace namespaceOV {
namespace {

using commandstest::Script;
using ovtest::ReportedErrors;
using Trace = std::vector<std::string>;

class LogicTriggerTest : public commandstest::CommandsTest {
 protected:
  LogicTriggerTest() {
    sim::familyov::AddFamilyOvUnit(bus.bus, {.model = sim::familyov::Model::k8124, .address = 4});
  }
  uint8_t FiredOn(int unit) { return bus.bus.Element(unit, 0x26, 0)[0]; }
};

// Presses and releases one zone of the dialog's spin.
void Spin(ui::Dialog& dialog, int zone) {
  auto& spin = dynamic_cast<TQuadButton&>(ui::test::ControlOf(dialog, ovres::kLogicInputSpin));
  const ui::Rect rect = spin.ZoneRect(zone);
  const ui::Point centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  ui::test::MouseDown(spin, centre);
  ui::test::MouseUp(spin, centre);
  ui::test::PumpMessages();
}

std::string Field(ui::Dialog& dialog) {
  return ui::test::ControlOf(dialog, ovres::kLogicInputEdit).Text();
}

TEST_F(LogicTriggerTest, TheNetworkTriggerFiresEveryTwoInputUnitFromTheDialog) {
  Script script;
  script.RunDialog(ovres::kNetLogicDialog, [](ui::Dialog& dialog) {
    EXPECT_EQ(Field(dialog), "1");
    Spin(dialog, TQuadButton::kLowerLeft);
    EXPECT_EQ(Field(dialog), "1");
    Spin(dialog, TQuadButton::kUpperLeft);
    Spin(dialog, TQuadButton::kUpperRight);
    EXPECT_EQ(Field(dialog), "7");
    // A typed number waits for "Trigger Now"; the spin steps the number it set last.
    ui::test::Type(dialog, ovres::kLogicInputEdit, "12");
    Spin(dialog, TQuadButton::kLowerRight);
    EXPECT_EQ(Field(dialog), "6");
    ui::test::Type(dialog, ovres::kLogicInputEdit, "5");
    ui::test::Click(dialog, ovres::kTriggerButton);
    dialog.EndDialog(ui::kIdCancel);
  });
  type8126.DoSpecialCommand(&bus.manager);
  const Trace trace = bus.TakeTrace();
  EXPECT_EQ(trace.front(), "W26 05");
  EXPECT_EQ(trace.back(), "R06");
  EXPECT_EQ(FiredOn(0), 5);
  EXPECT_EQ(FiredOn(2), 5);
  // The 8148 does not listen at the network address.
  EXPECT_EQ(FiredOn(1), 0);
  EXPECT_TRUE(ReportedErrors().empty());

  EXPECT_FALSE(SendNetworkLogicTrigger(&type8126, &bus.manager, 32));
  EXPECT_EQ(bus.TakeTrace(), Trace{});
  EXPECT_EQ(ReportedErrors().size(), 1u);
}

}  // namespace
}  // namespace namespaceOV
