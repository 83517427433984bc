#include "sim/SimulatedBus.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <deque>
#include <optional>
#include <system_error>
#include <thread>

#include "sim/BusModel.h"
#include "sim/ErrorOutput.h"
#include "sim/FrameParser.h"
#include "sim/GenericUnit.h"
#include "sim/PseudoTerminal.h"
#include "sim/WireSchedule.h"

namespace sim {
namespace {

using Clock = WireClock;
using std::chrono::milliseconds;
using std::chrono::nanoseconds;

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
// How often a wait for the units' answers looks whether the system has moved all of it.
constexpr std::chrono::microseconds kCrossingCheck{50};
constexpr unsigned long kTimerSlackNs = 1;
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
// what comes back when the wire schedule says. It never blocks outside its poll, and the poll
// never waits longer than kMaxPollWait, so a stop is seen promptly.
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
  // Answers kept back by a pause are dropped with the faults that made it.
  void EndPause() {
    pausedFramesLeft_ = 0;
    kept_.clear();
  }
  bool Idle() const { return !parser_.HasPartial() && schedule.Empty() && !streaming_; }
  WireCount carried;
  WireSchedule schedule;
  std::deque<TrafficEntry> traffic;

 private:
  Clock::time_point NextDeadline(Clock::time_point now) const;
  void Service(Clock::time_point now);
  void ReadInput(int master, Clock::time_point now);
  void OnByte(uint8_t byte, Clock::time_point now);
  void Log(Direction direction, const std::vector<uint8_t>& bytes);
  void WriteDue(int master, Clock::time_point now);
  // Keeps `answer` back while a pause lasts; otherwise puts what a pause kept back ahead of it.
  void ApplyPause(Transmission& answer);
  void WriteStream(int master, Clock::time_point now);
  // Writes what the line takes; false when it took less than all.
  bool WriteSome(int master, const uint8_t* bytes, std::size_t count, std::size_t& written);

