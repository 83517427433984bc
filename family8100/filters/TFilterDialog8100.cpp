#include "family8100/filters/TFilterDialog8100.h"

#include <cstdio>
#include <string>

#include "controls/DeviceErrorReport.h"
#include "family8100/filters/BankEditing.h"
#include "family8100/filters/BankHub.h"
#include "family8100/filters/FilterEdits.h"
#include "family8100/filters/FilterEntry.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/Types8100.h"
#include "familycommon/BandwidthSlider.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Validator.h"
#include "resources/Family8100FilterDialogIds.h"

namespace namespace8100 {

namespace {

using namespace f8100res;

constexpr const char* kFrequencyCharacters = "0-9k.";
constexpr const char* kNumberCharacters = "-0-9.";
// Only the first characters of a field are read.
constexpr int kFieldChars = 18;
constexpr int kSlopePerOrderDb = 6;
constexpr int kCmSetAsDefault = 101;

std::string OneDecimal(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(value));
  return text;
}

int ResourceOf(int32_t type) {
  switch (type) {
    case kParametricFilter:
      return kParametricDialog8100;
    case kBoostCutFilter:
      return kBoostCutDialog8100;
    case kLowpassFilter:
      return kLowpassDialog8100;
    case kHighpassFilter:
      return kHighpassDialog8100;
    case kLowShelfFilter:
      return kLowShelfDialog8100;
    case kHighShelfFilter:
      return kHighShelfDialog8100;
    default:
      return 0;
  }
}

float* LevelOf(TFilter& filter) {
  if (auto* peak = dynamic_cast<TPeakFilter*>(&filter)) return &peak->level;
  if (auto* shelf = dynamic_cast<TShelfFilter*>(&filter)) return &shelf->level;
  return nullptr;
}

std::optional<std::string> TextOf(const std::optional<ui::Edit>& edit) {
  if (!edit) return std::nullopt;
  return edit->Text();
}

}  // namespace

std::unique_ptr<TFilterDialog8100> TFilterDialog8100::Make(ui::Window* parent, TChannelParent& hub,
                                                           TFilter& filter) {
  const int resource = ResourceOf(filter.type);
  if (resource == 0) return nullptr;
  return std::unique_ptr<TFilterDialog8100>(new TFilterDialog8100(parent, resource, hub, filter));
}

TFilterDialog8100::TFilterDialog8100(ui::Window* parent, int resourceId, TChannelParent& hub,
                                     TFilter& filter)
    : ui::Dialog(parent, resourceId), hub_(hub), filter_(&filter) {
  const bool peak = dynamic_cast<TPeakFilter*>(&filter) != nullptr;
  const bool pass = dynamic_cast<TPassFilter*>(&filter) != nullptr;
  if (filter.type == kBoostCutFilter) {
    fixedFrequency_.emplace(this, kFilterFixedFrequency);
  } else {
    frequency_.emplace(this, kFilterFrequency, kFieldChars);
    frequencyQuad_.emplace(this, kFilterFrequencyQuad);
  }
  if (LevelOf(filter)) {
    level_.emplace(this, kFilterLevel, kFieldChars);
    levelQuad_.emplace(this, kFilterLevelQuad);
  }
  if (peak) {
    invert_.emplace(this, kFilterInvert);
    OnCommand(kFilterInvert, [this] { ApplyAndCommit(true); });
  }
  if (filter.type == kParametricFilter) {
    q_.emplace(this, kFilterQ, kFieldChars);
    bandwidth_.emplace(this, kFilterBandwidth);
    OnNotify(kFilterBandwidth, ui::Notify::Scroll, [this](const ui::Notification& n) {
      EvBandwidth(static_cast<ui::ScrollCode>(n.value));
      return ui::Param{0};
    });
  }
  if (pass) {
    slopeSpin_.emplace(this, kFilterSlopeSpin);
    slope_.emplace(this, kFilterSlope);
    OnNotify(kFilterSlopeSpin, ui::Notify::DeltaPos, [this](const ui::Notification& n) {
      EvSlope(static_cast<int>(n.value));
      return ui::Param{0};
    });
  }
  // The boost/cut filters are the unit's own: they have no default to set.
  if (filter.type != kBoostCutFilter) {
    OnMessage(ui::msg::kRButtonDown, [this](const ui::Message& m) {
      ui::Menu menu;
      menu.AppendItem(kCmSetAsDefault, "Set as default");
      menu.Track(*this, ClientToScreen(ui::UnpackPoint(m.lParam)));
      return 0;
    });
    OnCommand(kCmSetAsDefault, [this] { SetAsDefault(); });
  }
  OnMessage(TQuadButton::kQuadSpin, [this](const ui::Message& m) {
    EvQuad(reinterpret_cast<const TQuadButton*>(m.lParam), static_cast<int>(m.wParam));
    return 0;
  });
  OnMessage(bankmsg::kValuesChanged, [this](const ui::Message&) {
    // The filter may have been deleted since the message was posted.
    if (filter_ != nullptr) UpdateControls();
    return 0;
  });
  if (frequency_) filter.frequencyField = &*frequency_;
  if (level_) filter.levelField = &*level_;
  hub_.AddListener(*this);
}

TFilterDialog8100::~TFilterDialog8100() {
  hub_.RemoveListener(*this);
  TFilter* filter = filter_;
  if (filter == nullptr) return;
  if (frequency_ && filter->frequencyField == &*frequency_) filter->frequencyField = nullptr;
  if (level_ && filter->levelField == &*level_) filter->levelField = nullptr;
}

