#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "controls/TDataWindow.h"
#include "familycommon/GraphWindow.h"
#include "familycommon/IconDrag.h"
#include "familyov/filters/CrossoverGraphIcons.h"
#include "familyov/filters/FilterPutBack.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// The crossover network of the output chosen in the editor's tree: each output's response, the
// optional network sum, and an icon per crossover. The chosen output's crossovers can be dragged
// along their line; the unit follows the mouse, and the release writes the crossover and tells
// the unit's windows.
class TCrossoverGraphWindow : public familycommon::GraphWindow, public virtual TDataWindow {
 public:
  // The pop-up menu's one command.
  static constexpr int kCmShowNetworkSum = 101;

  TCrossoverGraphWindow(ui::Window* parent, IQDeviceOrdavinex& device);
  ~TCrossoverGraphWindow() override;

  void Notify(NotifyRecord* record) override;
  // Toggles the unit's show-network-sum flag.
  void ShowNetworkSum();

  const CrossoverGraphIcons& Icons() const { return icons_; }
  int CurrentChannel() const { return currentChannel_; }
  bool Dragging() const { return dragged_ != nullptr; }
  // 1 while a moved position waits for the unit, else 0.
  int PendingLiveWrites() const { return drag_.PendingLiveWrites(); }

 protected:
  void SetupWindow() override;
  void Paint(ui::Dc& dc) override;

 private:
  bool IsOutput(int channel) const;
  int NetworkOf(int channel);
  void Rebuild();
  void ComputeNetworkSum();
  // The outputs' names label their icons; read with the icons and on a rename, not per paint.
  void ReadNames(const std::vector<int>& outputs);
  void DrawGrid(TFreqDC& freq) const;
  // Every output's response, the chosen one's on top, then the sum when shown.
  void DrawCurves(TFreqDC& freq) const;
  void DrawIcons(TFreqDC& freq);
  void DrawDragStep();

  familycommon::TFreqDC MouseContext();
  void EvLButtonDown(ui::Point p) override;
  void EvMouseMove(ui::Point p) override;
  void EvLButtonUp() override;
  void EvKeyDown(int key) override;
  void EvRButtonDown(ui::Point p) override;
  // Sends the dragged crossover's position, unless the unit has it already.
  void WriteLivePosition();
  // Tells the unit's windows what the crossover holds; nothing for none.
  void TellChanged(TFilter* crossover);

  IQDeviceOrdavinex& device_;
  int currentChannel_;
  int currentNetwork_ = 0;

  CrossoverGraphIcons icons_;
  std::array<std::string, kMaxOutputs> names_;
  TCrossoverIcon* dragged_ = nullptr;
  familycommon::IconDrag drag_;
  DeviceRecord lastWritten_{};
  // What the unit holds of the crossover dragged.
  FilterPutBack unitHolds_;
};

}  // namespace namespaceOV
