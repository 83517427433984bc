#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <stdexcept>

#include "platform/ui/draw/Dc.h"
#include "platform/ui/draw/Printer.h"
#include "platform/ui/draw/Printout.h"
#include "platform/ui/draw/ScriptedPrintPrompt.h"
#include "tests/platform_draw/PixelProbe.h"

namespace {

using ui::PrintPrompt;
using ui::PrintResult;

constexpr int kRasterDpi = 36;
constexpr int kConvertTimeoutMs = 30000;

// Prints a fixed number of pages it only reveals one at a time: each page a black block in the
// middle third of the sheet and its number, placed from the sheet's size like the listings do.
class BlockPrintout : public ui::Printout {
 public:
  explicit BlockPrintout(int pages, int throwOnPage = 0)
      : pages_(pages), throwOnPage_(throwOnPage) {}

  std::string Title() const override { return "Block test"; }
  bool HasPage(int page) override {
    ++pagesAsked_;
    return page <= pages_;
  }
  void PrintPage(int page, ui::Dc& dc) override {
    if (page == throwOnPage_) throw std::runtime_error("printout failed");
    metrics_ = dc.Metrics();
    const ui::Size sheet = metrics_.physicalPage;
    const ui::Point off = metrics_.physicalOffset;
    dc.SetPen(ui::Pen::None());
    dc.SetBrush(ui::Brush::Solid(ui::kBlack));
    dc.Rectangle({sheet.cx / 3 - off.x, sheet.cy / 3 - off.y, 2 * sheet.cx / 3 - off.x,
                  2 * sheet.cy / 3 - off.y});
    dc.SetFont({"Times Roman", 10.0, 400, false, ui::FontFamily::Serif});
    dc.DrawTextAt({sheet.cx / 10 - off.x, sheet.cy / 10 - off.y}, "Page " + std::to_string(page));
    ++pagesPrinted_;
  }

  int pagesAsked_ = 0;
  int pagesPrinted_ = 0;
  ui::DeviceMetrics metrics_;

 private:
  int pages_;
  int throwOnPage_;
};

// One page of a PDF file as an image, through the poppler tools.
QImage RasterizePage(const QString& pdf, int page, const QString& outputBase) {
  QProcess convert;
  convert.start("pdftoppm", {"-png", "-r", QString::number(kRasterDpi), "-f", QString::number(page),
                             "-l", QString::number(page), "-singlefile", pdf, outputBase});
  if (!convert.waitForFinished(kConvertTimeoutMs) || convert.exitCode() != 0) return {};
  return QImage(outputBase + ".png");
}

class PrinterTest : public testing::Test {
 protected:
  ui::ScriptedPrintPrompt script_{[](const std::string& m) { ADD_FAILURE() << m; }};
  QTemporaryDir folder_;
  QString PdfPath(const char* name) const { return folder_.filePath(name); }
};

TEST_F(PrinterTest, PrintsPagesUntilThePrintoutHasNoMoreToAPdfFile) {
  const QString pdf = PdfPath("listing.pdf");
  script_.AnswerPdf(PrintPrompt::Purpose::Print, pdf.toStdString());
  ui::Printer printer;
  BlockPrintout printout(3);
  const ui::PrintOutcome outcome = printer.Print(nullptr, printout, true);
  ASSERT_EQ(outcome.result, PrintResult::Printed) << outcome.message;
  EXPECT_EQ(outcome.pages, 3);
  EXPECT_EQ(printout.pagesPrinted_, 3);

  const ui::DeviceMetrics& m = printout.metrics_;
  EXPECT_GT(m.physicalPage.cx, m.pixels.cx);
  EXPECT_GE(m.physicalOffset.x, 0);
  EXPECT_EQ(m.dpiX, printer.Settings().resolution());

  const QImage page2 = RasterizePage(pdf, 2, folder_.filePath("page2"));
  ASSERT_FALSE(page2.isNull()) << "pdftoppm failed";
  EXPECT_TRUE(page2.save(QStringLiteral(DRAW_GALLERY_DIR "/printed_page2.png")));
  EXPECT_EQ(drawtest::PixelAt(page2, page2.width() / 2, page2.height() / 2), ui::kBlack);
  EXPECT_EQ(drawtest::PixelAt(page2, page2.width() / 4, page2.height() / 2), ui::kWhite);
  EXPECT_EQ(drawtest::PixelAt(page2, page2.width() / 2, page2.height() / 4), ui::kWhite);
  EXPECT_TRUE(RasterizePage(pdf, 4, folder_.filePath("page4")).isNull()) << "a fourth page";
}

TEST_F(PrinterTest, CancelledDialogOrNoFirstPageWritesNoFile) {
  ui::Printer printer;
  BlockPrintout printout(2);
  script_.AnswerCancel(PrintPrompt::Purpose::Print);
  EXPECT_EQ(printer.Print(nullptr, printout, true).result, PrintResult::Cancelled);
  EXPECT_EQ(printout.pagesAsked_, 0);

  const QString pdf = PdfPath("empty.pdf");
  script_.AnswerPdf(PrintPrompt::Purpose::Print, pdf.toStdString());
  BlockPrintout empty(0);
  const ui::PrintOutcome outcome = printer.Print(nullptr, empty, true);
  EXPECT_EQ(outcome.result, PrintResult::NothingToPrint);
  EXPECT_EQ(outcome.pages, 0);
  EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(PrinterTest, AFailedJobReportsFailureAndKeepsTheOldFile) {
  const QString pdf = PdfPath("kept.pdf");
  {
    QFile old(pdf);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
  }
  ui::Printer printer;
  script_.AnswerPdf(PrintPrompt::Purpose::Print, pdf.toStdString());
  BlockPrintout throwing(3, 2);
  EXPECT_THROW(printer.Print(nullptr, throwing, true), std::runtime_error);
  QFile kept(pdf);
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), QByteArray("old contents"));

