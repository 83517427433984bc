#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>
#include <stdexcept>

#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/Static.h"
#include "platform/ui/TestHooks.h"
#include "tests/platform_ui/UiTestEnvironment.h"
#include "tests/support/HangBoundTimer.h"

namespace ui {
namespace {

using testing_support::FailTest;

constexpr int kNameDialog = 9101;
constexpr int kPaneA = 9102;
constexpr int kPaneB = 9103;
constexpr int kHost = 9104;
constexpr int kKeyUpDialog = 9105;
constexpr int kReadOut = 9106;
constexpr int kReport = 9107;
constexpr int kApplyPane = 9108;
constexpr int kNameEdit = 101;
constexpr int kLevelEdit = 102;
constexpr int kApply = 103;
constexpr int kLabel = 104;

void RegisterTemplates() {
  Resources::AddDialog({kNameDialog,
                        "Name",
                        {0, 0, 160, 80},
                        style::kNone,
                        {{kLabel, ControlKind::Static, "Name:", {5, 5, 40, 10}},
                         {kNameEdit, ControlKind::Edit, "", {50, 5, 100, 12}},
                         {kLevelEdit, ControlKind::Edit, "", {50, 20, 40, 12}, style::kNumber},
                         {kApply, ControlKind::PushButton, "Apply", {5, 60, 40, 14}},
                         {kIdOk, ControlKind::PushButton, "OK", {60, 60, 40, 14}, style::kDefault},
                         {kIdCancel, ControlKind::PushButton, "Cancel", {110, 60, 40, 14}}}});
  Resources::AddDialog({kPaneA,
                        "",
                        {0, 0, 100, 40},
                        style::kChild,
                        {{kLabel, ControlKind::Static, "Pane A", {5, 5, 60, 10}}}});
  Resources::AddDialog({kPaneB,
                        "",
                        {0, 0, 100, 40},
                        style::kChild,
                        {{kLabel, ControlKind::Static, "Pane B", {5, 5, 60, 10}}}});
  Resources::AddDialog({kApplyPane,
                        "",
                        {0, 0, 100, 40},
                        style::kChild,
                        {{kApply, ControlKind::PushButton, "Apply", {5, 5, 40, 14}}}});
  Resources::AddDialog({kHost, "Host", {0, 0, 120, 60}, style::kNone, {}});
  Resources::AddDialog({kReadOut,
                        "",
                        {0, 92, 61, 14},
                        style::kPopup,
                        {{kLabel, ControlKind::Static, "0.0", {0, 0, 61, 14}, style::kCenter}}});
  Resources::AddDialog({kReport, "Report", {0, 0, 120, 60}, style::kCentreOnScreen, {}});
  Resources::AddDialog({kKeyUpDialog,
                        "Keys",
                        {0, 0, 100, 40},
                        style::kNone,
                        {{kNameEdit, ControlKind::Edit, "", {5, 5, 80, 12}}}});
}

// The dialog binds its own edit object; the others come from the template.
class NameDialog : public Dialog {
 public:
  explicit NameDialog(Window* parent = nullptr)
      : Dialog(parent, kNameDialog), name(this, kNameEdit, 8) {
    OnCommand(kApply, [this] { applied = name.Text(); });
  }
  void SetupWindow() override {
    name.SetText("preset");
    level().SetValidator(std::make_unique<RangeValidator>(0, 100));
  }
  Edit& level() { return static_cast<Edit&>(*ControlById(kLevelEdit)); }
  Edit name;
  std::string applied;
};

class DialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterTemplates(); }
};

TEST_F(DialogTest, ControlsComeFromTheTemplateAndBoundObjectsKeepTheirIds) {
  NameDialog d;
  d.Create();
  EXPECT_EQ(d.Text(), "Name");
  EXPECT_EQ(d.ControlById(kNameEdit), &d.name) << "the bound object takes its template entry";
  EXPECT_EQ(d.name.Text(), "preset");
  ASSERT_NE(dynamic_cast<StaticText*>(d.ControlById(kLabel)), nullptr);
  EXPECT_EQ(d.ControlById(kLabel)->Text(), "Name:");
  ASSERT_NE(dynamic_cast<PushButton*>(d.ControlById(kApply)), nullptr);

  // Positions and sizes follow the dialog font's metrics.
  const DialogUnits& u = d.Units();
  EXPECT_EQ(d.ControlById(kNameEdit)->WindowRect(), u.ToPixels({50, 5, 100, 12}));
  EXPECT_EQ(d.ClientRect().Width(), u.ToPixelsX(160));
  QFont font = QApplication::font();
  font.setPointSize(8);
  EXPECT_EQ(u.BaseY(), QFontMetrics(font).height());
  EXPECT_EQ(u.ToPixelsX(4), u.BaseX());
  EXPECT_EQ(u.ToPixelsY(8), u.BaseY());
}

