#pragma once

#include <memory>

#include "familyov/filters/TCrossoverDialog.h"
#include "familyov/filters/TCrossoverNetworkWindows.h"
#include "familyov/filters/TMacroWindow.h"
#include "familyov/unit/TGroupWindow.h"
#include "familyov/unit/TOVWindow.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/LayoutWindow.h"

namespace namespaceOV {

// The crossovers of a unit's outputs, one output at a time under a row that chooses the output
// and opens the network assignment and the crossover macros. It stands where the crossover
// editor with its network tree and graph will stand.
class TCrossoverWindow : public OVChild<ui::LayoutWindow> {
 public:
  explicit TCrossoverWindow(TEditOVWindow& editWindow);
  ~TCrossoverWindow() override;

  void Notify(NotifyRecord* record) override;
  TCrossoverDialog& Dialog() { return *dialog_; }
  ui::ComboBox& OutputChoice() { return outputChoice_; }
  // The open network assignment and macro windows, or null.
  TCrossoverNetworkAssignmentWindow* Networks() { return networks_.get(); }
  TMacroWindow* Macros() { return macros_.get(); }
  void CmNetworks();
  void CmMacros();

 protected:
  void SetupWindow() override;

 private:
  TGroupWindow group_;
  ui::Dialog commands_;
  ui::ComboBox outputChoice_;
  std::unique_ptr<TCrossoverDialog> dialog_;
  std::unique_ptr<TCrossoverNetworkAssignmentWindow> networks_;
  std::unique_ptr<TMacroWindow> macros_;
};

}  // namespace namespaceOV
