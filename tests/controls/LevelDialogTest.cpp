#include <gtest/gtest.h>

#include <QApplication>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>
#include <map>

#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"
#include "controls/DeviceErrorReport.h"
#include "controls/LevelScale.h"
#include "controls/TAdjustDialog.h"
#include "controls/TLevelDialog.h"
#include "controls/TStereodBLevelDialog.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "tests/bus/BusTestSupport.h"
#include "tests/controls/ControlsTestEnvironment.h"

namespace {

using bustest::Bytes;
using controls::TrackPair;
namespace res = controls_res;

constexpr uint8_t kGetOpcode = 10;
constexpr uint8_t kSetOpcode = 9;
constexpr int kLeftId = 20;
constexpr int kRightId = 21;

TEST(LockedMove, BothTrackbarsMoveByTheSameAmountWithinTheRange) {
  EXPECT_EQ(controls::LockedMove({10, 150}, {30, 150}, 0, 160), (TrackPair{20, 160}));
  EXPECT_EQ(controls::LockedMove({10, 150}, {10, 140}, 0, 160), (TrackPair{0, 140}));
  EXPECT_EQ(controls::LockedMove({40, 60}, {40, 70}, 0, 160), (TrackPair{50, 70}));
  // Both would leave the range: the larger overshoot decides, so neither does.
  EXPECT_EQ(controls::LockedMove({10, 150}, {160, 150}, 0, 160), (TrackPair{20, 160}));
  EXPECT_EQ(controls::LockedMove({150, 10}, {150, -5}, 0, 160), (TrackPair{140, 0}));
}

// A unit at address 5 on a scripted line: it keeps the values written to it and answers reads
// from them, unless told to fall silent or to refuse writes with its error object.
struct LevelDialogTest : testing::Test {
  struct Report {
    std::string text;
    int code;
  };

  std::shared_ptr<bustest::LineScript> line = std::make_shared<bustest::LineScript>();
  CommPort port{1, kBusBaudRate, bustest::ScriptedLines(line)};
  IQDeviceManager manager{port};
  bustest::TestDeviceType type{368, "Test"};
  IQDeviceInfo info{5, 368, 1};
  std::unique_ptr<IQDevice> unit{type.CreateDevice(&manager, &info)};
  ByteUCodeObject left{kLeftId, 1, true};
  ByteUCodeObject right{kRightId, 1, true};
  std::map<int, uint8_t> values;
  std::vector<std::pair<int, uint8_t>> written;
  int setsSent = 0;
  bool silent = false;
  std::optional<uint8_t> errorCode;
  std::vector<Report> reports;
  controlstest::Host host;

  void SetUp() override {
    port.Open();
    line->onWrite = [this](const Bytes& sent) {
      if (sent.size() < 7) return;
      if (sent[5] == kSetOpcode) ++setsSent;
      if (silent) return;
      const int id = sent[4];
      if (errorCode && sent[5] == kSetOpcode) {
        line->Queue(bustest::Reply(1, {0xB0, 0x7F}, {0x03, *errorCode}, sent[5]));
      } else if (sent[5] == kSetOpcode) {
        values[id] = sent[6];
        written.emplace_back(id, sent[6]);
        line->Queue(bustest::Reply(1, {sent[4]}, {}, kSetOpcode));
      } else if (sent[5] == kGetOpcode) {
        line->Queue(bustest::Reply(1, {sent[4]}, {values[id]}));
      }
    };
    controls::SetDeviceErrorReporter([this](const IQException& e, IQDevice* device, int code) {
      EXPECT_EQ(device, unit.get());
      reports.push_back({e.GetText(), code});
    });
    host.Open();
  }
  void TearDown() override { controls::SetDeviceErrorReporter(nullptr); }

