#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "bus/SettingsTextFile.h"
#include "controls/DeviceErrorReport.h"
#include "family8100/filters/BankEditing.h"
#include "family8100/filters/CrossoverEdits.h"
#include "family8100/filters/FilterEdits.h"
#include "family8100/unit/BulkTransfer.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/SettingsFile8100.h"
#include "family8100/unit/TMemorySelectDialog.h"
#include "family8100/unit/TNoiseDialog.h"
#include "family8100/unit/Types8100.h"
#include "family8100/unit/ValueConversions8100.h"
#include "platform/registry/Key.h"
#include "platform/registry/Store.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/TestHooks.h"
#include "resources/ControlsResources.h"
#include "resources/Family8100Ids.h"
#include "sim/family8100/Family8100Unit.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/familyov_files/FilesTestSupport.h"
#include "tests/support/FailureInBox.h"

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
  // Longer than the program lets the user type.
  const std::string longName =
      "A name far too long for the program's list of devices, typed "
      "by hand into the file";
  std::string text = "[Device Type]\n\"Standard\" \n[Interface Name]\n\"" + longName +
                     "\" \n[Current Settings]\n[Globals]\n255 0 1 0 16777217 \n[Delay]\n16383 "
                     "0 \n[Filters]\n18 \n";
  // Seventeen of the largest low-pass filters (68 sections) and one of one section fit in 70.
  for (int i = 0; i < 17; ++i) text += "4 3 15000 8 \n";
  text += "3 1 1000 -3.0 2.0 \n";
  text += "[Preset map]\n1 7 3 4 5 6 7 8 9 10 11 12 \n\n// End of file\n";
  auto unit = VirtualUnit<IQDevice8100Plus>("Unit");
  Load(*unit, text);
  EXPECT_EQ(unit->GetName(), longName.substr(0, IQDevice::kMaxNameChars));
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
  EXPECT_THROW(WriteSettingsFile(*unit, file, 0x7), TransferFailure);
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
// that could not be written; the old file stays, and the closing message says so.
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
                 [](ui::Dialog& dialog) { dialog.CloseWindow(ui::kIdOk); })
      .AnswerMessageBox(ui::kIdOk);
  unit->SetModified(true);
  EXPECT_FALSE(unit->SaveFile());
  controls::SetDeviceErrorReporter(nullptr);
  // Told with the closing message, in one box that names the unit.
  EXPECT_TRUE(reported.empty());
  EXPECT_EQ(testsupport::FailuresToldInBoxes(script), 1u);
  EXPECT_TRUE(testsupport::BoxesNameTheFailedRequest(script, 0, unit->GetInfo().address));
  EXPECT_EQ(testsupport::AfterTheFailure(script.Seen().back().text),
            "The settings were not saved. The unit's current settings were put back as they "
            "were.");
  EXPECT_TRUE(unit->IsModified());
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
  // The save, with its closing message answered when it fails.
  const auto save = [&](bool fails) {
    script.AnswerSaveFile(path)
        .AnswerMessageBox(ui::kIdYes)
        .RunDialog(f8100res::kMemorySelectDialog,
                   [](ui::Dialog& dialog) { dialog.CloseWindow(ui::kIdOk); });
    if (fails) script.AnswerMessageBox(ui::kIdOk);
    return unit->SaveFile();
  };
  bus.TakeTrace();
  ASSERT_TRUE(save(false));
  const std::string saved = ReadText(path);
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
    const std::size_t seen = script.Seen().size();
    EXPECT_FALSE(save(true));
    bus.bus.ClearFaults();
    EXPECT_EQ(reports + testsupport::FailuresToldInBoxes(script, seen), 1u);
    EXPECT_THAT(testsupport::AfterTheFailure(script.Seen().back().text),
                testing::StartsWith("The settings were not saved."));
    EXPECT_EQ(ReadText(path), saved);
    EXPECT_EQ(testsupport8100::Described(*unit), held);
  }
  controls::SetDeviceErrorReporter(nullptr);
}

