// The device report and the device copy of virtual units and of units on the simulated bus.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "familyov/unit/DeviceCopy.h"
#include "familyov/unit/DeviceReport.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/SettingsImage.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

using ovtest::ModelId;
using testing::HasSubstr;

std::string Golden(const std::string& name) {
  std::ifstream file(std::string(TELVO_FAMILYOV_GOLDEN_DIR) + "/" + name, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string Report(IQDeviceOrdavinex& unit) {
  std::string text;
  WriteDeviceReport(unit, text);
  return text;
}

int Count(const std::string& text, const std::string& part) {
  int count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

float Level(IQDevice& unit, int channel) {
  gChannelLevelObject.SetElement(channel);
  return gChannelLevelObject.Read(unit);
}

void SetLevel(IQDevice& unit, int channel, float dB) {
  gChannelLevelObject.SetElement(channel);
  gChannelLevelObject.Write(unit, dB);
}

std::string MemoryName(IQDevice& unit, int memory) {
  gMemoryNameObject.SetElement(memory - 1);
  return gMemoryNameObject.Read(unit);
}

void NameMemory(IQDevice& unit, int memory, const std::string& name) {
  gMemoryNameObject.SetElement(memory - 1);
  gMemoryNameObject.Write(unit, name);
}

TFilter* AddHorn(IQDeviceOrdavinex& unit, int channel, int frequency) {
  auto horn = std::make_unique<TCDHornFilter>();
  horn->channel = channel;
  horn->frequency = frequency;
  horn->order = 2;
  return unit.AddFilter(std::move(horn));
}

TEST(DeviceReportTest, ADefaultVirtual8148GivesTheGoldenReport) {
  IQ8148Type type;
  std::unique_ptr<IQDevice> device(type.CreateDevice(nullptr, nullptr));
  device->SetName("Stage");
  auto& unit = static_cast<IQDeviceOrdavinex&>(*device);
  std::string text;
  WriteDeviceReport(unit, text);
  EXPECT_EQ(text, Golden("default-8148-report.txt"));
  EXPECT_FALSE(unit.IsUnsaved()) << "a report changes nothing";
  EXPECT_FALSE(unit.settingsChanged);
}

TEST(DeviceReportTest, AVirtualUnitsMemoriesShowEveryFilterTypeAndItsCurrentValuesStay) {
  auto unit = ovtest::NewVirtual<IQDevice8126>(6);
  for (int type = kFilterParametric; type <= kFilterAllpass; ++type) {
    if (type == kFilterLowCrossover || type == kFilterHighCrossover) continue;
    std::unique_ptr<TFilter> filter = MakeFilter(type);
    filter->channel = 1;
    filter->frequency = 1000 + type;
    unit->AddFilter(std::move(filter));
  }
  auto low = std::make_unique<TLowCrossover>();
  low->channel = unit->firstOutput + 2;
  low->frequency = 80;
  unit->SetLowCrossover(2, std::move(low));
  NameMemory(*unit, 3, "Band");
  gSaveMemoryObject.SaveMemory(*unit, 3);
  unit->RemoveAllFilters();
  SetLevel(*unit, 0, -4.0f);
  gLogicMemoryObject.SetElement(5);
  gLogicMemoryObject.Write(*unit, 200);  // no such memory

  const std::string text = Report(*unit);
  const std::string memory3 = text.substr(text.find("*** Memory #3, 'Band' ***"));
  EXPECT_THAT(memory3, HasSubstr("*** Channel '2'\n"
                                 "   Parametric at 1003 Hz, 0.0 dB, Q 8.7\n"
                                 "   Lowpass at 1004 Hz, slope -12 dB/oct\n"));
  EXPECT_THAT(memory3, HasSubstr("   CD Horn at 1011 Hz, slope 6 dB/oct\n"
                                 "   Allpass at 1012 Hz, order 1\n"
                                 "*** Channel 'A'\n"));
  EXPECT_THAT(memory3, HasSubstr("*** Channel 'C'\n   Low Butterworth Crossover at 80 Hz"));
  EXPECT_EQ(Count(text, "CD Horn"), 1) << "memory 3 only";
  EXPECT_THAT(text, HasSubstr("*** Current Settings ***\n\n---Input levels---\n1 : -4.0dB\n"));
  EXPECT_THAT(text, HasSubstr("   5     ?                0\n"));
  EXPECT_EQ(Count(text, "*** Memory #"), 15);
  EXPECT_TRUE(unit->Filters().empty());
  EXPECT_NEAR(Level(*unit, 0), -4.0f, 1e-4f);
}

struct BusReportAndCopyTest : testing::Test {
  ovtest::FamilyBus bus;
  IQ8126Type type;

  std::unique_ptr<IQDevice8126> BusUnit(int address, const std::string& firmware = "1.5") {
    bus.AddModelUnit(sim::familyov::Model::k8126, address, firmware);
    const IQDeviceInfo record(static_cast<uint8_t>(address), 880, 1, ModelId('6', firmware, false));
    return std::make_unique<IQDevice8126>(&type, &bus.manager, &record, 6);
  }
  // Memory `memory` of a unit, as its image.
  std::vector<uint32_t> Image(IQDeviceOrdavinex& unit, int memory) {
    SettingsImage image(ReadImageLength(unit));
    MemoryWalk walk(unit);
    ReadMemoryImage(unit, memory, image);
    return {image.Words().begin(), image.Words().end()};
  }
  // Gives memory `memory` of a bus unit the settings of a virtual unit with a CD horn on input 2
  // at `frequency` and input 1 at `levelDb`.
  void Store(IQDeviceOrdavinex& unit, int memory, int frequency, float levelDb) {
    auto source = ovtest::NewVirtual<IQDevice8126>(6);
    AddHorn(*source, 1, frequency);
    SetLevel(*source, 0, levelDb);
    SettingsImage image(ReadImageLength(unit));
    EncodeSettingsImage(*source, image);
    WriteMemoryImage(unit, memory, image);
  }
};

TEST_F(BusReportAndCopyTest, ABusUnitsReportNamesItAndReadsEveryMemoryThroughTheDump) {
  auto unit = BusUnit(4);
  Store(*unit, 7, 2500, -9.0f);
  for (const int channel : {0, 1}) {
    gChannelNameObject.SetElement(channel);
    gChannelNameObject.Write(*unit, channel == 0 ? "Left" : "Right");
  }
  bus.TakeTrace();
  const std::string text = Report(*unit);
  EXPECT_THAT(text, testing::StartsWith("Ordavinex 26 device report\n(Address 4)\n"));
  EXPECT_THAT(text, HasSubstr("\n--Unit information--\nS/N: SIM0001\nFirmware: 1.5\n"));
  EXPECT_THAT(text, HasSubstr("\n---Clock Events---\n"));
  EXPECT_EQ(Count(text, "*** Memory #"), 15);
  const std::string memory7 = text.substr(text.find("*** Memory #7"));
  EXPECT_THAT(memory7, HasSubstr("Left : -9.0dB\n"));
  EXPECT_THAT(memory7.substr(0, memory7.find("*** Memory #8")),
              HasSubstr("*** Channel 'Right'\n   CD Horn at 2500 Hz, slope 12 dB/oct\n"));
  const auto trace = bus.TakeTrace();
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "R39.7"), 183);
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "R39.15"), 183);
}

