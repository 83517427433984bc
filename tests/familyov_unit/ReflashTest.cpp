// A reflash from the user's first answer to the unit's reboot, through the pseudo-terminal to the
// simulated unit, with the prompts and the file dialog answered by script.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/Reflash.h"
#include "platform/ui/Message.h"
#include "platform/ui/Prompts.h"
#include "sim/Fault.h"
#include "tests/familycommon/HexRecordLine.h"
#include "tests/familyov_unit/GuiTestEnvironment.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

using sim::familyov::Model;

// The reflash needs the application for its prompts and its progress dialog.
const auto* const kEnvironment = ovtest::AddGuiEnvironment("familyov_unit_tests");

std::string ModelLine(uint32_t family, bool reinitialise, int versionTenths) {
  return HexRecordLine(3,
                       {static_cast<uint8_t>(family >> 8), static_cast<uint8_t>(family),
                        static_cast<uint8_t>(reinitialise), static_cast<uint8_t>(versionTenths)});
}

const std::string kEndLine = ":00000001FF\n";

std::vector<std::string> Matching(const std::vector<std::string>& trace, const std::string& start) {
  std::vector<std::string> found;
  std::ranges::copy_if(trace, std::back_inserter(found),
                       [&](const std::string& line) { return line.starts_with(start); });
  return found;
}

class ReflashTest : public testing::Test {
 protected:
  ReflashTest() {
    ovtest::ReportedErrors().clear();
    // A silent poll costs one reply time-out, not several.
    bus.port.SetRetries(0);
    // A 2-input unit at firmware 1.4 (12 memories) that the reflash takes to 1.5, and an 8148.
    sim::familyov::AddFamilyOvUnit(
        bus.bus,
        {.model = Model::k8124, .address = 4, .firmware = "1.4", .reflashedFirmware = "1.5"});
    sim::familyov::AddFamilyOvUnit(bus.bus, {.model = Model::k8148, .address = 5});
    const auto found = bus.RollCall({&type8124, &type8148});
    unit8124 = &dynamic_cast<IQDeviceOrdavinex&>(*found.at(0));
    unit8148 = &dynamic_cast<IQDeviceOrdavinex&>(*found.at(1));
  }

  // Runs the reflash of the file, answering OK to the warning, the `confirmations` questions
  // after the file and the `messagesAfter` messages that end it; returns every prompt seen.
  std::vector<ui::Prompt> Reflash(IQDeviceOrdavinex& unit, const std::string& text,
                                  int confirmations, int messagesAfter) {
    std::ofstream(path) << text;
    ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
    script.AnswerMessageBox(ui::kIdOk).AnswerOpenFile(path);
    for (int i = 0; i < confirmations + messagesAfter; ++i) script.AnswerMessageBox(ui::kIdOk);
    ReflashUnit(unit, nullptr);
    return script.Seen();
  }

  ~ReflashTest() override { std::remove(path.c_str()); }

  // The test cases run as processes side by side: each writes its firmware file of its own.
  const std::string path = testing::TempDir() + "firmware-" + std::to_string(::getpid()) + ".ihx";
  ovtest::FamilyBus bus;
  IQ8124Type type8124;
  IQ8148Type type8148;
  IQDeviceOrdavinex* unit8124 = nullptr;
  IQDeviceOrdavinex* unit8148 = nullptr;
};

