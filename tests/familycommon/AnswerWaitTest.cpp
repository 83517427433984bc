// The put-back's wait for a unit that fell silent: put back again once it answers, within one
// bound for the whole command, the wait shown as progress; a refusal is not waited for.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bus/IQDevice.h"
#include "bus/IQException.h"
#include "familycommon/AnswerWait.h"
#include "familycommon/ProgressReport.h"

namespace familycommon {
namespace {

struct Unit : IQDevice {
  Unit() : IQDevice(nullptr, nullptr, nullptr) {}
  bool DoOpen(ui::Window*) override { return false; }
  bool LoadFile() override { return false; }
  bool SaveFile() override { return false; }
  bool PrintReport() override { return false; }
  bool CopyFrom(IQDevice&) override { return false; }
};

struct RecordedProgress : ProgressReport {
  void Begin(int, const std::string& text) override { texts.push_back(text); }
  void Step(int value) override { steps.push_back(value); }
  void End() override { ++ends; }
  std::vector<std::string> texts;
  std::vector<int> steps;
  int ends = 0;
};

// The put-backs and polls of a row go as its lists say, in turn, and then succeed: 't' a time-out
// (the unit is silent), 'r' a refusal, 'a' an answer. A silent poll takes one second of a
// three-second bound; the wait ends with the first poll made once the bound has passed.
struct Row {
  const char* name;
  std::vector<std::string> putBacks;  // one list per unit put back on the same wait
  std::string polls;
  bool putBack;   // whether every put-back ran to its end
  int pollsMade;  // of the row's list
};

TEST(AnswerWaitTest, APutBackRunsAgainOnceTheUnitAnswersWithinOneBoundForTheCommand) {
  const Row rows[] = {
      {"answers at once", {""}, "", true, 0},
      {"silent for two polls", {"t"}, "tt", true, 2},
      {"silent again in the put-back", {"tt"}, "t", true, 1},
      {"a refusal of the poll is an answer", {"t"}, "r", true, 1},
      {"silent past the bound", {"t"}, "ttttt", false, 4},
      {"refused twice, then taken", {"rr"}, "", true, 0},
      {"refused for good", {"rrr"}, "", false, 0},
      {"the second unit gets what the first left", {"t", "t"}, "ttatt", false, 5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AnswerBound::Clock::time_point now{};
    RecordedProgress progress;
    AnswerWait wait(&progress, {.now = [&] { return now; }});
    Unit unit;
    std::size_t poll = 0;
    const auto fail = [](char how) {
      if (how == 't') throw ReadTimeout();
      throw ErrorObject(7);
    };
    bool putBack = true;
    for (const std::string& failures : row.putBacks) {
      std::size_t run = 0;
      try {
        wait.PutBack(
            unit,
            [&] {
              if (run < failures.size()) fail(failures[run++]);
            },
            [&] {
              if (poll >= row.polls.size() || row.polls[poll++] == 'a') return;
              now += std::chrono::seconds(1);
              fail(row.polls[poll - 1]);
            });
      } catch (const ReadTimeout&) {
        putBack = false;
      } catch (const ErrorObject&) {
        putBack = false;
      }
    }
    EXPECT_EQ(putBack, row.putBack);
    EXPECT_EQ(static_cast<int>(poll), row.pollsMade);
    // Each wait shows itself and goes; the bar never runs past the whole bound.
    EXPECT_EQ(progress.texts.empty(), row.pollsMade == 0);
    EXPECT_EQ(progress.ends, static_cast<int>(progress.texts.size()));
    for (const std::string& text : progress.texts) {
      EXPECT_EQ(text, "Waiting for the unit to answer...");
    }
    for (const int step : progress.steps) EXPECT_LE(step, 100);
  }
}

}  // namespace
}  // namespace familycommon
