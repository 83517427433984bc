#include <QtCore/qnamespace.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QWindow>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bus/PollBackoff.h"
#include "controls/LevelScale.h"
#include "controls/TLevelDialog.h"
#include "controls/TMyVSlider.h"
#include "family3300/Parameters3300.h"
#include "family3300/TEdit3300Window.h"
#include "familycommon/LoadFailure.h"
#include "familycommon/SetPassDialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Trackbar.h"
#include "resources/ControlsResources.h"
#include "resources/Family3300Ids.h"
#include "resources/FamilyCommonIds.h"
#include "sim/Fault.h"
#include "tests/family3300_windows/WindowsTestSupport.h"
#include "tests/support/FailureInBox.h"

namespace {

using namespace namespace3300;
using eqtest::TakeReportedErrors;
using Trace = std::vector<std::string>;

// A unit of each test's model on the bus, in its edit window.
class DialogsTest : public windows3300::WindowFixture {
 protected:
  void Open(bool twoChannel = true) {
    unit = AddUnit(kAddress, twoChannel);
    ASSERT_NE(unit, nullptr);
    window = std::make_unique<TEdit3300Window>(*unit, nullptr);
    window->Create();
    window->Show();
    TakeTrace();
    TakeReportedErrors();
  }

  static constexpr int kAddress = 12;
  IQDevice3300* unit = nullptr;
  std::unique_ptr<TEdit3300Window> window;
  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};
};

TEST_F(DialogsTest, GraphicEqualiserReadsAndWritesOnlyItsChannelsBands) {
  Open();
  for (int band = 1; band <= kBandCount; ++band) {
    Store(g3300BandB[static_cast<std::size_t>(band - 1)].GetId(),
          {static_cast<uint8_t>(band + 10)});
  }
  window->RunItem(kItemEqB);
  TGraphicEQ& eq = *window->Equaliser(1);
  ASSERT_TRUE(eq.IsCreated());
  EXPECT_EQ(eq.Text(), "12 EQ B");
  const Trace reads = TakeTrace();
  ASSERT_EQ(reads.size(), 29u);
  EXPECT_EQ(reads[1], "R39");
  EXPECT_EQ(reads[28], "R54");
  EXPECT_EQ(eq.Slider(28).GetValue(), 38);
  EXPECT_TRUE(eq.Slider(1).IsFocusOfItsWindow());

  // Page Up on the focused slider steps four and writes the band, clamped at +10 dB.
  eq.Slider(28).SetFocus();
  ui::test::PressKey(eq.Slider(28), Qt::Key_PageUp);
  EXPECT_EQ(TakeTrace(), Trace{"W54 28"});
  EXPECT_EQ(eq.Slider(28).GetValue(), 40);

  // A click on the dialog's background takes the focus from the slider: the arrows step nothing.
  ui::test::MouseDown(eq, {3, 3});
  ui::test::MouseUp(eq, {3, 3});
  EXPECT_FALSE(eq.Slider(28).IsFocusOfItsWindow());
  ui::test::PressKey(eq, Qt::Key_Down);
  EXPECT_EQ(TakeTrace(), Trace{});
  EXPECT_EQ(eq.Slider(28).GetValue(), 40);

  // Keys with the focus on a button step nothing.
  ui::test::ControlOf(eq, res3300::kFlattenButton).SetFocus();
  ui::test::PressKey(eq, Qt::Key_PageDown);
  ui::test::PressKey(eq, Qt::Key_Up);
  EXPECT_TRUE(TakeTrace().empty());

  script.RunDialog(controls_res::kAdjustDialog, [](ui::Dialog& d) {
    for (int i = 0; i < 3; ++i) {
      dynamic_cast<ui::UpDown&>(ui::test::ControlOf(d, controls_res::kAdjustUpDown)).Step(-1);
    }
    d.CloseWindow(ui::kIdOk);
  });
  ui::test::Click(eq, res3300::kAdjustButton);
  const Trace adjusted = TakeTrace();
  ASSERT_EQ(adjusted.size(), 28u);
  EXPECT_EQ(adjusted[0], "W39 0E");   // 11 + 3
  EXPECT_EQ(adjusted[27], "W54 28");  // clamped at 40
  EXPECT_EQ(Byte(g3300BandA[0].GetId()), kFlatBandLevel);

  script.AnswerMessageBox(ui::kIdCancel).AnswerMessageBox(ui::kIdOk);
  ui::test::Click(eq, res3300::kFlattenButton);
  EXPECT_TRUE(TakeTrace().empty());
  ui::test::Click(eq, res3300::kFlattenButton);
  EXPECT_EQ(script.Seen().back().text, "Flatten all EQ filters on this channel?");
  EXPECT_EQ(TakeTrace().size(), 28u);
  EXPECT_EQ(Byte(g3300BandB[27].GetId()), kFlatBandLevel);
  EXPECT_EQ(eq.Slider(14).GetValue(), kFlatBandLevel);

  // A band whose write went unanswered has no level shown: no key steps it, and Adjust reads the
  // bands before it shifts them.
  bus.AddFault(sim::Fault::Silence().ForOpcode(sim::kOpcodeSet).Times(1));
  eq.Slider(2).SetFocus();
  ui::test::PressKey(eq.Slider(2), Qt::Key_Up);
  EXPECT_EQ(TakeReportedErrors().size(), 1u);
  EXPECT_FALSE(eq.Slider(2).HasValue());
  TakeTrace();
  ui::test::PressKey(eq.Slider(2), Qt::Key_Up);
  EXPECT_TRUE(TakeTrace().empty());
  script.RunDialog(controls_res::kAdjustDialog, [](ui::Dialog& d) {
    dynamic_cast<ui::UpDown&>(ui::test::ControlOf(d, controls_res::kAdjustUpDown)).Step(-1);
    d.CloseWindow(ui::kIdOk);
  });
  ui::test::Click(eq, res3300::kAdjustButton);
  const Trace readFirst = TakeTrace();
  ASSERT_EQ(readFirst.size(), 56u);
  EXPECT_EQ(readFirst[0], "R39");
  EXPECT_EQ(readFirst[29], "W3A 16");  // the unit took the step unanswered: 21, and 1 more
  EXPECT_TRUE(eq.Slider(2).HasValue());

  // A recall the unit carried out as it fell silent leaves the levels shown those from before it.
  // Once the unit answers, Adjust shifts the levels the unit holds, read first; when that read
  // fails, it writes nothing and tells it once.
  for (const auto& band : g3300BandB) Store(band.GetId(), {30});
  unit->UseMemory(5, MemoryOperation::kStore);
  window->RunItem(kItemMemory);
  const auto recallUnanswered = [&] {
    for (const auto& band : g3300BandB) Store(band.GetId(), {10});
    eq.ReadBands();
    script.AnswerMessageBox(ui::kIdYes).AnswerMessageBox(ui::kIdOk);
    // The memory's name, its number, then the recall, whose answer is the first lost.
    bus.AddFault(sim::Fault::Silence().OnOccurrence(3).Times(sim::Fault::kForever));
    ui::test::Click(*window->Memory(), res3300::kFirstRecall + 4);
    bus.ClearFaults();
    ASSERT_EQ(Byte(g3300BandB[0].GetId()), 30);
    ASSERT_EQ(eq.Slider(1).GetValue(), 10);
    TakeReportedErrors();
    TakeTrace();
  };
  for (const bool readsFail : {false, true}) {
    SCOPED_TRACE(readsFail ? "the reads fail" : "the reads answered");
    recallUnanswered();
    if (readsFail) {
      bus.AddFault(sim::Fault::Silence().ForOpcode(sim::kOpcodeGet));
    } else {
      script.RunDialog(controls_res::kAdjustDialog, [](ui::Dialog& d) {
        dynamic_cast<ui::UpDown&>(ui::test::ControlOf(d, controls_res::kAdjustUpDown)).Step(-1);
        d.CloseWindow(ui::kIdOk);
      });
    }
    ui::test::Click(eq, res3300::kAdjustButton);
    bus.ClearFaults();
    Trace writes = TakeTrace();
    std::erase_if(writes, [](const std::string& request) { return request.front() != 'W'; });
    EXPECT_EQ(TakeReportedErrors().size(), readsFail ? 1u : 0u);
    ASSERT_EQ(writes.size(), readsFail ? 0u : 28u);
    if (!readsFail) {
      EXPECT_EQ(writes[0], "W39 1F");  // 30 and 1 more
    }
  }
  // So does an arrow on a band that shows a level: the unit is read again first.
  for (const bool readsFail : {false, true}) {
    SCOPED_TRACE(readsFail ? "an arrow, the reads failing" : "an arrow, the reads answered");
    recallUnanswered();
    if (readsFail) bus.AddFault(sim::Fault::Silence().ForOpcode(sim::kOpcodeGet));
    eq.Slider(1).SetFocus();
    ui::test::PressKey(eq.Slider(1), Qt::Key_Up);
    bus.ClearFaults();
    Trace writes = TakeTrace();
    std::erase_if(writes, [](const std::string& request) { return request.front() != 'W'; });
    EXPECT_EQ(TakeReportedErrors().size(), readsFail ? 1u : 0u);
    EXPECT_EQ(writes, readsFail ? Trace{} : Trace{"W39 1F"});
  }
}

