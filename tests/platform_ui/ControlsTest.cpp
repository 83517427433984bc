#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DrawnWindow.h"
#include "platform/ui/Edit.h"
#include "platform/ui/HeldRepeat.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Static.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Trackbar.h"
#include "platform/ui/TreeItemDrag.h"
#include "platform/ui/TreeView.h"
#include "tests/platform_ui/UiTestEnvironment.h"

namespace ui {
namespace {

constexpr int kControls = 9201;
enum : int {
  kPassword = 101,
  kUpper,
  kTime,
  kLog,
  kCombo,
  kList,
  kReport,
  kTree,
  kSlider,
  kSpin,
  kProgress,
  kRadioA,
  kRadioB,
  kRadioC,
  kRadioD,
  kLamp,
  kDigits,
  kPicture,
  kSorted
};

void RegisterTemplate() {
  Resources::AddDialog(
      {kControls,
       "Controls",
       {0, 0, 300, 260},
       style::kNone,
       {{kPassword, ControlKind::Edit, "", {5, 5, 60, 12}, style::kPassword},
        {kUpper, ControlKind::Edit, "", {70, 5, 60, 12}, style::kUpperCase},
        {kTime, ControlKind::Edit, "", {135, 5, 60, 12}},
        {kDigits, ControlKind::Edit, "", {200, 5, 40, 12}, style::kNumber},
        {kLog, ControlKind::Edit, "", {5, 20, 190, 40}, style::kMultiLine | style::kReadOnly},
        {kCombo, ControlKind::ComboBox, "", {5, 65, 80, 60}, style::kDropDownList},
        {kList, ControlKind::ListBox, "", {90, 65, 60, 40}},
        {kReport,
         ControlKind::ListView,
         "",
         {5, 110, 140, 60},
         style::kReport | style::kSingleSelection | style::kEditLabels},
        {kTree, ControlKind::TreeView, "", {150, 110, 100, 60}, style::kEditLabels},
        {kSlider, ControlKind::Trackbar, "", {5, 175, 100, 15}},
        {kSpin, ControlKind::UpDown, "", {110, 175, 10, 15}},
        {kProgress, ControlKind::ProgressBar, "", {130, 175, 100, 10}},
        {kRadioA, ControlKind::RadioButton, "A", {5, 200, 30, 10}, style::kGroup},
        {kRadioB, ControlKind::RadioButton, "B", {40, 200, 30, 10}},
        {kRadioC, ControlKind::RadioButton, "C", {80, 200, 30, 10}, style::kGroup},
        {kRadioD, ControlKind::RadioButton, "D", {120, 200, 30, 10}},
        {kLamp, ControlKind::OwnerDrawButton, "", {5, 215, 40, 20}},
        {kPicture, ControlKind::Picture, "", {50, 215, 16, 16}},
        {kSorted, ControlKind::ListView, "", {200, 65, 95, 40}, style::kReport | style::kSort}}});
}

// An owner-drawn lamp: red when pressed, green otherwise, with a one-pixel black top line.
class Lamp : public OwnerDrawButton {
 public:
  using OwnerDrawButton::OwnerDrawButton;
  int entire = 0;
  int selections = 0;

 protected:
  void DrawEntire(Dc& dc, const DrawItemState& s) override {
    ++entire;
    Paint(dc, s);
  }
  void SelectChange(Dc& dc, const DrawItemState& s) override {
    ++selections;
    Paint(dc, s);
  }

 private:
  void Paint(Dc& dc, const DrawItemState& s) {
    const Rect r = ClientRect();
    dc.FillRect(r, s.selected ? kRed : kGreen);
    dc.FillRect({0, 0, r.right, 1}, kBlack);
  }
};

class ControlsDialog : public Dialog {
 public:
  ControlsDialog() : Dialog(nullptr, kControls), time(this, kTime), lamp(this, kLamp) {}
  void SetupWindow() override { time.SetValidator(std::make_unique<CharSetValidator>("0-9: ")); }
  template <typename C>
  C& Get(int id) {
    return static_cast<C&>(*ControlById(id));
  }
  Edit time;
  Lamp lamp;
};

class ControlsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterTemplate(); }
  void SetUp() override {
    d.Create();
    d.Show();
    test::PumpMessages();
  }
  void Record(int id, Notify code) {
    d.OnNotify(id, code, [this](const Notification& n) {
      seen.push_back(n);
      return answer;
    });
  }
  ControlsDialog d;
  std::vector<Notification> seen;
  Param answer = 0;
};

