#pragma once

#include <memory>
#include <vector>

#include "controls/TDataWindow.h"
#include "familyov/unit/TGroupWindow.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Static.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// One output's crossover network: its name and a choice of networks 1 .. outputs / 2 (rounded
// up); an output in no network shows no choice. A choice is written to the unit at once.
class TCrossoverNetworkDialog : public ui::Dialog, public TDataWindow {
 public:
  TCrossoverNetworkDialog(ui::Window* parent, IQDeviceOrdavinex& device, int output);

  // A refresh of everything reads the network again.
  void Notify(NotifyRecord* record) override;
  // Enter and Escape neither press a button nor close the pane.
  bool PreProcessKey(const ui::KeyStroke& key) override;

 protected:
  void SetupWindow() override;

 private:
  void ShowNetwork();
  void EvSelChange();

  IQDeviceOrdavinex& device_;
  int output_;
  ui::ComboBox network_;
  ui::StaticText name_;
};

// The modal window of every output of the unit with its network, one pane under the other. Its
// parent's records reach every window of the unit.
class TCrossoverNetworkAssignmentWindow : public ui::Dialog, public TDataWindow {
 public:
  TCrossoverNetworkAssignmentWindow(ui::Window* parent, IQDeviceOrdavinex& device);
  ~TCrossoverNetworkAssignmentWindow() override;

  TCrossoverNetworkDialog& Pane(int output) { return *panes_.at(static_cast<std::size_t>(output)); }

 protected:
  void SetupWindow() override;

 private:
  TGroupWindow group_;
  std::vector<std::unique_ptr<TCrossoverNetworkDialog>> panes_;
};

}  // namespace namespaceOV
