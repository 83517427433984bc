// Models from roll-call records, their geometry and features, the settings of a new virtual unit,
// its memory records, and a roll call over the simulated bus.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "familyov/unit/ParameterTable.h"
#include "platform/ui/Resources.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

using ovtest::ModelId;

struct Types {
  IQ8122Type t8122;
  IQ8124Type t8124;
  IQ8126Type t8126;
  IQ8148Type t8148;
  std::vector<IQDeviceType*> All() { return {&t8122, &t8124, &t8126, &t8148}; }
};

// The device the first accepting type creates from the record, as the roll call asks them.
std::unique_ptr<IQDevice> Create(Types& types, uint32_t family, const std::array<uint8_t, 8>& id) {
  const IQDeviceInfo record(7, family, 1, id);
  for (IQDeviceType* type : types.All()) {
    if (IQDevice* device = type->CreateDevice(nullptr, &record)) {
      return std::unique_ptr<IQDevice>(device);
    }
  }
  return nullptr;
}

TEST(ModelDetectionTest, RecordsOfEachModelCreateThatModel) {
  Types types;
  struct Case {
    uint32_t family;
    std::array<uint8_t, 8> id;
    std::string name;
    int inputs, outputs, channels, firstOutput, records;
  };
  for (const Case& c : {Case{880, ModelId('2', "1.5", false), "Ordavinex 22", 2, 2, 4, 2, 100},
                        Case{880, ModelId('4', "1.5", false), "Ordavinex 24", 2, 4, 6, 2, 100},
                        Case{880, ModelId('6', "1.5", false), "Ordavinex 26", 2, 6, 8, 2, 100},
                        Case{1136, ModelId('8', "1.5", true), "Ordavinex 48", 4, 8, 12, 4, 158}}) {
    auto device = Create(types, c.family, c.id);
    ASSERT_TRUE(device) << c.name;
    auto& unit = dynamic_cast<IQDeviceOrdavinex&>(*device);
    EXPECT_EQ(unit.GetTypeName(), c.name);
    EXPECT_EQ(unit.inputs, c.inputs) << c.name;
    EXPECT_EQ(unit.outputs, c.outputs) << c.name;
    EXPECT_EQ(unit.channels, c.channels) << c.name;
    EXPECT_EQ(unit.firstOutput, c.firstOutput) << c.name;
    EXPECT_EQ(unit.GetMaxFilterRecords(), c.records) << c.name;
    EXPECT_FLOAT_EQ(unit.firmwareVersion, 1.5f) << c.name;
  }
}

TEST(ModelDetectionTest, RecordsOfNoRegisteredModelCreateNothing) {
  Types types;
  EXPECT_FALSE(Create(types, 1136, ModelId('7', "1.5", true)));
  EXPECT_FALSE(Create(types, 1136, ModelId('6', "1.5", true)));
  EXPECT_FALSE(Create(types, 880, ModelId('8', "1.5", false)));
  EXPECT_FALSE(Create(types, 880, ModelId('8', "1.5", true)));
  EXPECT_FALSE(Create(types, 368, ModelId('6', "1.5", false)));
  EXPECT_FALSE(Create(types, 1136, ModelId('6', "1.5", false)));
}

TEST(ModelDetectionTest, The8124HasOutputsAToD) {
  Types types;
  auto device = Create(types, 880, ModelId('4', "1.5", false));
  auto& unit = dynamic_cast<IQDeviceOrdavinex&>(*device);
  std::vector<std::string> labels;
  for (int c = 0; c < unit.channels; ++c) labels.push_back(unit.GetChannelLabel(c));
  EXPECT_THAT(labels, testing::ElementsAre("1", "2", "A", "B", "C", "D"));
  EXPECT_EQ(unit.GetChannelLabel(8), "");
  EXPECT_EQ(unit.GetChannelLabel(-1), "");
  EXPECT_EQ(unit.GetModelResourceId(), 12);
  EXPECT_EQ(unit.GetModelBitmapId(), 17);
}

// Every window of a unit carries its configuration's icon.
TEST(ModelDetectionTest, EveryConfigurationsIconIsDrawn) {
  Types types;
  std::vector<std::unique_ptr<IQDeviceOrdavinex>> units;
  for (int outputs : {8, 7, 6}) {
    units.push_back(std::make_unique<IQDevice8148>(&types.t8148, nullptr, nullptr, outputs));
  }
  for (int outputs : {6, 4, 2}) {
    units.push_back(std::make_unique<IQDevice8126>(&types.t8126, nullptr, nullptr, outputs));
  }
  for (const auto& unit : units) {
    EXPECT_FALSE(ui::Resources::Image(unit->GetModelBitmapId()).isNull())
        << unit->inputs << " x " << unit->outputs;
  }
}