namespace {

using testsupport8100::ModelMask;
using enum testsupport8100::ModelMask;

// A filter added to `bank` as the filter editor adds one, its order stepped and its fields typed
// as its dialog takes them.
void AddTyped(IQDevice8100& unit, int32_t bank, int32_t type, const TypedFields& fields,
              int orderSteps = 0) {
  TFilter* filter = AddBankFilter(unit, FamilyKey8100(registry::Key()), bank, type);
  ASSERT_NE(filter, nullptr);
  if (auto* pass = dynamic_cast<TPassFilter*>(filter)) {
    ASSERT_TRUE(StepOrder(unit, *pass, orderSteps));
  }
  ApplyTypedFields(*filter, fields);
  ASSERT_TRUE(CommitFilter(unit, *filter));
}

// A filter of every class the editor adds, in every bank, each value typed past one end of its
// range: `end` is "1" for the low ends, "99999" for the high ones.
void EveryFilterClass(IQDevice8100& unit, const std::string& end) {
  const bool low = end == "1";
  const std::string level = low ? "-99999" : end;
  const int orderSteps = low ? -8 : 8;
  unit.RemoveFilters();
  AddTyped(unit, kRightInputBank, kParametricFilter, {end, level, low ? "0" : end});
  AddTyped(unit, kLeftInputBank, kLowpassFilter, {end, {}, {}}, orderSteps);
  AddTyped(unit, kRightOutputBank, kHighpassFilter, {end, {}, {}}, orderSteps);
  AddTyped(unit, kLeftOutputBank, kLowShelfFilter, {end, level, {}});
  AddTyped(unit, kLeftOutputBank, kHighShelfFilter, {end, level, {}});
}

void LimiterMode(IQDevice8100& unit, uint32_t mode) { g8100LimiterMode.Write(unit, mode); }

// Both crossovers made in the crossover window with `alignment`, their slopes stepped as far as
// they go, the low one typed below the lowest frequency and the high one above the highest.
void Crossovers(IQDevice8100& unit, int alignment, int lowSteps, int highSteps) {
  CrossoverEdits edits(unit);
  edits.ChangeAlignment(CrossoverSide::Low, alignment);
  edits.ChangeAlignment(CrossoverSide::High, alignment);
  for (int step = 0; step < 3; ++step) {
    edits.StepOrder(CrossoverSide::Low, lowSteps, "");
    edits.StepOrder(CrossoverSide::High, highSteps, "");
  }
  edits.ApplyTyped("1", "99k");
}

}  // namespace

