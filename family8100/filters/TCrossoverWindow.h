#pragma once

#include <string>

#include "family8100/filters/TCrossoverDialog.h"
#include "family8100/filters/TCrossoverGraph.h"
#include "family8100/unit/EditorMakers8100.h"
#include "platform/ui/Frame.h"
#include "platform/ui/LayoutWindow.h"

namespace namespace8100 {

// The crossover graph above the crossover dialog's strip.
class TCrossoverWindow : public ui::LayoutWindow {
 public:
  explicit TCrossoverWindow(IQDevice8100& unit);

  TCrossoverGraph& Graph() { return graph_; }
  TCrossoverDialog& Dialog() { return dialog_; }

 private:
  TCrossoverGraph graph_;
  TCrossoverDialog dialog_;
};

// The unit's crossover editor as the signal-flow page opens it: a top-level frame around the
// crossover window. It reloads on kReloadFilters and tells its owner when it closes.
class TCrossoverDecFrame : public ui::Frame {
 public:
  explicit TCrossoverDecFrame(const EditorRequest& request);
  ~TCrossoverDecFrame() override;

  TCrossoverWindow& Window() { return window_; }
  void CloseWindow(int result) override;

 private:
  TCrossoverWindow window_;
  ui::Window& owner_;
};

// Makes the signal-flow page open this editor for its crossover buttons.
void RegisterCrossoverEditor();

}  // namespace namespace8100