TEST_F(ControlsTest, EditsApplyPasswordUpperCaseAndCharacterSetsAlsoOnPaste) {
  test::Type(d, kPassword, "secret");
  EXPECT_EQ(d.Get<Edit>(kPassword).Text(), "secret");
  EXPECT_EQ(static_cast<QLineEdit*>(d.Get<Edit>(kPassword).Widget())->displayText(),
            QString(6, QChar(0x25CF)));
  test::Type(d, kUpper, "lobby 2");
  EXPECT_EQ(d.Get<Edit>(kUpper).Text(), "LOBBY 2");
  test::Paste(d, kUpper, "b\xE9");
  EXPECT_EQ(d.Get<Edit>(kUpper).Text(), "LOBBY 2B\xC9") << "pasted text is upper-cased too";

  test::Type(d, kTime, "12:3a0:0");
  EXPECT_EQ(d.time.Text(), "12:30:0");
  test::Paste(d, kTime, "x5");
  EXPECT_EQ(d.time.Text(), "12:30:0") << "a paste with a refused character is refused whole";
  d.time.SetSelection(3, 5);
  int start = 0;
  int end = 0;
  d.time.GetSelection(start, end);
  EXPECT_EQ(start, 3);
  EXPECT_EQ(end, 5);
  EXPECT_EQ(d.time.CharFromPos({0, 5}), 0);

  test::Type(d, kDigits, "4a8-");
  EXPECT_EQ(d.Get<Edit>(kDigits).Text(), "48");
}

// A validator whose own check fails, as a window's validator might.
class FailingValidator : public Validator {
 public:
  bool IsValidInput(const std::string&) const override { throw std::runtime_error("no table"); }
  std::string Error() const override { return "never shown"; }
};

TEST_F(ControlsTest, AFailingValidatorIsReportedAndTakesNoText) {
  Edit& digits = d.Get<Edit>(kDigits);
  digits.SetValidator(std::make_unique<FailingValidator>());
  testing_support::CollectedErrors reports;
  test::Type(d, kDigits, "4");
  EXPECT_EQ(digits.Text(), "");
  ASSERT_FALSE(reports.errors.empty());
  EXPECT_EQ(reports.errors.front(), "validator: no table");
}

TEST_F(ControlsTest, EditsTellTheirParentWhenTheyGainAndLoseTheFocus) {
  Record(kUpper, Notify::SetFocus);
  Record(kUpper, Notify::KillFocus);
  d.Widget()->activateWindow();
  d.Get<Edit>(kUpper).SetFocus();
  test::PumpMessages();
  d.Get<Edit>(kDigits).SetFocus();
  test::PumpMessages();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].code, Notify::SetFocus);
  EXPECT_EQ(seen[1].code, Notify::KillFocus);
  EXPECT_EQ(seen[1].control, &d.Get<Edit>(kUpper));
}

TEST_F(ControlsTest, TheLogEditKeepsItsLastLines) {
  Edit& log = d.Get<Edit>(kLog);
  log.SetMaxLines(3);
  for (int i = 1; i <= 5; ++i) log.AppendLine("line " + std::to_string(i));
  EXPECT_EQ(log.LineCount(), 3);
  EXPECT_EQ(log.Text(), "line 3\nline 4\nline 5");

  // A batch goes in whole, empty lines and all, and a batch longer than the log keeps its end.
  const std::vector<std::string> batch{"", "b", "c", "d", "e"};
  log.AppendLines(std::span(batch).first(2));
  EXPECT_EQ(log.Text(), "line 5\n\nb");
  log.AppendLines(batch);
  EXPECT_EQ(log.Text(), "c\nd\ne");
  log.AppendLines({});
  EXPECT_EQ(log.LineCount(), 3);
}

