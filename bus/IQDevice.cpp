#include "bus/IQDevice.h"

#include "bus/ComMonitor.h"
#include "bus/IQDeviceManager.h"
#include "bus/IQDeviceType.h"
#include "bus/IQException.h"
#include "bus/UCodeEncoder.h"
#include "bus/UCodeObject.h"

IQDevice::IQDevice(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info)
    : transport_(manager ? &manager->GetEncoder() : nullptr), type_(type), manager_(manager) {
  SetInfo(info ? *info : type ? type->GetTemplate() : IQDeviceInfo());
}

void IQDevice::SetInfo(const IQDeviceInfo& info) {
  info_ = info;
  online_ = info.address < IQDeviceInfo::kVirtualAddress;
}

bool IQDevice::IsUnsaved() const { return modified_ && !online_; }

bool IQDevice::Matches(const IQDeviceInfo& info) const {
  return info.address == info_.address && info.familyCode == info_.familyCode &&
         info.network == info_.network;
}

std::string IQDevice::GetTypeName() const { return type_ ? type_->GetName() : std::string(); }

bool IQDevice::Open(ui::Window* parent) {
  open_ = DoOpen(parent);
  return open_;
}

void IQDevice::Close() {
  if (manager_) manager_->Release(this);
}

std::string IQDevice::GetName() const {
  if (name_) return *name_;
  if (online_) return std::to_string(info_.address);
  return {};
}

bool IQDevice::GetListText(std::string&) const { return false; }

std::string IQDevice::ListTextOrName() const { return ListTextOrName(GetName()); }

std::string IQDevice::ListTextOrName(const std::string& unanswered) const {
  std::string text;
  try {
    return GetListText(text) ? text : GetName();
  } catch (const IQException&) {
    return unanswered;
  }
}

std::string IQDevice::GetErrorText(int code) const {
  return "Error object code " + std::to_string(code);
}

uint8_t& IQDevice::StaleFlag(const UCodeObject& object) {
  auto& flags = stale_[object.GetId()];
  // The selected element always lies within the object's count.
  const auto count = static_cast<std::size_t>(object.GetCount());
  if (flags.size() < count) flags.resize(count, 1);
  return flags[static_cast<std::size_t>(object.GetElement())];
}

template <typename Work>
auto IQDevice::Traced(const UCodeObject& object, Work work) -> decltype(work()) {
  try {
    return work();
  } catch (IQException& failure) {
    failure.RecordRequest(*this, object);
    throw;
  }
}

void IQDevice::Write(const UCodeObject& object, std::span<const uint8_t> data, int timeoutMs) {
  try {
    DoWrite(object, data, timeoutMs);
  } catch (const IQException&) {
    ++writesNotMade_;
    throw;
  }
}

void IQDevice::DoWrite(const UCodeObject& object, std::span<const uint8_t> data, int timeoutMs) {
  Traced(object, [&] {
    // Refused before it reaches the unit: the store could not keep it, and unit and store would
    // part.
    if (data.size() > static_cast<std::size_t>(object.ElementSize())) throw ValueTooLong();
    modified_ = true;
    if (online_) {
      current_ = transport_;
      try {
        transport_->Set(*this, object, data, timeoutMs);
      } catch (const ErrorObject&) {
        throw;
      } catch (const IQException&) {
        // Whatever the unit did, the store no longer speaks for it.
        StaleFlag(object) = 1;
        inDoubt_ = true;
        ++unansweredWrites_;
        throw;
      }
    }
    current_ = &store_;
    store_.Set(*this, object, data, timeoutMs);
    if (online_) StaleFlag(object) = object.IsVolatile();
  });
}

void IQDevice::Request(const UCodeObject& object, int timeoutMs) {
  Traced(object, [&] {
    if (online_ && StaleFlag(object)) {
      current_ = transport_;
      DoubtIfUnanswered([&] { transport_->Get(*this, object, timeoutMs); });
    } else {
      current_ = &store_;
      store_.Get(*this, object, timeoutMs);
    }
  });
}

bool IQDevice::Fetch(const UCodeObject& object, std::vector<uint8_t>& data) {
  return Traced(object, [&] {
    if (!online_ || !StaleFlag(object)) {
      current_ = &store_;
      return store_.Receive(data);
    }
    current_ = transport_;
    bool accepted = false;
    DoubtIfUnanswered([&] { accepted = transport_->Receive(data); });
    if (!accepted) return false;
    // The read refuses a reply too short for its value; kept, it would be served as one from then
    // on.
    if (data.size() < static_cast<std::size_t>(object.MinReplyBytes())) return true;
    current_ = &store_;
    store_.Set(*this, object, data, 0);
    StaleFlag(object) = object.IsVolatile();
    return true;
  });
}

void IQDevice::DoubtIfUnanswered(const std::function<void()>& exchange) {
  try {
    exchange();
  } catch (const ErrorObject&) {
    throw;
  } catch (const IQException&) {
    inDoubt_ = true;
    throw;
  }
}

bool IQDevice::FetchOrTellLostAllocation(const UCodeObject& object) {
  try {
    return Fetch(object, fetched_);
  } catch (const ErrorObject&) {
    // A refusal allocated nothing.
    throw;
  } catch (const IQException&) {
    if (object.ReadAllocates()) AllocationUnanswered();
    throw;
  }
}

std::span<const uint8_t> IQDevice::ReadValue(const UCodeObject& object, int timeoutMs) {
  for (int refusals = 0; refusals < kMaxNotAcceptedReplies; ++refusals) {
    Request(object, timeoutMs);
    if (FetchOrTellLostAllocation(object)) return fetched_;
  }
  DeviceBusy busy;
  busy.RecordRequest(*this, object);
  throw busy;
}

void IQDevice::BestEffort(const std::function<void()>& command) {
  try {
    command();
  } catch (const IQException&) {
  }
}

void IQDevice::MaskMonitor() {
  if (ComMonitor* monitor = transport_ ? transport_->GetMonitor() : nullptr) monitor->BeginMask();
}

void IQDevice::UnmaskMonitor() {
  if (ComMonitor* monitor = transport_ ? transport_->GetMonitor() : nullptr) monitor->EndMask();
}

void IQDevice::SetObjectCount(int objectCount) {
  stale_.Clear();
  store_.SetObjectCount(objectCount);
}

bool IQDevice::MatchesInfoOrName(const IQDeviceInfo& info, const std::string& name) const {
  if (info.IsVirtual()) return info.familyCode == info_.familyCode && name_ && *name_ == name;
  return info.address == info_.address && info.familyCode == info_.familyCode;
}
