#pragma once

#include "controls/TDataWindow.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Static.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// One channel's label and name. A changed name (letter case counts) is written when the field
// loses the focus or Enter is released; Escape puts the unit's name back, Tab goes to the next
// channel's name.
class TNameDialog : public ui::Dialog, public TDataWindow {
 public:
  static constexpr int kNameLimit = 11;

  TNameDialog(ui::Window* parent, IQDeviceOrdavinex& device, int channel);

  void Notify(NotifyRecord* record) override;
  bool PreProcessKey(const ui::KeyStroke& key) override;
  void CommitName();

 protected:
  void SetupWindow() override;

 private:
  void ReadName();

  IQDeviceOrdavinex& device_;
  int channel_;
  ui::Edit name_;
  ui::StaticText label_;
};

}  // namespace namespaceOV
