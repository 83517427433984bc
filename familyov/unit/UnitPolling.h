#pragma once

#include <cstddef>
#include <vector>

#include "controls/IdlePoll.h"

class IQDevice;

namespace namespaceOV {

class IQDeviceOrdavinex;

// Something that shows a live value of the unit (a level meter, limiter activity, the DSP load):
// PollOnce makes exactly one bus transaction and shows its result; a bus failure is thrown, not
// shown, so that the unit's poller reports it once for the unit.
class LiveValue {
 public:
  virtual ~LiveValue() = default;
  virtual void PollOnce() = 0;
  // The unit is silent, to this poll or to an earlier action: the value shows unknown until its
  // next poll reads it, never the last reading as if the signal held still.
  virtual void ShowReadingUnknown() = 0;
};

// The idle polling of one unit, owned by its edit window and run from the edit window's idle
// action: one transaction per idle pass, taking the registered live values in turn, so that input
// is served between transactions however many meters are open.
//
// A unit that stops answering gives one error dialog for the unit, not one per meter, and its
// polling backs off (the backoff every poll of the unit shares, `PollUnit`): it pauses before it
// reports, asks again after ever longer pauses, and goes on by itself once the unit answers. A
// virtual unit is never polled. Everything else of the program stays usable meanwhile.
//
// Typical use in a pane: hold a LiveValueRegistration made in the pane's constructor with the
// edit window's Poller(); it unregisters when the pane goes.
class UnitPoller {
 public:
  explicit UnitPoller(IQDeviceOrdavinex& device);
  UnitPoller(const UnitPoller&) = delete;
  UnitPoller& operator=(const UnitPoller&) = delete;

  void Add(LiveValue& value);
  void Remove(LiveValue& value);
  // Polls the next live value in turn; false when there was nothing to poll (none registered,
  // a pause after silence or a virtual unit), so the idle loop may rest.
  bool PollNext();
  // Whether the last poll took the last live value of the round: the unit's other idle watches
  // go once per round, so that they do not slow the meters down.
  bool RoundComplete() const { return next_ >= values_.size(); }
  // The unit fell silent and has not answered since.
  bool Paused() const;
  std::size_t Count() const { return values_.size(); }

 private:
  IQDeviceOrdavinex& device_;
  std::vector<LiveValue*> values_;
  std::size_t next_ = 0;
};

// A live value's place in its unit's poller for as long as this object lives.
class LiveValueRegistration {
 public:
  LiveValueRegistration(UnitPoller& poller, LiveValue& value);
  ~LiveValueRegistration();
  LiveValueRegistration(const LiveValueRegistration&) = delete;
  LiveValueRegistration& operator=(const LiveValueRegistration&) = delete;

 private:
  UnitPoller& poller_;
  LiveValue& value_;
};

// Traffic the COM monitor leaves out of its log while the user asked it to: the idle polling.
class MaskedStretch {
 public:
  explicit MaskedStretch(IQDevice& device);
  ~MaskedStretch();
  MaskedStretch(const MaskedStretch&) = delete;
  MaskedStretch& operator=(const MaskedStretch&) = delete;

 private:
  IQDevice& device_;
};

}  // namespace namespaceOV
