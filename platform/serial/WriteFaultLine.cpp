#include "platform/serial/WriteFaultLine.h"

#include <algorithm>
#include <utility>

namespace serial {

WriteFaultLine::WriteFaultLine(std::unique_ptr<Line> inner) : inner_(std::move(inner)) {}

void WriteFaultLine::QueueFailedWrite(int error) { faults_.push_back({error, 0}); }

void WriteFaultLine::QueueShortWrite(std::size_t bytesSent) { faults_.push_back({0, bytesSent}); }

long WriteFaultLine::Write(const uint8_t* data, std::size_t count) {
  injectedErrno_ = 0;
  if (faults_.empty()) return inner_->Write(data, count);
  Fault fault = faults_.front();
  faults_.pop_front();
  if (fault.error != 0) {
    injectedErrno_ = fault.error;
    return -1;
  }
  return inner_->Write(data, std::min(count, fault.bytesSent));
}

}  // namespace serial
