#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bus/IQDataSocket.h"
#include "bus/IQDeviceInfo.h"
#include "bus/OwedReplies.h"

class ComMonitor;
class CommPort;
class UCodePacket;

// The bus transport: request packets to the units and their replies, network selection on the
// interface, interface detection and the roll call.
class UCodeEncoder : public IQDataSocket {
 public:
  static constexpr uint8_t kOpcodeSet = 9;
  static constexpr uint8_t kOpcodeGet = 10;
  static constexpr int kErrorObjectId = 0x3FB0;
  static constexpr uint8_t kStatusAccepted = 1;
  static constexpr int kRollCallRestartId = 0x3F80;
  static constexpr int kRollCallQueryId = 0x3F81;
  static constexpr int kRollCallAcknowledgeId = 0x3F82;
  static constexpr uint8_t kBroadcastAddress = 0xFC;
  // A request under this family code reaches every unit of a family that listens to it; each
  // answers under its own.
  static constexpr uint32_t kGroupFamilyCode = 0xF0;
  static constexpr int kNetworksOfEightNetworkInterface = 8;

  explicit UCodeEncoder(CommPort* port);

  // Sends a set request until the unit accepts it.
  void Set(IQDevice& device, const UCodeObject& object, std::span<const uint8_t> data,
           int timeoutMs) override;
  // Sends a get request; the next `Receive` reads the reply.
  void Get(IQDevice& device, const UCodeObject& object, int timeoutMs) override;
  // Reads the reply to the request sent last; true when the unit accepted. `data` gets the value
  // only then. Replies of other requests (late ones of a unit that stalled, another unit's) are
  // dropped on the way.
  bool Receive(std::vector<uint8_t>& data) override;
  void Flush(int timeoutMs) override;

  void SelectNetwork(int network);
  // Finds out whether the interface echoes (two-wire bus) and how many networks it has.
  void DetectInterface();

  // Every unit of every network, in the order they answered. A unit that goes on answering after
  // its acknowledgement ends the polling of its network, having been recorded twice.
  void RollCall(std::vector<IQDeviceInfo>& found);
  // One query; the answering unit's record, or none when nobody (valid) answered.
  std::optional<IQDeviceInfo> PollNextUnit();
  void AcknowledgeUnit(const IQDeviceInfo& info);

  // The clock an unanswered request's lifetime runs on. A line whose late answers come after a
  // count of requests rather than a time (the simulated units' pauses) holds it still, so that how
  // long the machine took decides nothing.
  void SetOwedRepliesClock(std::function<OwedReplies::Clock::time_point()> now) {
    owed_ = OwedReplies(std::move(now));
  }
  void SetMonitor(ComMonitor* monitor) { monitor_ = monitor; }
  ComMonitor* GetMonitor() const { return monitor_; }
  int GetNetwork() const { return network_; }
  int GetNetworkCount() const { return networkCount_; }
  const std::string& GetInterfaceId() const { return interfaceId_; }
  // Replies read and dropped because they answered another request than the one in flight.
  int DroppedReplies() const { return droppedReplies_; }

 private:
  void SelectNetworkOf(const IQDevice& device);
  void SendRequest(const IQDevice& device, const UCodeObject& object, uint8_t opcode,
                   std::span<const uint8_t> data);
  // Whatever the line holds before a request is a late answer to an earlier one (a unit that
  // stalled and resumed) or its echo: taken off, so that the request's own answer is read.
  void DiscardStaleInput();
  // Reads one reply frame; the monitor sees it.
  ReplyFrame ReadReply(uint8_t firstByte);
  // Drops a reply read that is not the one asked for; a line that keeps sending such replies ends
  // the read as one whose reply never came.
  void DropReply(int& droppedInThisRead);
  // Sends the request in flight once more; it stays the one in flight.
  void AskAgain();
  void SendPacket(const UCodePacket& packet);
  void SendRaw(std::span<const uint8_t> bytes);
  // Reads until the line is silent (or any failure), logging the first `logLimit` bytes.
  void DiscardAnswer(std::size_t logLimit);
  void LogReceived(const UCodePacket& packet);
  uint8_t ReadInto(UCodePacket& packet);
  int ReadVarintInto(UCodePacket& packet);
  void OverrideTimeout(int timeoutMs);
  void RestoreTimeout();

  CommPort* port_;
  ComMonitor* monitor_ = nullptr;
  int network_ = 1;
  int networkCount_ = 1;
  std::string interfaceId_;
  std::optional<uint32_t> savedTimeoutMs_;
  // The request whose reply the next `Receive` reads.
  std::optional<SentRequest> inFlight_;
  UCodePacket lastRequest_;
  OwedReplies owed_;
  int droppedReplies_ = 0;
};
