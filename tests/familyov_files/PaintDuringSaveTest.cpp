// While a unit's settings are saved over the simulated bus the progress dialog paints, and nothing
// else runs in the middle of the save: a read of the unit that a window was asked for waits until
// the save is over, also when the unit stops answering half way.

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <string>
#include <vector>

#include "bus/IQException.h"
#include "controls/TProgressDialog.h"
#include "familyov/unit/ParameterTable.h"
#include "platform/ui/Application.h"
#include "platform/ui/PaintOnlyLoop.h"
#include "platform/ui/TestHooks.h"
#include "tests/familyov_files/FilesTestSupport.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

constexpr int kAddress = 4;
constexpr ui::MessageId kReadName = 501;

// Paints of any part of the progress dialog, and the captions it had.
class ProgressPaints : public QObject {
 public:
  ProgressPaints() { qApp->installEventFilter(this); }
  ~ProgressPaints() override { qApp->removeEventFilter(this); }
  int paints = 0;
  std::vector<std::string> captions;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() != QEvent::Paint || !watched->isWidgetType()) return false;
    for (ui::Window* w = ui::Window::FromWidget(static_cast<QWidget*>(watched)); w != nullptr;
         w = w->Parent()) {
      if (dynamic_cast<TProgressDialog*>(w) == nullptr) continue;
      ++paints;
      captions.push_back(w->Widget()->windowTitle().toStdString());
    }
    return false;
  }
};

class PaintDuringSaveTest : public filestest::FilesTest {
 protected:
  PaintDuringSaveTest() {
    bus.AddModelUnit(sim::familyov::Model::k8126, kAddress);
    bus.port.SetPauseHook([this] {
      ++pauses;
      if (pauses == unitDiesAtPause) bus.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress));
      ui::PaintPending();
    });
    reader.Create();
    reader.OnMessage(kReadName, [this](const ui::Message&) {
      readWhileSaving.push_back(saving);
      try {
        gUnitNameObject.Read(unit);
      } catch (const IQException&) {
        // The unit that died: the read was tried, which is all this window stands for.
      }
      return ui::Param{0};
    });
  }
  ~PaintDuringSaveTest() override { bus.port.SetPauseHook(nullptr); }

  bool Save() {
    reader.Post(kReadName);
    saving = true;
    const bool saved = unit.SaveFile();
    saving = false;
    return saved;
  }

  ovtest::FamilyBus bus;
  IQ8126Type type;
  const IQDeviceInfo record{kAddress, 880, 1, ovtest::ModelId('6', "1.5", false)};
  IQDevice8126 unit{&type, &bus.manager, &record, 6};
  ui::Window reader;
  ProgressPaints progress;
  int pauses = 0;
  int unitDiesAtPause = -1;
  bool saving = false;
  std::vector<bool> readWhileSaving;
};

TEST_F(PaintDuringSaveTest, TheProgressPaintsWhileAReadAskedForMeanwhileWaitsUntilTheEnd) {
  script.AnswerSaveFile(TempPath("unit.ov2"));
  ASSERT_TRUE(Save());
  EXPECT_GT(progress.paints, 0) << "the dialog painted while the save held the loop";
  ASSERT_FALSE(progress.captions.empty());
  EXPECT_EQ(progress.captions.front(), ui::Application::Instance()->Name());
  EXPECT_TRUE(readWhileSaving.empty()) << "no read cut into the save";
  ui::test::PumpMessages();
  EXPECT_EQ(readWhileSaving, std::vector<bool>{false}) << "the read ran once, after the save";
}

TEST_F(PaintDuringSaveTest, AUnitThatDiesHalfWayEndsTheSaveBeforeTheWaitingReadRuns) {
  unitDiesAtPause = 40;
  script.AnswerSaveFile(TempPath("unit.ov2")).AnswerMessageBox(ui::kIdOk);
  EXPECT_FALSE(Save());
  ASSERT_EQ(script.Seen().size(), 2u);
  EXPECT_NE(script.Seen().back().text.find("The settings were not saved."), std::string::npos);
  EXPECT_TRUE(readWhileSaving.empty());
  ui::test::PumpMessages();
  EXPECT_EQ(readWhileSaving, std::vector<bool>{false});
}

}  // namespace
}  // namespace namespaceOV
