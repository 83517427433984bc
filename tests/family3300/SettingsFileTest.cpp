#include <gtest/gtest.h>

#include <functional>

#include "family3300/Parameters3300.h"
#include "family3300/SettingsFile3300.h"
#include "familycommon/LoadFailure.h"
#include "platform/ui/Message.h"
#include "platform/ui/Prompts.h"
#include "sim/Fault.h"
#include "tests/family3300/EqTestSupport.h"
#include "tests/familycommon/TracedProgress.h"
#include "tests/support/FailureInBox.h"

using namespace namespace3300;
using sim::family3300::Model;

namespace {

struct SettingsFileTest : eqtest::EqFixture {
  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};

  // Each answers the file dialog with `path`, then the message boxes that follow with OK.
  bool Save(IQDevice3300& unit, const std::filesystem::path& path, int messages = 0) {
    script.AnswerSaveFile(path.string());
    for (int i = 0; i < messages; ++i) script.AnswerMessageBox(ui::kIdOk);
    return unit.SaveFile();
  }
  bool Load(IQDevice3300& unit, const std::filesystem::path& path, int messages = 0) {
    script.AnswerOpenFile(path.string());
    for (int i = 0; i < messages; ++i) script.AnswerMessageBox(ui::kIdOk);
    return unit.LoadFile();
  }
  // The one message box the last operation showed, after the failure it tells.
  std::string LastMessage() const {
    return script.Seen().empty() ? std::string()
                                 : testsupport::AfterTheFailure(script.Seen().back().text);
  }
};

// Everything a file holds of a unit, read through the parameter objects.
std::vector<std::string> Contents(IQDevice3300& unit) {
  std::vector<std::string> values{g3300UnitName.Read(unit), unit.GetName()};
  for (int number = 1; number <= kMemoryCount; ++number) {
    values.push_back(MemoryName3300(number).Read(unit));
  }
  for (int number = 0; number <= kMemoryCount; ++number) {
    if (number > 0) unit.UseMemory(number, MemoryOperation::kRecall);
    SettingsImage image{};
    unit.SnapshotSettings(image, SnapshotMode::kRead);
    values.emplace_back(image.begin(), image.end());
  }
  return values;
}

// One channel's corners, gain, switches and band level.
struct ChannelState {
  int hpf, lpf, gain;
  bool mute, eqIn;
  int band;
};

void SetChannel(IQDevice3300& unit, int channel, const ChannelState& state) {
  const ChannelObjects& objects = Channel3300(channel);
  objects.hpf.Write(unit, static_cast<uint8_t>(state.hpf));
  objects.lpf.Write(unit, static_cast<uint8_t>(state.lpf));
  objects.gain.Write(unit, static_cast<uint8_t>(state.gain));
  objects.mute.Write(unit, state.mute);
  objects.eqIn.Write(unit, state.eqIn);
  for (const ByteUCodeObject& band : objects.bands)
    band.Write(unit, static_cast<uint8_t>(state.band));
}

// Every channel of `unit` in `state`, then stored in memory `number` (0: in none).
void SetChannels(IQDevice3300& unit, const ChannelState& state, int number = 0) {
  for (int channel = 0; channel < unit.ChannelCount(); ++channel) SetChannel(unit, channel, state);
  if (number > 0) unit.UseMemory(number, MemoryOperation::kStore);
}

// The unit's name, and each memory's `memoryName` or that less its last one or two characters.
void SetNames(IQDevice3300& unit, const std::string& unitName, const std::string& memoryName) {
  g3300UnitName.Write(unit, unitName);
  for (int number = 1; number <= kMemoryCount; ++number) {
    MemoryName3300(number).Write(unit, memoryName.substr(0, memoryName.size() - (number % 3)));
  }
}

TEST_F(SettingsFileTest, DefaultUnitsSaveTheGoldenFilesByteForByte) {
  AddUnit(Model::k3300XL, 3);
  AddUnit(Model::k3300_2XL, 4);
  const auto units = RollCall();
  const std::pair<IQDevice3300*, const char*> cases[] = {
      {NewVirtual(Model::k3300XL), "virtual-3300xl.331"},
      {NewVirtual(Model::k3300_2XL), "virtual-3300-2xl.332"},
      {units.at(0), "bus-3300xl.331"},
      {units.at(1), "bus-3300-2xl.332"}};
  for (const auto& [unit, golden] : cases) {
    ASSERT_TRUE(Save(*unit, Temp(golden))) << golden;
    EXPECT_EQ(eqtest::ReadFile(Temp(golden)), eqtest::Golden(golden)) << golden;
  }
  EXPECT_TRUE(eqtest::TakeReportedErrors().empty());
}

