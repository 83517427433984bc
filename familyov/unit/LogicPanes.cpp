#include "familyov/unit/LogicPanes.h"

#include <algorithm>
#include <functional>
#include <string>

#include "controls/DeviceErrorReport.h"
#include "controls/LevelScale.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/WindowCalls.h"
#include "platform/ui/Resources.h"
#include "platform/ui/Validator.h"
#include "resources/FamilyOvFunctionIds.h"

namespace namespaceOV {

namespace {

using namespace ovfunctions_res;

constexpr int kNumberChars = 2;
constexpr int kColumnMarginPixels = 15;
constexpr int kRowImage = 0;
constexpr int kLastFiredImage = 1;
constexpr ui::Point kDragHotSpot{7, 7};

LogicBitBoxes Checked(const std::array<std::unique_ptr<ui::CheckBox>, kLogicBits>& boxes) {
  LogicBitBoxes bits{};
  for (int k = 0; k < kLogicBits; ++k) bits[k] = boxes[k]->IsChecked();
  return bits;
}

void ShowBits(std::array<std::unique_ptr<ui::CheckBox>, kLogicBits>& boxes,
              const LogicBitBoxes& bits) {
  for (int k = 0; k < kLogicBits; ++k) boxes[k]->SetCheck(bits[k]);
}

void ShowNoBits(std::array<std::unique_ptr<ui::CheckBox>, kLogicBits>& boxes) {
  for (auto& box : boxes) box->ShowNoState();
}

int ReadLogicOut(IQDeviceOrdavinex& device, int input) {
  gLogicOutObject.SetElement(input);
  return gLogicOutObject.Read(device);
}

}  // namespace

TLogicDialog::TLogicDialog(ui::Window* parent, IQDeviceOrdavinex& device)
    : ui::Dialog(parent, kLogicDialog),
      TDataWindow(parent),
      device_(device),
      inNumber_(this, kLogicInNumber, kNumberChars),
      outNumber_(this, kLogicOutNumber, kNumberChars),
      inSpin_(this, kLogicInUpDown),
      outSpin_(this, kLogicOutUpDown),
      memories_(this, kRecalledMemory),
      trigger_(this, kTriggerNow) {
  for (int k = 0; k < kLogicBits; ++k) {
    inBits_[k] = std::make_unique<ui::CheckBox>(this, kFirstLogicInBit + k);
    outBits_[k] = std::make_unique<ui::CheckBox>(this, kFirstLogicOutBit + k);
    OnCommand(kFirstLogicInBit + k, [this] { CmLogicInBit(); });
    OnCommand(kFirstLogicOutBit + k, [this, k] { CmLogicOutBit(k); });
  }
  OnCommand(kTriggerNow, [this] { CmTriggerNow(); });
  OnNotify(kRecalledMemory, ui::Notify::SelChange, [this](const ui::Notification&) {
    CmMemorySelected();
    return 0;
  });
  // The spins only step the numbers; the boxes and edits show them.
  OnNotify(kLogicInUpDown, ui::Notify::DeltaPos, [this](const ui::Notification& n) {
    EvLogicInSpin(static_cast<int>(n.value));
    return 1;
  });
  OnNotify(kLogicOutUpDown, ui::Notify::DeltaPos, [this](const ui::Notification& n) {
    EvLogicOutSpin(static_cast<int>(n.value));
    return 1;
  });
}

void TLogicDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  FillMemoryList();
  inNumber_.SetValidator(std::make_unique<ui::RangeValidator>(0, kLastLogicNumber));
  outNumber_.SetValidator(std::make_unique<ui::RangeValidator>(0, kLastLogicNumber));
  Refresh();
}

void TLogicDialog::FillMemoryList() {
  memories_.Clear();
  memories_.AddString("<none>");
  GuardedUnitCall(device_, [&] {
    for (int memory = 1; memory <= device_.GetMemoryCount(); ++memory) {
      memories_.AddString(std::to_string(memory) + ": " + RecalledMemoryText(device_, memory));
    }
  });
}

