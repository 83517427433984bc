#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/draw/Dc.h"
#include "platform/ui/draw/Printer.h"
#include "platform/ui/draw/Printout.h"
#include "tests/platform_draw/PixelProbe.h"
#include "tests/support/HangBound.h"
#include "tests/support/OutputPath.h"

namespace {

using ui::PrintResult;

// Reveals its pages one at a time: each a black block over the middle third of the sheet and the
// page number, placed from the sheet's size and the printable area's offset as the listings do.
class BlockPrintout : public ui::Printout {
 public:
  explicit BlockPrintout(int pages, int throwOnPage = 0) : pages_(pages), throwOn_(throwOnPage) {}

  std::string Title() const override { return "Block test"; }
  bool HasPage(int page) override {
    ++asked;
    return page <= pages_;
  }
  void PrintPage(int page, ui::Dc& dc) override {
    if (page == throwOn_) throw std::runtime_error("printout failed");
    metrics = dc.Metrics();
    const ui::Size sheet = metrics.physicalPage;
    const ui::Point off = metrics.physicalOffset;
    dc.SetPen(ui::Pen::None());
    dc.SetBrush(ui::Brush::Solid(ui::kBlack));
    dc.Rectangle({sheet.cx / 3 - off.x, sheet.cy / 3 - off.y, 2 * sheet.cx / 3 - off.x,
                  2 * sheet.cy / 3 - off.y});
    dc.DrawTextAt({sheet.cx / 10 - off.x, sheet.cy / 10 - off.y}, "Page " + std::to_string(page));
  }

  int asked = 0;
  ui::DeviceMetrics metrics;

 private:
  int pages_;
  int throwOn_;
};

// One page of a PDF file as an image, through the poppler tools; null when there is no such page.
QImage RasterizePage(const QString& pdf, int page, const QString& outputBase) {
  constexpr int kDpi = 36;
  const auto bound = std::chrono::duration_cast<std::chrono::milliseconds>(testsupport::kHangBound);
  QProcess convert;
  convert.start("pdftoppm", {"-png", "-r", QString::number(kDpi), "-f", QString::number(page), "-l",
                             QString::number(page), "-singlefile", pdf, outputBase});
  if (!convert.waitForFinished(static_cast<int>(bound.count())) || convert.exitCode() != 0)
    return {};
  return QImage(outputBase + ".png");
}

class PrinterTest : public testing::Test {
 protected:
  ui::PromptScript script_{[](const std::string& m) { ADD_FAILURE() << m; }};
  QTemporaryDir folder_;
  ui::Printer printer_;
};

TEST_F(PrinterTest, PrintsPagesUntilThePrintoutHasNoMoreToAPdfFile) {
  const QString pdf = folder_.filePath("listing.pdf");
  script_.AnswerPrint(pdf.toStdString());
  BlockPrintout printout(3);
  const ui::PrintOutcome outcome = printer_.Print(nullptr, printout, true);
  ASSERT_EQ(outcome.result, PrintResult::Printed) << outcome.message;
  EXPECT_EQ(outcome.pages, 3);
  EXPECT_GT(printout.metrics.physicalPage.cx, printout.metrics.pixels.cx);
  EXPECT_EQ(printout.metrics.dpiX, printer_.Settings().resolution());

  const QImage page = RasterizePage(pdf, 2, folder_.filePath("page2"));
  ASSERT_FALSE(page.isNull()) << "pdftoppm failed";
  ui::test::SavePng(page, testsupport::OutputPath("printed_page2.png"));
  EXPECT_EQ(drawtest::PixelAt(page, page.width() / 2, page.height() / 2), ui::kBlack);
  EXPECT_EQ(drawtest::PixelAt(page, page.width() / 4, page.height() / 2), ui::kWhite);
  EXPECT_EQ(drawtest::PixelAt(page, page.width() / 2, page.height() / 4), ui::kWhite);
  EXPECT_TRUE(RasterizePage(pdf, 4, folder_.filePath("page4")).isNull()) << "a fourth page";
}

TEST_F(PrinterTest, CancelledDialogOrNoFirstPageWritesNoFile) {
  BlockPrintout printout(2);
  script_.AnswerPrint(std::nullopt);
  EXPECT_EQ(printer_.Print(nullptr, printout, true).result, PrintResult::Cancelled);
  EXPECT_EQ(printout.asked, 0);

  const QString pdf = folder_.filePath("empty.pdf");
  script_.AnswerPrint(pdf.toStdString());
  BlockPrintout empty(0);
  EXPECT_EQ(printer_.Print(nullptr, empty, true).result, PrintResult::NothingToPrint);
  EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(PrinterTest, AFailedJobReportsFailureAndKeepsTheOldFile) {
  const QString pdf = folder_.filePath("kept.pdf");
  QFile old(pdf);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("old contents");
  old.close();
  script_.AnswerPrint(pdf.toStdString());
  BlockPrintout throwing(3, 2);
  EXPECT_THROW(printer_.Print(nullptr, throwing, true), std::runtime_error);
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), QByteArray("old contents"));