TEST_F(ControlsTest, ComboAndListBoxesHoldItemsWithDataAndIgnoreBadIndexes) {
  auto& combo = d.Get<ComboBox>(kCombo);
  Record(kCombo, Notify::SelChange);
  combo.AddString("msec", 48);
  combo.AddString("feet", 42);
  combo.InsertString(0, "samples", 1);
  combo.DeleteString(7);
  EXPECT_EQ(combo.Count(), 3);
  EXPECT_EQ(combo.ItemData(2), 42);
  EXPECT_EQ(combo.ItemText(-1), "");
  combo.SetSelection(0);
  EXPECT_TRUE(seen.empty()) << "setting the selection by code does not notify";
  combo.Widget()->setFocus();
  QTest::keyClick(combo.Widget(), Qt::Key_Down);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].item, 1);
  EXPECT_EQ(combo.Selection(), 1);
  EXPECT_EQ(combo.FindExact("feet"), 2);

  auto& list = d.Get<ListBox>(kList);
  seen.clear();
  Record(kList, Notify::SelChange);
  list.AddString("one", 1);
  list.AddString("two", 2);
  list.SetSelection(0);
  EXPECT_TRUE(seen.empty()) << "only the user's selection changes notify";
  list.Widget()->setFocus();
  QTest::keyClick(list.Widget(), Qt::Key_Down);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].item, 1);
  list.SetSelection(5);
  EXPECT_EQ(list.Selection(), -1);
  list.SetSelection(1);
  EXPECT_EQ(list.ItemData(list.Selection()), 2);
  list.DeleteString(0);
  EXPECT_EQ(list.ItemText(0), "two");
}

TEST_F(ControlsTest, AnImageListsMaskColourShowsWhatIsBehindThePicture) {
  // Two frames: a white field (the mask colour) with a red middle, then all blue.
  QImage strip(32, 16, QImage::Format_RGB32);
  strip.fill(Qt::white);
  for (int y = 6; y < 10; ++y)
    for (int x = 6; x < 10; ++x) strip.setPixel(x, y, qRgb(255, 0, 0));
  for (int y = 0; y < 16; ++y)
    for (int x = 16; x < 32; ++x) strip.setPixel(x, y, qRgb(0, 0, 255));
  ImageList images(16, 16);
  EXPECT_EQ(images.AddStrip(strip, kWhite), 0);
  EXPECT_EQ(qAlpha(images.Image(0).pixel(0, 0)), 0);
  EXPECT_EQ(images.Image(0).pixel(7, 7), qRgb(255, 0, 0));
  EXPECT_EQ(images.Image(1).pixel(0, 0), qRgb(0, 0, 255)) << "only the mask colour goes";

  auto& picture = static_cast<Picture&>(*d.ControlById(kPicture));
  picture.SetImage(images.Image(0));
  d.SetBackground(kGreen);
  const Point corner = picture.ClientToScreen({1, 1});
  const Point middle = picture.ClientToScreen({7, 7});
  EXPECT_EQ(test::SamplePixel(d, d.ScreenToClient(corner)), kGreen);
  EXPECT_EQ(test::SamplePixel(d, d.ScreenToClient(middle)), kRed);
}

