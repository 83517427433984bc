// The filter objects apart from the bus: unit records, level steps, sections, texts, settings-file
// records, link chains, copies and the factory.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "bus/SettingsTextFile.h"
#include "familyov/unit/ParameterTable.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

template <typename T>
std::unique_ptr<T> Make(int frequency = 1000) {
  auto filter = std::make_unique<T>();
  filter->frequency = frequency;
  return filter;
}

// The default Q of 8.7 reaching the unit as 87 is in every peak filter's transfer sequence.
TEST(FilterRecordTest, QReachesTheUnitRoundedToTenths) {
  TParametricFilter parametric;
  parametric.q = 0.74f;
  EXPECT_EQ(parametric.GetDeviceRecord()[1], 7);
}

TEST(FilterRecordTest, RecordsDecodeToTheSameParameters) {
  TParametricFilter parametric;
  parametric.frequency = 250;
  parametric.q = 2.5f;
  parametric.level = -6.0f;
  const DeviceRecord record = parametric.GetDeviceRecord();
  EXPECT_NEAR(std::bit_cast<float>(record[2]), std::pow(10.0f, -0.3f) - 1.0f, 1e-6f);
  TParametricFilter decoded;
  decoded.SetDeviceRecord(record);
  EXPECT_EQ(decoded.frequency, 250);
  EXPECT_FLOAT_EQ(decoded.q, 2.5f);
  EXPECT_NEAR(decoded.level, -6.0f, 1e-4f);

  TLowshelfFilter shelf;
  shelf.level = 4.0f;
  TLowshelfFilter shelfBack;
  shelfBack.SetDeviceRecord(shelf.GetDeviceRecord());
  EXPECT_NEAR(shelfBack.level, 4.0f, 1e-4f);
  EXPECT_EQ(shelf.GetDeviceRecord()[2], 0);

  TLowCrossover crossover;
  crossover.frequency = 80;
  crossover.order = 4;
  crossover.crossoverType = kCrossoverBessel;
  EXPECT_EQ(crossover.GetDeviceRecord(), (DeviceRecord{80, 4, 2}));
  TAllpassFilter allpass;
  allpass.SetDeviceRecord({2000, 2, 0});
  EXPECT_EQ(allpass.order, 2);
  EXPECT_EQ(allpass.coefficient, ComputeAllpassCoefficients(2000).coefficient);
}

// Orders from the unit are brought into each class's range, so slopes and sums cannot overflow.
TEST(FilterRecordTest, OrdersAreBoundedToTheClassRange) {
  TLowpassFilter lowpass;
  lowpass.SetDeviceRecord({1000, INT32_MAX, 0});
  EXPECT_EQ(lowpass.order, 8);
  EXPECT_EQ(lowpass.FormatParam1(true), "Slope: -48 dB/oct");
  THighCrossover crossover;
  crossover.SetDeviceRecord({1000, INT32_MIN, kCrossoverBessel});
  EXPECT_EQ(crossover.order, 1);
  TCDHornFilter horn;
  horn.SetDeviceRecord({1000, 3, 0});
  EXPECT_EQ(horn.order, 2);
  TAllpassFilter allpass;
  allpass.SetDeviceRecord({1000, 0, 0});
  EXPECT_EQ(allpass.order, 1);
}

TEST(FilterSectionsTest, SlopesTakeOneSectionPerTwoOrders) {
  TLowpassFilter lowpass;
  THighCrossover crossover;
  // Orders the family has no filter for, however set, count as the nearest.
  for (auto [order, sections] :
       {std::pair{1, 1}, {2, 1}, {3, 2}, {8, 4}, {9, 4}, {INT32_MAX, 4}, {0, 0}, {-5, 0}}) {
    lowpass.order = crossover.order = order;
    EXPECT_EQ(lowpass.GetDSPSections(), sections);
    EXPECT_EQ(crossover.GetDSPSections(), sections);
  }
  EXPECT_EQ(TCDHornFilter().GetDSPSections(), 1);
}

