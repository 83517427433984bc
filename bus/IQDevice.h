#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "bus/IQDeviceInfo.h"
#include "bus/ObjectIdTable.h"
#include "bus/PollBackoff.h"
#include "bus/UCodeHeap.h"

class IQDeviceManager;
class IQDeviceType;
class UCodeEncoder;
class UCodeObject;
namespace ui {
class Window;
}

// A unit on the bus, or a virtual unit that lives only in the program. It decides for every value
// whether it goes to the unit, to its own store or both: a value written to a unit is kept in the
// store too, a non-volatile value read once is served from the store after that, and a virtual
// device only ever uses its store.
class IQDevice {
 public:
  // Without `info` the device is virtual and takes the type's template.
  IQDevice(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info);
  virtual ~IQDevice() = default;
  IQDevice(const IQDevice&) = delete;
  IQDevice& operator=(const IQDevice&) = delete;

  // The family creates the device's edit window under `parent`; true when it opened.
  virtual bool DoOpen(ui::Window* parent) = 0;
  virtual bool LoadFile() = 0;
  virtual bool SaveFile() = 0;
  virtual bool PrintReport() = 0;
  // Whether `source`'s settings can be copied onto this device; when not, says why. Asked before
  // the user confirms a copy, so that no copy is confirmed that is then refused.
  virtual bool AcceptsCopyFrom(IQDevice& /*source*/) { return true; }
  // Copies the settings of another device of the family.
  virtual bool CopyFrom(IQDevice& source) = 0;
  // Brings the window in which the device is open to the top; false when there is none.
  virtual bool ShowOpenWindow() { return false; }

  // Modified since the last save; a bus unit never is, its values live in the unit.
  virtual bool IsUnsaved() const;
  // Same address, family code and network.
  virtual bool Matches(const IQDeviceInfo& info) const;
  virtual std::string GetTypeName() const;
  virtual uint8_t GetNetwork() const { return info_.network; }
  virtual bool Open(ui::Window* parent);
  // Gives the device back to the manager.
  virtual void Close();
  // The longest name the user can give a device in the program's device list.
  static constexpr std::size_t kMaxNameChars = 79;
  virtual void SetName(const std::string& name) { name_ = name; }
  // The name when set; else the address of a bus unit; else empty.
  virtual std::string GetName() const;
  // The text of the device in the bus list; the base has none.
  virtual bool GetListText(std::string& text) const;
  // The list text, else the name, also when the unit does not answer the list text's read.
  std::string ListTextOrName() const;
  // The same, but `unanswered` when the unit does not answer the read.
  std::string ListTextOrName(const std::string& unanswered) const;
  virtual std::string GetErrorText(int code) const;

  // Writes through the family's DoWrite; a write not made, whatever stopped it, is counted
  // (WritesNotMade).
  void Write(const UCodeObject& object, std::span<const uint8_t> data, int timeoutMs);
  virtual void Request(const UCodeObject& object, int timeoutMs);
  // False when the unit did not accept and the value must be requested again.
  virtual bool Fetch(const UCodeObject& object, std::vector<uint8_t>& data);
  // Requests the value and fetches it until the device accepts. Throws `DeviceBusy` after
  // `kMaxNotAcceptedReplies` refusals; data of refused replies is never kept. The bytes stay
  // valid until the next read: every read goes through one buffer, so none allocates.
  std::span<const uint8_t> ReadValue(const UCodeObject& object, int timeoutMs);
  // A read that makes the unit allocate (a new filter's slot) went out and no value came back,
  // though the unit did not refuse it: the unit may hold what it allocated, and the program never
  // learns its number, since such a read is never asked again nor answered by a late reply. The
  // family finds it once the unit answers.
  virtual void AllocationUnanswered() {}
  // A write whose answer never came may have been carried out all the same (a unit that stalls
  // keeps the request and acts on it later; a reply can be lost after the unit acted), so the unit
  // is in doubt: what it holds is read again, and every window that shows it told, once it answers.
  // A refusal is the unit saying no and leaves no doubt. A read that goes unanswered leaves the
  // unit in doubt as well: the window that asked shows unknown, and nothing else would ever fill
  // it, nor keep a change to one of its controls from taking the others' unknowns as values.
  // Each family reads its unit again in its own way; the doubt itself is kept here, for every
  // read and write of every family.
  bool InDoubt() const { return inDoubt_; }
  // Ends the doubt as a read again begins: a write of that read which is not answered either
  // brings it back.
  void TakeDoubt() { inDoubt_ = false; }
  void MarkInDoubt() { inDoubt_ = true; }
  // How many writes have gone unanswered since the program started, on any unit: an entry or a
  // command compares the count before and after to tell silence from a refusal.
  static unsigned long UnansweredWrites() { return unansweredWrites_; }
  // How many writes were not made since the program started, on any unit: refused, unanswered, or
  // stopped before they went out (a unit silent at a read the write waits on first). An idle pass
  // compares the count before and after to tell a write of its own that failed, which is news,
  // from the silence told before it began.
  static unsigned long WritesNotMade() { return writesNotMade_; }
  virtual void MaskMonitor();
  virtual void UnmaskMonitor();

