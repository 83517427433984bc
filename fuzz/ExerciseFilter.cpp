#include "fuzz/ExerciseFilter.h"

#include <cstdlib>

#include "familyov/filters/TFilter.h"

void ExerciseFilter(const namespaceOV::TFilter& filter) {
  for (bool flag : {false, true}) {
    filter.FormatFrequency(flag);
    filter.FormatParam1(flag);
    filter.FormatParam2(flag, flag);
    filter.FormatParam2(flag, !flag);
    filter.FormatPrintLine(flag);
  }
  filter.GetDSPSections();
  namespaceOV::FilterTypeName(filter.typeCode);
  // A copy must be the same filter to the unit.
  if (filter.Clone()->GetDeviceRecord() != filter.GetDeviceRecord()) std::abort();
  for (float hz : {20.0f, 1000.0f, 20000.0f}) filter.Response(hz);
}
