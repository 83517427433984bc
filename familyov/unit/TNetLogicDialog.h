#pragma once

#include "controls/TQuadButton.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"

class IQDeviceManager;
class IQDeviceType;

namespace namespaceOV {

// The network logic trigger: the user picks a logic input (1..31) with the field or the spin and
// fires it on every 2-input unit of the network with "Trigger Now", as often as wanted. The spin
// steps the number last set by the spin or fired; a typed number counts once it is fired.
class TNetLogicDialog : public ui::Dialog {
 public:
  TNetLogicDialog(IQDeviceType* type, IQDeviceManager* manager, ui::Window* parent = nullptr);

  int Value() const { return value_; }

 protected:
  void SetupWindow() override;

 private:
  void CmTrigger();
  ui::Param EvQuadSpin();

  IQDeviceType* type_;
  IQDeviceManager* manager_;
  int value_ = 1;
  ui::Edit edit_;
  TQuadButton spin_;
};

}  // namespace namespaceOV