TEST(FilterLevelTest, StepsAreClampedToEachClassRange) {
  TParametricFilter parametric;
  parametric.level = -69.95f;
  parametric.StepLevel(-1);
  EXPECT_FLOAT_EQ(parametric.level, -70.0f);
  parametric.level = 11.5f;
  parametric.StepLevel(2);
  EXPECT_FLOAT_EQ(parametric.level, 12.0f);
  parametric.StepLevel(5);
  EXPECT_FLOAT_EQ(parametric.level, 12.0f);
  parametric.level = 3.0f;
  parametric.StepLevel(-2);
  EXPECT_FLOAT_EQ(parametric.level, 2.0f);
  TOctaveFilter octave;
  octave.level = -12.0f;
  octave.StepLevel(-2);
  EXPECT_FLOAT_EQ(octave.level, -12.0f);
  THighshelfFilter shelf;
  shelf.level = 11.95f;
  shelf.StepLevel(1);
  EXPECT_FLOAT_EQ(shelf.level, 12.0f);
  EXPECT_FLOAT_EQ(shelf.GetLevel(), 12.0f);
  TLowpassFilter lowpass;
  lowpass.StepLevel(2);
  EXPECT_EQ(lowpass.GetLevel(), 0.0f);
}

TEST(FilterTextTest, FrequenciesAndParameters) {
  auto parametric = Make<TParametricFilter>(4999);
  EXPECT_EQ(parametric->FormatFrequency(true), "4999 Hz");
  parametric->frequency = 5000;
  EXPECT_EQ(parametric->FormatFrequency(true), "5.0 kHz");
  parametric->frequency = 12500;
  EXPECT_EQ(parametric->FormatFrequency(true), "12.5 kHz");
  EXPECT_EQ(parametric->FormatFrequency(false), "12500");

  parametric->q = 1.41421f;
  parametric->level = -3.25f;
  EXPECT_EQ(parametric->FormatParam1(true), "Lev: -3.2 dB");
  EXPECT_EQ(parametric->FormatParam2(true, false), "BW: 1.000");
  EXPECT_EQ(parametric->FormatParam2(true, true), "Q: 1.4");
  EXPECT_EQ(parametric->FormatParam2(false, false), "1.0");
  auto octave = Make<TOctaveFilter>();
  octave->q = 1.41421f;
  EXPECT_EQ(octave->FormatParam2(true, false), "BW: 1.0");

  auto crossover = Make<TLowCrossover>();
  crossover->crossoverType = kCrossoverNone;
  EXPECT_EQ(crossover->FormatParam2(true, true), "Type: none");
  crossover->crossoverType = 9;
  EXPECT_EQ(crossover->FormatParam2(false, true), "");
}

TEST(FilterTextTest, PrintLines) {
  auto parametric = Make<TParametricFilter>();
  parametric->level = 3.0f;
  parametric->q = 8.7f;
  EXPECT_EQ(parametric->FormatPrintLine(true), "   Parametric at 1000 Hz, 3.0 dB, Q 8.7\n");
  auto high = Make<THighCrossover>(80);
  high->order = 4;
  high->crossoverType = kCrossoverLinkwitzRiley;
  EXPECT_EQ(high->FormatPrintLine(true),
            "   High Linkwitz-Riley Crossover at 80 Hz, slope -24 dB/oct\n");
  high->crossoverType = -3;
  EXPECT_EQ(high->FormatPrintLine(true), "   High  Crossover at 80 Hz, slope -24 dB/oct\n");
}

TEST(FilterFactoryTest, CodesThreeToTwelveHaveClasses) {
  for (int code = 3; code <= 12; ++code) {
    auto filter = MakeFilter(code);
    ASSERT_TRUE(filter) << code;
    EXPECT_EQ(filter->typeCode, code);
    EXPECT_EQ(filter->crossover, code == 8 || code == 9);
  }
  for (int code : {0, 1, 2, 13, -1, 255}) EXPECT_FALSE(MakeFilter(code)) << code;
  EXPECT_EQ(FilterTypeName(6), "Low shelving");
  EXPECT_EQ(FilterTypeName(13), "");
  EXPECT_EQ(FilterTypeName(-1), "");
  EXPECT_EQ(CrossoverTypeName(4), "");
}

