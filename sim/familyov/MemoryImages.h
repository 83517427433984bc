#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "sim/familyov/Access.h"

namespace sim::familyov {

// The unit's memory images as the memory-dump object moves them, sixteen bytes at a time. Element
// 255 positions: an access to it, or to another element than the last, starts again at the
// image's first block; every read or write of an element moves on by one block. Element 0 is the
// current settings, element m memory m. The words are kept as sent: the unit does not decode
// them into its objects, it only carries them along with a memory when it stores or recalls.
class MemoryImages {
 public:
  // `imageWords`: the length of one image; transfers move whole blocks, so the last block may
  // reach up to three words beyond it.
  explicit MemoryImages(int imageWords);

  Outcome Read(int element);
  Outcome Write(int element, std::span<const uint8_t> block);

  // Memory `to` takes a copy of memory `from`'s image.
  void Copy(int from, int to);
  std::vector<uint8_t> Image(int element) const;
  void Clear();

 private:
  // The next block of `element`, or nullopt past the image's end.
  std::optional<std::size_t> Advance(int element);

  std::size_t imageBytes_;
  std::map<int, std::vector<uint8_t>> images_;
  int lastElement_ = -1;
  std::size_t cursor_ = 0;
};

}  // namespace sim::familyov
