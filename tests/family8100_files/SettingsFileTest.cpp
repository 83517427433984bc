#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "bus/SettingsTextFile.h"
#include "controls/DeviceErrorReport.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/SettingsFile8100.h"
#include "family8100/unit/TMemorySelectDialog.h"
#include "family8100/unit/Types8100.h"
#include "platform/registry/Store.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/TestHooks.h"
#include "resources/ControlsResources.h"
#include "resources/Family8100Ids.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/familyov_files/FilesTestSupport.h"

using namespace namespace8100;
using filestest::GoldenPath;
using filestest::ReadText;
using filestest::SameText;
using filestest::WriteText;
using sim::family8100::Model;
using testing::ElementsAre;

namespace {

class OlderFamilyResources : public ::testing::Environment {
 public:
  void SetUp() override {
    f8100res::RegisterFamily8100Resources();
    controls_res::RegisterControlsResources();
  }
};
const auto* const kResources = ::testing::AddGlobalTestEnvironment(new OlderFamilyResources);

constexpr uint32_t kNoMemories = 0;

template <typename Device>
std::unique_ptr<IQDevice8100> VirtualUnit(const std::string& name) {
  auto unit = std::make_unique<Device>(nullptr, nullptr, nullptr);
  unit->SetName(name);
  return unit;
}

class OlderFamilyFileTest : public filestest::FilesTest {
 protected:
  std::string Saved(IQDevice8100& unit, uint32_t memories) {
    const std::string path = TempPath("saved.ov0");
    SettingsTextFile file;
    EXPECT_TRUE(file.Open(path, SettingsTextFile::kWrite));
    WriteSettingsFile(unit, file, memories);
    EXPECT_TRUE(file.Close());
    return ReadText(path);
  }

  // Loads the text with every memory it holds.
  void Load(IQDevice8100& unit, const std::string& text) {
    const std::string path = TempPath("loaded.ov0");
    WriteText(path, text);
    SettingsTextFile file;
    ASSERT_TRUE(file.Open(path, SettingsTextFile::kRead));
    ASSERT_TRUE(IsSettingsFile(file));
    const SettingsLoad load = ReadSettingsFile(unit, file);
    ApplySettingsLoad(unit, load, load.Memories());
  }

  static std::string Golden(const std::string& name) { return ReadText(GoldenPath(name)); }
};

std::vector<std::string> Described(const IQDevice8100& unit) {
  std::vector<std::string> lines;
  for (const auto& filter : unit.Filters()) lines.push_back(filter->Describe());
  return lines;
}

}  // namespace

TEST_F(OlderFamilyFileTest, ANewVirtualUnitOfEachModelSavesAsItsGoldenFileAndLoadsBack) {
  struct Case {
    std::unique_ptr<IQDevice8100> unit;
    uint32_t memories;
    const char* golden;
  };
  Case cases[] = {
      {VirtualUnit<IQDevice8100>("Default"), kNoMemories, "default-ordavinex.ov0"},
      {VirtualUnit<IQDevice8100Plus>("Stage"), 0x1, "example-ordavinex-plus.ov0"},
      {VirtualUnit<IQDevice8100X>("Default"), 0x2, "default-ordavinex-x.ov0"},
      {VirtualUnit<IQDevice8100RT>("Default"), kNoMemories, "default-ordavinex-rune-tide.ov0"}};
  for (Case& c : cases) {
    SCOPED_TRACE(c.golden);
    EXPECT_TRUE(SameText(Saved(*c.unit, c.memories), Golden(c.golden)));
    EXPECT_EQ(g8100BulkMute.Read(*c.unit), true);

    // Changed, then loaded: the file's values come back, and save as the same file again.
    g8100LeftAttenuation.Write(*c.unit, 17);
    g8100RightDelay.Write(*c.unit, 480);
    c.unit->RemoveFilters();
    c.unit->SetName("Other");
    g8100PresetIndex.Write(*c.unit, 4);
    c.unit->SetPresetMapEntry(9);
    Load(*c.unit, Golden(c.golden));
    EXPECT_EQ(c.unit->GetName(),
              c.golden == std::string("example-ordavinex-plus.ov0") ? "Stage" : "Default");
    EXPECT_TRUE(SameText(Saved(*c.unit, c.memories), Golden(c.golden)));
  }
}

