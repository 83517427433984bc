// Replies, roll-call answers and the interface's answers as the line delivers them. The first
// byte picks what the program asked the bus; the rest is what the line answers, byte for byte.
// Or the first byte asks for a variable-length integer to be read from the rest.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "bus/BusNotifier.h"
#include "bus/IQException.h"
#include "bus/UCodeObject.h"
#include "bus/UCodePacket.h"
#include "fuzz/ScriptedBus.h"

namespace {

struct SilentNotifier : BusNotifier {
  void ShowMessage(const std::string&, const std::string&, Icon) override {}
};

void ReadValues(IQDevice& unit) {
  const ByteUCodeObject byteObject(0x12, 1, true);
  const LongIntUCodeObject longObject(0x3456, 4, true);
  const StringUCodeObject stringObject(0x21, 2, true, true);
  byteObject.Read(unit);
  longObject.Read(unit);
  stringObject.Read(unit);
}

void RollCall(ScriptedBus& bus) {
  SilentNotifier notifier;
  std::vector<IQDevice*> found;
  bus.Manager().RollCall({&bus.Type()}, found, notifier);
}

// A variable-length integer read from the wire goes out again as bytes of the same value.
void VarintRoundTrip(std::span<const uint8_t> bytes) {
  int value = 0;
  if (DecodeVarint(bytes, value) == 0) return;
  UCodePacket packet;
  packet.AppendVarint(value);
  const int length = static_cast<int>(packet.Size());
  int back = -1;
  if (length != VarintLength(value) || DecodeVarint(packet.Bytes(), back) != length ||
      back != value) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  ScriptedBus bus;
  bus.Queue(std::span(data + 1, size - 1));
  try {
    switch (data[0] % 4) {
      case 0:
        ReadValues(bus.Unit());
        break;
      case 1:
        RollCall(bus);
        break;
      case 2:
        bus.Manager().GetEncoder().DetectInterface();
        break;
      default:
        VarintRoundTrip(std::span(data + 1, size - 1));
    }
  } catch (const IQException&) {
    // Every fault on the bus reaches the user as one of these.
  }
  return 0;
}
