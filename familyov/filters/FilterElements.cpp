#include "familyov/filters/FilterElements.h"

#include <algorithm>

#include "familycommon/FilterConversions.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/ParameterTable.h"

namespace namespaceOV {

void WriteIntElement(IQDeviceOrdavinex& device, int element, int32_t value) {
  gFilterParamObject.SetElement(element);
  gFilterParamObject.Write(device, static_cast<uint32_t>(value));
}

void WriteFloatElement(IQDeviceOrdavinex& device, int element, float value) {
  gFilterParamFloatObject.SetElement(element);
  gFilterParamFloatObject.Write(device, value);
}

int32_t ReadIntElement(IQDeviceOrdavinex& device, int element) {
  gFilterParamObject.SetElement(element);
  return static_cast<int32_t>(gFilterParamObject.Read(device));
}

float ReadFloatElement(IQDeviceOrdavinex& device, int element) {
  gFilterParamFloatObject.SetElement(element);
  return gFilterParamFloatObject.Read(device);
}

int32_t QToUnit(float q) { return familycommon::RoundToInt(10.0 * double{q}); }

float QFromUnit(int32_t tenTimesQ) { return static_cast<float>(tenTimesQ * 0.1); }

std::string OutOfRangeText(const char* what, double value, double low, double high) {
  return Printf("The %s %g is out of range (%g to %g).", what, value, low, high);
}

float SteppedLevel(float level, int stepCode, float floorDb, float ceilingDb) {
  double step = 0.0;
  switch (stepCode) {
    case -2:
      step = -1.0;
      break;
    case -1:
      step = -0.1;
      break;
    case 1:
      step = 0.1;
      break;
    case 2:
      step = 1.0;
      break;
    default:
      break;
  }
  return std::clamp(static_cast<float>(double{level} + step), floorDb, ceilingDb);
}

}  // namespace namespaceOV
