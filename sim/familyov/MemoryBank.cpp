#include "sim/familyov/MemoryBank.h"

#include "sim/familyov/ObjectTable.h"

namespace sim::familyov {

MemoryBank::MemoryBank(Unit& unit, FilterSlots& filters, MemoryImages& images,
                       const ImageGeometry& geometry, int memoryCount)
    : unit_(unit),
      filters_(filters),
      images_(images),
      geometry_(geometry),
      memoryCount_(memoryCount) {}

void MemoryBank::RefreshCurrentImage() {
  if (!images_.Written(0)) images_.Set(0, EncodeImage(geometry_, unit_, filters_));
}

MemoryBank::Memory MemoryBank::Capture() const {
  Memory memory{.filters = filters_.Records()};
  for (int id : MemorySettingIds()) {
    std::vector<uint8_t>& bytes = memory.objects[id];
    for (int index = 0; index < FindObject(id)->count; ++index) {
      const std::vector<uint8_t> element = unit_.Element(id, index);
      bytes.insert(bytes.end(), element.begin(), element.end());
    }
  }
  return memory;
}

void MemoryBank::Apply(const Memory& memory) {
  filters_.Restore(memory.filters);
  for (const auto& [id, bytes] : memory.objects) {
    const ObjectLayout& layout = *FindObject(id);
    for (int index = 0; index < layout.count; ++index) {
      unit_.StoreElement(id, index,
                         std::span(bytes).subspan(index * layout.elementSize, layout.elementSize));
    }
  }
}

Outcome MemoryBank::Store(uint8_t memory) {
  if (memory > memoryCount_) return Outcome::Fail(unit_error::kParameterOutOfRange);
  if (memory == 0) return Outcome::Done();
  RefreshCurrentImage();
  memories_[memory] = Capture();
  images_.Copy(0, memory);
  return Outcome::Done();
}

Outcome MemoryBank::Recall(uint8_t memory) {
  if (memory > memoryCount_) return Outcome::Fail(unit_error::kParameterOutOfRange);
  if (memory != 0) Apply(memories_.at(memory));
  if (images_.Written(memory)) {
    DecodeImage(geometry_, images_.Image(memory), unit_, filters_);
    images_.Set(memory, images_.Image(memory));
    if (memory != 0) memories_[memory] = Capture();
  }
  if (memory == 0) return Outcome::Done();
  images_.Copy(memory, 0);
  unit_.StoreElement(object::kLastMemory, 0, std::vector<uint8_t>{memory});
  return Outcome::Done();
}

void MemoryBank::SetCount(int memoryCount) {
  RefreshCurrentImage();
  for (int memory = memoryCount_ + 1; memory <= memoryCount; ++memory) {
    memories_[memory] = Capture();
    images_.Copy(0, memory);
  }
  memoryCount_ = memoryCount;
}

void MemoryBank::StoreEverywhere() {
  RefreshCurrentImage();
  for (int memory = 1; memory <= memoryCount_; ++memory) {
    memories_[memory] = Capture();
    images_.Copy(0, memory);
  }
}

}  // namespace sim::familyov
