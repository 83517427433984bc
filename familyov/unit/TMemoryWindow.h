#pragma once

#include <memory>
#include <vector>

#include "familyov/unit/MemoryPanes.h"
#include "familyov/unit/TGroupWindow.h"
#include "familyov/unit/TOVWindow.h"
#include "platform/ui/LayoutWindow.h"

namespace namespaceOV {

// The unit's memories, one row each under a title pane: save, recall, save to all, names, and the
// lamp of the memory recalled last. As many rows as the model has memories. The rows stand in a
// group window that fills this one (a group window is a data window of its own, so it is held
// rather than derived from).
class TMemoryWindow : public OVChild<ui::LayoutWindow> {
 public:
  explicit TMemoryWindow(TEditOVWindow& editWindow);
  ~TMemoryWindow() override;

  void Notify(NotifyRecord* record) override { TDataWindow::Notify(record); }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  TMemoryDialog& Row(int memory) { return *rows_.at(static_cast<std::size_t>(memory - 1)); }

 protected:
  void SetupWindow() override;

 private:
  TGroupWindow group_;
  std::unique_ptr<TMemoryTitleDialog> title_;
  std::vector<std::unique_ptr<TMemoryDialog>> rows_;
};

}  // namespace namespaceOV
