#include "familyov/channels/TAdvMixerWindow.h"

#include <algorithm>
#include <limits>

#include "controls/TypedEntry.h"
#include "familyov/channels/ChannelTexts.h"
#include "familyov/channels/ChildPlacement.h"
#include "familyov/channels/ProcessingValues.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditOVWindow.h"
#include "platform/ui/Validator.h"
#include "resources/FamilyOvProcessingIds.h"

namespace namespaceOV {

namespace {

using namespace ovprocessing_res;

constexpr int kWidth = 400;
constexpr int kHeight = 200;
// The longest delay the delay memory holds shows whole: "5142.857 ft".
constexpr int kEditLimit = 11;
constexpr float kFineDb = 0.1f;
constexpr float kCoarseDb = 1.0f;
constexpr const char* kDelayCharacters = "0-9.msecft ";

ui::Color ColorOf(const RgbColor& rgb) { return {rgb.red, rgb.green, rgb.blue}; }

}  // namespace

TMatrixLabelDialog::TMatrixLabelDialog(ui::Window* parent, IQDeviceOrdavinex& device, int channel,
                                       int resourceId)
    : ui::Dialog(parent, resourceId),
      TDataWindow(parent),
      device_(device),
      channel_(channel),
      name_(this, kLabelName) {
  if (channel >= 0 && channel < device.matrixInputs) {
    color_ = std::make_unique<TColorButton>(this, kColorBar);
    if (const auto rgb = IQDeviceOrdavinex::GetChannelColor(channel)) {
      color_->SetColor(ColorOf(*rgb));
    } else {
      color_->SetNoColor(true);
    }
  }
}

void TMatrixLabelDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  if (channel_ == kCorner) {
    name_.Hide();
  } else {
    Relabel();
  }
}

void TMatrixLabelDialog::Relabel() {
  // A name the unit does not answer shows as unknown, not as the one read before.
  name_.SetText("");
  GuardedUnitCall(device_, [&] {
    gChannelNameObject.SetElement(channel_);
    name_.SetText(gChannelNameObject.Read(device_));
  });
}

void TMatrixLabelDialog::Notify(NotifyRecord* record) {
  if (channel_ == kCorner) return;
  if ((record->code == ChannelRenamed && record->channel == channel_) ||
      record->code == RefreshAll) {
    Relabel();
  }
}

TAdvMixerDialog::TAdvMixerDialog(ui::Window* parent, IQDeviceOrdavinex& device, int output,
                                 int input)
    : ui::Dialog(parent, kAdvMixerCell),
      TDataWindow(parent),
      device_(device),
      output_(output),
      input_(input),
      delaySpin_(this, kCellDelaySpin),
      gainSpin_(this, kCellGainSpin),
      delay_(this, kCellDelay, kEditLimit),
      gain_(this, kCellGain, kEditLimit),
      bar_(this, kColorBar) {
  bar_.SetNoColor(true);
  OnMessage(TQuadButton::kQuadSpin, [this](const ui::Message& m) {
    const auto* spin = reinterpret_cast<const TQuadButton*>(m.lParam);
    if (spin == &delaySpin_) {
      SpinDelay(spin->CurrentZone());
    } else {
      SpinGain(spin->CurrentZone());
    }
    return 0;
  });
  OnNotify(kCellGain, ui::Notify::KillFocus, [this](const ui::Notification&) {
    ApplyGainText();
    return 0;
  });
  OnNotify(kCellDelay, ui::Notify::KillFocus, [this](const ui::Notification&) {
    ApplyDelayText();
    return 0;
  });
}

int TAdvMixerDialog::Element() const {
  return CrosspointElement(output_, input_, device_.matrixInputs);
}

void TAdvMixerDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  delay_.SetValidator(std::make_unique<ui::CharSetValidator>(kDelayCharacters));
  Refill();
}

void TAdvMixerDialog::Refill() {
  // What the unit does not answer shows as unknown.
  delay_.SetText("");
  gain_.SetText("");
  GuardedUnitCall(device_, [&] {
    const int units = gDelayUnitsObject.Read(device_);
    gCrosspointDelayObject.SetElement(Element());
    delay_.SetText(DelayText(static_cast<int32_t>(gCrosspointDelayObject.Read(device_)), units));
    gCrosspointLevelObject.SetElement(Element());
    const float level = gCrosspointLevelObject.Read(device_);
    const bool on = level > dBLevelObject::kFloorDb;
    gain_.Enable(on);
    delay_.Enable(on);
    const auto rgb = IQDeviceOrdavinex::GetChannelColor(input_);
    bar_.SetNoColor(!on || !rgb);
    if (on && rgb) bar_.SetColor(ColorOf(*rgb));
    bar_.Redraw();
    gain_.SetText(LevelText(level));
  });
}

void TAdvMixerDialog::NotifyCrosspoint() {
  NotifyRecord record{.code = CrosspointChanged};
  NotifyRoot(&record);
}

void TAdvMixerDialog::ApplyGainText() {
  controls::CommitEntry(gain_, [&] {
    const std::optional<float> typed = ParseTypedDb(gain_.Text(), kCrosspointGainRange);
    if (!typed) {
      Refill();
      return;
    }
    GuardedUnitCall(device_, [&] {
      gCrosspointLevelObject.SetElement(Element());
      if (gCrosspointLevelObject.Read(device_) != *typed) {
        gCrosspointLevelObject.Write(device_, *typed);
      }
    });
    gain_.SetText(LevelText(*typed));
    NotifyCrosspoint();
  });
}