  SimulatedBus& bus_;
  const int wakeFd_;
  std::atomic<bool> stop_{false};
  FrameParser parser_;
  Clock::time_point lastInputAt_{};
  Clock::time_point nextStreamAt_{};
  // Set while a hang-up waits for its reply to be read: when it was due.
  std::optional<Clock::time_point> hangUpDue_;
  bool streaming_ = false;
  bool writeBlocked_ = false;
  int pausedFramesLeft_ = 0;
  std::vector<uint8_t> kept_;
};

void SimulatedBus::Loop::Run() {
  // Paced bytes are due a fraction of a millisecond apart; the default timer slack would make
  // every wake-up late by tens of microseconds.
  prctl(PR_SET_TIMERSLACK, kTimerSlackNs);
  while (!stop_) {
    std::array<pollfd, 2> fds{};
    nfds_t count = 1;
    timespec timeout{};
    fds[0] = {wakeFd_, POLLIN, 0};
    {
      std::lock_guard lock(bus_.mutex_);
      const int master = bus_.terminal_->Master();
      const short events =
          static_cast<short>((hangUpDue_ ? 0 : POLLIN) | (writeBlocked_ ? POLLOUT : 0));
      if (master >= 0 && events != 0) {
        fds[1] = {master, events, 0};
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
    {
      std::lock_guard lock(bus_.mutex_);
      Service(Clock::now());
    }
    bus_.passed_.notify_all();
  }
}

Clock::time_point SimulatedBus::Loop::NextDeadline(Clock::time_point now) const {
  Clock::time_point deadline = now + kMaxPollWait;
  if (hangUpDue_) deadline = std::min(deadline, now + kHangUpCheck);
  if (writeBlocked_) return deadline;  // the poll wakes when the line takes bytes again
  if (!schedule.Empty()) deadline = std::min(deadline, schedule.NextDue());
  if (parser_.HasPartial()) deadline = std::min(deadline, lastInputAt_ + kPartialFrameTimeout);
  if (streaming_ && schedule.Empty()) {
    deadline = std::min(deadline, schedule.Paced() ? nextStreamAt_ : now);
  }
  return deadline;
}

void SimulatedBus::Loop::Service(Clock::time_point now) {
  const int master = bus_.terminal_->Master();
  if (master < 0) return;
  // A line going dead takes nothing more in: a request written after the last reply stays
  // unanswered until the hang-up, however busily the program sends, instead of being answered
  // while the hang-up waits for the program to have read everything.
  if (!hangUpDue_) ReadInput(master, now);
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
    carried.toUnits += static_cast<uint64_t>(count);
    for (ssize_t i = 0; i < count; ++i) OnByte(buffer[i], now);
  }
}

void SimulatedBus::Loop::OnByte(uint8_t byte, Clock::time_point now) {
  const Clock::time_point arrival = schedule.Arrival(now);
  lastInputAt_ = now;
  if (bus_.model_->Mode() == InterfaceMode::kDuplexEcho) schedule.Echo(byte, arrival);
  parser_.Feed(byte);
  while (const auto frame = parser_.Next()) {
    Log(Direction::kToUnits, frame->bytes);
    Transmission answer;
    try {
      answer = bus_.model_->Handle(*frame);
    } catch (const std::exception& error) {
      // A family's unit model failed: the unit stays silent and the test sees a time-out, rather
      // than the whole test process ending on an exception in this thread.
      SayOnStandardError(std::string("simulated bus: a unit failed to answer: ") + error.what());
    }
    // Held under the bus's lock, so that the program's side cannot see the bus move either; a
    // stop waits for it.
    if (answer.starveMs > 0) std::this_thread::sleep_for(milliseconds(answer.starveMs));
    ApplyPause(answer);
    if (!answer.bytes.empty()) Log(Direction::kFromUnits, answer.bytes);
    schedule.Transmit(answer, arrival);
  }
}

void SimulatedBus::Loop::ApplyPause(Transmission& answer) {
  pausedFramesLeft_ = std::max(pausedFramesLeft_, answer.pausedFrames);
  if (pausedFramesLeft_ > 0) {
    --pausedFramesLeft_;
    kept_.insert(kept_.end(), answer.bytes.begin(), answer.bytes.end());
    answer.bytes.clear();
    return;
  }
  answer.bytes.insert(answer.bytes.begin(), kept_.begin(), kept_.end());
  kept_.clear();
}

void SimulatedBus::Loop::Log(Direction direction, const std::vector<uint8_t>& bytes) {
  traffic.push_back({direction, bytes});
  if (traffic.size() > kMaxTrafficEntries) traffic.pop_front();
}

bool SimulatedBus::Loop::WriteSome(int master, const uint8_t* bytes, std::size_t count,
                                   std::size_t& written) {
  const ssize_t result = write(master, bytes, count);
  written = result > 0 ? static_cast<std::size_t>(result) : 0;
  carried.fromUnits += written;
  writeBlocked_ = written < count;
  return !writeBlocked_;
}

void SimulatedBus::Loop::WriteDue(int master, Clock::time_point now) {
  writeBlocked_ = false;
  for (;;) {
    const std::vector<uint8_t> due = schedule.DueBytes(now);
    if (!due.empty()) {
      std::size_t written = 0;
      const bool all = WriteSome(master, due.data(), due.size(), written);
      schedule.Written(written, now);
      if (!all) return;
      continue;
    }
    const auto action = schedule.TakeDueAction(now);
    if (!action) break;
    if (*action == WireSchedule::Action::kHangUp) {
      hangUpDue_ = now;
    } else {
      streaming_ = true;
      nextStreamAt_ = now;
    }
  }
  if (streaming_ && schedule.Empty()) WriteStream(master, now);
}

void SimulatedBus::Loop::WriteStream(int master, Clock::time_point now) {
  std::size_t written = 0;
  if (schedule.Paced()) {
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
  schedule.Clear();
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
                                 const std::vector<ObjectLayout>& objects) {
  return AddUnit(std::make_unique<GenericUnit>(identity, objects));
}

void SimulatedBus::SetInterfaceMode(InterfaceMode mode) {
  std::lock_guard lock(mutex_);
  model_->SetInterfaceMode(mode);
}

void SimulatedBus::SetPacing(const Pacing& pacing) {
  std::lock_guard lock(mutex_);
  loop_->schedule.SetPacing(pacing);
}

void SimulatedBus::AddFault(const Fault& fault) {
  std::lock_guard lock(mutex_);
  model_->Faults().Add(fault);
}

void SimulatedBus::ClearFaults() {
  std::lock_guard lock(mutex_);
  model_->Faults().Clear();
  loop_->StopStream();
  loop_->EndPause();
  loop_->Wake();
}

void SimulatedBus::ReplaceUnitFaults(int address, const std::vector<Fault>& faults) {
  std::lock_guard lock(mutex_);
  model_->Faults().ClearFor(address);
  for (const Fault& fault : faults) model_->Faults().Add(fault.ForUnit(address));
}

void SimulatedBus::HangUp() {
  std::lock_guard lock(mutex_);
  loop_->HangUpNow();
  loop_->Wake();
}

double WireTimeMs(const std::vector<TrafficEntry>& traffic, int turnaroundUs) {
  constexpr double kByteMs = kBitsPerByte * 1000.0 / kBaudRate;
  std::size_t bytes = 0;
  int replies = 0;
  for (const TrafficEntry& entry : traffic) {
    bytes += entry.bytes.size();
    if (entry.direction == Direction::kFromUnits) ++replies;
  }
  return bytes * kByteMs + replies * turnaroundUs / 1000.0;
}

WireCount SimulatedBus::Carried() const {
  std::lock_guard lock(mutex_);
  return loop_->carried;
}

bool SimulatedBus::AwaitAnswered(WireCount since, WireCount line, std::size_t wanted,
                                 std::chrono::steady_clock::time_point deadline) const {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (terminal_->Master() < 0) return true;
    const auto unread = static_cast<uint64_t>(terminal_->UnreadByProgram());
    if (unread >= wanted) return true;
    const WireCount& carried = loop_->carried;
    const bool unitsDone = carried.toUnits - since.toUnits >= line.toUnits && loop_->Idle();
    if (unitsDone && carried.fromUnits - since.fromUnits <= line.fromUnits + unread) return true;
    if (Clock::now() >= deadline) return false;
    if (!unitsDone) {
      passed_.wait_until(lock, deadline);
      continue;
    }
    // The units wrote their answer in more than one go, and the system has moved only the first
    // part to the program's side: no pass of the bus's thread tells when the rest is there.
    lock.unlock();
    std::this_thread::sleep_for(kCrossingCheck);
    lock.lock();
  }
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