TEST_F(OlderFamilyFileTest, AListThatFillsTheBudgetLoadsWholeAndLongNamesAreCutToFit) {
  std::string text =
      "[Device Type]\n\"Standard\" \n[Interface Name]\n\"A name far too long for "
      "the unit\" \n[Current Settings]\n[Globals]\n255 0 1 0 16777217 \n[Delay]\n16383 "
      "0 \n[Filters]\n18 \n";
  // Seventeen of the largest low-pass filters (68 sections) and one of one section fit in 70.
  for (int i = 0; i < 17; ++i) text += "4 3 15000 8 \n";
  text += "3 1 1000 -3.0 2.0 \n";
  text += "[Preset map]\n1 7 3 4 5 6 7 8 9 10 11 12 \n\n// End of file\n";
  auto unit = VirtualUnit<IQDevice8100Plus>("Unit");
  Load(*unit, text);
  EXPECT_EQ(unit->GetName(), "A name far too");
  EXPECT_EQ(g8100LeftAttenuation.Read(*unit), 255);
  EXPECT_TRUE(g8100LeftMute.Read(*unit));
  EXPECT_EQ(g8100LeftDelay.Read(*unit), 16383u);
  EXPECT_EQ(unit->Filters().size(), 18u);
  EXPECT_EQ(unit->UsedSections(), 69);
  EXPECT_EQ(unit->Filters().back()->Describe(), "Parametric at 1000 Hz, -3.0 dB, Q 2.0\n");
  std::vector<int> presets;
  for (uint8_t preset = 1; preset <= 12; ++preset) {
    g8100PresetIndex.Write(*unit, preset);
    presets.push_back(unit->GetPresetMapEntry());
  }
  EXPECT_THAT(presets, ElementsAre(1, 7, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12));
}

TEST_F(OlderFamilyFileTest, SectionsAreFoundByTheirWholeNameAndOnlyForTheModel) {
  auto x = VirtualUnit<IQDevice8100X>("X");
  auto low = std::make_unique<TLowCrossoverFilter>();
  low->bank = kLeftOutputBank;
  low->frequency = 300;
  x->PlaceFilter(std::move(low));
  auto highpass = std::make_unique<THighpassFilter>();
  highpass->bank = kRightInputBank;
  highpass->frequency = 50;
  x->PlaceFilter(std::move(highpass));
  g8100LeftPolarity.Write(*x, true);
  g8100LeftDelay.Write(*x, 96);
  x->SaveMemory(10);
  x->RemoveFilters();
  g8100LeftDelay.Write(*x, 0);
  const std::string saved = Saved(*x, 1U << 9);

  // Memory 10's sections are no memory 1's.
  auto plus = VirtualUnit<IQDevice8100Plus>("Plus");
  const std::string path = TempPath("x.ov0");
  WriteText(path, saved);
  SettingsTextFile file;
  ASSERT_TRUE(file.Open(path, SettingsTextFile::kRead));
  const SettingsLoad load = ReadSettingsFile(*plus, file);
  EXPECT_EQ(load.Memories(), 1U << 9);
  ApplySettingsLoad(*plus, load, 0xFFF);
  plus->RestoreMemory(10);
  EXPECT_EQ(g8100LeftDelay.Read(*plus), 96u);
  EXPECT_THAT(Described(*plus), ElementsAre("Highpass at 50 Hz, slope -12 dB/oct\n"));
  // An X file into a Plus unit: no crossover, no polarity.
  EXPECT_EQ(plus->LowCrossover(), nullptr);
  EXPECT_FALSE(g8100LeftPolarity.Read(*plus));

  auto otherX = VirtualUnit<IQDevice8100X>("X");
  Load(*otherX, saved);
  otherX->RestoreMemory(10);
  ASSERT_NE(otherX->LowCrossover(), nullptr);
  EXPECT_EQ(otherX->LowCrossover()->frequency, 300);
  EXPECT_TRUE(g8100LeftPolarity.Read(*otherX));
}

