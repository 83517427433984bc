// telvo-sim: simulated units on a pseudo-terminal for the demo and for trying the program by hand.
// Prints the terminal's path on the first line of stdout and serves until it is told to stop.

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

#include "sim/SimulatedBus.h"

namespace {

constexpr int kDefaultUnitCount = 3;
constexpr int kMaxUnitCount = 250;
constexpr int kDemoFamilyCode = 368;
// A byte, a 4-byte value, an array of eight 4-byte elements and a 15-character text.
const std::vector<sim::ObjectSpec> kDemoObjects = {
    {.id = 20, .elementSize = 1},
    {.id = 21, .elementSize = 4},
    {.id = 22, .elementSize = 4, .count = 8},
    {.id = 23, .elementSize = 15},
};

struct Options {
  int unitCount = kDefaultUnitCount;
  bool paced = false;
  sim::InterfaceMode mode = sim::InterfaceMode::kPlain;
};

[[noreturn]] void Usage() {
  std::cerr << "usage: telvo-sim [--units N] [--paced] [--interface plain|echo|r8]\n"
               "  --units N      generic units at addresses 1..N (default 3, at most 250)\n"
               "  --paced        bytes take their time at 38400 baud, 1 ms unit turnaround\n"
               "  --interface    plain (default), duplex echo, or the eight-network interface\n";
  std::exit(2);
}

Options Parse(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--units" && hasValue) {
      char* end = nullptr;
      const long count = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || count < 0 || count > kMaxUnitCount) Usage();
      options.unitCount = static_cast<int>(count);
    } else if (arg == "--paced") {
      options.paced = true;
    } else if (arg == "--interface" && hasValue) {
      const std::string_view mode = argv[++i];
      if (mode == "plain") {
        options.mode = sim::InterfaceMode::kPlain;
      } else if (mode == "echo") {
        options.mode = sim::InterfaceMode::kDuplexEcho;
      } else if (mode == "r8") {
        options.mode = sim::InterfaceMode::kEightNetworks;
      } else {
        Usage();
      }
    } else {
      Usage();
    }
  }
  return options;
}

// Eight printable characters, "SIM00001" for the unit at address 1.
std::array<uint8_t, 8> DemoModelId(int address) {
  char text[9];
  std::snprintf(text, sizeof text, "SIM%05d", address);
  std::array<uint8_t, 8> id{};
  std::memcpy(id.data(), text, id.size());
  return id;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = Parse(argc, argv);

  // The serving thread inherits this mask, so the stop signals reach only sigwait below.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  try {
    sim::SimulatedBus bus;
    bus.SetInterfaceMode(options.mode);
    bus.SetPacing({.enabled = options.paced});
    for (int address = 1; address <= options.unitCount; ++address) {
      bus.AddGenericUnit(
          {.address = address, .family = kDemoFamilyCode, .modelId = DemoModelId(address)},
          kDemoObjects);
    }
    bus.Start();
    std::cout << bus.SlavePath() << std::endl;
    int signal = 0;
    sigwait(&stopSignals, &signal);
    bus.Stop();
  } catch (const std::exception& error) {
    std::cerr << "telvo-sim: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
