#pragma once

#include <optional>
#include <string>

namespace serial {

// The n of a COM name: "COM3", "com3" or the device-path form "\\.\COM12". None for anything
// else, which is then a device path used as it stands.
std::optional<int> ComNumberOf(const std::string& portName);

}  // namespace serial