struct SettingsFileTest : testing::Test {
  std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("familyov-filter-" + std::to_string(::getpid()) + "-" +
       testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
  void TearDown() override { std::filesystem::remove(path); }

  std::string Written(const TFilter& filter) {
    SettingsTextFile file;
    EXPECT_TRUE(file.Open(path.string(), SettingsTextFile::kWrite));
    filter.WriteToFile(file);
    EXPECT_TRUE(file.Close());
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::unique_ptr<TFilter> ReadBack(const std::string& text) {
    std::ofstream(path) << text;
    SettingsTextFile file;
    EXPECT_TRUE(file.Open(path.string(), SettingsTextFile::kRead));
    auto filter = MakeFilter(file.ReadInt());
    if (filter) filter->ReadFromFile(file);
    return filter;
  }
};

TEST_F(SettingsFileTest, ParametricAndShelfRecords) {
  auto parametric = Make<TParametricFilter>();
  parametric->channel = 2;
  parametric->level = 3.0f;
  parametric->q = 8.7f;
  EXPECT_EQ(Written(*parametric), "3 2 1000 3.000000 8.700000 ");
  // A shelf's whole level keeps the integer form; a fraction is kept, not cut to whole dB.
  auto shelf = Make<TLowshelfFilter>(200);
  shelf->level = -4.0f;
  EXPECT_EQ(Written(*shelf), "6 0 200 -4 ");
  shelf->level = -4.5f;
  EXPECT_EQ(Written(*shelf), "6 0 200 -4.500000 ");
  auto back = ReadBack(Written(*shelf));
  EXPECT_EQ(static_cast<TLowshelfFilter&>(*back).level, -4.5f);
  back = ReadBack("6 0 200 -3 ");
  EXPECT_EQ(static_cast<TLowshelfFilter&>(*back).level, -3.0f);
}

TEST_F(SettingsFileTest, EveryClassReadsBackWhatItWrote) {
  for (int code = 3; code <= 12; ++code) {
    auto filter = MakeFilter(code);
    filter->channel = 11;
    filter->frequency = 1234;
    filter->bypass = true;
    auto back = ReadBack(Written(*filter));
    ASSERT_TRUE(back) << code;
    EXPECT_EQ(back->typeCode, code);
    EXPECT_EQ(back->channel, 11);
    EXPECT_EQ(back->frequency, 1234);
    EXPECT_FALSE(back->bypass);
    EXPECT_EQ(back->GetDeviceRecord(), filter->GetDeviceRecord()) << code;
  }
}

TEST_F(SettingsFileTest, ChannelsAndOrdersOutsideTheFamilyAreAFormatError) {
  for (const char* text : {"3 20 1000 0.0 1.0 ", "3 -1 1000 0.0 1.0 ", "4 0 1000 2147483647 ",
                           "8 4 1000 1 9 ", "9 4 1000 1 0 ", "11 0 1000 3 ", "12 0 1000 -1 "}) {
    try {
      ReadBack(text);
      ADD_FAILURE() << text;
    } catch (const FileParserError& e) {
      EXPECT_EQ(e.GetKind(), FileParserError::kFormatError);
    }
  }
  EXPECT_THROW(ReadBack("4 1 1000 "), FileParserError);
}

struct LinkChainTest : testing::Test {
  std::unique_ptr<ovtest::Recording<IQDevice8148>> unit = ovtest::NewVirtual<IQDevice8148>(8);

  TFilter& Add(int channel, int linkNumber) {
    TFilter* filter = unit->AddFilter(std::make_unique<TParametricFilter>());
    filter->channel = channel;
    filter->linkNumber = linkNumber;
    return *filter;
  }
};

TEST_F(LinkChainTest, EveryMemberListsTheOtherChannels) {
  TFilter& head = Add(7, 0);
  TFilter& second = Add(2, 1);
  TFilter& third = Add(5, 1);
  TFilter& alone = Add(4, 0);
  unit->LinkFilters();
  EXPECT_THAT(head.linkedChannels, testing::ElementsAre(2, 5));
  EXPECT_THAT(second.linkedChannels, testing::ElementsAre(5, 7));
  EXPECT_THAT(third.linkedChannels, testing::ElementsAre(2, 7));
  EXPECT_TRUE(alone.linkedChannels.empty());
  EXPECT_EQ(head.nextInChain, &second);
  EXPECT_EQ(second.nextInChain, &third);
  EXPECT_EQ(third.linkHead, &head);
  unit->LinkFilters();
  EXPECT_EQ(third.nextInChain, nullptr);
  EXPECT_THAT(head.linkedChannels, testing::ElementsAre(2, 5));
}

TEST_F(LinkChainTest, CyclicLinkNumbersMakeNoChain) {
  TFilter& self = Add(1, 1);    // number 0 linked to itself
  TFilter& first = Add(2, 3);   // number 1 linked to number 2
  TFilter& second = Add(3, 2);  // number 2 linked to number 1
  TFilter& member = Add(4, 2);  // linked to a filter that is itself a member
  unit->LinkFilters();
  for (TFilter* filter : {&self, &first, &second, &member}) {
    EXPECT_EQ(filter->linkHead, nullptr);
    EXPECT_EQ(filter->nextInChain, nullptr);
    EXPECT_TRUE(filter->linkedChannels.empty());
  }
}

TEST_F(LinkChainTest, WalksEndOnAChainThatRunsIntoItself) {
  TFilter& a = Add(1, 0);
  TFilter& b = Add(2, 0);
  a.nextInChain = &b;
  b.nextInChain = &a;
  b.linkHead = &a;
  a.UpdateLinkedChannels();
  b.UpdateLinkedChannels();
  EXPECT_THAT(a.linkedChannels, testing::ElementsAre(2));
  EXPECT_THAT(b.linkedChannels, testing::ElementsAre(1));
  EXPECT_EQ(a.ChainMembers().size(), 2u);
}

TEST(FilterCopyTest, SerialNumbersCountUpAndTravelWithCopies) {
  TParametricFilter first;
  TParametricFilter second;
  EXPECT_EQ(second.serialNumber, first.serialNumber + 1);
  first.q = 3.0f;
  first.level = -2.0f;
  first.number = 17;
  first.linkNumber = 4;
  first.crossover = true;
  auto clone = first.Clone();
  EXPECT_EQ(clone->serialNumber, first.serialNumber);
  EXPECT_EQ(clone->number, 17);
  EXPECT_EQ(clone->linkNumber, 4);
  EXPECT_FALSE(clone->crossover);
  EXPECT_EQ(static_cast<TParametricFilter&>(*clone).q, 3.0f);
}

TEST(FilterCopyTest, AnotherClassGivesOnlyTheBaseFields) {
  TParametricFilter parametric;
  parametric.level = 5.0f;
  TOctaveFilter octave;
  octave.frequency = 300;
  octave.level = -9.0f;
  parametric.CopyFrom(octave);
  EXPECT_EQ(parametric.frequency, 300);
  EXPECT_EQ(parametric.typeCode, kFilterBoostCut);
  EXPECT_EQ(parametric.level, 5.0f);
  parametric.CopyParamsFrom(octave);
  EXPECT_EQ(parametric.level, 5.0f);
}

TEST(FilterCopyTest, CrossoverCopiesTakeTheBaseButClonesTakeEverything) {
  TLowCrossover source;
  source.order = 6;
  source.crossoverType = kCrossoverBessel;
  TLowCrossover copy;
  copy.CopyFrom(source);
  EXPECT_EQ(copy.order, 2);
  EXPECT_TRUE(copy.crossover);
  auto clone = source.Clone();
  EXPECT_EQ(clone->GetDeviceRecord(), source.GetDeviceRecord());
  EXPECT_TRUE(clone->crossover);
  copy.CopyParamsFrom(source);
  EXPECT_EQ(copy.GetDeviceRecord(), source.GetDeviceRecord());
}

}  // namespace
}  // namespace namespaceOV
