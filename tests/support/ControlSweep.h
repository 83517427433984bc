#pragma once

// Tables that change every control of every window of a family, under each way a unit fails a
// write, and then hold the open windows against freshly opened ones. The walk knows the platform's
// and the shared controls' kinds; a family says only which windows to open, what to type into its
// fields and which controls open a dialog of their own rather than write.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ui {
class Window;
}

namespace testsupport {

// What `root` shows the user: a line per control below it, in creation order, with its id, its
// kind and its value (text, tick, position, selection, lamp, a tree's items), greyed and hidden
// ones marked. Meters and other live readings are left out: they move between two looks at an
// unchanged unit; so are windows not open and the controls `live` names (a clock's read-out, say).
std::vector<std::string> ShownControls(ui::Window& root,
                                       const std::function<bool(ui::Window&)>& live = {});

// Where a control stands below a window: the child indexes from the window down. A window drawn
// again from the unit may have made its controls anew, so a change finds its control each time.
using ControlPath = std::vector<std::size_t>;
ui::Window* ControlAt(ui::Window& root, const ControlPath& path);

struct SweepOptions {
  // Controls the walk leaves alone (a button that opens a dialog, a list that only selects).
  std::function<bool(ui::Window& control)> skip;
  // What to type into a field (then Enter); no value leaves the field out.
  std::function<std::optional<std::string>(ui::Window& field)> typed;
};

// One change the user can make to a control below a window, as the user makes it.
struct ControlChange {
  std::string name;  // the control's id and kind, for a failure's message
  ControlPath path;
  std::function<void(ui::Window& control)> apply;
};

// Every change the controls below `root` offer, one per control: a check box, switch, lamp or
// polarity button clicked; a radio button that is not ticked clicked; a trackbar moved one step
// by the keyboard; a drawn slider's thumb dragged; the next item of a list chosen; a quad spin's
// fine up zone pressed and released; an arrow pair's up arrow clicked; a field typed into.
std::vector<ControlChange> ChangesOf(ui::Window& root, const SweepOptions& options = {});

// Applies `change` to the control it names below `root`; false when the control is gone.
bool Apply(ui::Window& root, const ControlChange& change);

}  // namespace testsupport