TEST_F(DialogTest, ATemplateOrImageAgainIsHarmlessButAnotherUnderATakenIdIsRefused) {
  EXPECT_NO_THROW(RegisterTemplates());
  EXPECT_THROW(Resources::AddDialog({kPaneA, "", {0, 0, 120, 40}, style::kChild, {}}),
               std::logic_error);
  ASSERT_NE(Resources::Dialog(kPaneA), nullptr);
  EXPECT_EQ(Resources::Dialog(kPaneA)->box.width, 100) << "the first template stays";

  QImage picture(4, 4, QImage::Format_ARGB32);
  picture.fill(Qt::red);
  Resources::AddImage(kPaneA, picture);
  EXPECT_NO_THROW(Resources::AddImage(kPaneA, picture));
  picture.fill(Qt::blue);
  EXPECT_THROW(Resources::AddImage(kPaneA, picture), std::logic_error);
}

TEST_F(DialogTest, ModalDialogReturnsTheResultItsScriptedUserChose) {
  PromptScript script(FailTest);
  script.RunDialog(kNameDialog, [](Dialog& d) {
    test::Type(d, kNameEdit, "Lobby speakers");  // the limit of 8 cuts it
    test::Click(d, kApply);
    test::Type(d, kLevelEdit, "40");
    test::Click(d, kIdOk);
  });
  NameDialog d;
  EXPECT_EQ(d.Execute(), kIdOk);
  EXPECT_EQ(d.applied, "Lobby sp") << "typing replaces the text, up to the limit of 8";
  EXPECT_FALSE(d.IsCreated());
  EXPECT_EQ(d.name.Text(), "Lobby sp") << "the object keeps the last text after the window is gone";
}

TEST_F(DialogTest, EnterRunsTheDefaultButtonButAnInvalidFieldKeepsTheDialogOpen) {
  std::vector<std::string> prompts;
  PromptScript script(FailTest);
  script.RunDialog(kNameDialog, [&](Dialog& d) {
    auto& nd = static_cast<NameDialog&>(d);
    test::Type(d, kLevelEdit, "250");
    EXPECT_EQ(nd.level().Text(), "250") << "typing may pass through too large a number";
    test::PressKey(d, Qt::Key_Return);
    EXPECT_TRUE(d.IsCreated()) << "the range check refused to close";
    test::Type(d, kLevelEdit, "-5x");
    EXPECT_EQ(nd.level().Text(), "5") << "a minus sign and letters cannot be typed";
    test::PressKey(d, Qt::Key_Return);
  });
  script.AnswerMessageBox(kIdOk);
  NameDialog d;
  EXPECT_EQ(d.Execute(), kIdOk);
  ASSERT_EQ(script.Seen().size(), 2u);
  EXPECT_EQ(script.Seen()[1].text, "Value is not in the range 0 to 100.");
  EXPECT_EQ(script.Seen()[1].caption, "Name");
}

TEST_F(DialogTest, EnterOnAFieldsWarningClosesItAndLeavesTheFieldToCorrect) {
  NameDialog d;
  d.Create();
  d.Show();
  d.BringToTop();
  test::Type(d, kLevelEdit, "250");
  d.ControlById(kNameEdit)->SetFocus();
  SetUnscriptedPrompts(UnscriptedPrompts::Show);
  // Each warning is answered with Enter, as the user would; past a bound they are closed.
  constexpr int kBound = 3;
  int warnings = 0;
  QObject scope;  // an answer still queued when the test ends goes with its locals
  std::function<void()> answer = [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    QTimer::singleShot(0, &scope, answer);  // for a warning Enter might open on top of this one
    if (++warnings > kBound) {
      box->done(QMessageBox::Ok);
    } else {
      QTest::keyClick(box->button(QMessageBox::Ok), Qt::Key_Return);
    }
  };
  QTimer::singleShot(0, &scope, answer);
  test::PressKey(d, Qt::Key_Return);
  SetUnscriptedPrompts(UnscriptedPrompts::Default);
  EXPECT_EQ(warnings, 1);
  EXPECT_TRUE(d.IsCreated());
  EXPECT_EQ(d.Widget()->focusWidget(), d.level().Widget()) << "the field to correct";
}