TEST_F(BusReportAndCopyTest, BusToBusCopiesEveryMemoryAndRunsTheSourcesCurrentSettings) {
  auto source = BusUnit(4);
  auto destination = BusUnit(5);
  Store(*source, 0, 700, -3.0f);
  Store(*source, 15, 900, -6.0f);
  NameMemory(*source, 15, "Last");
  gDelayUnitsObject.Write(*source, kDelayFeet);
  gTimerEventObject.SetElement(69);
  gTimerEventObject.WriteTimerEvent(*source, {.day = 3, .hour = 7, .logic = 2});
  bus.TakeTrace();

  CopyDeviceSettings(*destination, *source);
  const auto trace = bus.TakeTrace();
  // Memory 0 is recalled right after it is written: after its last block and the kept block of
  // memory 1, before memory 1 is written.
  const auto recall = std::ranges::find(trace, "W0B 00");
  ASSERT_NE(recall, trace.end());
  const auto writesTo = [](int element) {
    return [prefix = "W39." + std::to_string(element) + " "](const std::string& line) {
      return line.starts_with(prefix);
    };
  };
  EXPECT_EQ(std::count_if(trace.begin(), recall, writesTo(0)), 183);
  EXPECT_EQ(std::count_if(trace.begin(), recall, writesTo(1)), 1);
  EXPECT_EQ(std::count_if(recall, trace.end(), writesTo(0)), 0);
  EXPECT_EQ(Image(*destination, 0), Image(*source, 0));
  EXPECT_EQ(Image(*destination, 15), Image(*source, 15));
  EXPECT_EQ(MemoryName(*destination, 15), "Last");
  EXPECT_EQ(gDelayUnitsObject.Read(*destination), kDelayFeet);
  destination->InvalidateValues();
  destination->ReadTimerEvents();
  EXPECT_EQ(destination->TimerEvents()[69].day, 3);
  EXPECT_EQ(destination->TimerEvents()[69].logic, 2);
}