TEST_F(SettingsFileTest, RoundTripsKeepNamesMemoriesAndCurrentSettings) {
  IQDevice3300& source = *NewVirtual(Model::k3300_2XL, "Balcony");
  g3300UnitName.Write(source, "ABCDEFGHIJKLMNO");
  MemoryName3300(4).Write(source, "Speech (1)");
  g3300BandB[27].Write(source, 40);
  g3300HpfB.Write(source, 7);
  g3300GainA.Write(source, 24);
  source.UseMemory(4, MemoryOperation::kStore);
  g3300LpfA.Write(source, 5);
  g3300MuteB.Write(source, true);
  g3300EqInA.Write(source, false);
  ASSERT_TRUE(Save(source, Temp("a.332")));
  auto expected = Contents(source);

  IQDevice3300& copy = *NewVirtual(Model::k3300_2XL, "");
  ASSERT_TRUE(Load(copy, Temp("a.332")));
  EXPECT_TRUE(copy.IsModified());
  EXPECT_EQ(Contents(copy), expected);

  // A bus unit takes the same, but keeps its name in the program.
  AddUnit(Model::k3300_2XL, 9);
  IQDevice3300& unit = *RollCall().at(0);
  ASSERT_TRUE(Load(unit, Temp("a.332")));
  expected[1] = "9";
  EXPECT_EQ(Contents(unit), expected);
}

// Every file the program saves loads into a fresh unit of its kind, which then saves the same
// bytes: the states the windows make, every value at both ends of its range, memories stored with
// settings, and names as long as the program takes them.
TEST_F(SettingsFileTest, EverySavedFileLoadsBackAndSavesTheSameBytes) {
  constexpr ChannelState kLowest{0, 0, 0, false, false, 0};
  constexpr ChannelState kHighest{kMaxCornerIndex, kMaxCornerIndex, kMaxGain, true, true,
                                  kMaxBandLevel};
  // 15 characters, the most a unit's name and a memory's hold; the dialogs take 10 and 9.
  const std::string longest = "Wide ]/,#()&-0z";
  const std::string typed = "R(1) &/-#,";
  // The longest name the rename of a virtual unit takes, in its 8-bit text.
  const std::string accented = " Caf\xE9 // B\xFChne \x80";
  const std::string program = accented + std::string(78 - accented.size(), 'x') + " ";
  const struct {
    const char* state;
    Model model;
    bool onBus;
    std::function<void(IQDevice3300&)> set;
  } rows[] = {
      {"defaults", Model::k3300XL, false, [](IQDevice3300&) {}},
      {"defaults", Model::k3300_2XL, false, [](IQDevice3300&) {}},
      {"defaults", Model::k3300XL, true, [](IQDevice3300&) {}},
      {"defaults", Model::k3300_2XL, true, [](IQDevice3300&) {}},
      {"lowest in memory 1, highest in memory 10 and current", Model::k3300_2XL, false,
       [&](IQDevice3300& unit) {
         SetChannels(unit, kLowest, 1);
         SetChannels(unit, kHighest, 10);
       }},
      {"highest in memory 1, lowest in memory 10 and current", Model::k3300_2XL, true,
       [&](IQDevice3300& unit) {
         SetChannels(unit, kHighest, 1);
         SetChannels(unit, kLowest, 10);
       }},
      {"highest", Model::k3300XL, false, [&](IQDevice3300& unit) { SetChannels(unit, kHighest); }},
      {"highest in memory 5", Model::k3300XL, true,
       [&](IQDevice3300& unit) { SetChannels(unit, kHighest, 5); }},
      {"channel A lowest, channel B highest", Model::k3300_2XL, false,
       [&](IQDevice3300& unit) {
         SetChannel(unit, 0, kLowest);
         SetChannel(unit, 1, kHighest);
         unit.UseMemory(7, MemoryOperation::kStore);
       }},
      {"each memory its own settings, bands ramped", Model::k3300_2XL, false,
       [](IQDevice3300& unit) {
         for (int k = 1; k <= kMemoryCount; ++k) {
           SetChannels(unit, {k % 8, 7 - k % 8, k * 2, k % 2 == 0, k % 3 == 0, k * 4}, k);
         }
         for (int band = 0; band < kBandCount; ++band) {
           g3300BandA[band].Write(unit, static_cast<uint8_t>(band * kMaxBandLevel / 27));
           g3300BandB[band].Write(unit, static_cast<uint8_t>(kMaxBandLevel - band));
         }
       }},
      {"names at their longest", Model::k3300_2XL, false,
       [&](IQDevice3300& unit) {
         SetNames(unit, longest, longest);
         unit.SetName(program);
       }},
      {"names at their longest", Model::k3300XL, true,
       [&](IQDevice3300& unit) { SetNames(unit, longest, longest); }},
      {"names as the dialogs take them", Model::k3300XL, false,
       [&](IQDevice3300& unit) { SetNames(unit, typed, "  9 (a)  "); }},
      {"a virtual unit without a name", Model::k3300XL, false,
       [](IQDevice3300& unit) { unit.SetName(""); }},
  };
  // Each unit on the bus with a fresh twin at the next address.
  int address = 1;
  for (const auto& row : rows) {
    if (!row.onBus) continue;
    AddUnit(row.model, address++);
    AddUnit(row.model, address++, "Fresh");
  }
  const std::vector<IQDevice3300*> onBus = RollCall();
  std::size_t next = 0;
  int rowNumber = 0;
  for (const auto& row : rows) {
    ++rowNumber;
    SCOPED_TRACE(std::string(row.state) + (row.onBus ? " on the bus" : " virtual"));
    IQDevice3300& unit = row.onBus ? *onBus.at(next++) : *NewVirtual(row.model);
    IQDevice3300& fresh = row.onBus ? *onBus.at(next++) : *NewVirtual(row.model, "Fresh");
    row.set(unit);
    const std::string extension = "." + SettingsFileExtension3300(unit.GetModel());
    const std::filesystem::path saved = Temp(std::to_string(rowNumber) + extension);
    const std::filesystem::path again = Temp(std::to_string(rowNumber) + "-again" + extension);
    ASSERT_TRUE(Save(unit, saved));
    ASSERT_TRUE(Load(fresh, saved));
    ASSERT_TRUE(Save(fresh, again));
    EXPECT_EQ(eqtest::ReadFile(again), eqtest::ReadFile(saved));
  }
  EXPECT_TRUE(eqtest::TakeReportedErrors().empty());
}