TEST(OlderFamilyBusFileTest, SavingABusUnitPutsItsSettingsBackAlsoAfterAFailure) {
  QTemporaryDir folder;
  testsupport8100::OlderFamilyBus bus;
  sim::family8100::AddFamily8100Unit(bus.bus, {.model = Model::kX, .address = 3});
  IQDevice8100* unit = testsupport8100::OnlyUnit(bus);
  auto parametric = std::make_unique<TParametricFilter>();
  parametric->bank = kLeftInputBank;
  parametric->frequency = 700;
  TFilter& placed = unit->PlaceFilter(std::move(parametric));
  placed.WriteToUnit(*unit);
  placed.SetUnitFlag(*unit);
  g8100RightAttenuation.Write(*unit, 8);
  const SettingsRecord before = unit->ReadSettingsRecord();

  const std::string path = folder.path().toStdString() + "/bus.ov0";
  {
    SettingsTextFile file;
    ASSERT_TRUE(file.Open(path, SettingsTextFile::kWrite));
    WriteSettingsFile(*unit, file, 0x7);
    ASSERT_TRUE(file.Close());
  }
  unit->ResetValueStore();
  unit->ReadAllParameters();
  EXPECT_EQ(unit->ReadSettingsRecord(), before);
  EXPECT_THAT(Described(*unit), ElementsAre("Parametric at 700 Hz, 0.0 dB, Q 0.0\n"));
  const std::string saved = ReadText(path);
  EXPECT_NE(saved.find("[Settings Memory 3]"), std::string::npos);
  EXPECT_EQ(saved.find("[Settings Memory 4]"), std::string::npos);

  // The recall of memory 3 fails: the unit gets its settings back and its audio on.
  bus.bus.AddFault(
      sim::Fault::ErrorObject(7).ForObject(15).ForOpcode(sim::kOpcodeSet).OnOccurrence(3));
  SettingsTextFile file;
  ASSERT_TRUE(file.Open(path, SettingsTextFile::kWrite));
  EXPECT_THROW(WriteSettingsFile(*unit, file, 0x7), ErrorObject);
  bus.bus.ClearFaults();
  unit->ResetValueStore();
  unit->ReadAllParameters();
  EXPECT_EQ(unit->ReadSettingsRecord(), before);
  EXPECT_THAT(Described(*unit), ElementsAre("Parametric at 700 Hz, 0.0 dB, Q 0.0\n"));
  EXPECT_TRUE(g8100BulkMute.Read(*unit));
}

TEST(OlderFamilyMemorySelectTest, OkTakesTheTickedBoxesAndOnlyOfferedOnesCanBeTicked) {
  ui::PromptScript script(filestest::FailTest);
  script.RunDialog(f8100res::kMemorySelectDialog, [](ui::Dialog& dialog) {
    EXPECT_FALSE(ui::test::ControlOf(dialog, f8100res::kFirstMemoryCheck + 1).IsEnabled());
    ui::test::Click(dialog, f8100res::kFirstMemoryCheck);  // memory 1 off
    ui::test::Click(dialog, ui::kIdOk);
  });
  EXPECT_EQ(ChooseMemories(0x0805, "Note", true), 0x0804u);
  script.RunDialog(f8100res::kMemorySelectDialog,
                   [](ui::Dialog& dialog) { dialog.CloseWindow(ui::kIdCancel); });
  EXPECT_EQ(ChooseMemories(0x0805, "Note", false), 0x0805u);
}

TEST_F(OlderFamilyFileTest, SaveKeepsTheUnsavedMarkUnlessTheFileIsWrittenAndSaysWhyNot) {
  registry::Store store;
  IQ8100PlusType type;
  type.SetRegistryKey(store.Root());
  IQDevice8100Plus unit(&type, nullptr, nullptr);
  unit.SetName("Stage");
  g8100LeftAttenuation.Write(unit, 2);
  ASSERT_TRUE(unit.IsUnsaved());
  const auto tickMemoryOne = [](ui::Dialog& dialog) {
    ui::test::Click(dialog, f8100res::kFirstMemoryCheck);
    ui::test::Click(dialog, ui::kIdOk);
  };

  // Cancelled: no file, still unsaved.
  script.AnswerSaveFile(std::nullopt);
  EXPECT_FALSE(unit.SaveFile());
  EXPECT_TRUE(unit.IsUnsaved());

  // Locked: refused before any file is asked for.
  g8100Password.Write(unit, "KEY");
  g8100Locked.Write(unit, true);
  script.AnswerMessageBox(ui::kIdOk);
  EXPECT_FALSE(unit.SaveFile());
  EXPECT_EQ(script.Seen().back().text, "Device is locked.");
  g8100Password.Write(unit, "KEY");

  // Not written: the old file stays, the mark too, and the user is told.
  const std::string path = TempPath("stage.ov0");
  WriteText(path, "old");
  script.AnswerSaveFile(TempPath("missing/folder/stage.ov0"))
      .RunDialog(f8100res::kMemorySelectDialog, tickMemoryOne)
      .AnswerMessageBox(ui::kIdOk);
  EXPECT_FALSE(unit.SaveFile());
  EXPECT_EQ(script.Seen().back().text, "Could not open file: No such file or directory");
  unit.SetName("Sta\"ge");
  script.AnswerSaveFile(path)
      .AnswerMessageBox(ui::kIdYes)
      .RunDialog(f8100res::kMemorySelectDialog, tickMemoryOne)
      .AnswerMessageBox(ui::kIdOk);
  EXPECT_FALSE(unit.SaveFile());
  EXPECT_EQ(script.Seen().back().text.rfind("The settings were not saved.", 0), 0u);
  EXPECT_TRUE(unit.IsUnsaved());
  EXPECT_EQ(ReadText(path), "old");
  unit.SetName("Stage");

  // Written: the mark goes and the choice of memories is remembered.
  script.AnswerSaveFile(path)
      .AnswerMessageBox(ui::kIdYes)
      .RunDialog(f8100res::kMemorySelectDialog, tickMemoryOne);
  EXPECT_TRUE(unit.SaveFile());
  EXPECT_FALSE(unit.IsUnsaved());
  EXPECT_EQ(type.Key().ReadMemoryMask(FamilyKey8100::kFileSave), 0x1u);
  EXPECT_NE(ReadText(path).find("[Settings Memory 1]"), std::string::npos);
}

