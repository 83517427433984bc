#pragma once

#include <string>
#include <vector>

#include "platform/ui/Message.h"
#include "platform/ui/draw/Color.h"
#include "platform/ui/draw/Geometry.h"

class QImage;
class QRect;

namespace ui {
class Window;
}

// Driving the layer from tests on Qt's offscreen platform: every wait is bounded, nothing sleeps.
namespace ui::test {

// Delivers posted messages and deferred deletions, a bounded number of rounds.
void PumpMessages(int rounds = 20);
// Runs idle passes until no idle action asks for more, at most `maxPasses`; returns the passes run.
int PumpIdle(int maxPasses = 100);
// Forgets every idle pass the loop has due, a wake-up that a window asked for included: a test
// that counts passes starts with nothing left over from the one before.
void RestIdle();
// Describes the window timers and the idle wake-up still armed, having dropped them with every
// idle pass due: what a test leaves behind for the next one.
std::vector<std::string> DropLeftovers();
// Timers fire only when the test steps the clock.
void UseManualTimers();
void StepTimers(int ms);

// The control with `id` among the window's descendants; throws when there is none.
Window& ControlOf(Window& root, int id);
// A click on a button, check box, radio button or owner-drawn button, as the user would.
void Click(Window& root, int id);
// Types into an edit as the user would after selecting its text: key by key, through the
// validator and the text limit.
void Type(Window& root, int id, const std::string& text);
// Pastes into an edit (replacing the selection), through the validator.
void Paste(Window& root, int id, const std::string& text);
// A key pressed and released on the window holding the focus (or on `target`).
void PressKey(Window& target, int qtKey, unsigned modifiers = kNoModifier);
// Mouse input on a window, in its client coordinates.
void MouseDown(Window& target, Point p, bool right = false);
void MouseMove(Window& target, Point p);
void MouseUp(Window& target, Point p, bool right = false);
// Where a trackbar's thumb stands, in the slider widget's coordinates.
QRect SliderThumb(Window& trackbar);

// Saves what the window shows as a PNG; false on failure. The file is written whole under another
// name and then renamed, so a reader (another run of the same test, too) never meets half of it.
bool GrabPng(Window& window, const std::string& path);
bool SavePng(const QImage& image, const std::string& path);
// A pixel of what the window shows (its offscreen image for custom-drawn windows).
Color SamplePixel(Window& window, Point p);

}  // namespace ui::test