TEST_F(SettingsFileTest, CrlfFilesLoadAsTheirLineFeedTwins) {
  std::string crlf;
  for (char c : eqtest::Golden("bus-3300xl.331"))
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  eqtest::WriteFile(Temp("crlf.331"), crlf);
  IQDevice3300& unit = *NewVirtual(Model::k3300XL);
  g3300BandA[0].Write(unit, 3);
  ASSERT_TRUE(Load(unit, Temp("crlf.331")));
  EXPECT_EQ(g3300UnitName.Read(unit), "Foyer EQ");
  EXPECT_EQ(g3300BandA[0].Read(unit), 20);
  EXPECT_TRUE(g3300EqInA.Read(unit));
}

TEST_F(SettingsFileTest, AFileWithOnlyMemory3FillsTheOthersFromTheCurrentSettings) {
  std::string bands = "40";
  for (int band = 2; band <= kBandCount; ++band) bands += " 10";
  eqtest::WriteFile(Temp("m3.331"),
                    "[Device Type]\n0\n[Settings Memory 3]\n\"Three\"\n[Channel A]\n1 2 3\n"
                    "[EQ A]\n" +
                        bands + "\n// End of file\n");
  IQDevice3300& unit = *NewVirtual(Model::k3300XL);
  g3300GainA.Write(unit, 9);
  ASSERT_TRUE(Load(unit, Temp("m3.331")));
  EXPECT_EQ(unit.MemoryImage(1)[30], 9);
  EXPECT_EQ(unit.MemoryImage(2)[30], 9);
  const SettingsImage& three = unit.MemoryImage(3);
  EXPECT_EQ(three[0], 40);
  EXPECT_EQ(three[1], 10);
  EXPECT_EQ(three[28], 1);
  EXPECT_EQ(three[29], 2);
  EXPECT_EQ(three[30], 3);
  for (int number = 4; number <= kMemoryCount; ++number) {
    EXPECT_EQ(unit.MemoryImage(number), three) << number;
  }
  EXPECT_EQ(MemoryName3300(3).Read(unit), "Three");
  EXPECT_EQ(MemoryName3300(4).Read(unit), "---------");
}

