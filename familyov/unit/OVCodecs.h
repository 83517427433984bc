#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "bus/UCodeObject.h"

class IQDevice;

// The newer family's parameter encodings: levels travel as linear gains, limiter thresholds as
// gains offset by 22 dB, compressor ratios as code bytes, the clock and its events as four-byte
// records, delays as sample counts at 48 kHz.
namespace namespaceOV {

// The 32-bit little-endian pattern of four bytes read as an IEEE single (registry values hold
// floats this way).
float FloatFromBytes(const std::array<uint8_t, 4>& bytes);
// Nearest integer, a tie going to the ceiling.
int RoundToNearest(float x);

// A level in dB carried as a linear gain.
class dBLevelObject : public FloatUCodeObject {
 public:
  // Levels at or below this go to the unit as silence and gains at or below kGainFloor read as it.
  static constexpr float kFloorDb = -100.0f;
  static constexpr float kGainFloor = 1.0e-5f;

  using FloatUCodeObject::FloatUCodeObject;
  float Read(IQDevice& device) const { return GainToDb(ReadLinear(device)); }
  void Write(IQDevice& device, float dB) const { WriteLinear(device, DbToGain(dB)); }
  float ReadLinear(IQDevice& device) const { return FloatUCodeObject::Read(device); }
  void WriteLinear(IQDevice& device, float gain) const { FloatUCodeObject::Write(device, gain); }

  static float DbToGain(float dB, float offsetDb = 0.0f);
  // Zero, negative and non-finite gains read as the floor.
  static float GainToDb(float gain, float offsetDb = 0.0f);
};

// A limiter threshold: the unit's gain sits 22 dB below the threshold shown.
class limiterLevelObject : public dBLevelObject {
 public:
  static constexpr float kOffsetDb = 22.0f;

  using dBLevelObject::dBLevelObject;
  float Read(IQDevice& device) const { return GainToDb(ReadLinear(device), kOffsetDb); }
  void Write(IQDevice& device, float dB) const { WriteLinear(device, DbToGain(dB, kOffsetDb)); }
};

inline constexpr int kCompRatioCount = 8;
inline constexpr int kCompSpeedCount = 9;

class CompRatioObject : public ByteUCodeObject {
 public:
  using ByteUCodeObject::ByteUCodeObject;
  // Throws OrdavinexRangeError for an index outside 0 .. kCompRatioCount - 1.
  void WriteCompRatio(IQDevice& device, int index) const;
  // The index of the byte the unit holds; a byte with no ratio gives 0 ("1:1").
  int ReadCompRatio(IQDevice& device) const;
};

// Empty for an index or code outside the table.
std::string CompRatioToText(int index);
std::string CompRatioCodeToText(int code);
int CompRatioIndexOfCode(int code);
// The unit's byte for the ratio at `index`, 0 .. kCompRatioCount - 1.
int CompRatioCode(int index);
// Whether the unit has a ratio of `code`: any other byte would show and save as another ratio.
bool IsCompRatioCode(int code);

// The speed index is the wire byte.
class CompSpeedObject : public ByteUCodeObject {
 public:
  using ByteUCodeObject::ByteUCodeObject;
};

// Empty for an index outside the table.
std::string CompSpeedToText(int index);

enum DelayUnits { kDelayMsec = 0, kDelayFeet = 1, kDelayMeters = 2 };
// Samples at 48 kHz in one display unit (48, 42 or 140); none for an unknown unit.
std::optional<double> SamplesPerUnit(int units);

class DelayUnitsObject : public ByteUCodeObject {
 public:
  using ByteUCodeObject::ByteUCodeObject;
  // "%.3f" of the delay in `units`; another unit leaves `out` as it was.
  static void DelayToText(int samples, std::string& out, int units);
  // Samples for a text in `units`; none when the text is no finite number, the unit is unknown or
  // the delay does not fit an int.
  static std::optional<int> TextToDelay(const std::string& text, int units);
};

// Delays in samples at 48 kHz.
class DelayUCodeObject : public LongIntUCodeObject {
 public:
  using LongIntUCodeObject::LongIntUCodeObject;
};

struct TimeRecord {
  int dayOfWeek = 1;  // 1..7
  int hour = 0;
  int minute = 0;
  int second = 0;
};

struct DateRecord {
  int day = 1;
  int month = 1;
  int yearInCentury = 0;  // year % 100
  int century = 20;       // year / 100
};

// One clock event slot of the unit.
struct TTimerStruct {
  int day = 0;  // 0 empty slot, 1..7 Sunday..Saturday
  int hour = 0;
  int minute = 0;
  int second = 0;  // not carried by the unit
  int logic = 0;   // logic input to fire
  int slot = 0;    // 0..69, the element of the event object
};

// Four-byte records whose store element is wider than their wire value.
class FourByteRecordObject : public UCodeObject {
 public:
  using UCodeObject::UCodeObject;

 protected:
  using Wire = std::array<uint8_t, 4>;
  void WriteWire(IQDevice& device, const Wire& wire) const;
  // Throws NoData or ShortReply when fewer than four bytes come back.
  Wire ReadWire(IQDevice& device) const;
};

class TimeUCodeObject : public FourByteRecordObject {
 public:
  using FourByteRecordObject::FourByteRecordObject;
  int ElementSize() const override { return 16; }
  void WriteTime(IQDevice& device, const TimeRecord& time) const;
  void ReadTime(IQDevice& device, TimeRecord& time) const;
};

class DateUCodeObject : public FourByteRecordObject {
 public:
  using FourByteRecordObject::FourByteRecordObject;
  int ElementSize() const override { return 16; }
  void WriteDate(IQDevice& device, const DateRecord& date) const;
  void ReadDate(IQDevice& device, DateRecord& date) const;
};

class RTCEventObject : public FourByteRecordObject {
 public:
  using FourByteRecordObject::FourByteRecordObject;
  int ElementSize() const override { return 24; }
  // The slot is the element the caller selected; the second is not sent.
  void WriteTimerEvent(IQDevice& device, const TTimerStruct& event) const;
  // Sets the second to 0 and leaves the slot as it was.
  void ReadTimerEvent(IQDevice& device, TTimerStruct& event) const;
};

// One 64-byte block of a memory image.
class NVDumpObject : public UCodeObject {
 public:
  using UCodeObject::UCodeObject;
  int ElementSize() const override { return 64; }
};

// One firmware data record of up to 64 bytes.
class FlashUCodeObject : public StringUCodeObject {
 public:
  static constexpr int kRecordBytes = 64;
  FlashUCodeObject(int id, int count, bool isVolatile)
      : StringUCodeObject(id, count, isVolatile, false, kRecordBytes) {}
  // The bytes as they are: firmware holds zeros, which would end a text.
  void WriteBlock(IQDevice& device, std::span<const uint8_t> block) const;
};

// Memory n of the unit (0 the current settings). A virtual unit of the family keeps its memories
// in the device; a bus unit stores or recalls and is waited for until ready.
class SaveMemoryObject : public ByteUCodeObject {
 public:
  using ByteUCodeObject::ByteUCodeObject;
  void SaveMemory(IQDevice& device, uint8_t n) const;
};

class RestoreMemoryObject : public ByteUCodeObject {
 public:
  using ByteUCodeObject::ByteUCodeObject;
  void RecallMemory(IQDevice& device, uint8_t n) const;
};

class CurrentLogicInObject : public ByteUCodeObject {
 public:
  using ByteUCodeObject::ByteUCodeObject;
  // The write, then on a bus unit the wait until it is ready.
  void WriteAndWaitReady(IQDevice& device, uint8_t value) const;
};

}  // namespace namespaceOV
