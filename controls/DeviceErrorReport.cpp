#include "controls/DeviceErrorReport.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <string>

#include "bus/IQDevice.h"
#include "bus/UCodeObject.h"
#include "platform/ui/Application.h"
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
  const PassOverReports* pass = nullptr;
};

// The modal window the user acts in now, null for the program's own windows: each has its
// commands and their reports apart.
const ui::Window* ModalLevel() {
  const auto* app = ui::Application::Instance();
  return app != nullptr ? app->InnermostModal() : nullptr;
}

std::map<const ui::Window*, CommandReport>& Levels() {
  static std::map<const ui::Window*, CommandReport> levels;
  return levels;
}

CommandReport& Command(const ui::Window* level) { return Levels()[level]; }

// The command under way where the user acts now, if any.
CommandReport* CommandNow() {
  const auto found = Levels().find(ModalLevel());
  return found != Levels().end() && found->second.depth > 0 ? &found->second : nullptr;
}

// Every failure met, on every level, for OneReportScope::FailureMet: a failure in a dialog the
// action opened was met by the action all the same.
unsigned long& FailuresMet() {
  static unsigned long failures = 0;
  return failures;
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

OneReportScope::OneReportScope() : level_(ModalLevel()), failuresBefore_(FailuresMet()) {
  ++Command(level_).depth;
}

OneReportScope::~OneReportScope() {
  // A level's report ends with its outermost command: the next starts with nothing shown, also
  // in a dialog made later at the same address.
  if (--Command(level_).depth == 0) Levels().erase(level_);
}

bool OneReportScope::FailureShown() {
  const CommandReport* command = CommandNow();
  return command != nullptr && command->shown;
}

PassOverReports::PassOverReports()
    : outer_(Command(scope_.level_).pass), writesNotMadeBefore_(IQDevice::WritesNotMade()) {
  Command(scope_.level_).pass = this;
}

PassOverReports::~PassOverReports() { Command(scope_.level_).pass = outer_; }

bool PassOverReports::ToldBefore(const IQException& error) const {
  // A write of the pass that was not made is news whatever stopped it: a silence met before it
  // went out (at the read it waits on) loses what the user typed as surely as an unanswered one.
  return dynamic_cast<const ErrorObject*>(&error) == nullptr &&
         IQDevice::WritesNotMade() == writesNotMadeBefore_;
}

bool OneReportScope::FailureMet() const { return FailuresMet() != failuresBefore_; }

bool TakeFailureReport(const IQException& error, IQDevice* device) {
  // A control the user holds down steps no more once a step has failed, told or not: its box would
  // take the release, and the hand still down would go on writing behind it.
  ui::EndHolds();
  if (device != nullptr && dynamic_cast<const ErrorObject*>(&error) == nullptr) {
    device->IdlePolling().SilenceToldAt(PollBackoff::Clock::now());
  }
  ++FailuresMet();
  CommandReport* command = CommandNow();
  if (command == nullptr) return true;
  if (command->shown) return false;
  if (command->pass != nullptr && command->pass->ToldBefore(error)) return false;
  command->shown = true;
  return true;
}

void SetDeviceErrorReporter(DeviceErrorReporter reporter) { Reporter() = std::move(reporter); }

void ReportDeviceError(const IQException& error, IQDevice* device, int code) {
  if (!TakeFailureReport(error, device)) return;
  PutBackBeforeBox::Show(error, [device, code](const IQException& told) {
    if (Reporter()) {
      Reporter()(told, device, code);
      return;
    }
    // Without the application's dialogs the failure is still told, never swallowed.
    ui::ReportError("bus", told.GetText() + " (code " + std::to_string(code) + ")");
  });
}

namespace {

PutBackBeforeBox*& Keeping() {
  static PutBackBeforeBox* keeping = nullptr;
  return keeping;
}

}  // namespace

PutBackBeforeBox::PutBackBeforeBox() : level_(ModalLevel()), outer_(Keeping()) { Keeping() = this; }

PutBackBeforeBox::~PutBackBeforeBox() {
  Keeping() = outer_;
  if (outer_ != nullptr && outer_->level_ == level_) {
    std::ranges::move(kept_, std::back_inserter(outer_->kept_));
    return;
  }
  for (Kept& kept : kept_) {
    try {
      std::rethrow_exception(kept.error);
    } catch (const IQException& error) {
      kept.show(error);
    }
  }
}

void PutBackBeforeBox::Show(const IQException& error,
                            std::function<void(const IQException&)> show) {
  PutBackBeforeBox* keeping = Keeping();
  std::exception_ptr handled = std::current_exception();
  if (keeping == nullptr || keeping->level_ != ModalLevel() || !handled) {
    show(error);
    return;
  }
  keeping->kept_.push_back({std::move(handled), std::move(show)});
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