TEST_F(SettingsFileTest, FilesThatCannotBeUsedWriteNothingAndSayWhy) {
  const std::string good = eqtest::Golden("bus-3300xl.331");
  auto with = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    return text.replace(text.find(from), from.size(), to);
  };
  const std::pair<std::string, std::string> cases[] = {
      {eqtest::Golden("bus-3300-2xl.332"), "Wrong file type!"},
      {"[Unit Name]\n\"x\"\n", "Unrecognized file format."},
      {with("0 0 0 0 1", "8 0 0 0 1"),
       "Line 96: The high-pass index 8 is out of range (0 to 7).\nNothing was loaded."},
      {with("[Channel A]\n0 0 0", "[Channel A]\n0 9 0"),
       "Line 17: The low-pass index 9 is out of range (0 to 7).\nNothing was loaded."},
      {with("0 0 0 0 1", "0 0 25 0 1"),
       "Line 96: The gain 25 is out of range (0 to 24).\nNothing was loaded."},
      {with("20 20", "41 20"),
       "Line 19: The band level 41 is out of range (0 to 40).\nNothing was loaded."},
      {with("\"Foyer EQ\"", "\"SixteenCharsLong\""),
       "Line 11: The name \"SixteenCharsLong\" is longer than 15 characters.\nNothing was loaded."},
      {good.substr(0, good.find("[EQ A]") + 12),
       "Line 19: The file ends early: its closing \"End of file\" is missing.\nNothing was "
       "loaded."},
      {with("0 0 0 0 1", "0 0 x"),
       "Line 96: Format error in file: a number is expected here.\nNothing was loaded."}};
  AddUnit(Model::k3300XL, 5);
  IQDevice3300& unit = *RollCall().at(0);
  IQDevice3300& offline = *NewVirtual(Model::k3300XL);
  for (const auto& [text, message] : cases) {
    eqtest::WriteFile(Temp("bad.331"), text);
    for (IQDevice3300* target : {&unit, &offline}) {
      EXPECT_FALSE(Load(*target, Temp("bad.331"), 1));
      EXPECT_EQ(LastMessage(), message);
    }
    const auto trace = TakeTrace();
    EXPECT_EQ(trace, std::vector<std::string>{"R0D"}) << message;  // the lock, nothing more
    EXPECT_FALSE(offline.IsModified()) << message;
  }
}

TEST_F(SettingsFileTest, ASaveThatFailsOrIsCancelledKeepsTheUnsavedMarkAndTheOldFile) {
  IQDevice3300& unit = *NewVirtual(Model::k3300XL);
  g3300GainA.Write(unit, 2);
  ASSERT_TRUE(unit.IsUnsaved());

  script.AnswerSaveFile(std::nullopt);
  EXPECT_FALSE(unit.SaveFile());
  EXPECT_TRUE(unit.IsUnsaved());

  // A directory stands where the file goes: the rename fails.
  std::filesystem::create_directory(Temp("taken.331"));
  script.AnswerSaveFile(Temp("taken.331").string());
  script.AnswerMessageBox(ui::kIdYes).AnswerMessageBox(ui::kIdOk);  // replace it? then the failure
  EXPECT_FALSE(unit.SaveFile());
  EXPECT_EQ(LastMessage(),
            "The settings were not saved.\nThe file could not be written: Is a directory.");
  EXPECT_TRUE(unit.IsUnsaved());

  EXPECT_FALSE(Save(unit, Temp("no/such/folder/x.331"), 1));
  EXPECT_EQ(LastMessage(), "Could not open file: No such file or directory");
  EXPECT_TRUE(unit.IsUnsaved());
}

TEST_F(SettingsFileTest, NamesThatWouldNotReadBackAreRefused) {
  for (const char* name : {"Say \"hi\"", "[EQ A]", "Tab\tbed", "Bell\x07"}) {
    IQDevice3300& unit = *NewVirtual(Model::k3300XL);
    MemoryName3300(2).Write(unit, name);
    g3300GainA.Write(unit, 1);
    EXPECT_FALSE(Save(unit, Temp("n.331"), 1));
    EXPECT_EQ(LastMessage(), "The settings were not saved.\nThe text \"" + std::string(name) +
                                 "\" holds a double quote, a \"[\", a control character or a "
                                 "byte that is no Windows-1252 character and cannot be written to "
                                 "a settings file.");
    EXPECT_FALSE(std::filesystem::exists(Temp("n.331")));
    EXPECT_TRUE(unit.IsUnsaved());
  }
}

