#pragma once

#include "controls/TDataWindow.h"
#include "controls/TQuadButton.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Static.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// One channel's delay: typed with an optional unit ("12 ms", "3 m", "10 ft") or stepped by a unit
// or a sample with the spin button, and its bypass. A grouped channel moves its group; every step
// is fitted to the unit's delay memory first (GroupMoves.h).
class TDelayDialog : public ui::Dialog, public TDataWindow {
 public:
  static constexpr int kTextLimit = 9;

  TDelayDialog(ui::Window* parent, IQDeviceOrdavinex& device, int channel);

  void Notify(NotifyRecord* record) override;
  // The release of Enter commits the typing, Escape discards it.
  bool PreProcessKey(const ui::KeyStroke& key) override;
  // The channel's delay in the display unit, with the unit's name.
  void ShowDelay();
  void CommitTyped();
  void Spin(int zone);
  int Channel() const { return channel_; }

 protected:
  void SetupWindow() override;

 private:
  void ApplyStep(int step);
  void CmBypass();
  // The unit's bypass, where the unit has one (a recall or a load may change it).
  void ShowBypass();
  void ReadName();

  IQDeviceOrdavinex& device_;
  int channel_;
  ui::Edit edit_;
  ui::GroupBox box_;
  TQuadButton spin_;
  ui::CheckBox bypass_;
};

// The unit in which every delay of the unit shows: msec, feet or meters.
class TDelayUnitsDialog : public ui::Dialog, public TDataWindow {
 public:
  TDelayUnitsDialog(ui::Window* parent, IQDeviceOrdavinex& device);

  void Notify(NotifyRecord* record) override;
  bool PreProcessKey(const ui::KeyStroke& key) override;

 protected:
  void SetupWindow() override;

 private:
  void Check(int units);
  void ReadUnits();
  void TellUnitsRead();
  void CmUnits();

  IQDeviceOrdavinex& device_;
  ui::RadioButton msec_;
  ui::RadioButton feet_;
  ui::RadioButton meters_;
};

}  // namespace namespaceOV