// A press and release where the user would make them: the window system delivers them to
// whatever lies under the point, not to the window named.
void ClickThrough(ui::Window& window, QPoint p) {
  QWidget* top = window.Widget()->window();
  QTest::mouseClick(top->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                    window.Widget()->mapTo(top, p));
}

TEST_F(DialogsTest, GraphicEqualiserClickOffTheSlidersLeavesNoSliderToStep) {
  Open();
  window->RunItem(kItemEqA);
  TGraphicEQ& eq = *window->Equaliser(0);
  ui::test::PumpMessages();
  const auto box = [&eq](int id) {
    QWidget* w = ui::test::ControlOf(eq, id).Widget();
    return QRect(w->mapTo(eq.Widget(), QPoint(0, 0)), w->size());
  };
  const auto slider = [&](int band) { return box(res3300::kFirstBandSlider + band - 1); };
  const auto label = [&](int band) { return box(res3300::kFirstBandLabel + band - 1); };
  // Spots inside the sunken frame around the sliders that no focusable control covers.
  const struct {
    const char* where;
    int band;
    QPoint at;
  } spots[] = {
      {"between bands 5 and 6",
       5,
       {(slider(5).right() + slider(6).left()) / 2, slider(5).center().y()}},
      {"between bands 27 and 28",
       28,
       {(slider(27).right() + slider(28).left()) / 2, slider(28).top() + 4}},
      {"above band 10", 10, {slider(10).center().x(), slider(10).top() - 2}},
      {"below band 1", 1, {slider(1).center().x(), (slider(1).bottom() + label(1).top()) / 2}},
      {"on the label of band 14", 14, label(14).center()},
  };
  for (const auto& spot : spots) {
    SCOPED_TRACE(spot.where);
    TMyVSlider& focused = eq.Slider(spot.band);
    focused.SetFocus();
    const int level = focused.GetValue();
    TakeTrace();
    ClickThrough(eq, spot.at);
    EXPECT_FALSE(focused.IsFocusOfItsWindow());
    ui::test::PressKey(eq, Qt::Key_Up);
    EXPECT_EQ(TakeTrace(), Trace{});
    EXPECT_EQ(focused.GetValue(), level);
  }
  // A slider itself still takes the focus from a click.
  ClickThrough(eq, slider(3).center());
  EXPECT_TRUE(eq.Slider(3).IsFocusOfItsWindow());
}

