#include "familyov/unit/TRTCWindows.h"

#include <algorithm>
#include <string>

#include "controls/CopyInDoubt.h"
#include "controls/DeviceErrorReport.h"
#include "controls/IdlePoll.h"
#include "familyov/unit/ClockEvents.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditOVWindow.h"
#include "familyov/unit/TMemoryWindow.h"
#include "familyov/unit/TSetTimeDialog.h"
#include "familyov/unit/WindowCalls.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Resources.h"
#include "resources/FamilyOvFunctionIds.h"

namespace namespaceOV {

namespace {

using namespace ovfunctions_res;

constexpr int kTimeTextLimit = 10;
constexpr int kColumnMarginPixels = 41;
constexpr int kLogicColumnMarginPixels = 15;
constexpr int kEditorHeightLayoutUnits = 50;
constexpr int kFrameWidth = 700;
constexpr int kFrameHeight = 420;
constexpr int kHoursPerHalfDay = 12;

void WriteEvent(IQDeviceOrdavinex& device, const TTimerStruct& event) {
  gTimerEventObject.SetElement(event.slot);
  gTimerEventObject.WriteTimerEvent(device, event);
}

}  // namespace

// The event editor.

TTimerDialog::TTimerDialog(ui::Window* parent, IQDeviceOrdavinex& device)
    : ui::Dialog(parent, kTimerDialog),
      device_(device),
      clock_(this, kClockDisplay),
      time_(this, kEventTime, kTimeTextLimit),
      afternoon_(this, kAfternoon),
      day_(this, kEventDay),
      logic_(this, kEventLogic),
      setClock_(this, kSetClock) {
  OnNotify(kEventDay, ui::Notify::SelChange, [this](const ui::Notification&) {
    Apply();
    if (event_) lastDay_ = event_->day;
    return 0;
  });
  OnNotify(kEventLogic, ui::Notify::SelChange, [this](const ui::Notification&) {
    Apply();
    return 0;
  });
  OnCommand(kAfternoon, [this] { Apply(); });
  OnCommand(kSetClock, [this] { TSetTimeDialog(this, device_).Execute(); });
}

void TTimerDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  setClock_.Enable(device_.IsOnline());
  SetText("Timer - " + device_.ListTextOrName());
  for (int day = kFirstDay; day <= kLastDay; ++day) day_.AddString(DayName(day));
  for (int logic = kFirstLogicInput; logic <= kLastLogicInput; ++logic) {
    logic_.AddString("Logic #" + std::to_string(logic));
  }
  noClockDisplay_ = !device_.IsOnline();
  ShowEvent(nullptr);
}

void TTimerDialog::ShowEvent(TTimerStruct* event) {
  event_ = event;
  for (ui::Window* field :
       std::initializer_list<ui::Window*>{&day_, &time_, &afternoon_, &logic_}) {
    field->Enable(event != nullptr);
  }
  if (event == nullptr) {
    time_.SetText("");
    afternoon_.SetCheck(false);
    return;
  }
  time_.SetTime(event->hour, event->minute, event->second);
  day_.SetSelection(event->day - 1);
  afternoon_.SetCheck(event->hour >= kHoursPerHalfDay);
  logic_.SetSelection(event->logic - 1);
}

void TTimerDialog::FocusTime() {
  time_.SetFocus();
  time_.SetField(TTimeEdit::kHours);
  time_.SelectField();
}

void TTimerDialog::Apply() {
  if (event_ == nullptr) return;
  TTimerStruct edited = *event_;
  edited.day = day_.Selection() + 1;
  time_.GetTime(edited.hour, edited.minute, edited.second);
  // The time typed is taken now, once: the focus an error box takes is no second entry.
  time_.TakeEntry();
  if (afternoon_.IsChecked()) edited.hour += kHoursPerHalfDay;
  edited.logic = logic_.Selection() + 1;
  TTimerStruct* const event = event_;
  const auto showUnit = [&] {
    if (list_) list_->Rebuild();
    ShowEvent(event);
  };
  // A day of 0 would empty the slot on the unit: an event without a day is not written.
  if (!IsStorableEvent(edited)) {
    showUnit();
    return;
  }
  // An event the unit did not take keeps what it held, so the list and the fields show no edit as
  // done that was not; one whose answer never came is unknown until the unit is read again.
  ChangeOnUnit(device_, [&] { WriteEvent(device_, edited); },
               {.taken =
                    [&] {
                      *event = edited;
                      showUnit();
                    },
                .showUnit = showUnit,
                .showUnknown =
                    [&] {
                      if (list_) list_->RebuildWithUnknown(event->slot);
                      ShowEvent(nullptr);
                    }});
}

