// The settings image: its layout per geometry, decode and encode through the parameter objects,
// the filter records, the length check and a virtual unit's memories.

#include <gtest/gtest.h>

#include <bit>

#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/SettingsImage.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

// One filter of every type, crossovers included, a link chain across two channels.
void AddFilterOfEveryType(IQDeviceOrdavinex& unit) {
  int channel = 0;
  const auto add = [&](std::unique_ptr<TFilter> filter) {
    filter->channel = channel++ % unit.inputs;
    filter->frequency = 100 * channel;
    return unit.AddFilter(std::move(filter));
  };
  TFilter* head = add(std::make_unique<TParametricFilter>());
  add(std::make_unique<TLowpassFilter>());
  add(std::make_unique<THighpassFilter>());
  add(std::make_unique<TLowshelfFilter>());
  add(std::make_unique<THighshelfFilter>());
  add(std::make_unique<TOctaveFilter>());
  auto horn = std::make_unique<TCDHornFilter>();
  horn->order = 2;
  add(std::move(horn));
  add(std::make_unique<TAllpassFilter>());
  TFilter* member = add(std::make_unique<TParametricFilter>());
  member->linkNumber = head->number + 1;
  auto low = std::make_unique<TLowCrossover>();
  low->channel = unit.firstOutput + 1;
  low->crossoverType = kCrossoverBessel;
  unit.SetLowCrossover(1, std::move(low));
  auto high = std::make_unique<THighCrossover>();
  high->channel = unit.firstOutput;
  unit.SetHighCrossover(0, std::move(high));
  unit.LinkFilters();
}

SettingsImage Encoded(IQDeviceOrdavinex& unit) {
  SettingsImage image(ReadImageLength(unit));
  EncodeSettingsImage(unit, image);
  return image;
}

TEST(SettingsImageLayoutTest, OptionalBlocksAndOutputsStandWhereTheirGeometryPutsThem) {
  auto unit = ovtest::NewVirtual<IQDevice8148>(8);
  gCrosspointDelayObject.SetElement(2 * 4 + 3);
  gCrosspointDelayObject.Write(*unit, 480);
  gCompRatioObject.SetElement(1);
  gCompRatioObject.Write(*unit, 80);
  gLimiterSpeedObject.SetElement(4 + 7);
  gLimiterSpeedObject.Write(*unit, 3);
  const SettingsImage image = Encoded(*unit);
  EXPECT_EQ(image.Words()[54 + 12 + 11], 480u);  // crosspoint delays follow the channel delays
  EXPECT_EQ(image.Words()[818 + 1], 80u);
  EXPECT_EQ(image.Words()[134 + 7], 3u);

  auto sixBySix = ovtest::NewVirtual<IQDevice8148>(6);
  gChannelMuteObject.SetElement(6 + 5);
  gChannelMuteObject.Write(*sixBySix, true);
  EXPECT_EQ(Encoded(*sixBySix).Words()[49 + 5], 1u);
}

TEST(SettingsImageCodecTest, DecodeGivesBackEveryValueAndFilterOfEveryType) {
  auto source = ovtest::NewVirtual<IQDevice8148>(8);
  AddFilterOfEveryType(*source);
  gCompSoftKneeObject.SetElement(3);
  gCompSoftKneeObject.Write(*source, true);
  gPolarityObject.SetElement(6);
  gPolarityObject.Write(*source, -1.0f);
  const SettingsImage image = Encoded(*source);
  EXPECT_EQ(image.Words()[170 + 4 * 6], (11u << 8) | 6 % 4);  // the CD horn keeps its record
  EXPECT_EQ(image.Words()[170 + 4 * 8] >> 16,
            static_cast<uint32_t>(source->Filters()[0]->number + 1));

  auto copy = ovtest::NewVirtual<IQDevice8148>(8);
  DecodeSettingsImage(*copy, image);
  ASSERT_EQ(copy->Filters().size(), 9u);
  EXPECT_EQ(copy->Filters()[6]->typeCode, kFilterCDHorn);
  EXPECT_EQ(static_cast<const TCDHornFilter&>(*copy->Filters()[6]).order, 2);
  EXPECT_EQ(copy->Filters()[8]->linkHead, copy->Filters()[0].get());
  ASSERT_TRUE(copy->LowCrossover(1));
  EXPECT_EQ(copy->LowCrossover(1)->crossoverType, kCrossoverBessel);
  EXPECT_TRUE(copy->HighCrossover(0));
  EXPECT_TRUE(std::ranges::equal(Encoded(*copy).Words().first(834), image.Words().first(834)));

  // An empty image empties the unit; records of no filter type, or on channels the unit lacks,
  // are skipped.
  SettingsImage empty(840);
  empty.Words()[170] = (2u << 8) | 1;
  empty.Words()[174] = (3u << 8) | 200;
  DecodeSettingsImage(*copy, empty);
  EXPECT_TRUE(copy->Filters().empty());
  EXPECT_FALSE(copy->LowCrossover(1));
}

