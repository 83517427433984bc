#include "sim/familyov/ImageCodec.h"

#include <array>

#include "sim/familyov/Access.h"
#include "sim/familyov/ObjectTable.h"

namespace sim::familyov {
namespace {

using namespace object;

constexpr int kBlockBytes = kMemoryDumpBlockBytes;
constexpr int kWordsPerBlock = kBlockBytes / 4;
constexpr int kBlocks = 24;
constexpr std::array<int, kBlocks> k4x8 = {1,   13,  45,  53,  54,  98,  106, 118,
                                           126, 134, 142, 150, 158, 166, 167, 168,
                                           169, 170, 810, 814, 818, 822, 826, 830};
constexpr std::array<int, kBlocks> k2x6 = {1,  9,  21, 27, 28, 36, 42, 50, 56, 62, 68, 74,
                                           80, 86, 87, 88, 0,  89, 0,  0,  0,  0,  0,  0};
constexpr int kFilterBlock = 17;
constexpr int kRecordWords = 4;

enum class Form { kWord, kByte, kFlag };
// Which elements a block runs over: every image channel, every crosspoint, the outputs (at their
// channel index or from 0), the inputs, or one value.
enum class Span { kChannels, kCrosspoints, kOutputChannels, kOutputs, kInputs, kOne };

struct Field {
  int block;
  int objectId;
  Form form;
  Span span;
};

constexpr Field kFields[] = {
    {0, kChannelLevel, Form::kWord, Span::kChannels},
    {1, kCrosspointLevel, Form::kWord, Span::kCrosspoints},
    {2, kChannelMute, Form::kFlag, Span::kOutputChannels},
    {3, kMasterMute, Form::kFlag, Span::kOne},
    {4, kChannelDelay, Form::kWord, Span::kChannels},
    {5, kCrossoverNetwork, Form::kByte, Span::kOutputs},
    {6, kChannelGroup, Form::kByte, Span::kChannels},
    {7, kLimiterThreshold, Form::kWord, Span::kOutputChannels},
    {8, kLimiterKnee, Form::kFlag, Span::kOutputChannels},
    {9, kLimiterSpeed, Form::kByte, Span::kOutputChannels},
    {10, kLimiterGroup, Form::kByte, Span::kOutputChannels},
    {11, kLimiterEnable, Form::kFlag, Span::kOutputChannels},
    {12, kPolarity, Form::kWord, Span::kOutputs},
    {13, kPinkNoiseEnable, Form::kFlag, Span::kOne},
    {14, kPinkNoiseLevel, Form::kWord, Span::kOne},
    {15, kMasterLevel, Form::kWord, Span::kOne},
};
constexpr Field kCompressorFields[] = {
    {18, kCompPostGain, Form::kWord, Span::kInputs},
    {19, kCompThreshold, Form::kWord, Span::kInputs},
    {20, kCompRatio, Form::kByte, Span::kInputs},
    {21, kCompSpeed, Form::kByte, Span::kInputs},
    {22, kCompGang, Form::kFlag, Span::kInputs},
    {23, kCompSoftKnee, Form::kFlag, Span::kInputs},
};

// Calls visit(word offset, object id, element, form) for every value the image carries.
template <typename Visit>
void ForEachValue(const ImageGeometry& g, Visit visit) {
  const std::array<int, kBlocks>& offsets = g.matrixInputs == 4 ? k4x8 : k2x6;
  const int channels = g.matrixInputs + g.matrixOutputs;
  const auto field = [&](const Field& f) {
    const auto at = [&](int k, int element) {
      visit(offsets[f.block] + k, f.objectId, element, f.form);
    };
    switch (f.span) {
      case Span::kChannels:
        for (int k = 0; k < channels; ++k) at(k, k);
        break;
      case Span::kCrosspoints:
        for (int k = 0; k < g.matrixInputs * g.matrixOutputs; ++k) at(k, k);
        break;
      case Span::kOutputChannels:
        for (int k = 0; k < g.outputs; ++k) at(k, g.matrixInputs + k);
        break;
      case Span::kOutputs:
        for (int k = 0; k < g.outputs; ++k) at(k, k);
        break;
      case Span::kInputs:
        for (int k = 0; k < g.inputs; ++k) at(k, k);
        break;
      case Span::kOne:
        at(0, 0);
        break;
    }
  };
  for (const Field& f : kFields) field(f);
  if (g.crosspointDelays) {
    for (int k = 0; k < g.matrixInputs * g.matrixOutputs; ++k) {
      visit(offsets[4] + channels + k, kCrosspointDelay, k, Form::kWord);
    }
  }
  if (g.compressors) {
    for (const Field& f : kCompressorFields) field(f);
  }
}

int FilterRecordsAt(const ImageGeometry& g) {
  return (g.matrixInputs == 4 ? k4x8 : k2x6)[kFilterBlock];
}

uint32_t ReadWord(std::span<const uint8_t> image, int word) {
  return WordOf(image.subspan(static_cast<std::size_t>(word) * 4, 4));
}

void PutWord(std::vector<uint8_t>& image, int word, uint32_t value) {
  const std::vector<uint8_t> bytes = WordBytes(value);
  std::copy(bytes.begin(), bytes.end(), image.begin() + word * 4);
}

}  // namespace

ImageGeometry GeometryOf(Model model, bool compressorOption) {
  const ModelTraits traits = TraitsOf(model);
  const bool of8148 = Of8148Family(model);
  return {.inputs = traits.inputs,
          .outputs = traits.outputs,
          .matrixInputs = traits.firstOutput,
          .matrixOutputs = traits.firstOutput == 4 ? 8 : 6,
          .imageWords = traits.imageWords,
          .crosspointDelays = of8148,
          .compressors = compressorOption};
}

std::vector<uint8_t> EncodeImage(const ImageGeometry& geometry, const Unit& unit,
                                 const FilterSlots& filters) {
  const int blocks = (geometry.imageWords + kWordsPerBlock - 1) / kWordsPerBlock;
  std::vector<uint8_t> image(static_cast<std::size_t>(blocks) * kBlockBytes);
  ForEachValue(geometry, [&](int word, int id, int element, Form form) {
    const std::vector<uint8_t> bytes = unit.Element(id, element);
    const uint32_t value = form == Form::kWord   ? WordOf(bytes)
                           : form == Form::kFlag ? uint32_t{bytes[0] != 0}
                                                 : bytes[0];
    PutWord(image, word, value);
  });
  const int first = FilterRecordsAt(geometry);
  const std::vector<FilterRecord>& slots = filters.Records();
  for (std::size_t r = 0; r < slots.size(); ++r) {
    const FilterRecord& slot = slots[r];
    if (!slot.allocated || slot.type == 0) continue;
    const int at = first + kRecordWords * static_cast<int>(r);
    PutWord(image, at, uint32_t{slot.linkNumber} << 16 | uint32_t{slot.type} << 8 | slot.channel);
    for (int p = 0; p < kFilterParamCount; ++p) PutWord(image, at + 1 + p, WordOf(slot.params[p]));
  }
  return image;
}

void DecodeImage(const ImageGeometry& geometry, std::span<const uint8_t> image, Unit& unit,
                 FilterSlots& filters) {
  ForEachValue(geometry, [&](int word, int id, int element, Form form) {
    const uint32_t value = ReadWord(image, word);
    if (form == Form::kWord) {
      unit.StoreElement(id, element, WordBytes(value));
    } else {
      const uint8_t byte = form == Form::kFlag ? uint8_t{value != 0} : static_cast<uint8_t>(value);
      unit.StoreElement(id, element, std::vector<uint8_t>{byte});
    }
  });
  const int first = FilterRecordsAt(geometry);
  std::vector<FilterRecord> slots(filters.Records().size());
  for (std::size_t r = 0; r < slots.size(); ++r) {
    const int at = first + kRecordWords * static_cast<int>(r);
    const uint32_t head = ReadWord(image, at);
    FilterRecord& slot = slots[r];
    slot.type = static_cast<uint8_t>(head >> 8);
    if (slot.type == 0) continue;
    slot.allocated = slot.active = true;
    slot.channel = static_cast<uint8_t>(head);
    slot.linkNumber = static_cast<uint8_t>(head >> 16);
    for (int p = 0; p < kFilterParamCount; ++p) {
      const std::vector<uint8_t> bytes = WordBytes(ReadWord(image, at + 1 + p));
      std::copy(bytes.begin(), bytes.end(), slot.params[p].begin());
    }
  }
  filters.Restore(slots);
}

}  // namespace sim::familyov
