// telvo-sim: simulated units on a pseudo-terminal for the demo and for trying the program by hand.
// Prints the terminal's path on the first line of stdout and serves until it is told to stop,
// meanwhile taking faults for its units a line at a time on stdin.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iostream>
#include <map>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "sim/ErrorOutput.h"
#include "sim/LineAssembler.h"
#include "sim/SimulatedBus.h"
#include "sim/UnitFaultCommands.h"
#include "sim/family3300/Family3300Unit.h"
#include "sim/family8100/Family8100Unit.h"
#include "sim/familyov/FamilyOvUnit.h"

namespace {

constexpr int kDefaultUnitCount = 3;
constexpr int kMaxUnitCount = 250;
constexpr int kDemoFamilyCode = 368;
// The error each family's units answer a write they will not take with.
constexpr uint8_t kDemoRefusal = sim::unit_error::kParameterOutOfRange;
constexpr uint8_t kFamilyOvRefusal = sim::unit_error::kMethodOutOfRange;
constexpr uint8_t kFamily8100Refusal = sim::unit_error::kMethodOutOfRange;
constexpr uint8_t kFamily3300Refusal = sim::unit_error::kParameterOutOfRange;
constexpr std::size_t kStdinChunkBytes = 512;
// A byte, a 4-byte value, an array of eight 4-byte elements and a 15-character text.
const std::vector<sim::ObjectLayout> kDemoObjects = {
    {.id = 20, .elementSize = 1},
    {.id = 21, .elementSize = 4},
    {.id = 22, .elementSize = 4, .count = 8},
    {.id = 23, .elementSize = 15},
};

struct Options {
  int unitCount = kDefaultUnitCount;
  std::vector<sim::familyov::UnitOptions> familyOvUnits;
  std::vector<sim::family8100::UnitOptions> family8100Units;
  std::vector<sim::family3300::UnitOptions> family3300Units;
  bool paced = false;
  sim::InterfaceMode mode = sim::InterfaceMode::kPlain;
};

[[noreturn]] void Usage(int status = 2) {
  (status == 0 ? std::cout : std::cerr)
      << "usage: telvo-sim [--units N] [--familyov MODEL:ADDRESS[:FIRMWARE[:NAME]]]...\n"
         "                 [--family8100 MODEL:ADDRESS[:FIRMWARE[:NAME]]]...\n"
         "                 [--family3300 MODEL:ADDRESS[:FIRMWARE[:NAME]]]... [--paced]\n"
         "                 [--interface plain|echo|r8]\n"
         "  --units N      generic units at addresses 1..N (default 3, or 0 with a family's "
         "units)\n"
         "  --familyov     a unit of the newer family: MODEL 8122, 8124, 8126, 8148,\n"
         "                 8137 or 8166 (the 8148's 3x7 and 6x6 configurations),\n"
         "                 ADDRESS 1..250, FIRMWARE like 1.5 (the default)\n"
         "  --family8100   a unit of the older family: MODEL base, plus, x or rt\n"
         "  --family3300   a graphic equaliser: MODEL xl or 2xl, FIRMWARE like 01.20\n"
         "  --paced        bytes take their time at 38400 baud, 1 ms unit turnaround\n"
         "  --interface    plain (default), duplex echo, or the eight-network interface\n"
         "Faults a unit takes from then on, a line each on standard input:\n"
      << sim::UnitFaultCommands::kHelp;
  std::exit(status);
}

// The fields of "MODEL:ADDRESS[:FIRMWARE[:NAME]]".
std::vector<std::string> ColonFields(std::string_view text) {
  std::vector<std::string> fields;
  for (std::size_t start = 0;;) {
    const auto colon = text.find(':', start);
    fields.emplace_back(text.substr(start, colon - start));
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  if (fields.size() < 2 || fields.size() > 4) Usage();
  return fields;
}

int BusAddress(const std::string& field) {
  char* end = nullptr;
  const long address = std::strtol(field.c_str(), &end, 10);
  if (field.empty() || *end != '\0' || address < 1 || address > kMaxUnitCount) Usage();
  return static_cast<int>(address);
}

// One unit of a family, "MODEL:ADDRESS[:FIRMWARE[:NAME]]", its MODEL one of the names in `models`.
template <typename UnitOptions>
UnitOptions ParseUnit(
    std::string_view text,
    std::initializer_list<std::pair<std::string_view, decltype(UnitOptions::model)>> models) {
  const auto fields = ColonFields(text);
  const auto named =
      std::ranges::find(models, std::string_view(fields[0]), [](const auto& m) { return m.first; });
  if (named == models.end()) Usage();
  UnitOptions unit;
  unit.model = named->second;
  unit.address = BusAddress(fields[1]);
  if (fields.size() > 2) unit.firmware = fields[2];
  if (fields.size() > 3) unit.unitName = fields[3];
  return unit;
}

// "8148:1", "8124:3:1.4" or "8126:1:1.5:Stage left".
sim::familyov::UnitOptions ParseFamilyOvUnit(std::string_view text) {
  using sim::familyov::Model;
  return ParseUnit<sim::familyov::UnitOptions>(text, {{"8122", Model::k8122},
                                                      {"8124", Model::k8124},
                                                      {"8126", Model::k8126},
                                                      {"8148", Model::k8148},
                                                      {"8137", Model::k8137},
                                                      {"8166", Model::k8166}});
}

// "x:3", "rt:4:1.2:Noise" for the older family's models base, plus, x and rt.
sim::family8100::UnitOptions ParseFamily8100Unit(std::string_view text) {
  using sim::family8100::Model;
  return ParseUnit<sim::family8100::UnitOptions>(
      text,
      {{"base", Model::kBase}, {"plus", Model::kPlus}, {"x", Model::kX}, {"rt", Model::kRuneTide}});
}

// "2xl:5", "xl:6:01.00:Foyer" for the graphic equalisers 3300XL (xl) and 3300-2XL (2xl).
sim::family3300::UnitOptions ParseFamily3300Unit(std::string_view text) {
  using sim::family3300::Model;
  return ParseUnit<sim::family3300::UnitOptions>(
      text, {{"xl", Model::k3300XL}, {"2xl", Model::k3300_2XL}});
}

Options Parse(int argc, char** argv) {
  Options options;
  bool unitCountGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--help") {
      Usage(0);
    } else if (arg == "--units" && hasValue) {
      char* end = nullptr;
      const long count = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || count < 0 || count > kMaxUnitCount) Usage();
      options.unitCount = static_cast<int>(count);
      unitCountGiven = true;
    } else if (arg == "--familyov" && hasValue) {
      options.familyOvUnits.push_back(ParseFamilyOvUnit(argv[++i]));
    } else if (arg == "--family8100" && hasValue) {
      options.family8100Units.push_back(ParseFamily8100Unit(argv[++i]));
    } else if (arg == "--family3300" && hasValue) {
      options.family3300Units.push_back(ParseFamily3300Unit(argv[++i]));
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
  const bool familyUnits = !options.familyOvUnits.empty() || !options.family8100Units.empty() ||
                           !options.family3300Units.empty();
  if (familyUnits && !unitCountGiven) options.unitCount = 0;
  return options;
}

// Eight printable characters, "SIM00001" for the unit at address 1.
std::array<uint8_t, 8> DemoModelId(int address) {
  char text[16];
  std::snprintf(text, sizeof text, "SIM%05d", address);
  std::array<uint8_t, 8> id{};
  std::memcpy(id.data(), text, id.size());
  return id;
}

// Every unit's address and the error its family refuses a write with.
std::map<int, uint8_t> Refusals(const Options& options) {
  std::map<int, uint8_t> refusals;
  for (int address = 1; address <= options.unitCount; ++address) {
    refusals.emplace(address, kDemoRefusal);
  }
  for (const auto& unit : options.familyOvUnits) refusals.emplace(unit.address, kFamilyOvRefusal);
  for (const auto& unit : options.family8100Units) {
    refusals.emplace(unit.address, kFamily8100Refusal);
  }
  for (const auto& unit : options.family3300Units) {
    refusals.emplace(unit.address, kFamily3300Refusal);
  }
  return refusals;
}

void Say(const std::string& message) {
  if (!message.empty()) sim::SayOnStandardError("telvo-sim: " + message);
}

// Descriptors 0-2 left closed by whoever started the simulator would go to the first files it
// opens, the pseudo-terminal among them: the bus's bytes would be read as commands, or messages
// written to the program. Each is given /dev/null, so a closed standard input means no commands.
bool TakeClosedStandardDescriptors() {
  for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
    if (fcntl(descriptor, F_GETFD) >= 0 || errno != EBADF) continue;
    if (open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY) != descriptor) {
      return false;
    }
  }
  return true;
}

