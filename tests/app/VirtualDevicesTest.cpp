// Virtual devices: new, rename, delete, mark for copy and paste, and drag and drop between lists.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "bus/IQDeviceManager.h"
#include "bus/IQException.h"
#include "bus/SettingsTextFile.h"
#include "platform/ui/Application.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/Resources.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppIds.h"
#include "tests/app/AppTestSupport.h"

namespace apptest {
namespace {

using namespace appres;

class VirtualDevicesTest : public ShellTest {
 protected:
  void SetUp() override {
    SettingsKey().SetNumber("port number", kSimComNumber);
    Start();
  }
  void NewVirtual() {
    ui::PromptScript script(FailTest);
    script.RunDialog(kSelectDeviceDialog, [](ui::Dialog& d) {
      ui::test::GrabPng(d, OutputPath("select-device.png"));
      ui::test::Click(d, ui::kIdOk);
    });
    Command(kCmNewVirtual);
  }
  void Command(int id) { ui::Application::Instance()->RouteCommand(id, &client()); }
  TDeviceListWindow& virtuals() { return client().VirtualList(); }
  TDeviceListWindow& units() { return client().BusList(); }
  ui::Param Rename(int item, const std::string& name) {
    return client().SendNotify(
        {kVirtualList, ui::Notify::EndLabelEdit, &virtuals(), item, 0, name});
  }
};

TEST_F(VirtualDevicesTest, NewDevicesAreNumberedAndInsertedInFront) {
  NewVirtual();
  NewVirtual();
  NewVirtual();
  EXPECT_EQ(Items(virtuals()), (std::vector<std::string>{"New Device #3", "New Device #2",
                                                         "New Device #1", "Report", "File"}));
  EXPECT_TRUE(DeviceOf(virtuals(), 0)->GetInfo().IsVirtual());
}

TEST_F(VirtualDevicesTest, TheTypeChoiceShowsTheChosenTypesIcon) {
  // The test type has no icon of its own: it shows the default one.
  const QImage icon = ui::Resources::Image(kDefaultTypeIcon);
  ASSERT_FALSE(icon.isNull());
  int opaquePixels = 0;
  int wrongPixels = 0;
  ui::PromptScript script(FailTest);
  script.RunDialog(kSelectDeviceDialog, [&](ui::Dialog& d) {
    if (ui::Control* picture = d.ControlById(kTypePicture)) {
      for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
          const QColor c = icon.pixelColor(x, y);
          if (c.alpha() != 255) continue;
          ++opaquePixels;
          const ui::Color expected{static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
                                   static_cast<uint8_t>(c.blue())};
          if (ui::test::SamplePixel(*picture, {x, y}) != expected) ++wrongPixels;
        }
      }
    }
    ui::test::Click(d, ui::kIdCancel);
  });
  Command(kCmNewVirtual);
  EXPECT_GT(opaquePixels, 0);
  EXPECT_EQ(wrongPixels, 0);
}

TEST_F(VirtualDevicesTest, RenameRefusesAConflictingNameAndAnOpenDevice) {
  AddUnits({5});
  RollCall();
  NewVirtual();
  NewVirtual();
  Rename(0, "5");
  EXPECT_EQ(virtuals().ItemText(0), "5") << "an unnamed unit's address is no name";
  Rename(0, "Lobby");
  EXPECT_EQ(virtuals().ItemText(0), "Lobby");
  EXPECT_EQ(DeviceOf(virtuals(), 0)->GetName(), "Lobby");
  // Typed into the label: an over-long name is cut, and the label shows it as the device keeps it.
  auto* labels = qobject_cast<QTreeWidget*>(virtuals().Widget());
  ASSERT_NE(labels, nullptr);
  labels->topLevelItem(0)->setText(0, QString(90, 'x'));
  EXPECT_EQ(DeviceOf(virtuals(), 0)->GetName(), std::string(79, 'x'));
  EXPECT_EQ(virtuals().ItemText(0), std::string(79, 'x'));
  Rename(0, "Lobby");

  ui::PromptScript script(FailTest);
  script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
  EXPECT_EQ(Rename(1, "Lobby"), 0);
  EXPECT_EQ(DeviceOf(virtuals(), 1)->GetName(), "New Device #1");
  IQDevice* open = TheDeviceManager.Acquire(DeviceOf(virtuals(), 1));
  EXPECT_EQ(Rename(1, "Stage"), 0);
  TheDeviceManager.Release(open);
  ASSERT_EQ(script.Seen().size(), 2u);
  EXPECT_EQ(script.Seen()[0].text, "Name conflicts with another device.");
  EXPECT_EQ(script.Seen()[1].text, "Access denied (close device).");
  EXPECT_EQ(script.Seen()[1].caption, "Rename Virtual Device");
  EXPECT_EQ(Rename(2, "Report"), 0) << "the fixed items keep their names";
}

