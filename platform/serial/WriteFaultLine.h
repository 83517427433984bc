#pragma once

#include <cstddef>
#include <deque>
#include <memory>

#include "platform/serial/SerialLine.h"

namespace serial {

// Wraps a line and makes chosen writes fail or come up short, the failures a pseudo-terminal
// never produces. Each queued fault applies to one write, in order; other calls pass through.
class WriteFaultLine : public Line {
 public:
  explicit WriteFaultLine(std::unique_ptr<Line> inner);

  // The next unfaulted write fails with `error` without sending anything.
  void QueueFailedWrite(int error);
  // The next unfaulted write sends only its first `bytesSent` bytes and reports that count.
  void QueueShortWrite(std::size_t bytesSent);
  std::size_t PendingFaults() const { return faults_.size(); }

  Failure Open(const std::string& portName) override { return inner_->Open(portName); }
  Failure ReadState() override { return inner_->ReadState(); }
  Failure Configure(uint32_t baud) override { return inner_->Configure(baud); }
  Failure Close() override { return inner_->Close(); }
  bool IsOpen() const override { return inner_->IsOpen(); }
  long Write(const uint8_t* data, std::size_t count) override;
  long Read(uint8_t* data, std::size_t count, int timeoutMs) override {
    return inner_->Read(data, count, timeoutMs);
  }
  long ReadPending(uint8_t* data, std::size_t count) override {
    return inner_->ReadPending(data, count);
  }
  int LastErrno() const override { return injectedErrno_ ? injectedErrno_ : inner_->LastErrno(); }

 private:
  struct Fault {
    int error;              // non-zero: the write fails with this errno
    std::size_t bytesSent;  // otherwise: how many bytes go out
  };

  std::unique_ptr<Line> inner_;
  std::deque<Fault> faults_;
  int injectedErrno_ = 0;
};

}  // namespace serial
