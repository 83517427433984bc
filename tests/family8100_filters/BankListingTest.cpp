// The bank's filter listing: its rows and their order, and its caption. The pages themselves are
// the shared listing's.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "family8100/filters/BankListing.h"
#include "family8100/unit/IQDevice8100.h"

using namespace namespace8100;
using testing::ElementsAre;

namespace {

struct ListingFixture : testing::Test {
  template <typename Filter>
  const TFilter* Add(int32_t bank, int32_t frequency) {
    auto filter = std::make_unique<Filter>();
    filter->bank = bank;
    filter->frequency = frequency;
    return &unit.PlaceFilter(std::move(filter));
  }

  IQDevice8100 unit{nullptr, nullptr, nullptr};
};

}  // namespace

TEST_F(ListingFixture, RowsAreTheBanksOwnByTypeNameThenFrequency) {
  const TFilter* p5000 = Add<TParametricFilter>(kLeftOutputBank, 5000);
  const TFilter* p100 = Add<TParametricFilter>(kLeftOutputBank, 100);
  const TFilter* low = Add<TLowpassFilter>(kLeftOutputBank, 8000);
  const TFilter* shelf = Add<THighshelfFilter>(kLeftOutputBank, 9000);
  const TFilter* pass = Add<THighpassFilter>(kLeftOutputBank, 40);
  Add<TParametricFilter>(kRightOutputBank, 10);
  // Byte-wise, "High shelving" comes before "Highpass".
  EXPECT_THAT(BankListingOrder(unit, kLeftOutputBank), ElementsAre(shelf, pass, low, p100, p5000));
  EXPECT_TRUE(BankListingOrder(unit, kLeftInputBank).empty());
  EXPECT_EQ(BankCaption(kRightInputBank), "Right Input Filters");
  EXPECT_EQ(BankCaption(kLeftOutputBank), "Left Output Filters");
}
