#include "sim/familyov/MemoryImages.h"

#include <algorithm>

#include "sim/Unit.h"
#include "sim/familyov/ObjectTable.h"

namespace sim::familyov {
namespace {

constexpr int kPositioningElement = 255;
constexpr int kWordsPerBlock = kMemoryDumpBlockBytes / 4;

}  // namespace

MemoryImages::MemoryImages(int imageWords)
    : imageBytes_(static_cast<std::size_t>((imageWords + kWordsPerBlock - 1) / kWordsPerBlock) *
                  kMemoryDumpBlockBytes) {}

std::optional<std::size_t> MemoryImages::Advance(int element) {
  if (element == kPositioningElement || element != lastElement_) cursor_ = 0;
  lastElement_ = element;
  if (element == kPositioningElement || cursor_ >= imageBytes_) return std::nullopt;
  const std::size_t offset = cursor_;
  cursor_ += kMemoryDumpBlockBytes;
  return offset;
}

Outcome MemoryImages::Read(int element) {
  const bool positioning = element == kPositioningElement;
  const auto offset = Advance(element);
  if (positioning) return Outcome::Done(std::vector<uint8_t>(kMemoryDumpBlockBytes));
  if (!offset) return Outcome::Fail(unit_error::kParameterOutOfRange);
  const auto found = images_.find(element);
  if (found == images_.end()) return Outcome::Done(std::vector<uint8_t>(kMemoryDumpBlockBytes));
  const auto block = found->second.begin() + static_cast<std::ptrdiff_t>(*offset);
  return Outcome::Done({block, block + kMemoryDumpBlockBytes});
}

Outcome MemoryImages::Write(int element, std::span<const uint8_t> block) {
  const auto offset = Advance(element);
  if (!offset) return Outcome::Fail(unit_error::kParameterOutOfRange);
  std::vector<uint8_t>& image = images_[element];
  image.resize(imageBytes_);
  std::copy(block.begin(), block.end(), image.begin() + *offset);
  written_.insert(element);
  return Outcome::Done();
}

void MemoryImages::Copy(int from, int to) {
  images_[to] = Image(from);
  if (Written(from)) {
    written_.insert(to);
  } else {
    written_.erase(to);
  }
}

void MemoryImages::Set(int element, std::vector<uint8_t> image) {
  image.resize(imageBytes_);
  images_[element] = std::move(image);
  written_.erase(element);
}

std::vector<uint8_t> MemoryImages::Image(int element) const {
  const auto found = images_.find(element);
  return found == images_.end() ? std::vector<uint8_t>(imageBytes_) : found->second;
}

void MemoryImages::Clear() {
  images_.clear();
  written_.clear();
  lastElement_ = -1;
  cursor_ = 0;
}

}  // namespace sim::familyov
