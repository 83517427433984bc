#pragma once

#include <functional>

namespace ui {

class Window;

// A press that goes on acting for as long as the user holds it: a spin button's repeat, a slider's
// track, an arrow button, a key. Its control begins the hold at the press and lets it go at the
// release. EndHolds ends every hold in progress at once, the way a failure must: a box that opens
// takes the release, and a hand still down would otherwise go on stepping behind it.
class Hold {
 public:
  // `stop` is what the control does when its hold is ended before the user lets go.
  explicit Hold(std::function<void()> stop);
  ~Hold();
  Hold(const Hold&) = delete;
  Hold& operator=(const Hold&) = delete;

  void Begin();
  void LetGo();
  bool IsHeld() const { return held_; }

 private:
  friend void EndHolds();
  std::function<void()> stop_;
  bool held_ = false;
};

// Ends every hold in progress: none acts again until the user presses anew.
void EndHolds();

// A held press repeated on its window's timer: the first repeat after `delayMs`, then one every
// `intervalMs`, for as long as the hold lives. It takes the window's timer messages.
class HeldRepeat {
 public:
  struct Pace {
    int delayMs;
    int intervalMs;
  };
  // `stop` as for Hold; the repeat itself is stopped already.
  HeldRepeat(Window& window, int timerId, Pace pace, std::function<void()> stop = {});
  ~HeldRepeat() { LetGo(); }
  HeldRepeat(const HeldRepeat&) = delete;
  HeldRepeat& operator=(const HeldRepeat&) = delete;

  // Holds, and calls `step` at every repeat until the hold ends.
  void Begin(std::function<void()> step);
  void LetGo();
  bool IsHeld() const { return hold_.IsHeld(); }

 private:
  void Repeat();

  Window& window_;
  int timerId_;
  Pace pace_;
  std::function<void()> stop_;
  std::function<void()> step_;
  bool delayed_ = false;
  Hold hold_;
};

}  // namespace ui
