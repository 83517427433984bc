#include "bus/CommPort.h"

#include <algorithm>
#include <stdexcept>

#include "bus/BusNotifier.h"
#include "bus/IQException.h"
#include "bus/PortList.h"
#include "bus/UCodePacket.h"

std::string ComName(int portNumber) { return "COM" + std::to_string(portNumber); }

serial::LineFactory CommPort::SystemLines() {
  return [] { return serial::MakeSystemLine(); };
}

CommPort::CommPort(int portNumber, uint32_t baudRate, serial::LineFactory lineFactory)
    : lineFactory_(std::move(lineFactory)),
      name_(ComName(portNumber)),
      portNumber_(portNumber),
      baudRate_(baudRate) {}

CommPort::~CommPort() {
  if (line_) line_->Close();
}

void CommPort::Open() {
  if (IsOpen()) {
    std::vector<uint8_t> stale;
    if (TakePending(stale)) return;
    LetLineGo();
  }
  lastError_ = serial::Failure::None;
  // The line resolves COM names itself, so every port number uses the same form.
  name_ = ComName(portNumber_);
  auto line = lineFactory_();
  if (const auto failure = line->Open(name_); failure != serial::Failure::None) {
    lastError_ = failure;
    throw NoCommHandle();
  }
  // A port that cannot be configured is released at once rather than left open and unusable.
  if (const auto failure = line->ReadState(); failure != serial::Failure::None) {
    line->Close();
    lastError_ = failure;
    throw GetStateError();
  }
  if (const auto failure = line->Configure(baudRate_); failure != serial::Failure::None) {
    line->Close();
    lastError_ = failure;
    throw SetStateError();
  }
  line_ = std::move(line);
}

void CommPort::Close() {
  if (!line_) return;
  auto line = std::move(line_);
  if (line->Close() != serial::Failure::None) throw CloseError();
}

void CommPort::Pause() {
  bytesSincePause_ = 0;
  if (!pauseHook_ || paused_) return;
  paused_ = true;
  struct Resume {
    bool& paused;
    ~Resume() { paused = false; }
  } resume{paused_};
  pauseHook_();
}

void CommPort::RefuseFromPause() const {
  // Whatever ran in the pause would cut into the exchange in progress.
  if (paused_) throw std::logic_error("the bus was used while it paused for the program");
}

long CommPort::ReadWithin(uint8_t* buffer, std::size_t count, int timeoutMs) {
  RefuseFromPause();
  for (;;) {
    const int slice = pauseHook_ ? std::min(timeoutMs, kPauseSliceMs) : timeoutMs;
    const long n = line_->Read(buffer, count, slice);
    timeoutMs -= slice;
    if (n > 0) {
      // A long answer pauses on the way, while the rest of it is still on the wire.
      bytesSincePause_ += n;
      if (bytesSincePause_ >= kPauseBytes) Pause();
    }
    if (n != 0 || timeoutMs <= 0) return n;
    Pause();
    if (!line_) return -1;
  }
}

void CommPort::LetLineGo() {
  // The line has failed: whatever its close says, it is not used again.
  auto line = std::move(line_);
  if (line) line->Close();
}

bool CommPort::TakePending(std::vector<uint8_t>& into) {
  constexpr std::size_t kChunkBytes = 256;
  while (into.size() < kMaxPendingBytes) {
    const std::size_t start = into.size();
    into.resize(start + std::min(kChunkBytes, kMaxPendingBytes - start));
    const long n = line_->ReadPending(into.data() + start, into.size() - start);
    into.resize(start + static_cast<std::size_t>(std::max(n, 0L)));
    if (n < 0) return false;
    if (n == 0) break;
  }
  return true;
}

std::vector<uint8_t> CommPort::DiscardPending() {
  // A closed port has nothing pending; the write that follows says it is closed.
  if (!line_) return {};
  std::vector<uint8_t> stale;
  if (!TakePending(stale)) {
    LetLineGo();
    throw ReadError();
  }
  return stale;
}

void CommPort::WriteAll(std::span<const uint8_t> bytes) {
  RefuseFromPause();
  if (!line_) throw WriteError();
  const long written = line_->Write(bytes.data(), bytes.size());
  if (written < 0) {
    LetLineGo();
    throw WriteError();
  }
  if (static_cast<std::size_t>(written) != bytes.size()) throw WriteTimeout();
  // The request is on its way and the answer is still to come: a pause here costs no time.
  Pause();
  if (duplexEcho_) ReadEcho(bytes.size());
}

