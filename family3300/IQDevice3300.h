#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "bus/IQDevice.h"
#include "family3300/Parameters3300.h"
#include "familycommon/AnswerWait.h"

// A graphic-equaliser unit, "3300XL" (channel A) or "3300-2XL" (channels A and B), on the bus or
// virtual. Windows, files, report and copy reach the unit only through the family's parameter
// objects (Parameters3300.h) and the operations here.
namespace namespace3300 {

inline constexpr uint32_t kFamilyCode3300 = 1520;

enum class Model3300 { kOneChannel, kTwoChannel };

// One channel's 33 bytes, in this order: 28 band values (band 1 first), high-pass index, low-pass
// index, gain, mute (0 or 1), equaliser in (0 or 1). Channel A fills bytes 0-32, channel B bytes
// 33-65; the last 14 bytes are never used.
inline constexpr std::size_t kChannelImageBytes = 33;
using SettingsImage = std::array<uint8_t, 80>;

enum class MemoryOperation : uint8_t { kStore = 0, kRecall = 1 };
enum class SnapshotMode { kRead, kWrite };

class IQDevice3300 : public IQDevice {
 public:
  // Without `info` a virtual unit of `model` with the defaults in its current settings and in all
  // ten memories, unlocked and not modified. With `info` a bus unit.
  IQDevice3300(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info,
               Model3300 model);
  ~IQDevice3300() override;

  // Opens the unit's edit window, which the device keeps until the next opening.
  bool DoOpen(ui::Window* parent) override;
  bool ShowOpenWindow() override;
  // The edit window while it is open, else null.
  ui::Window* EditWindow() const;
  // Load, save and report refuse a locked unit (or one whose lock cannot be read) before any
  // dialog. A load checks the whole file before it writes anything; a save clears the unsaved mark
  // only once the file is written; a report lists the memories ticked in the print options.
  bool LoadFile() override;
  bool SaveFile() override;
  bool PrintReport() override;
  // Takes the settings of another unit of the same model and the memories ticked in the copy
  // options; refuses other families and models, and locked units (destination first).
  bool CopyFrom(IQDevice& source) override;
  // A bus unit: "(address) " and its name, or "(address) LOCKED"; a virtual unit has none.
  bool GetListText(std::string& text) const override;
  std::string GetErrorText(int code) const override;

  bool IsTwoChannel() const { return model_ == Model3300::kTwoChannel; }
  int ChannelCount() const { return IsTwoChannel() ? 2 : 1; }
  Model3300 GetModel() const { return model_; }

  // Stores the current settings into, or recalls them from, the memory `g3300MemoryNumber`
  // names: a bus unit does it itself, a virtual unit with its memory images.
  void ExecuteMemoryOperation(MemoryOperation operation);
  // Sets `g3300MemoryNumber` to `number` (1..10), then the operation.
  void UseMemory(int number, MemoryOperation operation);
  // kRead fills the image from the current settings, kWrite sets them from it. Only the unit's
  // channels are read or written; a one-channel unit leaves bytes 33-79 alone.
  void SnapshotSettings(SettingsImage& image, SnapshotMode mode);
  // The lock flag; a bus failure passes on.
  bool IsLocked();

  // A virtual unit's memory image `number` (1..10).
  const SettingsImage& MemoryImage(int number) const;

  // How long a save, report, load or copy waits for the unit to answer again, once it falls
  // silent, before it gives up putting the unit back, and on which clock; a copy waits within its
  // destination's.
  void SetAnswerBound(familycommon::AnswerBound bound) { answerBound_ = std::move(bound); }
  const familycommon::AnswerBound& GetAnswerBound() const { return answerBound_; }

 private:
  void SetVirtualDefaults();
  // A virtual unit's memories.
  void StoreMemory();
  void RecallMemory();

  Model3300 model_;
  std::array<SettingsImage, kMemoryCount> memories_{};
  std::unique_ptr<ui::Window> editWindow_;
  familycommon::AnswerBound answerBound_;
};

}  // namespace namespace3300
