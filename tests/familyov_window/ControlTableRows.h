#pragma once

// The newer family's control table: every window the unit's function tree opens, on each model,
// with every change of every control in it under each way the unit meets a change
// (testsupport::CheckEveryChange). The rows are many and slow, so each test program runs the
// windows of its own folder and ctest runs the programs side by side; the one list of windows
// below says where each runs, or why it is left out, and EveryControlTest holds the list against
// the trees themselves.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "familyov/unit/ChildWindowFactory.h"
#include "sim/familyov/FamilyOvUnit.h"
#include "tests/support/FaultKinds.h"

namespace namespaceOV::ovtable {

// The test programs that run the table's rows.
enum class Program { kProcessing, kSummary, kChannels, kUnit, kWindow };

// A kind of window the tree opens: the program that runs its rows, or why none does.
struct TableWindow {
  ChildKind kind;
  const char* name;
  Program program;
  const char* leftOutBecause = nullptr;
  // Why only the change taken is tried, for a window that writes nothing to the unit.
  const char* takenOnlyBecause = nullptr;
};

// Every kind of window, in the tree's order.
const std::vector<TableWindow>& Windows();

// Each node of the model's tree that opens a window: its text and the window's kind.
std::vector<std::pair<std::string, ChildKind>> WindowsTheTreeOpens(sim::familyov::Model model);

struct Row {
  sim::familyov::Model model;
  TableWindow window;
  testsupport::Condition condition;
};
void PrintTo(const Row& row, std::ostream* out);
std::string RowName(const testing::TestParamInfo<Row>& info);

// Every model, window and condition of the program's rows.
std::vector<Row> RowsOf(Program program);

class EveryControlTable : public testing::TestWithParam<Row> {};

}  // namespace namespaceOV::ovtable
