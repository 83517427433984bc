#include "family8100/unit/Report8100.h"

#include <cstdarg>
#include <cstdio>
#include <optional>

#include "controls/ClientWindow.h"
#include "controls/DeviceErrorReport.h"
#include "family8100/unit/BulkTransfer.h"
#include "family8100/unit/Commands8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/Types8100.h"
#include "familycommon/LoadFailure.h"
#include "familycommon/ProgressWindow.h"
#include "familycommon/StoppedCommand.h"
#include "platform/registry/SafeFileWriter.h"
#include "platform/ui/Application.h"
#include "platform/ui/FileDialog.h"

namespace namespace8100 {

namespace {

constexpr const char* kPrintCaption = "Print to file";
constexpr const char* kRule = "------------------\n";
constexpr const char* kTerminatedLine = "\n\n *** REPORT TERMINATED BY ERROR ***\n";
constexpr double kMsecPerSample = 0.0208333;
constexpr double kFullScaleThreshold = 524287.0;
constexpr double kFullScaleDbu = 22.0;
constexpr double kSlowRelease = 2.1e-05;
constexpr double kMediumRelease = 4.2e-05;

void Append(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& out, const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  out += text;
}

bool Byte(uint32_t word, int shift) { return (word >> shift & 0xFFU) != 0; }

const char* Title(uint32_t typeCode) {
  switch (typeCode) {
    case kTypeCodePlus:
      return "Ordavinex+ device report\n";
    case kTypeCodeBase:
      return "Ordavinex device report\n";
    case kTypeCodeX:
      return "OrdavinexX device report\n";
    case kTypeCodeRuneTide:
      return "Ordavinex RuneTide device report\n";
    default:
      return "";
  }
}

const char* ReleaseText(float release) {
  if (release <= kSlowRelease) return "slow release, ";
  if (release <= kMediumRelease) return "medium release, ";
  return "fast release, ";
}

void AppendLimiter(std::string& out, const char* side, uint32_t threshold, float release,
                   bool softKnee) {
  // A threshold of 0 would be minus infinity: the level floor stands in for it.
  const float fraction = static_cast<float>(threshold * (1.0 / kFullScaleThreshold));
  Append(out, "%s limiter: threshold %.1f dBu, ", side,
         double{LinearToDb(fraction)} + kFullScaleDbu);
  out += ReleaseText(release);
  out += softKnee ? "soft knee.\n" : "hard knee.\n";
}

void AppendNoise(std::string& out, bool on, uint8_t type, float level, const char* side,
                 const char* sideInText) {
  if (!on) {
    Append(out, "%s noise source disabled.\n", side);
    return;
  }
  out += type != 0 ? "White " : "Pink ";
  Append(out, "noise on %s at %.1f dB\n", sideInText, double{level});
}

enum class Variant { kCurrent, kMemory };

void AppendSettings(IQDevice8100& unit, std::string& out, Variant variant) {
  Append(out, "Left attenuation: %.1f\n", g8100LeftAttenuation.Read(unit) * -0.5);
  // The routing word's bytes as the signal-flow page shows them, least significant first: left to
  // left, right to left, left to right, right to right.
  const uint32_t routing = g8100Routing.Read(unit);
  if (Byte(routing, 0)) out += "Left input -> left output\n";
  if (Byte(routing, 8)) out += "Right input -> left output\n";
  if (unit.HasDelay()) {
    Append(out, "Left delay: %.3f msec\n", g8100LeftDelay.Read(unit) * kMsecPerSample);
  }
  if (g8100LeftMute.Read(unit)) out += "Left output muted\n";
  out += "\n";
  Append(out, "Right attenuation: %.1f\n", g8100RightAttenuation.Read(unit) * -0.5);
  if (Byte(routing, 16)) out += "Left input -> right output\n";
  if (Byte(routing, 24)) out += "Right input -> right output\n";
  if (unit.HasDelay()) {
    Append(out, "Right delay: %.3f msec\n", g8100RightDelay.Read(unit) * kMsecPerSample);
  }
  if (g8100RightMute.Read(unit)) out += "Right output muted\n";
  out += "\n";

  unit.ReadAllParameters();
  constexpr std::pair<int32_t, const char*> kBanks[] = {
      {kLeftInputBank, "Left input filters\n"},
      {kRightInputBank, "\nRight input filters\n"},
      {kLeftOutputBank, "\nLeft output filters\n"},
      {kRightOutputBank, "\nRight output filters\n"}};
  for (const auto& [bank, heading] : kBanks) {
    out += heading;
    out += kRule;
    for (const auto& filter : unit.Filters()) {
      if (filter->bank == bank) out += filter->Describe();
    }
  }
  if (unit.HasLimiter()) {
    out += "\nCrossovers\n";
    out += kRule;
    for (const TFilter* crossover : {unit.LowCrossover(), unit.HighCrossover()}) {
      if (crossover) out += crossover->Describe();
    }
    if (g8100LeftPolarity.Read(unit)) out += "Left channel inverted\n";
    if (g8100RightPolarity.Read(unit)) out += "Right channel inverted\n";
  }
  if (variant == Variant::kMemory) out += "\n";
  if (unit.HasLimiter()) {
    out += "\nLimiting\n";
    out += kRule;
    const uint32_t mode = g8100LimiterMode.Read(unit);
    if (!Byte(mode, 0)) {
      out += "Limiting disabled\n";
    } else {
      out += variant == Variant::kMemory ? "Enabled\n" : "Limiting enabled\n";
      if (Byte(mode, 8)) out += "Limiting channels linked\n";
      AppendLimiter(out, "Left", g8100LeftThreshold.Read(unit), g8100LeftRelease.Read(unit),
                    Byte(mode, 24));
      AppendLimiter(out, "Right", g8100RightThreshold.Read(unit), g8100RightRelease.Read(unit),
                    Byte(mode, 16));
    }
    out += "\n";
  }
  if (unit.HasNoise()) {
    out += "\nNoise generators\n";
    out += kRule;
    AppendNoise(out, g8100LeftNoiseOn.Read(unit), g8100LeftNoiseType.Read(unit),
                g8100LeftNoiseLevel.Read(unit), "Left", "left");
    AppendNoise(out, g8100RightNoiseOn.Read(unit), g8100RightNoiseType.Read(unit),
                g8100RightNoiseLevel.Read(unit), "Right", "right");
  }
  if (variant == Variant::kCurrent) out += "\n";
}

}  // namespace

void WriteDeviceReport(IQDevice8100& unit, std::string& out, uint32_t memories,
                       familycommon::ProgressReport* progress) {
  familycommon::ProgressScope scope(progress, kMemoryCount, "Reading device parameters...");
  scope.Step(0);
  out += Title(unit.TypeCode());
  if (unit.IsOnline()) {
    Append(out, "(Address %d)\n", unit.GetInfo().address);
  } else {
    Append(out, "(virtual device '%s')\n", unit.GetName().c_str());
  }
  const std::string name = g8100UnitName.Read(unit);
  if (!name.empty()) Append(out, "Name: %s\n", name.c_str());
  if (unit.IsOnline()) {
    out += "\n--Unit information--\n";
    Append(out, "S/N: %s\n", g8100SerialNumber.Read(unit).c_str());
    Append(out, "Firmware: %s\n", unit.FirmwareVersionText().c_str());
  }

  out += "\n--Preset map--\n";
  for (int preset = 1; preset <= kMemoryCount; ++preset) {
    g8100PresetIndex.Write(unit, static_cast<uint8_t>(preset));
    const int memory = unit.GetPresetMapEntry();
    // A preset that names no memory is listed as it is; the unit would refuse its name.
    std::string name;
    if (IsMemoryNumber(memory)) {
      g8100MemoryIndex.Write(unit, static_cast<uint8_t>(memory));
      name = unit.GetMemoryName();
    }
    Append(out, "Preset %d -> %d: %s\n", preset, memory, name.c_str());
  }

  out += "\n********************\n  Current settings  \n********************\n\n";
  AppendSettings(unit, out, Variant::kCurrent);

  // The current settings' block has just read the filters the snapshot keeps.
  TransferWithPutBack({&unit}, progress, FilterLists::kCurrent, [&](BulkTransfer& transfer) {
    for (int memory = 1; memory <= kMemoryCount; ++memory) {
      scope.Step(memory);
      if ((memories >> (memory - 1) & 1U) == 0) continue;
      Append(out, "**************\n  Memory %d\n**************\n", memory);
      g8100MemoryIndex.Write(unit, static_cast<uint8_t>(memory));
      Append(out, "'%s'\n", unit.GetMemoryName().c_str());
      transfer.Recall(unit, memory);
      AppendSettings(unit, out, Variant::kMemory);
    }
    transfer.PutBack();
  });

  out += "--End of listing--\n";
  out += "\n* Device report of TelvoWindows\n* Copyright Telvo. All rights reserved.\n\n";
}

bool IQDevice8100::PrintReport() {
  if (StopsAtLock(*this, kPrintCaption)) return false;
  if (!dynamic_cast<const IQ8100Type*>(GetType())) return false;
  const uint32_t memories = ChooseRememberedMemories(*this, FamilyKey8100::kReport,
                                                     "Note: audio may mute during this operation.");
  const std::optional<std::string> path = ui::AskSaveFile(
      nullptr, {.filters = {{"text file (*.txt)", "*.txt"}}, .defaultExtension = "txt"});
  if (!path) return false;

  registry::SafeFileWriter file;
  if (!file.Begin(*path)) {
    Stop("Could not open file for print.", "Print error");
    return false;
  }
  std::string report;
  bool finished = false;
  // A unit left muted or on other settings is told so in the one box that tells the failure.
  std::optional<familycommon::StoppedCommand> stopped;
  std::string closing;
  {
    const controls::OneReportScope oneReport;
    try {
      familycommon::ProgressWindow progress;
      ui::WaitCursor wait;
      WriteDeviceReport(*this, report, memories, &progress);
      finished = true;
    } catch (const TransferFailure& failure) {
      if (failure.Restored(*this)) {
        controls::ReportFailure(failure.error, this);
      } else {
        stopped.emplace(*this, failure.error);
        closing = familycommon::NotPutBackText("report", failure.Left(*this), "");
      }
    } catch (const IQException& error) {
      ReportBusFailure(error, *this);
    }
  }
  if (!finished) {
    // What was read stays readable, marked as cut short.
    report += kTerminatedLine;
    if (file.Write(report)) file.Commit();
    // Told once the command's one report is over, as a load's is.
    if (stopped) stopped->Tell(closing, kPrintCaption);
    return false;
  }
  if (!file.Write(report) || !file.Commit()) {
    Stop("Could not write file for print.", "Print error");
    return false;
  }
  return true;
}

}  // namespace namespace8100
