// Reflashing a simulated 8148 with a 64 KiB firmware image, from the file the user picked to the
// unit ready after its reboot, through the real termios line and a pseudo-terminal paced at the
// bus's baud rate. Held against the wire time of the same traffic in the same run plus the time the
// unit spends busy erasing and rebooting (the ready polls it answers "not yet" meanwhile are that
// time, not traffic of their own); exits non-zero above the limit.

#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/BenchLine.h"
#include "bench/Simulated8148.h"
#include "familyov/unit/Reflash.h"
#include "platform/ui/Application.h"
#include "platform/ui/Message.h"
#include "platform/ui/Prompts.h"
#include "resources/AppResources.h"
#include "sim/WireFormat.h"
#include "tests/familycommon/HexRecordLine.h"

namespace {

using bench::Ms;

constexpr int kImageBytes = 64 * 1024;
constexpr int kRecordBytes = 32;
// How long the unit stays busy after the erase and after the reboot.
constexpr std::chrono::milliseconds kBusyTime{300};
constexpr int kBusyPeriods = 2;
constexpr int kReadyObjectId = 0x06;
constexpr double kLimitRatio = 1.10;

// Firmware for the 8148 at version 1.6 without re-initialise: its model record, the upper
// address, the image in records of kRecordBytes, the end.
std::string FirmwareText() {
  std::string text =
      HexRecordLine(3, {0x04, 0x70, 0x00, 16}, 0) + HexRecordLine(4, {0x00, 0x00}, 0);
  uint32_t noise = 12345;
  for (int offset = 0; offset < kImageBytes; offset += kRecordBytes) {
    std::vector<uint8_t> data(kRecordBytes);
    for (uint8_t& byte : data) {
      noise = noise * 1103515245u + 12345u;
      byte = static_cast<uint8_t>(noise >> 16);
    }
    text += HexRecordLine(0, data, offset);
  }
  return text + HexRecordLine(1, {}, 0);
}

// The traffic without the ready polls that the unit answered "not yet": while it is busy the
// program has nothing else to do.
std::vector<sim::TrafficEntry> WithoutBusyPolls(const std::vector<sim::TrafficEntry>& traffic) {
  std::vector<sim::TrafficEntry> kept;
  for (std::size_t i = 0; i < traffic.size(); ++i) {
    const auto request = sim::DecodeRequest(traffic[i].bytes);
    const bool busyPoll = request && request->objectId == kReadyObjectId &&
                          request->opcode == sim::kOpcodeGet && i + 1 < traffic.size() &&
                          traffic[i + 1].direction == sim::Direction::kFromUnits &&
                          traffic[i + 1].bytes.size() >= 2 &&
                          traffic[i + 1].bytes[traffic[i + 1].bytes.size() - 2] == 0;
    if (busyPoll) {
      ++i;
      continue;
    }
    kept.push_back(traffic[i]);
  }
  return kept;
}

}  // namespace

int main(int argc, char** argv) {
  ui::Application app(argc, argv, "familyov_reflash_bench");
  RegisterAppDialogs();
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "familyov_reflash_bench.ihx";
  std::ofstream(path) << FirmwareText();

  bench::Simulated8148 line({.busy = {.polls = INT_MAX, .time = kBusyTime}},
                            {'x', '8', '1', '.', '5'});
  namespaceOV::IQDevice8148 unit(&line.type, &line.manager, &line.record, 8);
  bool failed = false;
  bench::PrintBusFailures();
  ui::PromptScript script([&](const std::string& what) {
    std::fprintf(stderr, "unexpected prompt: %s\n", what.c_str());
    failed = true;
  });
  // The warning, the file, the last question and the closing message.
  script.AnswerMessageBox(ui::kIdOk)
      .AnswerOpenFile(path.string())
      .AnswerMessageBox(ui::kIdOk)
      .AnswerMessageBox(ui::kIdOk);

  bench::StartPacedRun(line.bus);
  bench::Timed reflash =
      bench::Time(line.bus, [&unit] { namespaceOV::ReflashUnit(unit, nullptr); });
  const auto& seen = script.Seen();
  if (seen.size() != 4 || seen.back().text.rfind("Device reprogrammed successfully", 0) != 0) {
    std::fprintf(stderr, "the reflash did not succeed\n");
    failed = true;
  }
  reflash.wireMs =
      bench::WireMs(WithoutBusyPolls(line.bus.Traffic())) + kBusyPeriods * Ms(kBusyTime).count();
  const bool within =
      bench::Report("familyov: reflash an 8148 with a 64 KiB image",
                    "wire time with turnarounds and busy time", reflash, kLimitRatio);
  line.Close();
  std::filesystem::remove(path);
  return within && !failed ? 0 : 1;
}
