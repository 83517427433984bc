#include "bus/UCodeEncoder.h"

#include <algorithm>
#include <array>
#include <utility>

#include "bus/ComMonitor.h"
#include "bus/CommPort.h"
#include "bus/IQDevice.h"
#include "bus/IQException.h"
#include "bus/UCodeObject.h"
#include "bus/UCodePacket.h"

namespace {

constexpr uint8_t kInterfaceCommand = 0xFD;
constexpr uint8_t kSelectFirstNetwork = 0xE0;
constexpr uint8_t kQueryInterfaceId = 0xE9;
constexpr char kEightNetworkInterfaceId[] = "R8";
constexpr char kUnknownInterfaceId[] = "??";
constexpr std::array<uint8_t, 6> kEchoTestBytes{0x01, 0x02, 0x03, 0x04, 0xFE, 0xFF};
constexpr uint32_t kEchoTestRetries = 1;
// The roll-call broadcasts carry this pair where a unit's family code stands.
constexpr uint8_t kRollCallFamilyByte = 0xF8;
constexpr uint8_t kRollCallLength = 2;
// An answer shorter than this, or from an address beyond the bus range, means no unit answered.
constexpr int kMinRollCallAnswerLength = 10;
// No bus holds more units than addresses; a network that keeps answering beyond that is broken.
constexpr int kMaxAnswersPerNetwork = IQDeviceInfo::kMaxBusAddress;
// Two units may answer under one address and family (the conflict the device manager reports); a
// further answer under them is a unit that does not take its acknowledgement and would answer
// every query to the end, so polling its network stops there.
constexpr int kMaxAnswersUnderOneName = 2;
constexpr std::size_t kLoggedAnswerBytes = 20;
constexpr std::size_t kLoggedRestartAnswerBytes = 24;
// Late replies of every request still owed, and as many again of other units'.
constexpr int kMaxDroppedRepliesPerRead = 2 * static_cast<int>(OwedReplies::kMaxOwed);

UCodePacket RollCallBroadcast(int objectId) {
  UCodePacket packet;
  for (uint8_t byte : {UCodeEncoder::kBroadcastAddress, kRollCallFamilyByte, kRollCallFamilyByte,
                       kRollCallLength}) {
    packet.AppendByte(byte);
  }
  packet.AppendVarint(objectId);
  return packet;
}

}  // namespace

UCodeEncoder::UCodeEncoder(CommPort* port) : port_(port) {}

void UCodeEncoder::OverrideTimeout(int timeoutMs) {
  if (timeoutMs <= 0) return;
  if (!savedTimeoutMs_) savedTimeoutMs_ = port_->GetReadTimeout();
  port_->SetReadTimeout(static_cast<uint32_t>(timeoutMs));
}

void UCodeEncoder::RestoreTimeout() {
  if (!savedTimeoutMs_) return;
  port_->SetReadTimeout(*savedTimeoutMs_);
  savedTimeoutMs_.reset();
}

void UCodeEncoder::Set(IQDevice& device, const UCodeObject& object, std::span<const uint8_t> data,
                       int timeoutMs) {
  Remember(device, object);
  try {
    SelectNetworkOf(device);
    OverrideTimeout(timeoutMs);
    std::vector<uint8_t> scratch;
    for (int refusals = 0;;) {
      SendRequest(device, object, kOpcodeSet, data);
      if (Receive(scratch)) break;
      if (++refusals == kMaxNotAcceptedReplies) throw DeviceBusy();
    }
  } catch (...) {
    RestoreTimeout();
    throw;
  }
  RestoreTimeout();
}

void UCodeEncoder::Get(IQDevice& device, const UCodeObject& object, int timeoutMs) {
  Remember(device, object);
  try {
    SelectNetworkOf(device);
    OverrideTimeout(timeoutMs);
    SendRequest(device, object, kOpcodeGet, {});
  } catch (...) {
    // No reply will be read, so the override must not outlive the failed request.
    RestoreTimeout();
    throw;
  }
}

uint8_t UCodeEncoder::ReadInto(UCodePacket& packet) {
  const uint8_t byte = port_->ReadByte();
  packet.AppendByte(byte);
  return byte;
}

