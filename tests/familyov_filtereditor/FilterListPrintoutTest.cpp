// The channel filter listing: its order, and its pages printed to PDF and looked at through the
// poppler tools.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "familyov/filters/FilterListPrintout.h"
#include "familyov/unit/OrdavinexModels.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/Window.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

constexpr int kDpi = 72;  // one pixel a point

// Page `page` of a PDF file as an image; null when there is no such page.
QImage RasterizePage(const QString& pdf, int page, const QString& outputBase) {
  QProcess convert;
  convert.start("pdftoppm", {"-png", "-r", QString::number(kDpi), "-f", QString::number(page), "-l",
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

class ListingTest : public testing::Test {
 protected:
  TFilter* Add(std::unique_ptr<TFilter> filter, int channel, int frequency) {
    filter->channel = channel;
    filter->frequency = frequency;
    return unit->AddFilter(std::move(filter));
  }

  std::unique_ptr<ovtest::Recording<IQDevice8148>> unit = ovtest::NewVirtual<IQDevice8148>(8);
  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};
  QTemporaryDir folder;
  ui::Window owner;
};

TEST_F(ListingTest, FiltersAreGroupedByTypeNameThenByFrequency) {
  TFilter* p2000 = Add(std::make_unique<TParametricFilter>(), 0, 2000);
  TFilter* p100 = Add(std::make_unique<TParametricFilter>(), 0, 100);
  TFilter* low = Add(std::make_unique<TLowpassFilter>(), 0, 50);
  TFilter* high = Add(std::make_unique<THighshelfFilter>(), 0, 8000);
  TFilter* pass = Add(std::make_unique<THighpassFilter>(), 0, 30);
  Add(std::make_unique<TParametricFilter>(), 1, 10);
  TFilterListPrintout printout(*unit, 0);
  EXPECT_EQ(printout.Filters(), (std::vector<const TFilter*>{high, pass, low, p100, p2000}));
  EXPECT_TRUE(printout.HasPage(1));

  // A channel without filters prints nothing at all.
  const QString empty = folder.filePath("empty.pdf");
  script.AnswerPrint(empty.toStdString());
  PrintChannelFilterListing(*unit, owner, 2);
  EXPECT_FALSE(QFile::exists(empty));
}

TEST_F(ListingTest, ALongListingGoesOnToAPageWithoutHeadingAndEveryPageHasItsFooter) {
  for (int k = 0; k < 60; ++k) Add(std::make_unique<TParametricFilter>(), 0, 100 + 10 * k);
  gChannelNameObject.SetElement(0);
  gChannelNameObject.Write(*unit, "Left Main");
  const QString pdf = folder.filePath("listing.pdf");
  script.AnswerPrint(pdf.toStdString());
  PrintChannelFilterListing(*unit, owner, 0);

  const QImage first = RasterizePage(pdf, 1, folder.filePath("p1"));
  const QImage second = RasterizePage(pdf, 2, folder.filePath("p2"));
  ASSERT_FALSE(first.isNull()) << "pdftoppm failed";
  ASSERT_FALSE(second.isNull()) << "no second page";
  EXPECT_TRUE(RasterizePage(pdf, 3, folder.filePath("p3")).isNull()) << "a third page";
  // The print rectangle's corners on the sheet; the channel's name stands centred above it, left
  // of the third column, where a second page has nothing.
  const int left = first.width() / 10;
  const int right = first.width() * 9 / 10;
  const int top = first.height() / 10;
  const int bottom = first.height() * 9 / 10;
  const int centre = (left + right) / 2;
  EXPECT_TRUE(InkIn(first, centre - 20, top - 20, centre - 8, top - 3));
  EXPECT_FALSE(InkIn(second, centre - 20, top - 20, centre - 8, top - 3));
  // The first filter's row starts the second page, with the page number at the bottom right.
  EXPECT_TRUE(InkIn(second, left + (right - left) / 16, top - 14, left + (right - left) / 8, top));
  EXPECT_TRUE(InkIn(second, right - 40, bottom, right, bottom + 12));
  EXPECT_TRUE(InkIn(first, right - 40, bottom, right, bottom + 12));
}

}  // namespace
}  // namespace namespaceOV
