// The device report and the device copy of virtual units and of units on the simulated bus.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "familyov/unit/DeviceCopy.h"
#include "familyov/unit/DeviceReport.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/SettingsImage.h"
#include "platform/ui/Prompts.h"
#include "tests/familyov_unit/GuiTestEnvironment.h"
#include "tests/familyov_unit/OVTestSupport.h"
#include "tests/support/FaultKinds.h"

namespace namespaceOV {
namespace {

using ovtest::ChannelLevel;
using ovtest::MemoryName;
using ovtest::SetChannelLevel;
using ovtest::SetMemoryName;
using testing::HasSubstr;

std::string Report(IQDeviceOrdavinex& unit) {
  std::string text;
  WriteDeviceReport(unit, text);
  return text;
}

void AddHorn(IQDeviceOrdavinex& unit, int channel, int frequency) {
  auto horn = std::make_unique<TCDHornFilter>();
  horn->channel = channel;
  horn->frequency = frequency;
  unit.AddFilter(std::move(horn));
}

TEST(DeviceReportTest, ADefaultVirtual8148GivesTheGoldenReportAndStaysUnchanged) {
  IQ8148Type type;
  std::unique_ptr<IQDevice> device(type.CreateDevice(nullptr, nullptr));
  device->SetName("Stage");
  auto& unit = static_cast<IQDeviceOrdavinex&>(*device);
  std::ifstream golden(std::string(TELVO_FAMILYOV_GOLDEN_DIR) + "/default-8148-report.txt");
  EXPECT_EQ(Report(unit), (std::stringstream() << golden.rdbuf()).str());
  EXPECT_FALSE(unit.IsUnsaved()) << "a report changes nothing";
  EXPECT_FALSE(unit.settingsChanged);
}

TEST(DeviceReportTest, AMemorysCDHornAndCrossoversAreReportedAndUnknownMemoriesShowAsSuch) {
  auto unit = ovtest::NewVirtual<IQDevice8126>(6);
  AddHorn(*unit, 1, 1011);
  auto low = std::make_unique<TLowCrossover>();
  low->channel = unit->firstOutput + 2;
  low->frequency = 80;
  unit->SetLowCrossover(2, std::move(low));
  SetMemoryName(*unit, 3, "Band");
  gSaveMemoryObject.SaveMemory(*unit, 3);
  unit->RemoveAllFilters();
  gLogicMemoryObject.SetElement(5);
  gLogicMemoryObject.Write(*unit, 200);

  const std::string text = Report(*unit);
  const std::string memory3 = text.substr(text.find("*** Memory #3, 'Band' ***"));
  EXPECT_THAT(memory3, HasSubstr("*** Channel '2'\n   CD Horn at 1011 Hz, slope 6 dB/oct\n"));
  EXPECT_THAT(memory3, HasSubstr("*** Channel 'C'\n   Low Butterworth Crossover at 80 Hz"));
  EXPECT_EQ(text.find("CD Horn"), text.rfind("CD Horn")) << "memory 3 only";
  EXPECT_THAT(text, HasSubstr("   5     ?                0\n"));
}

// A bus unit whose memory 7 holds a CD horn, reported and then copied to a second unit and to a
// virtual unit whose images are longer.
TEST(BusReportAndCopyTest, AUnitIsReportedThroughTheDumpAndCopiedAtEachSidesImageLength) {
  ovtest::FamilyBus bus;
  IQ8126Type type;
  std::vector<std::unique_ptr<IQDevice8126>> units;
  for (const int address : {4, 5}) {
    bus.AddModelUnit(sim::familyov::Model::k8126, address);
    const IQDeviceInfo record(address, 880, 1, ovtest::ModelId('6', "1.5", false));
    units.push_back(std::make_unique<IQDevice8126>(&type, &bus.manager, &record, 6));
  }
  IQDevice8126& source = *units[0];
  auto model = ovtest::NewVirtual<IQDevice8126>(6);
  AddHorn(*model, 1, 2500);
  SetChannelLevel(*model, 0, -9.0f);
  SettingsImage image(ReadImageLength(source));
  EncodeSettingsImage(*model, image);
  WriteMemoryImage(source, 7, image);
  SetMemoryName(source, 15, "Last");
  bus.TakeTrace();

  const std::string text = Report(source);
  EXPECT_THAT(text, testing::StartsWith("Ordavinex 26 device report\n(Address 4)\n"));
  EXPECT_THAT(text, HasSubstr("\n--Unit information--\nS/N: SIM0001\nFirmware: 1.5\n"));
  const std::string memory7 = text.substr(text.find("*** Memory #7"));
  EXPECT_THAT(memory7, HasSubstr(" : -9.0dB\n"));
  EXPECT_THAT(memory7.substr(0, memory7.find("*** Memory #8")), HasSubstr("   CD Horn at 2500 Hz"));
  EXPECT_EQ(std::ranges::count(bus.TakeTrace(), "R39.15"), 183);

  CopyDeviceSettings(*units[1], source);
  const auto trace = bus.TakeTrace();
  // Memory 0 is recalled right after it is written, before memory 1 is written.
  const auto recall = std::ranges::find(trace, "W0B 00");
  const auto writes = [](int element) {
    return [prefix = "W39." + std::to_string(element) + " "](const std::string& line) {
      return line.starts_with(prefix);
    };
  };
  EXPECT_EQ(std::count_if(trace.begin(), recall, writes(0)), 183);
  EXPECT_EQ(std::count_if(trace.begin(), recall, writes(1)), 1);
  SettingsImage copied(ReadImageLength(*units[1]));
  ReadMemoryImage(*units[1], 7, copied);
  EXPECT_TRUE(std::ranges::equal(copied.Words(), image.Words()));
  EXPECT_EQ(MemoryName(*units[1], 15), "Last");

  auto longer = ovtest::NewVirtual<IQDevice8126>(6);
  gMemoryImageSizeObject.Write(*longer, 800u);
  CopyDeviceSettings(*longer, source);
  gRecallMemoryObject.RecallMemory(*longer, 7);
  EXPECT_NEAR(ChannelLevel(*longer, 0), -9.0f, 1e-4f);
  EXPECT_EQ(longer->Filters().at(0)->typeCode, kFilterCDHorn);
}

// The report command, as the unit's windows run it, on a unit that refuses a request, loses a
// reply or falls silent at its lock read, its clock events, its first memory dump or its last
// request: one report; a failed lock read stops the command before it asks for a file, and later
// failures leave a file that keeps what was read, marked as cut short when the failure ended it.
TEST(BusReportTest, AFaultAnywhereInAReportGivesOneReportAndKeepsWhatWasRead) {
  ovtest::FamilyBus bus;
  bus.port.SetRetries(0);
  IQ8126Type type;
  bus.AddModelUnit(sim::familyov::Model::k8126, 4, "1.4");
  const IQDeviceInfo record(4, 880, 1, ovtest::ModelId('6', "1.4", false));
  IQDevice8126 unit(&type, &bus.manager, &record, 6);
  QTemporaryDir folder;
  const std::string path = folder.filePath("report.txt").toStdString();
  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};
  const auto print = [&](bool asksForFile) {
    std::filesystem::remove(path);
    unit.InvalidateValues();
    if (asksForFile) script.AnswerSaveFile(path);
    ovtest::ReportedErrors().clear();
    GuardedUnitCall(unit, [&] { unit.PrintReport(); });
    std::ifstream file(path);
    return (std::stringstream() << file.rdbuf()).str();
  };
  bus.TakeTrace();
  const std::string whole = print(true);
  const std::vector<std::string> trace = bus.TakeTrace();
  ASSERT_TRUE(ovtest::ReportedErrors().empty());
  const auto first = [&](const std::string& request) {
    return 1 + static_cast<int>(
                   std::ranges::find_if(
                       trace, [&](const std::string& line) { return line.starts_with(request); }) -
                   trace.begin());
  };
  const int clockEvents = first("R3D");
  const int dumps = first("R39");
  const int lock = first("R18");
  ASSERT_LT(clockEvents, dumps);
  for (const testsupport::FaultKind& kind : testsupport::kFaultKinds) {
    for (const int request :
         {lock, clockEvents, clockEvents + 5, dumps, static_cast<int>(trace.size())}) {
      SCOPED_TRACE(std::string(kind.name) + " at request " + std::to_string(request));
      bus.bus.AddFault(kind.fault.OnOccurrence(request).Times(kind.times));
      const std::string text = print(request != lock);
      bus.bus.ClearFaults();
      EXPECT_EQ(ovtest::ReportedErrors().size(), 1u)
          << testing::PrintToString(ovtest::ReportedErrors());
      if (request == lock) {
        EXPECT_EQ(text, "");
        continue;
      }
      // Everything before the memories was read.
      if (request >= dumps) {
        EXPECT_TRUE(text.starts_with(whole.substr(0, whole.find("*** Current Settings"))));
      }
      // A refused or lost read of one clock event is passed over: the report goes on without it.
      const bool cutShort = text.ends_with("\n\n *** REPORT TERMINATED BY ERROR ***\n");
      EXPECT_TRUE(cutShort || (kind.times == 1 && request < dumps)) << text.size();
    }
  }
}

TEST(VirtualCopyTest, TheDestinationTakesEverythingItCanHoldAndTheSourceStaysAsItWas) {
  auto source = ovtest::NewVirtual<IQDevice8126>(6);
  source->firmwareVersion = 1.4f;  // 12 memories
  auto destination = ovtest::NewVirtual<IQDevice8126>(6);
  AddHorn(*source, 0, 3000);
  SetChannelLevel(*source, 3, -7.0f);
  SetMemoryName(*source, 2, "Speech");
  gSaveMemoryObject.SaveMemory(*source, 2);
  SetChannelLevel(*source, 3, -1.0f);
  gChannelNameObject.SetElement(3);
  gChannelNameObject.Write(*source, "Sub");
  SetMemoryName(*destination, 13, "Keep");
  gTimerEventObject.SetElement(0);
  gTimerEventObject.WriteTimerEvent(*source, {.day = 1, .hour = 9, .logic = 4});
  source->ReadTimerEvents();
  destination->clockPresent = false;
  source->SetModified(false);

  CopyDeviceSettings(*destination, *source);
  EXPECT_NEAR(ChannelLevel(*destination, 3), -1.0f, 1e-4f);
  EXPECT_EQ(destination->Filters().at(0)->frequency, 3000);
  gChannelNameObject.SetElement(3);
  EXPECT_EQ(gChannelNameObject.Read(*destination), "Sub");
  EXPECT_EQ(MemoryName(*destination, 2), "Speech");
  EXPECT_EQ(MemoryName(*destination, 13), "Keep") << "the source has no memory 13";
  EXPECT_EQ(destination->TimerEvents()[0].day, 0)
      << "a destination without a clock keeps its events";
  EXPECT_TRUE(destination->IsUnsaved());
  gRecallMemoryObject.RecallMemory(*destination, 2);
  EXPECT_NEAR(ChannelLevel(*destination, 3), -7.0f, 1e-4f);

  EXPECT_NEAR(ChannelLevel(*source, 3), -1.0f, 1e-4f);
  EXPECT_EQ(source->Filters().size(), 1u);
  EXPECT_FALSE(source->IsUnsaved());
}

}  // namespace
}  // namespace namespaceOV