void TAdvMixerDialog::StepDelay(int64_t step) {
  // The delay memory's share follows a crosspoint's delay too; the record refills this cell.
  ChangeOnUnit(device_,
               [&] {
                 gCrosspointDelayObject.SetElement(Element());
                 const int64_t current = static_cast<int32_t>(gCrosspointDelayObject.Read(device_));
                 const int fitted = device_.FitCrosspointDelay(static_cast<int>(std::clamp<int64_t>(
                     step, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
                 // The fit read other delays: the element is chosen again.
                 gCrosspointDelayObject.SetElement(Element());
                 gCrosspointDelayObject.Write(
                     device_, static_cast<uint32_t>(std::clamp<int64_t>(
                                  current + fitted, 0, std::numeric_limits<int32_t>::max())));
               },
               {.taken = [this] { NotifyCrosspoint(); },
                .showUnit = [this] { Refill(); },
                .showUnknown = [this] { delay_.SetText(""); }});
}

void TAdvMixerDialog::ApplyDelayText() {
  controls::CommitEntry(delay_, [&] {
    const std::string text = delay_.Text().substr(0, kTypedCharacters);
    std::optional<int> samples;
    int64_t current = 0;
    if (!GuardedUnitCall(device_, [&] {
          samples = ParseDelay(text, gDelayUnitsObject.Read(device_), device_.GetDelayCapacity());
          gCrosspointDelayObject.SetElement(Element());
          current = static_cast<int32_t>(gCrosspointDelayObject.Read(device_));
        })) {
      return;
    }
    if (!samples) {
      Refill();
      return;
    }
    if (*samples == current) return;
    StepDelay(int64_t{*samples} - current);
  });
}

void TAdvMixerDialog::SpinDelay(int zone) {
  int units = kDelayMsec;
  if (!GuardedUnitCall(device_, [&] { units = gDelayUnitsObject.Read(device_); })) return;
  StepDelay(DelayZoneStep(zone, units));
}

void TAdvMixerDialog::SpinGain(int zone) {
  ChangeOnUnit(device_,
               [&] {
                 gCrosspointLevelObject.SetElement(Element());
                 const float level = kCrosspointGainRange.Clamp(
                     gCrosspointLevelObject.Read(device_) + ZoneStep(zone, kFineDb, kCoarseDb));
                 gCrosspointLevelObject.Write(device_, level);
               },
               {.taken = [this] { NotifyCrosspoint(); },
                .showUnit = [this] { Refill(); },
                .showUnknown = [this] { gain_.SetText(""); }});
}

bool TAdvMixerDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.code == ui::key::kReturn) {
    if (!key.down && gain_.IsFocusOfItsWindow()) ApplyGainText();
    if (!key.down && delay_.IsFocusOfItsWindow()) ApplyDelayText();
    return false;
  }
  if (key.down && key.code == ui::key::kEscape) {
    Refill();
    return false;
  }
  return ui::Dialog::PreProcessKey(key);
}

void TAdvMixerDialog::Notify(NotifyRecord* record) {
  if (record->code == RefreshAll || record->code == CrosspointChanged ||
      record->code == DelayUnitsChanged) {
    Refill();
  }
}

TAdvMixerWindow::TAdvMixerWindow(TEditOVWindow& editWindow)
    : OVChild<TGroupWindow>(editWindow, "Advanced Mixer", nullptr) {
  PlaceAtWorkAreaCorner(*this, kWidth, kHeight);
  SetIcon(Device().GetModelBitmapId());
  IQDeviceOrdavinex& device = Device();
  units_ = std::make_unique<TDelayUnitsDialog>(this, device);
  labels_.push_back(std::make_unique<TMatrixLabelDialog>(this, device, TMatrixLabelDialog::kCorner,
                                                         kMatrixLabel));
  for (int o = 0; o < device.outputs; ++o) {
    labels_.push_back(
        std::make_unique<TMatrixLabelDialog>(this, device, device.firstOutput + o, kMatrixLabel));
  }
  for (int i = 0; i < device.inputs; ++i) {
    labels_.push_back(std::make_unique<TMatrixLabelDialog>(this, device, i, kMatrixInputLabel));
    for (int o = 0; o < device.outputs; ++o) {
      cells_.push_back(std::make_unique<TAdvMixerDialog>(this, device, o, i));
    }
  }
}

TAdvMixerWindow::~TAdvMixerWindow() { Destroy(); }

TAdvMixerDialog& TAdvMixerWindow::Cell(int output, int input) {
  return *cells_.at(static_cast<std::size_t>(input * Device().outputs + output));
}

void TAdvMixerWindow::SetupWindow() {
  TGroupWindow::SetupWindow();
  const int outputs = Device().outputs;
  for (int o = 0; o <= outputs; ++o) AddPane(labels_[static_cast<std::size_t>(o)].get());
  for (int i = 0; i < Device().inputs; ++i) {
    AddPane(labels_[static_cast<std::size_t>(outputs + 1 + i)].get(), true);
    for (int o = 0; o < outputs; ++o) AddPane(&Cell(o, i));
  }
  SetEdgePane(units_.get(), kTop);
}

}  // namespace namespaceOV
