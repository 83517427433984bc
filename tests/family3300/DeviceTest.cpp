#include <gtest/gtest.h>

#include <memory>

#include "family3300/Labels3300.h"
#include "family3300/Parameters3300.h"
#include "platform/ui/Message.h"
#include "platform/ui/Prompts.h"
#include "tests/family3300/EqTestSupport.h"

using namespace namespace3300;
using sim::family3300::Model;

namespace {

using DeviceTest = eqtest::EqFixture;

IQDeviceInfo Record(char model) {
  const uint8_t id[8] = {static_cast<uint8_t>(model), '0', '1', '.', '2', '0'};
  return IQDeviceInfo(7, kFamilyCode3300, 1, id);
}

TEST_F(DeviceTest, EachTypeTakesOnlyItsOwnModelsRecords) {
  const IQDeviceInfo two = Record('2');
  const IQDeviceInfo one = Record('1');
  const IQDeviceInfo other(7, 368, 1);
  EXPECT_EQ(oneChannel.CreateDevice(&manager, &two), nullptr);
  EXPECT_EQ(twoChannel.CreateDevice(&manager, &one), nullptr);
  EXPECT_EQ(oneChannel.CreateDevice(&manager, &other), nullptr);
  std::unique_ptr<IQDevice> a(twoChannel.CreateDevice(&manager, &two));
  std::unique_ptr<IQDevice> b(oneChannel.CreateDevice(&manager, &one));
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(dynamic_cast<IQDevice3300&>(*a).IsTwoChannel());
  EXPECT_FALSE(dynamic_cast<IQDevice3300&>(*b).IsTwoChannel());
  EXPECT_TRUE(a->IsOnline());
}

TEST_F(DeviceTest, AVirtualUnitStartsWithTheDefaultsInItsSettingsAndEveryMemory) {
  IQDevice3300& unit = *NewVirtual(Model::k3300_2XL);
  EXPECT_FALSE(unit.IsModified());
  EXPECT_EQ(g3300UnitName.Read(unit), "---------");
  EXPECT_FALSE(unit.IsLocked());
  SettingsImage current{};
  unit.SnapshotSettings(current, SnapshotMode::kRead);
  for (int channel = 0; channel < 2; ++channel) {
    const uint8_t* bytes = current.data() + channel * kChannelImageBytes;
    for (int band = 0; band < kBandCount; ++band) EXPECT_EQ(bytes[band], 20);
    EXPECT_EQ(bytes[28] + bytes[29] + bytes[30] + bytes[31], 0);  // corners, gain, mute
    EXPECT_EQ(bytes[32], 1);                                      // equaliser in
  }
  for (int number = 1; number <= kMemoryCount; ++number) {
    EXPECT_EQ(MemoryName3300(number).Read(unit), "---------");
    EXPECT_EQ(unit.MemoryImage(number), current) << number;
  }
  // A one-channel unit's image holds channel A only.
  SettingsImage image;
  image.fill(0xAA);
  NewVirtual(Model::k3300XL)->SnapshotSettings(image, SnapshotMode::kRead);
  EXPECT_EQ(image[0], 20);
  for (std::size_t i = kChannelImageBytes; i < image.size(); ++i) EXPECT_EQ(image[i], 0xAA);
}

TEST_F(DeviceTest, AStoredNameLeavesNoTailOfALongerOne) {
  IQDevice3300& unit = *NewVirtual(Model::k3300XL);
  const std::string fifteen = "ABCDEFGHIJKLMNO";
  MemoryName3300(10).Write(unit, fifteen);  // fits with its terminator
  EXPECT_EQ(MemoryName3300(10).Read(unit), fifteen);
  MemoryName3300(10).Write(unit, "XY");
  EXPECT_EQ(MemoryName3300(10).Read(unit), "XY");
  g3300UnitName.Write(unit, fifteen);
  g3300UnitName.Write(unit, "Hall");
  EXPECT_EQ(g3300UnitName.Read(unit), "Hall");
}

TEST_F(DeviceTest, ErrorCodesPastTheTableAreNamedByNumber) {
  IQDevice3300& unit = *NewVirtual(Model::k3300XL);
  EXPECT_EQ(unit.GetErrorText(0), "Invalid Object ID");
  EXPECT_EQ(unit.GetErrorText(9), "Wrong password");
  EXPECT_EQ(unit.GetErrorText(15), "Code 15");
  EXPECT_EQ(unit.GetErrorText(16), "Unknown error code 16");
  EXPECT_EQ(unit.GetErrorText(255), "Unknown error code 255");
}

TEST_F(DeviceTest, FirmwareTextDropsLeadingZerosAndReads0100As400) {
  auto text = [](const char* version) {
    uint8_t id[8] = {'2'};
    for (int i = 0; i < 5 && version[i]; ++i) id[i + 1] = static_cast<uint8_t>(version[i]);
    return FirmwareVersionText3300(IQDeviceInfo(1, kFamilyCode3300, 1, id));
  };
  EXPECT_EQ(text("01.00"), "4.00");
  EXPECT_EQ(text("01.20"), "1.20");
  EXPECT_EQ(text("00.90"), ".90");
}

TEST_F(DeviceTest, BusListTextNamesTheUnitOrSaysItIsLocked) {
  AddUnit(Model::k3300XL, 7, "Foyer EQ");
  IQDevice3300& unit = *RollCall().at(0);
  std::string text;
  ASSERT_TRUE(unit.GetListText(text));
  EXPECT_EQ(text, "(7) Foyer EQ");
  g3300Lock.Write(unit, true);
  ASSERT_TRUE(unit.GetListText(text));
  EXPECT_EQ(text, "(7) LOCKED");
  EXPECT_FALSE(NewVirtual(Model::k3300XL)->GetListText(text));
}

TEST_F(DeviceTest, BusMemoriesAreStoredAndRecalledByTheUnit) {
  AddUnit(Model::k3300_2XL, 3);
  IQDevice3300& unit = *RollCall().at(0);
  g3300GainB.Write(unit, 12);
  unit.UseMemory(2, MemoryOperation::kStore);
  g3300GainB.Write(unit, 0);
  unit.UseMemory(2, MemoryOperation::kRecall);
  EXPECT_EQ(g3300GainB.Read(unit), 12);
  EXPECT_EQ(TakeTrace(), (std::vector<std::string>{"W07 0C", "W11 02", "W12 00", "W07 00", "W11 02",
                                                   "W12 01", "R07"}));
}

TEST_F(DeviceTest, ALockedUnitRefusesFilesAndReportBeforeAnyDialog) {
  AddUnit(Model::k3300XL, 4);
  IQDevice3300& unit = *RollCall().at(0);
  g3300Lock.Write(unit, true);
  ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
  script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
  EXPECT_FALSE(unit.LoadFile());
  EXPECT_FALSE(unit.SaveFile());
  EXPECT_FALSE(unit.PrintReport());
  ASSERT_EQ(script.Seen().size(), 3u);
  for (const ui::Prompt& prompt : script.Seen()) {
    EXPECT_EQ(prompt.kind, ui::PromptKind::MessageBox);
    EXPECT_EQ(prompt.text, "Device is locked.");
  }
  EXPECT_EQ(script.Seen()[0].caption, "Load file");
  EXPECT_EQ(script.Seen()[1].caption, "Save to file");
  EXPECT_EQ(script.Seen()[2].caption, "Print to file");
}

}  // namespace