TEST_F(DialogsTest, GraphicEqualiserPictureForTheReadme) {
  Open();
  const uint8_t curve[kBandCount] = {26, 28, 27, 25, 23, 21, 20, 19, 18, 18, 19, 20, 20, 20,
                                     20, 21, 22, 23, 24, 24, 23, 22, 21, 20, 18, 16, 14, 12};
  for (int band = 0; band < kBandCount; ++band) {
    Store(g3300BandA[static_cast<std::size_t>(band)].GetId(), {curve[band]});
  }
  window->RunItem(kItemEqA);
  TGraphicEQ& eq = *window->Equaliser(0);
  ui::test::PumpMessages();
  std::filesystem::create_directories(GALLERY_DIR);
  EXPECT_TRUE(ui::test::GrabPng(eq, GALLERY_DIR "/graphic-eq-dialog.png"));
  if (std::getenv("TELVO_UPDATE_DOCS") != nullptr) {
    EXPECT_TRUE(ui::test::GrabPng(eq, DOCS_DIR "/graphic-eq-dialog.png"));
  }
}

TEST_F(DialogsTest, LevelDialogsShowTheCornerOrGainAndWriteEveryMove) {
  Open();
  Store(g3300GainB.GetId(), {24});
  window->RunItem(kItemHpfA);
  window->RunItem(kItemLpfA);
  window->RunItem(kItemGainB);
  const auto readOut = [](ui::Window& d) {
    return ui::test::ControlOf(d, controls_res::kLevelText).Text();
  };
  auto& hpfTrack = dynamic_cast<ui::Trackbar&>(
      ui::test::ControlOf(*window->Hpf(0), controls_res::kLevelTrackbar));
  EXPECT_EQ(window->Hpf(0)->Text(), "HPF corner A");
  EXPECT_EQ(readOut(*window->Hpf(0)), "10");
  EXPECT_EQ(hpfTrack.Position(), 7);
  EXPECT_EQ(readOut(*window->Lpf(0)), "32K");
  EXPECT_EQ(readOut(*window->Gain(1)), "12.0");
  // Each window is wide enough for its caption in a title bar beside the window manager's buttons,
  // and says what its read-out counts in.
  // The window manager's icon and three buttons, and its bolder title font.
  constexpr int kTitleBarButtonsPx = 110;
  for (auto [dialog, unitText] : {std::pair<ui::Window*, const char*>{window->Hpf(0), "Hz"},
                                  {window->Lpf(0), "Hz"},
                                  {window->Gain(1), "dB"}}) {
    const int captionPx = QFontMetrics(QApplication::font())
                              .horizontalAdvance(QString::fromStdString(dialog->Text()));
    EXPECT_GE(dialog->ClientRect().Width(), captionPx + kTitleBarButtonsPx) << dialog->Text();
    ui::Window& unit = ui::test::ControlOf(*dialog, controls_res::kLevelUnit);
    EXPECT_EQ(unit.Text(), unitText);
    const QImage shown = unit.Widget()->grab().toImage();
    int inked = 0;
    for (int y = 0; y < shown.height(); ++y) {
      for (int x = 0; x < shown.width(); ++x) inked += qGray(shown.pixel(x, y)) < 96 ? 1 : 0;
    }
    EXPECT_GT(inked, 4) << unitText;
  }
  TakeTrace();

  ui::test::PressKey(hpfTrack, Qt::Key_Home);
  ui::test::PumpMessages();
  EXPECT_EQ(readOut(*window->Hpf(0)), "160");
  const Trace writes = TakeTrace();
  ASSERT_FALSE(writes.empty());
  EXPECT_EQ(writes.back(), "W02 07");
}

// A level window filled while its unit was silent, the unit answering again before any idle pass:
// an arrow steps from the level the unit holds, read first, not from where the thumb rests; when
// that read fails, nothing is written and it is told once.
TEST_F(DialogsTest, AnArrowOnALevelFilledOnASilentUnitStepsFromTheUnitsLevel) {
  Open();
  Store(g3300HpfA.GetId(), {3});
  Store(g3300LpfA.GetId(), {2});
  Store(g3300GainA.GetId(), {12});
  const struct {
    const char* name;
    int item;
    TLevelDialog* dialog;
    std::string written;  // the arrow down lowers a level shown upside down
  } rows[] = {{"HPF", kItemHpfA, window->Hpf(0), "W02 02"},
              {"LPF", kItemLpfA, window->Lpf(0), "W04 03"},
              {"gain", kItemGainA, window->Gain(0), "W06 0B"}};
  for (const auto& row : rows) {
    for (const bool readFails : {false, true}) {
      SCOPED_TRACE(std::string(row.name) + (readFails ? ", the read fails" : ""));
      // The lock read answers, the window's own read does not.
      bus.AddFault(sim::Fault::Silence().OnOccurrence(2).Times(sim::Fault::kForever));
      window->RunItem(row.item);
      bus.ClearFaults();
      ASSERT_TRUE(row.dialog->IsCreated());
      EXPECT_EQ(TakeReportedErrors().size(), 1u);
      TakeTrace();
      if (readFails) bus.AddFault(sim::Fault::Silence().ForOpcode(sim::kOpcodeGet));
      ui::test::PressKey(ui::test::ControlOf(*row.dialog, controls_res::kLevelTrackbar),
                         Qt::Key_Down);
      bus.ClearFaults();
      Trace writes = TakeTrace();
      std::erase_if(writes, [](const std::string& request) { return request.front() != 'W'; });
      EXPECT_EQ(writes, readFails ? Trace{} : Trace{row.written});
      EXPECT_EQ(TakeReportedErrors().size(), readFails ? 1u : 0u);
      row.dialog->CloseWindow(ui::kIdCancel);
    }
  }
}