  static QSlider& Slider(ui::Window& dialog, int id) {
    return *qobject_cast<QSlider*>(ui::test::ControlOf(dialog, id).Widget());
  }
  static int Position(ui::Window& dialog, int id) { return Slider(dialog, id).sliderPosition(); }
  // The user drags a trackbar's thumb to `position` (and keeps holding it).
  static void Drag(ui::Window& dialog, int id, int position) {
    QSlider& slider = Slider(dialog, id);
    slider.setSliderDown(true);
    slider.setSliderPosition(position);
  }
  static void Release(ui::Window& dialog, int id) {
    QSlider& slider = Slider(dialog, id);
    QTest::mouseRelease(&slider, Qt::LeftButton);
    slider.setSliderDown(false);
  }
  static std::string Shown(ui::Window& dialog, int id) {
    return ui::test::ControlOf(dialog, id).Text();
  }
};

TEST_F(LevelDialogTest, InvertedTrackbarReadsAndWritesTheValueAtTheEndOfADrag) {
  values[kLeftId] = 2;
  TLevelDialog dialog(unit.get(), &left, 0, 7, 1, &host);
  dialog.Create();
  EXPECT_EQ(Position(dialog, res::kLevelTrackbar), 5);
  EXPECT_EQ(Shown(dialog, res::kLevelText), "2");
  Drag(dialog, res::kLevelTrackbar, 0);
  EXPECT_EQ(Shown(dialog, res::kLevelText), "7");
  EXPECT_TRUE(written.empty()) << "nothing is written while dragging";
  Release(dialog, res::kLevelTrackbar);
  EXPECT_EQ(written, (std::vector<std::pair<int, uint8_t>>{{kLeftId, 7}}));
  EXPECT_TRUE(reports.empty());
}

TEST_F(LevelDialogTest, WriteWhileDraggingWritesEveryMoveAndDbShowsScaledValues) {
  values[kLeftId] = 20;
  TdBLevelDialog dialog(unit.get(), &left, 0, 40, 5, -10.0f, 0.5f, &host);
  dialog.SetInverted(false);
  dialog.SetWriteWhileDragging(true);
  dialog.Create();
  EXPECT_EQ(Position(dialog, res::kLevelTrackbar), 20);
  EXPECT_EQ(Shown(dialog, res::kLevelText), "0.0 dB");
  Drag(dialog, res::kLevelTrackbar, 10);
  Drag(dialog, res::kLevelTrackbar, 12);
  EXPECT_EQ(Shown(dialog, res::kLevelText), "-4.0 dB");
  EXPECT_EQ(written, (std::vector<std::pair<int, uint8_t>>{{kLeftId, 10}, {kLeftId, 12}}));
  Release(dialog, res::kLevelTrackbar);
  dialog.Show();
  controlstest::SavePicture(dialog, "level_dialog.png");
}

TEST_F(LevelDialogTest, FailedReadsAndWritesAreReportedAndTheDialogStaysUsable) {
  values[kLeftId] = 3;
  silent = true;
  TLevelDialog dialog(unit.get(), &left, 0, 7, 1, &host);
  dialog.Create();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].code, controls::kNoUnitErrorCode);
  EXPECT_EQ(reports[0].text, ReadTimeout().GetText());
  EXPECT_TRUE(dialog.IsCreated());
  silent = false;
  dialog.ReadValue();
  EXPECT_EQ(Position(dialog, res::kLevelTrackbar), 4);
  errorCode = 7;
  Drag(dialog, res::kLevelTrackbar, 1);
  Release(dialog, res::kLevelTrackbar);
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[1].code, 7) << "the unit's own error code";
  EXPECT_EQ(Position(dialog, res::kLevelTrackbar), 4) << "the trackbar shows the unit's level";
  EXPECT_EQ(Shown(dialog, res::kLevelText), "3");
  silent = true;
  Drag(dialog, res::kLevelTrackbar, 1);
  Release(dialog, res::kLevelTrackbar);
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_EQ(Shown(dialog, res::kLevelText), controls::kUnknownValue)
      << "a level written without an answer is unknown";
  silent = false;
  errorCode.reset();
  Drag(dialog, res::kLevelTrackbar, 2);
  Release(dialog, res::kLevelTrackbar);
  EXPECT_EQ(values[kLeftId], 5);
}

