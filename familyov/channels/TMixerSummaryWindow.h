#pragma once

#include <vector>

#include "controls/TDataWindow.h"
#include "platform/ui/DrawnWindow.h"

namespace namespaceOV {

class IQDeviceOrdavinex;
class TEditOVWindow;

// Where the map's nodes stand: one per input, level with the input panes and centred on the map,
// 15 pixels in from the left edge, and one per output likewise from the right edge.
struct MixerMapNodes {
  std::vector<ui::Point> inputs;
  std::vector<ui::Point> outputs;
};
MixerMapNodes PlaceMixerMapNodes(ui::Rect map, int inputs, int inputRowHeight, int outputs,
                                 int outputRowHeight);

// The middle column of the unit summary: the in-to-out mixing matrix drawn as lines from each
// input's node (in the input's colour) to every output it feeds. A click opens the mixing window.
// The crosspoints are read when the map is built and when a record says they changed, never in a
// paint, so that a unit that stops answering cannot raise an error box from every repaint.
class TMixerSummaryWindow : public ui::DrawnWindow, public TDataWindow {
 public:
  static constexpr int kWidth = 90;

  TMixerSummaryWindow(ui::Window* parent, IQDeviceOrdavinex& device, TEditOVWindow& editWindow,
                      int inputRowHeight, int outputRowHeight);

  void Notify(NotifyRecord* record) override;
  const MixerMapNodes& Nodes() const { return nodes_; }
  // Whether input `input` feeds output `output`, as last read.
  bool Feeds(int input, int output) const;

 protected:
  void SetupWindow() override;
  void Paint(ui::Dc& dc) override;

 private:
  void ReadCrosspoints();

  IQDeviceOrdavinex& device_;
  TEditOVWindow& editWindow_;
  int inputRowHeight_;
  int outputRowHeight_;
  MixerMapNodes nodes_;
  std::vector<bool> on_;  // output-major: output * inputs + input
};

}  // namespace namespaceOV
