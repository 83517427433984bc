#pragma once

#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "controls/ChangeOutcome.h"
#include "controls/TDataWindow.h"
#include "controls/TTimeEdit.h"
#include "familyov/unit/OVCodecs.h"
#include "familyov/unit/TOVWindow.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Frame.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/LayoutWindow.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Static.h"

namespace namespaceOV {

class IQDeviceOrdavinex;
class TRTCListWindow;

// Edits the current clock event (day, time on a 12-hour clock with the afternoon box, logic
// input), writing each change at once; shows the unit's clock as it runs and opens the dialog
// that sets it.
class TTimerDialog : public ui::Dialog {
 public:
  TTimerDialog(ui::Window* parent, IQDeviceOrdavinex& device);

  void SetList(TRTCListWindow* list) { list_ = list; }
  // None: the fields are empty and disabled.
  void ShowEvent(TTimerStruct* event);
  int LastDay() const { return lastDay_; }
  // Puts the focus in the time field with its hours selected.
  void FocusTime();

  bool PreProcessKey(const ui::KeyStroke& key) override;
  // Reads the unit's clock, one record per pass, while it keeps answering.
  bool IdleAction(long idleCount) override;

 protected:
  void SetupWindow() override;

 private:
  void Apply();
  void ShowClock(const std::string& text);

  IQDeviceOrdavinex& device_;
  TRTCListWindow* list_ = nullptr;
  TTimerStruct* event_ = nullptr;
  int lastDay_ = 1;
  bool noClockDisplay_ = false;
  bool readDateNext_ = false;
  TimeRecord clockTime_;
  ui::StaticText clock_;
  TTimeEdit time_;
  ui::CheckBox afternoon_;
  ui::ComboBox day_;
  ui::ComboBox logic_;
  ui::PushButton setClock_;
};

// The unit's clock events, earliest in the week first; several can be selected for deleting and
// copying. The events are the device's table: every change is there at once and written to the
// unit.
class TRTCListWindow : public ui::LayoutWindow, public TDataWindow {
 public:
  TRTCListWindow(ui::Window* parent, IQDeviceOrdavinex& device, TTimerDialog& editor);
  ~TRTCListWindow() override;

  void Notify(NotifyRecord* record) override;
  // The list again, the events whose write is in doubt shown as unknown.
  void Rebuild();
  // The list again, the event of `slot` among those shown as unknown until the unit is read
  // again: the unit may or may not have taken a write of it.
  void RebuildWithUnknown(int slot);
  ui::ListView& List() { return list_; }
  const std::vector<TTimerStruct*>& Selected() const { return selected_; }

  void CmNew();
  void CmDelete();
  void CmCopyToDays(const std::string& question, bool weekdaysOnly, bool allDays, int oneDay);
  bool CanAddEvent() const;
  bool HasSelection() const { return !selected_.empty(); }

 protected:
  void SetupWindow() override;

 private:
  // Fills the first free slot, writes it and lists it once the unit takes it: what became of
  // the write, or nothing when every slot is taken.
  std::optional<controls::ChangeOutcome> NewEvent(int day, const TTimerStruct* model);
  void AppendItem(TTimerStruct& event);
  void ShowAsRead();
  void SelectionChanged();
  void PopupMenu();

  IQDeviceOrdavinex& device_;
  TTimerDialog& editor_;
  ui::ListView list_;
  ui::ImageList images_;
  std::vector<TTimerStruct*> selected_;
  TTimerStruct* current_ = nullptr;
  // The slots whose write is in doubt: listed unknown until the unit is read again.
  std::set<int> inDoubt_;
  bool deleting_ = false;
};

// Holds the list above the event's fields and passes the unit's records on to them.
class TRTCLayoutWindow : public ui::LayoutWindow, public TDataWindow {
 public:
  explicit TRTCLayoutWindow(ui::Window* parent) : ui::LayoutWindow(parent), TDataWindow(parent) {}
  ~TRTCLayoutWindow() override { Destroy(); }
};

// The clock-event editor: a tool bar (New, Delete), the list above and the event's fields below,
// a status bar. Its commands go to the list.
class TRTCDecoratedFrame : public OVChild<ui::Frame> {
 public:
  explicit TRTCDecoratedFrame(TEditOVWindow& editWindow);
  ~TRTCDecoratedFrame() override;

  void Notify(NotifyRecord* record) override { TDataWindow::Notify(record); }
  TRTCListWindow& List() { return *list_; }
  TTimerDialog& Editor() { return *editor_; }

 private:
  std::unique_ptr<TRTCLayoutWindow> layout_;
  std::unique_ptr<TTimerDialog> editor_;
  std::unique_ptr<TRTCListWindow> list_;
};

}  // namespace namespaceOV
