#include "sim/family8100/Family8100Unit.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace sim::family8100 {

namespace {

constexpr int kObjectIdCount = 61;
constexpr int kTextBytes = 15;
constexpr int kFlashBlockBytes = 64;
constexpr int kFlashBlockId = 5;
constexpr int kFourByteIds[] = {4,  16, 23, 31, 32, 33, 34, 44, 45,
                                48, 49, 50, 51, 52, 53, 54, 55, 56};
constexpr int kTextIds[] = {25, 26, 27, 30, 43};

enum ObjectId : int {
  kInitModeId = 0,
  kRebootId = 1,
  kFlashStartId = 2,
  kFlashEraseId = 3,
  kFlashAddressId = 4,
  kAddressId = 7,
  kAddressDoneId = 42,
  kSaveMemoryId = 14,
  kRestoreMemoryId = 15,
  kNewFilterSlotId = 17,
  kDeleteFilterId = 18,
  kFilterBankId = 19,
  kFilterTypeId = 20,
  kFilterSlotId = 21,
  kParamSelectId = 22,
  kFilterValueId = 23,
  kFilterCommitId = 24,
  kMemoryIndexId = 29,
  kMemoryNameId = 30,
  kPresetIndexId = 36,
  kPresetMapId = 37,
  kBypassNowId = 40,
  kBypassId = 41,
  kFirstMeterId = 31,
  kLastMeterId = 34,
  kLeftThresholdId = 48,
  kRightThresholdId = 49,
  kLeftGainId = 52,
  kRightGainId = 53,
  kLimiterModeId = 54,
  // Where the selected filter lives after a change of its size.
  kResizedSlotId = 39,
};
constexpr double kFirstDeleteAllVersion = 1.1;
constexpr int kFilterSlotCount = 70;
constexpr int kFilterSlotCountX = 78;
constexpr int kParamSelectors = 3;
constexpr uint8_t kDeviceLocked = 10;
constexpr uint8_t kWrongPassword = 9;
// The limiters' factory threshold, 16 dBu, which the loudest of the signal passes.
constexpr uint8_t kFactoryThreshold[] = {0x00, 0x04, 0x02, 0x6D};
// What a memory holds besides the filters: the settings that are not commands or meters.
constexpr int kSettingIds[] = {9,  10, 11, 12, 16, 44, 45, 46, 47, 48,
                               49, 50, 51, 54, 55, 56, 57, 58, 59, 60};

std::vector<uint8_t> TextBytes(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

uint32_t WordOf(const std::vector<uint8_t>& bytes) {
  return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

std::string TextOf(const std::vector<uint8_t>& bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), 0);
  return std::string(bytes.begin(), end);
}

int ElementSize(int id) {
  if (id == kFlashBlockId) return kFlashBlockBytes;
  for (int four : kFourByteIds) {
    if (four == id) return 4;
  }
  for (int text : kTextIds) {
    if (text == id) return kTextBytes;
  }
  return 1;
}

std::vector<ObjectLayout> ObjectTable() {
  std::vector<ObjectLayout> table;
  for (int id = 0; id < kObjectIdCount; ++id) {
    table.push_back({.id = id, .elementSize = ElementSize(id)});
  }
  return table;
}

UnitIdentity IdentityOf(const UnitOptions& options) {
  UnitIdentity identity{.address = options.address,
                        .network = options.network,
                        .family = static_cast<int>(options.model)};
  // Two model characters, then the firmware version from the third on.
  identity.modelId[0] = 'O';
  identity.modelId[1] = 'V';
  for (std::size_t i = 0; i < options.firmware.size() && i + 2 < identity.modelId.size(); ++i) {
    identity.modelId[i + 2] = static_cast<uint8_t>(options.firmware[i]);
  }
  return identity;
}

}  // namespace

