// The device lists under the mouse and keys as the window system delivers them: presses, drags
// and releases go through the top-level window, so the lists see what they would on a desktop.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

#include "platform/ui/Application.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppIds.h"
#include "tests/app/AppTestSupport.h"

namespace apptest {
namespace {

using namespace appres;

class DeviceListMouseTest : public ShellTest {
 protected:
  void SetUp() override {
    SettingsKey().SetNumber("port number", kSimComNumber);
    Start();
  }
  TDeviceListWindow& virtuals() { return client().VirtualList(); }
  TDeviceListWindow& units() { return client().BusList(); }

  void NewVirtuals(int count) {
    for (int i = 0; i < count; ++i) {
      ui::PromptScript script(FailTest);
      script.RunDialog(kSelectDeviceDialog, [](ui::Dialog& d) { ui::test::Click(d, ui::kIdOk); });
      ui::Application::Instance()->RouteCommand(kCmNewVirtual, &client());
    }
  }
  QWindow* TopLevel() { return client().Widget()->window()->windowHandle(); }
  QPoint ItemInTopLevel(TDeviceListWindow& list, int item) {
    const ui::Rect r = list.ItemRect(item);
    return list.Widget()->mapTo(list.Widget()->window(),
                                QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  }
  void Press(QPoint at) { QTest::mousePress(TopLevel(), Qt::LeftButton, Qt::NoModifier, at); }
  void Release(QPoint at) { QTest::mouseRelease(TopLevel(), Qt::LeftButton, Qt::NoModifier, at); }
  void MoveHeld(QPoint to) {
    QMouseEvent move(QEvent::MouseMove, to, TopLevel()->mapToGlobal(to), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(TopLevel(), &move);
  }
  // In small steps, as a hand moves; `during` runs after each step.
  void DragByHand(QPoint from, QPoint to, const std::function<void()>& during) {
    Press(from);
    constexpr int kSteps = 8;
    for (int i = 1; i <= kSteps; ++i) {
      MoveHeld(from + (to - from) * i / kSteps);
      during();
    }
    Release(to);
    ui::test::PumpMessages();
  }
  void Click(QPoint at) {
    Press(at);
    Release(at);
    ui::test::PumpMessages();
  }
  // Whether an in-place label editor is open on the list's current item.
  static bool EditingALabel(TDeviceListWindow& list) {
    auto* view = static_cast<QAbstractItemView*>(list.Widget());
    return view->indexWidget(view->currentIndex()) != nullptr;
  }
};

TEST_F(DeviceListMouseTest, EveryClickAfterADragSelectsTheItemClickedAndNoneStartsARename) {
  NewVirtuals(3);
  const int report = ItemNamed(virtuals(), "Report");
  const int file = ItemNamed(virtuals(), "File");
  for (int item = 0; item < 3; ++item) {
    // "Report" dropped on "File" does nothing, so no prompt comes between.
    DragByHand(ItemInTopLevel(virtuals(), report), ItemInTopLevel(virtuals(), file), [&] {
      EXPECT_EQ(virtuals().SelectedItem(), report) << "the pressed item stays selected";
    });
    EXPECT_EQ(ui::Window::MouseCapture(), nullptr);
    Click(ItemInTopLevel(virtuals(), item));
    EXPECT_EQ(virtuals().SelectedItem(), item) << "the click after drag " << item;
    EXPECT_FALSE(EditingALabel(virtuals()));
  }
}

TEST_F(DeviceListMouseTest, OnlyAVirtualDevicesNameIsEditedInItsList) {
  AddUnits({5});
  RollCall();
  NewVirtuals(1);
  for (TDeviceListWindow* list : {&units(), &virtuals()}) {
    auto* view = static_cast<QAbstractItemView*>(list->Widget());
    const bool editable = view->model()->flags(view->model()->index(0, 0)) & Qt::ItemIsEditable;
    EXPECT_EQ(editable && view->editTriggers() != QAbstractItemView::NoEditTriggers,
              list == &virtuals())
        << list->ItemText(0);
  }
}

TEST_F(DeviceListMouseTest, AFullVirtualListKeepsRoomBelowItsItemsToDropACopyOn) {
  AddUnits({5});
  RollCall();
  NewVirtuals(10);
  auto* view = static_cast<QAbstractItemView*>(virtuals().Widget());
  ui::test::PumpMessages();  // the items are laid out
  view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
  ui::test::PumpMessages();
  ASSERT_LT(virtuals().ItemRect(0).top, 0) << "the list is scrolled";
  // A whole item's height below the last item, within the part of the list that shows items:
  // more than the sliver a list scrolled by whole items leaves.
  const ui::Rect last = virtuals().ItemRect(virtuals().Count() - 1);
  const QRect shown = view->viewport()->geometry();
  const ui::Point below{(last.left + last.right) / 2, last.bottom + last.Height()};
  ASSERT_TRUE(shown.contains(below.x, below.y)) << "no room below " << last.bottom;
  ASSERT_EQ(virtuals().HitTest(below), -1);
  ui::PromptScript script(FailTest);
  script.AnswerMessageBox(ui::kIdOk);
  Drag(units(), 0, client().ScreenToClient(virtuals().ClientToScreen(below)));
  ASSERT_EQ(script.Seen().size(), 1u);
  EXPECT_EQ(script.Seen()[0].text, "Create new virtual device?");
  EXPECT_EQ(virtuals().Count(), 13);
}

}  // namespace
}  // namespace apptest
