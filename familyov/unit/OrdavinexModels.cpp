#include "familyov/unit/OrdavinexModels.h"

#include <algorithm>
#include <charconv>

namespace namespaceOV {

namespace {

constexpr int kImageBlocks = 24;
constexpr std::array<int, kImageBlocks> kOffsetsB = {1,   13,  45,  53,  54,  98,  106, 118,
                                                     126, 134, 142, 150, 158, 166, 167, 168,
                                                     169, 170, 810, 814, 818, 822, 826, 830};
constexpr std::array<int, kImageBlocks> kOffsetsC = {1,   13,  49,  55,  56,  104, 110, 122,
                                                     128, 134, 140, 146, 152, 158, 159, 160,
                                                     161, 162, 802, 808, 814, 820, 826, 832};
constexpr std::array<int, kImageBlocks> kOffsetsD = {1,  9,  21, 27, 28, 36, 42, 50, 56, 62, 68, 74,
                                                     80, 86, 87, 88, 0,  89, 0,  0,  0,  0,  0,  0};

constexpr float kVirtual8148Firmware = 1.0f;
constexpr float kVirtual8126Firmware = 1.5f;
constexpr int kModelDigit8148Byte = 1;
constexpr int kModelDigit8126Byte = 0;
constexpr int kFirmwareChars = 3;
constexpr int kLabelledChannels8148 = 12;
constexpr int kLabelledChannels8126 = 8;

// The 4-input model's configurations, and the 2-input models.
constexpr ModelGeometry k4InputGeometries[] = {{4, 8, 4, 4, 8}, {3, 7, 4, 4, 8}, {6, 6, 6, 6, 6}};
constexpr ModelGeometry k2InputGeometries[] = {{2, 2, 2, 2, 6}, {2, 4, 2, 2, 6}, {2, 6, 2, 2, 6}};

const ModelGeometry& GeometryOf(std::span<const ModelGeometry> geometries, int outputs) {
  const auto found = std::ranges::find(geometries, outputs, &ModelGeometry::outputs);
  return found != geometries.end() ? *found : geometries.back();
}

// The firmware version the record carries as three characters from `first`; 0 when they are no
// version ("nan", "-1."): a settings file could not carry it.
float FirmwareOf(const IQDeviceInfo& info, int first) {
  const char* begin = reinterpret_cast<const char*>(info.modelId.data()) + first;
  float version = 0.0f;
  const auto result = std::from_chars(begin, begin + kFirmwareChars, version);
  const bool readable =
      result.ec == std::errc() && version >= 0.0f && version <= kHighestFirmwareVersion;
  return readable ? version : 0.0f;
}

std::string Label(char first, int index) {
  return std::string(1, static_cast<char>(first + index));
}

}  // namespace

// 4-input model.

IQDevice8148::IQDevice8148(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info,
                           int outputCount)
    : IQDeviceOrdavinex(type, manager, info, outputCount) {
  int outs = outputCount;
  if (info) {
    const char digit = static_cast<char>(info->modelId[kModelDigit8148Byte]);
    outs = digit == '8' ? 8 : digit == '7' ? 7 : 6;
    firmwareVersion = FirmwareOf(*info, kModelDigit8148Byte + 1);
  } else if (outs != 8 && outs != 7) {
    outs = 6;
  }
  SetGeometry(GeometryOf(k4InputGeometries, outs));
  if (!info) {
    VirtualDefaults defaults{.firmware = kVirtual8148Firmware,
                             .networkGroupSize = 2,
                             .routing = {},
                             .crosspointDelays = true,
                             .compressors = true,
                             .memoryImageWords = kMemoryImageWords8148};
    for (int o = 0; o < outs; ++o) {
      if (outs == 8) defaults.routing[o] = static_cast<uint8_t>(1 << (o / 2));
      if (outs == 7) defaults.routing[o] = o < 6 ? static_cast<uint8_t>(1 << (o / 2)) : 0b111;
      if (outs == 6) defaults.routing[o] = static_cast<uint8_t>(1 << o);
    }
    InitVirtualUnit(defaults);
  }
  SetModified(false);
  settingsChanged = false;
  parametersReady = true;
}

std::string IQDevice8148::GetChannelLabel(int channel) const {
  const int labelledInputs = outputs == 6 ? 6 : 4;
  if (channel < 0 || channel >= kLabelledChannels8148) return {};
  return channel < labelledInputs ? Label('1', channel) : Label('A', channel - labelledInputs);
}

int IQDevice8148::GetModelBitmapId() const { return outputs == 8 ? 20 : outputs == 7 ? 19 : 21; }

int IQDevice8148::GetModelResourceId() const { return outputs == 8 ? 9 : outputs == 7 ? 10 : 11; }

std::span<const int> IQDevice8148::GetImageOffsetTable() const {
  return outputs == 6 ? kOffsetsC : kOffsetsB;
}

bool IQDevice8148::HasFeature(int feature) const {
  if (!IsOnline()) return true;
  if (feature == 7) return compressorOption;
  return (feature >= 1 && feature <= 6) || feature == 8;
}

FileFilter IQDevice8148::GetFileFilter() const {
  if (outputs == 8) return {"Ordavinex 48 (*.q48)|*.q48", "q48"};
  if (outputs == 7) return {"Ordavinex 37 (*.q37)|*.q37", "q37"};
  return {"Ordavinex 66 (*.q66)|*.q66", "q66"};
}

// 2-input models.

IQDevice8126::IQDevice8126(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info,
                           int outputCount)
    : IQDeviceOrdavinex(type, manager, info, outputCount) {
  int outs = outputCount;
  if (info) {
    const char digit = static_cast<char>(info->modelId[kModelDigit8126Byte]);
    outs = digit == '2' ? 2 : digit == '4' ? 4 : 6;
    firmwareVersion = FirmwareOf(*info, kModelDigit8126Byte + 1);
  } else if (outs != 2 && outs != 4) {
    outs = 6;
  }
  SetGeometry(GeometryOf(k2InputGeometries, outs));
  if (!info) {
    VirtualDefaults defaults{.firmware = kVirtual8126Firmware,
                             .networkGroupSize = outs < 3 ? 2 : outs / 2,
                             .routing = {},
                             .crosspointDelays = false,
                             .compressors = false,
                             .memoryImageWords = kMemoryImageWords8126};
    for (int o = 0; o < outs; ++o)
      defaults.routing[o] = static_cast<uint8_t>(1 << (o / (outs / 2)));
    InitVirtualUnit(defaults);
  }
  SetModified(false);
  settingsChanged = false;
  parametersReady = true;
}

std::string IQDevice8126::GetChannelLabel(int channel) const {
  if (channel < 0 || channel >= kLabelledChannels8126) return {};
  return channel < 2 ? Label('1', channel) : Label('A', channel - 2);
}

int IQDevice8126::GetModelBitmapId() const { return outputs == 6 ? 16 : outputs == 4 ? 17 : 18; }

int IQDevice8126::GetModelResourceId() const { return outputs == 6 ? 4 : outputs == 4 ? 12 : 13; }

std::span<const int> IQDevice8126::GetImageOffsetTable() const { return kOffsetsD; }

bool IQDevice8126::HasFeature(int feature) const {
  if (feature < 1 || feature > 5) return false;
  return !IsOnline() || firmwareVersion >= kFeaturesFirmware;
}

int IQDevice8126::GetDelayCapacity() const {
  return outputs == 2 ? kTwoOutputDelayCapacitySamples : kDelayCapacitySamples;
}

int IQDevice8126::GetMemoryCount() const {
  return firmwareVersion < kMoreMemoriesFirmware ? 12 : 15;
}

FileFilter IQDevice8126::GetFileFilter() const { return {"Ordavinex 2x (*.ov2)|*.ov2|", "ov2"}; }

std::vector<int> FirstOutputsOfModels(int outputs) {
  std::vector<int> starts;
  for (const auto& geometries : {std::span(k4InputGeometries), std::span(k2InputGeometries)}) {
    for (const ModelGeometry& geometry : geometries) {
      if (geometry.outputs == outputs &&
          std::ranges::find(starts, geometry.firstOutput) == starts.end()) {
        starts.push_back(geometry.firstOutput);
      }
    }
  }
  return starts;
}

}  // namespace namespaceOV