void TLogicDialog::Refresh() {
  const int input = ClampLogicNumber(device_.selectedLogicIn);
  const bool responds = input != 0;
  for (auto& box : outBits_) box->Enable(responds);
  for (ui::Window* control :
       std::initializer_list<ui::Window*>{&memories_, &outSpin_, &outNumber_, &trigger_}) {
    control->Enable(responds);
  }
  ShowBits(inBits_, LogicBitsOf(input));
  inNumber_.SetText(std::to_string(input));
  // No input chosen shows none; one whose settings the unit does not answer shows them unknown.
  ShowBits(outBits_, {});
  outNumber_.SetText("");
  memories_.SetSelection(-1);
  if (!responds) return;
  ShowOutputUnknown();
  GuardedUnitCall(device_, [&] {
    const int output = ReadLogicOut(device_, input);
    gLogicMemoryObject.SetElement(input);
    const int memory = gLogicMemoryObject.Read(device_);
    ShowBits(outBits_, LogicBitsOf(output));
    outNumber_.SetText(std::to_string(output));
    // A memory the model lacks (from a settings file) is shown as none chosen.
    memories_.SetSelection(memory < memories_.Count() ? memory : -1);
  });
}

void TLogicDialog::ShowOutputUnknown() {
  ShowNoBits(outBits_);
  outNumber_.SetText("");
}

void TLogicDialog::SendLocal(uint32_t code, int input) {
  NotifyRecord record{.code = code, .channel = input};
  NotifyLocal(&record);
}

void TLogicDialog::Select(int input) {
  device_.selectedLogicIn = ClampLogicNumber(input);
  SendLocal(LogicInSelected, device_.selectedLogicIn);
}

void TLogicDialog::ChangeLogicOut(const std::function<int(int held)>& changed) {
  const int input = device_.selectedLogicIn;
  const auto showUnit = [&] {
    Refresh();
    SendLocal(LogicOutChanged, input);
  };
  ChangeOnUnit(device_,
               [&] {
                 // The change applies to what the unit holds, never to what the pane shows: a
                 // pane filled while the unit was silent shows no bits. The device's copy serves a
                 // current value without asking the unit.
                 const int output = changed(ReadLogicOut(device_, input));
                 gLogicOutObject.SetElement(input);
                 gLogicOutObject.Write(device_, static_cast<uint8_t>(ClampLogicNumber(output)));
               },
               // Taken or not, the pane and the list's row show what the unit holds.
               {.taken = showUnit, .showUnit = showUnit, .showUnknown = [&] {
                  ShowOutputUnknown();
                  SendLocal(LogicOutChanged, input);
                }});
}

void TLogicDialog::CmLogicInBit() {
  controls::OneReportScope action;
  Select(LogicNumberOf(Checked(inBits_)));
  Refresh();
}

void TLogicDialog::EvLogicInSpin(int delta) {
  controls::OneReportScope action;
  // An arrow reports -1 going up; the numbers count up as it goes.
  Select(device_.selectedLogicIn - delta);
  Refresh();
}

void TLogicDialog::CmLogicOutBit(int box) {
  const bool ticked = outBits_[box]->IsChecked();
  ChangeLogicOut([box, ticked](int held) {
    LogicBitBoxes bits = LogicBitsOf(held);
    bits[box] = ticked;
    return LogicNumberOf(bits);
  });
}

void TLogicDialog::EvLogicOutSpin(int delta) {
  ChangeLogicOut([delta](int held) { return held - delta; });
}

void TLogicDialog::CmMemorySelected() {
  const int input = device_.selectedLogicIn;
  const int memory = memories_.Selection();
  if (input == 0 || memory < 0) return;
  ChangeOnUnit(device_,
               [&] {
                 gLogicMemoryObject.SetElement(input);
                 gLogicMemoryObject.Write(device_, static_cast<uint8_t>(memory));
               },
               {.taken = [&] { SendLocal(LogicMemoryChanged, input); },
                .showUnit =
                    [&] {
                      Refresh();
                      SendLocal(LogicMemoryChanged, input);
                    },
                .showUnknown =
                    [&] {
                      memories_.SetSelection(-1);
                      SendLocal(LogicMemoryChanged, input);
                    }});
}

bool TLogicDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.code != ui::key::kReturn && key.code != ui::key::kEscape) {
    return ui::Dialog::PreProcessKey(key);
  }
  if (!key.down || key.code == ui::key::kEscape) return true;
  controls::OneReportScope action;
  // An empty edit holds no number: nothing is committed and the shown value comes back.
  if (inNumber_.IsFocusOfItsWindow()) {
    const std::optional<int> typed = TypedLogicNumber(inNumber_.Text());
    if (typed && *typed != device_.selectedLogicIn) Select(*typed);
  } else if (outNumber_.IsFocusOfItsWindow() && device_.selectedLogicIn != 0) {
    const std::optional<int> typed = TypedLogicNumber(outNumber_.Text());
    int current = 0;
    if (typed &&
        GuardedUnitCall(device_,
                        [&] { current = ReadLogicOut(device_, device_.selectedLogicIn); }) &&
        *typed != current) {
      ChangeLogicOut([&](int) { return *typed; });
      return true;
    }
  }
  Refresh();
  return true;
}

