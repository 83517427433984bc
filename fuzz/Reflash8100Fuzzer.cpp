// The older family's reflash as the user runs it, every question answered OK, on a simulated unit
// of the family that answers the line in-process. The first byte picks the model and how long the
// unit stays busy after each set; the second, how many of the four-byte faults that follow the
// unit's replies suffer; the rest is the firmware file. Nothing reaches the unit before the file
// is accepted; a reflash reported done has put exactly the file's blocks, at the family's
// addresses, into the unit's flash and rebooted it.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "bus/IQException.h"
#include "controls/DeviceErrorReport.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/Reflash8100.h"
#include "family8100/unit/Types8100.h"
#include "familycommon/IntelHex.h"
#include "fuzz/InputFile.h"
#include "fuzz/ScriptedBus.h"
#include "platform/ui/Application.h"
#include "platform/ui/Message.h"
#include "platform/ui/Prompts.h"
#include "resources/AppResources.h"
#include "sim/BusModel.h"
#include "sim/FrameParser.h"
#include "sim/family8100/Family8100Unit.h"

using namespace namespace8100;

namespace {

constexpr uint8_t kAddress = 5;
constexpr std::size_t kHeaderBytes = 2;
constexpr std::size_t kFaultBytes = 4;
constexpr int kMaxFaults = 4;
constexpr int kMaxBusyPolls = 3;
// Enough polls for the busiest unit of the input; fewer keep a unit that never gets ready short.
constexpr int kReadyPolls = kMaxBusyPolls + 2;
// The warning, the file, then at most: the notice of records left out after an empty data record,
// the re-initialise question, the last question, the result.
constexpr int kAnswersAfterFile = 4;
constexpr const char* kDone =
    "Device reprogrammed successfully.  Please close device window and perform roll-call.";
constexpr const char* kLastQuestion = "File opened successfully.  Continue with reflash?";

using Blocks = std::vector<std::pair<uint32_t, std::vector<uint8_t>>>;

// One program for all inputs: the progress dialog needs it, offscreen.
void StartApplication() {
  static int argc = 1;
  static char name[] = "reflash_8100_fuzzer";
  static char* argv[] = {name, nullptr};
  static const std::unique_ptr<ui::Application> app = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    auto started = std::make_unique<ui::Application>(argc, argv, "Telvo Fuzz");
    RegisterAppDialogs();
    // A bus failure is reported to the user; here it only has to be reported at all.
    controls::SetDeviceErrorReporter([](const IQException&, IQDevice*, int) {});
    return started;
  }();
}

std::pair<sim::family8100::Model, IQDeviceType*> ModelOf(uint8_t choice) {
  static IQ8100Type base;
  static IQ8100PlusType plus;
  static IQ8100XType x;
  static IQ8100RTType runeTide;
  using sim::family8100::Model;
  switch (choice % 4) {
    case 0:
      return {Model::kBase, &base};
    case 1:
      return {Model::kPlus, &plus};
    case 2:
      return {Model::kX, &x};
    default:
      return {Model::kRuneTide, &runeTide};
  }
}

// A fault on the replies: its kind, the object it hits (any for 0), on which occurrence and how
// many times, and a value. Faults that only change timing mean nothing on a line that never waits.
sim::Fault FaultOf(std::span<const uint8_t, kFaultBytes> bytes) {
  sim::Fault fault;
  switch (bytes[0] % 7) {
    case 0:
      fault = sim::Fault::Silence();
      break;
    case 1:
      fault = sim::Fault::BadChecksum();
      break;
    case 2:
      fault = sim::Fault::Status(bytes[3]);
      break;
    case 3:
      fault = sim::Fault::ErrorObject(bytes[3]);
      break;
    case 4:
      fault = sim::Fault::Truncate(bytes[3] % 8);
      break;
    case 5:
      fault = sim::Fault::GarbageBefore({bytes[3]});
      break;
    default:
      fault = sim::Fault::BytesAfter({bytes[3]});
  }
  if (bytes[1] != 0) fault = fault.ForObject(bytes[1]);
  return fault.OnOccurrence(1 + bytes[2] % 32).Times(1 + bytes[2] / 32);
}

// The simulated bus answering what the program writes, frame by frame.
class SimulatedLine {
 public:
  explicit SimulatedLine(std::unique_ptr<sim::Unit> unit) { model_.AddUnit(std::move(unit)); }

  sim::BusModel& Model() { return model_; }
  int Frames() const { return frames_; }

