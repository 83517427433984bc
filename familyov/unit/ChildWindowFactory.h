#pragma once

#include <functional>
#include <memory>

#include "familyov/unit/NodeIds.h"

namespace ui {
class Window;
}

namespace namespaceOV {

class TEditOVWindow;

// The windows the function tree opens, one kind per node that has a window.
enum class ChildKind {
  None,
  Summary,
  Filters,
  Linking,
  Crossovers,
  InputDelay,
  InputLevel,
  InputNames,
  OutputDelay,
  OutputLevel,
  Limiter,
  OutputNames,
  Mixing,
  Compressors,
  AdvancedMixer,
  PinkNoise,
  DspCapacity,
  Memory,
  Logic,
  Timer,
  Security,
};

// The kind of window node `id` opens (ids compared in a fixed order, the first match decides),
// None for folders, commands and unknown ids. `channels`: the unit's channel count.
ChildKind KindOfNode(const NodeIds& ids, int channels, int id);

// Makes a child window (a TOVWindow, not yet created) for the edit window; `channel` is the
// channel of a filter window, else 0. Null when the unit has no such window.
using ChildMaker = std::function<std::unique_ptr<ui::Window>(TEditOVWindow&, int channel)>;

// The window of the kind, or null while no window of that kind is registered.
std::unique_ptr<ui::Window> MakeChildWindow(ChildKind kind, TEditOVWindow& editWindow, int channel);
// Puts a maker in the table in place of the one there (tests use it for windows of their own);
// a null maker puts the program's own back.
void RegisterChildWindow(ChildKind kind, ChildMaker maker);

}  // namespace namespaceOV