// A unit can hold what no file keeps: a memory name that fills its element without a terminator,
// a value out of its range, a name in the program too long for the file. The save says which, puts
// the current settings back and writes no file, which would not load.
TEST_F(SettingsFileTest, WhatAFileCouldNotLoadBackIsNotSaved) {
  AddUnit(Model::k3300XL, 7);
  IQDevice3300& onBus = *RollCall().at(0);
  const std::string sixteen = "SixteenCharsLong";
  const std::string range = " is out of range (0 to ";
  const std::string cannot = " cannot be written to a settings file.";
  const struct {
    bool onBus;
    std::function<void(IQDevice3300&)> set;
    std::string refusal;
  } rows[] = {
      {true,
       [&](IQDevice3300& unit) {
         unit.Write(MemoryName3300(3), std::vector<uint8_t>(sixteen.begin(), sixteen.end()), 0);
       },
       "The name \"" + sixteen + "\" is longer than 15 characters and" + cannot},
      {false, [](IQDevice3300& unit) { g3300BandA[27].Write(unit, 41); },
       "The unit's band level 41" + range + "40) and" + cannot},
      {false, [](IQDevice3300& unit) { g3300GainA.Write(unit, 25); },
       "The unit's gain 25" + range + "24) and" + cannot},
      {false,
       [](IQDevice3300& unit) {
         g3300LpfA.Write(unit, 8);
         unit.UseMemory(10, MemoryOperation::kStore);
         g3300LpfA.Write(unit, 3);
       },
       "The unit's low-pass index 8" + range + "7) and" + cannot},
      {false, [](IQDevice3300& unit) { g3300HpfA.Write(unit, 255); },
       "The unit's high-pass index 255" + range + "7) and" + cannot},
      {false, [](IQDevice3300& unit) { unit.SetName(std::string(256, 'n')); },
       "The name \"" + std::string(256, 'n') + "\" is longer than 255 characters and" + cannot},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.refusal);
    IQDevice3300& unit = row.onBus ? onBus : *NewVirtual(Model::k3300XL);
    row.set(unit);
    SettingsImage before{};
    unit.SnapshotSettings(before, SnapshotMode::kRead);
    EXPECT_FALSE(Save(unit, Temp("x.331"), 1));
    EXPECT_EQ(LastMessage(), "The settings were not saved.\n" + row.refusal);
    EXPECT_FALSE(std::filesystem::exists(Temp("x.331")));
    SettingsImage after{};
    unit.SnapshotSettings(after, SnapshotMode::kRead);
    EXPECT_EQ(after, before);
  }
}

TEST_F(SettingsFileTest, ANameTypedWithoutExtensionGetsTheModelsOwn) {
  EXPECT_TRUE(Save(*NewVirtual(Model::k3300XL), Temp("plain")));
  EXPECT_TRUE(Save(*NewVirtual(Model::k3300_2XL), Temp("plain")));
  EXPECT_TRUE(std::filesystem::exists(Temp("plain.331")));
  EXPECT_TRUE(std::filesystem::exists(Temp("plain.332")));
}

TEST_F(SettingsFileTest, ABusErrorInTheMemoryLoopPutsTheCurrentSettingsBack) {
  AddUnit(Model::k3300XL, 6);
  IQDevice3300& unit = *RollCall().at(0);
  g3300GainA.Write(unit, 5);
  g3300HpfA.Write(unit, 2);
  // The third recall fails: memory 3 cannot be read.
  bus.AddFault(sim::Fault::ErrorObject(7)
                   .ForObject(sim::family3300::kMemoryAccessId)
                   .ForOpcode(sim::kOpcodeSet)
                   .OnOccurrence(3));
  EXPECT_FALSE(Save(unit, Temp("e.331"), 1));
  // Told with the closing message, the unit's own words for the refusal included.
  EXPECT_TRUE(eqtest::TakeReportedErrors().empty());
  EXPECT_TRUE(script.Seen().back().text.starts_with(
      "Received response from error object.\nParameter out of range\n"))
      << script.Seen().back().text;
  EXPECT_EQ(LastMessage(),
            "The settings were not saved. The unit's current settings and memory number were put "
            "back as they were.");
  EXPECT_FALSE(std::filesystem::exists(Temp("e.331")));
  EXPECT_EQ(g3300GainA.Read(unit), 5);
  EXPECT_EQ(g3300HpfA.Read(unit), 2);
}

