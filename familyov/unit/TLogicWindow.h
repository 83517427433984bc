#pragma once

#include "familyov/unit/LogicPanes.h"
#include "familyov/unit/TOVWindow.h"
#include "platform/ui/LayoutWindow.h"

namespace namespaceOV {

// The unit's logic map: the dialog of the selected input on the left, the whole map on the right.
// Both change the selection and tell each other through this window.
class TLogicWindow : public OVChild<ui::LayoutWindow> {
 public:
  explicit TLogicWindow(TEditOVWindow& editWindow);
  ~TLogicWindow() override;

  void Notify(NotifyRecord* record) override { TDataWindow::Notify(record); }
  TLogicDialog& Dialog() { return dialog_; }
  TLogicListWindow& List() { return list_; }

 private:
  TLogicDialog dialog_;
  TLogicListWindow list_;
};

}  // namespace namespaceOV
