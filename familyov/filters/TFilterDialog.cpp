#include "familyov/filters/TFilterDialog.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

#include "controls/ChangeOutcome.h"
#include "controls/ControlChange.h"
#include "familycommon/TypedNumbers.h"
#include "familyov/filters/FilterDialogs.h"
#include "familyov/filters/FilterElements.h"
#include "familyov/filters/FiltersInDoubt.h"
#include "familyov/filters/TFilter.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "platform/ui/Button.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Static.h"
#include "resources/FamilyOvFilterDialogIds.h"

namespace namespaceOV {

namespace {

constexpr std::size_t kEntryChars = 19;

// Whether the record is about `filter`: one filter, or with flag 1 a list of them.
bool Names(const NotifyRecord& record, const TFilter* filter) {
  if (record.flag != 1) return record.pointer == filter;
  const auto* list = static_cast<const std::vector<TFilter*>*>(record.pointer);
  return list != nullptr && std::ranges::find(*list, filter) != list->end();
}

}  // namespace

std::optional<double> ScanNumber(const std::string& text) {
  return familycommon::ScanNumber(text, kEntryChars);
}

int ParseFrequencyText(const std::string& text, int low, int high, int current) {
  return familycommon::ParseTypedFrequency(text, low, high, kEntryChars)
      .value_or(std::clamp(current, low, high));
}

float ParseRatioText(const std::string& text, float low, float high, float current) {
  const std::string entry = text.substr(0, kEntryChars);
  double value = 0.0;
  if (const std::size_t slash = entry.find('/'); slash != std::string::npos) {
    const double numerator = ScanNumber(entry.substr(0, slash)).value_or(low);
    const double denominator = ScanNumber(entry.substr(slash + 1)).value_or(high);
    value = denominator == 0.0 ? high : numerator / denominator;
  } else if (const auto number = ScanNumber(entry)) {
    value = *number;
  } else {
    value = current;
  }
  return static_cast<float>(std::clamp(value, double(low), double(high)));
}

bool TakeUnitsValues(IQDeviceOrdavinex& device, std::span<TFilter* const> filters) {
  // Read into copies, so that a read cut short leaves every filter whole.
  std::vector<std::unique_ptr<TFilter>> read;
  bool gave = true;
  // A slot that holds another type of filter gives no values of this one.
  const bool answered = GuardedUnitCall(device, [&] {
    for (const TFilter* filter : filters) {
      read.push_back(filter->Clone());
      gave = gave && read.back()->ReadFromDevice(device);
    }
  });
  if (!answered || !gave) return false;
  for (std::size_t i = 0; i < filters.size(); ++i) filters[i]->CopyParamsFrom(*read[i]);
  return true;
}

TFilterDialog::TFilterDialog(IQDeviceOrdavinex* device, ui::Window* parent, int resourceId)
    : ui::Dialog(parent, resourceId), TDataWindow(parent), device_(device) {
  OnMessage(ui::msg::kRButtonUp, [this](const ui::Message&) {
    if (device_ != nullptr && filter_ != nullptr) {
      ui::Menu menu({{"Set as default", kCmSetAsDefault, {}}});
      menu.TrackAtCursor(*this);
    }
    return 0;
  });
  OnCommand(kCmSetAsDefault, [this] { CmSetAsDefault(); });
}

TFilterDialog::~TFilterDialog() {
  Destroy();
  ForgetControls();
}

int TFilterDialog::ParseFrequencyEdit(ui::Edit& edit, int low, int high, int current) {
  if (!edit.IsModified()) return current;
  const int value = ParseFrequencyText(edit.Text(), low, high, current);
  edit.SetText(std::to_string(value));
  return value;
}

float TFilterDialog::ParseRatioEdit(ui::Edit& edit, float low, float high, float current) {
  if (!edit.IsModified()) return current;
  const float value = ParseRatioText(edit.Text(), low, high, current);
  edit.SetText(Printf("%.1f", double{value}));
  return value;
}

void TFilterDialog::SetFilter(TFilter* filter) {
  ForgetControls();
  filter_ = filter;
  held_ = filter == nullptr ? nullptr : filter->Clone();
  unknown_ = false;
  readSinceDoubt_ = false;
}

void TFilterDialog::RegisterControls(ui::Edit* frequency, ui::Edit* level) {
  frequencyControl_ = frequency;
  levelControl_ = level;
  if (filter_ == nullptr) return;
  filter_->dialogFrequencyControl = frequency;
  filter_->dialogLevelControl = level;
}

void TFilterDialog::ForgetControls() {
  // Copies of a filter carry its references along, so every filter of the unit is looked at;
  // the filter shown may be gone already.
  if (device_ == nullptr || (frequencyControl_ == nullptr && levelControl_ == nullptr)) return;
  auto forget = [this](TFilter* filter) {
    if (filter == nullptr) return;
    if (frequencyControl_ && filter->dialogFrequencyControl == frequencyControl_) {
      filter->dialogFrequencyControl = nullptr;
    }
    if (levelControl_ && filter->dialogLevelControl == levelControl_) {
      filter->dialogLevelControl = nullptr;
    }
  };
  for (const auto& filter : device_->Filters()) forget(filter.get());
  for (int output = 0; output < device_->outputs; ++output) {
    forget(device_->LowCrossover(output));
    forget(device_->HighCrossover(output));
  }
  frequencyControl_ = nullptr;
  levelControl_ = nullptr;
}

void TFilterDialog::CleanupWindow() {
  ForgetControls();
  ui::Dialog::CleanupWindow();
}

void TFilterDialog::Notify(NotifyRecord* record) {
  if (filter_ != nullptr && record->code == FilterRemoved && Names(*record, filter_)) {
    // The filter goes: nothing of it may be shown or written to any more.
    SetFilter(nullptr);
  }
  if (record->code == FilterSetChanged) {
    // A write of any filter that went unanswered is told this way: this one may be in doubt again.
    readSinceDoubt_ = false;
    if (filter_ != nullptr && device_ != nullptr && !device_->Holds(filter_)) SetFilter(nullptr);
  }
  if (filter_ != nullptr && record->code == FilterChanged) {
    if (Names(*record, filter_)) held_ = filter_->Clone();
    Refill();
  }
  TDataWindow::Notify(record);
}

bool TFilterDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.code != ui::key::kReturn && key.code != ui::key::kEscape) {
    return ui::Dialog::PreProcessKey(key);
  }
  if (key.down && filter_ != nullptr) {
    if (key.code == ui::key::kReturn) {
      ApplyEntries();
    } else {
      Refill();
    }
  }
  return true;
}

