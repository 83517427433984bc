#include "familyov/unit/OVCodecs.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "bus/IQDevice.h"
#include "bus/IQException.h"
#include "familycommon/FilterConversions.h"
#include "familyov/unit/FlagWait.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OrdavinexErrors.h"
#include "familyov/unit/ParameterTable.h"

namespace namespaceOV {

namespace {

struct RatioEntry {
  const char* text;
  int code;
};
constexpr RatioEntry kRatios[kCompRatioCount] = {{"1:1", 1},   {"2:3", 20},   {"1:2", 30},
                                                 {"1:4", 40},  {"1:8", 50},   {"1:16", 60},
                                                 {"1:32", 80}, {"1:inf", 127}};

constexpr const char* kSpeeds[kCompSpeedCount] = {
    "10usec", "33usec", "66usec", "100usec", "330usec", "660usec", "1msec", "33msec", "66msec"};

constexpr double kSamplesPerMsec = 48.0;
constexpr double kSamplesPerFoot = 42.0;
constexpr double kSamplesPerMeter = 140.0;
// The shown delays have always been these rounded reciprocals times the samples, not quotients:
// a delay of 9 samples reads 0.187 msec, as users and reports know it, where 9 / 48 gives 0.188.
constexpr double kMsecPerSample = 0.0208333333;
constexpr double kFeetPerSample = 0.02380952;
constexpr double kMetersPerSample = 0.00714285714;

std::optional<double> UnitsPerSample(int units) {
  switch (units) {
    case kDelayMsec:
      return kMsecPerSample;
    case kDelayFeet:
      return kFeetPerSample;
    case kDelayMeters:
      return kMetersPerSample;
    default:
      return std::nullopt;
  }
}

uint8_t LowByte(int value) { return static_cast<uint8_t>(value & 0xFF); }

}  // namespace

std::optional<double> SamplesPerUnit(int units) {
  switch (units) {
    case kDelayMsec:
      return kSamplesPerMsec;
    case kDelayFeet:
      return kSamplesPerFoot;
    case kDelayMeters:
      return kSamplesPerMeter;
    default:
      return std::nullopt;
  }
}

float FloatFromBytes(const std::array<uint8_t, 4>& bytes) {
  return std::bit_cast<float>(uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 |
                              uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24);
}

int RoundToNearest(float x) { return familycommon::RoundToInt(x); }

float dBLevelObject::DbToGain(float dB, float offsetDb) {
  if (!(dB > kFloorDb)) return 0.0f;
  return static_cast<float>(std::pow(10.0, 0.05 * (double{dB} - offsetDb)));
}

float dBLevelObject::GainToDb(float gain, float offsetDb) {
  if (!(gain > kGainFloor) || !std::isfinite(gain)) return kFloorDb;
  return static_cast<float>(20.0 * std::log10(double{gain}) + offsetDb);
}

void CompRatioObject::WriteCompRatio(IQDevice& device, int index) const {
  if (index < 0 || index >= kCompRatioCount) {
    throw OrdavinexRangeError("Compressor ratio index out of range.");
  }
  Write(device, static_cast<uint8_t>(CompRatioCode(index)));
}

int CompRatioObject::ReadCompRatio(IQDevice& device) const {
  return CompRatioIndexOfCode(Read(device));
}

int CompRatioIndexOfCode(int code) {
  int index = 0;
  for (int i = 0; i < kCompRatioCount; ++i) {
    if (kRatios[i].code == code) index = i;
  }
  return index;
}

std::string CompRatioToText(int index) {
  return index >= 0 && index < kCompRatioCount ? kRatios[index].text : "";
}

std::string CompRatioCodeToText(int code) { return CompRatioToText(CompRatioIndexOfCode(code)); }

int CompRatioCode(int index) { return kRatios[index].code; }

bool IsCompRatioCode(int code) { return CompRatioCode(CompRatioIndexOfCode(code)) == code; }

std::string CompSpeedToText(int index) {
  return index >= 0 && index < kCompSpeedCount ? kSpeeds[index] : "";
}

void DelayUnitsObject::DelayToText(int samples, std::string& out, int units) {
  const auto perSample = UnitsPerSample(units);
  if (!perSample) return;
  char text[64];
  std::snprintf(text, sizeof text, "%.3f", samples * *perSample);
  out = text;
}

std::optional<int> DelayUnitsObject::TextToDelay(const std::string& text, int units) {
  const auto perUnit = SamplesPerUnit(units);
  float value = 0.0f;
  if (!perUnit || std::sscanf(text.c_str(), "%f", &value) != 1) return std::nullopt;
  const double samples = value * *perUnit;
  if (!std::isfinite(samples) || std::abs(samples) >= std::numeric_limits<int>::max()) {
    return std::nullopt;
  }
  return RoundToNearest(static_cast<float>(samples));
}

void FourByteRecordObject::WriteWire(IQDevice& device, const Wire& wire) const {
  device.Write(*this, wire, 0);
}

FourByteRecordObject::Wire FourByteRecordObject::ReadWire(IQDevice& device) const {
  const auto data = device.ReadValue(*this, 0);
  if (data.empty()) throw NoData();
  if (data.size() < 4) throw ShortReply();
  return {data[0], data[1], data[2], data[3]};
}

void TimeUCodeObject::WriteTime(IQDevice& device, const TimeRecord& time) const {
  WriteWire(device, {LowByte(time.dayOfWeek), LowByte(time.hour), LowByte(time.minute),
                     LowByte(time.second)});
}

void TimeUCodeObject::ReadTime(IQDevice& device, TimeRecord& time) const {
  const Wire wire = ReadWire(device);
  time = {wire[0], wire[1], wire[2], wire[3]};
}

void DateUCodeObject::WriteDate(IQDevice& device, const DateRecord& date) const {
  WriteWire(device, {LowByte(date.day), LowByte(date.month), LowByte(date.yearInCentury),
                     LowByte(date.century)});
}

void DateUCodeObject::ReadDate(IQDevice& device, DateRecord& date) const {
  const Wire wire = ReadWire(device);
  date = {wire[0], wire[1], wire[2], wire[3]};
}

void RTCEventObject::WriteTimerEvent(IQDevice& device, const TTimerStruct& event) const {
  WriteWire(device,
            {LowByte(event.day), LowByte(event.hour), LowByte(event.minute), LowByte(event.logic)});
}

void RTCEventObject::ReadTimerEvent(IQDevice& device, TTimerStruct& event) const {
  const Wire wire = ReadWire(device);
  event.day = wire[0];
  event.hour = wire[1];
  event.minute = wire[2];
  event.second = 0;
  event.logic = wire[3];
}

void FlashUCodeObject::WriteBlock(IQDevice& device, std::span<const uint8_t> block) const {
  device.Write(*this, block, 0);
}

void SaveMemoryObject::SaveMemory(IQDevice& device, uint8_t n) const {
  if (!device.IsOnline()) {
    if (auto* family = dynamic_cast<IQDeviceOrdavinex*>(&device)) {
      family->SaveMemoryRecord(n);
      family->settingsChanged = false;
    }
    return;
  }
  Write(device, n);
  WaitReady(device);
}

void RestoreMemoryObject::RecallMemory(IQDevice& device, uint8_t n) const {
  if (!device.IsOnline()) {
    if (auto* family = dynamic_cast<IQDeviceOrdavinex*>(&device)) {
      family->RecallMemoryRecord(n);
      gLastMemoryObject.Write(device, n);
      family->settingsChanged = false;
    }
    return;
  }
  Write(device, n);
  WaitReady(device);
}

void CurrentLogicInObject::WriteAndWaitReady(IQDevice& device, uint8_t value) const {
  Write(device, value);
  if (device.IsOnline()) WaitReady(device);
}

}  // namespace namespaceOV
