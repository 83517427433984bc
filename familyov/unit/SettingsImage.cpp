#include "familyov/unit/SettingsImage.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <set>
#include <utility>

#include "bus/IQException.h"
#include "familycommon/FilterConversions.h"
#include "familyov/filters/FilterClasses.h"
#include "familyov/filters/FilterElements.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/ParameterTable.h"

namespace namespaceOV {

namespace {

constexpr int kFilterBlock = 17;
constexpr int kFirstCompressorBlock = 18;
constexpr int kInputGang = 7;
constexpr int kLastLimiterRelease = 2;
constexpr int kRecordLinkShift = 16;
constexpr uint32_t kRecordLinkBits = 0xFFu << kRecordLinkShift;

uint32_t FloatWord(float value) { return std::bit_cast<uint32_t>(value); }
float WordFloat(uint32_t word) { return std::bit_cast<float>(word); }
uint8_t LowByte(uint32_t word) { return static_cast<uint8_t>(word & 0xFF); }
uint32_t Flag(bool on) { return on ? 1u : 0u; }

// The words from the start of block `block` that the layout uses.
struct BlockExtent {
  int block;
  int words;
};

// A channel index the unit has: an input, or one of its outputs.
bool HasChannel(const IQDeviceOrdavinex& device, int channel) {
  return (channel >= 0 && channel < device.inputs) ||
         (channel >= device.firstOutput && channel < device.firstOutput + device.outputs);
}

int RecordType(uint32_t header) { return static_cast<int>((header >> 8) & 0xFF); }

int GroupsOf(int channels) { return (channels + 1) / 2; }

// Why `word` cannot be the `name`, a field of `form`; none when it can.
std::optional<std::string> FieldFault(const IQDeviceOrdavinex& device, uint32_t word,
                                      ImageField form, const char* name) {
  const auto outside = [&](double value, double low, double high) -> std::optional<std::string> {
    if (value >= low && value <= high) return std::nullopt;
    return OutOfRangeText(name, value, low, high);
  };
  const auto whole = static_cast<double>(static_cast<int32_t>(word));
  switch (form) {
    case ImageField::kGain:
      return outside(WordFloat(word), 0.0, dBLevelObject::DbToGain(familycommon::kLevelCeilingDb));
    case ImageField::kFlag:
      return outside(whole, 0, 1);
    case ImageField::kDelay:
      return outside(whole, 0, device.GetDelayCapacity());
    case ImageField::kPolarity:
      if (WordFloat(word) == 1.0f || WordFloat(word) == -1.0f) return std::nullopt;
      return Printf("The %s %g is neither 1 nor -1.", name, double{WordFloat(word)});
    case ImageField::kInputGroup: {
      const int last = kInputGang + GroupsOf(device.inputs);
      if (word == 0 || (whole >= kInputGang && whole <= last)) return std::nullopt;
      return Printf("The %s %g is neither 0 nor %d to %d.", name, whole, kInputGang, last);
    }
    case ImageField::kOutputGroup:
    case ImageField::kCrossoverNetwork:
      return outside(whole, 0, GroupsOf(device.outputs));
    case ImageField::kLimiterRelease:
      return outside(whole, 0, kLastLimiterRelease);
    case ImageField::kCompressorSpeed:
      return outside(whole, 0, kCompSpeedCount - 1);
    case ImageField::kCompressorRatio: {
      if (whole >= 0 && whole <= UINT8_MAX && IsCompRatioCode(static_cast<int>(whole))) {
        return std::nullopt;
      }
      std::string codes;
      for (int index = 0; index < kCompRatioCount; ++index) {
        codes += (index == 0 ? "" : ", ") + std::to_string(CompRatioCode(index));
      }
      return Printf("The %s %g is none of the unit's ratios (%s).", name, whole, codes.c_str());
    }
  }
  return std::nullopt;
}

// Why filter record `r` of `words` would not be decoded as it stands; the crossover slots already
// taken, by type code and output, collect in `edges`.
std::optional<ImageFault> RecordFault(const IQDeviceOrdavinex& device, const ImageLayout& layout,
                                      std::span<const uint32_t> words, int r,
                                      std::set<std::pair<int, int>>& edges) {
  const int at = layout.FilterRecord(r);
  const std::span<const uint32_t> record =
      words.subspan(static_cast<std::size_t>(at), kFilterRecordWords);
  const auto fault = [&](int word, const std::string& why) {
    return ImageFault{at + word, "Filter record " + std::to_string(r) + ": " + why};
  };
  if (RecordType(record[0]) == 0) return std::nullopt;
  if (record[0] >> 24 != 0) return fault(0, "its first word holds bits no record has.");
  const std::unique_ptr<TFilter> filter = UnpackFilterRecord(record, r);
  if (!filter) {
    return fault(0, "its type code " + std::to_string(RecordType(record[0])) + " is no filter's.");
  }
  const std::string channel = std::to_string(filter->channel);
  if (!HasChannel(device, filter->channel))
    return fault(0, "the unit has no channel " + channel + ".");
  if (filter->crossover) {
    const int output = filter->channel - device.firstOutput;
    if (output < 0) return fault(0, "a crossover on channel " + channel + ", which is no output.");
    if (!edges.emplace(filter->typeCode, output).second) {
      return fault(0, "a second crossover for the same edge of channel " + channel + ".");
    }
  }
  if (const int head = filter->linkNumber - 1; head >= 0) {
    // A crossover stands apart from the filter list and heads no chain.
    const uint32_t headWord = head < layout.filterRecords
                                  ? words[static_cast<std::size_t>(layout.FilterRecord(head))]
                                  : 0;
    const int headType = RecordType(headWord);
    const bool heads = head != r && headType != 0 && headType != kFilterLowCrossover &&
                       headType != kFilterHighCrossover && (headWord >> kRecordLinkShift) == 0;
    if (!heads)
      return fault(0, "it links to record " + std::to_string(head) + ", which heads no chain.");
  }
  if (const auto why = filter->RangeFault()) return fault(1, *why);
  std::array<uint32_t, kFilterRecordWords> back{};
  PackFilterRecord(*filter, back);
  if (!SameFilterRecord(record, back)) {
    return fault(1, "it holds a value its filter cannot keep as written.");
  }
  return std::nullopt;
}

// Reads and writes one image through the parameter objects, each word at its place.
class ImageCodec {
 public:
  ImageCodec(IQDeviceOrdavinex& device, const ImageLayout& layout)
      : device_(device), layout_(layout) {}

