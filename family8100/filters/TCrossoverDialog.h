#pragma once

#include <functional>

#include "controls/TLEDButton.h"
#include "controls/TPolarityButton.h"
#include "controls/TQuadButton.h"
#include "family8100/filters/CrossoverEdits.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Static.h"
#include "platform/ui/Trackbar.h"

namespace namespace8100 {

class IQDevice8100;
class TCrossoverGraph;

// The strip under the crossover graph: per crossover its alignment, frequency (typed or stepped)
// and slope, the polarity of the output it feeds, and the link that makes the low crossover
// follow the high one. Every change goes to the unit at once; Enter applies the typed
// frequencies, Escape shows the unit's again, and neither closes the strip.
class TCrossoverDialog : public ui::Dialog {
 public:
  TCrossoverDialog(ui::Window* parent, IQDevice8100& unit);
  ~TCrossoverDialog() override;

  // The graph that shows the crossovers; refreshed with the dialog.
  void SetGraph(TCrossoverGraph* graph) { graph_ = graph; }
  // Told after every change to the crossovers, so that the output banks' views, which include
  // them, read the filters again.
  void SetOnChanged(std::function<void()> onChanged) { onChanged_ = std::move(onChanged); }
  // Shows what the unit holds and refreshes the graph.
  void UpdateControls();
  // The rows and the link as the program holds the crossovers, without asking the unit.
  void ShowCrossovers();
  // After a change made here or on the graph: shown, and told on.
  void Changed();
  // One action on the crossovers (GuardedCrossoverEdit), from here or the graph, shown and told
  // on; its failure and the reads that show the strip again give one report. After a write whose
  // answer never came the rows show no values until the unit's doubt is settled.
  void Edit(const std::function<void(CrossoverEdits&)>& edit);
  bool PreProcessKey(const ui::KeyStroke& key) override;

 protected:
  void SetupWindow() override;

 private:
  struct Row {
    CrossoverSide side;
    ui::ComboBox alignment;
    ui::Edit frequency;
    TQuadButton quad;
    ui::UpDown order;
    ui::StaticText slope;
    TPolarityButton polarity;
  };
  void ShowRow(Row& row);
  // The row's polarity lamp, as the unit holds the polarity.
  void ShowPolarity(Row& row);
  void EvAlignment(Row& row);
  void EvOrder(Row& row, int delta);
  void EvQuad(TQuadButton* button, int steps);
  void EvPolarity(Row& row);
  void EvLink();
  CrossoverEdits Edits() const { return CrossoverEdits(unit_); }

  IQDevice8100& unit_;
  TCrossoverGraph* graph_ = nullptr;
  std::function<void()> onChanged_;
  Row low_;
  Row high_;
  TLEDButton link_;
  bool unknown_ = false;
};

}  // namespace namespace8100
