// The filter listing's pages, the same for every family: printed to PDF and looked at through the
// poppler tools.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "familycommon/FilterListing.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/Window.h"
#include "tests/app/AppGuiEnvironment.h"

namespace familycommon {
namespace {

[[maybe_unused]] const ::testing::Environment* const kEnvironment =
    testsupport::AddAppGuiEnvironment("familycommon_ui_tests", [] {});

// Page `page` of a PDF file at one pixel a point; null when there is no such page.
QImage RasterizePage(const QString& pdf, int page, const QString& outputBase) {
  QProcess convert;
  convert.start("pdftoppm", {"-png", "-r", "72", "-f", QString::number(page), "-l",
                             QString::number(page), "-singlefile", pdf, outputBase});
  if (!convert.waitForFinished(30000) || convert.exitCode() != 0) return {};
  return QImage(outputBase + ".png");
}

// Whether any pixel of the box is dark.
bool InkIn(const QImage& page, int left, int top, int right, int bottom) {
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      if (qGray(page.pixel(x, y)) < 128) return true;
    }
  }
  return false;
}

class FilterListPrintoutTest : public testing::Test {
 protected:
  // `rows` parametric filters, printed to `name` in the test's folder.
  QString Print(int rows, const char* name) {
    std::vector<ListingRow> listed;
    for (int k = 0; k < rows; ++k) {
      listed.push_back(
          {"Parametric", std::to_string(100 + 10 * k) + " Hz", "Lev: 0.0 dB", "Q: 1.0"});
    }
    FilterListPrintout printout("filter listing", "Left Main", "Stage", std::move(listed));
    const QString pdf = folder.filePath(name);
    script.AnswerPrint(pdf.toStdString());
    PrintListing(owner, printout);
    return pdf;
  }

  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};
  QTemporaryDir folder;
  ui::Window owner;
};

TEST_F(FilterListPrintoutTest, NothingToListPrintsNothing) {
  EXPECT_FALSE(QFile::exists(Print(0, "empty.pdf")));
}

TEST_F(FilterListPrintoutTest, ALongListingGoesOnToAPageWithoutHeadingAndEveryPageHasItsFooter) {
  const QString pdf = Print(60, "listing.pdf");
  const QImage first = RasterizePage(pdf, 1, folder.filePath("p1"));
  const QImage second = RasterizePage(pdf, 2, folder.filePath("p2"));
  ASSERT_FALSE(first.isNull()) << "pdftoppm failed";
  ASSERT_FALSE(second.isNull()) << "no second page";
  EXPECT_TRUE(RasterizePage(pdf, 3, folder.filePath("p3")).isNull()) << "a third page";
  // The print rectangle's corners on the sheet; the heading stands centred above it, left of the
  // third column, where a second page has nothing.
  const int left = first.width() / 10;
  const int right = first.width() * 9 / 10;
  const int top = first.height() / 10;
  const int bottom = first.height() * 9 / 10;
  const int centre = (left + right) / 2;
  EXPECT_TRUE(InkIn(first, centre - 20, top - 20, centre - 8, top - 3));
  EXPECT_FALSE(InkIn(second, centre - 20, top - 20, centre - 8, top - 3));
  // A row starts the second page, with the page number at the bottom right as on the first.
  EXPECT_TRUE(InkIn(second, left + (right - left) / 16, top - 14, left + (right - left) / 8, top));
  EXPECT_TRUE(InkIn(second, right - 40, bottom, right, bottom + 12));
  EXPECT_TRUE(InkIn(first, right - 40, bottom, right, bottom + 12));
}

}  // namespace
}  // namespace familycommon
