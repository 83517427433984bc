#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "sim/ObjectLayout.h"
#include "sim/WireFormat.h"

namespace sim {

// Who a unit is on the bus.
struct UnitIdentity {
  int address = 1;  // 1..250
  int network = 1;  // 1..8: the interface network the unit is wired to
  int family = 0;   // family code, sent as a variable-length integer
  std::array<uint8_t, 8> modelId{};
};

// Codes a unit puts in its error object.
namespace unit_error {
inline constexpr uint8_t kInvalidObjectId = 0;
inline constexpr uint8_t kMethodOutOfRange = 3;
inline constexpr uint8_t kIncompleteMessage = 5;
inline constexpr uint8_t kParameterOutOfRange = 7;
}  // namespace unit_error

// A simulated unit: its identity and a table of objects whose elements it stores and returns.
// A family's unit model derives from it and answers its special objects (commands, flags,
// memories) in the hooks; everything else is served from the table. The bus calls a unit only
// under its lock, so a model needs no locking of its own.
class Unit {
 public:
  // Throws std::invalid_argument for an element size or count the wire cannot carry.
  Unit(const UnitIdentity& identity, const std::vector<ObjectLayout>& objects);
  virtual ~Unit();
  Unit(const Unit&) = delete;
  Unit& operator=(const Unit&) = delete;

  const UnitIdentity& Identity() const { return identity_; }
  // Whether a request with this family code is meant for the unit; a family may answer a code its
  // units share besides their own.
  virtual bool AnswersFamily(int family) const { return family == identity_.family; }

  // Answers a set (opcode 9) or get (opcode 10) addressed to this unit: the hooks first, then the
  // table; unknown objects, opcodes, indexes and over-long data answer from the error object.
  UnitReply Answer(const Request& request);

  // A request to the network address, which every unit on the network hears: each unit acts on
  // it, and the first one's reply goes on the wire. Nothing: the unit ignores it.
  virtual std::optional<UnitReply> AnswerNetworkRequest(const Request& request);

  bool HasObject(int objectId) const;
  // The bytes of one element (element size of them, zeros before the first write).
  // Throws std::out_of_range for an unknown object or index.
  std::vector<uint8_t> Element(int objectId, int index) const;
  // Overwrites the element's first bytes.size() bytes; the rest keeps its old contents, as the
  // units' memory does. Throws std::out_of_range for an unknown object or index, or more bytes
  // than the element holds.
  void StoreElement(int objectId, int index, std::span<const uint8_t> bytes);

  static UnitReply Accepted(const Request& request, std::vector<uint8_t> data = {});
  static UnitReply Refused(const Request& request, uint8_t errorCode);

 protected:
  // A set or get of an object the model handles itself; nullopt leaves it to the table.
  virtual std::optional<UnitReply> AnswerSpecialSet(const Request& request);
  virtual std::optional<UnitReply> AnswerSpecialGet(const Request& request);
  // A unit written a new address (or family) answers under it from the next request on; the reply
  // to the request that changed it still comes from the old one. Throws std::invalid_argument for
  // an identity out of range and keeps the old one.
  void SetIdentity(const UnitIdentity& identity);

 private:
  struct StoredObject {
    ObjectLayout layout;
    std::vector<uint8_t> bytes;
  };

  UnitReply AnswerSet(const Request& request);
  UnitReply AnswerGet(const Request& request);
  // The element a request's payload addresses, and where its data starts; nullopt with an error
  // code when the payload does not fit the object.
  struct Addressed {
    StoredObject* object = nullptr;
    int index = 0;
    std::span<const uint8_t> data;
  };
  std::optional<Addressed> Locate(const Request& request, uint8_t& errorCode);

  UnitIdentity identity_;
  std::map<int, StoredObject> objects_;
};

}  // namespace sim