bool TTimerDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.code == ui::key::kReturn) {
    if (!key.down) Apply();
    return true;
  }
  if (key.code == ui::key::kTab) return true;
  return ui::Dialog::PreProcessKey(key);
}

void TTimerDialog::ShowClock(const std::string& text) {
  if (clock_.Text() != text) clock_.SetText(text);
}

bool TTimerDialog::IdleAction(long idleCount) {
  ui::Dialog::IdleAction(idleCount);
  if (noClockDisplay_) return false;
  const auto outcome = controls::PollUnit(
      device_,
      [this] {
        // One transfer per pass, so input is served between them.
        if (readDateNext_) {
          DateRecord date;
          gDateObject.ReadDate(device_, date);
          ShowClock(ClockText(clockTime_, date));
        } else {
          gTimeObject.ReadTime(device_, clockTime_);
        }
        readDateNext_ = !readDateNext_;
      },
      [this](const IQException& error) { ReportCommError(error, device_); });
  // A clock the unit stopped giving, to this poll or to another of its windows', is not shown
  // standing still.
  if (outcome != controls::PollOutcome::kAnswered) ShowClock("");
  return outcome == controls::PollOutcome::kAnswered;
}

// The list.

TRTCListWindow::TRTCListWindow(ui::Window* parent, IQDeviceOrdavinex& device, TTimerDialog& editor)
    : ui::LayoutWindow(parent),
      TDataWindow(parent),
      device_(device),
      editor_(editor),
      list_(this, kEventList),
      images_(16, 16) {
  list_.Bind({kEventList, ui::ControlKind::ListView, "", {}, ui::style::kReport}, {0, 0, 100, 100});
  images_.AddStrip(ui::Resources::Image(kEventImage), ui::Color{255, 255, 255});
  SetChildMetrics(list_, ui::LayoutMetrics::FillingClientArea());
  OnNotify(kEventList, ui::Notify::ItemChanged, [this](const ui::Notification&) {
    if (!deleting_) SelectionChanged();
    return 0;
  });
  OnNotify(kEventList, ui::Notify::ColumnClick, [this](const ui::Notification&) {
    Rebuild();
    return 0;
  });
  OnNotify(kEventList, ui::Notify::RightClick, [this](const ui::Notification&) {
    PopupMenu();
    return 0;
  });
}

TRTCListWindow::~TRTCListWindow() { Destroy(); }

void TRTCListWindow::SetupWindow() {
  ui::LayoutWindow::SetupWindow();
  list_.SetImageList(&images_);
  list_.AddColumn("Time", TextWidth(std::string("Wednesday") + " 12:00:00 " + kAfternoonSuffix) +
                              kColumnMarginPixels);
  list_.AddColumn("Logic",
                  TextWidth("Activate Logic #31              ") + kLogicColumnMarginPixels);
  ShowAsRead();
}

// The events as read from the unit, the one chosen still chosen, else the first, as a window opened
// on them shows them.
void TRTCListWindow::ShowAsRead() {
  inDoubt_.clear();
  Rebuild();
  if (!HasSelection() && list_.Count() > 0) list_.SelectItem(0);
}

void TRTCListWindow::AppendItem(TTimerStruct& event) {
  const int item =
      list_.InsertItem(list_.Count(), EventTimeText(event), 0, static_cast<ui::Param>(event.slot));
  list_.SetItemText(item, 1, EventLogicText(event));
}