struct StereoDialogTest : LevelDialogTest {
  bool locked = true;
  std::unique_ptr<TStereodBLevelDialog> dialog;

  void SetUp() override {
    LevelDialogTest::SetUp();
    values[kLeftId] = 10;
    values[kRightId] = 150;
    host.Record(300);
    host.Record(302);
  }
  // The graphic equaliser's analog levels: 0..160 half-dB steps shown negative, not inverted.
  // A unit that answers nothing, holding -5 dB left and -75 dB right, with nothing written yet.
  void SilentWithLevelsNotRead(bool lockedPair) {
    locked = lockedPair;
    values[kLeftId] = 10;
    values[kRightId] = 150;
    written.clear();
    reports.clear();
    setsSent = 0;
    silent = true;
  }

  TStereodBLevelDialog& Open() {
    dialog = std::make_unique<TStereodBLevelDialog>(unit.get(), &left, &right, &locked, 0, 160, 1,
                                                    0.0f, -0.5f, &host);
    dialog->SetInverted(false);
    dialog->SetChangeMessage({300, 1, 2});
    dialog->SetCloseMessage({302, 3, 4});
    dialog->Create();
    return *dialog;
  }
  TrackPair Positions() {
    return {Position(*dialog, res::kFirstTrackbar), Position(*dialog, res::kSecondTrackbar)};
  }
};

TEST_F(StereoDialogTest, TheFirstLockedDragMovesTheOtherChannelByAsMuch) {
  TStereodBLevelDialog& dialog = Open();
  EXPECT_EQ(Positions(), (TrackPair{10, 150}));
  EXPECT_EQ(Shown(dialog, res::kFirstText), "-5.0 dB");
  EXPECT_EQ(Shown(dialog, res::kSecondText), "-75.0 dB");
  Drag(dialog, res::kFirstTrackbar, 30);
  EXPECT_EQ(Positions(), (TrackPair{20, 160})) << "cut where the second reaches the top";
  Release(dialog, res::kFirstTrackbar);
  EXPECT_EQ(written, (std::vector<std::pair<int, uint8_t>>{{kLeftId, 20}, {kRightId, 160}}));
  Drag(dialog, res::kSecondTrackbar, 100);
  EXPECT_EQ(Positions(), (TrackPair{0, 140}));
  Release(dialog, res::kSecondTrackbar);
  EXPECT_EQ(Shown(dialog, res::kSecondText), "-70.0 dB");
  dialog.Show();
  controlstest::SavePicture(dialog, "stereo_level_dialog.png");
}

TEST_F(StereoDialogTest, UnlockedTrackbarsMoveAloneAndTheParentHearsOfWritesAndClosing) {
  locked = false;
  TStereodBLevelDialog& dialog = Open();
  Drag(dialog, res::kSecondTrackbar, 100);
  EXPECT_EQ(Positions(), (TrackPair{10, 100}));
  Release(dialog, res::kSecondTrackbar);
  // Only the level that moved is written.
  EXPECT_EQ(written, (std::vector<std::pair<int, uint8_t>>{{kRightId, 100}}));
  ui::test::PumpMessages();
  ASSERT_EQ(host.received.size(), 1u);
  EXPECT_EQ(host.received[0].id, 300u);
  EXPECT_EQ(host.received[0].wParam, 1);
  EXPECT_EQ(host.received[0].lParam, 2);
  StereoDialogTest::dialog.reset();  // deleting the dialog closes its window
  ui::test::PumpMessages();
  ASSERT_EQ(host.received.size(), 2u);
  EXPECT_EQ(host.received[1].id, 302u);
  EXPECT_EQ(host.received[1].lParam, 4);
}