// A unit that fails during a save is reported as a device error naming the unit, not as a file
// that could not be written; the old file stays.
TEST_F(OlderFamilyFileTest, AUnitThatFailsDuringASaveIsReportedAsADeviceError) {
  registry::Store store;
  testsupport8100::OlderFamilyBus bus;
  bus.plus.SetRegistryKey(store.Root());
  sim::family8100::AddFamily8100Unit(bus.bus, {.model = sim::family8100::Model::kPlus});
  IQDevice8100* unit = testsupport8100::OnlyUnit(bus);
  std::vector<std::string> reported;
  controls::SetDeviceErrorReporter(
      [&reported](const IQException& e, IQDevice*, int) { reported.push_back(e.GetText()); });
  const std::string path = TempPath("unit.ov0");
  WriteText(path, "old");
  bus.bus.AddFault(sim::Fault::Silence().ForObject(g8100LeftAttenuation.GetId()));
  ui::PromptScript script(filestest::FailTest);
  script.AnswerSaveFile(path)
      .AnswerMessageBox(ui::kIdYes)
      .RunDialog(f8100res::kMemorySelectDialog,
                 [](ui::Dialog& dialog) { dialog.CloseWindow(ui::kIdOk); });
  EXPECT_FALSE(unit->SaveFile());
  controls::SetDeviceErrorReporter(nullptr);
  EXPECT_EQ(reported.size(), 1u);
  for (const auto& prompt : script.Seen()) {
    EXPECT_EQ(prompt.text.find("The settings were not saved."), std::string::npos);
  }
  EXPECT_EQ(ReadText(path), "old");
}

// Whichever filter read of a save the unit refuses, the program is left with the filters the unit
// holds, not with the part read before the refusal.
TEST_F(OlderFamilyFileTest, ASaveRefusedAtAnyFilterReadLeavesTheFiltersTheUnitHolds) {
  registry::Store store;
  testsupport8100::OlderFamilyBus bus;
  bus.plus.SetRegistryKey(store.Root());
  sim::family8100::AddFamily8100Unit(bus.bus, {.model = sim::family8100::Model::kPlus});
  IQDevice8100* unit = testsupport8100::OnlyUnit(bus);
  testsupport8100::AddFilter(*unit, testsupport8100::Made<TParametricFilter>(kLeftInputBank, 700));
  testsupport8100::AddFilter(*unit, testsupport8100::Made<THighpassFilter>(kRightInputBank, 90));
  int reports = 0;
  controls::SetDeviceErrorReporter([&reports](const IQException&, IQDevice*, int) { ++reports; });
  const std::string path = TempPath("unit.ov0");
  WriteText(path, "old");
  ui::PromptScript script(filestest::FailTest);
  const auto save = [&] {
    script.AnswerSaveFile(path)
        .AnswerMessageBox(ui::kIdYes)
        .RunDialog(f8100res::kMemorySelectDialog,
                   [](ui::Dialog& dialog) { dialog.CloseWindow(ui::kIdOk); });
    return unit->SaveFile();
  };
  bus.TakeTrace();
  ASSERT_TRUE(save());
  const std::vector<std::string> trace = bus.TakeTrace();
  const int valueReads =
      static_cast<int>(std::count_if(trace.begin(), trace.end(), [](const auto& r) {
        return std::stoi(r.substr(1, 2), nullptr, 16) == g8100FilterValueFloat.GetId();
      }));
  ASSERT_GT(valueReads, 2);
  const std::vector<std::string> held = testsupport8100::Described(*unit);
  for (int occurrence = 1; occurrence <= valueReads; ++occurrence) {
    SCOPED_TRACE(occurrence);
    bus.bus.AddFault(sim::Fault::ErrorObject(7)
                         .ForObject(g8100FilterValueFloat.GetId())
                         .OnOccurrence(occurrence));
    reports = 0;
    EXPECT_FALSE(save());
    bus.bus.ClearFaults();
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(testsupport8100::Described(*unit), held);
  }
  controls::SetDeviceErrorReporter(nullptr);
}