int UCodeEncoder::ReadVarintInto(UCodePacket& packet) {
  const int b1 = ReadInto(packet);
  if (b1 < 0x80) return b1;
  const int b2 = ReadInto(packet);
  int value = (b1 & 0x7F) + ((b2 & 0x7F) << 7);
  if (b2 >= 0x80) value += (ReadInto(packet) & 0x7F) << 14;
  return value;
}

ReplyFrame UCodeEncoder::ReadReply(uint8_t firstByte) {
  try {
    ReplyFrame frame = ReadReplyFrame(firstByte, [this] { return port_->ReadByte(); });
    LogReceived(frame.packet);
    return frame;
  } catch (const ReplyTooLong&) {
    // The rest of it must not be read as the next reply.
    port_->Drain();
    throw;
  }
}

void UCodeEncoder::DropReply(int& droppedInThisRead) {
  ++droppedReplies_;
  if (++droppedInThisRead > kMaxDroppedRepliesPerRead) throw ReadTimeout();
}

bool UCodeEncoder::Receive(std::vector<uint8_t>& data) {
  if (!port_) return true;
  try {
    bool takenForEarlier = false;
    bool askedAgain = false;
    for (int dropped = 0;;) {
      std::optional<ReplyFrame> read;
      try {
        read = ReadReply(port_->ReadByte());
      } catch (const ReadTimeout&) {
        // A reply this request could have had went to an earlier one, and the unit has been quiet
        // since: it has sent all it held back, so nothing earlier is owed any more, and that reply
        // may have been this one's. Asked once more, the unit's next reply is surely this one's.
        if (!takenForEarlier || askedAgain || !inFlight_) throw;
        owed_.ForgetUnit(*inFlight_);
        // Asked once more, the request reaches the unit twice. A write sets a value, which twice is
        // as once, and this point is reached only after an earlier request of the same object
        // went unanswered, which a command that must not run twice never follows: a reflash stops
        // at its first lost reply. A read that allocates would allocate twice: it ends as a read
        // whose reply never came, and with the unit quiet nothing of it is owed.
        if (inFlight_->allocates) {
          inFlight_.reset();
          throw;
        }
        askedAgain = true;
        AskAgain();
        continue;
      }
      ReplyFrame& reply = *read;
      if (!reply.checksumOk) throw ChecksumError();
      if (inFlight_) {
        if (!inFlight_->AnsweredBy(reply.origin, network_)) {
          owed_.TakeOff(reply.origin, network_);
          DropReply(dropped);
          continue;
        }
        if (!owed_.IsOwn(*inFlight_, reply.origin)) {
          takenForEarlier = true;
          DropReply(dropped);
          continue;
        }
        inFlight_.reset();
      }
      if (reply.origin.FromErrorObject()) {
        throw ErrorObject(reply.value.empty() ? 0 : reply.value.back());
      }
      if (LastObject() &&
          reply.value.size() > static_cast<std::size_t>(LastObject()->ElementSize())) {
        throw ReplyTooLong();
      }
      RestoreTimeout();
      if (reply.status != kStatusAccepted) return false;
      data = std::move(reply.value);
      return true;
    }
  } catch (const ReadTimeout&) {
    // Its reply may yet come, late, while another request waits for its own.
    if (inFlight_) owed_.Add(*std::exchange(inFlight_, std::nullopt));
    RestoreTimeout();
    throw;
  } catch (...) {
    inFlight_.reset();
    RestoreTimeout();
    throw;
  }
}

void UCodeEncoder::AskAgain() {
  const SentRequest asked = *inFlight_;
  SendPacket(lastRequest_);
  inFlight_ = asked;
}

void UCodeEncoder::Flush(int timeoutMs) {
  const uint32_t savedMs = port_->GetReadTimeout();
  if (timeoutMs > 0) port_->SetReadTimeout(static_cast<uint32_t>(timeoutMs));
  port_->Drain();
  port_->SetReadTimeout(savedMs);
}

void UCodeEncoder::SelectNetworkOf(const IQDevice& device) {
  if (device.GetNetwork() != network_) SelectNetwork(device.GetNetwork());
}