void TFilterDialog::ApplyEntries() {
  ApplyChange([] {});
}

void TFilterDialog::WriteAndAnnounce(bool fullWrite) {
  WriteAndAnnounce([&] {
    TakeUnshownFromUnit();
    if (fullWrite) {
      filter_->WriteToDevice(*device_);
      filter_->SendCreateCommand(*device_);
    } else {
      filter_->WriteParams(*device_);
    }
  });
}

void TFilterDialog::WriteAndAnnounce(const std::function<void()>& write) {
  ChangeOnUnit(*device_, write,
               {.taken =
                    [this] {
                      held_ = filter_->Clone();
                      NotifyRecord record{FilterChanged, filter_->channel, 0, filter_};
                      NotifyRoot(&record);
                    },
                .showUnit = [this] { TakeUnitsFilter(controls::ChangeOutcome::kNotTaken); },
                .showUnknown = [this] { TakeUnitsFilter(controls::ChangeOutcome::kInDoubt); }});
}

void TFilterDialog::TakeUnitsFilter(controls::ChangeOutcome outcome) {
  // A unit that may have taken the write is read again once it answers; a read now would only
  // fail, or show one value of several in doubt.
  filter_->CopyParamsFrom(*held_);
  unknown_ = outcome == controls::ChangeOutcome::kInDoubt;
  readSinceDoubt_ = false;
  if (unknown_) {
    ShowFiltersInDoubt(*device_, *this);
  } else {
    ReadBackAfterRefusal(*device_, *filter_, *this);
  }
  held_ = filter_->Clone();
  Refill();
}

bool TFilterDialog::ValuesInDoubt() const { return device_->FiltersStale() && !readSinceDoubt_; }

bool TFilterDialog::TakeUnitsValues() {
  TFilter* const filter[] = {filter_};
  if (!namespaceOV::TakeUnitsValues(*device_, filter)) return false;
  held_ = filter_->Clone();
  unknown_ = false;
  readSinceDoubt_ = true;
  // Text typed over a blank is the value a step starts from, as it is over a value shown.
  ReadControls();
  ShowFilter();
  return true;
}

bool TFilterDialog::StepsFromUnit() {
  return !ValuesInDoubt() || controls::ApplyChange([this] { return TakeUnitsValues(); }, {}) ==
                                 controls::ChangeOutcome::kTaken;
}

void TFilterDialog::Refill() {
  // Once the unit's doubt is settled, the filter holds what the unit was read to hold.
  unknown_ = unknown_ && device_->InDoubt();
  ShowFilter();
  if (!unknown_) return;
  // Every field, choice and read-out of a value shows it unknown.
  for (ui::Window* child : Children()) {
    if (auto* field = dynamic_cast<ui::Edit*>(child)) field->SetText(std::string());
    if (auto* choice = dynamic_cast<ui::CheckBox*>(child)) choice->ShowNoState();
    if (auto* readOut = dynamic_cast<ui::StaticText*>(child);
        readOut != nullptr && (readOut->Id() == ovfilterdlg_res::kSlopeText ||
                               readOut->Id() == ovfilterdlg_res::kFrequencyText)) {
      readOut->SetText(std::string());
    }
  }
}

void TFilterDialog::CmSetAsDefault() {
  // Never values the fields show blank: those in doubt are read first.
  if (device_ == nullptr || filter_ == nullptr || !StepsFromUnit()) return;
  device_->SaveFilterDefaults(*filter_);
}

TStubDialog::TStubDialog(ui::Window* parent)
    : TFilterDialog(nullptr, parent, ovfilterdlg_res::kStubDialog) {}

std::unique_ptr<TFilterDialog> CreateFilterDialog(int typeCode, IQDeviceOrdavinex& device,
                                                  ui::Window* parent) {
  switch (typeCode) {
    case kFilterParametric:
      return std::make_unique<TParametricDialog>(device, parent);
    case kFilterLowpass:
      return std::make_unique<TLowpassDialog>(device, parent);
    case kFilterHighpass:
      return std::make_unique<THighpassDialog>(device, parent);
    case kFilterLowShelf:
      return std::make_unique<TLowshelfDialog>(device, parent);
    case kFilterHighShelf:
      return std::make_unique<THighshelfDialog>(device, parent);
    case kFilterBoostCut:
      return std::make_unique<TOctaveDialog>(device, parent);
    case kFilterCDHorn:
      return std::make_unique<TCDHornDialog>(device, parent);
    case kFilterAllpass:
      return std::make_unique<TAllpassDialog>(device, parent);
    default:
      return std::make_unique<TStubDialog>(parent);
  }
}

}  // namespace namespaceOV
