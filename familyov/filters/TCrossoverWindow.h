#pragma once

#include <memory>

#include "familyov/filters/TCrossoverDialog.h"
#include "familyov/filters/TCrossoverNetworkTree.h"
#include "familyov/filters/TCrossoverNetworkWindows.h"
#include "familyov/filters/TMacroWindow.h"
#include "familyov/unit/TOVWindow.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/LayoutWindow.h"

namespace namespaceOV {

// The crossovers of a unit's outputs: the network tree on the left, the crossover dialog of the
// output chosen there at the bottom, and a row of commands that opens the network assignment and
// the crossover macros. It stands where the crossover editor, with its graph right of the tree,
// will stand.
class TCrossoverWindow : public OVChild<ui::LayoutWindow> {
 public:
  explicit TCrossoverWindow(TEditOVWindow& editWindow);
  ~TCrossoverWindow() override;

  // An output chosen in the tree goes to the dialog.
  void Notify(NotifyRecord* record) override;
  TCrossoverDialog& Dialog() { return dialog_; }
  TCrossoverNetworkWindow& NetworkTree() { return tree_; }
  // The open network assignment and macro windows, or null.
  TCrossoverNetworkAssignmentWindow* Networks() { return networks_.get(); }
  TMacroWindow* Macros() { return macros_.get(); }
  void CmNetworks();
  void CmMacros();

 private:
  ui::Dialog commands_;
  TCrossoverNetworkWindow tree_;
  TCrossoverDialog dialog_;
  std::unique_ptr<TCrossoverNetworkAssignmentWindow> networks_;
  std::unique_ptr<TMacroWindow> macros_;
};

}  // namespace namespaceOV