// Every state the program's windows give a unit of each model, each range at both its ends, saved
// with every memory, loaded into a new unit of the model and saved again: the same file.
TEST_F(OlderFamilyFileTest, EveryStateTheProgramMakesLoadsBackAndSavesTheSameFile) {
  const struct {
    unsigned models;
    std::function<void(IQDevice8100&)> make;
    // What the saved file holds of the state.
    std::string shows;
  } cases[] = {
      {kAllModels, [](IQDevice8100&) {}, "[Preset map]\n1 2 3 4 5 6 7 8 9 10 11 12 "},
      {kAllModels,
       [](IQDevice8100& unit) {
         g8100LeftMute.Write(unit, true);
         g8100RightMute.Write(unit, true);
         g8100LeftAttenuation.Write(unit, 255);
         g8100RightAttenuation.Write(unit, 160);
         g8100Routing.Write(unit, 0x01010101);
       },
       "[Globals]\n255 160 1 1 16843009 "},
      {kAllModels, [](IQDevice8100& unit) { g8100Routing.Write(unit, 0); },
       "[Globals]\n0 0 0 0 0 "},
      {kPlus | kX,
       [](IQDevice8100& unit) {
         g8100LeftDelay.Write(unit, TypedDelaySamples(1e6F, DelayUnits::Meters));
         g8100RightDelay.Write(unit, SteppedDelay(kMaxDelaySamples - 1, 10.0F));
       },
       "[Delay]\n16383 16383 "},
      {kX,
       [](IQDevice8100& unit) {
         g8100LeftPolarity.Write(unit, true);
         g8100RightPolarity.Write(unit, true);
       },
       "[Polarity]\n1 1 "},
      // Limiting on, the channels linked, each soft knee, and all of them.
      {kX, [](IQDevice8100& unit) { LimiterMode(unit, 0x000000FF); }, "0.000021 255 \n"},
      {kX, [](IQDevice8100& unit) { LimiterMode(unit, 0x0000FF00); }, "0.000021 65280 \n"},
      {kX, [](IQDevice8100& unit) { LimiterMode(unit, 0x00FF0000); }, "0.000021 16711680 \n"},
      {kX, [](IQDevice8100& unit) { LimiterMode(unit, 0xFF000000); }, "0.000021 -16777216 \n"},
      {kX, [](IQDevice8100& unit) { LimiterMode(unit, 0xFFFFFFFF); }, "0.000021 -1 \n"},
      {kX,
       [](IQDevice8100& unit) {
         g8100LeftThreshold.Write(unit, ThresholdValue(kMaxThresholdDbu + 10.0F));
         g8100RightThreshold.Write(unit, ThresholdValue(kMinThresholdDbu - 10.0F));
         g8100LeftRelease.Write(unit, ReleaseCoefficient(Release::Medium));
         g8100RightRelease.Write(unit, ReleaseCoefficient(Release::Fast));
       },
       "[Limiting]\n524287.000000 416.000000 0.000042 0.000083 0 "},
      {kX,
       [](IQDevice8100& unit) {
         g8100LeftThreshold.Write(unit, 0);
         g8100RightThreshold.Write(unit, 0);
       },
       "[Limiting]\n0.000000 0.000000 "},
      {kRuneTide,
       [](IQDevice8100& unit) {
         for (const auto* type : {&g8100LeftNoiseType, &g8100RightNoiseType}) type->Write(unit, 1);
         for (const auto* level : {&g8100LeftNoiseLevel, &g8100RightNoiseLevel}) {
           level->Write(unit, TNoiseDialog::kMaxLevelDb);
         }
         for (const auto* on : {&g8100LeftNoiseOn, &g8100RightNoiseOn}) on->Write(unit, false);
       },
       "[Noise Sources]\n1 0.000000 0 1 0.000000 0 "},
      {kRuneTide,
       [](IQDevice8100& unit) {
         g8100LeftNoiseLevel.Write(unit, TNoiseDialog::kMinLevelDb);
         g8100RightNoiseLevel.Write(unit, TNoiseDialog::kMinLevelDb);
       },
       "[Noise Sources]\n0 -80.000000 1 0 -80.000000 1 "},
      {kAllModels, [](IQDevice8100& unit) { EveryFilterClass(unit, "1"); },
       "[Filters]\n5 \n3 1 20 -70.000000 0.100000 \n4 2 20 1 \n5 3 20 1 \n6 4 20 -12 2 \n7 4 20 "
       "-12 2 \n"},
      {kAllModels, [](IQDevice8100& unit) { EveryFilterClass(unit, "99999"); },
       "[Filters]\n5 \n3 1 20000 12.000000 100.000000 \n4 2 20000 8 \n5 3 20000 8 \n6 4 20000 12 2 "
       "\n7 4 20000 12 2 \n"},
      // The Rune Tide's own bank of boost/cut filters, typed to both ends.
      {kRuneTide,
       [](IQDevice8100& unit) {
         ASSERT_GE(unit.Filters().size(), 2u);
         ApplyTypedFields(*unit.Filters()[0], {{}, "-99999", "0"});
         ApplyTypedFields(*unit.Filters()[1], {{}, "99999", "99999"});
         for (int i = 0; i < 2; ++i) ASSERT_TRUE(CommitFilter(unit, *unit.Filters()[i]));
       },
       " -70.000000 0.100000 \n10 "},
      // Every section of the budget taken.
      {kAllModels,
       [](IQDevice8100& unit) {
         unit.RemoveFilters();
         for (int i = 0; i < 17; ++i) AddTyped(unit, kLeftInputBank, kLowpassFilter, {}, 8);
         AddTyped(unit, kRightInputBank, kParametricFilter, {});
         AddTyped(unit, kRightOutputBank, kLowShelfFilter, {});
         ASSERT_EQ(unit.UsedSections(), kSectionBudget);
       },
       "[Filters]\n19 \n"},
      {kX, [](IQDevice8100& unit) { Crossovers(unit, kAlignmentButterworth, 1, -1); },
       "[Low Crossover]\n8 4 20 1 1 \n\n[High Crossover]\n9 3 20000 1 8 "},
      {kX, [](IQDevice8100& unit) { Crossovers(unit, kAlignmentBessel, -1, 1); },
       "[Low Crossover]\n8 4 20 2 8 \n\n[High Crossover]\n9 3 20000 2 1 "},
      {kX, [](IQDevice8100& unit) { Crossovers(unit, kAlignmentLinkwitzRiley, 1, -1); },
       "[Low Crossover]\n8 4 20 3 2 \n\n[High Crossover]\n9 3 20000 3 8 "},
      // Every memory its own, named at the unit's longest, the presets turned round, and the
      // longest name the program gives a virtual unit.
      {kAllModels,
       [](IQDevice8100& unit) {
         unit.SetName(std::string(IQDevice::kMaxNameChars, 'N'));
         for (int memory = 1; memory <= kMemoryCount; ++memory) {
           g8100LeftAttenuation.Write(unit, static_cast<uint8_t>(memory));
           AddTyped(unit, kRightInputBank, kParametricFilter, {std::to_string(100 * memory)});
           unit.SaveMemory(memory);
           g8100MemoryIndex.Write(unit, static_cast<uint8_t>(memory));
           unit.SetMemoryName(("Mix (" + std::to_string(memory) + ")/#,&- aZ09").substr(0, 14));
           g8100PresetIndex.Write(unit, static_cast<uint8_t>(memory));
           unit.SetPresetMapEntry(kMemoryCount + 1 - memory);
         }
       },
       "[Preset map]\n12 11 10 9 8 7 6 5 4 3 2 1 "}};

  constexpr uint32_t kEveryMemory = (1U << kMemoryCount) - 1;
  for (const ModelMask model : testsupport8100::kEachModel) {
    for (const auto& c : cases) {
      if ((c.models & model) == 0) continue;
      SCOPED_TRACE(std::to_string(model) + ": " + c.shows);
      const std::unique_ptr<IQDevice8100> unit = testsupport8100::NewVirtualUnit(model);
      unit->SetName("Front of house left");
      c.make(*unit);
      const std::string saved = Saved(*unit, kEveryMemory);
      EXPECT_NE(saved.find(c.shows), std::string::npos);
      const std::unique_ptr<IQDevice8100> loaded = testsupport8100::NewVirtualUnit(model);
      Load(*loaded, saved);
      EXPECT_EQ(loaded->GetName(), unit->GetName());
      EXPECT_TRUE(SameText(Saved(*loaded, kEveryMemory), saved));
    }
  }
}