  std::vector<uint8_t> Answer(std::span<const uint8_t> written) {
    for (uint8_t byte : written) parser_.Feed(byte);
    std::vector<uint8_t> answer;
    while (const std::optional<sim::Frame> frame = parser_.Next()) {
      ++frames_;
      const sim::Transmission sent = model_.Handle(*frame);
      answer.insert(answer.end(), sent.bytes.begin(), sent.bytes.end());
    }
    return answer;
  }

 private:
  sim::BusModel model_;
  sim::FrameParser parser_;
  int frames_ = 0;
};

// What the unit's flash must hold after the firmware: each data record a block where the last
// upper-address record put the cursor, the blocks following one another.
Blocks ExpectedBlocks(const familycommon::Firmware& firmware) {
  Blocks blocks;
  uint32_t cursor = 0;
  for (const familycommon::HexRecord& record : firmware.records) {
    if (record.type == familycommon::kHexUpperAddress) {
      cursor = (uint32_t{record.data[0]} << 8 | record.data[1]) << 16;
    } else if (record.type == familycommon::kHexData) {
      blocks.emplace_back(cursor, record.data);
      cursor += static_cast<uint32_t>(record.data.size());
    }
  }
  return blocks;
}

std::optional<familycommon::Firmware> Accepted(const std::string& text, uint32_t familyCode) {
  std::istringstream in(text);
  try {
    return familycommon::ReadFirmware(in, {.modelRecordBytes = 3, .maxDataBytes = kFlashBlockBytes},
                                      familyCode);
  } catch (const familycommon::HexFileError&) {
    return std::nullopt;
  }
}

}  // namespace

// The font configuration library keeps caches of its own until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static InputFile input;
  if (size < kHeaderBytes) return 0;
  StartApplication();
  const auto [model, type] = ModelOf(data[0]);
  const int busyPolls = data[0] / 4 % (kMaxBusyPolls + 1);
  const int faultCount = data[1] % (kMaxFaults + 1);
  std::size_t at = kHeaderBytes;
  if (size < at + faultCount * kFaultBytes) return 0;

  auto simulated = std::make_unique<sim::family8100::Family8100Unit>(
      sim::family8100::UnitOptions{.model = model, .address = kAddress, .busyPolls = busyPolls});
  const sim::family8100::Family8100Unit& flashed = *simulated;
  SimulatedLine line(std::move(simulated));
  for (int i = 0; i < faultCount; ++i, at += kFaultBytes) {
    line.Model().Faults().Add(
        FaultOf(std::span<const uint8_t, kFaultBytes>(data + at, kFaultBytes)));
  }
  ScriptedBus bus;
  bus.AnswerWrites([&line](std::span<const uint8_t> written) { return line.Answer(written); });
  const uint32_t familyCode = static_cast<uint32_t>(model);
  const IQDeviceInfo info(kAddress, familyCode, 1);
  const std::unique_ptr<IQDevice> device(type->CreateDevice(&bus.Manager(), &info));
  auto& unit = dynamic_cast<IQDevice8100&>(*device);
  ReadyBound bound;
  bound.maxPolls = kReadyPolls;
  unit.SetReadyBound(bound);

  const std::string text(reinterpret_cast<const char*>(data + at), size - at);
  const std::string path = input.Write(data + at, size - at).string();
  {
    // Answers left over are no failure: a refused file asks fewer questions.
    ui::PromptScript script([](const std::string& what) {
      if (what.find("never asked for") == std::string::npos) std::abort();
    });
    script.AnswerMessageBox(ui::kIdOk).AnswerOpenFile(path);
    for (int i = 0; i < kAnswersAfterFile; ++i) script.AnswerMessageBox(ui::kIdOk);
    ReflashUnit(unit, nullptr);

    const std::vector<ui::Prompt>& seen = script.Seen();
    bool asked = false;
    for (const ui::Prompt& prompt : seen) asked = asked || prompt.text == kLastQuestion;
    if (!asked && line.Frames() != 0) std::abort();
    if (seen.back().text != kDone) return 0;
  }
  const std::optional<familycommon::Firmware> firmware = Accepted(text, familyCode);
  if (!firmware) std::abort();
  const sim::family8100::FlashImage& flash = flashed.Flash();
  if (flash.reboots == 0 || flash.blocks != ExpectedBlocks(*firmware) ||
      (flash.initialisations > 0) != firmware->reinitialise) {
    std::abort();
  }
  return 0;
}