// Takes fault lines from stdin until one of `stopSignals` arrives. The end of stdin, or a stdin
// that cannot be read (none at all, or a terminal the program runs behind), leaves the units as
// they are and the bus serving.
void TakeFaultsUntilStopped(sim::UnitFaultCommands& commands, const sigset_t& stopSignals) {
  const int signals = signalfd(-1, &stopSignals, SFD_CLOEXEC);
  if (signals < 0) throw std::system_error(errno, std::generic_category(), "signalfd");
  std::array<pollfd, 2> fds{{{signals, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}}};
  nfds_t watched = fds.size();
  sim::LineAssembler lines(sim::UnitFaultCommands::kMaxLineBytes);
  while ((fds[0].revents & POLLIN) == 0) {
    if (poll(fds.data(), watched, -1) < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      close(signals);
      throw std::system_error(error, std::generic_category(), "poll");
    }
    if (watched < fds.size() || fds[1].revents == 0) continue;
    std::array<char, kStdinChunkBytes> chunk;
    const ssize_t count = read(STDIN_FILENO, chunk.data(), chunk.size());
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    std::vector<std::string> taken =
        count > 0 ? lines.Add({chunk.data(), static_cast<std::size_t>(count)}) : lines.Finish();
    for (const std::string& line : taken) Say(commands.Take(line).message);
    if (count <= 0) watched = 1;
  }
  close(signals);
}

}  // namespace