namespace {

// `filter` added to the unit, its other values the class's defaults but `change`.
template <typename Filter>
void Holding(IQDevice8100& unit, int32_t frequency, const std::function<void(Filter&)>& change) {
  auto filter = testsupport8100::Made<Filter>(kLeftOutputBank, frequency);
  change(*filter);
  testsupport8100::AddFilter(unit, std::move(filter));
}

}  // namespace

// A unit can hold what the program never gives it. A save that meets a value its own load would
// refuse names the value and its section, writes no file and leaves the unit as it was.
TEST_F(OlderFamilyFileTest, ASaveRefusesAValueItsLoadWouldRefuse) {
  const auto none = [](auto&) {};
  const struct {
    unsigned models;
    std::function<void(IQDevice8100&)> make;
    std::string message;
  } cases[] = {
      {kAllModels, [](IQDevice8100& unit) { g8100Routing.Write(unit, 0x02); },
       "[Globals]: The routing 2 is no valid setting."},
      {kPlus | kX, [](IQDevice8100& unit) { g8100RightDelay.Write(unit, kMaxDelaySamples + 1); },
       "[Delay]: The delay 16384 is out of range (0 to 16383)."},
      {kAllModels, [&](IQDevice8100& unit) { Holding<TParametricFilter>(unit, 10, none); },
       "[Filters]: The filter frequency 10 is out of range."},
      {kAllModels,
       [](IQDevice8100& unit) {
         Holding<TLowshelfFilter>(unit, 100, [](TShelfFilter& shelf) { shelf.level = -13.0F; });
       },
       "[Filters]: The filter level is out of range."},
      {kAllModels,
       [](IQDevice8100& unit) {
         unit.RemoveFilters();
         for (int i = 0; i < 18; ++i) {
           Holding<TLowpassFilter>(unit, 1000, [](TPassFilter& pass) { pass.order = 8; });
         }
       },
       "[Filters]: The filter does not fit: the filters before it take 68 of the unit's 70 DSP "
       "sections, and it needs 4."},
      {kX,
       [](IQDevice8100& unit) {
         Holding<TLowCrossoverFilter>(unit, 300,
                                      [](TCrossoverFilter& crossover) { crossover.alignment = 7; });
       },
       "[Low Crossover]: The crossover alignment 7 is unknown."},
      {kX, [](IQDevice8100& unit) { LimiterMode(unit, 1); },
       "[Limiting]: The limiter mode 1 is no valid setting."},
      {kX, [](IQDevice8100& unit) { g8100RightThreshold.Write(unit, 524288); },
       "[Limiting]: The threshold 524288 is out of range (0 to 524287)."},
      {kX, [](IQDevice8100& unit) { g8100LeftRelease.Write(unit, std::nanf("")); },
       "[Limiting]: The release nan is out of range (0 to 1)."},
      {kRuneTide, [](IQDevice8100& unit) { g8100RightNoiseLevel.Write(unit, 3.0F); },
       "[Noise Sources]: The noise level 3 is out of range (-80 to 0)."},
      // Found in a memory, recalled for the save: the current settings are put back.
      {kAllModels,
       [&](IQDevice8100& unit) {
         Holding<TParametricFilter>(unit, 10, none);
         unit.SaveMemory(3);
         unit.RemoveFilters();
       },
       "[Filters 3]: The filter frequency 10 is out of range."}};

  for (const ModelMask model : testsupport8100::kEachModel) {
    for (const auto& c : cases) {
      if ((c.models & model) == 0) continue;
      SCOPED_TRACE(std::to_string(model) + ": " + c.message);
      const std::unique_ptr<IQDevice8100> unit = testsupport8100::NewVirtualUnit(model);
      c.make(*unit);
      const SettingsRecord settings = unit->ReadSettingsRecord();
      const std::vector<std::string> filters = testsupport8100::Described(*unit);
      SettingsTextFile file;
      ASSERT_TRUE(file.Open(TempPath("refused.ov0"), SettingsTextFile::kWrite));
      try {
        WriteSettingsFile(*unit, file, (1U << kMemoryCount) - 1);
        ADD_FAILURE() << "saved";
      } catch (const SettingsWriteError& error) {
        EXPECT_EQ(error.what(),
                  "The unit holds a value that a settings file cannot carry, in " + c.message);
      }
      EXPECT_EQ(unit->ReadSettingsRecord(), settings);
      EXPECT_EQ(testsupport8100::Described(*unit), filters);
      EXPECT_TRUE(g8100BulkMute.Read(*unit));
    }
  }
}