TEST_F(ControlsTest, ListViewReportsSelectionLabelEditsHitsAndDrags) {
  auto& lv = d.Get<ListView>(kReport);
  ImageList icons(16, 16);
  QImage strip(48, 16, QImage::Format_RGB32);
  strip.fill(Qt::blue);
  EXPECT_EQ(icons.AddStrip(strip), 0);
  EXPECT_EQ(icons.Count(), 3);
  lv.SetImageList(&icons);
  lv.SetStateImageList(&icons);
  lv.AddColumn("Device", 120);
  lv.AddColumn("Address", 60);
  EXPECT_EQ(lv.InsertItem(0, "Stage left", 0, 256), 0);
  EXPECT_EQ(lv.InsertItem(0, "Stage right", 1, 257), 0);
  lv.SetItemText(0, 1, "12");
  lv.SetStateImage(1, 2);
  EXPECT_EQ(lv.ItemText(0, 1), "12");
  EXPECT_EQ(lv.ItemData(1), 256);
  EXPECT_EQ(lv.StateImage(1), 2);

  Record(kReport, Notify::ItemChanged);
  lv.SelectItem(1);
  lv.SelectItem(0);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].item, 1);
  EXPECT_EQ(seen[0].value, 1);
  EXPECT_EQ(seen[1].item, 1);
  EXPECT_EQ(seen[1].value, 0);
  EXPECT_EQ(seen[2].item, 0);
  lv.DeleteItem(0);
  EXPECT_EQ(lv.SelectedItem(), -1);

  // A label edit is refused unless the parent accepts it.
  seen.clear();
  Record(kReport, Notify::EndLabelEdit);
  auto* tree = static_cast<QTreeWidget*>(lv.Widget());
  tree->topLevelItem(0)->setText(0, "Renamed");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "Renamed");
  EXPECT_EQ(lv.ItemText(0), "Stage left");
  answer = 1;
  tree->topLevelItem(0)->setText(0, "Renamed");
  EXPECT_EQ(lv.ItemText(0), "Renamed");

  const Rect r = lv.ItemRect(0);
  ASSERT_FALSE(r.IsEmpty());
  EXPECT_EQ(lv.HitTest({r.left + 5, r.top + 2}), 0);
  EXPECT_EQ(lv.HitTest({r.left + 5, r.bottom + 40}), -1);
  Point corner;
  const QImage drag = lv.CreateDragImage(0, corner);
  EXPECT_EQ(drag.width(), r.Width());
  EXPECT_EQ(corner, (Point{r.left, r.top}));

  seen.clear();
  Record(kReport, Notify::BeginDrag);
  QWidget* viewport = tree->viewport();
  const QPoint inItem = viewport->mapFrom(tree, QPoint(r.left + 5, r.top + 2));
  QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, inItem);
  QMouseEvent move(QEvent::MouseMove, inItem + QPoint(30, 0),
                   viewport->mapToGlobal(inItem + QPoint(30, 0)), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(viewport, &move);
  QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, inItem + QPoint(30, 0));
  std::erase_if(seen, [](const Notification& n) { return n.code != Notify::BeginDrag; });
  ASSERT_EQ(seen.size(), 1u) << "one drag per press";
  EXPECT_EQ(seen[0].item, 0);
}

TEST_F(ControlsTest, ASortedListKeepsTextOrderSelectsSeveralAndReportsRightClicks) {
  auto& lv = d.Get<ListView>(kSorted);
  lv.AddColumn("Filter", lv.TextWidth("High shelving") + 41);
  EXPECT_GT(lv.TextWidth("High shelving"), lv.TextWidth("Low"));
  EXPECT_EQ(lv.InsertItem(0, "Parametric", -1, 1), 0);
  EXPECT_EQ(lv.InsertItem(0, "high pass", -1, 2), 0) << "case does not count";
  EXPECT_EQ(lv.InsertItem(0, "Parametric", -1, 3), 2) << "after its equal";
  EXPECT_EQ(lv.ItemData(1), 1);
  for (int i = 0; i < 8; ++i) lv.InsertItem(0, "Shelf", -1, 10 + i);

  Record(kSorted, Notify::ItemChanged);
  auto* tree = static_cast<QTreeWidget*>(lv.Widget());
  tree->topLevelItem(1)->setSelected(true);
  tree->topLevelItem(3)->setSelected(true);
  EXPECT_EQ(lv.SelectedItems(), (std::vector<int>{1, 3}));
  EXPECT_TRUE(lv.IsSelected(3));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].item, 3);
  EXPECT_EQ(seen[1].value, 1);

  // Deleting one selected row keeps the other selected and tells nobody of a new selection.
  seen.clear();
  lv.DeleteItem(1);
  EXPECT_EQ(lv.SelectedItems(), (std::vector<int>{2}));
  lv.SelectItem(9);  // the last row
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].item, 2);
  EXPECT_EQ(seen[0].value, 0) << "losses first";
  EXPECT_EQ(seen[1].item, 9);
  const Rect last = lv.ItemRect(9);
  EXPECT_LE(last.bottom, lv.ClientRect().bottom) << "scrolled into view";

  // The window sets the selection row by row, as its select-all command does.
  seen.clear();
  lv.SetSelected(0, true);
  lv.SetSelected(9, false);
  EXPECT_EQ(lv.SelectedItems(), (std::vector<int>{0}));
  EXPECT_EQ(seen.size(), 2u);

  Record(kSorted, Notify::ColumnClick);
  seen.clear();
  QHeaderView* header = tree->header();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].value, 0);

  Record(kSorted, Notify::RightClick);
  seen.clear();
  const Point in{last.left + 5, last.top + 2};
  const QPoint inViewport = tree->viewport()->mapFrom(tree, QPoint(in.x, in.y));
  QTest::mouseClick(tree->viewport(), Qt::RightButton, Qt::NoModifier, inViewport);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back().item, 9);
  EXPECT_EQ(UnpackPoint(seen.back().value), in);
}

