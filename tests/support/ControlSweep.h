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
class Dialog;
class Window;
}  // namespace ui

namespace testsupport {

// What `root` shows the user: a line per control below it, in creation order, with its id, its
// kind and its value (text, tick, position, selection, lamp, a tree's items), greyed and hidden
// ones marked. Meters and other live readings are left out: they move between two looks at an
// unchanged unit; so are windows not open and the controls `live` names (a clock's read-out, say).
std::vector<std::string> ShownControls(ui::Window& root,
                                       const std::function<bool(ui::Window&)>& live = {});

// Whether a line of `ShownControls` shows a value the program does not know: an empty or "?"
// text, a check box or radio button with no state, a list with nothing chosen.
bool ShowsUnknown(const std::string& line);
// A line of `ShownControls` without its greyed and hidden marks.
std::string WithoutMarks(std::string line);

// Where a control stands below a window: the child indexes from the window down. A window drawn
// again from the unit may have made its controls anew, so a change finds its control each time.
using ControlPath = std::vector<std::size_t>;
ui::Window* ControlAt(ui::Window& root, const ControlPath& path);

// How the user answers the modal dialog a button opens: what `act` changes in it, ending it.
struct DialogAnswer {
  int resourceId;
  std::function<void(ui::Dialog&)> act;
};

// A change the user makes that the walk cannot know by the control's kind: a graph's drag and
// drop, a drag from one window onto another. Named by how the user makes it.
struct NamedChange {
  std::string how;
  std::function<void(ui::Window& window)> apply;
};

struct SweepOptions {
  // Controls the walk leaves alone (a list that only selects, a lamp that only shows): each
  // family's table says why beside its rule.
  std::function<bool(ui::Window& control)> skip;
  // What to type into a field (then Enter); no value leaves the field out.
  std::function<std::optional<std::string>(ui::Window& field)> typed;
  // The dialog a push button opens, and how the user answers it; no answer leaves the button out.
  std::function<std::optional<DialogAnswer>(ui::Window& button)> dialog;
  // The changes a window below `root` (or `root` itself) offers beyond its controls' own.
  std::function<std::vector<NamedChange>(ui::Window& window)> more;
};

// One change the user can make to a control below a window, as the user makes it.
struct ControlChange {
  std::string name;  // the control's id, kind and how it is changed, for a failure's message
  ControlPath path;
  std::function<void(ui::Window& control)> apply;
  std::optional<DialogAnswer> dialog;  // the modal dialog the change opens
};

// Every change the controls below `root` offer, each way the user makes it: a check box, switch,
// lamp or polarity button clicked; a radio button that is not ticked clicked; another item of a
// combo box, list box, list view or tree chosen; a trackbar moved by a key, by a page and by its
// thumb dragged; a drawn slider's thumb dragged; each of a quad spin's four zones pressed and
// released; an arrow pair's up and down arrows; a field typed into; a button's dialog answered;
// and what `options.more` adds.
std::vector<ControlChange> ChangesOf(ui::Window& root, const SweepOptions& options = {});

// Applies `change` to the control it names below `root`; false when the control is gone.
bool Apply(ui::Window& root, const ControlChange& change);

}  // namespace testsupport