TEST(SettingsImageCodecTest, ImagesTooShortOrFiltersTooManyAreRefused) {
  auto unit = ovtest::NewVirtual<IQDevice8148>(8);
  SettingsImage tooShort(800);  // the compressor blocks end at word 834
  EXPECT_THROW(EncodeSettingsImage(*unit, tooShort), SettingsImageError);
  EXPECT_THROW(DecodeSettingsImage(*unit, tooShort), SettingsImageError);
  gMemoryImageSizeObject.Write(*unit, 0xFFFFFFF0u);
  EXPECT_THROW(ReadImageLength(*unit), SettingsImageError);

  auto twoInput = ovtest::NewVirtual<IQDevice8126>(6);
  EXPECT_EQ(ImageLayout(*twoInput).RequiredWords(), 89 + 400);
  for (int k = 0; k <= twoInput->GetMaxFilterRecords(); ++k) {
    twoInput->AddFilter(std::make_unique<TParametricFilter>());
  }
  SettingsImage image(730);
  EXPECT_THROW(EncodeSettingsImage(*twoInput, image), SettingsImageError);
}

TEST(VirtualMemoryTest, MemoriesKeepCompressorsDelaysAndBypassAndTheWalkRestoresTheCurrent) {
  auto unit = ovtest::NewVirtual<IQDevice8148>(7);  // outputs at channels 4..10
  const auto set = [&](int ratio, int delay, bool bypass, float level) {
    gCompRatioObject.SetElement(2);
    gCompRatioObject.Write(*unit, static_cast<uint8_t>(ratio));
    gCrosspointDelayObject.SetElement(6 * 4 + 2);
    gCrosspointDelayObject.Write(*unit, static_cast<uint32_t>(delay));
    gDelayBypassObject.SetElement(1);
    gDelayBypassObject.Write(*unit, bypass);
    gChannelLevelObject.SetElement(10);
    gChannelLevelObject.WriteLinear(*unit, level);
  };
  set(60, 96, true, 0.25f);
  unit->SaveMemoryRecord(3);
  set(20, 0, false, 1.0f);
  unit->RecallMemoryRecord(3);
  gCompRatioObject.SetElement(2);
  EXPECT_EQ(gCompRatioObject.Read(*unit), 60);
  gCrosspointDelayObject.SetElement(6 * 4 + 2);
  EXPECT_EQ(gCrosspointDelayObject.Read(*unit), 96u);
  gDelayBypassObject.SetElement(1);
  EXPECT_TRUE(gDelayBypassObject.Read(*unit));
  gChannelLevelObject.SetElement(10);
  EXPECT_EQ(gChannelLevelObject.ReadLinear(*unit), 0.25f);

  set(20, 0, false, 1.0f);
  {
    MemoryWalk walk(*unit);
    SettingsImage image(840);
    ReadMemoryImage(*unit, 3, image);
    EXPECT_EQ(image.Words()[818 + 2], 60u);
    EXPECT_THROW(ReadMemoryImage(*unit, 9, image), OrdavinexRangeError);
  }
  gCompRatioObject.SetElement(2);
  EXPECT_EQ(gCompRatioObject.Read(*unit), 20);
}

}  // namespace
}  // namespace namespaceOV