  void Encode(SettingsImage& image) {
    std::span<uint32_t> w = image.Words();
    const int ni = layout_.matrixInputs;
    const int no = layout_.matrixOutputs;
    const int f = device_.firstOutput;
    for (int k = 0; k < ni + no; ++k) w[At(0, k)] = FloatWord(ReadLinear(gChannelLevelObject, k));
    for (int i = 0; i < ni; ++i) {
      for (int o = 0; o < no; ++o) {
        const int x = o * ni + i;
        w[At(1, x)] = FloatWord(ReadLinear(gCrosspointLevelObject, x));
        if (layout_.crosspointDelays) {
          gCrosspointDelayObject.SetElement(x);
          w[layout_.CrosspointDelays() + x] = gCrosspointDelayObject.Read(device_);
        }
      }
    }
    for (int o = 0; o < device_.outputs; ++o)
      w[At(2, o)] = Flag(ReadBool(gChannelMuteObject, f + o));
    if (layout_.compressors) {
      for (int i = 0; i < device_.inputs; ++i) {
        w[At(18, i)] = FloatWord(ReadLinear(gCompPostGainObject, i));
        w[At(19, i)] = FloatWord(ReadLinear(gCompThresholdObject, i));
        w[At(20, i)] = ReadByte(gCompRatioObject, i);
        w[At(21, i)] = ReadByte(gCompSpeedObject, i);
        w[At(22, i)] = Flag(ReadBool(gCompGangObject, i));
        w[At(23, i)] = Flag(ReadBool(gCompSoftKneeObject, i));
      }
    }
    for (int k = 0; k < ni + no; ++k) {
      gChannelDelayObject.SetElement(k);
      w[At(4, k)] = gChannelDelayObject.Read(device_);
    }
    for (int o = 0; o < device_.outputs; ++o) w[At(5, o)] = ReadByte(gCrossoverNetworkObject, o);
    for (int k = 0; k < ni + no; ++k) w[At(6, k)] = ReadByte(gChannelGroupObject, k);
    for (int o = 0; o < device_.outputs; ++o) {
      w[At(7, o)] = FloatWord(ReadLinear(gLimiterThresholdObject, f + o));
      w[At(8, o)] = Flag(ReadBool(gLimiterKneeObject, f + o));
      w[At(9, o)] = ReadByte(gLimiterSpeedObject, f + o);
      w[At(10, o)] = ReadByte(gLimiterGroupObject, f + o);
      w[At(11, o)] = Flag(ReadBool(gLimiterEnableObject, f + o));
    }
    for (int o = 0; o < device_.outputs; ++o) {
      gPolarityObject.SetElement(o);
      w[At(12, o)] = FloatWord(gPolarityObject.Read(device_));
    }
    w[At(13, 0)] = Flag(gPinkNoiseEnableObject.Read(device_));
    w[At(14, 0)] = FloatWord(gPinkNoiseLevelObject.ReadLinear(device_));
    w[At(15, 0)] = FloatWord(gMasterLevelObject.ReadLinear(device_));
    w[At(3, 0)] = Flag(gMasterMuteObject.Read(device_));
    EncodeFilters(w);
  }