TEST(FeatureTest, TwoInputFeaturesAndMemoriesFollowTheFirmware) {
  Types types;
  auto old = Create(types, 880, ModelId('6', "1.1", false));
  auto middle = Create(types, 880, ModelId('6', "1.4", false));
  auto current = Create(types, 880, ModelId('6', "1.5", false));
  auto& o = dynamic_cast<IQDeviceOrdavinex&>(*old);
  auto& m = dynamic_cast<IQDeviceOrdavinex&>(*middle);
  auto& c = dynamic_cast<IQDeviceOrdavinex&>(*current);
  for (int feature = 1; feature <= 5; ++feature) {
    EXPECT_FALSE(o.HasFeature(feature)) << feature;
    EXPECT_TRUE(m.HasFeature(feature)) << feature;
  }
  EXPECT_FALSE(c.HasFeature(6));
  EXPECT_FALSE(c.HasFeature(7));
  EXPECT_EQ(m.GetMemoryCount(), 12);
  EXPECT_EQ(c.GetMemoryCount(), 15);
}

TEST(FeatureTest, FourInputFeaturesAndTheCompressorOption) {
  Types types;
  auto device = Create(types, 1136, ModelId('8', "1.0", true));
  auto& unit = dynamic_cast<IQDevice8148&>(*device);
  for (int feature : {1, 2, 3, 4, 5, 6, 8}) EXPECT_TRUE(unit.HasFeature(feature)) << feature;
  EXPECT_FALSE(unit.HasFeature(7));
  EXPECT_FALSE(unit.HasFeature(9));
  unit.compressorOption = true;
  EXPECT_TRUE(unit.HasFeature(7));
  auto virtualUnit = ovtest::NewVirtual<IQDevice8148>(8);
  for (int feature = 0; feature <= 9; ++feature) EXPECT_TRUE(virtualUnit->HasFeature(feature));
}

TEST(FeatureTest, AFirmwareTextThatIsNoNumberGivesVersionZero) {
  Types types;
  auto device = Create(types, 880, ModelId('2', "\xff\x01?", false));
  ASSERT_TRUE(device);
  EXPECT_EQ(dynamic_cast<IQDeviceOrdavinex&>(*device).firmwareVersion, 0.0f);
}

TEST(VirtualUnitTest, A8122StartsOnNetworkOneWithTheSmallDelayMemory) {
  auto unit = ovtest::NewVirtual<IQDevice8126>(2);
  for (int o = 0; o < 2; ++o) {
    gCrossoverNetworkObject.SetElement(o);
    EXPECT_EQ(gCrossoverNetworkObject.Read(*unit), 1);
  }
  EXPECT_EQ(unit->GetDelayCapacity(), 37000);
  EXPECT_FLOAT_EQ(unit->firmwareVersion, 1.5f);
  EXPECT_EQ(unit->GetMemoryCount(), 15);
  EXPECT_EQ(unit->GetInfo().ModelText(), " v1.0");
  EXPECT_FALSE(unit->IsModified());
}

TEST(VirtualUnitTest, NetworksAndRoutingByModel) {
  auto routed = [](IQDeviceOrdavinex& unit) {
    std::string map;
    for (int o = 0; o < unit.outputs; ++o) {
      for (int i = 0; i < unit.inputs; ++i) {
        gCrosspointLevelObject.SetElement(o * unit.matrixInputs + i);
        map += gCrosspointLevelObject.Read(unit) == 0.0f ? '1' : '.';
      }
      map += ' ';
    }
    return map;
  };
  auto networks = [](IQDeviceOrdavinex& unit) {
    std::string list;
    for (int o = 0; o < unit.outputs; ++o) {
      gCrossoverNetworkObject.SetElement(o);
      list += std::to_string(gCrossoverNetworkObject.Read(unit));
    }
    return list;
  };
  auto u26 = ovtest::NewVirtual<IQDevice8126>(6);
  auto u24 = ovtest::NewVirtual<IQDevice8126>(4);
  auto u48 = ovtest::NewVirtual<IQDevice8148>(8);
  EXPECT_EQ(routed(*u26), "1. 1. 1. .1 .1 .1 ");
  EXPECT_EQ(networks(*u26), "111222");
  EXPECT_EQ(routed(*u24), "1. 1. .1 .1 ");
  EXPECT_EQ(networks(*u24), "1122");
  EXPECT_EQ(routed(*u48), "1... 1... .1.. .1.. ..1. ..1. ...1 ...1 ");
  EXPECT_EQ(networks(*u48), "11223344");
}

