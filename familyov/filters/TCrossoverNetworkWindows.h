#pragma once

#include <memory>
#include <vector>

#include "controls/IdlePoll.h"
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

  // A refresh of everything reads the pane again.
  void Notify(NotifyRecord* record) override;
  // The output's name and network, read; a bus failure is thrown, and what was not read shows
  // none.
  void ReadPane();
  // Enter and Escape neither press a button nor close the pane.
  bool PreProcessKey(const ui::KeyStroke& key) override;

 protected:
  void SetupWindow() override;

 private:
  void ReadNetwork();
  void ShowNetwork();
  void EvSelChange();

  IQDeviceOrdavinex& device_;
  int output_;
  ui::ComboBox network_;
  ui::StaticText name_;
};

// The modal window of every output of the unit with its network, one pane under the other. Its
// parent's records reach every window of the unit. What a silent unit did not give as it opened is
// read at the first idle pass that finds the unit answering.
class TCrossoverNetworkAssignmentWindow : public ui::Dialog, public TDataWindow {
 public:
  TCrossoverNetworkAssignmentWindow(ui::Window* parent, IQDeviceOrdavinex& device);
  ~TCrossoverNetworkAssignmentWindow() override;

  TCrossoverNetworkDialog& Pane(int output) { return *panes_.at(static_cast<std::size_t>(output)); }
  bool IdleAction(long idleCount) override;

 protected:
  void SetupWindow() override;

 private:
  void ReadPanes();

  IQDeviceOrdavinex& device_;
  TGroupWindow group_;
  std::vector<std::unique_ptr<TCrossoverNetworkDialog>> panes_;
  // What a silent unit did not give as the window opened: read at the first idle pass that finds
  // it answering.
  controls::OwedRead panesOwed_{[this] { ReadPanes(); }};
};

}  // namespace namespaceOV
