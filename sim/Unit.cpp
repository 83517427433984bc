#include "sim/Unit.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "bus/UCodePacket.h"

namespace sim {
namespace {

// Largest element whose get reply (address, family, status, length, id, opcode, data, checksum)
// still fits the program's receive buffer.
constexpr int kMaxElementBytes = 80;
// The element index travels as one byte.
constexpr int kMaxElementCount = 256;
constexpr int kMaxBusAddress = 255;

void CheckIdentity(const UnitIdentity& identity) {
  if (identity.address < 0 || identity.address > kMaxBusAddress || identity.network < 1 ||
      identity.network > kNetworkCount || identity.family < 0 || identity.family > kMaxVarint) {
    throw std::invalid_argument("unit identity out of range for address " +
                                std::to_string(identity.address));
  }
}

void CheckLayout(const ObjectLayout& layout) {
  if (layout.id < 0 || layout.id > kMaxVarint || layout.elementSize < 1 ||
      layout.elementSize > kMaxElementBytes || layout.count < 1 ||
      layout.count > kMaxElementCount) {
    throw std::invalid_argument("object " + std::to_string(layout.id) +
                                " cannot travel on the bus");
  }
}

}  // namespace

Unit::Unit(const UnitIdentity& identity, const std::vector<ObjectLayout>& objects)
    : identity_(identity) {
  CheckIdentity(identity);
  for (const ObjectLayout& layout : objects) {
    CheckLayout(layout);
    objects_[layout.id] = {layout, std::vector<uint8_t>(layout.elementSize * layout.count)};
  }
}

Unit::~Unit() = default;

UnitReply Unit::Accepted(const Request& request, std::vector<uint8_t> data) {
  return UnitReply{.objectId = request.objectId, .opcode = request.opcode, .data = std::move(data)};
}

UnitReply Unit::Refused(const Request& request, uint8_t errorCode) {
  return UnitReply{.objectId = kObjectError, .opcode = request.opcode, .data = {errorCode}};
}

UnitReply Unit::Answer(const Request& request) {
  switch (request.opcode) {
    case kOpcodeSet:
      if (auto special = AnswerSpecialSet(request)) return *special;
      return AnswerSet(request);
    case kOpcodeGet:
      if (auto special = AnswerSpecialGet(request)) return *special;
      return AnswerGet(request);
    default:
      return Refused(request, unit_error::kMethodOutOfRange);
  }
}

void Unit::SetIdentity(const UnitIdentity& identity) {
  CheckIdentity(identity);
  identity_ = identity;
}

std::optional<UnitReply> Unit::AnswerSpecialSet(const Request&) { return std::nullopt; }
std::optional<UnitReply> Unit::AnswerNetworkRequest(const Request&) { return std::nullopt; }
std::optional<UnitReply> Unit::AnswerSpecialGet(const Request&) { return std::nullopt; }

std::optional<Unit::Addressed> Unit::Locate(const Request& request, uint8_t& errorCode) {
  const auto found = objects_.find(request.objectId);
  if (found == objects_.end()) {
    errorCode = unit_error::kInvalidObjectId;
    return std::nullopt;
  }
  Addressed addressed{.object = &found->second, .data = request.payload};
  if (found->second.layout.count > 1) {
    if (addressed.data.empty()) {
      errorCode = unit_error::kIncompleteMessage;
      return std::nullopt;
    }
    addressed.index = addressed.data[0];
    addressed.data = addressed.data.subspan(1);
    if (addressed.index >= found->second.layout.count) {
      errorCode = unit_error::kParameterOutOfRange;
      return std::nullopt;
    }
  }
  return addressed;
}

UnitReply Unit::AnswerSet(const Request& request) {
  uint8_t errorCode = 0;
  const auto addressed = Locate(request, errorCode);
  if (!addressed) return Refused(request, errorCode);
  if (addressed->data.size() > static_cast<std::size_t>(addressed->object->layout.elementSize)) {
    return Refused(request, unit_error::kParameterOutOfRange);
  }
  StoreElement(request.objectId, addressed->index, addressed->data);
  return Accepted(request);
}

UnitReply Unit::AnswerGet(const Request& request) {
  uint8_t errorCode = 0;
  const auto addressed = Locate(request, errorCode);
  if (!addressed) return Refused(request, errorCode);
  return Accepted(request, Element(request.objectId, addressed->index));
}

bool Unit::HasObject(int objectId) const { return objects_.contains(objectId); }

std::vector<uint8_t> Unit::Element(int objectId, int index) const {
  const StoredObject& object = objects_.at(objectId);
  if (index < 0 || index >= object.layout.count) throw std::out_of_range("element index");
  const auto begin = object.bytes.begin() + index * object.layout.elementSize;
  return std::vector<uint8_t>(begin, begin + object.layout.elementSize);
}

void Unit::StoreElement(int objectId, int index, std::span<const uint8_t> bytes) {
  StoredObject& object = objects_.at(objectId);
  if (index < 0 || index >= object.layout.count) throw std::out_of_range("element index");
  if (bytes.size() > static_cast<std::size_t>(object.layout.elementSize)) {
    throw std::out_of_range("more bytes than the element holds");
  }
  std::copy(bytes.begin(), bytes.end(), object.bytes.begin() + index * object.layout.elementSize);
}

}  // namespace sim