// The save command on a bus unit whose memory holds a limiter mode the limiter dialog never
// writes: the user is told which, the old file stays, and the unit is back on its own settings
// with its audio on.
TEST_F(OlderFamilyFileTest, ABusUnitsSaveRefusedForAValueKeepsTheOldFileAndTheUnit) {
  registry::Store store;
  testsupport8100::OlderFamilyBus bus;
  bus.x.SetRegistryKey(store.Root());
  sim::family8100::AddFamily8100Unit(bus.bus, {.model = Model::kX, .address = 3});
  IQDevice8100* unit = testsupport8100::OnlyUnit(bus);
  g8100LimiterMode.Write(*unit, 1);
  unit->SaveMemory(2);
  g8100LimiterMode.Write(*unit, 0xFF);
  const SettingsRecord before = unit->ReadSettingsRecord();
  const std::string path = TempPath("unit.ov0");
  WriteText(path, "old");
  script.AnswerSaveFile(path)
      .AnswerMessageBox(ui::kIdYes)
      .RunDialog(f8100res::kMemorySelectDialog,
                 [](ui::Dialog& dialog) {
                   ui::test::Click(dialog, f8100res::kFirstMemoryCheck + 1);
                   ui::test::Click(dialog, ui::kIdOk);
                 })
      .AnswerMessageBox(ui::kIdOk);
  EXPECT_FALSE(unit->SaveFile());
  EXPECT_EQ(script.Seen().back().text,
            "The settings were not saved.\nThe unit holds a value that a settings file cannot "
            "carry, in [Limiting 2]: The limiter mode 1 is no valid setting.");
  EXPECT_EQ(ReadText(path), "old");
  unit->ResetValueStore();
  EXPECT_EQ(unit->ReadSettingsRecord(), before);
  EXPECT_TRUE(g8100BulkMute.Read(*unit));
}

