#include "sim/SimulatedBus.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <deque>
#include <map>
#include <optional>
#include <system_error>

#include "sim/BusModel.h"
#include "sim/FrameParser.h"
#include "sim/GenericUnit.h"
#include "sim/PseudoTerminal.h"

namespace sim {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using std::chrono::nanoseconds;

constexpr long kBaudRate = 38400;
constexpr long kBitsPerByte = 10;  // start, eight data bits, stop
constexpr nanoseconds kByteWireTime{1'000'000'000L * kBitsPerByte / kBaudRate};
// A unit's receiver gives up on a frame when the line falls silent in its middle.
constexpr milliseconds kPartialFrameTimeout{50};
// Longest the loop sleeps without looking at its stop flag.
constexpr milliseconds kMaxPollWait{50};
// Closing the master discards what the program has not read, so a hang-up waits until the
// reply before it was read: at least kHangUpHold (bytes take a moment to reach the slave's
// queue, where they can be counted), at most kHangUpGrace.
constexpr milliseconds kHangUpHold{20};
constexpr milliseconds kHangUpGrace{1000};
// How often a waiting hang-up looks whether the reply was read.
constexpr milliseconds kHangUpCheck{1};
constexpr std::size_t kReadChunkBytes = 4096;
constexpr std::size_t kStreamChunkBytes = 256;
constexpr int kStreamChunksPerPass = 16;
constexpr uint8_t kStreamByte = 0x55;
// The log keeps the newest entries so that a long-running demo does not grow without bound.
constexpr std::size_t kMaxTrafficEntries = 100'000;

timespec ToTimespec(Clock::duration duration) {
  const auto ns = std::max<long long>(0, std::chrono::duration_cast<nanoseconds>(duration).count());
  return timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

}  // namespace

// The serving loop: reads the program's bytes, hands complete frames to the model, and writes
// what comes back at the times pacing and faults give. It never blocks outside its poll, and the
// poll never waits longer than kMaxPollWait, so a stop is seen promptly.
class SimulatedBus::Loop {
 public:
  explicit Loop(SimulatedBus& bus) : bus_(bus), wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (wakeFd_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
  }
  ~Loop() { close(wakeFd_); }

  void Run();
  void RequestStop() {
    stop_ = true;
    Wake();
  }
  void Rearm() { stop_ = false; }
  void Wake() {
    const uint64_t one = 1;
    [[maybe_unused]] const auto written = write(wakeFd_, &one, sizeof one);
  }

  // The members below are used under the bus's lock.
  void HangUpNow();
  void StopStream() { streaming_ = false; }
  Pacing pacing;
  std::deque<TrafficEntry> traffic;

 private:
  struct Output {
    enum class What { kByte, kHangUp, kStartStream } what = What::kByte;
    uint8_t byte = 0;
  };

  nanoseconds ByteTime() const { return pacing.enabled ? kByteWireTime : nanoseconds{0}; }
  Clock::time_point NextDeadline(Clock::time_point now) const;
  void Service(Clock::time_point now);
  void ReadInput(int master, Clock::time_point now);
  void OnByte(uint8_t byte, Clock::time_point now);
  void Log(Direction direction, const std::vector<uint8_t>& bytes);
  Clock::time_point Enqueue(Clock::time_point due, Output output);
  void Schedule(const Transmission& transmission, Clock::time_point frameEnd);
  void WriteDue(int master, Clock::time_point now);
  void WriteStream(int master, Clock::time_point now);
  // Writes what it can; false when the line is full or gone.
  bool WriteSome(int master, const uint8_t* bytes, std::size_t count, std::size_t& written);

  SimulatedBus& bus_;
  const int wakeFd_;
  std::atomic<bool> stop_{false};
  FrameParser parser_;
  std::multimap<Clock::time_point, Output> schedule_;
  Clock::time_point inboundFreeAt_{};
  Clock::time_point outboundFreeAt_{};
  Clock::time_point lastInputAt_{};
  Clock::time_point nextStreamAt_{};
  // Set while a hang-up waits for its reply to be read: when it was due.
  std::optional<Clock::time_point> hangUpDue_;
  bool streaming_ = false;
  bool writeBlocked_ = false;
};

void SimulatedBus::Loop::Run() {
  while (!stop_) {
    std::array<pollfd, 2> fds{};
    nfds_t count = 1;
    timespec timeout{};
    fds[0] = {wakeFd_, POLLIN, 0};
    {
      std::lock_guard lock(bus_.mutex_);
      const int master = bus_.terminal_->Master();
      if (master >= 0) {
        fds[1] = {master, static_cast<short>(POLLIN | (writeBlocked_ ? POLLOUT : 0)), 0};
        count = 2;
      }
      const auto now = Clock::now();
      timeout = ToTimespec(NextDeadline(now) - now);
    }
    if (ppoll(fds.data(), count, &timeout, nullptr) < 0 && errno != EINTR) return;
    if (fds[0].revents & POLLIN) {
      uint64_t drained = 0;
      [[maybe_unused]] const auto read = ::read(wakeFd_, &drained, sizeof drained);
    }
    std::lock_guard lock(bus_.mutex_);
    Service(Clock::now());
  }
}

Clock::time_point SimulatedBus::Loop::NextDeadline(Clock::time_point now) const {
  Clock::time_point deadline = now + kMaxPollWait;
  if (writeBlocked_) return deadline;  // the poll wakes when the line takes bytes again
  if (!schedule_.empty()) deadline = std::min(deadline, schedule_.begin()->first);
  if (parser_.HasPartial()) deadline = std::min(deadline, lastInputAt_ + kPartialFrameTimeout);
  if (streaming_ && schedule_.empty()) {
    deadline = std::min(deadline, pacing.enabled ? nextStreamAt_ : now);
  }
  if (hangUpDue_) deadline = std::min(deadline, now + kHangUpCheck);
  return deadline;
}

void SimulatedBus::Loop::Service(Clock::time_point now) {
  const int master = bus_.terminal_->Master();
  if (master < 0) return;
  ReadInput(master, now);
  if (parser_.HasPartial() && now - lastInputAt_ >= kPartialFrameTimeout) {
    if (const auto dropped = parser_.DropPartial()) Log(Direction::kToUnits, dropped->bytes);
  }
  WriteDue(master, now);
  if (hangUpDue_) {
    const auto waited = now - *hangUpDue_;
    if (waited >= kHangUpGrace ||
        (waited >= kHangUpHold && bus_.terminal_->UnreadByProgram() == 0)) {
      HangUpNow();
    }
  }
}

void SimulatedBus::Loop::ReadInput(int master, Clock::time_point now) {
  std::array<uint8_t, kReadChunkBytes> buffer;
  for (;;) {
    const ssize_t count = read(master, buffer.data(), buffer.size());
    if (count <= 0) return;  // EAGAIN: all read
    for (ssize_t i = 0; i < count; ++i) OnByte(buffer[i], now);
  }
}

void SimulatedBus::Loop::OnByte(uint8_t byte, Clock::time_point now) {
  // A byte the program wrote in one burst with others still takes its own time on the wire.
  const Clock::time_point arrival =
      pacing.enabled ? std::max(now, inboundFreeAt_) + kByteWireTime : now;
  inboundFreeAt_ = arrival;
  lastInputAt_ = now;
  // On a two-wire bus the echo is the program's own byte heard back as it ends.
  if (bus_.model_->Mode() == InterfaceMode::kDuplexEcho) {
    schedule_.emplace(arrival, Output{Output::What::kByte, byte});
  }
  parser_.Feed(byte);
  while (const auto frame = parser_.Next()) {
    Log(Direction::kToUnits, frame->bytes);
    Schedule(bus_.model_->Handle(*frame), arrival);
  }
}

void SimulatedBus::Loop::Log(Direction direction, const std::vector<uint8_t>& bytes) {
  traffic.push_back({direction, bytes});
  if (traffic.size() > kMaxTrafficEntries) traffic.pop_front();
}

Clock::time_point SimulatedBus::Loop::Enqueue(Clock::time_point due, Output output) {
  if (output.what != Output::What::kByte) {
    schedule_.emplace(due, output);
    return due;
  }
  // One transmitter: with pacing a byte starts when the one before it has left, and reaches the
  // program when its own ten bits are through.
  const Clock::time_point start = pacing.enabled ? std::max(due, outboundFreeAt_) : due;
  const Clock::time_point end = start + ByteTime();
  schedule_.emplace(end, output);
  outboundFreeAt_ = end;
  return end;
}

void SimulatedBus::Loop::Schedule(const Transmission& transmission, Clock::time_point frameEnd) {
  if (!transmission.bytes.empty()) Log(Direction::kFromUnits, transmission.bytes);
  const auto turnaround =
      pacing.enabled ? std::chrono::microseconds(pacing.turnaroundUs) : nanoseconds{0};
  Clock::time_point due = frameEnd + turnaround + milliseconds(transmission.firstByteDelayMs);
  for (uint8_t byte : transmission.bytes) {
    due = Enqueue(due, {Output::What::kByte, byte}) + milliseconds(transmission.gapMs);
  }
  if (transmission.hangUp) Enqueue(due, {Output::What::kHangUp});
  if (transmission.endlessStream) Enqueue(due, {Output::What::kStartStream});
}

bool SimulatedBus::Loop::WriteSome(int master, const uint8_t* bytes, std::size_t count,
                                   std::size_t& written) {
  const ssize_t result = write(master, bytes, count);
  written = result > 0 ? static_cast<std::size_t>(result) : 0;
  writeBlocked_ = written < count;
  return !writeBlocked_;
}

void SimulatedBus::Loop::WriteDue(int master, Clock::time_point now) {
  writeBlocked_ = false;
  while (!schedule_.empty() && schedule_.begin()->first <= now) {
    const Output front = schedule_.begin()->second;
    if (front.what != Output::What::kByte) {
      schedule_.erase(schedule_.begin());
      if (front.what == Output::What::kHangUp) {
        hangUpDue_ = now;
        continue;
      }
      streaming_ = true;
      nextStreamAt_ = now;
      continue;
    }
    std::vector<uint8_t> burst;
    for (auto it = schedule_.begin();
         it != schedule_.end() && it->first <= now && it->second.what == Output::What::kByte;
         ++it) {
      burst.push_back(it->second.byte);
    }
    std::size_t written = 0;
    const bool all = WriteSome(master, burst.data(), burst.size(), written);
    for (std::size_t i = 0; i < written; ++i) schedule_.erase(schedule_.begin());
    if (!all) return;
  }
  if (streaming_ && schedule_.empty()) WriteStream(master, now);
}

void SimulatedBus::Loop::WriteStream(int master, Clock::time_point now) {
  std::size_t written = 0;
  if (pacing.enabled) {
    // A reader that fell behind gets no burst of catching up: the line only runs at its rate.
    nextStreamAt_ = std::max(nextStreamAt_, now - kMaxPollWait);
    while (nextStreamAt_ <= now) {
      if (!WriteSome(master, &kStreamByte, 1, written)) return;
      nextStreamAt_ += kByteWireTime;
    }
    return;
  }
  const std::vector<uint8_t> chunk(kStreamChunkBytes, kStreamByte);
  for (int i = 0; i < kStreamChunksPerPass; ++i) {
    if (!WriteSome(master, chunk.data(), chunk.size(), written)) return;
  }
}

void SimulatedBus::Loop::HangUpNow() {
  bus_.terminal_->Close();
  schedule_.clear();
  hangUpDue_.reset();
  streaming_ = false;
  writeBlocked_ = false;
}

SimulatedBus::SimulatedBus()
    : terminal_(std::make_unique<PseudoTerminal>()),
      model_(std::make_unique<BusModel>()),
      loop_(std::make_unique<Loop>(*this)),
      slavePath_(terminal_->SlavePath()) {}

SimulatedBus::~SimulatedBus() { Stop(); }

void SimulatedBus::Start() {
  if (thread_.joinable()) return;
  loop_->Rearm();
  thread_ = std::thread([this] { loop_->Run(); });
}

void SimulatedBus::Stop() {
  if (!thread_.joinable()) return;
  loop_->RequestStop();
  thread_.join();
}

int SimulatedBus::AddUnit(std::unique_ptr<Unit> unit) {
  std::lock_guard lock(mutex_);
  return model_->AddUnit(std::move(unit));
}

int SimulatedBus::AddGenericUnit(const UnitIdentity& identity,
                                 const std::vector<ObjectSpec>& objects) {
  return AddUnit(std::make_unique<GenericUnit>(identity, objects));
}

void SimulatedBus::SetInterfaceMode(InterfaceMode mode) {
  std::lock_guard lock(mutex_);
  model_->SetInterfaceMode(mode);
}

void SimulatedBus::SetPacing(const Pacing& pacing) {
  std::lock_guard lock(mutex_);
  loop_->pacing = pacing;
}

void SimulatedBus::AddFault(const Fault& fault) {
  std::lock_guard lock(mutex_);
  model_->Faults().Add(fault);
}

void SimulatedBus::ClearFaults() {
  std::lock_guard lock(mutex_);
  model_->Faults().Clear();
  loop_->StopStream();
  loop_->Wake();
}

void SimulatedBus::HangUp() {
  std::lock_guard lock(mutex_);
  loop_->HangUpNow();
  loop_->Wake();
}

std::vector<TrafficEntry> SimulatedBus::Traffic() const {
  std::lock_guard lock(mutex_);
  return {loop_->traffic.begin(), loop_->traffic.end()};
}

void SimulatedBus::ClearTraffic() {
  std::lock_guard lock(mutex_);
  loop_->traffic.clear();
}

int SimulatedBus::SelectedNetwork() const {
  std::lock_guard lock(mutex_);
  return model_->SelectedNetwork();
}

void SimulatedBus::WithUnit(int unitIndex, const std::function<void(Unit&)>& action) {
  std::lock_guard lock(mutex_);
  action(model_->UnitAt(unitIndex));
}

std::vector<uint8_t> SimulatedBus::Element(int unitIndex, int objectId, int index) const {
  std::lock_guard lock(mutex_);
  return model_->UnitAt(unitIndex).Element(objectId, index);
}

void SimulatedBus::StoreElement(int unitIndex, int objectId, int index,
                                const std::vector<uint8_t>& bytes) {
  std::lock_guard lock(mutex_);
  model_->UnitAt(unitIndex).StoreElement(objectId, index, bytes);
}

}  // namespace sim
