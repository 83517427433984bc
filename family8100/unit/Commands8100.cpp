#include "family8100/unit/IQDevice8100.h"

namespace namespace8100 {

bool IQDevice8100::LoadFile() { return false; }
bool IQDevice8100::SaveFile() { return false; }
bool IQDevice8100::PrintReport() { return false; }
bool IQDevice8100::CopyFrom(IQDevice&) { return false; }

}  // namespace namespace8100
