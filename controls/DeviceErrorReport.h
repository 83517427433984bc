#pragma once

#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "bus/IQException.h"

class IQDevice;

namespace ui {
class Window;
}

namespace controls {

// Where the controls' dialogs report a failed bus operation. The application installs the routine
// that shows its error dialogs; the controls sit below the application and cannot call it
// themselves. `code` is the unit's error code for an error-object reply, else -1.
using DeviceErrorReporter =
    std::function<void(const IQException& error, IQDevice* device, int code)>;
void SetDeviceErrorReporter(DeviceErrorReporter reporter);
void ReportDeviceError(const IQException& error, IQDevice* device, int code);

inline constexpr int kNoUnitErrorCode = -1;

// One command on a unit (a load, a copy, a memory recall, a chain delete) tells the user of one
// failure once, however many of its later steps (a read again, a put-back, every open view
// refreshing) then fail on the same silent unit. While a scope is alive, the first failure
// reported is shown and the rest are passed over; the command's closing message says what the
// unit now holds. Scopes nest: an inner command joins the outer one's report. A modal window the
// command opens for the user to act in is another matter: each choice made there is an action of
// its own, told whatever the command that opened the window told before.
class OneReportScope {
 public:
  OneReportScope();
  ~OneReportScope();
  OneReportScope(const OneReportScope&) = delete;
  OneReportScope& operator=(const OneReportScope&) = delete;

  // Whether a failure has been shown since the outermost scope began.
  static bool FailureShown();
  // Whether a failure has been met since this scope began, shown or passed over.
  bool FailureMet() const;

 private:
  friend class PassOverReports;
  const ui::Window* level_;
  unsigned long failuresBefore_;
};

// While it lives, the silence the unit's failure already told is met (FailureMet) but not told
// again: a read that the idle passes make of a unit whose failure has been told (a poll, the read
// again of a write in doubt, and every window that read refreshes) joins that report, however many
// windows it reaches. What the pass meets anew is told, once: a refusal (the unit answered, and
// said no), and a write of the pass that was not made, unanswered or stopped before it went out (a
// page closed by the pass writes what the user typed into it). A write not made before the pass
// began was told then.
class PassOverReports {
 public:
  PassOverReports();
  ~PassOverReports();
  PassOverReports(const PassOverReports&) = delete;
  PassOverReports& operator=(const PassOverReports&) = delete;

  // Whether `error`, met during the pass, is the silence told before it began.
  bool ToldBefore(const IQException& error) const;

 private:
  OneReportScope scope_;
  const PassOverReports* outer_;
  unsigned long writesNotMadeBefore_;
};

// While it lives, a failure to be shown where the user acts now is kept and shown as it ends, so
// that what a change showed is put back, and every window shows what the unit holds, before the box
// that tells why. One made inside another where the user acts hands what it kept to the outer one:
// the outer action's windows have yet to be told. A failure in a modal window opened meanwhile is
// the user's next action, and shown at once.
class PutBackBeforeBox {
 public:
  PutBackBeforeBox();
  ~PutBackBeforeBox();
  PutBackBeforeBox(const PutBackBeforeBox&) = delete;
  PutBackBeforeBox& operator=(const PutBackBeforeBox&) = delete;

  // Shows `error` through `show` now, or keeps it for the box's turn. Called by the handler that
  // caught `error`: a failure not being handled is shown at once.
  static void Show(const IQException& error, std::function<void(const IQException&)> show);

 private:
  struct Kept {
    std::exception_ptr error;
    std::function<void(const IQException&)> show;
  };
  const ui::Window* level_;
  PutBackBeforeBox* outer_;
  std::vector<Kept> kept_;
};

// Whether `error`, met now on `device` (null for none), is to be shown: always outside a command,
// the first one inside it. Either way every hold in progress ends (ui::EndHolds). Every route to
// the error dialogs asks this before showing one. A unit that did not answer has been told of
// either way, so the polls of its windows join the report instead of telling of the same silence
// again; a refusal is an answer and leaves them be.
bool TakeFailureReport(const IQException& error, IQDevice* device);

// Runs one bus operation for `device`; a failure is reported (the unit's own error code first) and
// answered with false, so the window that asked stays usable.
template <typename F>
bool GuardedBusCall(IQDevice* device, F&& operation) {
  try {
    std::forward<F>(operation)();
    return true;
  } catch (const ErrorObject& e) {
    ReportDeviceError(e, device, e.code);
  } catch (const IQException& e) {
    ReportDeviceError(e, device, kNoUnitErrorCode);
  }
  return false;
}

// A bus failure kept as an exception (to be told after a put-back or in a command's one report),
// reported as GuardedBusCall reports one.
inline void ReportFailure(const std::exception_ptr& error, IQDevice* device) {
  GuardedBusCall(device, [&] { std::rethrow_exception(error); });
}

// Runs one step of a command; its bus failure is kept to be told with the closing message.
template <typename F>
std::exception_ptr FailureOf(F&& step) {
  try {
    std::forward<F>(step)();
  } catch (const IQException&) {
    return std::current_exception();
  }
  return nullptr;
}

// Takes `failure` (a bus failure, or null for none) as the command's one report, to be told at the
// head of its closing message, so that the failure and what the unit now holds are said in one
// box: later failures of the command's steps on the same unit are passed over. Empty when there is
// none or the command has told of one already.
std::string TakeFailureText(IQDevice& device, const std::exception_ptr& failure);

}  // namespace controls