TEST_F(SettingsFileTest, AFailureAtAnyStepOfALoadPutsTheCurrentSettingsBack) {
  AddUnit(Model::k3300XL, 6);
  IQDevice3300& unit = *RollCall().at(0);
  const std::string golden = eqtest::Golden("bus-3300xl.331");
  eqtest::WriteFile(Temp("load.331"), golden);
  SettingsTextFile file;
  ASSERT_TRUE(file.Open(Temp("load.331").string(), SettingsTextFile::kRead));
  SettingsLoad load;
  ASSERT_EQ(ReadSettingsFile3300(file, unit.GetModel(), load), FileCheck::kLoadable);
  g3300GainA.Write(unit, 5);
  g3300BandA[3].Write(unit, 33);
  const auto current = [&] {
    SettingsImage image{};
    unit.SnapshotSettings(image, SnapshotMode::kRead);
    return image;
  };
  SettingsImage before = current();
  TakeTrace();
  int steps = 0;
  TracedProgress progress([&] {
    std::vector<std::string> sent = TakeTrace();
    steps += static_cast<int>(sent.size());
    return sent;
  });
  ApplySettingsLoad(unit, load, &progress);
  steps += static_cast<int>(TakeTrace().size());
  ExpectReadFirst(progress, kMemoryCount, "Setting device parameters...");
  ASSERT_NE(current(), before);
  unit.SnapshotSettings(before, SnapshotMode::kWrite);

  // Every eighth step, and the last: each fails, and the unit is put back.
  std::vector<int> failing;
  for (int step = 1; step < steps; step += 8) failing.push_back(step);
  failing.push_back(steps);
  for (const int step : failing) {
    SCOPED_TRACE(step);
    bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(static_cast<int>(step)));
    try {
      ApplySettingsLoad(unit, load);
      ADD_FAILURE() << "no failure";
    } catch (const familycommon::LoadFailure& failure) {
      EXPECT_TRUE(failure.restored);
    }
    bus.ClearFaults();
    EXPECT_EQ(current(), before);
  }

  // A unit that stops answering cannot be put back, and the failure says so.
  bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(steps / 2).Times(sim::Fault::kForever));
  try {
    ApplySettingsLoad(unit, load);
    ADD_FAILURE() << "no failure";
  } catch (const familycommon::LoadFailure& failure) {
    EXPECT_FALSE(failure.restored);
  }
  bus.ClearFaults();
}

// The load command with one fault at points spread through it: a refusal, a lost reply, or a unit
// that stops answering. Each gives one report. A lock that cannot be read ends the command before
// the file is asked for; any later failure ends it with a closing message that says what the unit
// holds: its current settings again, unless it stopped answering once the load had written.
TEST_F(SettingsFileTest, AFaultAnywhereInTheLoadCommandGivesOneReportAndATrueClosingMessage) {
  AddUnit(Model::k3300XL, 6);
  IQDevice3300& unit = *RollCall().at(0);
  eqtest::WriteFile(Temp("load.331"), eqtest::Golden("bus-3300xl.331"));
  g3300GainA.Write(unit, 5);
  g3300BandA[3].Write(unit, 33);
  const auto current = [&] {
    SettingsImage image{};
    unit.SnapshotSettings(image, SnapshotMode::kRead);
    return image;
  };
  SettingsImage before = current();
  TakeTrace();
  ASSERT_TRUE(Load(unit, Temp("load.331")));
  const int steps = static_cast<int>(TakeTrace().size());
  ASSERT_NE(current(), before);

  const struct {
    const char* name;
    sim::Fault fault;
    bool silent;
  } kinds[] = {{"refused", sim::Fault::ErrorObject(7), false},
               {"reply lost", sim::Fault::Silence().Times(1), false},
               {"silent", sim::Fault::Silence(), true}};
  constexpr int kLockRead = 1;
  constexpr int kSnapshot = 33;  // the channel's bands, corners, gain, mute and equaliser in
  constexpr int kFirstWrite = kLockRead + kSnapshot + 1;
  // The lock read, the snapshot, and points spread through the memories and current settings.
  std::vector<int> points{kLockRead, kLockRead + 1, kLockRead + kSnapshot};
  for (int point = 0; point < 5; ++point) {
    points.push_back(kFirstWrite + (steps - kFirstWrite) * point / 5);
  }
  points.push_back(steps);
  for (const auto& kind : kinds) {
    for (const int step : points) {
      SCOPED_TRACE(std::string(kind.name) + " at request " + std::to_string(step));
      unit.SnapshotSettings(before, SnapshotMode::kWrite);
      bus.AddFault(kind.fault.OnOccurrence(step).Times(kind.silent ? sim::Fault::kForever : 1));
      const std::size_t seen = script.Seen().size();
      if (step == kLockRead) {
        EXPECT_FALSE(unit.LoadFile());
      } else {
        EXPECT_FALSE(Load(unit, Temp("load.331"), 1));
      }
      bus.ClearFaults();
      EXPECT_EQ(eqtest::TakeReports(script, seen), 1u) << "one failure, one report";
      if (step == kLockRead) {
        EXPECT_EQ(script.Seen().size(), seen) << "no file asked for, nothing to say";
      } else if (kind.silent && step >= kFirstWrite) {
        // The windows are read again once the unit answers, and the box says so.
        EXPECT_EQ(LastMessage(), std::string(familycommon::kLoadNotRestoredText) + "\n" +
                                     familycommon::kUnitReadAgainText);
        EXPECT_TRUE(unit.InDoubt());
        continue;
      } else {
        EXPECT_EQ(LastMessage(), familycommon::kLoadRestoredText);
      }
      EXPECT_EQ(current(), before);
    }
  }
}