TEST_F(StereoDialogTest, TheLockBoxSetsTheOwnersFlagAndReadsAgain) {
  TStereodBLevelDialog& dialog = Open();
  values[kLeftId] = 40;
  ui::test::Click(dialog, res::kLockBox);
  EXPECT_FALSE(locked);
  EXPECT_EQ(Positions(), (TrackPair{40, 150}));
  ui::test::Click(dialog, res::kLockBox);
  EXPECT_TRUE(locked);
  Drag(dialog, res::kSecondTrackbar, 155);
  EXPECT_EQ(Positions(), (TrackPair{45, 155})) << "measured from the values just read";
  Release(dialog, res::kSecondTrackbar);
}

TEST_F(StereoDialogTest, AFailedReadIsReportedAndAFailedWriteTellsTheParentNothing) {
  silent = true;
  TStereodBLevelDialog& dialog = Open();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].code, controls::kNoUnitErrorCode);
  silent = false;
  errorCode = 0;
  Drag(dialog, res::kFirstTrackbar, 30);
  Release(dialog, res::kFirstTrackbar);
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[1].code, 0) << "0 is a unit error code too";
  ui::test::PumpMessages();
  EXPECT_TRUE(host.received.empty());
}

// Levels the dialog could not read: a move starts from the levels the unit holds, read once it
// answers, and a channel the user did not move is neither written nor shown as known. A unit that
// does not give its levels is written nothing and told once.
TEST_F(StereoDialogTest, AMoveOfLevelsNotReadStartsFromWhatTheUnitHolds) {
  const struct {
    const char* name;
    bool locked;
    bool answers;
    std::vector<std::pair<int, uint8_t>> written;
    const char* secondShown;
  } cases[] = {
      {"locked", true, true, {{kLeftId, 14}, {kRightId, 154}}, "-77.0 dB"},
      {"locked, the unit silent", true, false, {}, controls::kUnknownValue},
      {"unlocked", false, true, {{kLeftId, 14}}, controls::kUnknownValue},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SilentWithLevelsNotRead(c.locked);
    TStereodBLevelDialog& dialog = Open();
    silent = !c.answers;
    Drag(dialog, res::kFirstTrackbar, 14);
    Release(dialog, res::kFirstTrackbar);
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(setsSent, static_cast<int>(c.written.size()));
    EXPECT_EQ(reports.size(), c.answers ? 1u : 2u);
    EXPECT_EQ(Shown(dialog, res::kSecondText), c.secondShown);
    silent = false;
  }
}

// A key press is a move and its end at one value: on a unit that does not take it, one write and
// one report, in either dialog; a press on the thumb after it, which moves nothing, writes nothing.
TEST_F(StereoDialogTest, AKeyPressWrittenWhileDraggingOnAFailingUnitIsOneWriteAndOneReport) {
  TdBLevelDialog single(unit.get(), &left, 0, 40, 5, -10.0f, 0.5f, &host);
  single.SetWriteWhileDragging(true);
  single.Create();
  TStereodBLevelDialog& stereo = Open();
  stereo.SetWriteWhileDragging(true);
  const struct {
    const char* name;
    ui::Window* dialog;
    int trackbar;
    std::function<void()> read;
  } dialogs[] = {{"level", &single, res::kLevelTrackbar, [&] { single.ReadValue(); }},
                 {"stereo level", &stereo, res::kFirstTrackbar, [&] { stereo.ReadValues(); }}};
  for (const auto& d : dialogs) {
    for (const bool refused : {false, true}) {
      SCOPED_TRACE(std::string(d.name) + (refused ? ", refused" : ", silent"));
      silent = !refused;
      if (refused) errorCode = 7;
      setsSent = 0;
      reports.clear();
      ui::test::PressKey(ui::test::ControlOf(*d.dialog, d.trackbar), Qt::Key_Up);
      EXPECT_EQ(setsSent, 1) << "the second channel waits for the first";
      EXPECT_EQ(reports.size(), 1u);
      // The unit answers again: a press on the thumb where the failure left it, at the unit's
      // level or the step's shown unknown, writes nothing.
      silent = false;
      errorCode.reset();
      Drag(*d.dialog, d.trackbar, Position(*d.dialog, d.trackbar));
      Release(*d.dialog, d.trackbar);
      EXPECT_EQ(setsSent, 1) << "nor does the thumb's press";
      // Its late replies are settled before the next case counts.
      d.read();
    }
  }
}

