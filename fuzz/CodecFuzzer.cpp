// The parameter codecs: every value a unit can send for each kind of parameter. The first byte
// picks the codec and the rest is the value, delivered in a well-formed accepted reply so that
// it reaches the decoder whatever its bytes.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "bus/IQException.h"
#include "bus/UCodeObject.h"
#include "bus/UCodePacket.h"
#include "familyov/unit/OVCodecs.h"
#include "fuzz/ScriptedBus.h"

namespace {

using namespace namespaceOV;

constexpr int kObjectId = 0x15;
constexpr uint8_t kAccepted = 1;
constexpr uint8_t kGetOpcode = 10;

std::vector<uint8_t> AcceptedReply(std::span<const uint8_t> value) {
  std::vector<uint8_t> reply{
      0x00, 0xF0, 0x02, kAccepted, static_cast<uint8_t>(value.size() + 2), kObjectId, kGetOpcode};
  for (uint8_t byte : value) reply.push_back(byte);
  reply.push_back(ChecksumOf(reply));
  return reply;
}

void ExpectFinite(float value) {
  if (!std::isfinite(value)) std::abort();
}

void Decode(uint8_t codec, IQDevice& unit, std::span<const uint8_t> value) {
  switch (codec % 10) {
    case 0:
      ExpectFinite(dBLevelObject(kObjectId, 1, true).Read(unit));
      break;
    case 1:
      ExpectFinite(limiterLevelObject(kObjectId, 1, true).Read(unit));
      break;
    case 2:
      if (CompRatioToText(CompRatioObject(kObjectId, 1, true).ReadCompRatio(unit)).empty()) {
        std::abort();
      }
      break;
    case 3: {
      TimeRecord time;
      TimeUCodeObject(kObjectId, 1, true).ReadTime(unit, time);
      break;
    }
    case 4: {
      DateRecord date;
      DateUCodeObject(kObjectId, 1, true).ReadDate(unit, date);
      break;
    }
    case 5: {
      TTimerStruct event;
      RTCEventObject(kObjectId, 70, true).ReadTimerEvent(unit, event);
      break;
    }
    case 6: {
      const int samples = static_cast<int>(DelayUCodeObject(kObjectId, 1, true).Read(unit));
      for (int units : {kDelayMsec, kDelayFeet, kDelayMeters}) {
        std::string text;
        DelayUnitsObject::DelayToText(samples, text, units);
        DelayUnitsObject::TextToDelay(text, units);
      }
      break;
    }
    case 7:
      FlashUCodeObject(kObjectId, 1, true).Read(unit, codec / 10);
      break;
    case 8:
      FloatUCodeObject(kObjectId, 1, true).Read(unit);
      BoolUCodeObject(kObjectId, 1, true).Read(unit);
      break;
    default:
      // Delay text as the user types it, in the unit the codec byte names.
      DelayUnitsObject::TextToDelay(std::string(value.begin(), value.end()), codec / 10 % 4);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0 || size > UCodePacket::kMaxBytes) return 0;
  const std::span<const uint8_t> value(data + 1, size - 1);
  ScriptedBus bus;
  // Two replies: the codecs that read twice get the same value again.
  bus.Queue(AcceptedReply(value));
  bus.Queue(AcceptedReply(value));
  try {
    Decode(data[0], bus.Unit(), value);
  } catch (const IQException&) {
    // Values too long or too short for their parameter are refused; that is the decoder's answer.
  }
  return 0;
}
