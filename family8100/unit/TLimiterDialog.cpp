#include "family8100/unit/TLimiterDialog.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <utility>

#include "controls/IdlePoll.h"
#include "family8100/unit/Commands8100.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "platform/ui/Validator.h"
#include "resources/Family8100Ids.h"

namespace namespace8100 {
namespace {

using namespace f8100res;

constexpr uint32_t kEnabledMask = 0x000000FF;
constexpr uint32_t kLinkedMask = 0x0000FF00;
constexpr uint32_t kRightSoftMask = 0x00FF0000;
constexpr uint32_t kLeftSoftMask = 0xFF000000;
constexpr int kLedOn = 3;
constexpr int kLedOff = 0;
constexpr float kThresholdStepDb = 0.1f;

std::string DbuText(float dbu) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", dbu);
  return text;
}

}  // namespace

TLimiterDialog::TLimiterDialog(ui::Window* parent, IQDevice8100& device)
    : TValueDialog8100(parent, kLimiterDialog, device),
      sides_{Side{g8100LeftThreshold,
                  g8100LeftRelease,
                  g8100LeftGainReduction,
                  kLeftSoftMask,
                  ui::Edit(this, kLeftThresholdEdit),
                  ui::ProgressBar(this, kLeftReductionBar),
                  {ui::RadioButton(this, kLeftSlow), ui::RadioButton(this, kLeftSlow + 1),
                   ui::RadioButton(this, kLeftSlow + 2)},
                  ui::RadioButton(this, kLeftSoftKnee),
                  ui::RadioButton(this, kLeftHardKnee)},
             Side{g8100RightThreshold,
                  g8100RightRelease,
                  g8100RightGainReduction,
                  kRightSoftMask,
                  ui::Edit(this, kRightThresholdEdit),
                  ui::ProgressBar(this, kRightReductionBar),
                  {ui::RadioButton(this, kRightSlow), ui::RadioButton(this, kRightSlow + 1),
                   ui::RadioButton(this, kRightSlow + 2)},
                  ui::RadioButton(this, kRightSoftKnee),
                  ui::RadioButton(this, kRightHardKnee)}},
      link_(this, kLinkLed),
      enable_(this, kEnableLed) {
  // Each choice writes itself alone, and the typed thresholds with it; the rest of the limiter
  // mode goes as the unit holds it.
  const auto change = [this](std::function<void()> write) {
    return [this, write = std::move(write)] {
      Guarded([&] {
        ApplyTyped();
        write();
      });
    };
  };
  for (Side& side : sides_) {
    for (std::size_t i = 0; i < side.releases.size(); ++i) {
      OnCommand(side.releases[i].Id(),
                change([this, &side, i] { WriteRelease(side, static_cast<Release>(i)); }));
    }
    OnCommand(side.soft.Id(), change([this, &side] { WriteMode(side.softKneeMask, true); }));
    OnCommand(side.hard.Id(), change([this, &side] { WriteMode(side.softKneeMask, false); }));
  }
  const std::pair<int, uint32_t> toggles[] = {{kEnableLed, kEnabledMask}, {kLinkLed, kLinkedMask}};
  for (const auto& [id, mask] : toggles) {
    OnCommand(id, change([this, mask = mask] { WriteMode(mask, std::nullopt); }));
  }
  const std::pair<int, int> spins[] = {{kLeftThresholdSpin, 0}, {kRightThresholdSpin, 1}};
  for (const auto& [id, side] : spins) {
    OnNotify(id, ui::Notify::DeltaPos, [this, side = side](const ui::Notification& n) {
      StepThreshold(sides_[static_cast<std::size_t>(side)], static_cast<int>(n.value));
      return ui::Param{0};
    });
  }
}

void TLimiterDialog::SetupWindow() {
  pollStep_ = 0;
  polling_ = true;
  for (Side& side : sides_) {
    side.edit.SetValidator(std::make_unique<ui::CharSetValidator>("-0-9."));
    side.bar.SetRange(0, kBarRange);
    side.bar.SetValue(0);
  }
  TValueDialog8100::SetupWindow();
}