TEST_F(VirtualDevicesTest, AnEditWindowsMessagesLeaveAVirtualDevicesItemAsItIs) {
  NewVirtual();
  IQDevice* device = DeviceOf(virtuals(), 0);
  ASSERT_TRUE(device->Open(&client()));
  device->SetName("Renamed in its window");
  client().Post(kDeviceChangedMessage, 0, reinterpret_cast<ui::Param>(device));
  client().Post(kDeviceWindowClosedMessage, 0, reinterpret_cast<ui::Param>(device));
  ui::test::PumpMessages();
  EXPECT_EQ(Items(virtuals()), (std::vector<std::string>{"New Device #1", "Report", "File"}));
  EXPECT_FALSE(device->IsOpen()) << "marked closed, nothing more";
}

TEST_F(VirtualDevicesTest, DeleteAsksAboutTheItemShownSelectedAndClearsTheCopyMark) {
  NewVirtual();
  {
    ui::PromptScript script(FailTest);
    script.ChooseFromPopup(kCmMarkForCopy);
    RightClick(virtuals(), ItemPoint(virtuals(), 0));
  }
  ASSERT_TRUE(client().HasCopyMark());
  IQDevice* device = DeviceOf(virtuals(), 0);
  virtuals().SelectItem(0);
  ui::test::PumpMessages();
  NewVirtual();  // in front of the selected item, which stays selected
  {
    ui::PromptScript script(FailTest);
    script.AnswerMessageBox(ui::kIdCancel);
    Command(kCmDeleteVirtual);
    EXPECT_EQ(script.Seen()[0].text, "Delete device 'New Device #1'?");
  }
  EXPECT_EQ(virtuals().Count(), 4);
  ui::PromptScript script(FailTest);
  script.AnswerMessageBox(ui::kIdOk);
  Command(kCmDeleteVirtual);
  EXPECT_EQ(Items(virtuals()), (std::vector<std::string>{"New Device #2", "Report", "File"}));
  EXPECT_EQ(client().Slots().SlotOf(device), -1);
  EXPECT_FALSE(client().HasCopyMark());
}

TEST_F(VirtualDevicesTest, APasteAfterANewRollCallCopiesFromTheMarkedUnit) {
  AddUnits({3, 8});
  RollCall();
  NewVirtual();
  const int unit8 = ItemNamed(units(), "(8) UNIT8");
  ASSERT_GE(unit8, 0);
  {
    ui::PromptScript script(FailTest);
    script.ChooseFromPopup(kCmMarkForCopy);
    RightClick(units(), ItemPoint(units(), unit8));
  }
  // A unit connected since comes first in the new list: a mark on a list position would now name
  // that unit.
  AddUnits({1});
  RollCall();
  ASSERT_EQ(units().Count(), 3);
  ASSERT_NE(ItemNamed(units(), "(8) UNIT8"), unit8);
  ui::PromptScript script(FailTest);
  script.ChooseFromPopup(kCmPaste).AnswerMessageBox(ui::kIdOk);
  RightClick(virtuals(), ItemPoint(virtuals(), 0));
  ASSERT_EQ(script.Seen().size(), 2u);
  EXPECT_EQ(script.Seen()[1].text, "Copy item '(8) UNIT8' to 'New Device #1'?");
  EXPECT_EQ(log.copiedFrom, (std::vector<std::string>{"8"}));
}

