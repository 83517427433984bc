#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "familyov/channels/ChannelSummaryPanes.h"
#include "familyov/channels/TLastMemoryDialog.h"
#include "familyov/channels/TMixerSummaryWindow.h"
#include "familyov/unit/TGroupWindow.h"
#include "familyov/unit/TOVWindow.h"
#include "platform/ui/Frame.h"

namespace namespaceOV {

// The summary's three columns (stubs and inputs, the mixer map, outputs) over its footer. The
// panes are built when the window is, so that the window opens as large as its content.
class TSummaryPanes : public TGroupWindow {
 public:
  TSummaryPanes(ui::Window* parent, IQDeviceOrdavinex& device, TEditOVWindow& editWindow);
  ~TSummaryPanes() override;

  int StubCount() const { return static_cast<int>(stubs_.size()); }
  TChannelSummaryDialog& Input(int input) { return *inputs_.at(static_cast<std::size_t>(input)); }
  TOutputSummaryDialog& Output(int output) {
    return *outputs_.at(static_cast<std::size_t>(output));
  }
  TMixerSummaryWindow& Map() { return *map_; }
  TLastMemoryDialog& Footer() { return *footer_; }

 protected:
  void SetupWindow() override;

 private:
  IQDeviceOrdavinex& device_;
  TEditOVWindow& editWindow_;
  std::vector<std::unique_ptr<TInputSummaryStubDialog>> stubs_;
  std::vector<std::unique_ptr<TChannelSummaryDialog>> inputs_;
  std::vector<std::unique_ptr<TOutputSummaryDialog>> outputs_;
  std::unique_ptr<TMixerSummaryWindow> map_;
  std::unique_ptr<TLastMemoryDialog> footer_;
};

// The whole unit on one screen ("Unit Summary"): every channel's pane, the mixer map and the
// footer, with a menu for the unit's files, the delay display unit, the option that opens the
// summary with the unit, and the unit's other windows.
class TSummaryWindow : public OVChild<ui::Frame> {
 public:
  explicit TSummaryWindow(TEditOVWindow& editWindow);
  ~TSummaryWindow() override;

  void Notify(NotifyRecord* record) override;
  TSummaryPanes& Panes() { return panes_; }

 private:
  void SetupCommands();
  void SetDelayUnits(int units);
  void CheckDelayUnits(ui::CommandState& state, int units) const;
  void ReadDelayUnits();
  void CmAutoOpen();
  void OpenWindow(int nodeId);

  TSummaryPanes panes_;
  // The delay unit the menu checks, as last read or written: opening the menu never reads the
  // unit, so a silent unit gives no report from it. None until a read succeeds.
  std::optional<int> delayUnits_;
};

}  // namespace namespaceOV