Family8100Unit::Family8100Unit(const UnitOptions& options)
    : Unit(IdentityOf(options), ObjectTable()),
      busyPolls_(options.busyPolls),
      deletesAllAtOnce_(std::strtod(options.firmware.c_str(), nullptr) >= kFirstDeleteAllVersion),
      slots_(options.model == Model::kX ? kFilterSlotCountX : kFilterSlotCount) {
  StoreElement(kReadyId, 0, std::vector<uint8_t>{1});
  StoreElement(kUnitNameId, 0, TextBytes(options.unitName));
  StoreElement(kBulkMuteId, 0, std::vector<uint8_t>{1});
  const uint32_t routing = options.model == Model::kX ? 0x00010001 : 0x01000001;
  StoreElement(
      kRoutingId, 0,
      std::vector<uint8_t>{static_cast<uint8_t>(routing >> 24), static_cast<uint8_t>(routing >> 16),
                           static_cast<uint8_t>(routing >> 8), static_cast<uint8_t>(routing)});
  StoreElement(kLeftThresholdId, 0, kFactoryThreshold);
  StoreElement(kRightThresholdId, 0, kFactoryThreshold);
  for (int memory = 1; memory <= kMemoryCount; ++memory) {
    StoreMemory(memory);
    memories_[static_cast<std::size_t>(memory)].name = "Memory " + std::to_string(memory);
    presets_[static_cast<std::size_t>(memory)] = static_cast<uint8_t>(memory);
  }
}

void Family8100Unit::RetypeAfterRead(int slot, uint8_t type) { retype_ = Retype{slot, type}; }

void Family8100Unit::ClearPreset(int preset) { presets_.at(static_cast<std::size_t>(preset)) = 0; }

void Family8100Unit::Lock(const std::string& password) {
  password_ = password;
  StoreElement(kLockedId, 0, std::vector<uint8_t>{1});
}

bool Family8100Unit::AnswersFamily(int family) const {
  return family == kSharedFamily || Unit::AnswersFamily(family);
}

void Family8100Unit::TakeAddress(uint8_t address) {
  UnitIdentity identity = Identity();
  identity.address = address;
  SetIdentity(identity);
}

std::optional<UnitReply> Family8100Unit::AnswerNetworkRequest(const Request& request) {
  // The family field of a request to the network address is not a family code.
  const uint8_t value = request.payload.empty() ? 0 : request.payload[0];
  if (request.opcode == kOpcodeGet && request.objectId == kReadyId) {
    return Accepted(request, Element(kReadyId, 0));
  }
  if (request.opcode != kOpcodeSet) return std::nullopt;
  if (request.objectId == kAddressId && value >= 1 && value <= 250) {
    TakeAddress(value);
    return Accepted(request);
  }
  if (request.objectId == kAddressDoneId) {
    StoreElement(kAddressDoneId, 0, request.payload);
    return Accepted(request);
  }
  return std::nullopt;
}

int Family8100Unit::Selected(int indexId) const {
  const int index = Element(indexId, 0)[0];
  return index >= 1 && index <= kMemoryCount ? index : 0;
}

void Family8100Unit::StoreMemory(int memory) {
  Memory& stored = memories_[static_cast<std::size_t>(memory)];
  for (int id : kSettingIds) stored.settings[id] = Element(id, 0);
  stored.filterSlots = slots_;
}

void Family8100Unit::RecallMemory(int memory) {
  const Memory& stored = memories_[static_cast<std::size_t>(memory)];
  for (const auto& [id, bytes] : stored.settings) StoreElement(id, 0, bytes);
  slots_ = stored.filterSlots;
}

