#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/Message.h"
#include "platform/ui/draw/Geometry.h"

namespace ui {
class Window;
}

namespace namespace8100 {

class IQDevice8100;

// The editors the signal-flow page opens: the four filter banks (numbered as on the unit) and the
// crossovers. They live with the filters, which register their makers here; the page only knows
// these numbers, the caption it gives and the messages it exchanges with them.
enum class EditorView {
  RightInput = 1,
  LeftInput = 2,
  RightOutput = 3,
  LeftOutput = 4,
  Crossovers = 5
};

// Where an editor's frame stood when it last closed, for the next opening: its rectangle as left
// by the user (not while maximised or minimised) and whether it was maximised.
struct EditorPlace {
  ui::Rect rect{10, 10, 500, 400};
  bool maximized = false;
};
inline constexpr ui::Rect kFirstCrossoverRect{10, 10, 560, 400};
// A response graph's client rectangle until it has closed once.
inline constexpr ui::Rect kFirstGraphRect{0, 0, 300, 300};

// An editor frame posts this to its owner when it closes, with its view as lParam.
inline constexpr ui::MessageId kEditorClosed = 301;
// Posted to every open editor when the unit's filters are to be read again (a memory recall).
inline constexpr ui::MessageId kReloadFilters = 290;

struct EditorRequest {
  IQDevice8100& unit;
  ui::Window& owner;
  EditorView view;
  std::string caption;
};

// Makes the editor's frame (not yet created) for `request`; null when it cannot open.
using EditorMaker = std::function<std::unique_ptr<ui::Window>(const EditorRequest& request)>;

// Bank editors serve views 1 to 4, the crossover maker view 5. A later registration replaces the
// earlier one (tests put windows of their own in).
void RegisterBankEditorMaker(EditorMaker maker);
void RegisterCrossoverMaker(EditorMaker maker);
// Null while no maker for the view is registered.
std::unique_ptr<ui::Window> MakeEditor(const EditorRequest& request);

}  // namespace namespace8100
