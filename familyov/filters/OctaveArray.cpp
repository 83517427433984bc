#include "familyov/filters/OctaveArray.h"

namespace namespaceOV {

void RunOctaveArrayCommand(ui::Window& /*owner*/, const TDataWindow& /*sender*/,
                           IQDeviceOrdavinex& /*device*/, int /*channel*/) {}

}  // namespace namespaceOV
