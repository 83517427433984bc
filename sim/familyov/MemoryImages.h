#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "sim/familyov/Access.h"

namespace sim::familyov {

// The unit's memory images as the memory-dump object moves them, sixteen bytes at a time. Element
// 255 positions: an access to it, or to another element than the last, starts again at the
// image's first block; every read or write of an element moves on by one block. Element 0 is the
// current settings, element m memory m. Written blocks are kept as sent until the memory they
// belong to is recalled, which takes the image's values into effect.
class MemoryImages {
 public:
  // `imageWords`: the length of one image; transfers move whole blocks, so the last block may
  // reach up to three words beyond it.
  explicit MemoryImages(int imageWords);

  Outcome Read(int element);
  Outcome Write(int element, std::span<const uint8_t> block);

  // Memory `to` takes a copy of memory `from`'s image, written blocks still waiting or not.
  void Copy(int from, int to);
  // The image the unit's own settings make; nothing waits to be taken into effect then.
  void Set(int element, std::vector<uint8_t> image);
  // Blocks were written to the element since its image was last set.
  bool Written(int element) const { return written_.contains(element); }
  std::vector<uint8_t> Image(int element) const;
  void Clear();

 private:
  // The next block of `element`, or nullopt past the image's end.
  std::optional<std::size_t> Advance(int element);

  std::size_t imageBytes_;
  std::map<int, std::vector<uint8_t>> images_;
  std::set<int> written_;
  int lastElement_ = -1;
  std::size_t cursor_ = 0;
};

}  // namespace sim::familyov
