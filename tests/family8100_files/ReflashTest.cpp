#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "controls/DeviceErrorReport.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/Reflash8100.h"
#include "platform/ui/Message.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/familycommon/HexRecordLine.h"
#include "tests/familyov_files/FilesTestSupport.h"

using namespace namespace8100;
using sim::family8100::Model;
using testing::ElementsAre;

namespace {

// A model record for the X model: family code 624, then the re-initialise flag.
std::string ModelRecord(bool reinitialise) {
  return HexRecordLine(3, {0x02, 0x70, static_cast<uint8_t>(reinitialise)});
}

const std::string kEnd = HexRecordLine(1, {});

class OlderFamilyReflashTest : public filestest::FilesTest {
 protected:
  OlderFamilyReflashTest() {
    sim::family8100::AddFamily8100Unit(bus.bus, {.model = Model::kX, .address = 2});
    unit = testsupport8100::OnlyUnit(bus);
  }

  // Runs the reflash on `text` with every question answered OK; the last message shown.
  std::string Reflash(const std::string& text, int messages) {
    const std::string path = TempPath("firmware.ihx");
    filestest::WriteText(path, text);
    script.AnswerMessageBox(ui::kIdOk).AnswerOpenFile(path);
    for (int i = 0; i < messages; ++i) script.AnswerMessageBox(ui::kIdOk);
    ReflashUnit(*unit, nullptr);
    return script.Seen().back().text;
  }

  sim::family8100::FlashImage Flash() {
    sim::family8100::FlashImage image;
    bus.bus.WithUnit(0, [&image](sim::Unit& simulated) {
      image = dynamic_cast<sim::family8100::Family8100Unit&>(simulated).Flash();
    });
    return image;
  }

  testsupport8100::OlderFamilyBus bus;
  IQDevice8100* unit = nullptr;
};

}  // namespace

TEST_F(OlderFamilyReflashTest, EveryFileErrorNamesItsLineAndNothingReachesTheUnit) {
  std::string badChecksum = HexRecordLine(0, {1, 2});
  badChecksum[badChecksum.size() - 2] ^= 1;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {ModelRecord(false) + HexRecordLine(0, {1}) + badChecksum + kEnd,
       "Checksum error in line 3."},
      {ModelRecord(false) + HexRecordLine(0, {1}), "Unexpected EOF in line 3"},
      {ModelRecord(false) + HexRecordLine(2, {0, 0}) + kEnd, "Illegal record type in line 2."},
      {HexRecordLine(0, {1}) + kEnd, "File format error."},
      {HexRecordLine(3, {0x01, 0xF0, 0}) + kEnd,
       "This file is not the correct firmware for this model."},
      {ModelRecord(false) + HexRecordLine(0, std::vector<uint8_t>(65, 0xAA)) + kEnd,
       "Record too long in line 2."},
      {HexRecordLine(3, {0x02, 0x70}) + kEnd, "Record too short in line 1."},
      {HexRecordLine(4, {0x01}) + kEnd, "Record too short in line 1."},
      {ModelRecord(false) + ":02000000G1FE\n" + kEnd, "Illegal character in line 2."},
      {ModelRecord(false) + kEnd + "anything\n", "Text after the end-of-file record in line 3."},
  };
  for (const auto& [text, message] : cases) {
    EXPECT_EQ(Reflash(text, 1), message);
  }
  EXPECT_TRUE(bus.TakeTrace().empty());
}

TEST_F(OlderFamilyReflashTest, FirmwareCutShortByAnEmptyDataRecordIsToldBeforeAnythingIsSent) {
  const std::string path = TempPath("cut.ihx");
  filestest::WriteText(path, ModelRecord(false) + HexRecordLine(0, {1}) + HexRecordLine(0, {}) +
                                 HexRecordLine(0, {2}) + kEnd);
  script.AnswerMessageBox(ui::kIdOk).AnswerOpenFile(path).AnswerMessageBox(ui::kIdCancel);
  ReflashUnit(*unit, nullptr);
  EXPECT_EQ(script.Seen().back().text,
            "The firmware in this file is cut short: line 3 holds a data record without data, and "
            "the 2 records after it will not be sent.  A unit given incomplete firmware may not "
            "work.  Continue?");
  EXPECT_TRUE(bus.TakeTrace().empty());
}

// The records end at the end-of-file record, or at a data record without data, which ends the
// reading as the end-of-file record does (an empty block reaching the unit): either way the unit is
// initialised and rebooted as the model record asks.
TEST_F(OlderFamilyReflashTest, TheUnitIsErasedProgrammedBlockByBlockAndRebooted) {
  const std::vector<uint8_t> withZeros = {0x00, 0x11, 0x00, 0x22};
  const std::pair<std::string, std::size_t> endings[] = {{kEnd, 2u}, {HexRecordLine(0, {}), 3u}};
  for (const auto& [ending, blocks] : endings) {
    SCOPED_TRACE(ending);
    const sim::family8100::FlashImage before = Flash();
    const std::string text = ModelRecord(true) + HexRecordLine(0, withZeros, 0x1234) +
                             HexRecordLine(4, {0x00, 0x01}) +
                             HexRecordLine(0, std::vector<uint8_t>(64, 0x5A)) + ending;
    // The warning, the file, the re-initialise question, the last question, the result.
    EXPECT_EQ(Reflash(text, 3),
              "Device reprogrammed successfully.  Please close device window and perform "
              "roll-call.");
    const sim::family8100::FlashImage flash = Flash();
    ASSERT_EQ(flash.blocks.size(), blocks);
    EXPECT_EQ(flash.blocks[0].first, 0u);
    EXPECT_EQ(flash.blocks[0].second, withZeros);
    EXPECT_EQ(flash.blocks[1].first, 0x10000u);
    EXPECT_EQ(flash.blocks[1].second.size(), 64u);
    EXPECT_EQ(flash.initialisations - before.initialisations, 1);
    EXPECT_EQ(flash.reboots - before.reboots, 2);
  }
}

TEST(OlderFamilyReflashWaitTest, AUnitThatStaysBusyEndsTheReflashWithAnError) {
  QTemporaryDir folder;
  ui::PromptScript script(filestest::FailTest);
  testsupport8100::OlderFamilyBus bus;
  // After every set the unit stays busy far longer than the bound allows.
  sim::family8100::AddFamily8100Unit(bus.bus,
                                     {.model = Model::kX, .address = 2, .busyPolls = 1000});
  IQDevice8100* unit = testsupport8100::OnlyUnit(bus);
  ReadyBound bound;
  bound.maxPolls = 3;
  unit->SetReadyBound(bound);
  std::vector<std::string> reported;
  controls::SetDeviceErrorReporter(
      [&reported](const IQException& e, IQDevice*, int) { reported.push_back(e.GetText()); });

  const std::string path = folder.path().toStdString() + "/firmware.ihx";
  filestest::WriteText(path, ModelRecord(false) + HexRecordLine(0, {1}) + kEnd);
  script.AnswerMessageBox(ui::kIdOk).AnswerOpenFile(path);
  script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
  ReflashUnit(*unit, nullptr);
  controls::SetDeviceErrorReporter(nullptr);
  EXPECT_THAT(reported, ElementsAre(kNotReadyText));
  EXPECT_EQ(script.Seen().back().text,
            "An error occurred during reflash.  Your unit may be corrupted.If so, contact "
            "technical support at Telvo Instruments.");
}