TEST_F(ControlsTest, TreeViewWalksInOrderShowsSelectedImagesAndRefusesRelabelsItsParentDeclines) {
  auto& tv = d.Get<TreeView>(kTree);
  const TreeItem filters = tv.InsertItem({}, "Filters", -1, 1);
  const TreeItem first = tv.InsertItem(filters, "Parametric", -1, 3);
  const TreeItem second = tv.InsertItem(filters, "Low shelf", -1, 6);
  const TreeItem delays = tv.InsertItem({}, "Delays");
  EXPECT_EQ(tv.FirstRoot(), filters);
  EXPECT_EQ(tv.FirstChild(filters), first);
  EXPECT_EQ(tv.NextSibling(first), second);
  EXPECT_FALSE(tv.NextSibling(second));
  EXPECT_EQ(tv.NextSibling(filters), delays);
  EXPECT_EQ(tv.ParentOf(second), filters);
  EXPECT_EQ(tv.ItemData(second), 6);
  tv.Expand(filters);
  EXPECT_TRUE(tv.IsExpanded(filters));

  Record(kTree, Notify::EndLabelEdit);
  second.node->setText(0, "High shelf");
  EXPECT_EQ(tv.ItemText(second), "Low shelf");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(TreeView::FromParam(seen[0].value), second);
  tv.SetItemText(second, "High shelf");
  EXPECT_EQ(tv.ItemText(second), "High shelf");

  // Images given before the list comes; the selected image shows while the item is selected.
  QImage strip(32, 16, QImage::Format_RGB32);
  strip.fill(Qt::blue);
  for (int y = 0; y < 16; ++y)
    for (int x = 16; x < 32; ++x) strip.setPixel(x, y, qRgb(255, 0, 0));
  ImageList images(16, 16);
  images.AddStrip(strip);
  tv.SetItemImages(delays, 0, 1);
  tv.SetImageList(&images);
  const auto iconPixel = [&](QIcon::Mode mode) {
    return delays.node->icon(0).pixmap(16, 16, mode).toImage().pixel(8, 8);
  };
  EXPECT_EQ(iconPixel(QIcon::Normal), qRgb(0, 0, 255));
  EXPECT_EQ(iconPixel(QIcon::Selected), qRgb(255, 0, 0));
  tv.SetItemImage(delays, 1);
  EXPECT_EQ(iconPixel(QIcon::Normal), qRgb(255, 0, 0));

  seen.clear();
  Record(kTree, Notify::DoubleClick);
  auto* view = static_cast<QTreeWidget*>(tv.Widget());
  // A click, then the second press that the platform reports as a double click.
  const QPoint at = view->visualItemRect(delays.node).center();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  QMouseEvent again(QEvent::MouseButtonDblClick, at, view->viewport()->mapToGlobal(at),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(view->viewport(), &again);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(TreeView::FromParam(seen[0].value), delays);

  tv.DeleteItem(filters);
  EXPECT_EQ(tv.FirstRoot(), delays);
}

TEST_F(ControlsTest, ATreeItemDroppedHandsOverItsDataAndTheItemUnderTheMouseThenFreesTheMouse) {
  auto& tv = d.Get<TreeView>(kTree);
  const TreeItem from = tv.InsertItem({}, "Channel A", -1, 1);
  const TreeItem onto = tv.InsertItem({}, "Channel B", -1, 2);
  std::vector<std::pair<Param, TreeItem>> drops;
  TreeItemDrag drag(d, tv,
                    [&](Param source, TreeItem target) { drops.emplace_back(source, target); });
  auto* view = static_cast<QTreeWidget*>(tv.Widget());
  const auto releaseAt = [&](QPoint inView) {
    const QPoint inTree = view->viewport()->mapTo(view, inView);
    d.Send(msg::kLButtonUp, 0,
           PackPoint(d.ScreenToClient(tv.ClientToScreen({inTree.x(), inTree.y()}))));
  };

  releaseAt(view->visualItemRect(onto.node).center());
  EXPECT_TRUE(drops.empty()) << "no drag, no drop";
  d.SendNotify({kTree, Notify::BeginDrag, &tv, -1, reinterpret_cast<Param>(from.node)});
  EXPECT_TRUE(drag.Active());
  EXPECT_EQ(Window::MouseCapture(), &d);
  releaseAt(view->visualItemRect(onto.node).center());
  EXPECT_FALSE(drag.Active());
  EXPECT_EQ(Window::MouseCapture(), nullptr);
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].first, 1);
  EXPECT_EQ(drops[0].second, onto);

  // Over no item the drop still ends the drag and says so.
  d.SendNotify({kTree, Notify::BeginDrag, &tv, -1, reinterpret_cast<Param>(onto.node)});
  releaseAt({2, view->viewport()->height() - 2});
  ASSERT_EQ(drops.size(), 2u);
  EXPECT_EQ(drops[1].first, 2);
  EXPECT_FALSE(drops[1].second);
}