TEST_F(DialogsTest, MemoryDialogStoresRecallsAndWritesBackOnlyTheNamesTyped) {
  Open(false);
  Store(MemoryName3300(1).GetId(), windows3300::TextBytes("VERSE"));
  Store(MemoryName3300(2).GetId(), windows3300::TextBytes("CHORUS"));
  bus.AddFault(sim::Fault::ErrorObject(7).ForObject(MemoryName3300(3).GetId()));
  window->RunItem(kItemMemory);
  TMemoryDialog& memory = *window->Memory();
  ASSERT_TRUE(memory.IsCreated());
  EXPECT_EQ(TakeReportedErrors().size(), 1u);
  EXPECT_EQ(ui::test::ControlOf(memory, res3300::kFirstName + 1).Text(), "CHORUS");
  bus.ClearFaults();
  TakeTrace();

  // Each command asks with the memory's name as the unit gives it: a No writes nothing.
  script.AnswerMessageBox(ui::kIdNo).AnswerMessageBox(ui::kIdYes).AnswerMessageBox(ui::kIdYes);
  ui::test::Click(memory, res3300::kFirstSave + 1);
  EXPECT_EQ(TakeTrace(), Trace{"R14"});
  ui::test::Click(memory, res3300::kFirstSave + 1);
  EXPECT_EQ(script.Seen().back().text, "Overwrite memory #2, 'CHORUS'?");
  EXPECT_EQ(TakeTrace(), (Trace{"R14", "W11 02", "W12 00"}));
  Store(MemoryName3300(10).GetId(), windows3300::TextBytes("OUTRO"));
  ui::test::Click(memory, res3300::kFirstRecall + 9);
  EXPECT_EQ(script.Seen().end()[-1].text, "Overwrite current settings with memory #10, 'OUTRO'?");
  const Trace recalled = TakeTrace();
  ASSERT_GE(recalled.size(), 3u);
  EXPECT_EQ(Trace(recalled.begin(), recalled.begin() + 3), (Trace{"R1C", "W11 0A", "W12 01"}));

  // Only the names typed go back: an emptied one as the placeholder, one whose read failed as
  // typed; memory 2's and memory 10's, read and shown, are not written.
  ui::test::Type(memory, res3300::kFirstName, "");
  ui::test::PressKey(ui::test::ControlOf(memory, res3300::kFirstName), Qt::Key_Backspace);
  ui::test::Type(memory, res3300::kFirstName + 2, "BRIDGE");
  memory.CloseWindow(ui::kIdOk);
  EXPECT_EQ(TakeTrace(), (Trace{"W13 2D2D2D2D2D2D2D2D2D00", "W15 42524944474500"}));

  // Opened on a silent unit that answers again before any idle pass: the name typed goes alone.
  bus.AddFault(sim::Fault::Silence().OnOccurrence(2).Times(sim::Fault::kForever));
  window->RunItem(kItemMemory);
  EXPECT_EQ(TakeReportedErrors().size(), 1u);
  EXPECT_EQ(ui::test::ControlOf(memory, res3300::kFirstName + 3).Text(), "");
  bus.ClearFaults();
  TakeTrace();
  ui::test::Type(memory, res3300::kFirstName + 3, "CODA");
  memory.CloseWindow(ui::kIdOk);
  EXPECT_EQ(TakeTrace(), Trace{"W16 434F444100"});
}

// A store or a recall with one fault at any of its requests (the memory's name, for the
// question, then the memory number, then the store or recall): a refusal, a lost reply, or a unit
// that stops answering. Each gives one report: a name read that fails asks nothing and writes
// nothing; a write that fails is told in one box with what the unit holds. A refusal leaves the
// unit, and every window, as it was; after a recall the windows show what the unit holds, at
// once when it still answers, else once it answers again.
TEST_F(DialogsTest, AMemoryStoreOrRecallCutShortIsToldInOneBoxWithWhatTheUnitHolds) {
  Open(false);
  g3300GainA.Write(*unit, 16);
  unit->UseMemory(3, MemoryOperation::kStore);
  window->RunItem(kItemGainA);
  window->RunItem(kItemMemory);
  TMemoryDialog& memory = *window->Memory();
  const auto gainShown = [&] {
    return ui::test::ControlOf(*window->Gain(0), controls_res::kLevelText).Text();
  };
  const std::string readAgain = std::string("\n") + familycommon::kUnitReadAgainText;
  const struct {
    const char* name;
    sim::Fault fault;
    bool silent;
    std::string saveLeft;
    std::string recallLeft;
  } kinds[] = {
      {"refused", sim::Fault::ErrorObject(7), false,
       "The unit refused the memory save and was left as it was.",
       "The unit refused the memory recall and was left as it was."},
      {"reply lost", sim::Fault::Silence().Times(1), false, familycommon::kSaveNotFinishedText,
       familycommon::kRecallNotFinishedText},
      {"silent", sim::Fault::Silence(), true,
       "The unit stopped answering before the memory save was finished: the memory may hold its "
       "old settings or the current ones. The unit's current settings are unchanged." +
           readAgain,
       "The unit stopped answering before the memory recall was finished: it may hold its earlier "
       "settings or the memory's." +
           readAgain}};
  constexpr int kSave = res3300::kFirstSave + 4;
  constexpr int kRecall = res3300::kFirstRecall + 2;
  for (const int button : {kSave, kRecall}) {
    for (const auto& kind : kinds) {
      for (const int step : {1, 2, 3}) {
        SCOPED_TRACE(std::string(kind.name) + " at request " + std::to_string(step) +
                     (button == kSave ? " of a store" : " of a recall"));
        g3300GainA.Write(*unit, 4);
        TakeReportedErrors();
        TakeTrace();
        const std::size_t seen = script.Seen().size();
        bus.AddFault(kind.fault.OnOccurrence(step).Times(kind.silent ? sim::Fault::kForever : 1));
        if (step > 1) script.AnswerMessageBox(ui::kIdYes).AnswerMessageBox(ui::kIdOk);
        ui::test::Click(memory, button);
        ui::test::PumpMessages();
        EXPECT_EQ(eqtest::TakeReports(script, seen), 1u) << "one failure, one report";
        const Trace sent = TakeTrace();
        bus.ClearFaults();
        PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
        ui::test::PumpIdle();
        ui::test::PumpMessages();
        if (step == 1) {
          EXPECT_EQ(script.Seen().size(), seen) << "nothing asked";
          EXPECT_EQ(sent.size(), 1u) << "nothing written";
          continue;
        }
        EXPECT_TRUE(testsupport::TellsAFailure(script.Seen().back().text)) << "at its head";
        EXPECT_EQ(testsupport::AfterTheFailure(script.Seen().back().text),
                  button == kSave ? kind.saveLeft : kind.recallLeft);
        if (kind.fault.kind == sim::FaultKind::kErrorObject) {
          EXPECT_EQ(sent.size(), static_cast<std::size_t>(step)) << "nothing read again";
        }
        if (button == kSave) {
          EXPECT_EQ(g3300GainA.Read(*unit), 4) << "the current settings are as they were";
        } else {
          const int gain = g3300GainA.Read(*unit);
          EXPECT_EQ(gainShown(), std::to_string(gain / 2) + (gain % 2 ? ".5" : ".0"));
        }
      }
    }
  }
}

