#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "familyov/filters/FilterClasses.h"
#include "familyov/unit/OVCodecs.h"
#include "familyov/unit/ParameterTable.h"

// The text of a unit's device report, made from plain values: the memory sections from a settings
// image, the clock events from their records. Values that come from a unit or a file index the
// name tables only when they are in range; any other value prints as "?".
namespace namespaceOV {

inline constexpr const char* kUnknownName = "?";

std::string DelayUnitName(int units);
// The limiter's knee flag: set is the hard knee.
std::string LimiterKneeName(int knee);
// The compressor's soft-knee flag: set is the soft knee.
std::string CompressorKneeName(int softKnee);
std::string LimiterSpeedName(int speed);
std::string DayName(int day);

// "%-10s 12:05:00 AM": the day name and the time on a 12-hour clock.
std::string ClockEventTime(const TTimerStruct& event);
// The events that are set (day not 0), by day, hour and minute; the order of events in the same
// minute is the one the unit's long-standing exchange sort leaves.
std::vector<TTimerStruct> ReportedClockEvents(std::vector<TTimerStruct> events);
// "\n---Clock Events---\n" and a line per reported event.
std::string ClockEventsSection(const std::vector<TTimerStruct>& events);

// The filters of one settings image, for reading only: the channel filters in record order and
// each output's crossovers.
struct ImageFilters {
  std::vector<std::unique_ptr<TFilter>> filters;
  std::array<std::unique_ptr<TLowCrossover>, kMaxOutputs> lowCrossover;
  std::array<std::unique_ptr<THighCrossover>, kMaxOutputs> highCrossover;
};

// What a memory section shows besides the image: the unit's geometry, features and names.
struct ReportLayout {
  int inputs = 0;
  int outputs = 0;
  int firstOutput = 0;
  int matrixInputs = 0;
  int matrixOutputs = 0;
  std::span<const int> offsets;  // the 24 block offsets of the model's image
  bool crosspointDelays = false;
  bool compressors = false;
  int delayUnits = kDelayMsec;
  bool useQ = true;
  std::array<std::string, kMaxChannels> names;   // by channel index
  std::array<std::string, kMaxChannels> labels;  // by channel index
};

// One memory's section: levels, groups, delays, compressors, mixing, master, outputs, limiting,
// filters and crossovers. An image too short for the layout is an OrdavinexRangeError.
std::string ReportBody(const ReportLayout& layout, std::span<const uint32_t> image,
                       const ImageFilters& filters);

}  // namespace namespaceOV