  script_.AnswerPdf(PrintPrompt::Purpose::Print, PdfPath("no/such/folder/x.pdf").toStdString());
  BlockPrintout printout(1);
  const ui::PrintOutcome outcome = printer.Print(nullptr, printout, true);
  EXPECT_EQ(outcome.result, PrintResult::Failed);
  EXPECT_NE(outcome.message.find("x.pdf"), std::string::npos) << outcome.message;
}

TEST_F(PrinterTest, SetupChoiceIsKeptForAPrintWithoutDialog) {
  ui::Printer printer;
  script_.AnswerPdf(PrintPrompt::Purpose::Setup, PdfPath("setup.pdf").toStdString());
  ASSERT_TRUE(printer.Setup(nullptr));
  BlockPrintout printout(1);
  const ui::PrintOutcome outcome = printer.Print(nullptr, printout, false);
  ASSERT_EQ(outcome.result, PrintResult::Printed) << outcome.message;
  // The job is named after the printout, in the folder chosen at set-up.
  EXPECT_TRUE(QFile::exists(PdfPath("Block test.pdf")));
  EXPECT_EQ(script_.PromptsSeen(), 1);
}

TEST(ScriptedPrintPrompt, UnexpectedOrMismatchedPromptsAndUnusedAnswersAreReported) {
  std::vector<std::string> failures;
  {
    ui::ScriptedPrintPrompt script([&](const std::string& m) { failures.push_back(m); });
    ui::Printer printer;
    BlockPrintout printout(1);
    EXPECT_EQ(printer.Print(nullptr, printout, true).result, PrintResult::Cancelled);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("unexpected print dialog"), std::string::npos);

    script.AnswerPdf(PrintPrompt::Purpose::Print, "/tmp/unused.pdf");
    EXPECT_FALSE(printer.Setup(nullptr));
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_NE(failures[1].find("expected a print dialog"), std::string::npos);
    script.AnswerCancel(PrintPrompt::Purpose::Setup);
  }
  ASSERT_EQ(failures.size(), 3u);
  EXPECT_NE(failures[2].find("never asked for"), std::string::npos);
  // The script uninstalled itself: the desktop dialog is back.
  EXPECT_EQ(ui::InstallPrintPrompt(nullptr), nullptr);
}

}  // namespace
