#pragma once

#include <vector>

namespace namespace8100 {

class IQDevice8100;

// The units' audio muted while settings move in bulk. Lift ends it; should a failure end it
// first, the destructor lifts it on every unit that still answers.
class BulkMute {
 public:
  // Mutes the units in the order given; a failure lifts what it muted and passes on.
  explicit BulkMute(std::vector<IQDevice8100*> units);
  ~BulkMute();
  BulkMute(const BulkMute&) = delete;
  BulkMute& operator=(const BulkMute&) = delete;

  void Lift();

 private:
  // Lifts the mute on every unit that answers.
  void Release();

  std::vector<IQDevice8100*> units_;
  bool lifted_ = false;
};

// A bulk transfer that recalls memories: the units muted, and their current settings kept in
// shadow 0 until PutBack. The units' filter lists must be current when it starts. Should a
// failure end it before PutBack, the destructor puts the settings back as far as each unit lets
// it, and then lifts the mute, so no unit is left muted or on a recalled memory.
class BulkTransfer {
 public:
  explicit BulkTransfer(std::vector<IQDevice8100*> units);
  ~BulkTransfer();
  BulkTransfer(const BulkTransfer&) = delete;
  BulkTransfer& operator=(const BulkTransfer&) = delete;

  // Each unit's settings and filters as they were at the start.
  void PutBack();
  // The settings as they now stand are the ones wanted: nothing is put back.
  void Keep() { putBack_ = true; }
  void Unmute() { mute_.Lift(); }
  // After a failure: puts each unit's settings back and lifts the mute, as far as the units
  // answer; whether all of it was done.
  bool Recover();

 private:
  std::vector<IQDevice8100*> units_;
  BulkMute mute_;
  bool putBack_ = false;
};

// Lifts the unit's mute after a failure that came before any bulk transfer began; whether the
// unit answered.
bool TryLiftMute(IQDevice8100& unit);

}  // namespace namespace8100