  void Decode(const SettingsImage& image) {
    std::span<const uint32_t> w = image.Words();
    const int ni = layout_.matrixInputs;
    const int no = layout_.matrixOutputs;
    const int f = device_.firstOutput;
    // Every channel the unit has, wherever the geometry puts it, and none it lacks.
    const auto channels = [&](auto apply) {
      for (int k = 0; k < ni + no; ++k) {
        if (HasChannel(device_, k)) apply(k);
      }
    };
    channels([&](int k) { WriteLinear(gChannelLevelObject, k, WordFloat(w[At(0, k)])); });
    for (int i = 0; i < ni; ++i) {
      for (int o = 0; o < no; ++o) {
        const int x = o * ni + i;
        WriteLinear(gCrosspointLevelObject, x, WordFloat(w[At(1, x)]));
        if (layout_.crosspointDelays) {
          gCrosspointDelayObject.SetElement(x);
          gCrosspointDelayObject.Write(device_, w[layout_.CrosspointDelays() + x]);
        }
      }
    }
    for (int o = 0; o < device_.outputs; ++o) WriteBool(gChannelMuteObject, f + o, w[At(2, o)]);
    if (layout_.compressors) {
      for (int i = 0; i < device_.inputs; ++i) {
        WriteLinear(gCompPostGainObject, i, WordFloat(w[At(18, i)]));
        WriteLinear(gCompThresholdObject, i, WordFloat(w[At(19, i)]));
        WriteByte(gCompRatioObject, i, w[At(20, i)]);
        WriteByte(gCompSpeedObject, i, w[At(21, i)]);
        WriteBool(gCompGangObject, i, w[At(22, i)]);
        WriteBool(gCompSoftKneeObject, i, w[At(23, i)]);
      }
    }
    channels([&](int k) {
      gChannelDelayObject.SetElement(k);
      gChannelDelayObject.Write(device_, w[At(4, k)]);
    });
    for (int o = 0; o < device_.outputs; ++o) WriteByte(gCrossoverNetworkObject, o, w[At(5, o)]);
    channels([&](int k) { WriteByte(gChannelGroupObject, k, w[At(6, k)]); });
    for (int o = 0; o < device_.outputs; ++o) {
      WriteLinear(gLimiterThresholdObject, f + o, WordFloat(w[At(7, o)]));
      WriteBool(gLimiterKneeObject, f + o, w[At(8, o)]);
      WriteByte(gLimiterSpeedObject, f + o, w[At(9, o)]);
      WriteByte(gLimiterGroupObject, f + o, w[At(10, o)]);
      WriteBool(gLimiterEnableObject, f + o, w[At(11, o)]);
    }
    for (int o = 0; o < device_.outputs; ++o) {
      gPolarityObject.SetElement(o);
      gPolarityObject.Write(device_, WordFloat(w[At(12, o)]));
    }
    gPinkNoiseEnableObject.Write(device_, w[At(13, 0)] != 0);
    gPinkNoiseLevelObject.WriteLinear(device_, WordFloat(w[At(14, 0)]));
    gMasterLevelObject.WriteLinear(device_, WordFloat(w[At(15, 0)]));
    gMasterMuteObject.Write(device_, w[At(3, 0)] != 0);
    DecodeFilters(w);
  }