void UCodeEncoder::SelectNetwork(int network) {
  network_ = network;
  SendRaw(std::array<uint8_t, 2>{kInterfaceCommand,
                                 static_cast<uint8_t>(kSelectFirstNetwork + network - 1)});
  DiscardAnswer(kLoggedAnswerBytes);
}

void UCodeEncoder::SendRequest(const IQDevice& device, const UCodeObject& object, uint8_t opcode,
                               std::span<const uint8_t> data) {
  const IQDeviceInfo& info = device.GetInfo();
  const std::size_t length =
      VarintLength(object.GetId()) + 1 + (object.IsArray() ? 1 : 0) + data.size();
  UCodePacket packet;
  packet.AppendByte(info.address);
  packet.AppendVarint(static_cast<int>(info.familyCode));
  if (packet.Size() + length + 1 > UCodePacket::kMaxBytes) throw ValueTooLong();
  packet.AppendByte(static_cast<uint8_t>(length));
  packet.AppendVarint(object.GetId());
  packet.AppendByte(opcode);
  if (object.IsArray()) packet.AppendByte(static_cast<uint8_t>(object.GetElement()));
  for (uint8_t byte : data) packet.AppendByte(byte);
  SendPacket(packet);
  lastRequest_ = packet;
  inFlight_ = SentRequest{.network = network_,
                          .address = info.address,
                          .family = info.familyCode,
                          .objectId = object.GetId(),
                          .opcode = opcode,
                          .bytes = packet.Bytes(),
                          .allocates = opcode == kOpcodeGet && object.ReadAllocates()};
  owed_.Sending(*inFlight_);
}

void UCodeEncoder::DiscardStaleInput() {
  const std::vector<uint8_t> stale = port_->DiscardPending();
  if (monitor_ && !stale.empty()) {
    monitor_->LogReceivedBytes(std::span(stale).first(std::min(stale.size(), kLoggedAnswerBytes)));
  }
  // The late replies among them answer no request any more.
  struct StaleEnd {};
  std::size_t at = 0;
  const auto next = [&] {
    if (at == stale.size()) throw StaleEnd();
    return stale[at++];
  };
  try {
    while (at < stale.size()) {
      const ReplyFrame frame = ReadReplyFrame(next(), next);
      if (!frame.checksumOk) break;  // out of step: nothing further can be told apart
      owed_.TakeOff(frame.origin, network_);
    }
  } catch (const StaleEnd&) {
  } catch (const ReplyTooLong&) {
  }
}

void UCodeEncoder::SendPacket(const UCodePacket& packet) {
  DiscardStaleInput();
  inFlight_.reset();
  port_->WritePacket(packet);
  if (monitor_) monitor_->LogSentPacket(packet);
}

void UCodeEncoder::SendRaw(std::span<const uint8_t> bytes) {
  DiscardStaleInput();
  port_->Write(bytes);
  if (monitor_) monitor_->LogSentBytes(bytes);
}

void UCodeEncoder::LogReceived(const UCodePacket& packet) {
  if (monitor_) monitor_->LogReceivedPacket(packet);
}

void UCodeEncoder::DiscardAnswer(std::size_t logLimit) {
  std::vector<uint8_t> logged;
  for (int i = 0; i < CommPort::kMaxDrainBytes; ++i) {
    uint8_t byte = 0;
    try {
      byte = port_->ReadByte();
    } catch (const IQException&) {
      break;
    }
    if (logged.size() < logLimit) logged.push_back(byte);
  }
  if (monitor_ && !logged.empty()) monitor_->LogReceivedBytes(logged);
}