// A unit whose text cannot be read keeps the name its list line shows, in the copy question, as
// source and as destination, and in the line itself.
TEST_F(VirtualDevicesTest, TheCopyQuestionNamesAUnitThatDoesNotAnswerAsItsListLineDoes) {
  AddUnits({8});
  RollCall();
  NewVirtual();
  log.unreadableListText = {8};
  ui::PromptScript script(FailTest);
  script.AnswerMessageBox(ui::kIdCancel).AnswerMessageBox(ui::kIdCancel);
  Drag(units(), 0, ItemPoint(virtuals(), 0));
  Drag(virtuals(), 0, ItemPoint(units(), 0));
  ASSERT_EQ(script.Seen().size(), 2u);
  EXPECT_EQ(script.Seen()[0].text, "Copy item '(8) UNIT8' to 'New Device #1'?");
  EXPECT_EQ(script.Seen()[1].text, "Copy item 'New Device #1' to '(8) UNIT8'?");
  EXPECT_TRUE(log.copiedFrom.empty());
  client().Post(kDeviceChangedMessage, 0, reinterpret_cast<ui::Param>(DeviceOf(units(), 0)));
  ui::test::PumpMessages();
  EXPECT_EQ(Items(units()), (std::vector<std::string>{"(8) UNIT8"})) << "the line stays too";
}

TEST_F(VirtualDevicesTest, APasteFromAUnitThatIsGoneSaysSoAndClearsTheMark) {
  AddUnits({6});
  RollCall();
  NewVirtual();
  {
    ui::PromptScript script(FailTest);
    script.ChooseFromPopup(kCmMarkForCopy);
    RightClick(units(), ItemPoint(units(), 0));
  }
  bus.AddFault(sim::Fault::Silence().ForUnit(6));
  RollCall();
  ui::PromptScript script(FailTest);
  script.ChooseFromPopup(kCmPaste).AnswerMessageBox(ui::kIdOk);
  RightClick(virtuals(), ItemPoint(virtuals(), 0));
  ASSERT_EQ(script.Seen().size(), 2u);
  EXPECT_EQ(script.Seen()[1].text, "Could not gain access to or could not find source device.");
  EXPECT_FALSE(client().HasCopyMark());
  EXPECT_TRUE(log.copiedFrom.empty());
}

TEST_F(VirtualDevicesTest, DraggingAUnitOntoTheEmptyVirtualListMakesAnOfflineCopy) {
  AddUnits({5});
  RollCall();
  ui::PromptScript script(FailTest);
  script.AnswerMessageBox(ui::kIdOk);
  Drag(units(), 0, EmptyPoint(virtuals()));
  EXPECT_EQ(script.Seen()[0].text, "Create new virtual device?");
  EXPECT_EQ(Items(virtuals()), (std::vector<std::string>{"New Device #1", "Report", "File"}));
  EXPECT_EQ(log.copiedFrom, (std::vector<std::string>{"5"}));
  EXPECT_FALSE(TheDeviceManager.IsInUse(DeviceOf(units(), 0))) << "the source is given back";

  Drag(units(), 0, EmptyPoint(units()));
  EXPECT_EQ(virtuals().Count(), 3) << "a drop on the empty bus list does nothing";
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the cursor is back after each drop";
  EXPECT_EQ(ui::Window::MouseCapture(), nullptr);
}

// The visible window that floats above the others during a drag: the dragged item's picture.
QWidget* ShownDragImage() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible() && w->windowType() == Qt::ToolTip) return w;
  }
  return nullptr;
}