 private:
  std::size_t At(int block, int k) const {
    return static_cast<std::size_t>(layout_.Block(block) + k);
  }

  float ReadLinear(dBLevelObject& object, int element) {
    object.SetElement(element);
    return object.ReadLinear(device_);
  }
  bool ReadBool(BoolUCodeObject& object, int element) {
    object.SetElement(element);
    return object.Read(device_);
  }
  uint32_t ReadByte(ByteUCodeObject& object, int element) {
    object.SetElement(element);
    return object.Read(device_);
  }
  void WriteLinear(dBLevelObject& object, int element, float gain) {
    object.SetElement(element);
    object.WriteLinear(device_, gain);
  }
  void WriteBool(BoolUCodeObject& object, int element, uint32_t word) {
    object.SetElement(element);
    object.Write(device_, word != 0);
  }
  void WriteByte(ByteUCodeObject& object, int element, uint32_t word) {
    object.SetElement(element);
    object.Write(device_, LowByte(word));
  }

  void EncodeFilters(std::span<uint32_t> w) {
    std::vector<const TFilter*> records;
    for (const auto& filter : device_.Filters()) records.push_back(filter.get());
    for (int o = 0; o < device_.outputs; ++o) {
      if (const TFilter* high = device_.HighCrossover(o)) records.push_back(high);
      if (const TFilter* low = device_.LowCrossover(o)) records.push_back(low);
    }
    if (static_cast<int>(records.size()) > layout_.filterRecords) {
      throw SettingsImageError("The unit has more filters than a memory can hold.");
    }
    for (int r = 0; r < layout_.filterRecords; ++r) {
      const std::span<uint32_t> record = w.subspan(layout_.FilterRecord(r), kFilterRecordWords);
      if (r < static_cast<int>(records.size())) {
        const TFilter& filter = *records[static_cast<std::size_t>(r)];
        PackFilterRecord(filter, record);
        record[0] = (record[0] & ~kRecordLinkBits) | LinkToPlace(records, filter.linkHead);
      } else {
        std::ranges::fill(record, 0u);
      }
    }
  }

  // The decoder numbers the filters by their records, and a link names its head by number: the
  // head's place among the records, not its number on the unit, which after a delete may be
  // another record's place. A link to no filter links nothing.
  static uint32_t LinkToPlace(const std::vector<const TFilter*>& records, const TFilter* head) {
    const auto place = std::ranges::find(records, head);
    if (head == nullptr || place == records.end()) return 0;
    return static_cast<uint32_t>(place - records.begin() + 1) << kRecordLinkShift;
  }

  void DecodeFilters(std::span<const uint32_t> w) {
    const familycommon::FilterSetChange change(device_.filterSetNotice);
    device_.RemoveAllFilters();
    for (int r = 0; r < layout_.filterRecords; ++r) {
      std::unique_ptr<TFilter> filter =
          UnpackFilterRecord(w.subspan(layout_.FilterRecord(r), kFilterRecordWords), r);
      if (!filter || !HasChannel(device_, filter->channel)) continue;
      const int output = filter->channel - device_.firstOutput;
      if (auto* low = dynamic_cast<TLowCrossover*>(filter.get())) {
        filter.release();
        device_.SetLowCrossover(output, std::unique_ptr<TLowCrossover>(low));
      } else if (auto* high = dynamic_cast<THighCrossover*>(filter.get())) {
        filter.release();
        device_.SetHighCrossover(output, std::unique_ptr<THighCrossover>(high));
      } else {
        device_.AdoptFilter(std::move(filter));
      }
    }
    device_.LinkFilters();
    device_.RecountDspUse();
  }

