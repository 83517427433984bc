// The shell's own dialogs: error reports, interface, COM monitor, progress and About.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <stdexcept>

#include "app/AboutDialog.h"
#include "app/ComMonitorDialog.h"
#include "app/ErrorDialogs.h"
#include "app/InterfaceDialog.h"
#include "app/UnhandledErrorReport.h"
#include "bus/CommPort.h"
#include "bus/IQException.h"
#include "bus/PortList.h"
#include "bus/UCodePacket.h"
#include "controls/TProgressDialog.h"
#include "platform/serial/UserPorts.h"
#include "platform/shell/VersionInfo.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Guard.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Trackbar.h"
#include "resources/AppIds.h"
#include "tests/app/AppTestSupport.h"

namespace apptest {
namespace {

using namespace appres;

std::string Field(ui::Window& d, int id) { return ui::test::ControlOf(d, id).Text(); }

class RecordingNotifier : public BusNotifier {
 public:
  void ShowMessage(const std::string& text, const std::string&, Icon) override {
    messages.push_back(text);
  }
  std::vector<std::string> messages;
};

TEST(ErrorDialogTest, ReportsStayOnTopAndNameNoneForAMissingDevice) {
  std::vector<std::string> fields;
  std::vector<bool> onTop;
  ui::PromptScript script(FailTest);
  script.RunDialog(kErrorDialog, [&](ui::Dialog& d) {
    fields = {Field(d, kErrorDescription), Field(d, kErrorAddress), Field(d, kErrorDeviceType),
              Field(d, kErrorObjectId)};
    onTop.push_back(d.Widget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    ui::test::GrabPng(d, OutputPath("error.png"));
    ui::test::Click(d, ui::kIdCancel);
  });
  ShowDeviceError(ReadTimeout(), nullptr, -1);
  EXPECT_EQ(fields, (std::vector<std::string>{"Timeout error during read from COM port.", "---",
                                              "---", "---"}));

  // Code 0 is a unit's error code, so it takes the error-object dialog, also with no device.
  script.RunDialog(kErrorObjectDialog, [&](ui::Dialog& d) {
    fields = {Field(d, kErrorDescription), Field(d, kErrorAddress)};
    onTop.push_back(d.Widget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    ui::test::Click(d, ui::kIdOk);
  });
  ShowDeviceError(ErrorObject(0), nullptr, 0);
  EXPECT_EQ(fields, (std::vector<std::string>{"Error object code 0", "---"}));
  EXPECT_EQ(onTop, (std::vector<bool>{true, true})) << "both reports stay above other windows";
}

// The program's own report of a fault that reached the window layer's guard, installed for the
// test in place of the environment's failure.
class UnhandledErrorTest : public testing::Test {
 protected:
  void SetUp() override {
    environmentReporter_ = ui::SetErrorReporter(nullptr);
    InstallUnhandledErrorReport();
  }
  void TearDown() override { ui::SetErrorReporter(std::move(environmentReporter_)); }

  // Runs a handler that throws, as the layer runs its handlers.
  template <typename Exception>
  static void Fail(const char* where, Exception e) {
    ui::Guarded(where, [&] { throw e; });
  }
  // Scripts the error dialog: its description is kept, then it closes.
  void ExpectReport() {
    script.RunDialog(kErrorDialog, [this](ui::Dialog& d) {
      shown.push_back(Field(d, kErrorDescription));
      // A repaint behind the open report fails again: the same incident.
      Fail("paint", std::runtime_error("drawn again"));
      ui::test::Click(d, ui::kIdCancel);
    });
  }

  ui::PromptScript script{FailTest};
  std::vector<std::string> shown;

 private:
  ui::ErrorReporter environmentReporter_;
};

TEST_F(UnhandledErrorTest, AFaultIsShownInTheErrorDialogOnceAfterItsHandlerReturns) {
  ExpectReport();
  Fail("paint", std::out_of_range("vector index 7"));
  Fail("paint", 3);  // a second fault before the report opens joins it
  EXPECT_TRUE(shown.empty()) << "no dialog runs inside the failed handler";
  ui::test::PumpMessages();
  EXPECT_EQ(shown, std::vector<std::string>{"Program error in paint: vector index 7"});

  // Once the report is closed, a new fault is a new incident.
  ExpectReport();
  Fail("command", std::logic_error("no filter"));
  ui::test::PumpMessages();
  EXPECT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown.back(), "Program error in command: no filter");
  ui::test::PumpMessages();
  EXPECT_EQ(shown.size(), 2u) << "the fault behind an open report brought no report of its own";
}

// Every dialog of the program as the user sees it: no text cut off, and whatever a group frames
// sits inside the frame, clear of its title and edges.
TEST(DialogLayoutTest, TextsFitAndGroupedControlsSitInsideTheirFrames) {
  for (int id :
       {kSelectDeviceDialog, kInterfaceDialog, kErrorDialog, kErrorObjectDialog, kComMonitorDialog,
        kProgressDialog, kHowToGetHelpDialog, kPollBusDialog, kAboutDialog}) {
    ui::Dialog d(nullptr, id);
    d.Create();
    const QList<QWidget*> controls =
        d.Widget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (const QWidget* c : controls) {
      if (const auto* label = qobject_cast<const QLabel*>(c); label && label->pixmap().isNull()) {
        EXPECT_LE(label->heightForWidth(label->width()), label->height())
            << "dialog " << id << ": " << label->text().toStdString();
      }
      if (const auto* button = qobject_cast<const QAbstractButton*>(c);
          button && !qobject_cast<const QPushButton*>(c)) {
        EXPECT_LE(button->sizeHint().width(), button->width())
            << "dialog " << id << ": " << button->text().toStdString();
      }
      const auto* group = qobject_cast<const QGroupBox*>(c);
      if (group == nullptr) continue;
      const QRect inside = group->contentsRect().translated(group->pos());
      for (const QWidget* other : controls) {
        if (other != group && other->geometry().intersects(group->geometry())) {
          EXPECT_TRUE(inside.contains(other->geometry()))
              << "dialog " << id << ": a control on the frame of " << group->title().toStdString();
        }
      }
    }
  }
}

TEST(ComMonitorTest, OneLineOfHexPerPacketWithItsChecksum) {
  UCodePacket packet;
  for (uint8_t b : {0x05, 0xF0, 0x02, 0x03, 0x14, 0x09, 0x01}) packet.AppendByte(b);
  EXPECT_EQ(MonitorLine(">> ", packet.Bytes(), nullptr), ">> 05 F0 02 03 14 09 01 ");
  const uint8_t checksum = packet.Checksum();
  EXPECT_EQ(MonitorLine(">> ", packet.Bytes(), &checksum), ">> 05 F0 02 03 14 09 01 18 ");
}

TEST(ComMonitorTest, LogOnlyWhenCheckedAndNotMaskedWhileMaskingIsEnabled) {
  TComMonitorDialog monitor(nullptr);
  monitor.Create();
  auto& log = static_cast<ui::Edit&>(ui::test::ControlOf(monitor, kMonitorLog));
  const std::vector<uint8_t> bytes{0xFD, 0xE0};
  ui::test::Click(monitor, kMonitorLogCheck);
  monitor.BeginMask();
  monitor.LogSentBytes(bytes);
  EXPECT_EQ(log.LineCount(), 0) << "masked traffic leaves no trace";
  ui::test::Click(monitor, kMonitorMaskCheck);
  monitor.LogReceivedBytes(bytes);
  monitor.EndMask();
  monitor.LogSentBytes(bytes);
  ui::test::StepTimers(TComMonitorDialog::kFlushIntervalMs);
  EXPECT_EQ(log.LineCount(), 2);
  EXPECT_NE(log.Text().find("<< FD E0 "), std::string::npos) << log.Text();
  const QFontMetrics metrics(log.Widget()->font());
  EXPECT_EQ(metrics.horizontalAdvance("iiii"), metrics.horizontalAdvance("MMMM"))
      << "a fixed-pitch font keeps the hex in columns";
  ui::test::GrabPng(monitor, OutputPath("com-monitor.png"));
  monitor.Destroy();
}

TEST(ComMonitorTest, GatheredLinesReachTheLogInOrderAndTheLogStaysBounded) {
  TComMonitorDialog monitor(nullptr);
  monitor.Create();
  auto& log = static_cast<ui::Edit&>(ui::test::ControlOf(monitor, kMonitorLog));
  ui::test::Click(monitor, kMonitorLogCheck);
  ui::test::Click(monitor, kMonitorMaskCheck);
  constexpr int kLines = 12000;
  for (int i = 0; i < kLines; ++i) {
    const std::vector<uint8_t> bytes{static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i)};
    monitor.LogReceivedBytes(bytes);
  }
  ui::test::StepTimers(TComMonitorDialog::kFlushIntervalMs);
  EXPECT_EQ(log.LineCount(), 5000);
  const std::string text = log.Text();
  EXPECT_TRUE(text.starts_with("<< 1B 58 \n<< 1B 59 \n")) << text.substr(0, 40);
  EXPECT_TRUE(text.ends_with("<< 2E DF ")) << text.substr(text.size() - 40);

  monitor.LogSentBytes(std::vector<uint8_t>{0x01});
  monitor.Flush();
  EXPECT_TRUE(log.Text().ends_with("<< 2E DF \n>> 01 "));
  monitor.Destroy();
}

class InterfaceDialogTest : public ShellTest {
 protected:
  CommPort port{1, kBusBaudRate};
  RecordingNotifier notifier;