TEST_F(ReflashTest, TheFirmwareArrivesWholeAndNewFirmwareGetsItsMemories) {
  // Firmware holds zero bytes, and records longer than the unit's data object.
  std::vector<uint8_t> longRecord(80);
  for (std::size_t i = 0; i < longRecord.size(); ++i) longRecord[i] = static_cast<uint8_t>(i);
  const std::vector<uint8_t> shortRecord = {0x00, 0x11, 0x00, 0x22};
  const auto prompts = Reflash(
      *unit8124,
      ModelLine(kFamilyCode2Input, false, 15) + HexRecordLine(4, {0x00, 0x01}) +
          HexRecordLine(0, longRecord) + HexRecordLine(0, longRecord, 80) +
          HexRecordLine(0, shortRecord, 160) + HexRecordLine(0, shortRecord, 164) + kEndLine,
      1, 1);
  ASSERT_EQ(prompts.size(), 4u);
  EXPECT_EQ(prompts[3].text,
            "Device reprogrammed successfully.  Please close device window and perform roll-call.");
  EXPECT_TRUE(ovtest::ReportedErrors().empty());

  const auto trace = bus.TakeTrace();
  EXPECT_EQ(trace.front(), "W02 01");
  // The count goes before a block of another length only.
  EXPECT_EQ(Matching(trace, "W4D"),
            (std::vector<std::string>{"W4D 40", "W4D 10", "W4D 40", "W4D 10", "W4D 04"}));
  std::vector<sim::familyov::FlashRecord> blocks;
  bus.bus.WithUnit(0, [&](sim::Unit& unit) {
    blocks = static_cast<sim::familyov::FamilyOvUnit&>(unit).FlashRecords();
  });
  const auto piece = [&](int from, int to) {
    return std::vector<uint8_t>(longRecord.begin() + from, longRecord.begin() + to);
  };
  const std::vector<sim::familyov::FlashRecord> expected = {
      {0x10000, piece(0, 64)},  {0x10040, piece(64, 80)}, {0x10050, piece(0, 64)},
      {0x10090, piece(64, 80)}, {0x100A0, shortRecord},   {0x100A4, shortRecord}};
  EXPECT_EQ(blocks, expected);

  // Memories 13 to 15, which the new firmware brings, get their names and the settings.
  EXPECT_EQ(Matching(trace, "W0A"), (std::vector<std::string>{"W0A 0D", "W0A 0E", "W0A 0F"}));
  const auto name = bus.bus.Element(0, 0x19, 14);
  EXPECT_EQ(std::string(name.begin(), name.begin() + 9), "Memory 15");
  EXPECT_EQ(Matching(trace, "W00"), std::vector<std::string>{});

  // The roll call the user runs next finds the new firmware.
  bus.manager.RemoveBusDevices();
  const auto found = bus.RollCall({&type8124});
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(dynamic_cast<IQDeviceOrdavinex&>(*found[0]).GetMemoryCount(), 15);
}

TEST_F(ReflashTest, AReinitialisingFileAsksFirstAndInitialisesBeforeTheReboot) {
  gChannelLevelObject.SetElement(0);
  gChannelLevelObject.Write(*unit8148, -12.0f);
  const auto prompts = Reflash(
      *unit8148, ModelLine(kFamilyCode8148, true, 16) + HexRecordLine(0, {1, 2}) + kEndLine, 2, 1);
  ASSERT_EQ(prompts.size(), 5u);
  EXPECT_EQ(prompts[2].text,
            "Unit will be re-initialized after reflash.  You will lose all current settings.  "
            "Continue?");
  const auto trace = bus.TakeTrace();
  const auto step = [&](const std::string& line) {
    return std::ranges::find(trace, line) - trace.begin();
  };
  EXPECT_LT(step("W05 0102"), step("W00 01"));
  EXPECT_LT(step("W00 01"), step("W01 01"));
  EXPECT_EQ(std::ranges::count(trace, "W01 01"), 2);
  // The 8148 keeps its memories whatever the firmware.
  EXPECT_EQ(Matching(trace, "W0A"), std::vector<std::string>{});
  // Unity gain again.
  EXPECT_EQ(bus.bus.Element(1, 0x1B, 0), (std::vector<uint8_t>{0x3F, 0x80, 0x00, 0x00}));
}