TEST_F(DialogsTest, SecurityLocksUnlocksAndSetsThePassword) {
  Open();
  window->RunItem(kItemSecurity);
  TSecurityDialog& security = *window->Security();
  EXPECT_EQ(security.Lamp().GetState(), 6);
  TakeTrace();

  script.AnswerMessageBox(ui::kIdCancel).AnswerMessageBox(ui::kIdOk);
  ui::test::Click(security, res3300::kLockLamp);
  EXPECT_EQ(TakeTrace(), Trace{"R0D"});
  ui::test::Click(security, res3300::kLockLamp);
  EXPECT_EQ(TakeTrace(), (Trace{"R0D", "W0D 01", "R0D"}));
  EXPECT_EQ(security.Lamp().GetState(), 2);
  ui::test::PumpMessages();
  EXPECT_EQ(window->Tree().ItemImage(window->Item(kItemEqA)), 6);

  // A short entry sends nothing; a wrong password shows no box and the lamp, read again, stays
  // lit.
  TakeTrace();
  ui::test::Type(security, res3300::kPasswordEdit, "ABC12");
  ui::test::Click(security, res3300::kLockLamp);
  EXPECT_EQ(TakeTrace(), Trace{"R0D"});
  ui::test::Type(security, res3300::kPasswordEdit, "ABC124");
  ui::test::Click(security, res3300::kLockLamp);
  EXPECT_EQ(TakeTrace(), (Trace{"R0D", "W0C 414243313234", "R0D"}));
  EXPECT_TRUE(TakeReportedErrors().empty());
  EXPECT_EQ(security.Lamp().GetState(), 2);
  // The password is typed unseen; Escape does not close the page.
  EXPECT_EQ(
      dynamic_cast<QLineEdit&>(*ui::test::ControlOf(security, res3300::kPasswordEdit).Widget())
          .echoMode(),
      QLineEdit::Password);
  ui::test::PressKey(ui::test::ControlOf(security, res3300::kPasswordEdit), Qt::Key_Escape);
  EXPECT_TRUE(security.IsCreated());
  ui::test::Type(security, res3300::kPasswordEdit, "ABC123");
  ui::test::Click(security, res3300::kLockLamp);
  EXPECT_EQ(TakeTrace(), (Trace{"R0D", "W0C 414243313233", "R0D"}));
  EXPECT_EQ(security.Lamp().GetState(), 6);
  // Once it has unlocked the unit it is gone from the page.
  EXPECT_EQ(ui::test::ControlOf(security, res3300::kPasswordEdit).Text(), "");
  ui::test::PumpMessages();
  EXPECT_EQ(window->Tree().ItemImage(window->Item(kItemEqA)), 0);

  Store(g3300Status.GetId(), {0x01, 0x00, 0x0A, 0xFF, 0x10, 0x02});
  script.AnswerMessageBox(ui::kIdOk);
  ui::test::Click(security, res3300::kStatusButton);
  EXPECT_EQ(script.Seen().back().text, "Status: 01 00 0A FF 10 02 ");
}

TEST_F(DialogsTest, SetPassDialogWantsTwoEqualEntriesOfTheMinimumLength) {
  Open();
  window->RunItem(kItemSecurity);
  TSecurityDialog& security = *window->Security();
  TakeTrace();
  const auto enter = [](const std::string& first, const std::string& second) {
    return [first, second](ui::Dialog& d) {
      ui::test::Type(d, common_res::kSetPassNewEdit, first);
      ui::test::Type(d, common_res::kSetPassConfirmEdit, second);
      d.CloseWindow(ui::kIdOk);
      // A refused entry leaves the dialog open: a cancel then leaves nothing.
      if (d.Result() != ui::kIdOk) {
        ui::test::ControlOf(d, common_res::kSetPassNewEdit).SetText("");
        ui::test::ControlOf(d, common_res::kSetPassConfirmEdit).SetText("");
        ui::test::Type(d, common_res::kSetPassNewEdit, "XYZ789");
        ui::test::Type(d, common_res::kSetPassConfirmEdit, "xyz789");
        EXPECT_EQ(ui::test::ControlOf(d, common_res::kSetPassConfirmEdit).Text(), "XYZ789");
        d.CloseWindow(ui::kIdCancel);
      }
    };
  };
  script.RunDialog(common_res::kSetPassDialog, enter("ABC123", "ABC124"))
      .AnswerMessageBox(ui::kIdOk);
  ui::test::Click(security, res3300::kSetPasswordButton);
  EXPECT_EQ(script.Seen().at(1).text, "Strings do not match.");
  script.RunDialog(common_res::kSetPassDialog, enter("ABC12", "ABC12")).AnswerMessageBox(ui::kIdOk);
  ui::test::Click(security, res3300::kSetPasswordButton);
  EXPECT_EQ(script.Seen().back().text, "Password must be 6 characters");
  EXPECT_TRUE(TakeTrace().empty());

  // Enter, released, acts as OK.
  script
      .RunDialog(common_res::kSetPassDialog,
                 [](ui::Dialog& d) {
                   ui::test::Type(d, common_res::kSetPassNewEdit, "ABC123");
                   ui::test::Type(d, common_res::kSetPassConfirmEdit, "ABC125");
                   ui::test::PressKey(ui::test::ControlOf(d, common_res::kSetPassConfirmEdit),
                                      Qt::Key_Return);
                   EXPECT_NE(d.Result(), ui::kIdOk);
                   d.CloseWindow(ui::kIdCancel);
                 })
      .AnswerMessageBox(ui::kIdOk);
  ui::test::Click(security, res3300::kSetPasswordButton);
  EXPECT_EQ(script.Seen().back().text, "Strings do not match.");

  script.RunDialog(common_res::kSetPassDialog, enter("NEW 1#", "NEW 1#"));
  ui::test::Click(security, res3300::kSetPasswordButton);
  EXPECT_EQ(TakeTrace(), Trace{"W0E 4E4557203123"});

  // The keypad's Enter is Enter too.
  script.RunDialog(common_res::kSetPassDialog, [](ui::Dialog& d) {
    ui::test::Type(d, common_res::kSetPassNewEdit, "NEW 2#");
    ui::test::Type(d, common_res::kSetPassConfirmEdit, "NEW 2#");
    QTest::keyClick(ui::test::ControlOf(d, common_res::kSetPassConfirmEdit).Widget(), Qt::Key_Enter,
                    Qt::KeypadModifier);
    EXPECT_EQ(d.Result(), ui::kIdOk);
  });
  ui::test::Click(security, res3300::kSetPasswordButton);
  EXPECT_EQ(TakeTrace(), Trace{"W0E 4E4557203223"});
}

