// This program's share of the newer family's control table
// (tests/familyov_window/ControlTableRows.h).

#include "tests/familyov_window/ControlTableRows.h"

namespace namespaceOV::ovtable {

INSTANTIATE_TEST_SUITE_P(Summary, EveryControlTable, testing::ValuesIn(RowsOf(Program::kSummary)),
                         RowName);

}  // namespace namespaceOV::ovtable
