#include "sim/familyov/MemoryBank.h"

#include "sim/familyov/ObjectTable.h"

namespace sim::familyov {

MemoryBank::MemoryBank(Unit& unit, FilterSlots& filters, MemoryImages& images, int memoryCount)
    : unit_(unit), filters_(filters), images_(images), memoryCount_(memoryCount) {}

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
  memories_[memory] = Capture();
  images_.Copy(0, memory);
  return Outcome::Done();
}

Outcome MemoryBank::Recall(uint8_t memory) {
  if (memory > memoryCount_) return Outcome::Fail(unit_error::kParameterOutOfRange);
  if (memory == 0) return Outcome::Done();
  Apply(memories_.at(memory));
  images_.Copy(memory, 0);
  unit_.StoreElement(object::kLastMemory, 0, std::vector<uint8_t>{memory});
  return Outcome::Done();
}

void MemoryBank::SetCount(int memoryCount) {
  for (int memory = memoryCount_ + 1; memory <= memoryCount; ++memory) {
    memories_[memory] = Capture();
    images_.Copy(0, memory);
  }
  memoryCount_ = memoryCount;
}

void MemoryBank::StoreEverywhere() {
  for (int memory = 1; memory <= memoryCount_; ++memory) {
    memories_[memory] = Capture();
    images_.Copy(0, memory);
  }
}

}  // namespace sim::familyov
