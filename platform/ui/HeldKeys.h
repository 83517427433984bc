#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "platform/ui/HeldRepeat.h"

class QKeyEvent;

namespace ui {

// Which window each held key went down in. A key belongs to that window until it is released:
// its auto-repeated presses and its release reach no other window. A message box that closes as
// Enter goes down must not leave Enter's release to the dialog beneath, which would act on a key
// the user never pressed there; likewise a key already held when a window came up. Held keys are
// holds (ui::EndHolds): a key whose hold ended belongs to no window until it is pressed again, so
// that neither its repeats nor its release act after the failure that ended it.
class HeldKeys {
 public:
  // Notes a press or release from the user delivered to `receiver`; false when it belongs to
  // another window (or to none), so that nobody may see it. Releases that only mark an auto-repeat
  // are never admitted: a window sees one press, perhaps repeated, and one release. Key events
  // that code sends on are the sender's business and always admitted.
  bool Admit(const QKeyEvent& e, const QWidget& receiver);

 private:
  struct Held {
    std::uint32_t key;
    QPointer<const QWidget> window;
    bool ended = false;
  };
  std::vector<Held> held_;
  Hold hold_{[this] {
    for (Held& h : held_) h.ended = true;
  }};
};

}  // namespace ui