TEST_F(DialogTest, AModalDialogReturnsAnyNumberItEndsWithAndEscapeCancels) {
  const std::vector<std::pair<std::function<void(Dialog&)>, int>> endings = {
      {[](Dialog& d) { d.EndDialog(-17); }, -17},
      {[](Dialog& d) { test::PressKey(d, Qt::Key_Escape); }, kIdCancel}};
  for (const auto& [end, result] : endings) {
    PromptScript script(FailTest);
    script.RunDialog(kNameDialog, end);
    NameDialog d;
    EXPECT_EQ(d.Execute(), result);
  }
}

// Counts its idle calls and ends itself on the third.
class IdleEndingDialog : public Dialog {
 public:
  IdleEndingDialog() : Dialog(nullptr, kKeyUpDialog) {}
  bool IdleAction(long idleCount) override {
    Dialog::IdleAction(idleCount);
    if (++calls == 3) EndDialog(5);
    return true;
  }
  int calls = 0;
};

class IdleCountingWindow : public Window {
 public:
  bool IdleAction(long) override {
    ++calls;
    return false;
  }
  int calls = 0;
};

TEST_F(DialogTest, TheRealModalLoopGivesIdleTimeToTheDialogAloneUntilItEnds) {
  const testing_support::RealModalLoops realLoops;
  IdleCountingWindow other;
  other.Create();
  IdleEndingDialog d;
  const testsupport::HangBoundTimer bound([&] { d.EndDialog(-1); });  // never reached if it works
  EXPECT_EQ(d.Execute(), 5);
  EXPECT_EQ(d.calls, 3);
  EXPECT_EQ(other.calls, 0);
}

TEST_F(DialogTest, AnUnscriptedModalDialogFailsAtOnceInsteadOfWaiting) {
  std::vector<std::string> failures;
  {
    PromptScript script([&](const std::string& f) { failures.push_back(f); });
    NameDialog d;
    EXPECT_EQ(d.Execute(), kIdCancel);
    EXPECT_FALSE(d.IsCreated());
  }
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find("dialog 9101"), std::string::npos) << failures[0];
}

TEST_F(DialogTest, AScriptThatLeavesItsDialogOpenFails) {
  std::vector<std::string> failures;
  {
    PromptScript script([&](const std::string& f) { failures.push_back(f); });
    script.RunDialog(kNameDialog, [](Dialog& d) { test::Type(d, kNameEdit, "x"); });
    NameDialog d;
    EXPECT_EQ(d.Execute(), kIdCancel);
    EXPECT_FALSE(d.IsCreated());
  }
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0], "dialog 9101 was left open by its script");
}

TEST_F(DialogTest, AModelessDialogObjectOutlivesItsWindow) {
  NameDialog d;
  d.Create();
  d.Show();
  test::Type(d, kNameEdit, "Stage");
  test::Click(d, kIdCancel);
  EXPECT_FALSE(d.IsCreated());
  EXPECT_EQ(d.Result(), kIdCancel);
  EXPECT_EQ(d.name.Text(), "Stage");
  d.Create();
  EXPECT_TRUE(d.IsCreated()) << "and can open again";
  EXPECT_EQ(d.ControlById(kNameEdit), &d.name);
  EXPECT_EQ(d.Children().size(), d.Template().controls.size()) << "with the same controls";
  EXPECT_EQ(d.name.Text(), "preset") << "set up afresh";
}

TEST_F(DialogTest, AModalDialogWhoseParentClosesEndsItsLoop) {
  const testing_support::RealModalLoops realLoops;
  Window owner;
  owner.Create();
  NameDialog d(&owner);
  d.OnMessage(500, [&](const Message&) {
    owner.Destroy();
    return Param{0};
  });
  QObject scope;
  QTimer::singleShot(0, &scope, [&] { d.Post(500); });
  const testsupport::HangBoundTimer bound([&] { d.EndDialog(-1); });  // never reached if it works
  EXPECT_EQ(d.Execute(), kIdCancel);
}

