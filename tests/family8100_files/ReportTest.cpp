#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "family8100/unit/BulkTransfer.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/Report8100.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/familyov_files/FilesTestSupport.h"

using namespace namespace8100;
using sim::family8100::Model;
using testing::HasSubstr;
using testing::Not;

namespace {

std::string DefaultPresetMap() {
  std::string text = "\n--Preset map--\n";
  for (int n = 1; n <= 12; ++n) {
    text += "Preset " + std::to_string(n) + " -> " + std::to_string(n) + ": Memory " +
            std::to_string(n) + "\n";
  }
  return text;
}

constexpr const char* kTrailer =
    "--End of listing--\n\n* Device report of TelvoWindows\n* Copyright Telvo. All rights "
    "reserved.\n\n";

std::string Report(IQDevice8100& unit, uint32_t memories = 0) {
  std::string text;
  WriteDeviceReport(unit, text, memories);
  return text;
}

}  // namespace

TEST(OlderFamilyReportTest, AnXUnitListsItsSettingsFiltersCrossoversAndLimiter) {
  IQDevice8100X unit(nullptr, nullptr, nullptr);
  unit.SetName("Hall");
  g8100LeftAttenuation.Write(unit, 12);
  g8100LeftDelay.Write(unit, 48);
  g8100LeftPolarity.Write(unit, true);
  g8100LeftThreshold.Write(unit, 524287);
  g8100LeftRelease.Write(unit, 2.1e-5F);
  g8100RightRelease.Write(unit, 8.3e-5F);
  g8100LimiterMode.Write(unit, 0xFF00FFFF);
  auto parametric = std::make_unique<TParametricFilter>();
  parametric->bank = kLeftInputBank;
  parametric->frequency = 1000;
  parametric->level = -3.0F;
  parametric->q = 2.0F;
  unit.PlaceFilter(std::move(parametric));
  auto low = std::make_unique<TLowCrossoverFilter>();
  low->bank = kLeftOutputBank;
  low->frequency = 300;
  unit.PlaceFilter(std::move(low));

  EXPECT_TRUE(filestest::SameText(
      Report(unit), "OrdavinexX device report\n(virtual device 'Hall')\n" + DefaultPresetMap() +
                        "\n********************\n  Current settings  \n********************\n\n"
                        "Left attenuation: -6.0\nLeft input -> left output\n"
                        "Left delay: 1.000 msec\n\n"
                        "Right attenuation: -0.0\nLeft input -> right output\n"
                        "Right delay: 0.000 msec\n\n"
                        "Left input filters\n------------------\n"
                        "Parametric at 1000 Hz, -3.0 dB, Q 2.0\n"
                        "\nRight input filters\n------------------\n"
                        "\nLeft output filters\n------------------\n"
                        "\nRight output filters\n------------------\n"
                        "\nCrossovers\n------------------\n"
                        "Low Butterworth Crossover at 300 Hz, slope -12 dB/oct\n"
                        "Left channel inverted\n"
                        "\nLimiting\n------------------\nLimiting enabled\n"
                        "Limiting channels linked\n"
                        "Left limiter: threshold 22.0 dBu, slow release, soft knee.\n"
                        "Right limiter: threshold 16.0 dBu, fast release, hard knee.\n\n\n" +
                        kTrailer));
}

TEST(OlderFamilyReportTest, EachModelListsWhatItHasAndMemoriesLeaveTheCurrentSettingsAlone) {
  IQDevice8100 base(nullptr, nullptr, nullptr);
  const std::string baseReport = Report(base);
  EXPECT_THAT(baseReport, HasSubstr("Ordavinex device report\n"));
  for (const char* absent : {"delay", "Crossovers", "Limiting", "Noise"}) {
    EXPECT_THAT(baseReport, Not(HasSubstr(absent)));
  }
  IQDevice8100Plus plus(nullptr, nullptr, nullptr);
  EXPECT_THAT(Report(plus), HasSubstr("Right delay: 0.000 msec\n"));

  IQDevice8100RT runeTide(nullptr, nullptr, nullptr);
  g8100RightNoiseType.Write(runeTide, 1);
  g8100LeftNoiseOn.Write(runeTide, false);
  g8100LeftAttenuation.Write(runeTide, 3);
  runeTide.SaveMemory(2);
  g8100LeftAttenuation.Write(runeTide, 0);
  const std::string report = Report(runeTide, 0x2);
  EXPECT_THAT(report, HasSubstr("\nNoise generators\n------------------\nLeft noise source "
                                "disabled.\nWhite noise on right at -40.0 dB\n"));
  EXPECT_THAT(report, HasSubstr("**************\n  Memory 2\n**************\n'Memory 2'\n"
                                "Left attenuation: -1.5\n"));
  EXPECT_THAT(report, Not(HasSubstr("delay")));
  EXPECT_EQ(g8100LeftAttenuation.Read(runeTide), 0);
  EXPECT_TRUE(g8100BulkMute.Read(runeTide));
}

TEST(OlderFamilyReportTest, ABusUnitIsPutBackAndUnmutedWhenAMemoryCannotBeRead) {
  testsupport8100::OlderFamilyBus bus;
  const int index = sim::family8100::AddFamily8100Unit(
      bus.bus, {.model = Model::kPlus, .address = 7, .firmware = "1.25", .unitName = "Foyer"});
  IQDevice8100* unit = testsupport8100::OnlyUnit(bus);
  g8100RightAttenuation.Write(*unit, 4);
  // A preset that points at no memory is listed as it is, without asking for a name.
  bus.bus.WithUnit(index, [](sim::Unit& u) {
    dynamic_cast<sim::family8100::Family8100Unit&>(u).ClearPreset(3);
  });
  const std::string report = Report(*unit, 0x1);
  EXPECT_THAT(report, HasSubstr("Ordavinex+ device report\n(Address 7)\nName: Foyer\n\n"
                                "--Unit information--\nS/N: \nFirmware: V1.25\n"));
  EXPECT_THAT(report, HasSubstr("Preset 2 -> 2: Memory 2\nPreset 3 -> 0: \nPreset 4 -> 4: "));
  EXPECT_THAT(report, HasSubstr("Right attenuation: -2.0\n"));

  // Memory 2's recall is refused: the unit still ends on its own settings, unmuted.
  bus.bus.AddFault(
      sim::Fault::ErrorObject(7).ForObject(15).ForOpcode(sim::kOpcodeSet).OnOccurrence(1));
  std::string cut;
  EXPECT_THROW(WriteDeviceReport(*unit, cut, 0x2), TransferFailure);
  bus.bus.ClearFaults();
  EXPECT_THAT(cut, HasSubstr("  Memory 2\n"));
  unit->ResetValueStore();
  EXPECT_EQ(g8100RightAttenuation.Read(*unit), 4);
  EXPECT_TRUE(g8100BulkMute.Read(*unit));
}
