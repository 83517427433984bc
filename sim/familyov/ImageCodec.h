#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "sim/Unit.h"
#include "sim/familyov/FilterSlots.h"
#include "sim/familyov/Model.h"

namespace sim::familyov {

// Where the unit's settings stand in one memory image, and which optional blocks it carries.
struct ImageGeometry {
  int inputs = 0;
  int outputs = 0;
  int matrixInputs = 0;
  int matrixOutputs = 0;
  int imageWords = 0;
  bool crosspointDelays = false;
  bool compressors = false;
};

ImageGeometry GeometryOf(Model model, bool compressorOption);

// The unit's current settings and filter slots as an image, in whole sixteen-byte blocks; and the
// way back. Decoding an image takes every value it carries and replaces every filter slot.
std::vector<uint8_t> EncodeImage(const ImageGeometry& geometry, const Unit& unit,
                                 const FilterSlots& filters);
void DecodeImage(const ImageGeometry& geometry, std::span<const uint8_t> image, Unit& unit,
                 FilterSlots& filters);

}  // namespace sim::familyov
