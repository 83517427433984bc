#pragma once

#include <memory>
#include <string>
#include <utility>

#include "platform/serial/SerialLine.h"

namespace serial {

// A line that hands every call to the line it wraps: the base of test and benchmark lines that
// watch or hold back some of the calls.
class PassThroughLine : public Line {
 public:
  explicit PassThroughLine(std::unique_ptr<Line> inner) : inner_(std::move(inner)) {}

  Failure Open(const std::string& portName) override { return inner_->Open(portName); }
  Failure ReadState() override { return inner_->ReadState(); }
  Failure Configure(uint32_t baud) override { return inner_->Configure(baud); }
  Failure Close() override { return inner_->Close(); }
  bool IsOpen() const override { return inner_->IsOpen(); }
  long Write(const uint8_t* data, std::size_t count) override { return inner_->Write(data, count); }
  long Read(uint8_t* data, std::size_t count, int timeoutMs) override {
    return inner_->Read(data, count, timeoutMs);
  }
  long ReadPending(uint8_t* data, std::size_t count) override {
    return inner_->ReadPending(data, count);
  }
  int LastErrno() const override { return inner_->LastErrno(); }

 private:
  std::unique_ptr<Line> inner_;
};

}  // namespace serial