void UCodeEncoder::DetectInterface() {
  port_->SetDuplexEcho(false);
  // Only the echo test reads with a single retry; the id query reads with the port's own retries.
  // The retries come back however the echo test ends.
  struct RetriesRestorer {
    CommPort* port;
    uint32_t retries;
    ~RetriesRestorer() { port->SetRetries(retries); }
  };
  std::array<uint8_t, kEchoTestBytes.size()> echo{};
  bool echoSeen = true;
  {
    const RetriesRestorer restorer{port_, port_->GetRetries()};
    port_->SetRetries(kEchoTestRetries);
    port_->Open();
    SendRaw(kEchoTestBytes);
    try {
      for (uint8_t& byte : echo) byte = port_->ReadByte();
    } catch (const ReadTimeout&) {
      echoSeen = false;
    }
  }
  if (echoSeen) {
    if (echo != kEchoTestBytes) throw DuplexEchoError();
    port_->SetDuplexEcho(true);
    return;
  }
  try {
    SendRaw(std::array<uint8_t, 2>{kInterfaceCommand, kQueryInterfaceId});
    std::string id;
    for (int i = 0; i < 2; ++i) id.push_back(static_cast<char>(port_->ReadByte()));
    interfaceId_ = id;
  } catch (const IQException&) {
    interfaceId_ = kUnknownInterfaceId;
    networkCount_ = 1;
    throw InterfaceNotPresent();
  }
  networkCount_ = interfaceId_ == kEightNetworkInterfaceId ? kNetworksOfEightNetworkInterface : 1;
}

void UCodeEncoder::RollCall(std::vector<IQDeviceInfo>& found) {
  for (int network = 1; network <= networkCount_; ++network) {
    SelectNetwork(network);
    SendPacket(RollCallBroadcast(kRollCallRestartId));
    DiscardAnswer(kLoggedRestartAnswerBytes);
    for (int answers = 0; answers < kMaxAnswersPerNetwork; ++answers) {
      const auto info = PollNextUnit();
      if (!info) break;
      const auto sameName = [&](const IQDeviceInfo& earlier) {
        return earlier.address == info->address && earlier.familyCode == info->familyCode &&
               earlier.network == info->network;
      };
      if (std::ranges::count_if(found, sameName) == kMaxAnswersUnderOneName) break;
      AcknowledgeUnit(*info);
      found.push_back(*info);
    }
  }
}

std::optional<IQDeviceInfo> UCodeEncoder::PollNextUnit() {
  SendPacket(RollCallBroadcast(kRollCallQueryId));
  UCodePacket answer;
  const auto nobodyValid = [&] {
    // Whatever is left of a rejected or late answer must not be taken for the next one.
    if (answer.Size() > 0) port_->Drain();
    return std::nullopt;
  };
  try {
    // An answer repeats the query's broadcast address; what comes from a unit's own address is a
    // late reply to an earlier request.
    for (int dropped = 0;;) {
      const uint8_t first = port_->ReadByte();
      if (first == kBroadcastAddress) {
        answer.AppendByte(first);
        break;
      }
      const ReplyFrame late = ReadReply(first);
      if (late.checksumOk) owed_.TakeOff(late.origin, network_);
      DropReply(dropped);
    }
    for (int i = 1; i < 4; ++i) ReadInto(answer);  // rest of the header
    const int length = ReadInto(answer);
    if (length < kMinRollCallAnswerLength) {
      LogReceived(answer);
      return nobodyValid();
    }
    const uint8_t address = ReadInto(answer);
    if (address > IQDeviceInfo::kMaxBusAddress) {
      LogReceived(answer);
      return nobodyValid();
    }
    const int familyCode = ReadVarintInto(answer);
    std::array<uint8_t, IQDeviceInfo::kModelIdBytes> modelId{};
    for (uint8_t& byte : modelId) byte = ReadInto(answer);
    port_->ReadByte();  // checksum, not compared
    LogReceived(answer);
    return IQDeviceInfo(address, static_cast<uint32_t>(familyCode), static_cast<uint8_t>(network_),
                        modelId);
  } catch (const ReadTimeout&) {
    return nobodyValid();
  } catch (const ReplyTooLong&) {
    return nobodyValid();
  }
}

void UCodeEncoder::AcknowledgeUnit(const IQDeviceInfo& info) {
  UCodePacket packet;
  packet.AppendByte(info.address);
  packet.AppendVarint(static_cast<int>(info.familyCode));
  packet.AppendByte(kRollCallLength);
  packet.AppendVarint(kRollCallAcknowledgeId);
  SendPacket(packet);
  DiscardAnswer(kLoggedAnswerBytes);
}
