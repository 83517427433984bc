#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/serial/SerialLine.h"

class BusNotifier;
class PortList;
class UCodePacket;

// The one serial port that reaches the bus. Every failure is thrown as an `IQException`.
class CommPort {
 public:
  static serial::LineFactory SystemLines();

  static constexpr int kNoPort = -1;
  static constexpr uint32_t kDefaultReadTimeoutMs = 20;
  static constexpr uint32_t kDefaultRetries = 2;
  // Reading a line that never falls silent stops after this many bytes, so no loop that waits
  // for silence can run for ever.
  static constexpr int kMaxDrainBytes = 1024;
  // What one discard of pending input takes at most: the late answers of several seconds of
  // polling a stalled unit fit in it many times over.
  static constexpr std::size_t kMaxPendingBytes = 16384;

  // `lineFactory` makes the line each `Open` uses; tests put a scripted one in.
  CommPort(int portNumber, uint32_t baudRate, serial::LineFactory lineFactory = SystemLines());
  ~CommPort();
  CommPort(const CommPort&) = delete;
  CommPort& operator=(const CommPort&) = delete;

  // These take effect at the next `Open`; an open port is not touched.
  void SetLineFactory(serial::LineFactory lineFactory) { lineFactory_ = std::move(lineFactory); }
  void SetBaudRate(uint32_t baudRate) { baudRate_ = baudRate; }
  void SetPortNumber(int portNumber) { portNumber_ = portNumber; }
  uint32_t GetBaudRate() const { return baudRate_; }
  int GetPortNumber() const { return portNumber_; }
  // The display name callers copy in from the port list; `Open` rebuilds it from the number.
  const std::string& GetName() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }

  uint32_t GetReadTimeout() const { return readTimeoutMs_; }
  void SetReadTimeout(uint32_t readTimeoutMs) { readTimeoutMs_ = readTimeoutMs; }
  uint32_t GetRetries() const { return retries_; }
  void SetRetries(uint32_t retries) { retries_ = retries; }
  bool GetDuplexEcho() const { return duplexEcho_; }
  void SetDuplexEcho(bool duplexEcho) { duplexEcho_ = duplexEcho; }

  bool IsOpen() const { return line_ != nullptr; }
  // Does nothing when already open on a line that still works; a line whose device has gone (an
  // adapter pulled out) is let go and the port opened again, so a replugged adapter is found. A
  // failure leaves the port closed, with the failure kept for `ReportOpenError`. A read or write
  // that fails lets the line go too: the next `Open` opens it afresh.
  void Open();
  void Close();
  serial::Failure GetLastError() const { return lastError_; }

  std::size_t Write(std::span<const uint8_t> bytes);
  // The packet's bytes and its checksum in one write.
  std::size_t WritePacket(const UCodePacket& packet);

  // One byte within retries + 1 attempts, each waiting at most twice the read time-out.
  uint8_t ReadByte();
  int ReadVarint();
  // One attempt, no exception: true when a byte came (and was discarded).
  bool TryReadByte();
  // Discards input until the line is silent for one attempt (or `kMaxDrainBytes` were read).
  void Drain();
  // Takes, without waiting, what the line holds before a request (late answers, a stalled unit's
  // echoes) and returns it, so that it is never read as the answer to the request.
  std::vector<uint8_t> DiscardPending();

  // Opens `portName` once, exclusively, and closes it again: "OK", "Unavailable", "Error",
  // "No Connection" or "Problem".
  std::string Probe(const std::string& portName) const;

  // Tells the user why the last `Open` failed; USB entries of `ports` get the cable's wording.
  void ReportOpenError(BusNotifier& notifier, const PortList& ports) const;
  // Tells the user that no port has been chosen for the bus interface.
  static void ReportNoInterface(BusNotifier& notifier);

  // Where the port pauses for the program around it: after every write, while the line carries
  // the request and the unit turns round; after every `kPauseBytes` bytes read; and after every
  // `kPauseSliceMs` of waiting for a byte.
  // The program keeps its windows painted there during long bus work; the hook must not use the
  // bus, and the port refuses to be used from inside it.
  static constexpr int kPauseSliceMs = 10;
  static constexpr long kPauseBytes = 32;  // some 8 ms of the bus at 38400 baud
  void SetPauseHook(std::function<void()> hook) { pauseHook_ = std::move(hook); }

  // Milliseconds one read attempt of one byte may wait.
  int ByteAttemptTimeoutMs() const { return static_cast<int>(2 * readTimeoutMs_); }

 private:
  void WriteAll(std::span<const uint8_t> bytes);
  // Appends what the line holds to `into`, up to kMaxPendingBytes; false when the line failed.
  bool TakePending(std::vector<uint8_t>& into);
  void LetLineGo();
  void ReadEcho(std::size_t count);
  // One read of the line, waiting at most `timeoutMs`, pausing every `kPauseSliceMs` of it.
  long ReadWithin(uint8_t* buffer, std::size_t count, int timeoutMs);
  void Pause();
  void RefuseFromPause() const;

  serial::LineFactory lineFactory_;
  std::unique_ptr<serial::Line> line_;
  std::string name_;
  int portNumber_;
  uint32_t baudRate_;
  serial::Failure lastError_ = serial::Failure::None;
  uint32_t readTimeoutMs_ = kDefaultReadTimeoutMs;
  uint32_t retries_ = kDefaultRetries;
  bool duplexEcho_ = false;
  std::function<void()> pauseHook_;
  bool paused_ = false;
  long bytesSincePause_ = 0;
};

// The bus always runs at this rate.
inline constexpr uint32_t kBusBaudRate = 38400;

// The program's serial port, port 1 until the user or the settings choose another.
extern CommPort TheCommPort;

// "COM%d", the name the port list and the user see.
std::string ComName(int portNumber);
