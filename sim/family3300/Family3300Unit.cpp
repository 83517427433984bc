#include "sim/family3300/Family3300Unit.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace sim::family3300 {

namespace {

constexpr int kObjectIdCount = 86;
constexpr int kBandCount = 28;
constexpr int kMemoryCount = 10;
constexpr int kTextBytes = 15;
constexpr int kMemoryNameBytes = 16;
constexpr int kPasswordBytes = 6;
constexpr uint8_t kWrongPassword = 9;
constexpr uint8_t kDeviceLocked = 10;
constexpr uint8_t kFlatBand = 20;
constexpr uint8_t kMaxBand = 40;
constexpr uint8_t kMaxCorner = 7;
constexpr uint8_t kMaxGain = 24;
// Bytes 01 00 0A FF 10 02: what a unit fresh from the factory reports.
const std::vector<uint8_t> kFactoryStatus = {0x01, 0x00, 0x0A, 0xFF, 0x10, 0x02};

// The channel parameters a memory holds: corners, gains, switches and every band.
bool IsChannelParameter(int id) { return (id >= 2 && id <= 11) || id >= kFirstBandAId; }

int ElementSize(int id) {
  if (id == kPasswordEntryId || id == kNewPasswordId) return kPasswordBytes;
  if (id == kStatusId || id == kUnitNameId) return kTextBytes;
  if (id >= kFirstMemoryNameId && id < kFirstMemoryNameId + kMemoryCount) return kMemoryNameBytes;
  return 1;
}

bool IsText(int id) { return ElementSize(id) > 1; }

// The largest value the unit takes for an object, for those it checks.
std::optional<uint8_t> Maximum(int id) {
  if (id >= 2 && id <= 5) return kMaxCorner;
  if (id == 6 || id == 7) return kMaxGain;
  if (id == 1 || (id >= 8 && id <= 11) || id == kLockId) return 1;
  if (id == kMemoryNumberId) return kMemoryCount;
  if (id == kMemoryAccessId) return 1;
  if (id >= kFirstBandAId) return kMaxBand;
  return std::nullopt;
}

std::vector<ObjectLayout> ObjectTable() {
  std::vector<ObjectLayout> table;
  for (int id = 1; id < kObjectIdCount - 1; ++id) {
    table.push_back({.id = id, .elementSize = ElementSize(id), .isVolatile = true});
  }
  return table;
}

UnitIdentity IdentityOf(const UnitOptions& options) {
  UnitIdentity identity{
      .address = options.address, .network = options.network, .family = kFamilyCode};
  identity.modelId[0] = options.model == Model::k3300_2XL ? '2' : '1';
  for (std::size_t i = 0; i < options.firmware.size() && i + 1 < identity.modelId.size(); ++i) {
    identity.modelId[i + 1] = static_cast<uint8_t>(options.firmware[i]);
  }
  return identity;
}

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace

Family3300Unit::Family3300Unit(const UnitOptions& options)
    : Unit(IdentityOf(options), ObjectTable()), password_(options.password) {
  for (int band = 0; band < kBandCount; ++band) {
    StoreElement(kFirstBandAId + band, 0, std::vector<uint8_t>{kFlatBand});
    StoreElement(kFirstBandBId + band, 0, std::vector<uint8_t>{kFlatBand});
  }
  for (int eqIn : {8, 9}) StoreElement(eqIn, 0, std::vector<uint8_t>{1});
  StoreElement(kUnitNameId, 0, Bytes(options.unitName.substr(0, kTextBytes)));
  StoreElement(kStatusId, 0, kFactoryStatus);
  for (int k = 0; k < kMemoryCount; ++k)
    StoreElement(kFirstMemoryNameId + k, 0, Bytes("---------"));
  StoreElement(kMemoryNumberId, 0, std::vector<uint8_t>{1});
  memories_.fill(CurrentSettings());
}

std::optional<UnitReply> Family3300Unit::AnswerSpecialSet(const Request& request) {
  const int id = request.objectId;
  const bool locked = Element(kLockId, 0)[0] != 0;
  if (id == kPasswordEntryId) {
    if (Bytes(password_) != request.payload) return Refused(request, kWrongPassword);
    StoreElement(kLockId, 0, std::vector<uint8_t>{0});
    return Accepted(request);
  }
  if (locked) return Refused(request, kDeviceLocked);
  if (!HasObject(id) || request.payload.empty()) return std::nullopt;
  if (const auto maximum = Maximum(id); maximum && request.payload[0] > *maximum) {
    return Refused(request, unit_error::kParameterOutOfRange);
  }
  if (id == kNewPasswordId) {
    if (request.payload.size() != kPasswordBytes) {
      return Refused(request, unit_error::kParameterOutOfRange);
    }
    password_.assign(request.payload.begin(), request.payload.end());
    return Accepted(request);
  }
  if (id == kMemoryAccessId) return AnswerMemoryAccess(request);
  if (IsText(id) && request.payload.size() <= static_cast<std::size_t>(ElementSize(id))) {
    // A text replaces the whole element: no tail of a longer old one stays behind.
    std::vector<uint8_t> element(static_cast<std::size_t>(ElementSize(id)), 0);
    std::copy(request.payload.begin(), request.payload.end(), element.begin());
    StoreElement(id, 0, element);
    return Accepted(request);
  }
  return std::nullopt;
}

std::optional<UnitReply> Family3300Unit::AnswerMemoryAccess(const Request& request) {
  const int number = Element(kMemoryNumberId, 0)[0];
  if (number < 1 || number > kMemoryCount) {
    return Refused(request, unit_error::kParameterOutOfRange);
  }
  std::vector<uint8_t>& memory = memories_[static_cast<std::size_t>(number - 1)];
  if (request.payload[0] == 0) {
    memory = CurrentSettings();
  } else {
    Recall(memory);
  }
  return Accepted(request);
}

std::vector<uint8_t> Family3300Unit::CurrentSettings() const {
  std::vector<uint8_t> settings;
  for (int id = 1; id < kObjectIdCount - 1; ++id) {
    if (IsChannelParameter(id)) settings.push_back(Element(id, 0)[0]);
  }
  return settings;
}

void Family3300Unit::Recall(const std::vector<uint8_t>& settings) {
  auto value = settings.begin();
  for (int id = 1; id < kObjectIdCount - 1; ++id) {
    if (IsChannelParameter(id)) StoreElement(id, 0, std::vector<uint8_t>{*value++});
  }
}

int AddFamily3300Unit(SimulatedBus& bus, const UnitOptions& options) {
  return bus.AddUnit(std::make_unique<Family3300Unit>(options));
}

}  // namespace sim::family3300