// Levels the dialog could not read: an arrow steps from the level the unit holds, read first, not
// from where the thumb rests, in either dialog; a unit that does not give it is written nothing
// and told once.
TEST_F(StereoDialogTest, AnArrowOnALevelNotReadStepsFromWhatTheUnitHolds) {
  const struct {
    const char* name;
    bool stereo;
    bool locked;
    bool answers;
    std::vector<std::pair<int, uint8_t>> written;
    const char* shown;
    bool wheel = false;  // a notch rolled toward the user instead
  } cases[] = {
      {"level", false, false, true, {{kLeftId, 11}}, "-5.5 dB"},
      {"level, the unit silent", false, false, false, {}, controls::kUnknownValue},
      {"level, by the wheel", false, false, true, {{kLeftId, 11}}, "-5.5 dB", true},
      {"stereo, unlocked", true, false, true, {{kLeftId, 11}}, "-5.5 dB"},
      {"stereo, locked", true, true, true, {{kLeftId, 11}, {kRightId, 151}}, "-5.5 dB"},
      {"stereo, unlocked, the unit silent", true, false, false, {}, controls::kUnknownValue},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SilentWithLevelsNotRead(c.locked);
    TdBLevelDialog single(unit.get(), &left, 0, 160, 1, 0.0f, -0.5f, &host);
    single.SetInverted(false);
    ui::Window* dialog = &single;
    if (c.stereo) {
      dialog = &Open();
    } else {
      single.Create();
    }
    const int trackbar = c.stereo ? res::kFirstTrackbar : res::kLevelTrackbar;
    silent = !c.answers;
    if (c.wheel) {
      QWheelEvent notch({}, {}, {}, {0, -QWheelEvent::DefaultDeltasPerStep}, Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(&Slider(*dialog, trackbar), &notch);
    } else {
      ui::test::PressKey(ui::test::ControlOf(*dialog, trackbar), Qt::Key_Right);
    }
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(setsSent, static_cast<int>(c.written.size()));
    EXPECT_EQ(reports.size(), c.answers ? 1u : 2u);
    EXPECT_EQ(Shown(*dialog, c.stereo ? res::kFirstText : res::kLevelText), c.shown);
    silent = false;
  }
}

TEST_F(LevelDialogTest, AdjustAnswersTheOffsetInHalfDbStepsWithinTwentySteps) {
  for (const auto& [delta, expected, text] :
       {std::tuple{-1, 20, "10.0 dB"}, std::tuple{1, -20, "-10.0 dB"}}) {
    ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
    script.RunDialog(res::kAdjustDialog, [&, delta = delta, text = text](ui::Dialog& d) {
      EXPECT_EQ(Shown(d, res::kAdjustText), "0 dB");
      auto& upDown = static_cast<ui::UpDown&>(ui::test::ControlOf(d, res::kAdjustUpDown));
      for (int i = 0; i < 25; ++i) upDown.Step(delta);
      EXPECT_EQ(Shown(d, res::kAdjustText), text);
      controlstest::SavePicture(d, "adjust_dialog.png");
      ui::test::Click(d, ui::kIdOk);
    });
    TAdjustDialog adjust(&host);
    EXPECT_EQ(adjust.Execute(), expected);
  }
}

}  // namespace
