#include "family8100/filters/TFilterDialog8100.h"

#include <cstdio>
#include <string>

#include "controls/ControlChange.h"
#include "controls/DeviceErrorReport.h"
#include "family8100/filters/BankEditing.h"
#include "family8100/filters/BankHub.h"
#include "family8100/filters/FilterEdits.h"
#include "family8100/filters/FilterEntry.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/Types8100.h"
#include "familycommon/BandwidthSlider.h"
#include "familycommon/TypedNumbers.h"
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
    bandwidthSteps_.emplace(*bandwidth_);
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
  // Once the unit's doubt is settled, the filter holds what the unit was read to hold.
  filter.valuesInDoubt = filter.valuesInDoubt && hub_.Unit().InDoubt();
  const auto show = [&filter](auto& control, const std::string& text) {
    if (control) control->SetText(filter.valuesInDoubt ? std::string() : text);
  };
  show(frequency_, std::to_string(filter.frequency));
  if (fixedFrequency_) fixedFrequency_->SetText(std::to_string(filter.frequency));
  if (const float* level = LevelOf(filter)) show(level_, OneDecimal(*level));
  if (const auto* peak = dynamic_cast<const TPeakFilter*>(&filter); peak && q_) {
    show(q_, OneDecimal(peak->q));
    bandwidth_->SetPosition(BandwidthPosition(peak->q));
    bandwidthSteps_->Rest(!filter.valuesInDoubt);
  }
  if (const auto* pass = dynamic_cast<const TPassFilter*>(&filter)) {
    show(slope_, std::to_string(-kSlopePerOrderDb * pass->order));
  }
}

TypedFields TFilterDialog8100::Typed() const {
  return {TextOf(frequency_), TextOf(level_), TextOf(q_)};
}

void TFilterDialog8100::ApplyAndCommit(bool invertLevel) {
  const TypedFields typed = Typed();
  // Fields that hold no number leave the filter as it is: then there is nothing to write.
  Edit([&](TFilter& filter) {
    if (!ApplyTypedFields(filter, typed, invertLevel)) return false;
    WriteAndCommit(hub_.Unit(), filter);
    return true;
  });
}

void TFilterDialog8100::Edit(const std::function<bool(TFilter&)>& edit) {
  if (filter_ == nullptr) return;
  TFilter& filter = *filter_;
  IQDevice8100& unit = hub_.Unit();
  const TypedFields typed = Typed();
  const std::unique_ptr<TFilter> held = filter.Clone();
  bool written = false;
  const auto readBack = [&] {
    filter.TakeValues(*held);
    ReadFilterBackQuietly(unit, filter);
  };
  // The dialog and the views show the filter as it now stands before a failure's box opens.
  const auto shown = [&](bool announced) {
    UpdateControls();
    if (announced) Announce();
  };
  // A filter whose values are in doubt changes from what the unit holds, read first, not from
  // values the unit may no longer hold; one the unit's slot no longer holds is not written, and the
  // unit is read again whole.
  bool gone = false;
  const auto change = [&] {
    if (filter.valuesInDoubt) {
      gone = !filter.ReadFromUnit(unit);
      if (gone) {
        filter.TakeValues(*held);
        unit.MarkInDoubt();
        return;
      }
      held->TakeValues(filter);
    }
    written = edit(filter);
  };
  controls::ApplyChange([&] { return controls::GuardedBusCall(&unit, change); },
                        {.taken =
                             [&] {
                               if (!written) filter.TakeValues(*held);
                               filter.valuesInDoubt = gone;
                               shown(written);
                               // Numbers typed and not yet entered stay the user's, also across
                               // the read of values in doubt.
                               if (!written) ShowTyped(typed);
                             },
                         .showUnit =
                             [&] {
                               readBack();
                               shown(true);
                             },
                         .showUnknown =
                             [&] {
                               readBack();
                               filter.valuesInDoubt = true;
                               shown(true);
                             }});
}

void TFilterDialog8100::ShowTyped(const TypedFields& typed) {
  const auto show = [](std::optional<ui::Edit>& edit, const std::optional<std::string>& text) {
    if (edit && text && familycommon::ScanNumber(*text, kFieldChars)) edit->SetText(*text);
  };
  show(frequency_, typed.frequency);
  show(level_, typed.level);
  show(q_, typed.q);
}

void TFilterDialog8100::Announce() {
  if (filter_ == nullptr) return;
  hub_.Broadcast(bankmsg::kValuesChanged, hub_.Bank(), FilterParam(filter_.get()));
}

void TFilterDialog8100::SetAsDefault() {
  const auto* type = dynamic_cast<const IQ8100Type*>(hub_.Unit().GetType());
  if (type == nullptr) return;
  // Values in doubt are read first, as for a change, and the default is what the unit holds.
  Edit([&](const TFilter& filter) {
    type->Key().SaveFilterDefault(filter);
    return false;
  });
}

void TFilterDialog8100::EvQuad(const TQuadButton* button, int steps) {
  if (button == nullptr) return;
  const bool frequency = frequencyQuad_ && button == &*frequencyQuad_;
  if (!frequency && !(levelQuad_ && button == &*levelQuad_)) return;
  // The step starts from a number typed into its field; the other values are the filter's.
  const TypedFields typed = Typed();
  Edit([&](TFilter& filter) {
    if (frequency) {
      ApplyTypedFields(filter, {typed.frequency, std::nullopt, std::nullopt});
      filter.frequency = SteppedFrequency(filter.frequency, button->CurrentZone(), steps);
    } else {
      ApplyTypedFields(filter, {std::nullopt, typed.level, std::nullopt});
      float* level = LevelOf(filter);
      *level = SteppedLevel(*level, button->CurrentZone(), LowestSteppedLevel(filter.type));
    }
    WriteAndCommit(hub_.Unit(), filter);
    return true;
  });
}

void TFilterDialog8100::EvBandwidth(ui::ScrollCode code) {
  // A Q in doubt is read first by a change that writes nothing, which shows the unit's values.
  const auto read = [this] {
    bool read = false;
    Edit([&](TFilter&) {
      read = true;
      return false;
    });
    return read;
  };
  if (!bandwidthSteps_->Move(code, read)) return;
  // The filter takes the slider's Q when it is dropped and the unit has taken it; until then the
  // field only follows the slider.
  const float q = QAtPosition(bandwidth_->Position());
  q_->SetText(OneDecimal(q));
  if (code != ui::ScrollCode::EndScroll) return;
  const TypedFields typed = Typed();
  Edit([&](TFilter& filter) {
    ApplyTypedFields(filter, {typed.frequency, typed.level, std::nullopt});
    dynamic_cast<TPeakFilter&>(filter).q = q;
    WriteAndCommit(hub_.Unit(), filter);
    return true;
  });
}

void TFilterDialog8100::EvSlope(int delta) {
  const TypedFields typed = Typed();
  // The up arrow reports a negative delta and raises the order; a step that does not fit the
  // budget changes nothing.
  bool fits = true;
  Edit([&](TFilter& filter) {
    auto& pass = dynamic_cast<TPassFilter&>(filter);
    ApplyTypedFields(pass, {typed.frequency, std::nullopt, std::nullopt});
    fits = StepOrder(hub_.Unit(), pass, -delta);
    return fits;
  });
  if (!fits) {
    ui::MessageBox(this, "Filter capacity exceeded", "", ui::mb::kOk | ui::mb::kIconInformation);
  }
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