TEST_F(BusReportAndCopyTest, AShorterSourceImageIsReadAtItsOwnLength) {
  auto source = BusUnit(4);
  Store(*source, 0, 1200, -2.0f);
  auto destination = ovtest::NewVirtual<IQDevice8126>(6);
  gMemoryImageSizeObject.Write(*destination, 800u);
  bus.TakeTrace();
  CopyDeviceSettings(*destination, *source);
  const auto trace = bus.TakeTrace();
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "R39.0"), 183);
  EXPECT_NEAR(Level(*destination, 0), -2.0f, 1e-4f);
  ASSERT_EQ(destination->Filters().size(), 1u);
  EXPECT_EQ(destination->Filters()[0]->typeCode, kFilterCDHorn);
}

TEST(VirtualCopyTest, TheDestinationTakesEverythingAndTheSourceStaysAsItWas) {
  auto source = ovtest::NewVirtual<IQDevice8126>(4);
  auto destination = ovtest::NewVirtual<IQDevice8126>(4);
  AddHorn(*source, 0, 3000);
  SetLevel(*source, 3, -7.0f);
  NameMemory(*source, 2, "Speech");
  gSaveMemoryObject.SaveMemory(*source, 2);
  SetLevel(*source, 3, -1.0f);
  gChannelNameObject.SetElement(3);
  gChannelNameObject.Write(*source, "Sub");
  gLogicOutObject.SetElement(31);
  gLogicOutObject.Write(*source, 5);
  gTimerEventObject.SetElement(0);
  gTimerEventObject.WriteTimerEvent(*source, {.day = 1, .hour = 9, .logic = 4});
  source->ReadTimerEvents();
  destination->clockPresent = false;
  source->SetModified(false);

  CopyDeviceSettings(*destination, *source);
  EXPECT_FALSE(source->IsUnsaved());
  EXPECT_TRUE(destination->IsUnsaved());
  EXPECT_EQ(destination->TimerEvents()[0].day, 0)
      << "a destination without a clock keeps its events";
  EXPECT_NEAR(Level(*destination, 3), -1.0f, 1e-4f);
  ASSERT_EQ(destination->Filters().size(), 1u);
  EXPECT_EQ(destination->Filters()[0]->frequency, 3000);
  gChannelNameObject.SetElement(3);
  EXPECT_EQ(gChannelNameObject.Read(*destination), "Sub");
  gLogicOutObject.SetElement(31);
  EXPECT_EQ(gLogicOutObject.Read(*destination), 5);
  EXPECT_EQ(MemoryName(*destination, 2), "Speech");
  gRecallMemoryObject.RecallMemory(*destination, 2);
  EXPECT_NEAR(Level(*destination, 3), -7.0f, 1e-4f);

  EXPECT_NEAR(Level(*source, 3), -1.0f, 1e-4f);
  EXPECT_EQ(source->Filters().size(), 1u);
}

TEST(VirtualCopyTest, OnlyTheMemoriesBothUnitsHaveAreCopied) {
  auto older = ovtest::NewVirtual<IQDevice8126>(6);
  older->firmwareVersion = 1.4f;  // 12 memories
  auto newer = ovtest::NewVirtual<IQDevice8126>(6);
  NameMemory(*newer, 13, "Keep");
  SetLevel(*newer, 0, -12.0f);
  gSaveMemoryObject.SaveMemory(*newer, 13);
  NameMemory(*older, 12, "Twelve");

  CopyDeviceSettings(*newer, *older);
  EXPECT_EQ(MemoryName(*newer, 12), "Twelve");
  EXPECT_EQ(MemoryName(*newer, 13), "Keep");
  gRecallMemoryObject.RecallMemory(*newer, 13);
  EXPECT_NEAR(Level(*newer, 0), -12.0f, 1e-4f);
}

}  // namespace
}  // namespace namespaceOV