void TRTCListWindow::Rebuild() {
  TTimerStruct* remembered = current_;
  deleting_ = true;  // the emptied control's notifications are not the user's choice
  list_.DeleteAllItems();
  for (TTimerStruct* event : ListedEvents(device_.TimerEvents())) AppendItem(*event);
  for (int item = 0; item < list_.Count(); ++item) {
    if (!inDoubt_.contains(static_cast<int>(list_.ItemData(item)))) continue;
    list_.SetItemText(item, 0, "?");
    list_.SetItemText(item, 1, "?");
  }
  deleting_ = false;
  selected_.clear();
  current_ = nullptr;
  for (int item = 0; remembered && item < list_.Count(); ++item) {
    if (static_cast<int>(list_.ItemData(item)) == remembered->slot) list_.SelectItem(item);
  }
  SelectionChanged();
}

void TRTCListWindow::RebuildWithUnknown(int slot) {
  inDoubt_.insert(slot);
  Rebuild();
}

void TRTCListWindow::SelectionChanged() {
  std::vector<TTimerStruct*> selected;
  auto& table = device_.TimerEvents();
  for (int item : list_.SelectedItems()) {
    const auto slot = static_cast<std::size_t>(list_.ItemData(item));
    if (slot < table.size()) selected.push_back(&table[slot]);
  }
  selected_ = selected;
  // An event whose write is in doubt is the unit's to tell: nothing is edited from the program's
  // copy of it until the unit is read again.
  current_ = selected_.size() == 1 && !inDoubt_.contains(selected_.front()->slot)
                 ? selected_.front()
                 : nullptr;
  editor_.ShowEvent(current_);
}

bool TRTCListWindow::CanAddEvent() const {
  return ListedCount(device_.TimerEvents()) < static_cast<int>(device_.TimerEvents().size());
}

std::optional<controls::ChangeOutcome> TRTCListWindow::NewEvent(int day,
                                                                const TTimerStruct* model) {
  TTimerStruct* event = FillFreeSlot(device_.TimerEvents(), day, model);
  if (event == nullptr) return std::nullopt;
  // The program's table holds the event once the unit has taken it: after a refusal its slot is
  // free again, and while the write is in doubt it is listed as unknown.
  const TTimerStruct made = *event;
  event->day = 0;
  return ChangeOnUnit(device_, [&] { WriteEvent(device_, made); },
                      {.taken =
                           [&] {
                             *event = made;
                             AppendItem(*event);
                           },
                       .showUnknown =
                           [&] {
                             *event = made;
                             RebuildWithUnknown(event->slot);
                           }});
}

// Each command on the list is one action: however many events it writes, a failing unit is told
// of once.
void TRTCListWindow::CmNew() {
  controls::OneReportScope command;
  if (NewEvent(editor_.LastDay(), nullptr) != controls::ChangeOutcome::kTaken) return;
  list_.SelectItem(list_.Count() - 1);
  SelectionChanged();
  editor_.FocusTime();
}

void TRTCListWindow::CmDelete() {
  if (ui::MessageBox(this, "Delete selected events?", "Delete",
                     ui::mb::kOkCancel | ui::mb::kIconQuestion) != ui::kIdOk) {
    return;
  }
  controls::OneReportScope command;
  deleting_ = true;
  for (TTimerStruct* event : selected_) {
    event->day = 0;
    GuardedUnitCall(device_, [&] { WriteEvent(device_, *event); });
  }
  deleting_ = false;
  list_.SelectItem(-1);
  Rebuild();
  editor_.ShowEvent(nullptr);
}

void TRTCListWindow::CmCopyToDays(const std::string& question, bool weekdaysOnly, bool allDays,
                                  int oneDay) {
  if (!Confirmed(this, question, "Copy")) return;
  controls::OneReportScope command;
  // The copies carry the events as the program's copy holds them; a read again makes the table
  // anew, so the events chosen are known by their slots.
  std::vector<int> chosen;
  for (const TTimerStruct* event : selected_) chosen.push_back(event->slot);
  if (!controls::SettleCopy(device_)) return;
  bool allMade = true;
  for (const int slot : chosen) {
    const TTimerStruct copy = device_.TimerEvents().at(static_cast<std::size_t>(slot));
    const std::vector<int> days = weekdaysOnly ? AllWeekdaysBut(copy.day)
                                  : allDays    ? AllDaysBut(copy.day)
                                               : std::vector<int>{oneDay};
    for (int day : days) allMade = NewEvent(day, &copy).has_value() && allMade;
  }
  if (!allMade) {
    ui::MessageBox(this, "Too many events.  Not all events were copied.", "Copy",
                   ui::mb::kOk | ui::mb::kIconExclamation);
  }
  Rebuild();
}

