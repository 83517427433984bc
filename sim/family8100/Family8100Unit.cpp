#include "sim/family8100/Family8100Unit.h"

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
    : Unit(IdentityOf(options), ObjectTable()), busyPolls_(options.busyPolls) {
  StoreElement(kReadyId, 0, std::vector<uint8_t>{1});
  const std::vector<uint8_t> name(options.unitName.begin(), options.unitName.end());
  StoreElement(kUnitNameId, 0, name);
}

std::optional<UnitReply> Family8100Unit::AnswerSpecialSet(const Request&) {
  busyLeft_ = busyPolls_;
  return std::nullopt;
}

std::optional<UnitReply> Family8100Unit::AnswerSpecialGet(const Request& request) {
  if (request.objectId != kReadyId || busyLeft_ == 0) return std::nullopt;
  --busyLeft_;
  return Accepted(request, {0});
}

int AddFamily8100Unit(SimulatedBus& bus, const UnitOptions& options) {
  return bus.AddUnit(std::make_unique<Family8100Unit>(options));
}

}  // namespace sim::family8100