TEST_F(ReflashTest, AFileThatIsNotForTheUnitNeverReachesIt) {
  const auto prompts =
      Reflash(*unit8148,
              ModelLine(kFamilyCode2Input, false, 15) + HexRecordLine(0, {1, 2}) + kEndLine, 0, 1);
  EXPECT_EQ(prompts.back().text, "This file is not the correct firmware for this model.");
  EXPECT_EQ(prompts.back().caption, "Reflash");
  const std::string model = ModelLine(kFamilyCode8148, false, 15);
  EXPECT_EQ(Reflash(*unit8148, model + ":02000000AABB98\n" + kEndLine, 0, 1).back().text,
            "Checksum error in line 2.");
  // Cancelled at the last question.
  std::ofstream(path) << model + kEndLine;
  ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
  script.AnswerMessageBox(ui::kIdOk).AnswerOpenFile(path).AnswerMessageBox(ui::kIdCancel);
  ReflashUnit(*unit8148, nullptr);
  // None of the three reached the unit.
  EXPECT_TRUE(bus.TakeTrace().empty());
}

TEST_F(ReflashTest, FirmwareCutShortByAnEmptyDataRecordIsToldBeforeAnythingIsSent) {
  const std::string cut = ModelLine(kFamilyCode8148, false, 15) + HexRecordLine(0, {1, 2}) +
                          HexRecordLine(0, {}) + HexRecordLine(0, {3, 4}) +
                          HexRecordLine(0, {5, 6}) + kEndLine;
  std::ofstream(path) << cut;
  {
    ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
    script.AnswerMessageBox(ui::kIdOk).AnswerOpenFile(path).AnswerMessageBox(ui::kIdCancel);
    ReflashUnit(*unit8148, nullptr);
    const ui::Prompt& warning = script.Seen().back();
    EXPECT_EQ(warning.text,
              "The firmware in this file is cut short: line 3 holds a data record without data, "
              "and the 3 records after it will not be sent.  A unit given incomplete firmware "
              "may not work.  Continue?");
    EXPECT_EQ(warning.caption, "Reflash");
  }
  EXPECT_TRUE(bus.TakeTrace().empty());

  // Told, the user may still go on: the unit gets what stands before the empty record.
  EXPECT_EQ(Reflash(*unit8148, cut, 2, 1).back().text.substr(0, 25), "Device reprogrammed succe");
  std::vector<sim::familyov::FlashRecord> blocks;
  bus.bus.WithUnit(1, [&](sim::Unit& unit) {
    blocks = static_cast<sim::familyov::FamilyOvUnit&>(unit).FlashRecords();
  });
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].bytes, (std::vector<uint8_t>{1, 2}));
}

TEST_F(ReflashTest, BusFailuresAreReportedAndASilentRebootIsWaitedFor) {
  const std::string firmware =
      ModelLine(kFamilyCode8148, false, 15) + HexRecordLine(0, {1, 2}) + kEndLine;
  // Refused before the erase: reported, and nothing else goes to the unit.
  bus.bus.AddFault(sim::Fault::ErrorObject(7).ForObject(0x02));
  Reflash(*unit8148, firmware, 1, 0);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  EXPECT_EQ(Matching(bus.TakeTrace(), "W03"), std::vector<std::string>{});

  // Refused while programming: reported, and the user is told the unit may be corrupted.
  bus.bus.ClearFaults();
  bus.bus.AddFault(sim::Fault::ErrorObject(7).ForObject(0x05));
  EXPECT_EQ(Reflash(*unit8148, firmware, 1, 1).back().text,
            "An error occurred during reflash.  Your unit may be corrupted.If so, contact "
            "technical support at Telvo Instruments.");
  EXPECT_EQ(ovtest::ReportedErrors().size(), 2u);

  // The reboot's answer lost and the first ready poll after it unanswered: still a success.
  bus.bus.ClearFaults();
  bus.bus.AddFault(sim::Fault::Silence().ForObject(0x01));
  // Polls 1 to 3 wait for the erase.
  bus.bus.AddFault(sim::Fault::Silence().ForObject(0x06).OnOccurrence(4));
  EXPECT_EQ(Reflash(*unit8148, firmware, 1, 1).back().text.substr(0, 25),
            "Device reprogrammed succe");
  EXPECT_EQ(ovtest::ReportedErrors().size(), 2u);
}

}  // namespace
}  // namespace namespaceOV