void TRTCListWindow::PopupMenu() {
  ui::MenuItemTemplate copyTo{"Copy to", 0, {}};
  for (int day = kFirstDay; day <= kLastDay; ++day) {
    copyTo.items.push_back({DayName(day), kCmFirstCopyToDay + day - 1, {}});
  }
  copyTo.items.push_back({});
  copyTo.items.push_back({"All weekdays", kCmAllWeekdays, {}});
  copyTo.items.push_back({"All days", kCmAllDays, {}});
  ui::Menu menu({{"New", kCmNewEvent, {}}, {}, copyTo, {"Delete", kCmDeleteEvents, {}}});
  menu.TrackAtCursor(*this);
}

void TRTCListWindow::Notify(NotifyRecord* record) {
  if (record->code == RefreshAll) ShowAsRead();
  TDataWindow::Notify(record);
}

// The frame.

TRTCDecoratedFrame::TRTCDecoratedFrame(TEditOVWindow& editWindow)
    : OVChild<ui::Frame>(editWindow, "Timer Events", "RTC Events", nullptr),
      layout_(std::make_unique<TRTCLayoutWindow>(this)),
      editor_(std::make_unique<TTimerDialog>(layout_.get(), Device())),
      list_(std::make_unique<TRTCListWindow>(layout_.get(), Device(), *editor_)) {
  editor_->SetList(list_.get());
  SetClient(layout_.get());
  const ui::Rect area = ScreenWorkArea();
  SetRect({area.left, area.top, area.left + kFrameWidth, area.top + kFrameHeight});
  SetOutputCountIcon();
  AddStatusBar();
  SetHints(kClockEventHints);
  AddToolButton(kCmNewEvent, ui::Resources::Image(kEventImage));
  AddToolSeparator();
  AddToolButton(kCmDeleteEvents, ui::Resources::Image(kDeleteImage));

  using ui::Edge;
  using ui::EdgeRule;
  layout_->SetChildMetrics(*editor_,
                           {EdgeRule::SameAs(Edge::Left, nullptr, Edge::Left),
                            EdgeRule::SameAs(Edge::Right, nullptr, Edge::Right),
                            EdgeRule::Absolute(Edge::Height, kEditorHeightLayoutUnits, true),
                            EdgeRule::SameAs(Edge::Bottom, nullptr, Edge::Bottom)});
  layout_->SetChildMetrics(*list_, {EdgeRule::SameAs(Edge::Left, nullptr, Edge::Left),
                                    EdgeRule::SameAs(Edge::Right, nullptr, Edge::Right),
                                    EdgeRule::SameAs(Edge::Top, nullptr, Edge::Top),
                                    EdgeRule::SameAs(Edge::Bottom, editor_.get(), Edge::Top)});

  TRTCListWindow& list = *list_;
  OnCommand(kCmNewEvent, [&list] { list.CmNew(); });
  OnEnable(kCmNewEvent, [&list](ui::CommandState& s) { s.enabled = list.CanAddEvent(); });
  OnCommand(kCmDeleteEvents, [&list] { list.CmDelete(); });
  OnCommand(kCmAllWeekdays,
            [&list] { list.CmCopyToDays("Copy event to all weekdays?", true, false, 0); });
  OnCommand(kCmAllDays, [&list] { list.CmCopyToDays("Copy to all days?", false, true, 0); });
  for (int day = kFirstDay; day <= kLastDay; ++day) {
    OnCommand(kCmFirstCopyToDay + day - 1, [&list, day] {
      list.CmCopyToDays(std::string("Copy event to ") + DayName(day) + "?", false, false, day);
    });
  }
  for (int id : {kCmDeleteEvents, kCmAllWeekdays, kCmAllDays}) {
    OnEnable(id, [&list](ui::CommandState& s) { s.enabled = list.HasSelection(); });
  }
  for (int id = kCmFirstCopyToDay; id <= kCmLastCopyToDay; ++id) {
    OnEnable(id, [&list](ui::CommandState& s) { s.enabled = list.HasSelection(); });
  }
}

TRTCDecoratedFrame::~TRTCDecoratedFrame() { Destroy(); }

}  // namespace namespaceOV