  // Forgets which values are current (every element is read from the unit again) and sizes the
  // store for `objectCount` object ids.
  void SetObjectCount(int objectCount);
  void SetInfo(const IQDeviceInfo& info);
  // A virtual device is known by family code and name; a bus unit by address and family code.
  bool MatchesInfoOrName(const IQDeviceInfo& info, const std::string& name) const;
  void MarkClosed() { open_ = false; }

  const IQDeviceInfo& GetInfo() const { return info_; }
  bool IsOnline() const { return online_; }
  bool IsOpen() const { return open_; }
  bool IsModified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }
  IQDeviceType* GetType() const { return type_; }
  void SetType(IQDeviceType* type) { type_ = type; }
  IQDeviceManager* GetManager() const { return manager_; }
  // The socket that served the last write, request or fetch; error reports name its last device
  // and object.
  const IQDataSocket* CurrentSocket() const { return current_; }
  // Shared by every window that polls the unit while idle.
  PollBackoff& IdlePolling() { return idlePolling_; }
  const PollBackoff& IdlePolling() const { return idlePolling_; }

 protected:
  // What a write does; a family adds its own steps before it. Data longer than the object's
  // element is refused with `ValueTooLong` before anything changes.
  virtual void DoWrite(const UCodeObject& object, std::span<const uint8_t> data, int timeoutMs);
  // Sends a command that finishes what an unanswered allocation left on the unit (frees a slot it
  // holds for nothing, starts a filter it moved): the program holds the same whatever the unit
  // answers, so a refusal or a missing answer is neither thrown nor told.
  void BestEffort(const std::function<void()>& command);

 private:
  uint8_t& StaleFlag(const UCodeObject& object);
  // Runs one exchange with the unit; a failure other than a refusal leaves the unit in doubt.
  void DoubtIfUnanswered(const std::function<void()>& exchange);
  // Fetches into the read buffer; an allocating read that fails unrefused is told to the family.
  bool FetchOrTellLostAllocation(const UCodeObject& object);
  // Runs a request of `object`; a failure leaves it named in the exception.
  template <typename Work>
  auto Traced(const UCodeObject& object, Work work) -> decltype(work());

  UCodeEncoder* transport_;
  UCodeHeap store_;
  IQDataSocket* current_ = nullptr;
  std::vector<uint8_t> fetched_;
  // Per object id, one flag per element; an empty entry means every element is stale. Kept for a
  // bus unit only: a virtual device's store is all the unit there is.
  ObjectIdTable<std::vector<uint8_t>> stale_;
  std::optional<std::string> name_;
  bool modified_ = false;
  IQDeviceType* type_;
  IQDeviceInfo info_;
  IQDeviceManager* manager_;
  bool online_ = false;
  bool open_ = false;
  bool inDoubt_ = false;
  static inline unsigned long unansweredWrites_ = 0;
  static inline unsigned long writesNotMade_ = 0;
  PollBackoff idlePolling_;
};
