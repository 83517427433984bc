#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "family8100/unit/AutoAddress8100.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Message.h"
#include "platform/ui/TestHooks.h"
#include "resources/ControlsResources.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/familyov_files/FilesTestSupport.h"

using namespace namespace8100;
using sim::family8100::Model;
using testing::UnorderedElementsAre;

namespace {

struct AddressingBus : testsupport8100::OlderFamilyBus {
  AddressingBus() {
    sim::family8100::AddFamily8100Unit(bus, {.model = Model::kBase, .address = 5});
    sim::family8100::AddFamily8100Unit(bus, {.model = Model::kX, .address = 9});
    sim::family8100::AddFamily8100Unit(bus, {.model = Model::kRuneTide, .address = 30});
  }

  std::vector<int> Addresses() {
    std::vector<int> addresses;
    for (IQDevice* device : RollCall()) addresses.push_back(device->GetInfo().address);
    return addresses;
  }
};

}  // namespace

TEST(OlderFamilyAutoAddressTest, EveryUnitGetsTheNextAddressUntilNoneIsLeftOrTheAddressesRunOut) {
  AddressingBus bus;
  const AddressingResult result = AutoAddressUnits(&bus.manager, &bus.base, 2);
  EXPECT_EQ(result.addressed, 3);
  EXPECT_FALSE(result.unitRefused);
  EXPECT_THAT(bus.Addresses(), UnorderedElementsAre(2, 3, 4));

  AddressingBus full;
  EXPECT_EQ(AutoAddressUnits(&full.manager, &full.base, 250).addressed, 1);
}

TEST(OlderFamilyAutoAddressTest, CancellingEitherQuestionReaddressesNothing) {
  ui::PromptScript script(filestest::FailTest);
  AddressingBus bus;
  script.AnswerMessageBox(ui::kIdCancel);
  RunAutoAddressing(&bus.manager, &bus.base);
  script.AnswerMessageBox(ui::kIdOk).RunDialog(
      controls_res::kInputDialog, [](ui::Dialog& dialog) { dialog.CloseWindow(ui::kIdCancel); });
  RunAutoAddressing(&bus.manager, &bus.base);
  EXPECT_TRUE(bus.TakeTrace().empty());

  script.AnswerMessageBox(ui::kIdOk)
      .RunDialog(controls_res::kInputDialog,
                 [](ui::Dialog& dialog) {
                   ui::test::Type(dialog, controls_res::kInputField, "7");
                   ui::test::Click(dialog, ui::kIdOk);
                 })
      .AnswerMessageBox(ui::kIdOk);
  RunAutoAddressing(&bus.manager, &bus.base);
  EXPECT_EQ(script.Seen().back().text, "3 units addressed.");
  EXPECT_THAT(bus.Addresses(), UnorderedElementsAre(7, 8, 9));
}
