#include "family3300/IQDevice3300.h"

#include "family3300/Labels3300.h"
#include "family3300/Parameters3300.h"
#include "familycommon/UnitErrorTexts.h"
// The device owns its edit window while it is open.
#include "platform/ui/Window.h"

namespace namespace3300 {

namespace {

constexpr const char* kDefaultName = "---------";

std::size_t ChannelOffset(int channel) {
  return static_cast<std::size_t>(channel) * kChannelImageBytes;
}

}  // namespace

IQDevice3300::IQDevice3300(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info,
                           Model3300 model)
    : IQDevice(type, manager, info), model_(model) {
  SetObjectCount(kObjectIdCount);
  if (!IsOnline()) {
    SetVirtualDefaults();
    SetModified(false);
  }
}

bool IQDevice3300::GetListText(std::string& text) const {
  if (!IsOnline()) return false;
  // Reading the unit only fills the value store; the device stays as it was otherwise.
  auto& self = const_cast<IQDevice3300&>(*this);
  const std::string address = "(" + std::to_string(GetInfo().address) + ")";
  text = g3300Lock.Read(self) ? address + " LOCKED" : address + " " + g3300UnitName.Read(self);
  return true;
}

std::string IQDevice3300::GetErrorText(int code) const { return familycommon::UnitErrorText(code); }

bool IQDevice3300::IsLocked() { return g3300Lock.Read(*this); }

void IQDevice3300::ExecuteMemoryOperation(MemoryOperation operation) {
  if (IsOnline()) {
    g3300MemoryAccess.Write(*this, static_cast<uint8_t>(operation));
  } else if (operation == MemoryOperation::kRecall) {
    RecallMemory();
  } else {
    StoreMemory();
  }
}

void IQDevice3300::UseMemory(int number, MemoryOperation operation) {
  g3300MemoryNumber.Write(*this, static_cast<uint8_t>(number));
  ExecuteMemoryOperation(operation);
}

void IQDevice3300::SnapshotSettings(SettingsImage& image, SnapshotMode mode) {
  for (int channel = 0; channel < ChannelCount(); ++channel) {
    const ChannelObjects& objects = Channel3300(channel);
    uint8_t* bytes = image.data() + ChannelOffset(channel);
    const std::array<const ByteUCodeObject*, 3> corners = {&objects.hpf, &objects.lpf,
                                                           &objects.gain};
    if (mode == SnapshotMode::kRead) {
      for (int band = 0; band < kBandCount; ++band) *bytes++ = objects.bands[band].Read(*this);
      for (const ByteUCodeObject* object : corners) *bytes++ = object->Read(*this);
      *bytes++ = objects.mute.Read(*this) ? 1 : 0;
      *bytes = objects.eqIn.Read(*this) ? 1 : 0;
    } else {
      for (int band = 0; band < kBandCount; ++band) objects.bands[band].Write(*this, *bytes++);
      for (const ByteUCodeObject* object : corners) object->Write(*this, *bytes++);
      objects.mute.Write(*this, *bytes++ != 0);
      objects.eqIn.Write(*this, *bytes != 0);
    }
  }
}

const SettingsImage& IQDevice3300::MemoryImage(int number) const {
  return memories_.at(static_cast<std::size_t>(number - 1));
}

void IQDevice3300::SetVirtualDefaults() {
  for (const StringUCodeObject& name : g3300MemoryName) name.Write(*this, kDefaultName);
  g3300UnitName.Write(*this, kDefaultName);
  for (int channel = 0; channel < ChannelCount(); ++channel) {
    const ChannelObjects& objects = Channel3300(channel);
    for (const ByteUCodeObject& band : objects.bands) band.Write(*this, kFlatBandLevel);
    objects.lpf.Write(*this, 0);
    objects.hpf.Write(*this, 0);
    objects.gain.Write(*this, 0);
    objects.mute.Write(*this, false);
    objects.eqIn.Write(*this, true);
  }
  for (int number = 1; number <= kMemoryCount; ++number) {
    UseMemory(number, MemoryOperation::kStore);
  }
  g3300Lock.Write(*this, false);
}

void IQDevice3300::StoreMemory() {
  const int number = g3300MemoryNumber.Read(*this);
  // Only this family's code sets the number, always to 1..10; anything else selects nothing.
  if (number < 1 || number > kMemoryCount) return;
  SnapshotSettings(memories_[static_cast<std::size_t>(number - 1)], SnapshotMode::kRead);
}

void IQDevice3300::RecallMemory() {
  const int number = g3300MemoryNumber.Read(*this);
  if (number < 1 || number > kMemoryCount) return;
  SnapshotSettings(memories_[static_cast<std::size_t>(number - 1)], SnapshotMode::kWrite);
}

}  // namespace namespace3300