std::optional<UnitReply> Family8100Unit::AnswerSpecialSet(const Request& request) {
  busyLeft_ = busyPolls_;
  const uint8_t value = request.payload.empty() ? 0 : request.payload[0];
  const bool locked = Element(kLockedId, 0)[0] != 0;
  if (request.objectId == kPasswordId) {
    const std::string typed = TextOf(request.payload);
    if (!locked) {
      password_ = typed;
    } else if (typed == password_) {
      StoreElement(kLockedId, 0, std::vector<uint8_t>{0});
    } else {
      return Refused(request, kWrongPassword);
    }
    return Accepted(request);
  }
  if (locked && !(request.objectId == kLockedId && value == 1)) {
    return Refused(request, kDeviceLocked);
  }
  switch (request.objectId) {
    case kAddressId:
      // The unit answers this request and from then on listens at its new address.
      if (value < 1 || value > 250) return Refused(request, unit_error::kParameterOutOfRange);
      TakeAddress(value);
      StoreElement(kAddressId, 0, request.payload);
      return Accepted(request);
    case kSaveMemoryId:
    case kRestoreMemoryId:
      if (value < 1 || value > kMemoryCount) {
        return Refused(request, unit_error::kParameterOutOfRange);
      }
      if (request.objectId == kSaveMemoryId) {
        StoreMemory(value);
      } else {
        RecallMemory(value);
      }
      return Accepted(request);
    case kMemoryNameId:
      if (const int memory = Selected(kMemoryIndexId)) {
        memories_[static_cast<std::size_t>(memory)].name = TextOf(request.payload);
        return Accepted(request);
      }
      return Refused(request, unit_error::kParameterOutOfRange);
    case kPresetMapId:
      if (const int preset = Selected(kPresetIndexId); preset && value >= 1 && value <= 12) {
        presets_[static_cast<std::size_t>(preset)] = value;
        return Accepted(request);
      }
      return Refused(request, unit_error::kParameterOutOfRange);
    default:
      if (auto flash = AnswerFlashSet(request, value)) return flash;
      return AnswerFilterSet(request, value);
  }
}

std::optional<UnitReply> Family8100Unit::AnswerFlashSet(const Request& request, uint8_t value) {
  switch (request.objectId) {
    case kFlashStartId:
      flash_.started = value != 0;
      break;
    case kFlashEraseId:
      if (!flash_.started) return Refused(request, unit_error::kParameterOutOfRange);
      flash_.erased = true;
      flash_.blocks.clear();
      break;
    case kFlashAddressId:
      if (request.payload.size() != 4) return Refused(request, unit_error::kIncompleteMessage);
      flashCursor_ = uint32_t{request.payload[0]} << 24 | uint32_t{request.payload[1]} << 16 |
                     uint32_t{request.payload[2]} << 8 | request.payload[3];
      break;
    case kFlashBlockId:
      if (!flash_.erased || request.payload.size() > kFlashBlockBytes) {
        return Refused(request, unit_error::kParameterOutOfRange);
      }
      flash_.blocks.emplace_back(flashCursor_, request.payload);
      flashCursor_ += static_cast<uint32_t>(request.payload.size());
      break;
    case kInitModeId:
      flash_.initialiseOnReboot = value != 0;
      break;
    case kRebootId:
      ++flash_.reboots;
      if (flash_.initialiseOnReboot) ++flash_.initialisations;
      flash_.initialiseOnReboot = false;
      flash_.started = false;
      flash_.erased = false;
      break;
    default:
      return std::nullopt;
  }
  return Accepted(request);
}

std::optional<UnitReply> Family8100Unit::AnswerFilterSet(const Request& request, uint8_t value) {
  FilterSlot& slot = slots_[static_cast<std::size_t>(selectedSlot_)];
  switch (request.objectId) {
    case kFilterSlotId:
      if (value >= slots_.size()) return Refused(request, unit_error::kParameterOutOfRange);
      selectedSlot_ = value;
      break;
    case kParamSelectId:
      if (value >= kParamSelectors) return Refused(request, unit_error::kParameterOutOfRange);
      selectedParam_ = value;
      break;
    case kFilterTypeId:
      slot.type = value;
      slot.handedOut = false;
      break;
    case kFilterBankId:
      slot.bank = value;
      break;
    case kBypassId:
    case kBypassNowId:
      slot.bypass = value != 0;
      break;
    case kFilterValueId:
      std::copy_n(request.payload.begin(), std::min<std::size_t>(request.payload.size(), 4),
                  slot.params[static_cast<std::size_t>(selectedParam_)].begin());
      break;
    case kFilterCommitId:
      slot.committed = value != 0;
      break;
    case kDeleteFilterId:
      if (value == 0) {
        slot = FilterSlot{};
      } else if (deletesAllAtOnce_) {
        std::fill(slots_.begin(), slots_.end(), FilterSlot{});
      } else {
        return Refused(request, unit_error::kParameterOutOfRange);
      }
      break;
    default:
      return std::nullopt;
  }
  return Accepted(request);
}

