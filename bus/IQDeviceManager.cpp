#include "bus/IQDeviceManager.h"

#include <algorithm>

#include "bus/BusNotifier.h"
#include "bus/IQDevice.h"
#include "bus/IQDeviceType.h"

IQDeviceManager::IQDeviceManager(CommPort& port) : port_(port), encoder_(&port) {}

IQDeviceManager::~IQDeviceManager() = default;

std::vector<IQDeviceManager::Entry>::iterator IQDeviceManager::FindEntry(const IQDevice* device) {
  return std::ranges::find_if(entries_, [&](const Entry& e) { return e.device.get() == device; });
}

std::vector<IQDeviceManager::Entry>::const_iterator IQDeviceManager::FindEntry(
    const IQDevice* device) const {
  return std::ranges::find_if(entries_, [&](const Entry& e) { return e.device.get() == device; });
}

void IQDeviceManager::RollCall(const std::vector<IQDeviceType*>& types,
                               std::vector<IQDevice*>& found, BusNotifier& notifier) {
  std::vector<IQDeviceInfo> records;
  encoder_.RollCall(records);
  RemoveBusDevices();
  for (const IQDeviceInfo& record : records) {
    const bool conflict =
        std::ranges::any_of(entries_, [&](const Entry& e) { return e.device->Matches(record); });
    if (conflict) {
      notifier.ShowMessage(
          "Address conflicts detected.  Please correct and perform roll call again.", "Roll call",
          BusNotifier::Icon::Exclamation);
      return;
    }
    CreateFromRecord(types, record, found);
  }
}

void IQDeviceManager::CreateFromRecord(const std::vector<IQDeviceType*>& types,
                                       const IQDeviceInfo& record, std::vector<IQDevice*>& found) {
  for (IQDeviceType* type : types) {
    std::unique_ptr<IQDevice> device(type->CreateDevice(this, &record));
    if (!device) continue;
    device->SetType(type);
    found.push_back(device.get());
    entries_.push_back({std::move(device), false});
    return;
  }
}

void IQDeviceManager::RemoveBusDevices() {
  std::erase_if(entries_, [](const Entry& e) { return !e.device->GetInfo().IsVirtual(); });
}

IQDevice* IQDeviceManager::Acquire(IQDevice* device) {
  const auto it = FindEntry(device);
  if (it == entries_.end() || it->inUse) return nullptr;
  it->inUse = true;
  return device;
}

void IQDeviceManager::Release(IQDevice* device) {
  if (const auto it = FindEntry(device); it != entries_.end()) it->inUse = false;
}

IQDevice* IQDeviceManager::FindDevice(const IQDeviceInfo& info, const std::string& name) const {
  const auto it = std::ranges::find_if(
      entries_, [&](const Entry& e) { return e.device->MatchesInfoOrName(info, name); });
  return it == entries_.end() ? nullptr : it->device.get();
}

bool IQDeviceManager::AnyUnsaved() const {
  return std::ranges::any_of(entries_, [](const Entry& e) { return e.device->IsUnsaved(); });
}

bool IQDeviceManager::AnyInUse(bool virtualDevices) const {
  return std::ranges::any_of(entries_, [&](const Entry& e) {
    return e.inUse && e.device->GetInfo().IsVirtual() == virtualDevices;
  });
}

bool IQDeviceManager::AnyBusInUse() const { return AnyInUse(false); }

bool IQDeviceManager::AnyVirtualInUse() const { return AnyInUse(true); }

IQDevice* IQDeviceManager::NewVirtualDevice(IQDeviceType* type) {
  std::string name;
  for (int n = 1;; ++n) {
    name = "New Device #" + std::to_string(n);
    if (!FindDevice(type->GetTemplate(), name)) break;
  }
  std::unique_ptr<IQDevice> device(type->CreateDevice(this, nullptr));
  if (!device) return nullptr;
  device->SetName(name);
  entries_.push_back({std::move(device), false});
  return entries_.back().device.get();
}

bool IQDeviceManager::DeleteDevice(IQDevice* device) {
  const auto it = FindEntry(device);
  if (it == entries_.end() || it->inUse) return false;
  entries_.erase(it);
  return true;
}

void IQDeviceManager::RemoveAll() {
  while (!entries_.empty()) {
    entries_.back().device->MarkClosed();
    entries_.pop_back();
  }
}

std::vector<IQDevice*> IQDeviceManager::Devices() const {
  std::vector<IQDevice*> devices;
  for (const Entry& e : entries_) devices.push_back(e.device.get());
  return devices;
}

bool IQDeviceManager::IsInUse(const IQDevice* device) const {
  const auto it = FindEntry(device);
  return it != entries_.end() && it->inUse;
}
