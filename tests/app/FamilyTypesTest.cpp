// The program's own device types against simulated units of the newer family: what a user
// without hardware sees in the demo.

#include <gtest/gtest.h>

#include "bus/IQDeviceManager.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppIds.h"
#include "sim/familyov/FamilyOvUnit.h"
#include "tests/app/AppTestSupport.h"

namespace apptest {
namespace {

using namespace appres;

class FamilyTypesTest : public ShellTest {
 protected:
  void SetUp() override {
    SettingsKey().SetNumber("port number", kSimComNumber);
    UseBuiltInTypes();
  }
};

TEST_F(FamilyTypesTest, TheNewerFamilyIsRegisteredInOrderWithItsSpecialCommand) {
  Start();
  std::vector<std::string> names;
  for (const IQDeviceType* type : client().Types()) names.push_back(type->GetName());
  EXPECT_EQ(names, (std::vector<std::string>{"Ordavinex 22", "Ordavinex 24", "Ordavinex 26",
                                             "Ordavinex 48"}));
  ui::Menu& devices = *frame().MenuBar()->SubMenu(1);
  EXPECT_EQ(devices.ItemText(kCmFirstSpecial), "Trigger Ordavinex Logic");
  EXPECT_EQ(devices.ItemId(4), 0) << "one special item, then the separator";
}

TEST_F(FamilyTypesTest, ARollCallListsTheSimulatedUnitsUnderTheirModels) {
  sim::familyov::AddFamilyOvUnit(bus, {.model = sim::familyov::Model::k8126, .address = 1});
  sim::familyov::AddFamilyOvUnit(bus, {.model = sim::familyov::Model::k8148, .address = 2});
  Start();
  ui::PromptScript script(FailTest);
  script.AnswerMessageBox(ui::kIdOk);
  ui::Application::Instance()->RouteCommand(kCmRollCall, &client());
  ASSERT_EQ(script.Seen().size(), 1u);
  EXPECT_EQ(script.Seen()[0].text, "2 devices found.");
  ASSERT_EQ(client().BusList().Count(), 2);
  EXPECT_EQ(DeviceOf(client().BusList(), 0)->GetTypeName(), "Ordavinex 48");
  EXPECT_EQ(DeviceOf(client().BusList(), 1)->GetTypeName(), "Ordavinex 26");
  ui::test::GrabPng(frame(), OutputPath("main-window-familyov.png"));
}

}  // namespace
}  // namespace apptest