  IQDeviceOrdavinex& device_;
  const ImageLayout& layout_;
};

}  // namespace

SettingsImage::SettingsImage(int length)
    : length_(std::clamp(length, 0, kMaxImageWords)),
      words_(static_cast<std::size_t>((length_ + kDumpBlockWords - 1) / kDumpBlockWords *
                                      kDumpBlockWords)) {}

std::span<uint32_t> SettingsImage::Block(int block) {
  return std::span(words_).subspan(static_cast<std::size_t>(block) * kDumpBlockWords,
                                   kDumpBlockWords);
}

std::span<const uint32_t> SettingsImage::Block(int block) const {
  return std::span(words_).subspan(static_cast<std::size_t>(block) * kDumpBlockWords,
                                   kDumpBlockWords);
}

ImageLayout::ImageLayout(const IQDeviceOrdavinex& device)
    : matrixInputs(device.matrixInputs),
      matrixOutputs(device.matrixOutputs),
      filterRecords(device.GetMaxFilterRecords()),
      crosspointDelays(device.HasFeature(kFeatureCrosspointDelays)),
      compressors(device.HasFeature(kFeatureCompressors)),
      offsets_(device.GetImageOffsetTable()),
      imageChannels_(device.matrixInputs + device.matrixOutputs) {
  if (offsets_.size() != kImageBlockCount) {
    throw SettingsImageError("The model has no settings image layout.");
  }
}

int ImageLayout::RequiredWords() const {
  const int channels = imageChannels_;
  const int crosspoints = matrixInputs * matrixOutputs;
  std::vector<BlockExtent> extents = {{0, channels},
                                      {1, crosspoints},
                                      {2, matrixOutputs},
                                      {3, 1},
                                      {4, channels},
                                      {5, matrixOutputs},
                                      {6, channels},
                                      {13, 1},
                                      {14, 1},
                                      {15, 1},
                                      {kFilterBlock, kFilterRecordWords * filterRecords}};
  for (int block = 7; block <= 12; ++block) extents.push_back({block, matrixOutputs});
  if (crosspointDelays) extents.push_back({4, channels + crosspoints});
  if (compressors) {
    for (int block = kFirstCompressorBlock; block < kImageBlockCount; ++block) {
      extents.push_back({block, matrixInputs});
    }
  }
  int required = 0;
  for (const BlockExtent& extent : extents) {
    required = std::max(required, Block(extent.block) + extent.words);
  }
  return required;
}

void ImageLayout::CheckLength(int length) const {
  if (length < RequiredWords() || length > kMaxImageWords) {
    throw SettingsImageError("The unit's settings image length (" + std::to_string(length) +
                             " words) does not fit its model.");
  }
}

void ForEachImageField(
    const IQDeviceOrdavinex& device,
    const std::function<void(int word, ImageField form, const char* name)>& visit) {
  const ImageLayout layout(device);
  const int ni = layout.matrixInputs;
  const int no = layout.matrixOutputs;
  const auto channels = [&](int block, ImageField form, const char* name) {
    for (int k = 0; k < ni + no; ++k) {
      if (HasChannel(device, k)) visit(layout.Block(block) + k, form, name);
    }
  };
  const auto outputs = [&](int block, ImageField form, const char* name) {
    for (int o = 0; o < device.outputs; ++o) visit(layout.Block(block) + o, form, name);
  };
  const auto inputs = [&](int block, ImageField form, const char* name) {
    for (int i = 0; i < device.inputs; ++i) visit(layout.Block(block) + i, form, name);
  };
  channels(0, ImageField::kGain, "channel level");
  for (int x = 0; x < ni * no; ++x) {
    visit(layout.Block(1) + x, ImageField::kGain, "crosspoint level");
    if (layout.crosspointDelays) {
      visit(layout.CrosspointDelays() + x, ImageField::kDelay, "crosspoint delay");
    }
  }
  outputs(2, ImageField::kFlag, "output mute");
  if (layout.compressors) {
    inputs(18, ImageField::kGain, "compressor post gain");
    inputs(19, ImageField::kGain, "compressor threshold");
    inputs(20, ImageField::kCompressorRatio, "compressor ratio");
    inputs(21, ImageField::kCompressorSpeed, "compressor speed");
    inputs(22, ImageField::kFlag, "compressor gang switch");
    inputs(23, ImageField::kFlag, "compressor soft knee switch");
  }
  channels(4, ImageField::kDelay, "channel delay");
  outputs(5, ImageField::kCrossoverNetwork, "crossover network");
  for (int k = 0; k < ni + no; ++k) {
    if (!HasChannel(device, k)) continue;
    visit(layout.Block(6) + k,
          k < device.inputs ? ImageField::kInputGroup : ImageField::kOutputGroup, "channel group");
  }
  outputs(7, ImageField::kGain, "limiter threshold");
  outputs(8, ImageField::kFlag, "limiter knee switch");
  outputs(9, ImageField::kLimiterRelease, "limiter speed");
  outputs(10, ImageField::kOutputGroup, "limiter group");
  outputs(11, ImageField::kFlag, "limiter switch");
  outputs(12, ImageField::kPolarity, "polarity");
  visit(layout.Block(13), ImageField::kFlag, "pink noise switch");
  visit(layout.Block(14), ImageField::kGain, "pink noise level");
  visit(layout.Block(15), ImageField::kGain, "master level");
  visit(layout.Block(3), ImageField::kFlag, "master mute");
}

std::optional<ImageFault> FindImageFault(const IQDeviceOrdavinex& device,
                                         const SettingsImage& image) {
  const ImageLayout layout(device);
  layout.CheckLength(image.Length());
  const std::span<const uint32_t> words = image.Words();
  std::optional<ImageFault> first;
  const auto keep = [&](std::optional<ImageFault> fault) {
    if (fault && (!first || fault->word < first->word)) first = std::move(fault);
  };
  ForEachImageField(device, [&](int word, ImageField form, const char* name) {
    if (auto why = FieldFault(device, words[static_cast<std::size_t>(word)], form, name)) {
      keep(ImageFault{word, *why});
    }
  });
  std::set<std::pair<int, int>> edges;
  for (int r = 0; r < layout.filterRecords; ++r) keep(RecordFault(device, layout, words, r, edges));
  return first;
}

bool SameFilterRecord(std::span<const uint32_t> a, std::span<const uint32_t> b) {
  constexpr uint32_t kTypeAndChannel = 0xFFFF;
  // A float word comes back from its filter through dB: within a few units in the last place of
  // a gain near one. Whole numbers read as floats are no normal numbers, so they must be equal.
  const auto same = [](uint32_t x, uint32_t y) {
    const float fx = WordFloat(x);
    const float fy = WordFloat(y);
    return x == y || (std::isnormal(fx) && std::isnormal(fy) &&
                      std::abs(fx - fy) <= 1e-6f + 1e-5f * std::abs(fx));
  };
  return (a[0] & kTypeAndChannel) == (b[0] & kTypeAndChannel) && same(a[1], b[1]) &&
         same(a[2], b[2]) && same(a[3], b[3]);
}

int ReadImageLength(IQDeviceOrdavinex& device) {
  const uint32_t length = gMemoryImageSizeObject.Read(device);
  const int bounded = length > kMaxImageWords ? kMaxImageWords + 1 : static_cast<int>(length);
  ImageLayout(device).CheckLength(bounded);
  return bounded;
}

void EncodeSettingsImage(IQDeviceOrdavinex& device, SettingsImage& image) {
  const ImageLayout layout(device);
  layout.CheckLength(image.Length());
  ImageCodec(device, layout).Encode(image);
}

void DecodeSettingsImage(IQDeviceOrdavinex& device, const SettingsImage& image) {
  const ImageLayout layout(device);
  layout.CheckLength(image.Length());
  ImageCodec(device, layout).Decode(image);
}

void UnpackWordsBigEndian(const UCodeObject& object, IQDevice& device, std::span<uint32_t> words) {
  const std::span<const uint8_t> data = device.ReadValue(object, 0);
  if (data.size() != words.size() * 4) throw NoData();
  for (std::size_t k = 0; k < words.size(); ++k) {
    words[k] = uint32_t{data[4 * k]} << 24 | uint32_t{data[4 * k + 1]} << 16 |
               uint32_t{data[4 * k + 2]} << 8 | data[4 * k + 3];
  }
}

void PackWordsBigEndian(const UCodeObject& object, IQDevice& device,
                        std::span<const uint32_t> words) {
  std::vector<uint8_t> data;
  data.reserve(words.size() * 4);
  for (const uint32_t word : words) {
    for (int shift = 24; shift >= 0; shift -= 8)
      data.push_back(static_cast<uint8_t>(word >> shift));
  }
  device.Write(object, data, 0);
}

uint32_t FilterRecordHeader(const TFilter& filter) {
  return (static_cast<uint32_t>(filter.linkNumber & 0xFF) << kRecordLinkShift) |
         (static_cast<uint32_t>(filter.typeCode & 0xFF) << 8) |
         static_cast<uint32_t>(filter.channel & 0xFF);
}

void PackFilterRecord(const TFilter& filter, std::span<uint32_t> record) {
  record[0] = FilterRecordHeader(filter);
  const DeviceRecord fields = filter.GetDeviceRecord();
  for (std::size_t k = 0; k < fields.size(); ++k) record[k + 1] = static_cast<uint32_t>(fields[k]);
}

std::unique_ptr<TFilter> UnpackFilterRecord(std::span<const uint32_t> record, int number) {
  std::unique_ptr<TFilter> filter = MakeFilter(static_cast<int>((record[0] >> 8) & 0xFF));
  if (!filter) return nullptr;
  filter->channel = static_cast<int>(record[0] & 0xFF);
  filter->linkNumber = static_cast<int>((record[0] >> 16) & 0xFF);
  filter->SetDeviceRecord({static_cast<int32_t>(record[1]), static_cast<int32_t>(record[2]),
                           static_cast<int32_t>(record[3])});
  filter->number = number;
  return filter;
}

MemoryWalk::MemoryWalk(IQDeviceOrdavinex& device)
    : device_(device), change_(device.filterSetNotice) {
  if (!device_.IsOnline()) device_.SaveMemoryRecord(0);
}

MemoryWalk::~MemoryWalk() {
  if (device_.IsOnline()) return;
  try {
    device_.RecallMemoryRecord(0);
  } catch (const IQException&) {
    // Record 0 always exists and a virtual unit has no bus to fail: nothing is lost here.
  }
}

namespace {

std::array<uint32_t, kDumpBlockWords> ReadDumpBlock(IQDeviceOrdavinex& device, int element) {
  std::array<uint32_t, kDumpBlockWords> block{};
  gMemoryDumpObject.SetElement(element);
  UnpackWordsBigEndian(gMemoryDumpObject, device, block);
  return block;
}

void CheckMemory(IQDeviceOrdavinex& device, int memory) {
  if (memory < 0 || memory > device.GetMemoryCount()) {
    throw OrdavinexRangeError("Memory " + std::to_string(memory) + " does not exist on the unit.");
  }
}

}  // namespace

void ReadMemoryImage(IQDeviceOrdavinex& device, int memory, SettingsImage& image) {
  CheckMemory(device, memory);
  if (!device.IsOnline()) {
    device.RecallMemoryRecord(memory);
    EncodeSettingsImage(device, image);
    return;
  }
  ReadDumpBlock(device, kDumpPositioningElement);
  gMemoryDumpObject.SetElement(memory);
  for (int b = 0; b < image.BlockCount(); ++b) {
    UnpackWordsBigEndian(gMemoryDumpObject, device, image.Block(b));
  }
}

void WriteMemoryImage(IQDeviceOrdavinex& device, int memory, const SettingsImage& image) {
  CheckMemory(device, memory);
  if (!device.IsOnline()) {
    DecodeSettingsImage(device, image);
    device.SaveMemoryRecord(memory);
    return;
  }
  ReadDumpBlock(device, kDumpPositioningElement);
  const auto kept = ReadDumpBlock(device, memory + 1);
  ReadDumpBlock(device, kDumpPositioningElement);
  gMemoryDumpObject.SetElement(memory);
  for (int b = 0; b < image.BlockCount(); ++b) {
    PackWordsBigEndian(gMemoryDumpObject, device, image.Block(b));
  }
  ReadDumpBlock(device, kDumpPositioningElement);
  gMemoryDumpObject.SetElement(memory + 1);
  PackWordsBigEndian(gMemoryDumpObject, device, kept);
  if (memory == 0) gRecallMemoryObject.RecallMemory(device, 0);
}

}  // namespace namespaceOV