void TLogicDialog::CmTriggerNow() {
  const int input = device_.selectedLogicIn;
  if (!Confirmed(this,
                 "Trigger preset " + std::to_string(input) +
                     " (will cause overwrite of current settings)?",
                 "Trigger preset")) {
    return;
  }
  // The trigger, the read of what it did and the windows' refresh are one command: a unit that
  // never gets ready again is told of once, and what it did is read back all the same.
  controls::OneReportScope command;
  GuardedUnitCall(device_, [&] {
    WithProgress("Triggering...", [&] {
      gCurrentLogicInObject.WriteAndWaitReady(device_, static_cast<uint8_t>(input));
    });
  });
  if (!device_.IsOnline()) {
    GuardedUnitCall(device_, [&] {
      gRecallMemoryObject.RecallMemory(device_,
                                       static_cast<uint8_t>(RecalledMemory(device_, input)));
    });
  }
  device_.InvalidateValues();
  ProgressWindow progress;
  GuardedUnitCall(device_, [&] { device_.ReadDeviceParameters(&progress); });
  NotifyRecord record{.code = RefreshAll};
  NotifyRoot(&record);
}

void TLogicDialog::Notify(NotifyRecord* record) {
  if (record->code == MemoryRenamed || record->code == RefreshAll) {
    FillMemoryList();
    Refresh();
  } else if (record->code == LogicInSelected ||
             ((record->code == LogicOutChanged || record->code == LogicMemoryChanged) &&
              record->channel == device_.selectedLogicIn)) {
    Refresh();
  }
  TDataWindow::Notify(record);
}

TLogicListWindow::TLogicListWindow(ui::Window* parent, IQDeviceOrdavinex& device)
    : ui::LayoutWindow(parent),
      TDataWindow(parent),
      device_(device),
      list_(this, kLogicList),
      images_(16, 16) {
  list_.Bind({kLogicList, ui::ControlKind::ListView, "", {}, ui::style::kReport}, {0, 0, 100, 100});
  images_.AddStrip(ui::Resources::Image(kLogicRowImages), ui::Color{255, 255, 255});
  SetChildMetrics(list_, ui::LayoutMetrics::FillingClientArea());
  OnNotify(kLogicList, ui::Notify::ItemChanged, [this](const ui::Notification&) {
    EvItemChanged();
    return 0;
  });
  OnNotify(kLogicList, ui::Notify::BeginDrag, [this](const ui::Notification& n) {
    EvBeginDrag(n.item);
    return 0;
  });
  OnMessage(ui::msg::kMouseMove, [this](const ui::Message& m) {
    EvMouseMove(ui::UnpackPoint(m.lParam));
    return 0;
  });
  OnMessage(ui::msg::kLButtonUp, [this](const ui::Message& m) {
    EvLButtonUp(ui::UnpackPoint(m.lParam));
    return 0;
  });
}

TLogicListWindow::~TLogicListWindow() { Destroy(); }

void TLogicListWindow::SetupWindow() {
  ui::LayoutWindow::SetupWindow();
  list_.SetImageList(&images_);
  list_.AddColumn("Logic In", TextWidth("Logic In") + kColumnMarginPixels);
  list_.AddColumn("Memory", TextWidth(" Memory 1  ") + kColumnMarginPixels);
  list_.AddColumn("Logic Out", TextWidth("Logic Out") + kColumnMarginPixels);
  Fill();
}

void TLogicListWindow::Fill() {
  list_.DeleteAllItems();
  for (int input = 1; input <= kLastLogicNumber; ++input) {
    ShowResponseUnknown(list_.InsertItem(input - 1, std::to_string(input), kRowImage, input));
  }
  if (!GuardedUnitCall(device_, [this] { ShowRows(); })) rowsOwed_.Owe();
  SelectRow(device_.selectedLogicIn);
}

