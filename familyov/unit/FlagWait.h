#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "familyov/unit/OrdavinexErrors.h"

class BoolUCodeObject;
class IQDevice;

namespace namespaceOV {

// A unit that reboots, erases or loads settings answers slowly or not at all for a while; one
// that never gets ready must not freeze the program.
inline constexpr std::chrono::milliseconds kFlagWaitLimit = std::chrono::seconds(30);
inline constexpr int kFlagPollReplyTimeoutMs = 500;

// How long a wait may last, on which clock; tests set a short limit or a clock of their own.
struct WaitBound {
  using Clock = std::chrono::steady_clock;
  std::chrono::milliseconds limit = kFlagWaitLimit;
  std::function<Clock::time_point()> now = [] { return Clock::now(); };
  // Told after each poll how much of the limit has passed, 0 to 1, so a dialog can show it.
  std::function<void(double)> onPoll;
};

class FlagWaitTimeout : public OrdavinexError {
 public:
  using OrdavinexError::OrdavinexError;
};

inline constexpr const char* kReadyTimeoutText =
    "Timeout elapsed waiting for device to become ready.";
inline constexpr const char* kNewSettingsTimeoutText =
    "Timeout elapsed waiting for device to load new settings.";

// Reads `flag` with a short reply time-out until it equals `wanted`; a failed read counts as not
// yet. Throws FlagWaitTimeout with `timeoutText` once the bound has passed.
void WaitForFlag(IQDevice& device, const BoolUCodeObject& flag, bool wanted, const WaitBound& bound,
                 const std::string& timeoutText);

// Waits until the unit's ready flag is set, then discards what is left on the line.
void WaitReady(IQDevice& device);
// Waits until the unit has finished loading new settings.
void WaitNewSettingsLoaded(IQDevice& device);

}  // namespace namespaceOV