void TLimiterDialog::FillControls() {
  for (Side& side : sides_) {
    const Release release = ClassifyRelease(side.release.Read(Device()));
    for (std::size_t i = 0; i < side.releases.size(); ++i) {
      side.releases[i].SetCheck(static_cast<Release>(i) == release);
    }
    side.shown = DbuText(ThresholdDbu(side.threshold.Read(Device())));
    side.edit.SetText(side.shown);
  }
  const uint32_t mode = g8100LimiterMode.Read(Device());
  linked_ = (mode & kLinkedMask) != 0;
  enabled_ = (mode & kEnabledMask) != 0;
  link_.SetState(linked_ ? kLedOn : kLedOff);
  link_.Redraw();
  enable_.SetState(*enabled_ ? kLedOn : kLedOff);
  enable_.Redraw();
  for (Side& side : sides_) {
    const bool soft = (mode & side.softKneeMask) != 0;
    side.soft.SetCheck(soft);
    side.hard.SetCheck(!soft);
  }
}

void TLimiterDialog::ShowUnknown() {
  TValueDialog8100::ShowUnknown();
  for (TLEDButton* lamp : {&link_, &enable_}) {
    lamp->SetState(TLEDButton::kUnknownState);
    lamp->Redraw();
  }
  // Full bars beside a lamp with no state would say that nothing is limited: the next polls of
  // the gain reduction tell.
  enabled_.reset();
  for (Side& side : sides_) side.bar.ShowUnknown();
}

void TLimiterDialog::ApplyTyped() {
  for (Side& side : sides_) {
    const std::string text = side.edit.Text();
    if (text == side.shown) continue;
    const auto typed = ParseTyped(text);
    if (!typed) continue;
    const float dbu = ClampThreshold(*typed);
    // Shown as the unit's only once the unit took it.
    side.threshold.Write(Device(), ThresholdValue(dbu));
    side.shown = DbuText(dbu);
    side.edit.SetText(side.shown);
  }
}

void TLimiterDialog::StepThreshold(Side& side, int delta) {
  Guarded([&] {
    // The up arrow (a negative delta) raises the threshold.
    const float dbu = ClampThreshold(ThresholdDbu(side.threshold.Read(Device())) +
                                     static_cast<float>(-delta) * kThresholdStepDb);
    side.threshold.Write(Device(), ThresholdValue(dbu));
  });
}

void TLimiterDialog::WriteRelease(Side& side, Release release) {
  if (ClassifyRelease(side.release.Read(Device())) != release) {
    side.release.Write(Device(), ReleaseCoefficient(release));
  }
}

void TLimiterDialog::WriteMode(uint32_t mask, std::optional<bool> on) {
  const uint32_t mode = g8100LimiterMode.Read(Device());
  const uint32_t chosen = on.value_or((mode & mask) == 0) ? mode | mask : mode & ~mask;
  if (chosen != mode) g8100LimiterMode.Write(Device(), chosen);
}

void TLimiterDialog::ShowBars() {
  const auto reduction = [this](std::size_t i) {
    return static_cast<int>(linked_ ? std::min(sides_[0].reduction, sides_[1].reduction)
                                    : sides_[i].reduction);
  };
  for (std::size_t i = 0; i < sides_.size(); ++i) sides_[i].bar.SetValue(reduction(i));
}

void TLimiterDialog::ShowBarsFull() {
  for (Side& side : sides_) side.bar.SetValue(kBarRange);
}

bool TLimiterDialog::IdleAction(long idleCount) {
  const bool more = TValueDialog8100::IdleAction(idleCount);
  if (!Device().IsOnline() || !IsCreated() || !polling_) return more;
  // Limiting off: nothing is limited, and the bars stand full without a read, a reading that
  // holds only while the unit answers. While it is silent the unit's ready flag is asked instead,
  // through the pauses every poll of the unit shares, so that the bars stand full again once it
  // answers.
  const bool off = enabled_ == false;
  if (off && !Device().IdlePolling().Silent()) {
    ShowBarsFull();
    return more;
  }
  // One transaction per pass; a unit that is not ready leaves the bars as they were.
  const auto outcome = controls::PollUnit(
      Device(),
      [this, off] {
        if (off) {
          g8100Ready.Read(Device());
          return;
        }
        if (pollStep_ == 0) {
          if (g8100Ready.Read(Device())) pollStep_ = 1;
          return;
        }
        Side& side = sides_[static_cast<std::size_t>(pollStep_ - 1)];
        side.reduction = side.gainReduction.Read(Device());
        pollStep_ = (pollStep_ + 1) % 3;
        if (pollStep_ == 0) ShowBars();
      },
      [this](const IQException& error) { ReportBusFailure(error, Device()); });
  // A unit found silent, by this poll or by another window's: no bar holds its last reading.
  if (outcome != controls::PollOutcome::kAnswered) {
    for (Side& side : sides_) side.bar.ShowUnknown();
  } else if (off) {
    ShowBarsFull();
  }
  return outcome == controls::PollOutcome::kResting ? more : true;
}

}  // namespace namespace8100
