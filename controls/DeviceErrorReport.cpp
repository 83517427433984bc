#include "controls/DeviceErrorReport.h"

#include <string>

#include "bus/IQDevice.h"
#include "bus/UCodeObject.h"
#include "platform/ui/Guard.h"
#include "platform/ui/HeldRepeat.h"

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

// What the error dialog would tell of `error`, for a box that tells it with more: the failure,
// the unit's own text for a refusal, and the request that failed.
std::string FailureText(const IQException& error, const IQDevice& device) {
  std::string text = error.GetText();
  if (const auto* refused = dynamic_cast<const ErrorObject*>(&error)) {
    const std::string unitText = device.GetErrorText(refused->code);
    if (!unitText.empty()) text += "\n" + unitText;
  }
  if (error.FailedObject() != nullptr && error.FailedDevice() != nullptr) {
    text += "\nLast object ID: " + std::to_string(error.FailedObject()->GetId()) +
            ", address: " + std::to_string(error.FailedDevice()->GetInfo().address);
  }
  return text;
}

}  // namespace

OneReportScope::OneReportScope() : failuresBefore_(Command().failures) {
  if (Command().depth++ == 0) Command().shown = false;
}

OneReportScope::~OneReportScope() {
  if (--Command().depth == 0) Command().shown = false;
}

bool OneReportScope::FailureShown() { return Command().shown; }

PassOverReports::PassOverReports() : shownBefore_(Command().shown) { Command().shown = true; }

PassOverReports::~PassOverReports() { Command().shown = shownBefore_; }

bool OneReportScope::FailureMet() const { return Command().failures != failuresBefore_; }

bool TakeFailureReport(const IQException& error, IQDevice* device) {
  // A control the user holds down steps no more once a step has failed, told or not: its box would
  // take the release, and the hand still down would go on writing behind it.
  ui::EndHolds();
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
    if (TakeFailureReport(error, &device)) return FailureText(error, device) + "\n\n";
  }
  return {};
}

}  // namespace controls
