#pragma once

// The user's input made through the X server from inside a bus operation, which the program's
// connection reads and holds until the operation is over, and how a test waits for it.

#include <QPoint>
#include <chrono>
#include <functional>

namespace ui {
class Window;
}

namespace xserver {

// How long after the operation its input may take to take effect. Input that waits for further
// input waits for good, or until something else wakes the event loop (seen: half a minute on, as a
// call to a session bus that is not there times out); no pause a loaded or stopped machine makes
// lasts this long.
inline constexpr std::chrono::seconds kPatience{15};

// The middle of `control`, in the server's screen coordinates.
QPoint CentreOf(ui::Window& control);

// The port's pause inside an operation. The first pause after `during` was set sends the user's
// input with it, and then keeps the operation going until the program's connection has surely
// read that input.
void PauseForInput(std::function<void()>& during);

// Sends the user's input in `during` now, with no operation under way, and waits until the
// program's connection has surely read it: the program takes it in one go with the input made just
// before.
void SendAhead(std::function<void()>& during);

// When the active window loses the keyboard, or goes, Qt's connection waits a moment for another
// window to take it before it says that none has it. A window of the test's takes the keyboard,
// which ends any such wait, and gives it up, and the test waits for Qt's word, so that the wait
// ends within the test.
void LeaveNoFocusWait();

}  // namespace xserver