TEST_F(ControlsTest, TrackbarTickLabelsThatWouldTouchTakeAFurtherLine) {
  auto& tb = d.Get<Trackbar>(kSlider);
  tb.SetRange(1, 277);
  tb.Widget()->resize(200, 70);
  tb.SetTickMarks({{1, "4"}, {12, "1/3"}, {24, "1/6"}, {277, "1/70"}});
  const QImage image = tb.Widget()->grab().toImage();
  // The lowest ink below the bar: the crowded labels on the left reach a line lower than the
  // lone one on the right.
  auto lowestInk = [&](int fromX, int toX) {
    int lowest = -1;
    for (int y = image.height() / 3; y < image.height(); ++y) {
      for (int x = fromX; x < toX; ++x) {
        if (qGray(image.pixel(x, y)) < 100) lowest = y;
      }
    }
    return lowest;
  };
  const int left = lowestInk(0, 40);
  const int right = lowestInk(150, 200);
  ASSERT_GT(right, 0);
  EXPECT_GE(left - right, tb.Widget()->fontMetrics().height() / 2);
}

TEST_F(ControlsTest, TrackbarKeyboardMovesEndWithEndScrollAndReportTheNewPosition) {
  auto& tb = d.Get<Trackbar>(kSlider);
  tb.SetRange(0, 40);
  tb.SetPosition(20);
  std::vector<std::pair<ScrollCode, int>> moves;
  d.OnNotify(kSlider, Notify::Scroll, [&](const Notification& n) {
    moves.emplace_back(static_cast<ScrollCode>(n.value), tb.Position());
    return Param{0};
  });
  tb.Widget()->setFocus();
  QTest::keyClick(tb.Widget(), Qt::Key_Right);
  QTest::keyClick(tb.Widget(), Qt::Key_PageDown);
  ASSERT_EQ(moves.size(), 4u);
  EXPECT_EQ(moves[0], std::make_pair(ScrollCode::LineDown, 21));
  EXPECT_EQ(moves[1], std::make_pair(ScrollCode::EndScroll, 21));
  EXPECT_EQ(moves[2].first, ScrollCode::PageDown);
  EXPECT_EQ(moves[3].first, ScrollCode::EndScroll);
  tb.SetPosition(99);
  EXPECT_EQ(tb.Position(), 40);

  // Dragging the thumb: tracking moves, then the final position, then the end.
  moves.clear();
  tb.SetPosition(0);
  auto* slider = static_cast<QSlider*>(tb.Widget());
  const QPoint thumb = test::SliderThumb(tb).center();
  QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, thumb);
  QMouseEvent drag(QEvent::MouseMove, thumb + QPoint(40, 0),
                   slider->mapToGlobal(thumb + QPoint(40, 0)), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(slider, &drag);
  QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, thumb + QPoint(40, 0));
  ASSERT_GE(moves.size(), 3u);
  EXPECT_EQ(moves[0].first, ScrollCode::ThumbTrack);
  EXPECT_GT(moves[0].second, 0);
  EXPECT_EQ(moves[moves.size() - 2].first, ScrollCode::ThumbPosition);
  EXPECT_EQ(moves.back().first, ScrollCode::EndScroll);
  EXPECT_EQ(moves.back().second, tb.Position());
}