std::optional<UnitReply> Family8100Unit::AnswerSpecialGet(const Request& request) {
  switch (request.objectId) {
    case kReadyId:
      if (busyLeft_ == 0) return std::nullopt;
      --busyLeft_;
      return Accepted(request, {0});
    case kMemoryNameId:
      if (const int memory = Selected(kMemoryIndexId)) {
        return Accepted(request,
                        TextBytes(memories_[static_cast<std::size_t>(memory)].name + '\0'));
      }
      return Refused(request, unit_error::kParameterOutOfRange);
    case kPresetMapId:
      if (const int preset = Selected(kPresetIndexId)) {
        return Accepted(request, {presets_[static_cast<std::size_t>(preset)]});
      }
      return Refused(request, unit_error::kParameterOutOfRange);
    default:
      if (auto reading = AnswerReadingGet(request)) return reading;
      return AnswerFilterGet(request);
  }
}

std::optional<UnitReply> Family8100Unit::AnswerReadingGet(const Request& request) {
  const int id = request.objectId;
  if (id >= kFirstMeterId && id <= kLastMeterId) {
    return Accepted(request, readings_.Meter(id - kFirstMeterId));
  }
  if (id == kLeftGainId || id == kRightGainId) {
    const int limiter = id - kLeftGainId;
    const uint32_t threshold =
        WordOf(Element(limiter == 0 ? kLeftThresholdId : kRightThresholdId, 0));
    // The mode's least significant byte switches limiting on.
    const bool limiting = Element(kLimiterModeId, 0)[3] != 0;
    return Accepted(request, readings_.LimiterGain(limiter, threshold, limiting));
  }
  return std::nullopt;
}

std::optional<UnitReply> Family8100Unit::AnswerFilterGet(const Request& request) {
  const FilterSlot& slot = slots_[static_cast<std::size_t>(selectedSlot_)];
  switch (request.objectId) {
    case kNewFilterSlotId: {
      const auto free = std::find_if(slots_.begin(), slots_.end(), [](const FilterSlot& s) {
        return !s.IsFilter() && !s.handedOut;
      });
      if (free == slots_.end()) return Refused(request, unit_error::kParameterOutOfRange);
      free->handedOut = true;
      return Accepted(request, {static_cast<uint8_t>(free - slots_.begin())});
    }
    case kResizedSlotId:
      return Accepted(request, {static_cast<uint8_t>(selectedSlot_)});
    case kFilterTypeId: {
      const uint8_t type = slot.type;
      if (retype_ && retype_->slot == selectedSlot_) {
        slots_[static_cast<std::size_t>(selectedSlot_)].type = retype_->type;
        retype_.reset();
      }
      return Accepted(request, {type});
    }
    case kFilterBankId:
      return Accepted(request, {slot.bank});
    case kBypassId:
      return Accepted(request, {static_cast<uint8_t>(slot.bypass)});
    case kFilterValueId: {
      const auto& value = slot.params[static_cast<std::size_t>(selectedParam_)];
      return Accepted(request, std::vector<uint8_t>(value.begin(), value.end()));
    }
    default:
      return std::nullopt;
  }
}

int AddFamily8100Unit(SimulatedBus& bus, const UnitOptions& options) {
  return bus.AddUnit(std::make_unique<Family8100Unit>(options));
}

}  // namespace sim::family8100
