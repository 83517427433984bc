#pragma once

#include <string>

namespace familycommon {

// Where a long operation on a unit reports how far it got; the window layer shows it as a
// progress dialog, tests record it. A Begin while a report is open goes on in the same one, with
// its new range and text.
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

// The progress of a load or a copy, open from the moment the user answers: its first step is the
// read of what the unit holds, for a put-back should the command fail, under its own text. The
// command's first report goes on from there in the same window, its range and steps one further
// along; reports after that one (a wait for a silent unit) pass as they come.
class LeadingReadProgress : public ProgressReport {
 public:
  explicit LeadingReadProgress(ProgressReport* shown) : shown_(shown) {
    if (shown_) shown_->Begin(1, kReadingText);
  }
  ~LeadingReadProgress() override { End(); }
  LeadingReadProgress(const LeadingReadProgress&) = delete;
  LeadingReadProgress& operator=(const LeadingReadProgress&) = delete;

  void Begin(int range, const std::string& text) override {
    if (!shown_) return;
    offset_ = state_ == State::kReading ? 1 : 0;
    state_ = State::kOpen;
    shown_->Begin(range + offset_, text);
  }
  void Step(int value) override {
    if (shown_ && state_ != State::kClosed) shown_->Step(value + offset_);
  }
  void End() override {
    if (shown_ && state_ != State::kClosed) shown_->End();
    state_ = State::kClosed;
    offset_ = 0;
  }

  static constexpr const char* kReadingText = "Reading the unit's settings...";

 private:
  enum class State { kReading, kOpen, kClosed };
  ProgressReport* shown_;
  State state_ = State::kReading;
  int offset_ = 0;
};

}  // namespace familycommon
