#pragma once

#include <memory>

class QEvent;
class QObject;

namespace ui {

// A copy of `e` to post to `receiver` later, carrying the values `e` has now.
//
// A pointer event of Qt's shares its points with the pointing device's live point, which every
// pointer event made after it rewrites: neither QEvent::clone nor a new event made now keeps the
// place of a click that the pointer has left since. A pointer event is therefore kept as its values
// and made anew only as it is delivered, when nothing can come between.
std::unique_ptr<QEvent> CopyForLater(QObject& receiver, const QEvent& e);

}  // namespace ui
