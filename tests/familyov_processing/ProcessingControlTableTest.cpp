// This program's share of the newer family's control table
// (tests/familyov_window/ControlTableRows.h).

#include "tests/familyov_window/ControlTableRows.h"

namespace namespaceOV::ovtable {

INSTANTIATE_TEST_SUITE_P(Processing, EveryControlTable,
                         testing::ValuesIn(RowsOf(Program::kProcessing)), RowName);

}  // namespace namespaceOV::ovtable
