// telvo-demo-port: enters a serial device (the simulator's pseudo-terminal) under a COM number in
// the settings under $XDG_CONFIG_HOME and makes it the program's port, so that the next start with
// those settings uses it. The demo gives both a settings folder of its own.

#include <cstdlib>
#include <iostream>
#include <string>

#include "platform/registry/UserRoot.h"
#include "platform/serial/UserPorts.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: telvo-demo-port NUMBER DEVICE_PATH\n";
    return 2;
  }
  char* end = nullptr;
  const long number = std::strtol(argv[1], &end, 10);
  if (*end != '\0' || number < serial::kFirstComNumber || number > serial::kLastComNumber) {
    std::cerr << "telvo-demo-port: the number must lie between " << serial::kFirstComNumber
              << " and " << serial::kLastComNumber << '\n';
    return 2;
  }
  if (!serial::UserComNumbers().Enter(static_cast<int>(number), argv[2])) {
    std::cerr << "telvo-demo-port: could not save the port table\n";
    return 1;
  }
  const registry::Key settings = registry::UserRoot().OpenSubKey("TelvoWin2 Settings", true);
  if (!settings.SetNumber("port number", static_cast<uint32_t>(number))) {
    std::cerr << "telvo-demo-port: could not save the settings\n";
    return 1;
  }
  return 0;
}