TEST_F(DialogsTest, DspiLampFollowsTheSwitchAndEachPressFlipsIt) {
  Open();
  Store(g3300DspiSwitch.GetId(), {1});
  window->RunItem(kItemDspi);
  TDSPIDialog& dspi = *window->Dspi();
  EXPECT_EQ(dspi.Lamp().GetState(), TDSPIDialog::kSetLamp);
  TakeTrace();
  ui::test::Click(dspi, res3300::kDspiLamp);
  EXPECT_EQ(dspi.Lamp().GetState(), TDSPIDialog::kClearLamp);
  ui::test::Click(dspi, res3300::kDspiLamp);
  EXPECT_EQ(TakeTrace(), (Trace{"R01", "W01 00", "R01", "R01", "W01 01", "R01"}));
  // Locked meanwhile, the unit refuses the switch: the lamp keeps showing it on.
  Store(g3300Lock.GetId(), {1});
  ui::test::Click(dspi, res3300::kDspiLamp);
  EXPECT_EQ(TakeReportedErrors(), Trace{"10: Device is locked"});
  EXPECT_EQ(dspi.Lamp().GetState(), TDSPIDialog::kSetLamp);
}

// Each switch of the window and its dialogs, clicked while the unit's answer to the write is an
// error or lost, shows what the unit holds afterwards: at once after an error; after a lost answer
// no state (or what the unit holds) until the unit, read again, gives it.
TEST_F(DialogsTest, EverySwitchShowsWhatTheUnitHoldsAfterItsClick) {
  Open();
  window->RunItem(kItemDspi);
  TDSPIDialog& dspi = *window->Dspi();
  window->RunItem(kItemSecurity);
  TSecurityDialog& security = *window->Security();
  const auto itemText = [&](int code) { return window->Tree().ItemText(window->Item(code)); };
  const struct {
    const char* name;
    int objectId;
    std::function<void()> click;
    std::function<bool()> shownOn;
    std::function<bool()> shownUnknown;  // none: drawn from the unit
  } switches[] = {
      {"mute A", g3300MuteA.GetId(), [&] { window->RunItem(kItemMuteA); },
       [&] { return itemText(kItemMuteA) == "Mute A (on)"; },
       [&] { return itemText(kItemMuteA) == "Mute A ?"; }},
      {"equaliser B in", g3300EqInB.GetId(), [&] { window->RunItem(kItemEqInB); },
       [&] { return itemText(kItemEqInB) == "EQ B In"; },
       [&] { return itemText(kItemEqInB) == "EQ B ?"; }},
      {"DSPI", g3300DspiSwitch.GetId(), [&] { ui::test::Click(dspi, res3300::kDspiLamp); },
       [&] { return dspi.Lamp().GetState() == TDSPIDialog::kSetLamp; },
       [&] { return dspi.Lamp().GetState() == TLEDButton::kOff; }},
      {"lock",
       g3300Lock.GetId(),
       [&] {
         script.AnswerMessageBox(ui::kIdOk);
         ui::test::Click(security, res3300::kLockLamp);
       },
       [&] { return security.Lamp().GetState() == familycommon::LockLamp::kLocked; },
       {}},
  };
  // A refusal leaves the unit as it was; a lost reply comes after the unit has acted; a unit that
  // answers nothing, reads included, takes nothing.
  const struct {
    const char* name;
    sim::Fault fault;
    bool carriedOut;
    bool silent;
  } kinds[] = {{"answered with an error", sim::Fault::ErrorObject(7), false, false},
               {"reply lost", sim::Fault::Silence(), true, false},
               {"silent", sim::Fault::Silence(), false, true}};
  for (const auto& kind : kinds) {
    for (const auto& control : switches) {
      SCOPED_TRACE(std::string(control.name) + ", " + kind.name);
      // The lock lamp reads the lock before it asks: a silent unit ends it there, lamp untouched.
      if (kind.silent && !control.shownUnknown) continue;
      const bool before = Byte(control.objectId) != 0;
      bus.AddFault(
          kind.silent ? kind.fault
                      : kind.fault.ForObject(control.objectId).ForOpcode(sim::kOpcodeSet).Times(1));
      control.click();
      bus.ClearFaults();
      EXPECT_EQ(TakeReportedErrors().size(), 1u);
      const bool now = Byte(control.objectId) != 0;
      EXPECT_EQ(now != before, kind.carriedOut);
      if ((kind.carriedOut || kind.silent) && control.shownUnknown) {
        EXPECT_TRUE(control.shownUnknown());
        PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
        ui::test::PumpIdle();
        ui::test::RestIdle();
      }
      EXPECT_EQ(control.shownOn(), now);
    }
    Store(g3300Lock.GetId(), {0});
  }
}