void CommPort::ReadEcho(std::size_t count) {
  // The echo is only counted; the interface detection is where its content is compared.
  std::vector<uint8_t> scratch(count);
  std::size_t got = 0;
  while (got < count) {
    const long n = ReadWithin(scratch.data() + got, count - got, ByteAttemptTimeoutMs());
    if (n < 0) LetLineGo();
    if (n <= 0) throw DuplexEchoError();
    got += static_cast<std::size_t>(n);
  }
}

std::size_t CommPort::Write(std::span<const uint8_t> bytes) {
  WriteAll(bytes);
  return bytes.size();
}

std::size_t CommPort::WritePacket(const UCodePacket& packet) {
  const auto wire = packet.WireBytes();
  WriteAll(wire);
  return wire.size();
}

uint8_t CommPort::ReadByte() {
  if (!line_) throw ReadError();
  for (uint32_t attempt = 0; attempt <= retries_; ++attempt) {
    uint8_t byte = 0;
    const long n = ReadWithin(&byte, 1, ByteAttemptTimeoutMs());
    if (n < 0) {
      LetLineGo();
      throw ReadError();
    }
    if (n == 1) return byte;
  }
  throw ReadTimeout();
}

int CommPort::ReadVarint() {
  const int b1 = ReadByte();
  if (b1 < 0x80) return b1;
  const int b2 = ReadByte();
  int value = (b1 & 0x7F) + ((b2 & 0x7F) << 7);
  if (b2 >= 0x80) value += (ReadByte() & 0x7F) << 14;
  return value;
}

bool CommPort::TryReadByte() {
  uint8_t scratch = 0;
  return line_ && ReadWithin(&scratch, 1, ByteAttemptTimeoutMs()) == 1;
}

void CommPort::Drain() {
  for (int i = 0; i < kMaxDrainBytes && TryReadByte(); ++i) {
  }
}

std::string CommPort::Probe(const std::string& portName) const {
  auto line = lineFactory_();
  switch (line->Open(portName)) {
    case serial::Failure::None:
      line->Close();
      return "OK";
    case serial::Failure::InUse:
      return "Unavailable";
    case serial::Failure::AccessDenied:
      return "Error";
    case serial::Failure::NoSuchPort:
      return "No Connection";
    case serial::Failure::Other:
      break;
  }
  return "Problem";
}

void CommPort::ReportNoInterface(BusNotifier& notifier) {
  notifier.ShowMessage(
      "No Inteface has been selected. You will need to select an Interface from the "
      "Options->Interface Menu.",
      "No Interface Selected", BusNotifier::Icon::Exclamation);
}

void CommPort::ReportOpenError(BusNotifier& notifier, const PortList& ports) const {
  constexpr auto kIcon = BusNotifier::Icon::Exclamation;
  if (portNumber_ == kNoPort) {
    ReportNoInterface(notifier);
    return;
  }
  const PortInfo* entry = ports.FindPortByNumber(portNumber_);
  if (entry && entry->usb) {
    std::string text;
    switch (lastError_) {
      case serial::Failure::NoSuchPort:
        text =
            "The USB cable does not appear to be plugged in, or is not plugged in to a Telvo "
            "Instruments unit.";
        break;
      case serial::Failure::InUse:
        text =
            "The USB port is in use by another program and cannot be used by TelvoWindows at "
            "this time.";
        break;
      default:
        text = "An error has occured while trying to access the USB port.";
    }
    notifier.ShowMessage(text, "Problem accessing a USB port.", kIcon);
    return;
  }
  std::string text;
  switch (lastError_) {
    case serial::Failure::NoSuchPort:
      text = name_ +
             " does not appear to be plugged in, or is not plugged in to a Telvo Instruments "
             "unit.";
      break;
    case serial::Failure::InUse:
      text =
          name_ + " is in use by another program and cannot be used by TelvoWindows at this time.";
      break;
    default:
      text = "An error has occured while trying to access " + name_;
  }
  notifier.ShowMessage(text, "Problem accessing a COM port.", kIcon);
}
