#pragma once

#include <string>

#include "family8100/filters/EditorFrame8100.h"
#include "family8100/filters/TCrossoverDialog.h"
#include "family8100/filters/TCrossoverGraph.h"
#include "familycommon/FilterLifetime.h"
#include "platform/ui/LayoutWindow.h"

namespace namespace8100 {

// The crossover graph above the crossover dialog's strip. Both show the unit's crossovers again
// whenever the unit's filters change, wherever the change was made.
class TCrossoverWindow : public ui::LayoutWindow {
 public:
  explicit TCrossoverWindow(IQDevice8100& unit);

  TCrossoverGraph& Graph() { return graph_; }
  TCrossoverDialog& Dialog() { return dialog_; }

 private:
  TCrossoverGraph graph_;
  TCrossoverDialog dialog_;
  familycommon::FilterSetNotice::Subscription filterSet_;
};

// The unit's crossover editor as the signal-flow page opens it: a top-level frame around the
// crossover window. It reloads on kReloadFilters.
class TCrossoverDecFrame : public EditorFrame8100 {
 public:
  explicit TCrossoverDecFrame(const EditorRequest& request);
  ~TCrossoverDecFrame() override;

  TCrossoverWindow& Window() { return window_; }

 private:
  TCrossoverWindow window_;
};

// Makes the signal-flow page open this editor for its crossover buttons.
void RegisterCrossoverEditor();

}  // namespace namespace8100