// What the edit window and each of its open dialogs show, in one list.
std::vector<std::string> Shown(TEdit3300Window& window) {
  std::vector<std::string> shown{window.Text()};
  ui::TreeView& tree = window.Tree();
  for (ui::TreeItem item = tree.FirstChild(tree.FirstRoot()); item; item = tree.NextSibling(item)) {
    shown.push_back(tree.ItemText(item) + " " + std::to_string(tree.ItemImage(item)));
  }
  for (int channel = 0; channel < kChannelCount; ++channel) {
    if (TGraphicEQ& eq = *window.Equaliser(channel); eq.IsCreated()) {
      for (int band = 1; band <= kBandCount; ++band) {
        TMyVSlider& slider = eq.Slider(band);
        shown.push_back(slider.HasValue() ? std::to_string(slider.GetValue())
                                          : controls::kUnknownValue);
      }
    }
    for (TLevelDialog* level : {window.Lpf(channel), window.Hpf(channel), window.Gain(channel)}) {
      if (level->IsCreated()) {
        shown.push_back(ui::test::ControlOf(*level, controls_res::kLevelText).Text());
      }
    }
  }
  if (window.Dspi()->IsCreated()) {
    shown.push_back("DSPI " + std::to_string(window.Dspi()->Lamp().GetState()));
  }
  if (window.Memory()->IsCreated()) {
    for (int k = 0; k < kMemoryCount; ++k) {
      shown.push_back(ui::test::ControlOf(*window.Memory(), res3300::kFirstName + k).Text());
    }
  }
  return shown;
}

// Every write the user starts, cut off three ways: the unit carries it out and its answer is
// lost, the unit never takes it, or the unit refuses it, also with the read that then shows the
// control again unanswered. Each is told once, and once the unit answers, every window open shows
// what a window opened afresh shows: what the unit holds.
TEST_F(DialogsTest, EveryWriteCutOffEndsWithEveryOpenWindowShowingWhatTheUnitHolds) {
  unit = AddUnit(kAddress, true);
  ASSERT_NE(unit, nullptr);
  // Memory 3 holds another gain than the current one.
  g3300GainA.Write(*unit, 16);
  unit->UseMemory(3, MemoryOperation::kStore);
  TEdit3300Window* edit = nullptr;
  // The main window, told when the unit's name or lock may have changed.
  ui::Window owner;
  int told = 0;
  owner.OnMessage(TEdit3300Window::kDeviceChangedMessage, [&](const ui::Message&) {
    ++told;
    return ui::Param{0};
  });
  owner.Create();
  const struct {
    int objectId;
    std::vector<uint8_t> before;
  } starting[] = {{g3300GainA.GetId(), {4}},
                  {g3300GainB.GetId(), {9}},
                  {g3300LpfB.GetId(), {3}},
                  {g3300HpfA.GetId(), {3}},
                  {g3300BandA[4].GetId(), {22}},
                  {g3300BandB[0].GetId(), {30}},
                  {MemoryName3300(1).GetId(), windows3300::TextBytes("VERSE")},
                  {g3300UnitName.GetId(), windows3300::TextBytes("STAGE")}};
  const auto openAll = [&](TEdit3300Window& w) {
    for (const int item : {kItemEqA, kItemEqB, kItemLpfB, kItemHpfA, kItemGainA, kItemGainB,
                           kItemDspi, kItemMemory}) {
      w.RunItem(item);
    }
  };
  const auto level = [](TLevelDialog* dialog, int key) {
    ui::test::PressKey(ui::test::ControlOf(*dialog, controls_res::kLevelTrackbar), key);
  };
  const auto memoryButton = [&](int id) {
    return [&, id] {
      script.AnswerMessageBox(ui::kIdYes).AnswerMessageBox(ui::kIdOk);
      ui::test::Click(*edit->Memory(), id);
    };
  };
  const struct {
    const char* name;
    int objectId;  // the write cut off
    // Whether the unit's byte changes only when the write cut off is carried out.
    bool visible;
    // How many reads of the object come before its write; none: nothing reads it back.
    std::optional<int> readsFirst;
    std::function<void()> act;
  } writes[] = {
      {"band slider", g3300BandA[4].GetId(), true, 0,
       [&] {
         edit->Equaliser(0)->Slider(5).SetFocus();
         ui::test::PressKey(edit->Equaliser(0)->Slider(5), Qt::Key_Up);
       }},
      {"flatten", g3300BandB[0].GetId(), true, 0,
       [&] {
         script.AnswerMessageBox(ui::kIdOk);
         ui::test::Click(*edit->Equaliser(1), res3300::kFlattenButton);
       }},
      {"gain", g3300GainA.GetId(), true, 0, [&] { level(edit->Gain(0), Qt::Key_Up); }},
      {"low pass", g3300LpfB.GetId(), true, 0, [&] { level(edit->Lpf(1), Qt::Key_End); }},
      {"high pass", g3300HpfA.GetId(), true, 0, [&] { level(edit->Hpf(0), Qt::Key_Home); }},
      {"gain dropped on the other channel's", g3300GainB.GetId(), true, 0,
       [&] {
         script.AnswerMessageBox(ui::kIdOk);
         edit->CopyChannel(kItemGainA, kItemGainB);
       }},
      {"EQ A switch", g3300EqInA.GetId(), true, 1, [&] { edit->RunItem(kItemEqInA); }},
      {"mute B", g3300MuteB.GetId(), true, 1, [&] { edit->RunItem(kItemMuteB); }},
      {"DSPI", g3300DspiSwitch.GetId(), true, 1,
       [&] { ui::test::Click(*edit->Dspi(), res3300::kDspiLamp); }},
      {"memory recall", g3300MemoryAccess.GetId(), false, std::nullopt,
       memoryButton(res3300::kFirstRecall + 2)},
      {"memory save", g3300MemoryAccess.GetId(), false, std::nullopt,
       memoryButton(res3300::kFirstSave + 4)},
      {"memory name", MemoryName3300(1).GetId(), true, std::nullopt,
       [&] {
         ui::test::Type(*edit->Memory(), res3300::kFirstName, "CODA");
         edit->Memory()->CloseWindow(ui::kIdOk);
       }},
      {"rename", g3300UnitName.GetId(), true, 1,
       [&] {
         script.RunDialog(controls_res::kInputDialog, [](ui::Dialog& d) {
           ui::test::ControlOf(d, controls_res::kInputField).SetText("FOH");
           d.CloseWindow(ui::kIdOk);
         });
         edit->RunItem(kItemName);
       }},
  };
  const struct {
    const char* name;
    sim::Fault fault;
    bool carriedOut;
    // The read that shows the control again after the write goes unanswered.
    bool readBackLost;
  } kinds[] = {{"answer lost, carried out", sim::Fault::Silence(), true, false},
               {"answer lost, never taken", sim::Fault::Unheard(), false, false},
               {"refused", sim::Fault::ErrorObject(7), false, false},
               {"refused, read back unanswered", sim::Fault::ErrorObject(7), false, true}};
  for (const auto& kind : kinds) {
    for (const auto& write : writes) {
      SCOPED_TRACE(std::string(write.name) + ", " + kind.name);
      if (kind.readBackLost && !write.readsFirst) continue;
      for (const auto& [objectId, before] : starting) Store(objectId, before);
      ASSERT_NE(manager.Acquire(unit), nullptr);
      ASSERT_TRUE(unit->Open(&owner));
      edit = dynamic_cast<TEdit3300Window*>(unit->EditWindow());
      openAll(*edit);
      TakeReportedErrors();
      const std::vector<uint8_t> held = bus.Element(0, write.objectId, 0);
      ui::test::PumpMessages();
      told = 0;
      const std::size_t seen = script.Seen().size();
      bus.AddFault(kind.fault.ForObject(write.objectId).ForOpcode(sim::kOpcodeSet).Times(1));
      if (kind.readBackLost) {
        bus.AddFault(sim::Fault::Silence()
                         .ForObject(write.objectId)
                         .ForOpcode(sim::kOpcodeGet)
                         .OnOccurrence(*write.readsFirst + 1));
      }
      write.act();
      ui::test::PumpMessages();
      EXPECT_EQ(eqtest::TakeReports(script, seen), 1u);
      bus.ClearFaults();
      if (write.visible) {
        EXPECT_EQ(bus.Element(0, write.objectId, 0) != held, kind.carriedOut);
      }
      PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
      ui::test::PumpIdle();
      ui::test::PumpMessages();
      EXPECT_TRUE(TakeReportedErrors().empty());
      EXPECT_FALSE(unit->InDoubt());
      EXPECT_EQ(told > 0, kind.fault.kind != sim::FaultKind::kErrorObject || kind.readBackLost);

      TEdit3300Window fresh(*unit, nullptr);
      fresh.Create();
      openAll(fresh);
      if (!edit->Memory()->IsCreated()) fresh.Memory()->Destroy();
      EXPECT_EQ(Shown(*edit), Shown(fresh));
      // Closed without writing the memory names back.
      fresh.Memory()->Destroy();
      edit->Memory()->Destroy();
      edit->CloseWindow();
      ui::test::PumpMessages();
    }
  }
}

