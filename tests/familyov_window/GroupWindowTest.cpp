// The group window's flow of panes, its size limit and its Tab order.

#include <gtest/gtest.h>

#include <QScrollArea>
#include <QScrollBar>
#include <memory>
#include <type_traits>
#include <vector>

#include "familyov/unit/TGroupWindow.h"
#include "familyov/unit/TOVWindow.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Frame.h"
#include "platform/ui/TestHooks.h"

namespace namespaceOV {
namespace {

// A unit's window of channel panes holds one set of notification links, not one per base.
static_assert(std::is_convertible_v<OVChild<TGroupWindow>*, TDataWindow*>);

class GroupWindowTest : public testing::Test {
 protected:
  GroupWindowTest() {
    group.SetRect({0, 0, 600, 400});
    group.Create();
  }
  // A pane of the fixture's group, or of `owner`.
  ui::Window* Pane(int width, int height, TGroupWindow* owner = nullptr) {
    panes.push_back(std::make_unique<ui::Window>(owner ? owner : &group));
    panes.back()->SetRect({0, 0, width, height});
    return panes.back().get();
  }
  static ui::Point Origin(const ui::Window* pane) {
    const ui::Rect r = pane->WindowRect();
    return {r.left, r.top};
  }

  TGroupWindow group{nullptr};
  std::vector<std::unique_ptr<ui::Window>> panes;
};

TEST_F(GroupWindowTest, RowsStartBelowTheTallestPaneAndEdgePanesFrameTheFlow) {
  ui::Window* top = Pane(100, 20);
  ui::Window* a = Pane(50, 80);
  ui::Window* b = Pane(60, 30);  // shorter than a, in the same row
  ui::Window* c = Pane(40, 10);
  ui::Window* right = Pane(15, 15);
  group.SetEdgePane(top, TGroupWindow::kTop);
  group.AddPane(a);
  group.AddPane(b);
  group.AddPane(c, true);
  group.SetEdgePane(right, TGroupWindow::kRight);
  EXPECT_EQ(Origin(a), (ui::Point{0, 20}));
  EXPECT_EQ(Origin(b), (ui::Point{50, 20}));
  EXPECT_EQ(Origin(c), (ui::Point{0, 100}));  // below a, the tallest, not below b
  EXPECT_EQ(Origin(right), (ui::Point{110, 20}));
  EXPECT_EQ(group.ContentWidth(), 125);
  EXPECT_EQ(group.ContentHeight(), 110);
  // Shown on its own, the window takes the whole content and one pixel, not the size of the first
  // pane.
  EXPECT_EQ(group.ClientRect(),
            (ui::Rect{0, 0, group.FittingSize().cx + 1, group.FittingSize().cy + 1}));

  // Flowing down, a new column starts just below the top edge pane, right of the widest pane.
  TGroupWindow down{nullptr};
  down.flowDown = true;
  down.Create();
  ui::Window* header = Pane(100, 20, &down);
  ui::Window* d = Pane(70, 30, &down);
  ui::Window* e = Pane(40, 30, &down);
  ui::Window* f = Pane(40, 30, &down);
  down.SetEdgePane(header, TGroupWindow::kTop);
  down.AddPane(d);
  down.AddPane(e);
  down.AddPane(f, true);
  EXPECT_EQ(Origin(e), (ui::Point{0, 50}));
  EXPECT_EQ(Origin(f), (ui::Point{70, 20}));
}

TEST_F(GroupWindowTest, AFrameAroundTheGroupFitsTheContentAndADraggedThumbMovesNothing) {
  TGroupWindow client{nullptr};
  ui::Frame frame("Panes", &client);
  frame.AddStatusBar();
  frame.SetRect({0, 0, 400, 200});
  frame.Create();
  for (int i = 0; i < 8; ++i) client.AddPane(Pane(90, 300, &client));
  frame.Show();
  ui::test::PumpMessages();
  // The whole content shows, the status bar below it; a larger frame is refused.
  auto* area = static_cast<QScrollArea*>(client.Widget());
  EXPECT_EQ(area->viewport()->width(), 8 * 90 + 1);
  EXPECT_EQ(area->viewport()->height(), 300 + 1);
  const ui::Rect fitted = frame.ClientRect();
  frame.SetClientSize({fitted.Width() + 200, fitted.Height() + 200});
  EXPECT_EQ(frame.ClientRect(), fitted);

  // Made smaller, the panes follow a dragged thumb only when it is released.
  frame.SetClientSize({300, 200});
  ui::test::PumpMessages();
  QScrollBar* bar = area->horizontalScrollBar();
  const ui::Rect before = panes.back()->WindowRect();
  const ui::Point onScreen = panes.back()->ClientToScreen({0, 0});
  bar->setSliderDown(true);
  bar->setSliderPosition(200);
  EXPECT_EQ(panes.back()->ClientToScreen({0, 0}), onScreen);
  bar->setSliderDown(false);
  EXPECT_EQ(panes.back()->ClientToScreen({0, 0}).x, onScreen.x - 200);
  EXPECT_EQ(panes.back()->WindowRect(), before);
}

TEST_F(GroupWindowTest, TabWrapsRoundTheFocusList) {
  // Panes that take the focus, as the dialogs a group holds do.
  std::vector<std::unique_ptr<ui::Edit>> edits;
  for (int i = 0; i < 3; ++i) {
    edits.push_back(std::make_unique<ui::Edit>(&group, 100 + i));
    edits.back()->SetRect({0, 0, 50, 20});
    group.AddPane(edits.back().get());
  }
  ui::Window* a = edits[0].get();
  ui::Window* b = edits[1].get();
  ui::Window* c = edits[2].get();
  group.Show();
  ui::test::PumpMessages();
  group.MoveFocus(c, false);
  EXPECT_TRUE(a->HasFocus());
  group.MoveFocus(a, true);
  EXPECT_TRUE(c->HasFocus());

  // With a list of some panes, Tab skips the others; a pane outside the list moves nothing.
  group.focusList = {a, c};
  group.MoveFocus(a, false);
  EXPECT_TRUE(c->HasFocus());
  group.MoveFocus(b, false);
  EXPECT_TRUE(c->HasFocus());
}

}  // namespace
}  // namespace namespaceOV