TEST(MemoryRecordTest, RecallThenSaveLeavesTheRecordAsItWas) {
  auto unit = ovtest::NewVirtual<IQDevice8148>(8);
  auto* filter =
      static_cast<TParametricFilter*>(unit->AddFilter(std::make_unique<TParametricFilter>()));
  filter->channel = 5;
  filter->level = -4.5f;
  gChannelLevelObject.SetElement(5);
  gChannelLevelObject.Write(*unit, -12.5f);
  unit->SetLowCrossover(1, std::make_unique<TLowCrossover>());
  gSaveMemoryObject.SaveMemory(*unit, 3);

  gChannelLevelObject.SetElement(5);
  gChannelLevelObject.Write(*unit, 0.0f);
  unit->RemoveAllFilters();
  gRecallMemoryObject.RecallMemory(*unit, 3);
  gChannelLevelObject.SetElement(5);
  EXPECT_NEAR(gChannelLevelObject.Read(*unit), -12.5f, 1e-4f);
  ASSERT_EQ(unit->Filters().size(), 1u);
  EXPECT_FLOAT_EQ(static_cast<TParametricFilter&>(*unit->Filters()[0]).level, -4.5f);
  EXPECT_TRUE(unit->LowCrossover(1));
  EXPECT_EQ(gLastMemoryObject.Read(*unit), 3);
  EXPECT_FALSE(unit->settingsChanged);

  gSaveMemoryObject.SaveMemory(*unit, 3);
  unit->trace.clear();
  gRecallMemoryObject.RecallMemory(*unit, 3);
  const auto firstRecall = unit->TakeTrace();
  gSaveMemoryObject.SaveMemory(*unit, 3);
  unit->trace.clear();
  gRecallMemoryObject.RecallMemory(*unit, 3);
  EXPECT_EQ(unit->TakeTrace(), firstRecall);
}

TEST(MemoryRecordTest, RecordsOutsideTheDeviceAreRefused) {
  auto unit = ovtest::NewVirtual<IQDevice8126>(6);
  // The family's handlers catch IQException alone.
  EXPECT_THROW(unit->SaveMemoryRecord(21), IQException);
  EXPECT_THROW(unit->RecallMemoryRecord(-1), IQException);
  EXPECT_THROW(gSaveMemoryObject.SaveMemory(*unit, 200), IQException);
  EXPECT_THROW(gRecallMemoryObject.RecallMemory(*unit, 21), IQException);
  EXPECT_NO_THROW(unit->SaveMemoryRecord(20));
}

TEST(RollCallTest, EachModelIsFoundOnTheBusWithItsGeometry) {
  ovtest::FamilyBus bus;
  using sim::familyov::Model;
  bus.AddModelUnit(Model::k8122, 3);
  bus.AddModelUnit(Model::k8124, 4, "1.4");
  bus.AddModelUnit(Model::k8126, 5);
  bus.AddModelUnit(Model::k8148, 6, "1.0");
  bus.AddUnit(7, 1136, ModelId('7', "1.0", true));  // a configuration no type creates
  Types types;
  const auto found = bus.RollCall(types.All());
  ASSERT_EQ(found.size(), 4u);
  std::vector<std::string> seen;
  for (IQDevice* device : found) {
    auto& unit = dynamic_cast<IQDeviceOrdavinex&>(*device);
    seen.push_back(std::to_string(unit.GetInfo().address) + " " + unit.GetTypeName() + " " +
                   std::to_string(unit.inputs) + "x" + std::to_string(unit.outputs) + " @" +
                   std::to_string(unit.firstOutput));
    EXPECT_TRUE(unit.IsOnline());
  }
  EXPECT_THAT(seen,
              testing::UnorderedElementsAre("3 Ordavinex 22 2x2 @2", "4 Ordavinex 24 2x4 @2",
                                            "5 Ordavinex 26 2x6 @2", "6 Ordavinex 48 4x8 @4"));
  EXPECT_TRUE(bus.notifier.messages.empty());
}

}  // namespace
}  // namespace namespaceOV
