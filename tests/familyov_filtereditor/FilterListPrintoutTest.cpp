// The channel filter listing: its rows and their order. The pages themselves are the shared
// listing's.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "familyov/filters/FilterListPrintout.h"
#include "familyov/unit/OrdavinexModels.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

class ListingTest : public testing::Test {
 protected:
  TFilter* Add(std::unique_ptr<TFilter> filter, int channel, int frequency) {
    filter->channel = channel;
    filter->frequency = frequency;
    return unit->AddFilter(std::move(filter));
  }

  std::unique_ptr<ovtest::Recording<IQDevice8148>> unit = ovtest::NewVirtual<IQDevice8148>(8);
};

TEST_F(ListingTest, RowsAreTheChannelsOwnByTypeNameThenFrequency) {
  TFilter* p2000 = Add(std::make_unique<TParametricFilter>(), 0, 2000);
  TFilter* p100 = Add(std::make_unique<TParametricFilter>(), 0, 100);
  TFilter* low = Add(std::make_unique<TLowpassFilter>(), 0, 50);
  TFilter* high = Add(std::make_unique<THighshelfFilter>(), 0, 8000);
  TFilter* pass = Add(std::make_unique<THighpassFilter>(), 0, 30);
  Add(std::make_unique<TParametricFilter>(), 1, 10);
  TFilterListPrintout printout(*unit, 0);
  EXPECT_EQ(printout.Filters(), (std::vector<const TFilter*>{high, pass, low, p100, p2000}));
  EXPECT_TRUE(printout.HasPage(1));
  EXPECT_FALSE(TFilterListPrintout(*unit, 2).HasPage(1));
}

}  // namespace
}  // namespace namespaceOV
