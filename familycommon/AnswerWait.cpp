#include "familycommon/AnswerWait.h"

#include <utility>

#include "bus/IQDevice.h"
#include "bus/IQDeviceManager.h"
#include "bus/IQException.h"
#include "familycommon/BoundedPoll.h"
#include "familycommon/ProgressReport.h"

namespace familycommon {

namespace {

constexpr int kProgressSteps = 100;
constexpr int kRefusedPutBackAttempts = 3;
constexpr const char* kWaitingText = "Waiting for the unit to answer...";

// One wait of the put-back: what is left of the bound, and who hears how far it got.
struct WaitSpan {
  std::chrono::milliseconds limit;
  std::function<AnswerBound::Clock::time_point()> now;
  std::function<void(double)> onPoll;
};

}  // namespace

AnswerWait::AnswerWait(ProgressReport* progress, AnswerBound bound)
    : progress_(progress), bound_(std::move(bound)) {}

void AnswerWait::PutBack(IQDevice& device, const std::function<void()>& putBack,
                         const std::function<void()>& poll) {
  for (int refusals = 0;;) {
    try {
      putBack();
      return;
    } catch (const ErrorObject&) {
      // The unit answers, and may take it the next time; one that keeps refusing is not waited
      // for.
      if (++refusals == kRefusedPutBackAttempts) throw;
    } catch (const IQException&) {
      if (!Answered(device, poll)) throw;
    }
  }
}

bool AnswerWait::Answered(IQDevice& device, const std::function<void()>& poll) {
  using Milliseconds = std::chrono::milliseconds;
  if (!start_) start_ = bound_.now();
  const Milliseconds spent = std::chrono::duration_cast<Milliseconds>(bound_.now() - *start_);
  const Milliseconds left = bound_.limit - spent;
  if (left.count() <= 0) return false;
  ProgressScope shown(progress_, kProgressSteps, kWaitingText);
  // The bar shows the whole bound, however much of it earlier waits took.
  const WaitSpan rest{left, bound_.now, [&](double passed) {
                        const double whole = (spent + passed * left) / bound_.limit;
                        shown.Step(static_cast<int>(whole * kProgressSteps));
                      }};
  IQDeviceManager* manager = device.GetManager();
  return PollWithinBound(rest, [&] {
    try {
      poll();
    } catch (const ErrorObject&) {
      // A refusal is an answer all the same.
    } catch (const IQException&) {
      return false;
    }
    try {
      // What the unit answers late to the requests of its silent stretch must not be read as
      // the answer to the put-back's.
      if (manager != nullptr) manager->GetEncoder().Flush(0);
      return true;
    } catch (const IQException&) {
      return false;
    }
  });
}

}  // namespace familycommon
