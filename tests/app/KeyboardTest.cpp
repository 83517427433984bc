// The keyboard in the program's modal dialogs and message boxes, as the user types: real modal
// loops, and every key delivered where the platform delivers it, to the focus of the window that
// is active when the key goes down or comes up.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "family3300/IQDevice3300.h"
#include "family3300/Parameters3300.h"
#include "family3300/TEdit3300Window.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/TEdit8100Window.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppIds.h"
#include "resources/Family3300Ids.h"
#include "resources/Family8100Ids.h"
#include "sim/family3300/Family3300Unit.h"
#include "sim/family8100/Family8100Unit.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/RealPrompts.h"

namespace apptest {
namespace {

using testsupport::RealPrompts;

// Where the platform delivers a key: the focus of the active window, a modal one while it runs.
QWidget* ActiveFocus() {
  QWidget* window = QApplication::activeModalWidget();
  if (window == nullptr) window = QApplication::activeWindow();
  QWidget* focus = QApplication::focusWidget();
  if (window == nullptr || (focus != nullptr && focus->window() == window)) return focus;
  return window->focusWidget() != nullptr ? window->focusWidget() : window;
}

void KeyDown(Qt::Key key) {
  QTest::simulateEvent(ActiveFocus(), true, key, Qt::NoModifier, QString(), false);
}
void KeyUp(Qt::Key key) {
  QTest::simulateEvent(ActiveFocus(), false, key, Qt::NoModifier, QString(), false);
}
void Press(Qt::Key key) {
  KeyDown(key);
  KeyUp(key);
}
void Type(const char* text) { QTest::keyClicks(ActiveFocus(), QString::fromLatin1(text)); }

using Steps = std::vector<std::function<void()>>;

// Plays the user's steps into the modal window that `open` brings up, one per turn of its loop
// (where the window could end) and only while that window is up and active; returns how many
// were played.
class ModalPlayer {
 public:
  int Play(Steps steps, const std::function<void()>& open) {
    steps_ = std::move(steps);
    before_ = QApplication::activeModalWidget();
    window_ = nullptr;
    played_ = 0;
    Next();
    open();
    return played_;
  }

 private:
  void Next() {
    QTimer::singleShot(0, &lifetime_, [this] { Turn(); });
  }
  void Turn() {
    QWidget* modal = QApplication::activeModalWidget();
    if (window_ == nullptr && modal != nullptr && modal != before_) {
      // Up: the window manager activates it, and its first control takes the focus.
      if (QApplication::activeWindow() != modal) {
        modal->activateWindow();
        Next();
        return;
      }
      window_ = modal;
    }
    if (window_ == nullptr) {
      Next();
      return;
    }
    if (modal != window_ || played_ == static_cast<int>(steps_.size())) return;
    steps_[static_cast<std::size_t>(played_++)]();
    Next();
  }

  Steps steps_;
  QWidget* before_ = nullptr;
  QWidget* window_ = nullptr;
  int played_ = 0;
  QObject lifetime_;  // no turn is due once the player is gone
};

// Answers every message box while it lives: the first with Enter going down (its release is the
// test's to deliver), any later one with its OK button, counting them all.
class MessageBoxAnswers {
 public:
  MessageBoxAnswers() { Arm(); }
  std::vector<std::string> texts;

 private:
  void Arm() {
    QTimer::singleShot(0, &lifetime_, [this] { Answer(); });
  }
  void Answer() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    texts.push_back(box->text().toStdString());
    Arm();  // for a box that the key might open over the dialog again
    if (texts.size() == 1) {
      KeyDown(Qt::Key_Return);
    } else {
      box->done(QMessageBox::Ok);
    }
  }
  QObject lifetime_;  // no answer is due once the test has taken the texts
};

class KeyboardTest : public ShellTest {
 protected:
  void SetUp() override {
    SettingsKey().SetNumber("port number", kSimComNumber);
    UseBuiltInTypes();
  }