void TFilterDialog8100::SetupWindow() {
  ui::Dialog::SetupWindow();
  if (frequency_)
    frequency_->SetValidator(std::make_unique<ui::CharSetValidator>(kFrequencyCharacters));
  for (auto* edit : {&level_, &q_}) {
    if (*edit) (*edit)->SetValidator(std::make_unique<ui::CharSetValidator>(kNumberCharacters));
  }
  if (bandwidth_) {
    familycommon::SetUpBandwidthSlider(*bandwidth_);
  }
  UpdateControls();
}

void TFilterDialog8100::UpdateControls() {
  if (!IsCreated() || filter_ == nullptr) return;
  TFilter& filter = *filter_;
  if (frequency_) frequency_->SetText(std::to_string(filter.frequency));
  if (fixedFrequency_) fixedFrequency_->SetText(std::to_string(filter.frequency));
  if (const float* level = LevelOf(filter); level && level_) level_->SetText(OneDecimal(*level));
  if (const auto* peak = dynamic_cast<const TPeakFilter*>(&filter); peak && q_) {
    q_->SetText(OneDecimal(peak->q));
    bandwidth_->SetPosition(BandwidthPosition(peak->q));
  }
  if (const auto* pass = dynamic_cast<const TPassFilter*>(&filter); pass && slope_) {
    slope_->SetText(std::to_string(-kSlopePerOrderDb * pass->order));
  }
}

bool TFilterDialog8100::ApplyTyped(bool invertLevel) {
  if (filter_ == nullptr) return false;
  const bool any =
      ApplyTypedFields(*filter_, {TextOf(frequency_), TextOf(level_), TextOf(q_)}, invertLevel);
  UpdateControls();
  return any;
}

void TFilterDialog8100::ApplyAndCommit(bool invertLevel) {
  if (filter_ == nullptr) return;
  // A write the unit fails leaves none of the typed values in the filter: no later write of the
  // filter may carry them.
  const std::unique_ptr<TFilter> held = filter_->Clone();
  // Fields that hold no number leave the filter as it is: then there is nothing to write.
  if (!ApplyTyped(invertLevel)) return;
  Announce();
  if (CommitFilter(hub_.Unit(), *filter_)) return;
  KeepUntypedValues(*filter_, *held);
  ShowWhatTheUnitHolds();
}

bool TFilterDialog8100::Commit() {
  if (filter_ == nullptr) return false;
  if (CommitFilter(hub_.Unit(), *filter_)) return true;
  ShowWhatTheUnitHolds();
  return false;
}

void TFilterDialog8100::ShowWhatTheUnitHolds() {
  ReadFilterBackQuietly(hub_.Unit(), *filter_);
  UpdateControls();
  Announce();
}

void TFilterDialog8100::Announce() {
  if (filter_ == nullptr) return;
  hub_.Broadcast(bankmsg::kValuesChanged, hub_.Bank(), FilterParam(filter_.get()));
}

void TFilterDialog8100::SetAsDefault() {
  const auto* type = dynamic_cast<const IQ8100Type*>(hub_.Unit().GetType());
  if (type != nullptr && filter_ != nullptr) {
    type->Key().SaveFilterDefault(*filter_);
  }
}

void TFilterDialog8100::EvQuad(const TQuadButton* button, int steps) {
  if (button == nullptr || filter_ == nullptr) return;
  TFilter& filter = *filter_;
  if (frequencyQuad_ && button == &*frequencyQuad_) {
    filter.frequency = SteppedFrequency(filter.frequency, button->CurrentZone(), steps);
  } else if (levelQuad_ && button == &*levelQuad_) {
    float* level = LevelOf(filter);
    *level = SteppedLevel(*level, button->CurrentZone(), LowestSteppedLevel(filter.type));
  } else {
    return;
  }
  Commit();
  UpdateControls();
  Announce();
}

void TFilterDialog8100::EvBandwidth(ui::ScrollCode code) {
  if (filter_ == nullptr) return;
  auto& peak = dynamic_cast<TPeakFilter&>(*filter_);
  peak.q = QAtPosition(bandwidth_->Position());
  q_->SetText(OneDecimal(peak.q));
  ApplyTypedFields(peak, {TextOf(frequency_), TextOf(level_), std::nullopt});
  if (code != ui::ScrollCode::EndScroll) return;
  if (Commit()) Announce();
}

void TFilterDialog8100::EvSlope(int delta) {
  if (filter_ == nullptr) return;
  auto& pass = dynamic_cast<TPassFilter&>(*filter_);
  // The up arrow reports a negative delta and raises the order.
  const int32_t frequency = pass.frequency;
  bool fits = true;
  if (!controls::GuardedBusCall(&hub_.Unit(), [&] {
        ApplyTypedFields(pass, {TextOf(frequency_), std::nullopt, std::nullopt});
        fits = StepOrder(hub_.Unit(), pass, -delta);
      })) {
    ShowWhatTheUnitHolds();
    return;
  }
  if (!fits) {
    pass.frequency = frequency;  // a refused step changes nothing
    ui::MessageBox(this, "Filter capacity exceeded", "", ui::mb::kOk | ui::mb::kIconInformation);
    return;
  }
  UpdateControls();
  Announce();
}

void TFilterDialog8100::LeaveFields() {
  if (ui::Window* pane = Parent(); pane && pane->Parent()) pane->Parent()->SetFocus();
}

bool TFilterDialog8100::PreProcessKey(const ui::KeyStroke& key) {
  if (key.code != ui::key::kReturn && key.code != ui::key::kEscape) {
    return ui::Dialog::PreProcessKey(key);
  }
  // Only the key's release acts; neither key reaches the dialog's own handling, so neither
  // presses a default button nor closes the dialog.
  if (key.down) return true;
  if (key.code == ui::key::kReturn) {
    ApplyAndCommit(false);
  } else {
    UpdateControls();
  }
  LeaveFields();
  return true;
}

}  // namespace namespace8100
