#include "controls/DeviceErrorReport.h"

#include <string>

#include "bus/IQDevice.h"
#include "platform/ui/Guard.h"

namespace controls {

namespace {

DeviceErrorReporter& Reporter() {
  static DeviceErrorReporter reporter;
  return reporter;
}

struct CommandReport {
  int depth = 0;
  bool shown = false;
  unsigned long failures = 0;
};

CommandReport& Command() {
  static CommandReport command;
  return command;
}

}  // namespace

OneReportScope::OneReportScope() : failuresBefore_(Command().failures) {
  if (Command().depth++ == 0) Command().shown = false;
}

OneReportScope::~OneReportScope() {
  if (--Command().depth == 0) Command().shown = false;
}

bool OneReportScope::FailureShown() { return Command().shown; }

bool OneReportScope::FailureMet() const { return Command().failures != failuresBefore_; }

bool TakeFailureReport(const IQException& error, IQDevice* device) {
  if (device != nullptr && dynamic_cast<const ErrorObject*>(&error) == nullptr) {
    device->IdlePolling().SilenceToldAt(PollBackoff::Clock::now());
  }
  CommandReport& command = Command();
  ++command.failures;
  if (command.depth == 0) return true;
  if (command.shown) return false;
  command.shown = true;
  return true;
}

void SetDeviceErrorReporter(DeviceErrorReporter reporter) { Reporter() = std::move(reporter); }

void ReportDeviceError(const IQException& error, IQDevice* device, int code) {
  if (!TakeFailureReport(error, device)) return;
  if (Reporter()) {
    Reporter()(error, device, code);
    return;
  }
  // Without the application's dialogs the failure is still told, never swallowed.
  ui::ReportError("bus", error.GetText() + " (code " + std::to_string(code) + ")");
}

std::string TakeFailureText(IQDevice& device, const std::exception_ptr& failure) {
  try {
    if (failure) std::rethrow_exception(failure);
  } catch (const IQException& error) {
    if (TakeFailureReport(error, &device)) return error.GetText() + "\n\n";
  }
  return {};
}

}  // namespace controls
