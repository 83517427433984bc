#pragma once

#include <QPointer>
#include <memory>
#include <vector>

class QEvent;
class QObject;

namespace ui {

// Keeps the windows painted while a long operation holds the message loop (bus work, mostly)
// without letting anything else run in the middle of it.
//
// Run handles the window system's paint and expose events now. Whatever else could run the
// program's code waits until the operation has returned to the loop: timers, posted messages and
// calls, idle passes, focus changes and user input are held back and queued again, in their order,
// when Run ends (the next Run holds them again); a window the user closes meanwhile closes once the
// operation is over, as if asked then; a custom-drawn window shows what it drew last and draws anew
// after the operation. Input the window system still keeps is delivered once the operation returns
// to the loop, with no further input needed. Input held or queued again keeps the values the window
// system gave it: a click acts where it was made, wherever the pointer has gone since. Run does
// nothing when it is called from inside itself.
//
// What Run held comes before the user's input that the window system delivers after Run: such
// input waits behind it. A focus change the operation brought about would otherwise reach a button
// between the press and the release of a click and cancel it, and a refresh the operation posted
// would empty a list after the click chose its row.
class PaintOnlyLoop {
 public:
  PaintOnlyLoop();
  ~PaintOnlyLoop();
  PaintOnlyLoop(const PaintOnlyLoop&) = delete;
  PaintOnlyLoop& operator=(const PaintOnlyLoop&) = delete;

  void Run();
  bool Running() const { return running_; }
  // Marks posted and not yet arrived: at most one for each operation's release, however many
  // pauses it made.
  int MarksOut() const { return marksOut_; }
  // The layer's event entry asks this first, for every event: true when the event was held back
  // or refused and must not be delivered now.
  bool Intercept(QObject* receiver, QEvent* e);

 private:
  struct Held {
    QPointer<QObject> receiver;
    std::unique_ptr<QEvent> event;
    bool closes = false;
  };
  void Hold(QObject* receiver, const QEvent& e);
  void HoldClose(QObject* receiver);
  void Release();
  // Posts a copy of the event behind what is queued, then a mark whose arrival says that all
  // before it has arrived.
  void Queue(QObject* receiver, const QEvent& e);
  void PostMark();

  std::vector<Held> held_;
  bool running_ = false;
  // Marks posted and not yet arrived: released events may still be on their way.
  int marksOut_ = 0;
};

// The application's paint-only loop, for code that knows nothing of the application object (the
// bus's pause hook, the progress dialog); does nothing without an application.
void PaintPending();
// True while the paint-only loop runs: drawing code of the program's own must not run now.
bool PaintingOnly();

}  // namespace ui
