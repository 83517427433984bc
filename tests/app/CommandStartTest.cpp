// Every whole-unit command of every family, from the main window (drops, and pastes from its
// lists' menu) and from the unit's window (its menu, and the equaliser's items and drop), on a
// unit whose first read (its lock) fails: the failure is its one report, and nothing follows it.

#include <gtest/gtest.h>

#include "family3300/IQDevice3300.h"
#include "family3300/Parameters3300.h"
#include "family3300/TEdit3300Window.h"
#include "family8100/unit/ParameterTable8100.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/ParameterTable.h"
#include "platform/ui/Application.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppIds.h"
#include "resources/Family3300Ids.h"
#include "resources/FamilyOvIds.h"
#include "sim/family3300/Family3300Unit.h"
#include "sim/family8100/Family8100Unit.h"
#include "sim/familyov/FamilyOvUnit.h"
#include "tests/app/AppTestSupport.h"
#include "tests/bus/RequestTrace.h"

namespace apptest {
namespace {

enum class Route {
  kUnitOnFile,
  kFileOnUnit,
  kUnitOnReport,
  kUnitOnUnit,
  kMenu,
  kUnitOnVirtuals,   // a new virtual device copied from the unit
  kPasteOnUnit,      // the next address marked for copy, pasted onto the unit
  kPasteOnVirtuals,  // the unit marked for copy, pasted into the virtual list's free space
  kTreeItem,         // a double click on the equaliser window's item `command`
  kTreeDrop          // the equaliser window's channel A gain dropped onto channel B's
};

struct Row {
  const char* what;
  int address;  // the unit that fails; a copy's source is the next address
  Route route;
  int command = 0;  // the unit window's menu command, or the equaliser window's item
};

ui::Window* EditWindowOf(IQDevice& unit) {
  if (auto* ov = dynamic_cast<namespaceOV::IQDeviceOrdavinex*>(&unit)) return ov->EditWindow();
  if (auto* eq = dynamic_cast<namespace3300::IQDevice3300*>(&unit)) return eq->EditWindow();
  return nullptr;
}

class CommandStartTest : public ShellTest {
 protected:
  void SetUp() override {
    SettingsKey().SetNumber("port number", kSimComNumber);
    UseBuiltInTypes();
  }
  TDeviceListWindow& units() { return client().BusList(); }
  TDeviceListWindow& virtuals() { return client().VirtualList(); }
  int ItemOf(int address) {
    int item = 0;
    while (item < units().Count() && DeviceOf(units(), item)->GetInfo().address != address) ++item;
    return item;
  }
  ui::Point Fixed(const char* name) { return ItemPoint(virtuals(), ItemNamed(virtuals(), name)); }