  // A graphic equaliser on the bus, its window open at the security page.
  namespace3300::TSecurityDialog& OpenSecurity() {
    sim::family3300::AddFamily3300Unit(bus, {.address = 3, .password = kPassword});
    Start();
    RollCall();
    unit = dynamic_cast<namespace3300::IQDevice3300*>(DeviceOf(client().BusList(), 0));
    client().BusList().SelectItem(0);
    client().SendNotify({appres::kBusList, ui::Notify::DoubleClick, &client().BusList(), 0});
    auto* window = dynamic_cast<namespace3300::TEdit3300Window*>(unit->EditWindow());
    window->RunItem(namespace3300::kItemSecurity);
    return *window->Security();
  }

  // "Set new password ..." with the user's steps; returns how many it took to end the dialog.
  int SetPassword(namespace3300::TSecurityDialog& security, Steps steps) {
    const RealPrompts real;
    return ModalPlayer().Play(std::move(steps),
                              [&] { ui::test::Click(security, res3300::kSetPasswordButton); });
  }

  // Whether the unit still opens to its old password once locked.
  bool OldPasswordUnlocks() {
    bus.StoreElement(0, sim::family3300::kLockId, 0, {1});
    try {
      namespace3300::g3300PasswordEntry.Write(*unit, kPassword, 6);
    } catch (...) {
      return false;
    }
    return bus.Element(0, sim::family3300::kLockId, 0) == std::vector<uint8_t>{0};
  }

  static constexpr const char* kPassword = "OLD 12";
  namespace3300::IQDevice3300* unit = nullptr;
};

TEST_F(KeyboardTest, EnterThatClosesAMismatchWarningLeavesThePasswordDialogAndThePassword) {
  namespace3300::TSecurityDialog& security = OpenSecurity();
  std::vector<std::string> boxes;
  const Steps steps = {[] { Type("PQR111"); },
                       [] { Press(Qt::Key_Tab); },
                       [] { Type("PQR112"); },
                       [] { KeyDown(Qt::Key_Return); },
                       [&] {
                         MessageBoxAnswers answers;
                         KeyUp(Qt::Key_Return);  // the dialog finds the entries differ
                         KeyUp(Qt::Key_Return);  // Enter, that closed the box, comes up
                         boxes = answers.texts;
                       },
                       [] { Press(Qt::Key_Escape); }};
  EXPECT_EQ(SetPassword(security, steps), 6) << "the dialog stays open until Escape";
  EXPECT_EQ(boxes, std::vector<std::string>{"Strings do not match."});
  EXPECT_TRUE(OldPasswordUnlocks());
}

TEST_F(KeyboardTest, EnterPressesTheFocusedButtonOfAModalDialog) {
  // On Cancel, after two equal entries: nothing is sent.
  namespace3300::TSecurityDialog& security = OpenSecurity();
  const Steps cancel = {[] { Type("PQR111"); },       [] { Press(Qt::Key_Tab); },
                        [] { Type("PQR111"); },       [] { Press(Qt::Key_Tab); },
                        [] { Press(Qt::Key_Tab); },   [] { Press(Qt::Key_Return); },
                        [] { Press(Qt::Key_Escape); }};
  EXPECT_EQ(SetPassword(security, cancel), 6) << "Enter ends the dialog";
  EXPECT_TRUE(OldPasswordUnlocks());

  // Insert in the main window asks for a new virtual device's type: Cancel makes none.
  const int devices = client().VirtualList().Count();
  const RealPrompts real;
  const Steps chooseCancel = {[] { KeyUp(Qt::Key_Insert); }, [] { Press(Qt::Key_Tab); },
                              [] { Press(Qt::Key_Tab); }, [] { Press(Qt::Key_Return); },
                              [] { Press(Qt::Key_Escape); }};
  EXPECT_EQ(ModalPlayer().Play(chooseCancel,
                               [&] {
                                 frame().Widget()->activateWindow();
                                 ui::test::PumpMessages();
                                 client().VirtualList().SetFocus();
                                 KeyDown(Qt::Key_Insert);
                               }),
            4)
      << "Enter ends the dialog";
  EXPECT_EQ(client().VirtualList().Count(), devices);
}

// The units' windows as the user meets them: each row opens a window, checks that its first
// control has the keyboard, and sends keys to the active window, which must act on them itself
// and never leave them to the window it was opened from.
class WindowKeysTest : public ShellTest {
 protected:
  void SetUp() override {
    SettingsKey().SetNumber("port number", kSimComNumber);
    UseBuiltInTypes();
    sim::family3300::AddFamily3300Unit(bus, {.address = kEqualiser});
    sim::family8100::AddFamily8100Unit(
        bus, {.model = sim::family8100::Model::kX, .address = kOlderUnit});
    sim::family8100::AddFamily8100Unit(
        bus, {.model = sim::family8100::Model::kRuneTide, .address = kRuneTide});
    Start();
    RollCall();
  }

