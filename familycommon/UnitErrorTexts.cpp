#include "familycommon/UnitErrorTexts.h"

#include <array>

namespace familycommon {

namespace {

constexpr std::array<const char*, 16> kErrorTexts = {"Invalid Object ID",
                                                     "ASN.1 value larger than 3 bytes",
                                                     "Attribute ID out of range",
                                                     "Method ID out of range",
                                                     "Message ID unsupported by object",
                                                     "Incomplete UCode message",
                                                     "COMBUF full",
                                                     "Parameter out of range",
                                                     "Character disallowed",
                                                     "Wrong password",
                                                     "Device is locked",
                                                     "Must unlock device with password",
                                                     "Code 12",
                                                     "Code 13",
                                                     "Code 14",
                                                     "Code 15"};

}  // namespace

std::string UnitErrorText(int code) {
  if (code < 0 || code >= static_cast<int>(kErrorTexts.size())) {
    return "Unknown error code " + std::to_string(code);
  }
  return kErrorTexts[static_cast<std::size_t>(code)];
}

}  // namespace familycommon