  void Run(const Row& row) {
    switch (row.route) {
      case Route::kUnitOnFile:
        return Drag(units(), ItemOf(row.address), Fixed("File"));
      case Route::kFileOnUnit:
        return Drag(virtuals(), ItemNamed(virtuals(), "File"),
                    ItemPoint(units(), ItemOf(row.address)));
      case Route::kUnitOnReport:
        return Drag(units(), ItemOf(row.address), Fixed("Report"));
      case Route::kUnitOnUnit:
        return Drag(units(), ItemOf(row.address + 1), ItemPoint(units(), ItemOf(row.address)));
      case Route::kMenu:
        ui::Application::Instance()->RouteCommand(row.command,
                                                  EditWindowOf(OpenBusUnit(row.address)));
        return ui::test::PumpMessages();
      case Route::kUnitOnVirtuals:
        return Drag(units(), ItemOf(row.address), EmptyPoint(virtuals()));
      case Route::kPasteOnUnit:
        return RightClick(units(), ItemPoint(units(), ItemOf(row.address)));
      case Route::kPasteOnVirtuals:
        return RightClick(virtuals(), EmptyPoint(virtuals()));
      case Route::kTreeItem:
        return EqWindow(row).RunItem(row.command);
      case Route::kTreeDrop:
        return EqWindow(row).CopyChannel(namespace3300::kItemGainA, namespace3300::kItemGainB);
    }
  }
  namespace3300::TEdit3300Window& EqWindow(const Row& row) {
    return dynamic_cast<namespace3300::TEdit3300Window&>(*EditWindowOf(OpenBusUnit(row.address)));
  }
  // The mark a paste copies from, set while every unit answers.
  void Mark(const Row& row) {
    const int marked = row.route == Route::kPasteOnUnit ? row.address + 1 : row.address;
    ui::PromptScript script(FailTest);
    script.ChooseFromPopup(appres::kCmMarkForCopy);
    RightClick(units(), ItemPoint(units(), ItemOf(marked)));
  }
  static bool InWindow(const Row& row) {
    return row.route == Route::kMenu || row.route == Route::kTreeItem ||
           row.route == Route::kTreeDrop;
  }
  // The prompts the user answers before the command meets the unit.
  static int Questions(const Row& row) {
    switch (row.route) {
      case Route::kUnitOnUnit:
      case Route::kUnitOnVirtuals:
        return 1;
      case Route::kPasteOnUnit:
      case Route::kPasteOnVirtuals:
        return 2;
      default:
        return 0;
    }
  }
};

TEST_F(CommandStartTest, ACommandWhoseFirstReadFailsGivesOneReportAndStops) {
  for (const int address : {1, 2}) {
    sim::familyov::AddFamilyOvUnit(bus, {.model = sim::familyov::Model::k8126, .address = address});
  }
  for (const int address : {3, 4}) {
    sim::family8100::AddFamily8100Unit(bus,
                                       {.model = sim::family8100::Model::kX, .address = address});
  }
  for (const int address : {5, 6}) sim::family3300::AddFamily3300Unit(bus, {.address = address});
  Start();
  RollCall();
  const Row rows[] = {
      {"Ordavinex 26", 1, Route::kUnitOnFile},
      {"Ordavinex 26", 1, Route::kFileOnUnit},
      {"Ordavinex 26", 1, Route::kUnitOnReport},
      {"Ordavinex 26", 1, Route::kUnitOnUnit},
      {"Ordavinex 26", 1, Route::kMenu, ovres::kCmSaveSettings},
      {"Ordavinex 26", 1, Route::kMenu, ovres::kCmLoadSettings},
      {"Ordavinex 26", 1, Route::kMenu, ovres::kCmPrintReport},
      {"Ordavinex X", 3, Route::kUnitOnFile},
      {"Ordavinex X", 3, Route::kFileOnUnit},
      {"Ordavinex X", 3, Route::kUnitOnReport},
      {"Ordavinex X", 3, Route::kUnitOnUnit},
      {"3300-2XL", 5, Route::kUnitOnFile},
      {"3300-2XL", 5, Route::kFileOnUnit},
      {"3300-2XL", 5, Route::kUnitOnReport},
      {"3300-2XL", 5, Route::kUnitOnUnit},
      {"3300-2XL", 5, Route::kMenu, res3300::kCmSaveSettings},
      {"3300-2XL", 5, Route::kMenu, res3300::kCmLoadSettings},
      {"3300-2XL", 5, Route::kMenu, res3300::kCmPrintReport},
      {"Ordavinex 26", 1, Route::kUnitOnVirtuals},
      {"Ordavinex 26", 1, Route::kPasteOnUnit},
      {"Ordavinex 26", 1, Route::kPasteOnVirtuals},
      {"Ordavinex X", 3, Route::kUnitOnVirtuals},
      {"Ordavinex X", 3, Route::kPasteOnUnit},
      {"Ordavinex X", 3, Route::kPasteOnVirtuals},
      {"3300-2XL", 5, Route::kUnitOnVirtuals},
      {"3300-2XL", 5, Route::kPasteOnUnit},
      {"3300-2XL", 5, Route::kPasteOnVirtuals},
      {"3300-2XL", 5, Route::kTreeItem, namespace3300::kItemEqInA},
      {"3300-2XL", 5, Route::kTreeItem, namespace3300::kItemMuteB},
      {"3300-2XL", 5, Route::kTreeItem, namespace3300::kItemName},
      {"3300-2XL", 5, Route::kTreeItem, namespace3300::kItemMemory},
      {"3300-2XL", 5, Route::kTreeItem, namespace3300::kItemEqB},
      {"3300-2XL", 5, Route::kTreeItem, namespace3300::kItemDspi},
      {"3300-2XL", 5, Route::kTreeItem, namespace3300::kItemSecurity},
      {"3300-2XL", 5, Route::kTreeDrop},
  };
  for (const bool refused : {false, true}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(testing::Message()
                   << row.what << ", route " << static_cast<int>(row.route) << ", command "
                   << row.command << (refused ? ", refused" : ", silent"));
      // The window is open before the unit fails: its own reads are not the command's.
      if (InWindow(row)) OpenBusUnit(row.address);
      if (Questions(row) == 2) Mark(row);
      bustest::TakeRequestTrace(bus);
      // The newer family and the equalisers read the lock to be taken from the main window's
      // list: a refused lock ends a drop there, before the command. Their refusals are the
      // window's.
      const bool takenByLock = !InWindow(row) && (row.address < 3 || row.address > 4);
      if (refused && takenByLock) continue;
      const int lock = row.address < 3   ? namespaceOV::gLockedObject.GetId()
                       : row.address < 5 ? namespace8100::g8100Locked.GetId()
                                         : namespace3300::g3300Lock.GetId();
      bus.AddFault(refused ? sim::Fault::ErrorObject(3).ForUnit(row.address).ForObject(lock)
                           : sim::Fault::Silence().ForUnit(row.address));
      ui::PromptScript script(FailTest);
      // The copy is confirmed in the main window before it begins.
      if (Questions(row) == 2) script.ChooseFromPopup(appres::kCmPaste);
      if (Questions(row) > 0) script.AnswerMessageBox(ui::kIdOk);
      // The newer family tells every failure as one of the path.
      const bool unitCode = refused && row.address != 1;
      script.RunDialog(unitCode ? appres::kErrorObjectDialog : appres::kErrorDialog,
                       [](ui::Dialog& d) { d.CloseWindow(ui::kIdCancel); });
      Run(row);
      ui::test::PumpMessages();
      EXPECT_EQ(script.Seen().size(), static_cast<std::size_t>(Questions(row) + 1));
      bus.ClearFaults();
      for (const std::string& request : bustest::TakeRequestTrace(bus, true)) {
        EXPECT_FALSE(request.starts_with(std::to_string(row.address) + ":W")) << request;
      }
      // Closed, the unit can be taken for the drops and pastes that follow.
      if (InWindow(row)) {
        EditWindowOf(OpenBusUnit(row.address))->CloseWindow();
        ui::test::PumpMessages();
      }
    }
  }
}

}  // namespace
}  // namespace apptest