// A bus unit's file, its own name at the longest the unit keeps and every limiter switch on,
// loaded into another unit on the bus: the second unit saves the same file.
TEST(OlderFamilyBusFileTest, ABusUnitsFileLoadsIntoAnotherUnitThatSavesItTheSame) {
  QTemporaryDir folder;
  testsupport8100::OlderFamilyBus bus;
  const int sourceIndex =
      sim::family8100::AddFamily8100Unit(bus.bus, {.model = Model::kX, .address = 3});
  sim::family8100::AddFamily8100Unit(bus.bus, {.model = Model::kX, .address = 4});
  const std::vector<IQDevice*> units = bus.RollCall();
  ASSERT_EQ(units.size(), 2u);
  auto& source = dynamic_cast<IQDevice8100&>(*units[0]);
  auto& target = dynamic_cast<IQDevice8100&>(*units[1]);
  g8100UnitName.Write(source, "Front of house");
  g8100LimiterMode.Write(source, 0xFFFFFFFF);
  g8100RightDelay.Write(source, kMaxDelaySamples);
  const auto saved = [&](IQDevice8100& unit) {
    const std::string path = folder.path().toStdString() + "/bus.ov0";
    SettingsTextFile file;
    EXPECT_TRUE(file.Open(path, SettingsTextFile::kWrite));
    WriteSettingsFile(unit, file, 0x1);
    EXPECT_TRUE(file.Close());
    return ReadText(path);
  };
  const std::string text = saved(source);
  ASSERT_NE(text.find("\"Front of house\" "), std::string::npos);

  SettingsTextFile file;
  ASSERT_TRUE(file.Open(folder.path().toStdString() + "/bus.ov0", SettingsTextFile::kRead));
  const SettingsLoad load = ReadSettingsFile(target, file);
  ApplySettingsLoad(target, load, load.Memories());
  EXPECT_TRUE(SameText(saved(target), text));

  // A preset the unit holds empty is saved empty and the file loads; the target, which takes no
  // empty preset, keeps its own entry there.
  bus.bus.WithUnit(sourceIndex, [](sim::Unit& unit) {
    dynamic_cast<sim::family8100::Family8100Unit&>(unit).ClearPreset(6);
  });
  source.ResetValueStore();
  ASSERT_NE(saved(source).find("[Preset map]\n1 2 3 4 5 0 7 "), std::string::npos);
  SettingsTextFile withEmptyPreset;
  ASSERT_TRUE(
      withEmptyPreset.Open(folder.path().toStdString() + "/bus.ov0", SettingsTextFile::kRead));
  const SettingsLoad emptyPresetLoad = ReadSettingsFile(target, withEmptyPreset);
  ApplySettingsLoad(target, emptyPresetLoad, emptyPresetLoad.Memories());
  EXPECT_TRUE(SameText(saved(target), text));
}
