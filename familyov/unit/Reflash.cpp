#include "familyov/unit/Reflash.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

#include "controls/TProgressDialog.h"
#include "familycommon/IntelHex.h"
#include "familycommon/ReflashFlow.h"
#include "familyov/unit/FlagWait.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/OrdavinexTypes.h"
#include "familyov/unit/ParameterTable.h"

namespace namespaceOV {
namespace {

using familycommon::Firmware;
using familycommon::HexRecord;
using familycommon::IgnoringBusFailure;

constexpr int kFirstNewMemory = 13;
constexpr int kLastNewMemory = 15;
// The newer family's model record carries the firmware version after the re-initialise flag.
constexpr familycommon::HexRules kHexRules{.modelRecordBytes = 4};

// Firmware that brings memories 13 to 15 to a 2-input unit that had 12.
bool BringsNewMemories(const IQDeviceOrdavinex& device, const Firmware& firmware) {
  return device.GetInfo().familyCode == kFamilyCode2Input &&
         firmware.versionTenths / 10.0f >= IQDevice8126::kMoreMemoriesFirmware &&
         device.firmwareVersion < IQDevice8126::kMoreMemoriesFirmware;
}

// The unit's side of a reflash, step by step, with the progress dialog moving along.
class FirmwareSender : public familycommon::FirmwareSteps {
 public:
  explicit FirmwareSender(IQDeviceOrdavinex& device) : device_(device) {}

  void PrepareErase() override { gFlashEnableObject.Write(device_, true); }

  void Program(const Firmware& firmware, TProgressDialog& progress) override {
    progress_ = &progress;
    gFlashEraseObject.Write(device_, true);
    WaitReady(device_);
    progress.SetText("Reprogramming ...");
    gFlashAddressObject.Write(device_, 0);
    for (std::size_t i = 0; i < firmware.records.size(); ++i) {
      progress.SetValue(static_cast<int>(i));
      Send(firmware.records[i]);
    }
    if (firmware.reinitialise) {
      gInitializeObject.Write(device_, 1);
      WaitReady(device_);
    }
    Reboot(firmware.reinitialise);
    if (BringsNewMemories(device_, firmware)) InitMemoryNames(device_);
  }

 private:
  void Reboot(bool reinitialise) {
    IgnoringBusFailure([this] { gResetObject.Write(device_, true); });
    if (reinitialise) {
      progress_->SetText("Initializing...");
      WaitReady(device_);
      progress_->SetText("Rebooting...");
      IgnoringBusFailure([this] { gResetObject.Write(device_, true); });
    }
    WaitReady(device_);
  }

  void Send(const HexRecord& record) {
    switch (record.type) {
      case familycommon::kHexUpperAddress:
        gFlashAddressObject.Write(device_, (uint32_t{record.data[0]} << 8 | record.data[1]) << 16);
        break;
      case familycommon::kHexData:
        SendData(record.data);
        break;
      case familycommon::kHexEndOfFile:
        progress_->SetText("Rebooting...");
        break;
      default:
        break;
    }
  }

  // The unit places each block after the one before, so a record longer than the data object
  // goes as several blocks. The count goes only when it changes.
  void SendData(std::span<const uint8_t> data) {
    const std::size_t most = static_cast<std::size_t>(gFlashDataObject.ElementSize());
    while (!data.empty()) {
      const std::span<const uint8_t> block = data.first(std::min(most, data.size()));
      if (block.size() != lastCount_) {
        gFlashCountObject.Write(device_, static_cast<uint8_t>(block.size()));
        lastCount_ = block.size();
      }
      gFlashDataObject.WriteBlock(device_, block);
      data = data.subspan(block.size());
    }
  }

  IQDeviceOrdavinex& device_;
  TProgressDialog* progress_ = nullptr;
  std::size_t lastCount_ = 0;
};

}  // namespace

void ReflashUnit(IQDeviceOrdavinex& device, ui::Window* owner) {
  FirmwareSender sender(device);
  familycommon::ReflashUnit(
      device.GetInfo().familyCode, kHexRules, sender,
      [&device](const IQException& e) { ReportCommError(e, device); }, owner);
}

void InitMemoryNames(IQDeviceOrdavinex& device) {
  try {
    for (int memory = kFirstNewMemory; memory <= kLastNewMemory; ++memory) {
      gMemoryNameObject.SetElement(memory - 1);
      gMemoryNameObject.Write(device, "Memory " + std::to_string(memory));
      gSaveMemoryObject.SaveMemory(device, static_cast<uint8_t>(memory));
    }
  } catch (const IQException& e) {
    ReportCommError(e, device);
  }
}

}  // namespace namespaceOV
