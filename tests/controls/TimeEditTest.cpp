#include <gtest/gtest.h>

#include <QLineEdit>

#include "controls/TTimeEdit.h"
#include "controls/TimeText.h"
#include "platform/ui/TestHooks.h"
#include "tests/controls/ControlsTestEnvironment.h"

namespace {

using controls::FormatTime;
using controlstest::Host;

struct Time {
  int hour, minute, second;
  friend bool operator==(const Time&, const Time&) = default;
};

// What the text gives when the caller's fields held 4:44:44.
Time Parse(const std::string& text) {
  Time t{4, 44, 44};
  controls::ParseTime(text, t.hour, t.minute, t.second);
  return t;
}

TEST(TimeText, FormatsTwelveHourTimeWithATrailingBlank) {
  EXPECT_EQ(FormatTime(0, 5, 7), "12:05:07 ");
  EXPECT_EQ(FormatTime(12, 0, 0), "12:00:00 ");
  EXPECT_EQ(FormatTime(15, 30, 0), "3:30:00 ");
  EXPECT_EQ(FormatTime(9, 59, 59), "9:59:59 ");
}

TEST(TimeText, ParsesLenientlyAndKeepsTheRange) {
  EXPECT_EQ(Parse("12:30:00 "), (Time{0, 30, 0}));
  EXPECT_EQ(Parse("13:75"), (Time{0, 59, 0}));
  EXPECT_EQ(Parse("3:7:9"), (Time{3, 7, 9}));
  EXPECT_EQ(Parse(""), (Time{0, 44, 44})) << "no hour: the rest as it was";
  EXPECT_EQ(Parse("7"), (Time{7, 44, 44})) << "no colon: the rest as it was";
  EXPECT_EQ(Parse("7:"), (Time{7, 0, 44})) << "no minute: the second as it was";
  EXPECT_EQ(Parse("7:5"), (Time{7, 5, 0}));
  EXPECT_EQ(Parse("7:5: "), (Time{7, 5, 0}));
  EXPECT_EQ(Parse("-3:-4:-5"), (Time{0, 0, 0}));
  EXPECT_EQ(Parse("99999999999999:99999999999:1"), (Time{0, 59, 1})) << "huge numbers saturate";
  Time t{3, 75, -2};
  controls::ParseTime("", t.hour, t.minute, t.second);
  EXPECT_EQ(t, (Time{0, 59, 0})) << "the caller's fields are brought into range too";
}

struct TimeEditTest : testing::Test {
  Host host;
  TTimeEdit edit{&host, 900, 12};

  void SetUp() override {
    Host::Place(edit, {10, 10, 130, 32}, ui::ControlKind::Edit);
    host.Open();
    edit.SetTime(10, 20, 30);  // "10:20:30 "
  }
  std::pair<int, int> Selection() const {
    int start = 0;
    int end = 0;
    edit.GetSelection(start, end);
    return {start, end};
  }
  // A point over the character at `index`.
  ui::Point Over(int index) const {
    const int y = edit.ClientRect().Height() / 2;
    for (int x = 0; x < edit.ClientRect().Width(); ++x) {
      if (edit.CharFromPos({x, y}) == index) return {x + 1, y};
    }
    ADD_FAILURE() << "no point over character " << index;
    return {0, y};
  }
};

TEST_F(TimeEditTest, SetTimeChangesTheTextOnlyWhenItDiffers) {
  int changes = 0;
  host.OnNotify(900, ui::Notify::Changed, [&](const ui::Notification&) {
    ++changes;
    return ui::Param{0};
  });
  edit.SetTime(10, 20, 30);
  EXPECT_EQ(changes, 0);
  edit.SetTime(0, 1, 2);
  EXPECT_EQ(edit.Text(), "12:01:02 ");
  int h = 0, m = 0, s = 0;
  edit.GetTime(h, m, s);
  EXPECT_EQ((Time{h, m, s}), (Time{0, 1, 2}));
}

TEST_F(TimeEditTest, TabMovesBetweenTheFieldsAndSelectsEachWhole) {
  edit.SetField(TTimeEdit::kSeconds);
  edit.SelectField();
  EXPECT_EQ(Selection(), std::make_pair(6, 8)) << "the seconds, without the blank";
  ui::test::PressKey(edit, Qt::Key_Tab);
  EXPECT_EQ(edit.CurrentField(), TTimeEdit::kHours);
  EXPECT_EQ(Selection(), std::make_pair(0, 2));
  ui::test::PressKey(edit, Qt::Key_Tab);
  EXPECT_EQ(Selection(), std::make_pair(3, 5));
  ui::test::PressKey(edit, Qt::Key_Tab, ui::kShiftKey);
  ui::test::PressKey(edit, Qt::Key_Tab, ui::kShiftKey);
  EXPECT_EQ(edit.CurrentField(), TTimeEdit::kSeconds) << "backwards from the hours wraps";
  EXPECT_EQ(Selection(), std::make_pair(6, 8));
}

TEST_F(TimeEditTest, SelectingAFieldNormalisesAHandTypedText) {
  ui::test::Type(host, 900, "1:5");
  edit.SetField(TTimeEdit::kMinutes);
  edit.SelectField();
  EXPECT_EQ(edit.Text(), "1:05:00 ");
  EXPECT_EQ(Selection(), std::make_pair(2, 4));
  ui::test::Type(host, 900, "a1b:c2");
  EXPECT_EQ(edit.Text(), "1:2") << "only digits, colons and blanks can be typed";
}

TEST_F(TimeEditTest, AClickSelectsTheFieldUnderIt) {
  for (const auto& [index, field] :
       {std::pair{1, TTimeEdit::kHours}, std::pair{4, TTimeEdit::kMinutes},
        std::pair{7, TTimeEdit::kSeconds}}) {
    const ui::Point p = Over(index);
    ui::test::MouseDown(edit, p);
    ui::test::MouseUp(edit, p);
    ui::test::PumpMessages();
    EXPECT_EQ(edit.CurrentField(), field) << index;
  }
  EXPECT_EQ(Selection(), std::make_pair(6, 8));
}

}  // namespace