TEST_F(DialogTest, ADialogOpensCentredOnItsOwnersWindowOrOnTheScreen) {
  Window owner;
  owner.SetRect({40, 30, 640, 480});
  owner.Create();
  owner.Show();
  Window child(&owner);  // a dialog's owner may be a window inside the main one
  child.SetRect({0, 0, 20, 20});
  child.Create();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  struct Case {
    Window* parent;
    int resourceId;
    QPoint centre;
  };
  for (const Case& c :
       {Case{&child, kNameDialog, owner.Widget()->geometry().center()},
        Case{nullptr, kNameDialog, screen.center()}, Case{&child, kReport, screen.center()}}) {
    Dialog d(c.parent, c.resourceId);
    d.Create();
    const QPoint offset = d.Widget()->geometry().center() - c.centre;
    EXPECT_LE(offset.manhattanLength(), 2)
        << "dialog " << c.resourceId << (c.parent != nullptr ? " with" : " without") << " owner";
  }
}

TEST_F(DialogTest, EmbeddedDialogsHaveNoCaptionAndAreSwappedAtRunTime) {
  Dialog host(nullptr, kHost);
  host.Create();
  auto pane = std::make_unique<Dialog>(&host, kPaneA);
  pane->Create();
  ASSERT_TRUE(pane->IsCreated());
  EXPECT_FALSE(pane->Widget()->isWindow());
  EXPECT_EQ(pane->Widget()->parentWidget(), host.Widget());
  EXPECT_EQ(pane->ControlById(kLabel)->Text(), "Pane A");

  int focused = 0;
  pane->OnMessage(msg::kSetFocus, [&](const Message&) { return Param{++focused}; });
  host.Show();
  host.Widget()->activateWindow();
  test::PumpMessages();
  test::MouseDown(*pane, {2, 30});
  EXPECT_EQ(focused, 1) << "a click on the pane's background focuses the pane";

  pane = std::make_unique<Dialog>(&host, kPaneB);
  pane->Create();
  EXPECT_EQ(host.Children().size(), 1u);
  EXPECT_EQ(pane->ControlById(kLabel)->Text(), "Pane B");
}