TEST_F(ControlsTest, UpDownSendsSignedDeltasThatTheParentMayVeto) {
  auto& spin = d.Get<UpDown>(kSpin);
  spin.SetRange(-20, 20);
  Record(kSpin, Notify::DeltaPos);
  spin.Step(-1);
  spin.Step(1);
  spin.Step(1);
  EXPECT_EQ(spin.Position(), 1);
  answer = 1;
  spin.Step(1);
  EXPECT_EQ(spin.Position(), 1) << "vetoed";
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].value, -1);

  answer = 0;
  auto* up = spin.Widget()->findChildren<QToolButton*>().front();
  up->click();
  EXPECT_EQ(seen.back().value, -1) << "the upper arrow is the negative delta";
  spin.SetPosition(50);
  EXPECT_EQ(spin.Position(), 20);

  auto& bar = d.Get<ProgressBar>(kProgress);
  bar.SetRange(0, 10);
  bar.SetValue(11);
  EXPECT_EQ(bar.Value(), 10);
  bar.SetValue(-3);
  EXPECT_EQ(bar.Value(), 0);
}

// Held, an arrow, the slider's track and a key repeat until their hold ends (as a failure ends
// every hold); after that neither a repeat, the hand moving on the arrow nor the release acts, and
// only a new press does.
TEST_F(ControlsTest, HeldArrowsTracksAndKeysActNoMoreOnceTheirHoldEnds) {
  auto& spin = d.Get<UpDown>(kSpin);
  spin.SetRange(-100, 100);
  Record(kSpin, Notify::DeltaPos);
  auto* down = spin.Widget()->findChildren<QToolButton*>().back();
  const QPoint onArrow = down->rect().center();
  QTest::mousePress(down, Qt::LeftButton, {}, onArrow);
  test::StepTimers(UpDown::kArrowRepeatPace.delayMs + 2 * UpDown::kArrowRepeatPace.intervalMs);
  EXPECT_EQ(seen.size(), 3u);
  EndHolds();
  test::StepTimers(UpDown::kArrowRepeatPace.delayMs);
  QTest::mouseMove(down, onArrow + QPoint(1, 0));
  test::StepTimers(UpDown::kArrowRepeatPace.delayMs);
  QTest::mouseRelease(down, Qt::LeftButton, {}, onArrow);
  EXPECT_EQ(seen.size(), 3u);
  QTest::mouseClick(down, Qt::LeftButton, {}, onArrow);
  EXPECT_EQ(seen.size(), 4u);

  auto& tb = d.Get<Trackbar>(kSlider);
  tb.SetRange(0, 1000);
  tb.SetPosition(0);
  std::vector<ScrollCode> moves;
  d.OnNotify(kSlider, Notify::Scroll, [&](const Notification& n) {
    moves.push_back(static_cast<ScrollCode>(n.value));
    return Param{0};
  });
  auto* slider = static_cast<QSlider*>(tb.Widget());
  const QPoint onTrack(slider->width() - 3, slider->height() / 2);
  QTest::mousePress(slider, Qt::LeftButton, {}, onTrack);
  test::StepTimers(Trackbar::kTrackRepeatPace.delayMs + Trackbar::kTrackRepeatPace.intervalMs);
  EXPECT_EQ(moves, std::vector<ScrollCode>(3, ScrollCode::PageDown));
  EndHolds();
  test::StepTimers(Trackbar::kTrackRepeatPace.delayMs);
  QTest::mouseRelease(slider, Qt::LeftButton, {}, onTrack);
  EXPECT_EQ(moves.size(), 3u) << "the move ended with the hold";

  moves.clear();
  slider->setFocus();
  QTest::simulateEvent(slider, true, Qt::Key_Left, {}, {}, false);
  QTest::simulateEvent(slider, true, Qt::Key_Left, {}, {}, true);
  EndHolds();
  QTest::simulateEvent(slider, true, Qt::Key_Left, {}, {}, true);
  QTest::simulateEvent(slider, false, Qt::Key_Left, {}, {}, false);
  EXPECT_EQ(moves, std::vector<ScrollCode>(2, ScrollCode::LineUp));
  QTest::keyClick(slider, Qt::Key_Left);
  EXPECT_EQ(moves.size(), 4u) << "a new press and its release";
}

