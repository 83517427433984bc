// The bank's filter listing: its order, and its pages printed to PDF and looked at through the
// poppler tools.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "family8100/filters/BankListing.h"
#include "family8100/unit/IQDevice8100.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/Window.h"

using namespace namespace8100;
using testing::ElementsAre;

namespace {

// Page `page` of a PDF file at one pixel a point; null when there is no such page.
QImage RasterizePage(const QString& pdf, int page, const QString& outputBase) {
  QProcess convert;
  convert.start("pdftoppm", {"-png", "-r", "72", "-f", QString::number(page), "-l",
                             QString::number(page), "-singlefile", pdf, outputBase});
  if (!convert.waitForFinished(30000) || convert.exitCode() != 0) return {};
  return QImage(outputBase + ".png");
}

bool InkIn(const QImage& page, int left, int top, int right, int bottom) {
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      if (qGray(page.pixel(x, y)) < 128) return true;
    }
  }
  return false;
}

struct ListingFixture : testing::Test {
  template <typename Filter>
  const TFilter* Add(int32_t bank, int32_t frequency) {
    auto filter = std::make_unique<Filter>();
    filter->bank = bank;
    filter->frequency = frequency;
    return &unit.PlaceFilter(std::move(filter));
  }

  IQDevice8100 unit{nullptr, nullptr, nullptr};
  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};
  QTemporaryDir folder;
  ui::Window owner;
};

}  // namespace

TEST_F(ListingFixture, RowsGoByTypeNameThenFrequencyAndAnEmptyBankPrintsNothing) {
  const TFilter* p5000 = Add<TParametricFilter>(kLeftOutputBank, 5000);
  const TFilter* p100 = Add<TParametricFilter>(kLeftOutputBank, 100);
  const TFilter* low = Add<TLowpassFilter>(kLeftOutputBank, 8000);
  const TFilter* shelf = Add<THighshelfFilter>(kLeftOutputBank, 9000);
  const TFilter* pass = Add<THighpassFilter>(kLeftOutputBank, 40);
  Add<TParametricFilter>(kRightOutputBank, 10);
  // Byte-wise, "High shelving" comes before "Highpass".
  EXPECT_THAT(BankListingOrder(unit, kLeftOutputBank), ElementsAre(shelf, pass, low, p100, p5000));
  EXPECT_EQ(BankCaption(kRightInputBank), "Right Input Filters");
  EXPECT_EQ(BankCaption(kLeftOutputBank), "Left Output Filters");

  const QString empty = folder.filePath("empty.pdf");
  script.AnswerPrint(empty.toStdString());
  PrintFilterListing(unit, owner, kLeftInputBank);
  EXPECT_FALSE(QFile::exists(empty));
}

TEST_F(ListingFixture, ALongListingGoesOnToAPageWithoutHeadingAndEveryPageHasItsFooter) {
  for (int k = 0; k < 60; ++k) Add<TParametricFilter>(kRightInputBank, 100 + 10 * k);
  const QString pdf = folder.filePath("listing.pdf");
  script.AnswerPrint(pdf.toStdString());
  PrintFilterListing(unit, owner, kRightInputBank);

  const QImage first = RasterizePage(pdf, 1, folder.filePath("p1"));
  const QImage second = RasterizePage(pdf, 2, folder.filePath("p2"));
  ASSERT_FALSE(first.isNull()) << "pdftoppm failed";
  ASSERT_FALSE(second.isNull()) << "no second page";
  EXPECT_TRUE(RasterizePage(pdf, 3, folder.filePath("p3")).isNull()) << "a third page";
  const int left = first.width() / 10;
  const int right = first.width() * 9 / 10;
  const int top = first.height() / 10;
  const int bottom = first.height() * 9 / 10;
  const int centre = (left + right) / 2;
  // The bank's caption stands centred above the print rectangle on the first page only.
  EXPECT_TRUE(InkIn(first, centre - 20, top - 20, centre - 8, top - 3));
  EXPECT_FALSE(InkIn(second, centre - 20, top - 20, centre - 8, top - 3));
  // The second page starts with a row and carries its number at the bottom right, as the first.
  EXPECT_TRUE(InkIn(second, left + (right - left) / 16, top - 14, left + (right - left) / 8, top));
  EXPECT_TRUE(InkIn(second, right - 40, bottom, right, bottom + 12));
  EXPECT_TRUE(InkIn(first, right - 40, bottom, right, bottom + 12));
}
