// The program's own device types against simulated units of the newer family: what a user
// without hardware sees in the demo.

#include <gtest/gtest.h>

#include <QImage>

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

TEST_F(FamilyTypesTest, EveryModelShowsAnIconOfItsOwn) {
  Start();
  const std::size_t typeCount = client().Types().size();
  // The image list pads the type slots with the default icon after the last type.
  const QImage defaultIcon = client().Images().Image(static_cast<int>(typeCount));
  for (std::size_t i = 0; i < typeCount; ++i) {
    const QImage icon = client().Images().Image(static_cast<int>(i));
    EXPECT_NE(icon, defaultIcon) << client().Types()[i]->GetName();
    for (std::size_t j = 0; j < i; ++j)
      EXPECT_NE(icon, client().Images().Image(static_cast<int>(j)))
          << client().Types()[i]->GetName() << " looks like " << client().Types()[j]->GetName();
  }
}

TEST_F(FamilyTypesTest, ARollCallListsTheSimulatedUnitsUnderTheirModels) {
  using sim::familyov::Model;
  sim::familyov::AddFamilyOvUnit(bus, {.model = Model::k8126, .address = 1});
  sim::familyov::AddFamilyOvUnit(bus, {.model = Model::k8148, .address = 2});
  sim::familyov::AddFamilyOvUnit(bus, {.model = Model::k8124, .address = 3});
  sim::familyov::AddFamilyOvUnit(bus, {.model = Model::k8122, .address = 4});
  Start();
  ui::PromptScript script(FailTest);
  script.AnswerMessageBox(ui::kIdOk);
  ui::Application::Instance()->RouteCommand(kCmRollCall, &client());
  ASSERT_EQ(script.Seen().size(), 1u);
  EXPECT_EQ(script.Seen()[0].text, "4 devices found.");
  std::vector<std::string> typeNames;
  for (int i = 0; i < client().BusList().Count(); ++i)
    typeNames.push_back(DeviceOf(client().BusList(), i)->GetTypeName());
  EXPECT_EQ(typeNames, (std::vector<std::string>{"Ordavinex 22", "Ordavinex 24", "Ordavinex 48",
                                                 "Ordavinex 26"}));
  // The picture the README shows.
  ui::test::GrabPng(frame(), OutputPath("main-window.png"));
}

}  // namespace
}  // namespace apptest
