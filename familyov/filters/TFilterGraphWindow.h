#pragma once

#include <memory>

#include "controls/TDataWindow.h"
#include "familycommon/GraphScale.h"
#include "familycommon/GraphWindow.h"
#include "familycommon/IconDrag.h"
#include "familyov/filters/FilterEditorPanes.h"
#include "familyov/filters/FilterGraphIcons.h"
#include "familyov/filters/FilterPutBack.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// The response of one channel's filters: their summed magnitude (and phase), an icon per filter,
// the selected filter's own curve. A click selects a filter, a press on the selected one drags it
// (written to the unit as it moves), the arrows step through the filters and their levels, and
// the pop-up menu sets the view, bypasses the filter and prints the graph.
class TFilterGraphWindow : public familycommon::GraphWindow, public virtual TDataWindow {
 public:
  // Commands of the pop-up menu.
  static constexpr int kCmPrint = 100;
  static constexpr int kCmVerticalZoom = 105;
  static constexpr int kCmBypass = 107;
  static constexpr int kCmHorizontalZoom = 109;
  static constexpr int kCmCumulativeInput1 = 112;
  static constexpr int kCmCumulativeInput2 = 113;
  static constexpr int kCmLinearLabels = 114;
  static constexpr int kCmShowPhase = 115;

  // Enters itself in the editor's pane record, and leaves it when it goes.
  TFilterGraphWindow(ui::Window* parent, FilterEditorPanes& panes);
  ~TFilterGraphWindow() override;

  void Notify(NotifyRecord* record) override;
  // Toggles the phase curve (also the editor's View command).
  void CmShowPhase();

  const FilterGraphIcons& Icons() const { return icons_; }
  // The window point a press must hit to take the icon.
  ui::Point PointOf(const TFilterIcon& icon);
  bool Dragging() const { return drag_.Active(); }
  // 1 while a moved position waits for the unit, else 0.
  int PendingLiveWrites() const { return drag_.PendingLiveWrites(); }

 protected:
  void SetupWindow() override;
  void Paint(ui::Dc& dc) override;

 private:
  FilterGraphIcons::Range CurveRange() const;
  bool Matches(const NotifyRecord& record) const;
  void ApplyViewOptions();
  void RebuildIcons();
  void DrawGraph(familycommon::TFreqDC& freq, familycommon::TPhaseDC& phase);
  void DrawDragStep();
  void NotifyRootOf(uint32_t code, int32_t channel, int32_t flag, void* pointer);

  familycommon::TFreqDC MouseContext();
  void EvLButtonDown(ui::Point p) override;
  void EvMouseMove(ui::Point p) override;
  void EvLButtonUp() override;
  void EvRButtonDown(ui::Point p) override;
  void EvKeyDown(int key) override;
  // Sends the selected filter's position, unless the unit has it already.
  void WriteLivePosition();
  // What the graph shows once the unit has taken a change of `filter`, or once the filter is put
  // back.
  controls::ChangeViews ShownAfter(TFilter& filter);
  // The filter's frequency and level in the fields of the dialog that shows it; empty when not
  // `known`.
  void ShowInDialog(const TFilter& filter, bool known) const;

  void CmPrint();
  void CmBypass();
  void Toggle(bool& option, const char* optionName);
  void CmCumulativeInput(int input);

  FilterEditorPanes& panes_;
  IQDeviceOrdavinex& device_;
  int channel_;

  familycommon::LevelScale scale_ = familycommon::kFullLevelScale;
  float fmin_ = 20.0f;
  float fmax_ = 24000.0f;

  FilterGraphIcons icons_;
  familycommon::IconDrag drag_;
  DeviceRecord lastWritten_{};
  // What the unit holds of the filter dragged or stepped.
  FilterPutBack unitHolds_;
};

}  // namespace namespaceOV
