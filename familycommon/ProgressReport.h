#pragma once

#include <string>

namespace familycommon {

// Where a long operation on a unit reports how far it got; the window layer shows it as a
// progress dialog, tests record it.
class ProgressReport {
 public:
  virtual ~ProgressReport() = default;
  virtual void Begin(int range, const std::string& text) = 0;
  virtual void Step(int value) = 0;
  virtual void End() = 0;
};

// Ends a progress report however the operation ends; no report, no steps.
class ProgressScope {
 public:
  ProgressScope(ProgressReport* progress, int range, const std::string& text)
      : progress_(progress) {
    if (progress_) progress_->Begin(range, text);
  }
  ~ProgressScope() {
    if (progress_) progress_->End();
  }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;
  void Step(int value) {
    if (progress_) progress_->Step(value);
  }

 private:
  ProgressReport* progress_;
};

}  // namespace familycommon
