#pragma once

#include "controls/IdlePoll.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"

namespace namespaceOV {

class IQDeviceOrdavinex;
struct TimeRecord;

// Sets the unit's clock: to the day and time typed on a 12-hour clock, or to the computer's time
// or date; and switches the unit's daylight saving. Each button writes at once; OK closes. A clock
// a silent unit did not give shows unknown, and is read at the first idle pass that finds the unit
// answering.
class TSetTimeDialog : public ui::Dialog {
 public:
  TSetTimeDialog(ui::Window* parent, IQDeviceOrdavinex& device);

  // Enter does not close the dialog.
  bool PreProcessKey(const ui::KeyStroke& key) override;
  bool IdleAction(long idleCount) override;

 protected:
  void SetupWindow() override;

 private:
  // The unit's clock and daylight saving read and shown; a bus failure is thrown.
  void ShowUnitClock();
  void ShowTime(const TimeRecord& time);
  void CmSetAsGiven();
  void CmSetToPc();
  void CmSetDateToPc();
  void CmDaylightSaving();

  IQDeviceOrdavinex& device_;
  ui::Edit time_;
  ui::CheckBox afternoon_;
  ui::ComboBox dayOfWeek_;
  ui::CheckBox daylightSaving_;
  controls::OwedRead clockOwed_{[this] { ShowUnitClock(); }};
};

}  // namespace namespaceOV
