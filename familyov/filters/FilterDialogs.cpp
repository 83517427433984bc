#include "familyov/filters/FilterDialogs.h"

#include <algorithm>
#include <memory>

#include "controls/SteppedValue.h"
#include "familycommon/BandwidthSlider.h"
#include "familyov/filters/FilterElements.h"
#include "familyov/filters/FilterResponse.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Validator.h"
#include "resources/FamilyOvFilterDialogIds.h"

namespace namespaceOV {

using namespace ovfilterdlg_res;

namespace {

constexpr const char* kFrequencyCharacters = "0-9k.";
constexpr const char* kLevelCharacters = "-0-9.";
constexpr const char* kQCharacters = "0-9.";
constexpr const char* kBandwidthCharacters = "0-9./";
// Typing replaces the value shown.
constexpr int kSelectedChars = 10;

void AllowOnly(ui::Edit& edit, const char* characters) {
  edit.SetValidator(std::make_unique<ui::CharSetValidator>(characters));
}

// Tenths of a dB by zone, as the filters' level steps count them.
int LevelStepCode(int zone) {
  static constexpr int kCodes[] = {-2, -1, 1, 2};
  return zone >= 0 && zone < 4 ? kCodes[zone] : 0;
}

bool IsButton(ui::Param button, const TQuadButton& quad) {
  return button == reinterpret_cast<ui::Param>(&quad);
}

}  // namespace

long long FrequencyStep(int zone, int frequency, long long count) {
  switch (zone) {
    case TQuadButton::kLowerLeft:
      if (frequency <= 1000) return -10 * count;
      if (frequency <= 10000) return -100 * count;
      return frequency <= 100000 ? -1000 * count : 0;
    case TQuadButton::kLowerRight:
      return -count;
    case TQuadButton::kUpperRight:
      return count;
    case TQuadButton::kUpperLeft:
      if (frequency < 1000) return 10 * count;
      if (frequency < 10000) return 100 * count;
      return frequency < 100000 ? 1000 * count : 0;
    default:
      return 0;
  }
}

FrequencyControls::FrequencyControls(ui::Window* dialog)
    : edit(dialog, kFrequencyEdit), quad(dialog, kFrequencyQuad) {}

void FrequencyControls::SetUp() { AllowOnly(edit, kFrequencyCharacters); }

int FrequencyControls::Read(int current) {
  return TFilterDialog::ParseFrequencyEdit(edit, kMinFilterFrequency, kMaxFilterFrequency, current);
}

void FrequencyControls::Show(int frequency) { edit.SetText(std::to_string(frequency)); }

int SteppedFilterFrequency(int frequency, int zone, int count) {
  const int step = static_cast<int>(FrequencyStep(zone, frequency, 1));
  return controls::SteppedWithin(frequency, step, count, kMinFilterFrequency, kMaxFilterFrequency);
}

int FrequencyControls::Stepped(int frequency, int count) const {
  return SteppedFilterFrequency(frequency, quad.CurrentZone(), count);
}

LevelControls::LevelControls(ui::Window* dialog, float lowDb, float highDb)
    : edit(dialog, kLevelEdit), quad(dialog, kLevelQuad), low(lowDb), high(highDb) {}

void LevelControls::SetUp() { AllowOnly(edit, kLevelCharacters); }

float LevelControls::Read(float current) {
  if (!edit.IsModified()) return current;
  const float level =
      std::clamp(static_cast<float>(ScanNumber(edit.Text()).value_or(current)), low, high);
  Show(level);
  return level;
}

void LevelControls::Show(float level) { edit.SetText(Printf("%.1f", double{level})); }

float LevelControls::Stepped(float level) const {
  // A held button speeds up the frequency, never the level.
  return SteppedLevel(level, LevelStepCode(quad.CurrentZone()), low, high);
}

template <typename Filter>
TTypedFilterDialog<Filter>::TTypedFilterDialog(IQDeviceOrdavinex& device, ui::Window* parent,
                                               int resourceId)
    : TFilterDialog(&device, parent, resourceId) {
  OnMessage(TQuadButton::kQuadSpin, [this](const ui::Message& m) {
    // A step is taken from the unit's value, never from one shown unknown.
    if (Shown() == nullptr || !StepsFromUnit()) return ui::Param{0};
    ReadControls();
    if (Spin(m.lParam, static_cast<int>(m.wParam))) WriteAndAnnounce(false);
    return ui::Param{0};
  });
}

template <typename Filter>
void TTypedFilterDialog<Filter>::SetFilter(TFilter* filter) {
  TFilterDialog::SetFilter(dynamic_cast<Filter*>(filter));
  if (Shown() == nullptr) return;
  RegisterControls(FrequencyEdit(), LevelEdit());
  ShowFilter();
  if (ui::Edit* frequency = FrequencyEdit()) frequency->SetSelection(0, kSelectedChars);
}

template <typename Filter>
TPeakDialog<Filter>::TPeakDialog(IQDeviceOrdavinex& device, ui::Window* parent, int resourceId)
    : TTypedFilterDialog<Filter>(device, parent, resourceId), level_(this, kMinLevel, kMaxLevel) {
  this->OnCommand(kInvertButton, [this] {
    if (this->Shown() == nullptr) return;
    this->ApplyChange(
        [this] { this->Shown()->level = std::clamp(-this->Shown()->level, kMinLevel, kMaxLevel); });
  });
}

template <typename Filter>
void TPeakDialog<Filter>::SetupWindow() {
  TTypedFilterDialog<Filter>::SetupWindow();
  level_.SetUp();
}

template <typename Filter>
bool TPeakDialog<Filter>::Spin(ui::Param button, int) {
  if (!IsButton(button, level_.quad)) return false;
  this->Shown()->level = level_.Stepped(this->Shown()->level);
  return true;
}

TParametricDialog::TParametricDialog(IQDeviceOrdavinex& device, ui::Window* parent)
    : TPeakDialog(device, parent, kParametricDialog),
      frequency_(this),
      q_(this, kQEdit),
      bandwidth_(this, kBandwidthEdit),
      slider_(this, kBandwidthSlider) {
  OnNotify(kQEdit, ui::Notify::KillFocus, [this](const ui::Notification&) {
    TakeQ();
    return 0;
  });
  OnNotify(kBandwidthEdit, ui::Notify::KillFocus, [this](const ui::Notification&) {
    TakeBandwidth();
    return 0;
  });
  OnNotify(kBandwidthSlider, ui::Notify::Scroll, [this](const ui::Notification& n) {
    Scrolled(static_cast<ui::ScrollCode>(n.value));
    return 0;
  });
}

void TParametricDialog::SetupWindow() {
  TPeakDialog::SetupWindow();
  frequency_.SetUp();
  AllowOnly(q_, kQCharacters);
  AllowOnly(bandwidth_, kBandwidthCharacters);
  familycommon::SetUpBandwidthSlider(slider_);
  // A filter given before the slider existed still puts the thumb where its bandwidth lies.
  ShowFilter();
}

void TParametricDialog::ReadControls() {
  TParametricFilter* filter = Shown();
  if (filter == nullptr) return;
  filter->frequency = frequency_.Read(filter->frequency);
  filter->level = level_.Read(filter->level);
}

void TParametricDialog::ShowFilter() {
  const TParametricFilter* filter = Shown();
  if (filter == nullptr) return;
  frequency_.Show(filter->frequency);
  level_.Show(filter->level);
  ShowQ(filter->q);
  slider_.SetPosition(std::clamp(RoundToInt(kSliderOctaves / QToBandwidth(filter->q)),
                                 familycommon::kFirstBandwidthPosition,
                                 familycommon::kLastBandwidthPosition));
  // While a write to the unit's filters is in doubt the Q shown is only the one last known.
  sliderSteps_.Rest(!ValuesInDoubt());
}

void TParametricDialog::ShowQ(float q) {
  // An edit is rewritten only when its text changes, so that the caret stays where it is.
  const std::string qText = Printf("%.1f", double{q});
  const std::string bandwidthText = Printf("%.3f", double{QToBandwidth(q)});
  if (q_.Text() != qText) q_.SetText(qText);
  if (bandwidth_.Text() != bandwidthText) bandwidth_.SetText(bandwidthText);
}

void TParametricDialog::TakeQ() {
  // Only a Q the user typed is taken: an empty field is a value in doubt, not one to show.
  if (TParametricFilter* filter = Shown(); filter != nullptr && q_.IsModified()) {
    filter->q = ParseRatioEdit(q_, kMinQ, kMaxQ, filter->q);
    ShowQ(filter->q);
  }
}

void TParametricDialog::TakeBandwidth() {
  // The bandwidth shown is the Q's: only one the user typed gives a Q of its own.
  if (TParametricFilter* filter = Shown(); filter != nullptr && bandwidth_.IsModified()) {
    const float octaves =
        ParseRatioEdit(bandwidth_, kMinBandwidth, kMaxBandwidth, QToBandwidth(filter->q));
    filter->q = BandwidthToQ(octaves);
    ShowQ(filter->q);
  }
}

void TParametricDialog::ApplyEntries() {
  if (q_.IsFocusOfItsWindow()) TakeQ();
  if (bandwidth_.IsFocusOfItsWindow()) TakeBandwidth();
  TPeakDialog::ApplyEntries();
}

bool TParametricDialog::Spin(ui::Param button, int count) {
  if (!IsButton(button, frequency_.quad)) return TPeakDialog::Spin(button, count);
  Shown()->frequency = frequency_.Stepped(Shown()->frequency, count);
  return true;
}

void TParametricDialog::Scrolled(ui::ScrollCode code) {
  if (Shown() == nullptr || !sliderSteps_.Move(code, [this] { return TakeUnitsValues(); })) return;
  const int position = std::max(slider_.Position(), 1);
  const float q = BandwidthToQ(static_cast<float>(kSliderOctaves) / static_cast<float>(position));
  ShowQ(q);
  // The unit holds the Q its units round to, and the dialog then shows that.
  if (code == ui::ScrollCode::EndScroll) ApplyChange([&] { Shown()->q = QFromUnit(QToUnit(q)); });
}

TOctaveDialog::TOctaveDialog(IQDeviceOrdavinex& device, ui::Window* parent)
    : TPeakDialog(device, parent, kOctaveDialog), frequencyText_(this, kFrequencyText) {}

void TOctaveDialog::ReadControls() {
  if (TOctaveFilter* filter = Shown()) filter->level = level_.Read(filter->level);
}

void TOctaveDialog::ShowFilter() {
  if (const TOctaveFilter* filter = Shown()) {
    level_.Show(filter->level);
    frequencyText_.SetText(std::to_string(filter->frequency));
  }
}

template <typename Filter>
TFrequencyDialog<Filter>::TFrequencyDialog(IQDeviceOrdavinex& device, ui::Window* parent,
                                           int resourceId)
    : TTypedFilterDialog<Filter>(device, parent, resourceId), frequency_(this) {}

template <typename Filter>
void TFrequencyDialog<Filter>::SetupWindow() {
  TTypedFilterDialog<Filter>::SetupWindow();
  frequency_.SetUp();
}

template <typename Filter>
bool TFrequencyDialog<Filter>::Spin(ui::Param button, int count) {
  if (!IsButton(button, frequency_.quad)) return false;
  this->Shown()->frequency = frequency_.Stepped(this->Shown()->frequency, count);
  return true;
}

template <typename Filter>
TSlopeDialog<Filter>::TSlopeDialog(IQDeviceOrdavinex& device, ui::Window* parent, int resourceId,
                                   std::string caption)
    : TFrequencyDialog<Filter>(device, parent, resourceId),
      slope_(this, kSlopeText),
      order_(this, kOrderUpDown),
      caption_(std::move(caption)) {
  this->OnNotify(kOrderUpDown, ui::Notify::DeltaPos, [this](const ui::Notification& n) {
    StepOrder(static_cast<int>(n.value));
    return 1;  // the order is the filter's; the arrows keep no position of their own
  });
}

template <typename Filter>
void TSlopeDialog<Filter>::ReadControls() {
  if (Filter* filter = this->Shown()) filter->frequency = this->frequency_.Read(filter->frequency);
}

template <typename Filter>
void TSlopeDialog<Filter>::ShowFilter() {
  if (const Filter* filter = this->Shown()) {
    this->frequency_.Show(filter->frequency);
    slope_.SetText(std::to_string(-6 * filter->order));
  }
}

template <typename Filter>
void TSlopeDialog<Filter>::StepOrder(int delta) {
  Filter* filter = this->Shown();
  if (filter == nullptr || !this->StepsFromUnit()) return;
  IQDeviceOrdavinex& device = *this->Device();
  const int order = std::clamp(filter->order - delta, Filter::kMinOrder, Filter::kMaxOrder);
  const int extra = (order + 1) / 2 - (filter->order + 1) / 2;
  if (extra > 0) {
    const int members = static_cast<int>(filter->ChainMembers().size());
    bool room = false;
    if (!GuardedUnitCall(device, [&] {
          room = device.CanAddSections(kOtherSections, extra * members, kNoSections, 1);
        })) {
      return;
    }
    if (!room) {
      ui::MessageBox(this, "Insufficient DSP Capacity", caption_,
                     ui::mb::kOk | ui::mb::kIconExclamation);
      return;
    }
  }
  this->ReadControls();
  // The unit finds room for the new order elsewhere and hands back the filter's new number.
  this->WriteAndAnnounce([&] {
    filter->order = order;
    if (device.IsOnline()) {
      device.MoveForNewOrder(*filter);
    }
    filter->WriteToDevice(device);
    filter->SendCreateCommand(device);
  });
}

TLowpassDialog::TLowpassDialog(IQDeviceOrdavinex& device, ui::Window* parent)
    : TSlopeDialog(device, parent, kLowpassDialog, "Lowpass filter") {}

THighpassDialog::THighpassDialog(IQDeviceOrdavinex& device, ui::Window* parent)
    : TSlopeDialog(device, parent, kHighpassDialog, "Highpass filter") {}

template <typename Filter>
TShelfDialog<Filter>::TShelfDialog(IQDeviceOrdavinex& device, ui::Window* parent, int resourceId)
    : TFrequencyDialog<Filter>(device, parent, resourceId),
      level_(this, Filter::kMinLevelDb, Filter::kMaxLevelDb) {}

template <typename Filter>
void TShelfDialog<Filter>::SetupWindow() {
  TFrequencyDialog<Filter>::SetupWindow();
  level_.SetUp();
}

template <typename Filter>
void TShelfDialog<Filter>::ReadControls() {
  if (Filter* filter = this->Shown()) {
    filter->frequency = this->frequency_.Read(filter->frequency);
    filter->level = level_.Read(filter->level);
  }
}

template <typename Filter>
void TShelfDialog<Filter>::ShowFilter() {
  if (const Filter* filter = this->Shown()) {
    this->frequency_.Show(filter->frequency);
    level_.Show(filter->level);
  }
}

template <typename Filter>
bool TShelfDialog<Filter>::Spin(ui::Param button, int count) {
  if (!IsButton(button, level_.quad)) return TFrequencyDialog<Filter>::Spin(button, count);
  this->Shown()->level = level_.Stepped(this->Shown()->level);
  return true;
}

TLowshelfDialog::TLowshelfDialog(IQDeviceOrdavinex& device, ui::Window* parent)
    : TShelfDialog(device, parent, kLowshelfDialog) {}

THighshelfDialog::THighshelfDialog(IQDeviceOrdavinex& device, ui::Window* parent)
    : TShelfDialog(device, parent, kHighshelfDialog) {}

template <typename Filter>
TTwoOrderDialog<Filter>::TTwoOrderDialog(IQDeviceOrdavinex& device, ui::Window* parent,
                                         int resourceId)
    : TFrequencyDialog<Filter>(device, parent, resourceId),
      first_(this, kFirstOrderRadio),
      second_(this, kSecondOrderRadio) {
  for (const int radio : {kFirstOrderRadio, kSecondOrderRadio}) {
    this->OnCommand(radio, [this] { this->ApplyChange([] {}, true); });
  }
}

template <typename Filter>
void TTwoOrderDialog<Filter>::ReadControls() {
  if (Filter* filter = this->Shown()) {
    filter->frequency = this->frequency_.Read(filter->frequency);
    if (first_.HasState() || second_.HasState()) filter->order = first_.IsChecked() ? 1 : 2;
  }
}

template <typename Filter>
void TTwoOrderDialog<Filter>::TakeUnshownFromUnit() {
  Filter* filter = this->Shown();
  if (filter == nullptr || first_.HasState() || second_.HasState()) return;
  // Radios that show no order keep the one the unit holds, however long ago the filter was read.
  const std::unique_ptr<TFilter> held = filter->Clone();
  if (held->ReadFromDevice(*this->Device())) filter->order = static_cast<Filter&>(*held).order;
}

template <typename Filter>
void TTwoOrderDialog<Filter>::ShowFilter() {
  if (const Filter* filter = this->Shown()) {
    this->frequency_.Show(filter->frequency);
    first_.SetCheck(filter->order == 1);
    second_.SetCheck(filter->order != 1);
  }
}

TCDHornDialog::TCDHornDialog(IQDeviceOrdavinex& device, ui::Window* parent)
    : TTwoOrderDialog(device, parent, kCDHornDialog) {}

TAllpassDialog::TAllpassDialog(IQDeviceOrdavinex& device, ui::Window* parent)
    : TTwoOrderDialog(device, parent, kAllpassDialog) {}

template class TTypedFilterDialog<TParametricFilter>;
template class TTypedFilterDialog<TOctaveFilter>;
template class TTypedFilterDialog<TLowpassFilter>;
template class TTypedFilterDialog<THighpassFilter>;
template class TTypedFilterDialog<TLowshelfFilter>;
template class TTypedFilterDialog<THighshelfFilter>;
template class TTypedFilterDialog<TCDHornFilter>;
template class TTypedFilterDialog<TAllpassFilter>;

}  // namespace namespaceOV