 public:
  // Reached from the rows of the test's table.
  namespace3300::TEdit3300Window& Equaliser() {
    return dynamic_cast<namespace3300::TEdit3300Window&>(
        *dynamic_cast<namespace3300::IQDevice3300&>(OpenBusUnit(kEqualiser)).EditWindow());
  }
  namespace8100::IQDevice8100& OlderDevice(int address) {
    return dynamic_cast<namespace8100::IQDevice8100&>(OpenBusUnit(address));
  }
  namespace8100::TEdit8100Window& OlderUnit(int address = kOlderUnit) {
    return dynamic_cast<namespace8100::TEdit8100Window&>(*OlderDevice(address).EditWindow());
  }
  // A value dialog of an older unit's signal-flow page, opened from its button.
  ui::Dialog& ValueDialog(int address, int button) {
    namespace8100::TSigFlowDialog& flow = OlderUnit(address).SignalFlow();
    ui::test::Click(flow, button);
    return dynamic_cast<ui::Dialog&>(*flow.SubDialog(button));
  }

  static constexpr int kEqualiser = 3;
  static constexpr int kOlderUnit = 6;
  // The older model with noise sources.
  static constexpr int kRuneTide = 8;
};

// The tree item whose number is `data`, under `item`.
ui::TreeItem ItemWithData(ui::TreeView& tree, ui::TreeItem item, ui::Param data) {
  for (; item; item = tree.NextSibling(item)) {
    if (tree.ItemData(item) == data) return item;
    if (const ui::TreeItem found = ItemWithData(tree, tree.FirstChild(item), data)) return found;
  }
  return {};
}

// The tree with `data` selected, as the user leaves it before the key.
ui::Window& TreeAt(ui::TreeView& tree, ui::Param data) {
  tree.Select(ItemWithData(tree, tree.FirstRoot(), data));
  return tree;
}

struct WindowKeysRow {
  const char* what;
  // Opens the window; answers the control that takes the keyboard first.
  std::function<ui::Window&(WindowKeysTest&)> open;
  std::function<void(WindowKeysTest&)> keys;
  // The message boxes the keys bring up, by their first words.
  std::vector<std::string> boxes;
  std::function<bool(WindowKeysTest&)> done = [](WindowKeysTest&) { return true; };
};

// A value dialog of an older unit's signal-flow page, opened from `button`: the keyboard is in
// `edit`, which takes `typed` and Enter.
WindowKeysRow TypedValue(const char* what, int address, int button, int edit, const char* typed,
                         std::function<bool(WindowKeysTest&)> done) {
  return {what,
          [=](WindowKeysTest& t) -> ui::Window& {
            return ui::test::ControlOf(t.ValueDialog(address, button), edit);
          },
          [=](WindowKeysTest&) {
            Type(typed);
            Press(Qt::Key_Return);
          },
          {},
          std::move(done)};
}

TEST_F(WindowKeysTest, EachWindowOpensWithTheKeyboardOnItsFirstControlAndKeepsItsKeys) {
  const WindowKeysRow rows[] = {
      {"the equaliser's tree opens the selected item on Enter",
       [](WindowKeysTest& t) -> ui::Window& {
         auto& window = t.Equaliser();
         return TreeAt(window.Tree(), namespace3300::kItemVersion);
       },
       [](WindowKeysTest&) { Press(Qt::Key_Return); },
       {"Firmware version: 1.20"}},
      {"a button's space bar in the equaliser's security page goes no further",
       [](WindowKeysTest& t) -> ui::Window& {
         auto& window = t.Equaliser();
         TreeAt(window.Tree(), namespace3300::kItemVersion).SetFocus();
         window.RunItem(namespace3300::kItemSecurity);
         return ui::test::ControlOf(*window.Security(), res3300::kPasswordEdit);
       },
       [](WindowKeysTest& t) {
         ui::test::ControlOf(*t.Equaliser().Security(), res3300::kStatusButton).SetFocus();
         Press(Qt::Key_Space);
       },
       {"Status: "}},
      {"the older family's tree opens the selected item on Enter",
       [](WindowKeysTest& t) -> ui::Window& {
         return TreeAt(t.OlderUnit().Tree(), namespace8100::TEdit8100Window::kFirmwareVersion);
       },
       [](WindowKeysTest&) { Press(Qt::Key_Return); },
       {"Firmware version: "}},
      TypedValue("the older family's delay takes typing as it opens", kOlderUnit,
                 f8100res::kLeftDelayButton, f8100res::kLeftDelayEdit, "1",
                 [](WindowKeysTest& t) {
                   return namespace8100::g8100LeftDelay.Read(t.OlderDevice(kOlderUnit)) == 48;
                 }),
      TypedValue("the older family's noise sources take typing as they open", kRuneTide,
                 f8100res::kNoiseButton, f8100res::kLeftNoiseLevelEdit, "-20",
                 [](WindowKeysTest& t) {
                   return namespace8100::g8100LeftNoiseLevel.Read(t.OlderDevice(kRuneTide)) ==
                          -20.0f;
                 }),
      TypedValue("the older family's limiters take typing as they open", kOlderUnit,
                 f8100res::kLeftLimiterButton, f8100res::kLeftThresholdEdit, "4",
                 [](WindowKeysTest& t) {
                   ui::Window& limiters =
                       *t.OlderUnit().SignalFlow().SubDialog(f8100res::kLeftLimiterButton);
                   return ui::test::ControlOf(limiters, f8100res::kLeftThresholdEdit).Text() ==
                          "4.0";
                 }),
  };
  for (const WindowKeysRow& row : rows) {
    SCOPED_TRACE(row.what);
    ui::Window& first = row.open(*this);
    // The window manager activates the window that opened.
    first.Widget()->window()->activateWindow();
    ui::test::PumpMessages();
    EXPECT_EQ(QApplication::focusWidget(), first.Widget());
    ui::PromptScript script(FailTest);
    for (std::size_t i = 0; i < row.boxes.size(); ++i) script.AnswerMessageBox(ui::kIdOk);
    row.keys(*this);
    ui::test::PumpMessages();
    std::vector<std::string> seen;
    for (const ui::Prompt& prompt : script.Seen()) seen.push_back(prompt.text);
    EXPECT_EQ(seen.size(), row.boxes.size());
    for (std::size_t i = 0; i < std::min(seen.size(), row.boxes.size()); ++i) {
      EXPECT_EQ(seen[i].rfind(row.boxes[i], 0), 0u) << seen[i];
    }
    EXPECT_TRUE(row.done(*this));
  }
}

}  // namespace
}  // namespace apptest
