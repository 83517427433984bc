#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "sim/Unit.h"
#include "sim/familyov/Access.h"
#include "sim/familyov/FilterSlots.h"
#include "sim/familyov/ImageCodec.h"
#include "sim/familyov/MemoryImages.h"

namespace sim::familyov {

// The unit's stored memories 1..count: each holds the settings objects, the filter slots and the
// memory image. Memory 0 is the current settings themselves.
class MemoryBank {
 public:
  MemoryBank(Unit& unit, FilterSlots& filters, MemoryImages& images, const ImageGeometry& geometry,
             int memoryCount);

  int Count() const { return memoryCount_; }
  // Memory 0 is accepted and changes nothing: the current settings already are memory 0.
  Outcome Store(uint8_t memory);
  // Recalling a memory whose image was written takes the image's values; recalling 0 does only
  // that. Recalling a memory makes it the last memory.
  Outcome Recall(uint8_t memory);
  // Memory 0's image from the current settings, unless written blocks wait to be recalled.
  void RefreshCurrentImage();
  // Every memory takes the current settings.
  void StoreEverywhere();
  // New firmware may keep more memories: those it adds take the current settings.
  void SetCount(int memoryCount);

 private:
  struct Memory {
    std::map<int, std::vector<uint8_t>> objects;
    std::vector<FilterRecord> filters;
  };

  Memory Capture() const;
  void Apply(const Memory& memory);

  Unit& unit_;
  FilterSlots& filters_;
  MemoryImages& images_;
  ImageGeometry geometry_;
  int memoryCount_;
  std::map<int, Memory> memories_;
};

}  // namespace sim::familyov
