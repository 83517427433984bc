// This program's share of the newer family's control table
// (tests/familyov_window/ControlTableRows.h).

#include "tests/familyov_window/ControlTableRows.h"

namespace namespaceOV::ovtable {

INSTANTIATE_TEST_SUITE_P(Unit, EveryControlTable, testing::ValuesIn(RowsOf(Program::kUnit)),
                         RowName);

}  // namespace namespaceOV::ovtable