// A read of the whole unit that fails (the windows follow a recall, and the unit has fallen
// silent): no open window shows a value it could not read again, and once the unit answers,
// every one shows what the unit holds.
TEST_F(DialogsTest, AWholeUnitReadThatFailsShowsEveryOpenWindowUnknownUntilTheUnitAnswers) {
  Open();
  for (const int item : {kItemEqA, kItemLpfA, kItemGainB, kItemDspi, kItemMemory, kItemSecurity}) {
    window->RunItem(item);
  }
  const std::vector<std::string> answered = Shown(*window);
  const auto levelText = [](TLevelDialog& dialog) {
    return ui::test::ControlOf(dialog, controls_res::kLevelText).Text();
  };
  bus.AddFault(sim::Fault::Silence());
  window->Post(TEdit3300Window::kRefreshAllMessage);
  ui::test::PumpMessages();
  EXPECT_EQ(TakeReportedErrors().size(), 1u);
  EXPECT_TRUE(window->Text().ends_with(") ")) << "no name in " << window->Text();
  for (const int item : {kItemEqInA, kItemMuteA, kItemEqInB, kItemMuteB}) {
    EXPECT_TRUE(window->Tree().ItemText(window->Item(item)).ends_with(" ?")) << item;
  }
  for (int band = 1; band <= kBandCount; ++band) {
    EXPECT_FALSE(window->Equaliser(0)->Slider(band).HasValue()) << band;
  }
  EXPECT_EQ(levelText(*window->Lpf(0)), "?");
  EXPECT_EQ(levelText(*window->Gain(1)), "?");
  EXPECT_EQ(window->Dspi()->Lamp().GetState(), TLEDButton::kOff);
  EXPECT_EQ(window->Security()->Lamp().GetState(), TLEDButton::kOff);
  for (int k = 0; k < kMemoryCount; ++k) {
    EXPECT_EQ(ui::test::ControlOf(*window->Memory(), res3300::kFirstName + k).Text(), "") << k;
  }
  bus.ClearFaults();
  PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
  ui::test::PumpIdle();
  ui::test::RestIdle();
  EXPECT_EQ(Shown(*window), answered);
  EXPECT_TRUE(TakeReportedErrors().empty());
}

}  // namespace