  script_.AnswerPrint(folder_.filePath("no/such/folder/x.pdf").toStdString());
  BlockPrintout printout(1);
  const ui::PrintOutcome outcome = printer_.Print(nullptr, printout, true);
  EXPECT_EQ(outcome.result, PrintResult::Failed);
  EXPECT_NE(outcome.message.find("x.pdf"), std::string::npos) << outcome.message;
}

TEST_F(PrinterTest, SetupChoiceIsKeptForAPrintWithoutDialog) {
  script_.AnswerPrintSetup(folder_.filePath("setup.pdf").toStdString());
  ASSERT_TRUE(printer_.Setup(nullptr));
  BlockPrintout printout(1);
  EXPECT_EQ(printer_.Print(nullptr, printout, false).result, PrintResult::Printed);
  // Named after the printout, in the folder chosen at set-up.
  EXPECT_TRUE(QFile::exists(folder_.filePath("Block test.pdf")));
  EXPECT_EQ(script_.Seen().size(), 1u);
}

// A home of the test's own, whose desktop settings name no documents folder of their own.
class OwnHome {
 public:
  OwnHome()
      : home_(qgetenv("HOME")),
        config_(qgetenv("XDG_CONFIG_HOME")),
        hadConfig_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
    qputenv("HOME", folder.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", folder.filePath("config").toLocal8Bit());
  }
  ~OwnHome() {
    qputenv("HOME", home_);
    if (hadConfig_) {
      qputenv("XDG_CONFIG_HOME", config_);
    } else {
      qunsetenv("XDG_CONFIG_HOME");
    }
  }
  QTemporaryDir folder;

 private:
  QByteArray home_;
  QByteArray config_;
  bool hadConfig_;
};

TEST(PdfDefaultTest, APdfGoesToTheDocumentsFolderWhenThereIsOneElseHome) {
  OwnHome home;
  BlockPrintout printout(1);
  {
    ui::Printer printer;
    if (printer.Settings().outputFormat() != QPrinter::PdfFormat) GTEST_SKIP() << "a printer";
    EXPECT_EQ(printer.Print(nullptr, printout, false).result, PrintResult::Printed);
    EXPECT_TRUE(QFile::exists(home.folder.filePath("Block test.pdf")));
  }
  ASSERT_TRUE(QDir(home.folder.path()).mkdir("Documents"));
  ui::Printer printer;
  EXPECT_EQ(printer.Print(nullptr, printout, false).result, PrintResult::Printed);
  EXPECT_TRUE(QFile::exists(home.folder.filePath("Documents/Block test.pdf")));
}

TEST(PrintPrompts, AnsweredByTheOneScriptInOrderWithTheOtherPromptsAndRefusedWithoutOne) {
  std::vector<std::string> failures;
  {
    ui::PromptScript script([&](const std::string& m) { failures.push_back(m); });
    ui::Printer printer;
    BlockPrintout printout(1);
    EXPECT_EQ(printer.Print(nullptr, printout, true).result, PrintResult::Cancelled);
    script.AnswerPrint("/nonexistent/unused.pdf");
    EXPECT_FALSE(printer.Setup(nullptr));
    script.AnswerPrintSetup(std::nullopt);
  }
  ASSERT_EQ(failures.size(), 3u);
  EXPECT_NE(failures[0].find("unexpected print dialog"), std::string::npos) << failures[0];
  EXPECT_NE(failures[1].find("print set-up dialog where a print dialog"), std::string::npos)
      << failures[1];
  EXPECT_NE(failures[2].find("never asked for"), std::string::npos) << failures[2];

  // With the script gone, an unscripted print dialog is refused at once on this platform.
  ui::SetUnscriptedPrompts(ui::UnscriptedPrompts::Refuse,
                           [&](const std::string& m) { failures.push_back(m); });
  {
    ui::PrintPromptRouting routing;
    ui::Printer printer;
    EXPECT_FALSE(printer.Setup(nullptr));
  }
  ui::SetUnscriptedPrompts(ui::UnscriptedPrompts::Default);
  ASSERT_EQ(failures.size(), 4u);
  EXPECT_NE(failures[3].find("unscripted print set-up dialog"), std::string::npos) << failures[3];
}

}  // namespace
