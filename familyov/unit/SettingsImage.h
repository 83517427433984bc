#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "familycommon/FilterLifetime.h"
#include "familyov/unit/OrdavinexErrors.h"

class IQDevice;
class UCodeObject;

namespace namespaceOV {

class IQDeviceOrdavinex;
class TFilter;

inline constexpr int kImageBlockCount = 24;
// The memory-dump object moves four words at a time; element 255 positions it.
inline constexpr int kDumpBlockWords = 4;
inline constexpr int kDumpPositioningElement = 255;
inline constexpr int kFilterRecordWords = 4;
// The most words an image length read from a unit may give: the dump object's store bounds it.
inline constexpr int kMaxImageWords = 4096;

// An image length that cannot hold the model's layout, or that no unit could have.
class SettingsImageError : public OrdavinexError {
 public:
  using OrdavinexError::OrdavinexError;
};

// One memory's settings as the unit stores them: `Length()` words, kept in whole dump blocks so
// that a transfer may carry up to three words past the end.
class SettingsImage {
 public:
  explicit SettingsImage(int length);

  int Length() const { return length_; }
  int BlockCount() const { return static_cast<int>(words_.size()) / kDumpBlockWords; }
  std::span<uint32_t> Block(int block);
  std::span<const uint32_t> Block(int block) const;
  std::span<uint32_t> Words() { return words_; }
  std::span<const uint32_t> Words() const { return words_; }

 private:
  int length_;
  std::vector<uint32_t> words_;
};

// Where each block of the image stands for the unit's model and options.
class ImageLayout {
 public:
  explicit ImageLayout(const IQDeviceOrdavinex& device);

  int Block(int block) const { return offsets_[static_cast<std::size_t>(block)]; }
  int CrosspointDelays() const { return Block(4) + imageChannels_; }
  int FilterRecord(int record) const { return Block(17) + kFilterRecordWords * record; }
  // The words the layout writes, from word 0; an image shorter than this cannot be used.
  int RequiredWords() const;
  // Throws SettingsImageError when an image of `length` words cannot hold the layout.
  void CheckLength(int length) const;

  int matrixInputs;
  int matrixOutputs;
  int filterRecords;
  bool crosspointDelays;
  bool compressors;

 private:
  std::span<const int> offsets_;
  int imageChannels_;
};

// What a word of the image holds, as the unit takes it.
enum class ImageField {
  kGain,      // a finite linear gain from silence (0) to the level ceiling
  kFlag,      // 0 or 1
  kDelay,     // samples, 0 to the unit's delay capacity
  kPolarity,  // +1.0 or -1.0
  // 0 (none) or a group the windows offer the side: inputs 7 (their gang) and the groups from 8,
  // outputs the groups from 1; each side has as many groups as half its channels, rounded up.
  kInputGroup,
  kOutputGroup,
  kLimiterRelease,   // 0 slow, 1 medium, 2 fast
  kCompressorSpeed,  // an index of the speed table
  kCompressorRatio,  // a byte of the ratio table
  // 0 (none) or a network from 1, as many as half the outputs, rounded up.
  kCrossoverNetwork,
};

// Every word of an image that a parameter of `device` takes, with its form and its name, in the
// order the decoder applies them; the filter records (block 17) apart. Words of no parameter
// (word 0, block 16, channels and outputs the unit lacks, what follows the last record) are left
// out: the unit ignores them.
void ForEachImageField(
    const IQDeviceOrdavinex& device,
    const std::function<void(int word, ImageField form, const char* name)>& visit);

// A word of an image that the unit could not take as written.
struct ImageFault {
  int word;
  std::string reason;
};
// The first word of `image` that its field cannot hold: out of its form's range, or a filter
// record that would not be decoded as written (a type no filter has, a channel the unit lacks, a
// link to no filter, a parameter out of range, a value the filter would change, a second crossover
// for an output's slot). None when the whole image can be loaded as it stands.
std::optional<ImageFault> FindImageFault(const IQDeviceOrdavinex& device,
                                         const SettingsImage& image);
// Whether two filter records hold the same filter, link numbers aside: the same type and channel,
// whole numbers equal and float words within the rounding of a level's way through dB.
bool SameFilterRecord(std::span<const uint32_t> a, std::span<const uint32_t> b);

// The image length the unit reports, checked against its layout.
int ReadImageLength(IQDeviceOrdavinex& device);

void EncodeSettingsImage(IQDeviceOrdavinex& device, SettingsImage& image);
void DecodeSettingsImage(IQDeviceOrdavinex& device, const SettingsImage& image);

// The object's current element as big-endian words; NoData unless the reply is exactly their size.
void UnpackWordsBigEndian(const UCodeObject& object, IQDevice& device, std::span<uint32_t> words);
void PackWordsBigEndian(const UCodeObject& object, IQDevice& device,
                        std::span<const uint32_t> words);

// Word 0 of a filter record: link number, type and channel.
uint32_t FilterRecordHeader(const TFilter& filter);
void PackFilterRecord(const TFilter& filter, std::span<uint32_t> record);
// The filter a record holds, numbered `number`; none for an empty record or one of no filter type.
std::unique_ptr<TFilter> UnpackFilterRecord(std::span<const uint32_t> record, int number);

// Brackets a walk over a unit's memories: a virtual unit keeps its current values as record 0
// first and has them back at the end, however the walk ends.
class MemoryWalk {
 public:
  explicit MemoryWalk(IQDeviceOrdavinex& device);
  ~MemoryWalk();
  MemoryWalk(const MemoryWalk&) = delete;
  MemoryWalk& operator=(const MemoryWalk&) = delete;

 private:
  IQDeviceOrdavinex& device_;
  // The views read the filters once, when the walk has put the current ones back.
  familycommon::FilterSetChange change_;
};

// Memory `memory` (0 the current settings) into or from an image of the unit's length, through
// the memory-dump object on a bus unit and the memory records on a virtual one. Inside a
// MemoryWalk. Writing memory 0 of a bus unit recalls it, so that the unit runs it.
void ReadMemoryImage(IQDeviceOrdavinex& device, int memory, SettingsImage& image);
void WriteMemoryImage(IQDeviceOrdavinex& device, int memory, const SettingsImage& image);

}  // namespace namespaceOV
