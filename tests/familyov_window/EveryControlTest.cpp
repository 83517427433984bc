// The newer family's control table (ControlTableRows) held against the units' trees: every window
// a tree opens has its rows in one of the programs, or says why it has none; and this program's
// share of the rows.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/familyov_window/ControlTableRows.h"

namespace namespaceOV::ovtable {
namespace {

TEST(EveryControlTableTest, HoldsEveryWindowTheTreesOpen) {
  std::set<ChildKind> opened;
  for (const sim::familyov::Model model :
       {sim::familyov::Model::k8148, sim::familyov::Model::k8126}) {
    for (const auto& [node, opens] : WindowsTheTreeOpens(model)) {
      const ChildKind kind = opens;
      opened.insert(kind);
      const std::vector<TableWindow>& windows = Windows();
      EXPECT_TRUE(std::any_of(windows.begin(), windows.end(),
                              [kind](const TableWindow& w) { return w.kind == kind; }))
          << node << " opens a window the table does not know";
    }
  }
  for (const TableWindow& window : Windows()) {
    EXPECT_TRUE(opened.contains(window.kind)) << window.name << " is opened by no tree";
  }
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Window, EveryControlTable, testing::ValuesIn(RowsOf(Program::kWindow)),
                         RowName);

}  // namespace namespaceOV::ovtable
