#pragma once

#include <string>

namespace familycommon {

// The text for an error code an older-family unit sends; a code past the units' 16 texts is named
// by number.
std::string UnitErrorText(int code);

}  // namespace familycommon