TEST_F(SettingsFileTest, AFileTooLargeOrWithANameThatLooksLikeASectionIsRefused) {
  IQDevice3300& unit = *NewVirtual(Model::k3300XL);
  const auto before = Contents(unit);
  std::string named = eqtest::Golden("virtual-3300xl.331");
  named.replace(named.find("\"Stage EQ\""), 10, "\"[EQ A]0 0\"");
  const std::pair<std::string, std::string> cases[] = {
      {std::string(15 * 1024 * 1024, '['),
       "The file is too large: 15728640 bytes, where a settings file of this kind holds at most "
       "262144."},
      {named,
       "Line 13: " + std::string(SettingsTextFile::kUncarriedReason) + "\nNothing was loaded."},
      {"[Device Type]\n0 \n\n// End of file\n",
       "Line 4: The file holds no settings.\nNothing was loaded."}};
  for (const auto& [text, message] : cases) {
    eqtest::WriteFile(Temp("bad.331"), text);
    EXPECT_FALSE(Load(unit, Temp("bad.331"), 1));
    EXPECT_EQ(LastMessage(), message);
  }
  EXPECT_EQ(Contents(unit), before);
}

// A file loads exactly as it is written, or it is refused by the line of the fault and the unit
// stays as it was.
TEST_F(SettingsFileTest, AcceptedMeansLoadedAsWritten) {
  const std::string two = eqtest::Golden("virtual-3300-2xl.332");
  // The golden file with the first `from` made `to`.
  auto with = [&](const std::string& from, const std::string& to) {
    std::string text = two;
    return text.replace(text.find(from), from.size(), to);
  };
  const std::string memory1 = two.substr(two.find("[Settings Memory 1]"),
                                         two.find("[Settings Memory 2]") - two.find("[Settings "
                                                                                    "Memory 1]"));
  std::string reordered = with(memory1, "");
  reordered.insert(reordered.find("\n[Current Settings]"), "\n" + memory1);
  const std::string uncarried = SettingsTextFile::kUncarriedReason;
  const std::string format = "Format error in file: ";
  const struct {
    std::string text;
    Model model;
    std::string refusal;  // empty: loads as the golden file does
  } cases[] = {
      // Each section once, whole and in its place.
      {with("[Current Settings]\n", ""), Model::k3300_2XL,
       "Line 136: The section [Channel A] stands twice or out of its place."},
      {with("[Current Settings]", "[Current Setting]"), Model::k3300_2XL,
       "Line 135: The section [Current Setting] does not belong in this file."},
      {with("[Channel A]", "[Channel X]"), Model::k3300_2XL,
       "Line 18: The section [Channel A] is missing here."},
      {with("[Channel B]\n0 0 0 \n", ""), Model::k3300_2XL,
       "Line 22: The section [Channel B] is missing here."},
      {with("[Channel B]\n", ""), Model::k3300_2XL,
       "Line 22: Unexpected text after the values of [EQ A]."},
      {with("0 0 0 \n[EQ A]", "0 0 0 5 \n[EQ A]"), Model::k3300_2XL,
       "Line 19: Unexpected text after the values of [Channel A]."},
      {with("[Settings Memory 10]", "[Settings Memory 11]"), Model::k3300_2XL,
       "Line 123: The section [Settings Memory 11] does not belong in this file."},
      {with("[Settings Memory 2]", "[Settings Memory 1]"), Model::k3300_2XL,
       "Line 27: The section [Settings Memory 1] stands twice or out of its place."},
      {with("[Device Type]\n1", "[Device Type]\n0"), Model::k3300XL,
       "Line 22: The section [Channel B] does not belong in this file."},
      // Every value in its range.
      {with("0 0 0 0 1", "0 0 0 -7 1"), Model::k3300_2XL,
       "Line 138: The mute -7 is out of range (0 to 1)."},
      {with("0 0 0 0 1", "0 0 0 0 99999"), Model::k3300_2XL,
       "Line 138: The equaliser in 99999 is out of range (0 to 1)."},
      {with("[Device Type]\n1", "[Device Type]\n-1"), Model::k3300_2XL,
       "Line 9: The device type -1 is out of range (0 to 1)."},
      {with("[EQ B]\n20", "[EQ B]\n-1"), Model::k3300_2XL,
       "Line 25: The band level -1 is out of range (0 to 40)."},
      // Its low byte would be a gain the unit takes.
      {with("[Channel B]\n0 0 0", "[Channel B]\n0 0 256"), Model::k3300_2XL,
       "Line 23: The gain 256 is out of range (0 to 24)."},
      {with("[Channel B]\n0 0 0 0 1", "[Channel B]\n-1 0 0 0 1"), Model::k3300_2XL,
       "Line 142: The high-pass index -1 is out of range (0 to 7)."},
      {with("[Settings Memory 1]\n\"---------\"", "[Settings Memory 1]\n\"SixteenCharsLong\""),
       Model::k3300_2XL, "Line 16: The name \"SixteenCharsLong\" is longer than 15 characters."},
      {with("20 20", "20junk 20"), Model::k3300_2XL,
       "Line 21: " + format + "a number must be followed by a blank or a line end."},
      // Names quoted on their own line, printable and not too long.
      {with("\"Stage EQ\"", "abc"), Model::k3300_2XL,
       "Line 13: " + format + "a quoted text is expected here."},
      {with("\"Stage EQ\"", "\"Stage\tEQ\""), Model::k3300_2XL, "Line 13: " + uncarried},
      {with("\"Stage EQ\"", "\"" + std::string(300, 'n') + "\""), Model::k3300_2XL,
       "Line 13: " + format + "the text is longer than 255 characters."},
      // What the writer never puts there but changes nothing.
      {with("[Current Settings]\n", "[Current Settings]\n// checked\n"), Model::k3300_2XL, ""},
      {reordered, Model::k3300_2XL, ""},
  };
  IQDevice3300& golden = *NewVirtual(Model::k3300_2XL);
  g3300BandB[3].Write(golden, 1);
  g3300UnitName.Write(golden, "Mine");
  eqtest::WriteFile(Temp("golden.332"), two);
  ASSERT_TRUE(Load(golden, Temp("golden.332")));
  const auto asWritten = Contents(golden);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.refusal);
    // A unit unlike the file, its memories alike so that reading them changes nothing.
    IQDevice3300& unit = *NewVirtual(c.model);
    g3300UnitName.Write(unit, "Mine");
    g3300BandA[3].Write(unit, 1);
    for (int number = 1; number <= kMemoryCount; ++number) {
      unit.UseMemory(number, MemoryOperation::kStore);
    }
    const auto before = Contents(unit);
    unit.SetModified(false);
    eqtest::WriteFile(Temp("case.332"), c.text);
    if (c.refusal.empty()) {
      EXPECT_TRUE(Load(unit, Temp("case.332")));
      EXPECT_EQ(Contents(unit), asWritten);
    } else {
      EXPECT_FALSE(Load(unit, Temp("case.332"), 1));
      EXPECT_EQ(LastMessage(), c.refusal + "\nNothing was loaded.");
      EXPECT_FALSE(unit.IsModified());
      EXPECT_EQ(Contents(unit), before);
    }
  }
}

}  // namespace