  int Run(const std::function<void(ui::Dialog&)>& act) {
    ui::PromptScript script(FailTest);
    script.RunDialog(kInterfaceDialog, act);
    return TInterfaceDialog(nullptr, port, notifier).Execute();
  }
  static int LineOf(ui::Dialog& d, const std::string& start) {
    auto& list = static_cast<ui::ListBox&>(ui::test::ControlOf(d, kPortList));
    for (int i = 0; i < list.Count(); ++i) {
      if (list.ItemText(i).rfind(start, 0) == 0) return i;
    }
    return -1;
  }
};

TEST_F(InterfaceDialogTest, ChoicesApplyOnlyWhenAcceptedWithOk) {
  const std::string simLine = "SER - " + ComName(kSimComNumber) + "  (";
  Run([&](ui::Dialog& d) {
    ui::test::GrabPng(d, OutputPath("interface.png"));
    EXPECT_EQ(Field(d, kRetriesEdit), "2");
    EXPECT_EQ(Field(d, kTimeoutEdit), "20");
    const int line = LineOf(d, simLine);
    ASSERT_GE(line, 0) << "the simulator's terminal is listed";
    static_cast<ui::ListBox&>(ui::test::ControlOf(d, kPortList)).SetSelection(line);
    ui::test::Type(d, kTimeoutEdit, "100");
    ui::test::Type(d, kRetriesEdit, "5");
    ui::test::PressKey(d, Qt::Key_Escape);
  });
  EXPECT_EQ(port.GetReadTimeout(), CommPort::kDefaultReadTimeoutMs) << "cancelled";
  EXPECT_EQ(port.GetRetries(), CommPort::kDefaultRetries);
  EXPECT_EQ(port.GetPortNumber(), 1);

  Run([&](ui::Dialog& d) {
    static_cast<ui::ListBox&>(ui::test::ControlOf(d, kPortList)).SetSelection(LineOf(d, simLine));
    ui::test::Type(d, kTimeoutEdit, "100");
    ui::test::Click(d, ui::kIdOk);
  });
  EXPECT_EQ(port.GetReadTimeout(), 100u);
  EXPECT_EQ(port.GetPortNumber(), kSimComNumber);
  EXPECT_FALSE(port.IsOpen()) << "the port opens at the next roll call";
}

TEST_F(InterfaceDialogTest, OkWithNoPortChosenAsksForAnInterfaceAndKeepsThePort) {
  ThePortList().SelectPort(nullptr);
  Run([](ui::Dialog& d) {
    static_cast<ui::ListBox&>(ui::test::ControlOf(d, kPortList)).SetSelection(-1);
    ui::test::Type(d, kTimeoutEdit, "100");
    ui::test::Click(d, ui::kIdOk);
  });
  EXPECT_EQ(notifier.messages,
            std::vector<std::string>{"No Inteface has been selected. You will need to select an "
                                     "Interface from the Options->Interface Menu."});
  EXPECT_EQ(port.GetPortNumber(), 1);
  EXPECT_EQ(port.GetReadTimeout(), 100u);
}

TEST_F(InterfaceDialogTest, TheValidatorsRefuseRetriesOutsideTheirRange) {
  ui::PromptScript script(FailTest);
  script.RunDialog(kInterfaceDialog, [](ui::Dialog& d) {
    ui::test::Type(d, kRetriesEdit, "0");
    ui::test::Click(d, ui::kIdOk);
    EXPECT_TRUE(d.IsCreated()) << "0 retries is refused";
    ui::test::Type(d, kRetriesEdit, "3");
    ui::test::Type(d, kTimeoutEdit, "5");
    ui::test::Click(d, ui::kIdOk);
    EXPECT_TRUE(d.IsCreated()) << "a 5 ms time-out is refused";
    ui::test::PressKey(d, Qt::Key_Escape);
  });
  script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
  TInterfaceDialog(nullptr, port, notifier).Execute();
  EXPECT_EQ(port.GetRetries(), CommPort::kDefaultRetries);
}

TEST(ProgressDialogTest, StartsEmptyAndFillsAtTheEndOfItsRange) {
  TProgressDialog progress(nullptr);
  progress.Create();
  EXPECT_EQ(progress.Text(), "");
  EXPECT_EQ(progress.Value(), 0);
  progress.SetText("Reading device parameters...");
  progress.SetRange(0, 8);
  progress.SetValue(8);
  auto& bar = static_cast<ui::ProgressBar&>(ui::test::ControlOf(progress, kProgressBar));
  EXPECT_EQ(bar.Value(), 8);
  EXPECT_EQ(progress.Text(), "Reading device parameters...");
  ui::test::GrabPng(progress, OutputPath("progress.png"));
}

TEST(AboutDialogTest, TheVersionLineNeedsBothNameAndVersion) {
  shell::VersionInfo version{"Telvo Windows", "2.3.0", "Copyright 2026", std::nullopt};
  std::vector<std::string> fields;
  const auto read = [&](ui::Dialog& d) {
    fields = {Field(d, kAboutVersion), Field(d, kAboutLegal), Field(d, kAboutSpecialBuild)};
    ui::test::GrabPng(d, OutputPath("about.png"));
    ui::test::Click(d, ui::kIdOk);
  };
  ui::PromptScript script(FailTest);
  script.RunDialog(kAboutDialog, read);
  TTelvo33AboutDlg(nullptr, version).Execute();
  EXPECT_EQ(fields,
            (std::vector<std::string>{"Telvo Windows Version 2.3.0", "Copyright 2026", ""}));

  version.productVersion.reset();
  script.RunDialog(kAboutDialog, read);
  TTelvo33AboutDlg(nullptr, version).Execute();
  EXPECT_EQ(fields[0], "Version");
}

}  // namespace
}  // namespace apptest
