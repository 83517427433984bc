#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace namespaceOV {

class IQDeviceOrdavinex;

// Element k of the selected filter's parameter object, as an integer or as a float.
void WriteIntElement(IQDeviceOrdavinex& device, int element, int32_t value);
void WriteFloatElement(IQDeviceOrdavinex& device, int element, float value);
int32_t ReadIntElement(IQDeviceOrdavinex& device, int element);
float ReadFloatElement(IQDeviceOrdavinex& device, int element);

// 10 x Q as the unit takes it: rounded to the nearest integer, so 8.7 goes as 87.
int32_t QToUnit(float q);
float QFromUnit(int32_t tenTimesQ);

// A level plus one tenth or one dB up or down by step code, clamped to floor .. ceiling.
float SteppedLevel(float level, int stepCode, float floorDb, float ceilingDb);

// A refusal of a value out of its range: "The <what> <value> is out of range (<low> to <high>)."
std::string OutOfRangeText(const char* what, double value, double low, double high);

template <typename... Args>
std::string Printf(const char* format, Args... args) {
  char text[160];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

}  // namespace namespaceOV
