// Settings files of units on the simulated bus: what a unit saves comes back whole after the unit
// was changed, for every model and every filter type; and the allpass question of older firmware.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "familyov/unit/ParameterTable.h"
#include "platform/ui/Message.h"
#include "tests/familyov_files/FilesTestSupport.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

using filestest::ReadText;
using sim::familyov::Model;

// A filter the unit allocates and runs, then kept by the device as a unit read would keep it.
void AddOnUnit(IQDeviceOrdavinex& unit, std::unique_ptr<TFilter> filter, int channel) {
  filter->channel = channel;
  filter->frequency = 200 + 100 * channel;
  filter->number = gNewFilterObject.Read(unit);
  filter->WriteToDevice(unit);
  filter->SendCreateCommand(unit);
  const int output = channel - unit.firstOutput;
  if (auto* low = dynamic_cast<TLowCrossover*>(filter.get())) {
    filter.release();
    unit.SetLowCrossover(output, std::unique_ptr<TLowCrossover>(low));
  } else if (auto* high = dynamic_cast<THighCrossover*>(filter.get())) {
    filter.release();
    unit.SetHighCrossover(output, std::unique_ptr<THighCrossover>(high));
  } else {
    unit.AdoptFilter(std::move(filter));
  }
}

std::vector<int> TypesOf(const IQDeviceOrdavinex& unit) {
  std::vector<int> types;
  for (const auto& filter : unit.Filters()) types.push_back(filter->typeCode);
  for (int o = 0; o < unit.outputs; ++o) {
    if (unit.LowCrossover(o)) types.push_back(unit.LowCrossover(o)->typeCode);
    if (unit.HighCrossover(o)) types.push_back(unit.HighCrossover(o)->typeCode);
  }
  std::ranges::sort(types);
  return types;
}

struct BusCase {
  Model model;
  char digit;
  bool fourInput;
};

class BusRoundTripTest : public filestest::FilesTest,
                         public testing::WithParamInterface<BusCase> {};

TEST_P(BusRoundTripTest, AUnitChangedAfterItsSaveGetsEveryValueAndFilterBackFromTheFile) {
  const BusCase c = GetParam();
  ovtest::FamilyBus bus;
  sim::familyov::AddFamilyOvUnit(bus.bus,
                                 {.model = c.model, .address = 3, .compressorOption = c.fourInput});
  const IQDeviceInfo record(3, c.fourInput ? 1136 : 880, 1,
                            ovtest::ModelId(c.digit, "1.5", c.fourInput));
  IQ8148Type type8148;
  IQ8126Type type8126;
  std::unique_ptr<IQDeviceOrdavinex> unit;
  if (c.fourInput) {
    auto four = std::make_unique<IQDevice8148>(&type8148, &bus.manager, &record, 8);
    four->compressorOption = true;
    unit = std::move(four);
  } else {
    unit = std::make_unique<IQDevice8126>(&type8126, &bus.manager, &record, 6);
  }
  for (int type = kFilterParametric; type <= kFilterAllpass; ++type) {
    const bool crossover = type == kFilterLowCrossover || type == kFilterHighCrossover;
    AddOnUnit(*unit, MakeFilter(type), crossover ? unit->firstOutput + 1 : type % unit->channels);
  }
  gChannelLevelObject.SetElement(1);
  gChannelLevelObject.Write(*unit, -7.0f);
  gCompThresholdObject.SetElement(1);
  if (c.fourInput) gCompThresholdObject.Write(*unit, 4.0f);
  gMemoryNameObject.SetElement(2);
  gMemoryNameObject.Write(*unit, "Evening");
  gSaveMemoryObject.SaveMemory(*unit, 3);

  const std::string path = TempPath("unit.ov2");
  script.AnswerSaveFile(path);
  ASSERT_TRUE(unit->SaveFile());
  const std::string saved = ReadText(path);
  EXPECT_NE(saved.find("[Memory Dump 3]"), std::string::npos);

  unit->RemoveAllFilters();
  gChannelLevelObject.SetElement(1);
  gMemoryNameObject.SetElement(2);
  gChannelLevelObject.Write(*unit, 0.0f);
  gMemoryNameObject.Write(*unit, "Morning");
  gSaveMemoryObject.SaveMemory(*unit, 3);
  script.AnswerOpenFile(path);
  ASSERT_TRUE(unit->LoadFile());

  unit->ReadDeviceParameters();
  EXPECT_THAT(TypesOf(*unit), testing::ElementsAre(3, 4, 5, 6, 7, 8, 9, 10, 11, 12));
  gChannelLevelObject.SetElement(1);
  gMemoryNameObject.SetElement(2);
  gCompThresholdObject.SetElement(1);
  EXPECT_NEAR(gChannelLevelObject.Read(*unit), -7.0f, 1e-3f);
  EXPECT_EQ(gMemoryNameObject.Read(*unit), "Evening");
  if (c.fourInput) {
    EXPECT_NEAR(gCompThresholdObject.Read(*unit), 4.0f, 1e-3f);
  }
  script.AnswerSaveFile(TempPath("again.ov2"));
  ASSERT_TRUE(unit->SaveFile());
  EXPECT_TRUE(filestest::SameText(ReadText(TempPath("again.ov2")), saved))
      << "memory 3 came back too";
}

INSTANTIATE_TEST_SUITE_P(EveryModel, BusRoundTripTest,
                         testing::Values(BusCase{Model::k8122, '2', false},
                                         BusCase{Model::k8124, '4', false},
                                         BusCase{Model::k8126, '6', false},
                                         BusCase{Model::k8148, '8', true}));

using OldFirmwareTest = filestest::FilesTest;

TEST_F(OldFirmwareTest, WithoutAllpassTheUnitAsksBeforeAnyFileIsLoaded) {
  ovtest::FamilyBus bus;
  bus.AddModelUnit(Model::k8126, 4, "1.1");
  IQ8126Type type;
  const IQDeviceInfo record(4, 880, 1, ovtest::ModelId('6', "1.1", false));
  IQDevice8126 unit(&type, &bus.manager, &record, 6);
  const std::string path = TempPath("unit.ov2");
  filestest::WriteText(path, filestest::LogicRecallingAtMost(
                                 ReadText(filestest::GoldenPath("default-8126.ov2")), 12));
  bus.TakeTrace();
  script.AnswerOpenFile(path).AnswerMessageBox(ui::kIdCancel);
  EXPECT_FALSE(unit.LoadFile());
  EXPECT_THAT(script.Seen().back().text, testing::HasSubstr("cannot implement allpass filters"));
  for (const std::string& transfer : bus.TakeTrace()) EXPECT_EQ(transfer[0], 'R') << transfer;
}

}  // namespace
}  // namespace namespaceOV
