#include "familycommon/ServiceStatus.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bus/IQDevice.h"
#include "bus/IQException.h"
#include "platform/ui/MessageBox.h"

namespace familycommon {

void ShowServiceStatus(ui::Window* owner, IQDevice& unit, const UCodeObject& status,
                       std::size_t shown) {
  // The status is bytes, zeros among them, not a text.
  std::vector<uint8_t> bytes;
  try {
    unit.Request(status, 0);
    if (!unit.Fetch(status, bytes)) return;
  } catch (const IQException&) {
    return;
  }
  bytes.resize(shown, 0);
  std::string text = "Status: ";
  for (const uint8_t byte : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%.2X ", byte);
    text += hex;
  }
  ui::MessageBox(owner, text, "Service Code 01", ui::mb::kOk | ui::mb::kIconExclamation);
}

}  // namespace familycommon
