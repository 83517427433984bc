#include "sim/familyov/FamilyOvUnit.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

#include "sim/familyov/ObjectTable.h"

namespace sim::familyov {
namespace {

constexpr uint8_t kFirstUnitAddress = 1;
constexpr uint8_t kLastUnitAddress = 250;

using namespace object;

constexpr int kLogicInputs = 31;
constexpr int kDumpPositioningElement = 255;
constexpr int kOutputSlots = 12;
constexpr int kChannelSlots = 20;
constexpr float kUnityGain = 1.0f;
// -100 dB: how the unit holds a closed crosspoint.
constexpr float kClosedCrosspointGain = 1e-5f;
constexpr int kCompressors = 8;
constexpr float kCompressorThresholdGain = 10.0f;  // 20 dB: the compressors do nothing
constexpr uint8_t kCompRatioOneToOne = 1;
// The DSP usage counter: its reading with nothing running, at full load, and what each part of the
// load adds.
constexpr uint32_t kUsageIdle = 286;
constexpr uint32_t kUsageFull = 791;
constexpr uint32_t kUsagePerSection = 4;
constexpr uint32_t kUsageLimiters = 133;
constexpr uint32_t kUsagePinkNoise = 37;
// A limiter that is on pulls the level down by up to this much, a decibel more at each read.
constexpr int kLimiterSwingDb = 12;

// The ranges of the four bytes of a clock record.
struct FieldRange {
  uint8_t low = 0;
  uint8_t high = 0;
};
using RecordRanges = std::array<FieldRange, 4>;
// Day of week, hour, minute, second.
constexpr RecordRanges kTimeRanges = {{{1, 7}, {0, 23}, {0, 59}, {0, 59}}};
// Day, month, year in the century, century.
constexpr RecordRanges kDateRanges = {{{1, 31}, {1, 12}, {0, 99}, {0, 99}}};
// Day (0 for an empty slot, else Sunday..Saturday), hour, minute, logic input.
constexpr RecordRanges kEventRanges = {{{0, 7}, {0, 23}, {0, 59}, {0, kLogicInputs}}};

// Whether the factory routes the input to the output: outputs in pairs from the inputs in turn
// on the four-input model, the last output of the three-input configuration from every input,
// output by input on the six-input one, and the outputs in two halves on the 2-input models.
bool FactoryRouted(const ModelTraits& traits, int output, int input) {
  if (traits.inputs == 2) return output / std::max(traits.outputs / 2, 1) == input;
  if (traits.inputs == traits.outputs) return output == input;
  if (traits.outputs == 7 && output == 6) return true;
  return output / 2 == input;
}

bool InRanges(const RecordRanges& ranges, std::span<const uint8_t> record) {
  for (std::size_t i = 0; i < ranges.size(); ++i) {
    if (record[i] < ranges[i].low || record[i] > ranges[i].high) return false;
  }
  return true;
}

// Objects only the unit changes: it refuses the program's writes.
bool ReadOnly(int objectId) {
  static constexpr int kIds[] = {kReady,           kLastMemory,   kClockPresent, kCompressorOption,
                                 kMemoryImageSize, kSerialNumber, kServiceStatus};
  return std::find(std::begin(kIds), std::end(kIds), objectId) != std::end(kIds);
}

std::vector<uint8_t> TextBytes(const std::string& text) {
  std::vector<uint8_t> bytes(kTextBytes);
  std::copy_n(text.begin(), std::min<std::size_t>(text.size(), kTextBytes - 1), bytes.begin());
  return bytes;
}

// The text up to its terminating zero (or the whole data without one).
std::string TextOf(std::span<const uint8_t> data) {
  const auto end = std::find(data.begin(), data.end(), 0);
  return std::string(data.begin(), end);
}

std::vector<uint8_t> GainBytes(float gain) { return WordBytes(std::bit_cast<uint32_t>(gain)); }

std::optional<Access> Decode(const ObjectLayout& layout, const Request& request, uint8_t& error) {
  Access access{.objectId = layout.id, .data = request.payload};
  if (layout.count > 1) {
    if (access.data.empty()) {
      error = unit_error::kIncompleteMessage;
      return std::nullopt;
    }
    access.index = access.data[0];
    access.data = access.data.subspan(1);
    if (access.index >= layout.count) {
      error = unit_error::kParameterOutOfRange;
      return std::nullopt;
    }
  }
  return access;
}

UnitReply Reply(const Request& request, const Outcome& outcome) {
  return outcome.error ? Unit::Refused(request, *outcome.error)
                       : Unit::Accepted(request, outcome.data);
}

UnitIdentity CheckedIdentity(const UnitOptions& options) {
  if (options.compressorOption && !Of8148Family(options.model)) {
    throw std::invalid_argument("only the 8148 has the compressor option");
  }
  // Checked now rather than when a reflash ends.
  if (!options.reflashedFirmware.empty()) FirmwareTenths(options.reflashedFirmware);
  return IdentityOf(options.model, options.address, options.network, options.firmware);
}

}  // namespace

FamilyOvUnit::FamilyOvUnit(const UnitOptions& options)
    : Unit(CheckedIdentity(options), ObjectTable()),
      options_(options),
      traits_(TraitsOf(options.model)),
      filters_(traits_.filterSlots, traits_.firstOutput + traits_.outputs),
      images_(traits_.imageWords),
      memories_(*this, filters_, images_, GeometryOf(options.model, options.compressorOption),
                familyov::MemoryCount(options.model, options.firmware)),
      working_(options.busy),
      loading_(options.busy) {
  ApplyFactoryDefaults();
}

template <typename OutcomeOf>
std::optional<UnitReply> FamilyOvUnit::AnswerSpecial(const Request& request, OutcomeOf outcomeOf) {
  FinishDueFactoryReset();
  const ObjectLayout* layout = FindObject(request.objectId);
  if (layout == nullptr) return std::nullopt;
  uint8_t error = 0;
  const auto access = Decode(*layout, request, error);
  if (!access) return Refused(request, error);
  const std::optional<Outcome> outcome = outcomeOf(*layout, *access);
  if (!outcome) return std::nullopt;
  return Reply(request, *outcome);
}

std::optional<UnitReply> FamilyOvUnit::AnswerSpecialSet(const Request& request) {
  return AnswerSpecial(request, [this](const ObjectLayout& layout, const Access& access) {
    if (locked_ && !AllowedWhileLocked(access)) {
      return std::optional(Outcome::Fail(kDeviceLockedError));
    }
    return SetSpecial(layout, access);
  });
}

std::optional<UnitReply> FamilyOvUnit::AnswerNetworkRequest(const Request& request) {
  if (Of8148Family(options_.model)) return std::nullopt;
  const bool fire = request.opcode == kOpcodeSet && request.objectId == kCurrentLogicIn;
  const bool ready = request.opcode == kOpcodeGet && request.objectId == kReady;
  if (!fire && !ready) return std::nullopt;
  return Answer(request);
}

std::optional<UnitReply> FamilyOvUnit::AnswerSpecialGet(const Request& request) {
  return AnswerSpecial(
      request, [this](const ObjectLayout&, const Access& access) { return GetSpecial(access); });
}

bool FamilyOvUnit::AllowedWhileLocked(const Access& access) const {
  // The password unlocks; locking again changes nothing.
  return access.objectId == kPassword ||
         (access.objectId == kLocked && !access.data.empty() && access.data[0] != 0);
}

std::optional<Outcome> FamilyOvUnit::SetSpecial(const ObjectLayout& layout, const Access& access) {
  if (ReadOnly(layout.id)) return Outcome::Fail(unit_error::kMethodOutOfRange);
  if (layout.id == kPassword) return TryPassword(access);
  if (IsTextObject(layout.id)) return StoreText(layout, access);
  if (layout.id == kFlashData) return flash_.Write(access.data);
  // Numbers and records go whole: a short one is an incomplete message.
  if (access.data.size() != static_cast<std::size_t>(layout.elementSize)) {
    return Outcome::Fail(access.data.size() < static_cast<std::size_t>(layout.elementSize)
                             ? unit_error::kIncompleteMessage
                             : unit_error::kParameterOutOfRange);
  }
  if (auto filter = filters_.Set(access)) return filter;
  const uint8_t value = access.data[0];
  const auto checked = [&](const RecordRanges& ranges) -> std::optional<Outcome> {
    if (InRanges(ranges, access.data)) return std::nullopt;  // stored as any other value
    return Outcome::Fail(unit_error::kParameterOutOfRange);
  };
  switch (layout.id) {
    case kInitialize:
      return Initialize(value);
    case kReset:
      return Reset(value);
    case kFlashEnable:
      return flash_.Enable(value);
    case kFlashErase:
      return ThenBusy(flash_.Erase(value));
    case kFlashAddress:
      return flash_.SetAddress(WordOf(access.data));
    case kFlashCount:
      return flash_.SetCount(value);
    case kSaveMemory:
      return ThenBusy(memories_.Store(value));
    case kRecallMemory:
      return ThenBusy(memories_.Recall(value));
    case kLocked:
      return SetLocked(value);
    case kAddress:
      return MoveToAddress(value);
    case kCurrentLogicIn:
      return FireLogicInputNow(value);
    case kNewSettings:
      return AnswerNewSettings(value);
    case kMemoryDump:
      return images_.Write(access.index, access.data);
    case kTime:
    case kDate: {
      const bool time = layout.id == kTime;
      if (auto refused = checked(time ? kTimeRanges : kDateRanges)) return refused;
      const UnitClock::Record record{access.data[0], access.data[1], access.data[2],
                                     access.data[3]};
      time ? clock_.SetTime(record) : clock_.SetDate(record);
      return Outcome::Done();
    }
    case kTimerEvent:
      return checked(kEventRanges);
    default:
      return std::nullopt;
  }
}

// The unit answers at its new address from the next request on; the value is also stored, so a
// read gives it back.
std::optional<Outcome> FamilyOvUnit::MoveToAddress(uint8_t address) {
  if (address < kFirstUnitAddress || address > kLastUnitAddress) {
    return Outcome::Fail(unit_error::kParameterOutOfRange);
  }
  UnitIdentity moved = Identity();
  moved.address = address;
  SetIdentity(moved);
  // It keeps the address in its non-volatile memory, which takes a while.
  working_.Start();
  return std::nullopt;
}

std::optional<Outcome> FamilyOvUnit::GetSpecial(const Access& access) {
  if (auto filter = filters_.Get(access)) return filter;
  switch (access.objectId) {
    case kReady:
      return Outcome::Done({static_cast<uint8_t>(!working_.Poll())});
    case kNewSettings: {
      const bool loading = loading_.Poll();
      return Outcome::Done({static_cast<uint8_t>(loading || pendingMemory_ != 0)});
    }
    case kLocked:
      return Outcome::Done({static_cast<uint8_t>(locked_)});
    case kTime: {
      const UnitClock::Record time = clock_.Time();
      return Outcome::Done({time.begin(), time.end()});
    }
    case kDate: {
      const UnitClock::Record date = clock_.Date();
      return Outcome::Done({date.begin(), date.end()});
    }
    case kChannelMeter:
      return Outcome::Done(meters_.Read(access.index));
    case kLimiterMeter:
      return Outcome::Done(LimiterReading(access.index));
    case kDspUsage:
      return Outcome::Done(WordBytes(DspUsageCounter()));
    case kPassword:
      // The password is never read back.
      return Outcome::Done(std::vector<uint8_t>(kTextBytes));
    case kMemoryDump:
      // Positioning starts a transfer: memory 0 then shows the settings as they are now.
      if (access.index == kDumpPositioningElement) memories_.RefreshCurrentImage();
      return images_.Read(access.index);
    default:
      return std::nullopt;
  }
}

Outcome FamilyOvUnit::StoreText(const ObjectLayout& layout, const Access& access) {
  if (access.data.size() > static_cast<std::size_t>(layout.elementSize)) {
    return Outcome::Fail(unit_error::kParameterOutOfRange);
  }
  // A shorter text leaves no tail of the one before.
  std::vector<uint8_t> element(layout.elementSize);
  std::copy(access.data.begin(), access.data.end(), element.begin());
  StoreElement(layout.id, access.index, element);
  return Outcome::Done();
}

Outcome FamilyOvUnit::TryPassword(const Access& access) {
  if (access.data.size() > static_cast<std::size_t>(kTextBytes)) {
    return Outcome::Fail(unit_error::kParameterOutOfRange);
  }
  const std::string text = TextOf(access.data);
  if (!locked_) {
    password_ = text;
  } else if (text == password_) {
    locked_ = false;
  }
  // A wrong password is accepted all the same: the lock flag, still set, tells the program.
  return Outcome::Done();
}

Outcome FamilyOvUnit::SetLocked(uint8_t value) {
  // Only the password unlocks; a write of 0 while locked never gets here.
  if (value != 0) locked_ = true;
  return Outcome::Done();
}

void FamilyOvUnit::FireLogicInput(int input) {
  if (const uint8_t memory = LogicMemory(input)) pendingMemory_ = memory;
}

Outcome FamilyOvUnit::AnswerNewSettings(uint8_t value) {
  // 1 lets the unit load the memory it was asked for; it reports loading until it is done.
  // 0 keeps the present settings.
  if (value != 0 && pendingMemory_ != 0) {
    memories_.Recall(pendingMemory_);
    loading_.Start();
  }
  pendingMemory_ = 0;
  return Outcome::Done();
}

Outcome FamilyOvUnit::FireLogicInputNow(uint8_t input) {
  if (input > kLogicInputs) return Outcome::Fail(unit_error::kParameterOutOfRange);
  StoreElement(kCurrentLogicIn, 0, std::vector<uint8_t>{input});
  if (const uint8_t memory = LogicMemory(input)) memories_.Recall(memory);
  return ThenBusy(Outcome::Done());
}

uint8_t FamilyOvUnit::LogicMemory(int input) const {
  if (input < 1 || input > kLogicInputs) return 0;
  const uint8_t memory = Element(kLogicMemory, input)[0];
  return memory <= memories_.Count() ? memory : 0;
}

Outcome FamilyOvUnit::Initialize(uint8_t value) {
  if (value == 0) return Outcome::Done();
  factoryResetDue_ = true;
  return ThenBusy(Outcome::Done());
}

void FamilyOvUnit::FinishDueFactoryReset() {
  if (!std::exchange(factoryResetDue_, false)) return;
  ApplyFactoryDefaults();
}

Outcome FamilyOvUnit::Reset(uint8_t value) {
  if (value == 0) return Outcome::Done();
  if (flash_.Reboot() && !options_.reflashedFirmware.empty()) {
    memories_.SetCount(familyov::MemoryCount(options_.model, options_.reflashedFirmware));
    const UnitIdentity& running = Identity();
    SetIdentity(
        IdentityOf(options_.model, running.address, running.network, options_.reflashedFirmware));
  }
  ++reboots_;
  return ThenBusy(Outcome::Done());
}

std::vector<uint8_t> FamilyOvUnit::LimiterReading(int channel) {
  const auto slot = static_cast<std::size_t>(channel) % limiterReads_.size();
  const bool on = Element(kLimiterEnable, channel)[0] != 0;
  const int reductionDb = on ? static_cast<int>(limiterReads_[slot]++ % (kLimiterSwingDb + 1)) : 0;
  return GainBytes(static_cast<float>(std::pow(10.0, -reductionDb / 20.0)));
}

uint32_t FamilyOvUnit::DspUsageCounter() const {
  uint32_t counter = kUsageIdle + filters_.SectionsInUse() * kUsagePerSection;
  for (int output = 0; output < traits_.outputs; ++output) {
    if (Element(kLimiterEnable, traits_.firstOutput + output)[0] != 0) {
      counter += kUsageLimiters;
      break;
    }
  }
  if (Element(kPinkNoiseEnable, 0)[0] != 0) counter += kUsagePinkNoise;
  return std::min(counter, kUsageFull);
}

Outcome FamilyOvUnit::ThenBusy(Outcome outcome) {
  if (!outcome.error) working_.Start();
  return outcome;
}

void FamilyOvUnit::ApplyFactoryDefaults() {
  for (const ObjectLayout& layout : ObjectTable()) {
    for (int index = 0; index < layout.count; ++index) {
      StoreElement(layout.id, index, std::vector<uint8_t>(layout.elementSize));
    }
  }
  filters_.Clear();
  images_.Clear();
  locked_ = false;
  password_.clear();
  pendingMemory_ = 0;

  const auto store = [this](int id, int index, const std::vector<uint8_t>& bytes) {
    StoreElement(id, index, bytes);
  };
  const auto storeByte = [&](int id, int index, int value) {
    store(id, index, {static_cast<uint8_t>(value)});
  };
  store(kSerialNumber, 0, TextBytes(options_.serialNumber));
  store(kUnitName, 0, TextBytes(options_.unitName));
  const int memoryCount = memories_.Count();
  for (int memory = 1; memory <= memoryCount; ++memory) {
    store(kMemoryName, memory - 1, TextBytes("Memory " + std::to_string(memory)));
  }
  // A unit leaves the factory with its channels named as the front panel labels them.
  for (int input = 0; input < traits_.inputs; ++input) {
    store(kChannelName, input, TextBytes(std::string(1, static_cast<char>('1' + input))));
  }
  for (int output = 0; output < traits_.outputs; ++output) {
    store(kChannelName, traits_.firstOutput + output,
          TextBytes(std::string(1, static_cast<char>('A' + output))));
  }
  for (int input = 1; input <= kLogicInputs; ++input) {
    storeByte(kLogicMemory, input, (input - 1) % memoryCount + 1);
  }
  // Outputs share crossover networks in pairs on the 8148 and in halves on the 2-input models.
  const int outputsPerNetwork =
      Of8148Family(options_.model) || traits_.outputs < 3 ? 2 : traits_.outputs / 2;
  for (int output = 0; output < kOutputSlots; ++output) {
    storeByte(kCrossoverNetwork, output, output / outputsPerNetwork + 1);
    store(kPolarity, output, GainBytes(kUnityGain));
  }
  for (int channel = 0; channel < kChannelSlots; ++channel) {
    store(kChannelLevel, channel, GainBytes(kUnityGain));
    storeByte(kLimiterKnee, channel, 1);
    storeByte(kLimiterSpeed, channel, 1);
    store(kLimiterThreshold, channel, GainBytes(kUnityGain));  // 22 dB, the highest
  }
  for (int input = 0; input < kCompressors; ++input) {
    store(kCompThreshold, input, GainBytes(kCompressorThresholdGain));
    store(kCompPostGain, input, GainBytes(kUnityGain));
    storeByte(kCompRatio, input, kCompRatioOneToOne);
  }
  store(kMasterLevel, 0, GainBytes(kUnityGain));
  for (int output = 0; output < traits_.outputs; ++output) {
    for (int input = 0; input < traits_.inputs; ++input) {
      store(kCrosspointLevel, output * traits_.firstOutput + input,
            GainBytes(FactoryRouted(traits_, output, input) ? kUnityGain : kClosedCrosspointGain));
    }
  }
  storeByte(kClockPresent, 0, 1);
  storeByte(kDaylightSaving, 0, 1);
  storeByte(kCompressorOption, 0, options_.compressorOption);
  store(kMemoryImageSize, 0, WordBytes(static_cast<uint32_t>(traits_.imageWords)));
  clock_ = UnitClock();
  memories_.StoreEverywhere();
}

int AddFamilyOvUnit(SimulatedBus& bus, const UnitOptions& options) {
  return bus.AddUnit(std::make_unique<FamilyOvUnit>(options));
}

}  // namespace sim::familyov