void TLogicListWindow::ShowRows() {
  const int lastFired = gCurrentLogicInObject.Read(device_);
  for (int row = 0; row < list_.Count(); ++row) {
    const int input = static_cast<int>(list_.ItemData(row));
    list_.SetItemImage(row, input == lastFired ? kLastFiredImage : kRowImage);
    ShowResponse(row, input);
  }
}

bool TLogicListWindow::IdleAction(long idleCount) {
  const bool more = ui::LayoutWindow::IdleAction(idleCount);
  return rowsOwed_.Settle(device_) == controls::PollOutcome::kResting ? more : true;
}

void TLogicListWindow::ShowResponse(int row, int input) {
  // Both read before either shows: a row shows no half of a response the unit stopped giving.
  gLogicMemoryObject.SetElement(input);
  const int memory = gLogicMemoryObject.Read(device_);
  const std::string recalled = memory <= device_.GetMemoryCount()
                                   ? RecalledMemoryText(device_, memory)
                                   : "<No memory " + std::to_string(memory) + ">";
  const int output = ReadLogicOut(device_, input);
  list_.SetItemText(row, 1, recalled);
  list_.SetItemText(row, 2, std::to_string(output));
}

void TLogicListWindow::ShowResponseUnknown(int row) {
  list_.SetItemText(row, 1, controls::kUnknownValue);
  list_.SetItemText(row, 2, controls::kUnknownValue);
}

void TLogicListWindow::SelectRow(int input) {
  selecting_ = true;
  int found = -1;
  for (int row = 0; row < list_.Count() && found < 0; ++row) {
    if (static_cast<int>(list_.ItemData(row)) == input) found = row;
  }
  list_.SelectItem(found);
  selecting_ = false;
}

void TLogicListWindow::UpdateRow(int input) {
  for (int row = 0; row < list_.Count(); ++row) {
    if (static_cast<int>(list_.ItemData(row)) == input) {
      // As the logic pane beside it, a row shows unknown what the unit did not answer.
      if (!GuardedUnitCall(device_, [&] { ShowResponse(row, input); })) ShowResponseUnknown(row);
      return;
    }
  }
}

void TLogicListWindow::EvItemChanged() {
  const int row = list_.SelectedItem();
  if (selecting_ || row < 0) return;
  const int input = static_cast<int>(list_.ItemData(row));
  if (input == device_.selectedLogicIn) return;
  controls::OneReportScope action;
  device_.selectedLogicIn = input;
  NotifyRecord record{.code = LogicInSelected, .channel = input};
  NotifyLocal(&record);
}

void TLogicListWindow::EvBeginDrag(int row) {
  if (row < 0) return;
  ui::Point upperLeft;
  const QImage picture = list_.CreateDragImage(row, upperLeft);
  draggedRow_ = row;
  dragImage_ = std::make_unique<ui::DragImage>(picture, kDragHotSpot);
  dragImage_->Enter(*this, ScreenToClient(list_.ClientToScreen(
                               {upperLeft.x + kDragHotSpot.x, upperLeft.y + kDragHotSpot.y})));
  CaptureMouse();
}

void TLogicListWindow::EvMouseMove(ui::Point p) {
  if (dragImage_) dragImage_->Move(p);
}

void TLogicListWindow::EvLButtonUp(ui::Point p) {
  if (draggedRow_ < 0) return;
  const int source = draggedRow_ + 1;
  draggedRow_ = -1;
  dragImage_.reset();
  ui::Window::ReleaseMouse();
  const int targetRow = list_.HitTest(list_.ScreenToClient(ClientToScreen(p)));
  list_.Invalidate();
  if (targetRow < 0) return;
  const int target = targetRow + 1;
  // Taken or not, the row and the logic pane show what the unit holds, unknown where it is silent.
  const auto showUnit = [this, target] {
    NotifyRecord record{.code = LogicOutChanged, .channel = target};
    NotifyLocal(&record);
  };
  ChangeOnUnit(device_, [&] { CopyLogicResponse(device_, source, target); },
               {.taken = showUnit, .showUnit = showUnit, .showUnknown = showUnit});
}

void TLogicListWindow::Notify(NotifyRecord* record) {
  switch (record->code) {
    case LogicInSelected:
      SelectRow(record->channel);
      break;
    case MemoryRenamed:
    case RefreshAll:
      Fill();
      break;
    case LogicOutChanged:
    case LogicMemoryChanged:
      UpdateRow(record->channel);
      break;
    default:
      break;
  }
  TDataWindow::Notify(record);
}

}  // namespace namespaceOV
