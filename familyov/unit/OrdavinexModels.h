#pragma once

#include <vector>

#include "familyov/unit/IQDeviceOrdavinex.h"

namespace namespaceOV {

// A unit's firmware version is three characters of its model record: at most 999.
inline constexpr float kHighestFirmwareVersion = 999.0f;

// Where the outputs begin on the models with `outputs` outputs, each place once.
std::vector<int> FirstOutputsOfModels(int outputs);

// The 4-input, 8-output model (the class also knows a 3 x 7 and a 6 x 6 configuration by the
// output digit of its record: '8', '7', anything else).
class IQDevice8148 : public IQDeviceOrdavinex {
 public:
  static constexpr DspCapacity kCapacity{.capacity = 820,
                                         .baseCost = 188,
                                         .parametricSectionCost = 4,
                                         .otherSectionCost = 5,
                                         .limiterCost = 167,
                                         .pinkNoiseCost = 0,
                                         .maxFilterRecords = 158,
                                         .crosspointDelays = true};
  static constexpr int kDelayCapacitySamples = 216000;
  static constexpr int kMemoryCount = 8;

  // Without `info` a virtual unit with `outputCount` outputs; with it the record decides.
  IQDevice8148(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info,
               int outputCount);

  bool DoOpen(ui::Window* parent) override;
  std::string GetChannelLabel(int channel) const override;
  int GetModelBitmapId() const override;
  int GetModelResourceId() const override;
  std::span<const int> GetImageOffsetTable() const override;
  bool HasFeature(int feature) const override;
  int GetDelayCapacity() const override { return kDelayCapacitySamples; }
  int GetMemoryCount() const override { return kMemoryCount; }
  FileFilter GetFileFilter() const override;
  const DspCapacity& Capacity() const override { return kCapacity; }

  bool compressorOption = false;
};

// The 2-input models: 8122, 8124 and 8126 by their 2, 4 or 6 outputs.
class IQDevice8126 : public IQDeviceOrdavinex {
 public:
  static constexpr DspCapacity kCapacity{.capacity = 746,
                                         .baseCost = 346,
                                         .parametricSectionCost = 4,
                                         .otherSectionCost = 5,
                                         .limiterCost = 136,
                                         .pinkNoiseCost = 47,
                                         .maxFilterRecords = 100,
                                         .crosspointDelays = false};
  static constexpr int kDelayCapacitySamples = 216000;
  static constexpr int kTwoOutputDelayCapacitySamples = 37000;
  // Firmware from which the unit keeps 15 memories instead of 12.
  static constexpr float kMoreMemoriesFirmware = 1.5f;
  // Firmware from which features 1 to 5 are present.
  static constexpr float kFeaturesFirmware = 1.2f;

  IQDevice8126(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info,
               int outputCount);

  bool DoOpen(ui::Window* parent) override;
  std::string GetChannelLabel(int channel) const override;
  int GetModelBitmapId() const override;
  int GetModelResourceId() const override;
  std::span<const int> GetImageOffsetTable() const override;
  bool HasFeature(int feature) const override;
  int GetDelayCapacity() const override;
  int GetMemoryCount() const override;
  FileFilter GetFileFilter() const override;
  const DspCapacity& Capacity() const override { return kCapacity; }
};

}  // namespace namespaceOV