TEST_F(ControlsTest, RadioButtonsAreExclusiveWithinTheirTemplateGroup) {
  test::Click(d, kRadioA);
  test::Click(d, kRadioC);
  test::Click(d, kRadioB);
  EXPECT_FALSE(d.Get<RadioButton>(kRadioA).IsChecked());
  EXPECT_TRUE(d.Get<RadioButton>(kRadioB).IsChecked());
  EXPECT_TRUE(d.Get<RadioButton>(kRadioC).IsChecked()) << "another group";
  int clicks = 0;
  d.OnCommand(kRadioD, [&] { ++clicks; });
  test::Click(d, kRadioD);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(d.Get<RadioButton>(kRadioC).IsChecked());
}

TEST_F(ControlsTest, ButtonsShowNoStateUntilTheProgramOrAClickGivesThemOne) {
  auto& a = d.Get<RadioButton>(kRadioA);
  auto& b = d.Get<RadioButton>(kRadioB);
  test::Click(d, kRadioA);
  a.ShowNoState();
  b.ShowNoState();
  EXPECT_FALSE(a.IsChecked() || b.IsChecked()) << "a ticked radio button cleared";
  EXPECT_FALSE(a.HasState() || b.HasState());
  test::Click(d, kRadioB);
  EXPECT_TRUE(b.IsChecked() && a.HasState() && b.HasState()) << "the group stated again";

  Window grid;
  grid.SetRect({0, 0, 40, 20});
  CheckBox box(&grid, 1);
  box.Bind({1, ControlKind::CheckBox, "", {}}, {0, 0, 20, 20});
  grid.Create();
  for (const bool clicked : {false, true}) {
    box.SetCheck(true);
    box.ShowNoState();
    EXPECT_FALSE(box.IsChecked() || box.HasState());
    if (clicked) {
      box.Click();
      EXPECT_TRUE(box.IsChecked()) << "a click from no state ticks the box";
    } else {
      box.SetCheck(false);
      EXPECT_FALSE(box.IsChecked());
    }
    EXPECT_TRUE(box.HasState());
    box.Click();
    EXPECT_EQ(box.IsChecked(), !clicked) << "a box stated again toggles between two states";
  }
}

TEST(HandPlacedControls, ControlsSharingAnIdAreToldApartByTheFocusTheClickGave) {
  constexpr int kCrosspoint = 101;
  Window grid;
  grid.SetRect({0, 0, 100, 40});
  std::vector<std::unique_ptr<CheckBox>> boxes;
  for (int i = 0; i < 3; ++i) {
    boxes.push_back(std::make_unique<CheckBox>(&grid, kCrosspoint));
    boxes.back()->Bind({kCrosspoint, ControlKind::CheckBox, "", {}}, {i * 22, 0, i * 22 + 20, 20});
  }
  Window* clicked = nullptr;
  grid.OnCommand(kCrosspoint, [&] { clicked = Window::FocusWindow(); });
  grid.Create();
  grid.Show();
  grid.BringToTop();
  test::PumpMessages();
  QTest::mouseClick(boxes[1]->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  EXPECT_EQ(clicked, boxes[1].get());
  EXPECT_EQ(boxes[1]->WindowRect().left, 22);
}

TEST_F(ControlsTest, OwnerDrawnButtonsDrawEntireThenSelectionChangesAndSendTheirCommand) {
  EXPECT_EQ(test::SamplePixel(d.lamp, {5, 5}), kGreen);
  EXPECT_EQ(test::SamplePixel(d.lamp, {5, 0}), kBlack);
  EXPECT_GE(d.lamp.entire, 1);
  int clicks = 0;
  d.OnCommand(kLamp, [&] { ++clicks; });
  QTest::mousePress(d.lamp.Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  EXPECT_EQ(test::SamplePixel(d.lamp, {5, 5}), kRed);
  QTest::mouseRelease(d.lamp.Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  EXPECT_EQ(test::SamplePixel(d.lamp, {5, 5}), kGreen);
  EXPECT_EQ(d.lamp.selections, 2);
  EXPECT_EQ(clicks, 1);

  // A button that acts on presses itself: its handlers replace the button's own click.
  int presses = 0;
  d.lamp.OnMessage(msg::kLButtonDown, [&](const Message&) { return Param{++presses}; });
  d.lamp.OnMessage(msg::kLButtonUp, [](const Message&) { return Param{0}; });
  d.lamp.SetMouseButtonsHandledAlone(true);
  QTest::mouseClick(d.lamp.Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(clicks, 1) << "no click of its own";
  EXPECT_EQ(d.lamp.selections, 2);
}

}  // namespace
}  // namespace ui
