#pragma once

#include <cstddef>

class IQDevice;
class UCodeObject;

namespace ui {
class Window;
}

namespace familycommon {

// The service button of both families' security pages: the first `shown` bytes of the unit's
// `status` object in hexadecimal in a box. The status is for the maker's service staff: a unit
// that does not answer is passed over without a word.
void ShowServiceStatus(ui::Window* owner, IQDevice& unit, const UCodeObject& status,
                       std::size_t shown);

}  // namespace familycommon
