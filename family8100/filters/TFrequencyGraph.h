#pragma once

#include <functional>
#include <memory>

#include "bus/IQException.h"
#include "family8100/filters/GraphIcons8100.h"
#include "familycommon/GraphScale.h"
#include "familycommon/GraphWindow.h"
#include "familycommon/IconDrag.h"

namespace namespace8100 {

class IQDevice8100;

// One filter bank's response: the combined magnitude of its filters in use on a log-frequency /
// dB grid, an icon per filter, the selected filter's own trace and, on request, the sum of the
// bypassed ones. A click selects a filter, a press on the selected one drags it (axis locked to
// the larger move; Esc ends the drag where it is), and the pop-up menu bypasses or deletes the
// filter, overlays another bank, zooms either axis and prints.
//
// The graph tells the bank's other views what it did through its broadcast: the bank's hub
// sends each message on to every view of the bank, this graph included (by default the graph
// only tells itself). The hub hands the bank messages in through the Ev... operations.
class TFrequencyGraph : public familycommon::GraphWindow {
 public:
  // The bank messages: a filter was selected (none: the selection cleared), its values changed,
  // it was added, filters were removed.
  static constexpr int kBankSelected = 302;
  static constexpr int kBankChanged = 303;
  static constexpr int kBankAdded = 304;
  static constexpr int kBankRemoved = 305;
  using Broadcast = std::function<void(int message, int bank, TFilter* filter)>;

  // Commands of the pop-up menu.
  static constexpr int kCmPrint = 100;
  static constexpr int kCmLeftOut = 101;
  static constexpr int kCmRightOut = 102;
  static constexpr int kCmLeftIn = 103;
  static constexpr int kCmRightIn = 104;
  static constexpr int kCmVerticalZoom = 105;
  static constexpr int kCmShowBypassTrace = 106;
  static constexpr int kCmBypass = 107;
  static constexpr int kCmDelete = 108;
  static constexpr int kCmHorizontalZoom = 109;
  // Whether a drag writes each step to the unit, and whether it redraws the sum at each step;
  // no menu offers them.
  static constexpr int kCmLiveWrite = 110;
  static constexpr int kCmLiveRedraw = 111;

  // The graph of `bank` (1 right input, 2 left input, 3 right output, 4 left output) of `unit`,
  // as a child of `parent`; the unit keeps the view's zoom, overlays and bypass-trace choice.
  TFrequencyGraph(IQDevice8100& unit, int bank, ui::Window* parent);
  ~TFrequencyGraph() override;

  void SetBroadcast(Broadcast broadcast) { broadcast_ = std::move(broadcast); }
  void EvFilterSelected(TFilter* filter);
  void EvFilterChanged(TFilter* filter);
  void EvFilterAdded(TFilter* filter);
  void EvFilterRemoved();
  void EvReloadAll();

  const GraphIcons8100& Icons() const { return icons_; }
  bool Dragging() const { return drag_.Active(); }
  int Bank() const { return bank_; }

 protected:
  void SetupWindow() override;
  // Keeps the graph's rectangle in the unit: the bank's editor opens its graph pane that wide.
  void CleanupWindow() override;
  void Paint(ui::Dc& dc) override;

 private:
  GraphView8100& View() const;
  GraphIcons8100::Range TraceRange() const;
  void ApplyView();
  void RebuildIcons();
  void Send(int message, TFilter* filter);
  void DrawGrid(familycommon::TFreqDC& freq) const;
  void DrawTraces(familycommon::TFreqDC& freq) const;
  void DrawDragStep();
  familycommon::TFreqDC MouseContext();

  // Before an action takes the program's filters as the unit's (a drag, a bypass flipped, a
  // print): a unit in doubt is read again (controls::SettleCopy), and the selection follows its
  // filter to the new object the unit holds in its place. False when the unit did not give its
  // filters, which has been told.
  bool SettleUnit();

  void EvLButtonDown(ui::Point p) override;
  void EvMouseMove(ui::Point p) override;
  void EvLButtonUp() override;
  void EvRButtonDown(ui::Point p) override;
  void EvKeyDown(int key) override;
  // Sends the dragged filter's values; the unit's own refusal is reported and the drag goes on.
  void WriteLivePosition();
  // After a step or drop the unit did not take, before the failure is told: the filter takes back
  // the values the unit last took, and the bank's views show them.
  void PutBackDragged(TFilter& filter);

  void CmOverlay(int bank, int exclusive);
  void CmVerticalZoom();
  void CmHorizontalZoom();
  void CmBypass();
  void CmDelete();
  void CmPrint();

  IQDevice8100& unit_;
  int bank_;
  Broadcast broadcast_;

  familycommon::LevelScale scale_ = familycommon::kFullLevelScale;
  float fmin_ = 20.0f;
  float fmax_ = 24000.0f;

  GraphIcons8100 icons_;
  familycommon::IconDrag drag_;
  // The dragged filter as the unit last took it: as it was when the drag began, then as each step
  // written live left it.
  std::unique_ptr<TFilter> taken_;
};

}  // namespace namespace8100