TEST_F(DialogTest, AFloatingPopupHasNoCaptionAndLeavesTheActiveWindowActive) {
  Dialog host(nullptr, kHost);
  host.Create();
  host.Show();
  host.BringToTop();
  test::PumpMessages();
  ASSERT_EQ(QApplication::activeWindow(), host.Widget());

  Dialog readOut(&host, kReadOut);
  readOut.Create();
  readOut.Show();
  test::PumpMessages();
  EXPECT_TRUE(readOut.Widget()->isWindow());
  EXPECT_TRUE(readOut.Widget()->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(QApplication::activeWindow(), host.Widget());
  EXPECT_EQ(readOut.ScreenToClient(host.ClientToScreen({0, 0})).x, 0) << "placed from the host";
  EXPECT_NE(test::SamplePixel(readOut, {0, 5}), test::SamplePixel(readOut, {2, 5}))
      << "a thin border";
}

// Acts on the key-up of Enter and swallows its key-down, so the dialog does not close.
class KeyUpDialog : public Dialog {
 public:
  KeyUpDialog() : Dialog(nullptr, kKeyUpDialog) {}
  bool PreProcessKey(const KeyStroke& key) override {
    if (key.code != key::kReturn) return Dialog::PreProcessKey(key);
    ++(key.down ? downs : applied);
    return true;
  }
  int downs = 0;
  int applied = 0;
};

TEST_F(DialogTest, ADialogMayActOnKeyUpAndSwallowKeyDown) {
  KeyUpDialog d;
  d.Create();
  d.Show();
  d.ControlById(kNameEdit)->SetFocus();
  test::PressKey(d, Qt::Key_Return);
  EXPECT_EQ(d.applied, 1);
  EXPECT_TRUE(d.IsCreated());
}

TEST_F(DialogTest, AKeyActsOnlyInTheWindowItWentDownIn) {
  // Enter as the platform delivers it: to the focus of the window active at that moment.
  struct Stroke {
    bool inOther;
    bool press;
    bool repeat;
  };
  struct Case {
    const char* what;
    std::vector<Stroke> strokes;
    int downs;
    int ups;
  };
  const std::vector<Case> cases = {
      {"pressed and released here", {{false, true, false}, {false, false, false}}, 1, 1},
      {"held here",
       {{false, true, false}, {false, false, true}, {false, true, true}, {false, false, false}},
       2,
       1},
      // A message box closing as Enter goes down, the dialog beneath active again for its release.
      {"pressed in the other window", {{true, true, false}, {false, false, false}}, 0, 0},
      {"held after the other window took the press",
       {{true, true, false}, {false, false, true}, {false, true, true}, {false, false, false}},
       0,
       0},
      {"released without a press", {{false, false, false}}, 0, 0},
      {"pressed here after that",
       {{true, true, false}, {false, false, false}, {false, true, false}, {false, false, false}},
       1,
       1},
  };
  KeyUpDialog here;
  KeyUpDialog other;
  here.Create();
  other.Create();
  for (const Case& c : cases) {
    here.downs = here.applied = 0;
    for (const Stroke& s : c.strokes) {
      QWidget* focus = (s.inOther ? other : here).ControlById(kNameEdit)->Widget();
      QTest::simulateEvent(focus, s.press, Qt::Key_Return, Qt::NoModifier, QString(), s.repeat);
    }
    EXPECT_EQ(here.downs, c.downs) << c.what;
    EXPECT_EQ(here.applied, c.ups) << c.what;
  }
}

TEST_F(DialogTest, EnterPressesTheFocusedPushButtonElseTheDefaultOne) {
  struct Case {
    int focus;
    bool closes;
    int result;
    std::string applied;
  };
  const std::vector<Case> cases = {{kNameEdit, true, kIdOk, ""},
                                   {kIdOk, true, kIdOk, ""},
                                   {kIdCancel, true, kIdCancel, ""},
                                   {kApply, false, kIdCancel, "preset"}};
  for (const Case& c : cases) {
    NameDialog d;
    d.Create();
    d.Show();
    d.BringToTop();
    d.level().SetText("40");
    d.ControlById(c.focus)->SetFocus();
    test::PressKey(d, Qt::Key_Return);
    EXPECT_EQ(d.IsCreated(), !c.closes) << "focus on " << c.focus;
    EXPECT_EQ(d.Result(), c.result) << "focus on " << c.focus;
    EXPECT_EQ(d.applied, c.applied) << "focus on " << c.focus;
  }
}

TEST_F(DialogTest, ButtonsFollowTheirCommandEnablersAtIdle) {
  NameDialog d;
  bool canApply = false;
  d.OnEnable(kApply, [&](CommandState& s) { s.enabled = canApply; });
  d.Create();
  Application::Instance()->NoteMessage();
  test::PumpIdle();
  EXPECT_FALSE(d.ControlById(kApply)->IsEnabled());
  canApply = true;
  Application::Instance()->NoteMessage();
  test::PumpIdle();
  EXPECT_TRUE(d.ControlById(kApply)->IsEnabled());
  EXPECT_TRUE(d.ControlById(kIdOk)->IsEnabled()) << "a button without enabler is left alone";
}

// A control's id is its own dialog's, also from a pane inside it; the window that opened the
// dialog may have a command of the same number, which only its menus and accelerators reach.
TEST_F(DialogTest, AControlsClickAndItsEnablerGoNoFurtherThanItsOwnDialog) {
  Window opener;
  opener.Create();
  std::vector<std::string> reached;
  opener.OnCommand(kApply, [&] { reached.push_back("opener"); });
  opener.OnEnable(kApply, [](CommandState& s) { s.enabled = false; });
  Dialog dialog(&opener, kNameDialog);
  dialog.Create();
  Application::Instance()->NoteMessage();
  test::PumpIdle();
  EXPECT_TRUE(dialog.ControlById(kApply)->IsEnabled());
  test::Click(dialog, kApply);
  Dialog pane(&dialog, kApplyPane);
  pane.Create();
  test::Click(pane, kApply);
  EXPECT_EQ(reached, std::vector<std::string>{});

  Application::Instance()->RouteCommand(kApply, &pane);
  EXPECT_EQ(reached, std::vector<std::string>{"opener"});
}

}  // namespace
}  // namespace ui