int main(int argc, char** argv) {
  if (!TakeClosedStandardDescriptors()) return 1;
  const Options options = Parse(argc, argv);

  // The serving thread inherits this mask, so the stop signals reach only the signalfd below.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  // Run behind a terminal, a read of it fails rather than stopping the simulator; and a write
  // whose reader is gone fails rather than ending it, as the terminal's path may find.
  signal(SIGTTIN, SIG_IGN);
  signal(SIGPIPE, SIG_IGN);

  try {
    sim::SimulatedBus bus;
    bus.SetInterfaceMode(options.mode);
    bus.SetPacing({.enabled = options.paced});
    for (int address = 1; address <= options.unitCount; ++address) {
      bus.AddGenericUnit(
          {.address = address, .family = kDemoFamilyCode, .modelId = DemoModelId(address)},
          kDemoObjects);
    }
    for (const auto& unit : options.familyOvUnits) sim::familyov::AddFamilyOvUnit(bus, unit);
    for (const auto& unit : options.family8100Units) sim::family8100::AddFamily8100Unit(bus, unit);
    for (const auto& unit : options.family3300Units) sim::family3300::AddFamily3300Unit(bus, unit);
    sim::UnitFaultCommands commands(bus, Refusals(options));
    bus.Start();
    // A standard output that fails to take the path is given nothing more: the bus serves on.
    std::cout << bus.SlavePath() << std::endl;
    TakeFaultsUntilStopped(commands, stopSignals);
    bus.Stop();
    sim::EndStandardError();
  } catch (const std::exception& error) {
    std::cerr << "telvo-sim: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