TEST_F(VirtualDevicesTest, TheDragImageStandsInForTheCursorUntilTheDrop) {
  NewVirtual();
  client().SendNotify({kVirtualList, ui::Notify::BeginDrag, &virtuals(), 0});
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BlankCursor);
  QWidget* image = ShownDragImage();
  ASSERT_NE(image, nullptr);
  const ui::Point to = EmptyPoint(virtuals());
  ui::test::MouseMove(client(), to);
  // The mouse holds the picture a few pixels in from its upper-left corner.
  constexpr int kGripPixels = 8;
  const ui::Point screen = client().ClientToScreen(to);
  EXPECT_EQ(image->pos(), QPoint(screen.x - kGripPixels, screen.y - kGripPixels));
  ui::test::MouseUp(client(), EmptyPoint(units()));
  ui::test::PumpMessages();
  EXPECT_EQ(ShownDragImage(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(VirtualDevicesTest, AMessageBoxDuringADragTakesTheDragImageAwayForTheRestOfIt) {
  NewVirtual();
  client().SendNotify({kVirtualList, ui::Notify::BeginDrag, &virtuals(), 0});
  ASSERT_NE(ShownDragImage(), nullptr);
  ui::PromptScript script(FailTest);
  script.AnswerMessageBox(ui::kIdOk);
  ui::MessageBox(&client(), "Unit 5 does not answer.", "Bus", ui::mb::kOk);
  EXPECT_EQ(ShownDragImage(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the cursor is back";
  ui::test::MouseMove(client(), EmptyPoint(virtuals()));
  EXPECT_EQ(ShownDragImage(), nullptr);
  ui::test::MouseUp(client(), EmptyPoint(units()));
  ui::test::PumpMessages();
  EXPECT_EQ(ui::Window::MouseCapture(), nullptr);
}

// Shown for real, the box is clicked as the user would: the drag's capture must not take the
// first click.
TEST_F(VirtualDevicesTest, AMessageBoxDuringADragClosesAtTheFirstClickOnItsButton) {
  NewVirtual();
  client().SendNotify({kVirtualList, ui::Notify::BeginDrag, &virtuals(), 0});
  ASSERT_EQ(ui::Window::MouseCapture(), &client());
  ui::SetUnscriptedPrompts(ui::UnscriptedPrompts::Show);
  constexpr int kMostClicks = 2;
  int clicks = 0;
  QObject turns;
  std::function<void()> click = [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    if (clicks == kMostClicks) {
      box->done(QMessageBox::Cancel);
      return;
    }
    ++clicks;
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    QTimer::singleShot(0, &turns, click);
  };
  QTimer::singleShot(0, &turns, click);
  const int answer = ui::MessageBox(&client(), "Unit 5 does not answer.", "Bus", ui::mb::kOk);
  ui::SetUnscriptedPrompts(ui::UnscriptedPrompts::Refuse, FailTest);
  EXPECT_EQ(answer, ui::kIdOk);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(ui::Window::MouseCapture(), nullptr);
}

TEST_F(VirtualDevicesTest, DropsOnReportAndFileWriteTheReportAndSaveTheSettings) {
  NewVirtual();
  Drag(virtuals(), 0, ItemPoint(virtuals(), ItemNamed(virtuals(), "Report")));
  EXPECT_EQ(log.reports, 1);
  Drag(virtuals(), 0, ItemPoint(virtuals(), ItemNamed(virtuals(), "File")));
  EXPECT_EQ(log.saves, 1);
  Drag(virtuals(), ItemNamed(virtuals(), "Report"), ItemPoint(virtuals(), 0));
  Drag(virtuals(), 0, ItemPoint(virtuals(), 0));
  EXPECT_EQ(log.reports, 1) << "\"Report\" dropped on a device, or a device on itself: nothing";
  EXPECT_TRUE(log.copiedFrom.empty());
  EXPECT_FALSE(TheDeviceManager.IsInUse(DeviceOf(virtuals(), 0)));
}

TEST_F(VirtualDevicesTest, ABrokenSettingsFileFromADropOnFileIsReportedAndReleasesTheDevice) {
  NewVirtual();
  log.onLoad = [] { throw FileParserError(FileParserError::kFormatError); };
  ui::PromptScript script(FailTest);
  script.AnswerMessageBox(ui::kIdOk);
  Drag(virtuals(), ItemNamed(virtuals(), "File"), ItemPoint(virtuals(), 0));
  EXPECT_EQ(log.loads, 1);
  ASSERT_EQ(script.Seen().size(), 1u);
  EXPECT_EQ(script.Seen()[0].text, "Format error in file");
  EXPECT_EQ(script.Seen()[0].caption, "Load file");
  EXPECT_FALSE(TheDeviceManager.IsInUse(DeviceOf(virtuals(), 0)));
}

TEST_F(VirtualDevicesTest, ABusFailureOfACopyOrALoadIsReportedAfterTheDevicesAreGivenBack) {
  AddUnits({5});
  RollCall();
  NewVirtual();
  IQDevice* unit = DeviceOf(units(), 0);
  IQDevice* copy = DeviceOf(virtuals(), 0);
  std::vector<bool> heldDuringReport;
  const auto reportedAfterRelease = [&](ui::Dialog& d) {
    heldDuringReport = {TheDeviceManager.IsInUse(unit), TheDeviceManager.IsInUse(copy)};
    ui::test::Click(d, ui::kIdCancel);
  };

  log.onCopy = [] { throw ReadTimeout(); };
  ui::PromptScript copyScript(FailTest);
  copyScript.AnswerMessageBox(ui::kIdOk).RunDialog(kErrorDialog, reportedAfterRelease);
  Drag(units(), 0, ItemPoint(virtuals(), 0));
  EXPECT_EQ(copyScript.Seen()[0].text, "Copy item '(5) UNIT5' to 'New Device #1'?");
  EXPECT_EQ(heldDuringReport, (std::vector<bool>{false, false}));

  heldDuringReport.clear();
  log.onLoad = [] { throw ReadTimeout(); };
  ui::PromptScript loadScript(FailTest);
  loadScript.RunDialog(kErrorDialog, reportedAfterRelease);
  Drag(virtuals(), ItemNamed(virtuals(), "File"), ItemPoint(virtuals(), 0));
  EXPECT_EQ(log.loads, 1);
  EXPECT_EQ(heldDuringReport, (std::vector<bool>{false, false}));
}

TEST_F(VirtualDevicesTest, ThePopupOffersWhatTheItemUnderTheMouseAllows) {
  NewVirtual();
  const auto popupState = [&](ui::Point where, int command) {
    ui::PromptScript script(FailTest);
    script.ChooseFromPopup(0);
    RightClick(virtuals(), where);
    return ui::Application::Instance()->QueryCommand(command, &client()).enabled;
  };
  EXPECT_FALSE(popupState(ItemPoint(virtuals(), 0), kCmPaste)) << "nothing is marked";
  EXPECT_TRUE(popupState(ItemPoint(virtuals(), 0), kCmMarkForCopy));
  EXPECT_FALSE(popupState(ItemPoint(virtuals(), ItemNamed(virtuals(), "File")), kCmMarkForCopy));
  EXPECT_FALSE(popupState(EmptyPoint(virtuals()), kCmMarkForCopy));

  ui::PromptScript script(FailTest);
  script.ChooseFromPopup(kCmNewVirtual).RunDialog(kSelectDeviceDialog, [](ui::Dialog& d) {
    ui::test::Click(d, ui::kIdOk);
  });
  RightClick(virtuals(), EmptyPoint(virtuals()));
  EXPECT_EQ(virtuals().Count(), 4) << "\"New ...\" on the empty part of the list";
}

}  // namespace
}  // namespace apptest
