#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "familycommon/ProgressReport.h"

// A command's progress reports, each with the requests the bus carried since the report before
// ("R06" a read, "W0A 01" a write).
class TracedProgress : public familycommon::ProgressReport {
 public:
  struct Report {
    std::string what;  // "Begin 13 Uploading...", "Step 2", "End"
    std::vector<std::string> sentBefore;
  };

  explicit TracedProgress(std::function<std::vector<std::string>()> takeTrace)
      : takeTrace_(std::move(takeTrace)) {}
  void Begin(int range, const std::string& text) override {
    Add("Begin " + std::to_string(range) + " " + text);
  }
  void Step(int value) override { Add("Step " + std::to_string(value)); }
  void End() override { Add("End"); }

  std::vector<Report> reports;

 private:
  void Add(std::string what) { reports.push_back({std::move(what), takeTrace_()}); }
  std::function<std::vector<std::string>()> takeTrace_;
};

// Checks that a load or a copy opened its progress window before it sent anything, with the read
// of what the unit holds as its first step, and went on in the same window: after that read, and
// before any write, its own first report begins `range` + 1 steps under `text`, its first step one
// further along.
inline void ExpectReadFirst(const TracedProgress& progress, int range, const std::string& text) {
  ASSERT_GE(progress.reports.size(), 3u);
  EXPECT_EQ(progress.reports[0].what, "Begin 1 Reading the unit's settings...");
  EXPECT_TRUE(progress.reports[0].sentBefore.empty()) << "nothing is sent before the window opens";
  const std::vector<std::string>& read = progress.reports[1].sentBefore;
  ASSERT_FALSE(read.empty());
  EXPECT_EQ(read.front().front(), 'R') << "the unit is read before anything is written to it";
  EXPECT_EQ(progress.reports[1].what, "Begin " + std::to_string(range + 1) + " " + text);
  EXPECT_EQ(progress.reports[2].what, "Step 1");
  EXPECT_EQ(progress.reports.back().what, "End");
}
