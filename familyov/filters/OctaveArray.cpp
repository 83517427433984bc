#include "familyov/filters/OctaveArray.h"

#include <algorithm>
#include <array>
#include <memory>
#include <span>

#include "controls/TDataWindow.h"
#include "familyov/filters/FilterClasses.h"
#include "familyov/filters/FilterDialogs.h"
#include "familyov/filters/FilterElements.h"
#include "familyov/filters/TFilterDialog.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Validator.h"
#include "resources/FamilyOvFilterDialogIds.h"

namespace namespaceOV {

using namespace ovfilterdlg_res;

namespace {

constexpr int kSixth[] = {
    20,   22,   25,   28,   32,   36,   40,   45,   50,   56,    63,    71,    80,    90,    100,
    112,  125,  140,  160,  180,  200,  224,  250,  280,  315,   355,   400,   450,   500,   560,
    630,  710,  800,  900,  1000, 1120, 1250, 1400, 1600, 1800,  2000,  2240,  2500,  2800,  3150,
    3550, 4000, 4500, 5000, 5600, 6300, 7100, 8000, 9000, 10000, 11200, 12500, 14000, 16000, 18000};
constexpr int kThird[] = {20,   25,   32,   40,   50,   63,   80,   100,   125,   160,
                          200,  250,  315,  400,  500,  630,  800,  1000,  1250,  1600,
                          2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000};
constexpr int kTwoThirds[] = {20,   40,   63,   100,  160,  250,   400,  630,
                              1000, 1600, 2500, 4000, 6300, 10000, 16000};
constexpr int kOctave[] = {20, 32, 63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};

struct Spacing {
  const char* name;
  std::span<const int> centres;
  float q;
};
constexpr std::array<Spacing, 4> kSpacings = {{{"1/6 octave", kSixth, 6.4f},
                                               {"1/3 octave", kThird, 3.2f},
                                               {"2/3 octave", kTwoThirds, 1.6f},
                                               {"1 octave", kOctave, 1.0f}}};
constexpr int kDefaultSpacing = 1;

const Spacing& SpacingOf(int index) {
  return kSpacings[static_cast<std::size_t>(std::clamp(index, 0, int(kSpacings.size()) - 1))];
}

// Tenths or whole units of Q by zone.
float QStep(int zone) {
  static constexpr float kSteps[] = {-1.0f, -0.1f, 0.1f, 1.0f};
  return zone >= 0 && zone < 4 ? kSteps[zone] : 0.0f;
}

}  // namespace

std::vector<int> OctaveBankFrequencies(const OctaveArraySettings& settings) {
  std::vector<int> frequencies;
  for (const int centre : SpacingOf(settings.spacing).centres) {
    if (centre >= settings.start && centre <= settings.stop) frequencies.push_back(centre);
  }
  return frequencies;
}

TOctaveMacroDialog::TOctaveMacroDialog(ui::Window* parent, OctaveArraySettings& settings)
    : ui::Dialog(parent, kOctaveMacroDialog),
      settings_(settings),
      start_(this, kStartEdit),
      startQuad_(this, kStartQuad),
      stop_(this, kStopEdit),
      stopQuad_(this, kStopQuad),
      spacing_(this, kSpacingCombo),
      q_(this, kOctaveQEdit),
      qQuad_(this, kOctaveQQuad) {
  OnMessage(TQuadButton::kQuadSpin, [this](const ui::Message& m) {
    Spin(m.lParam);
    return 0;
  });
  OnNotify(kSpacingCombo, ui::Notify::SelChange, [this](const ui::Notification&) {
    settings_.spacing = std::max(spacing_.Selection(), 0);
    settings_.q = SpacingOf(settings_.spacing).q;
    ShowQ();
    return 0;
  });
}

void TOctaveMacroDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  for (ui::Edit* edit : {&start_, &stop_}) {
    edit->SetValidator(
        std::make_unique<ui::RangeValidator>(kMinFilterFrequency, kMaxFilterFrequency));
  }
  // A ratio such as "1/3" is read as its quotient, so the stroke is let through.
  q_.SetValidator(std::make_unique<ui::CharSetValidator>("0-9./"));
  start_.SetText(std::to_string(settings_.start));
  stop_.SetText(std::to_string(settings_.stop));
  for (const Spacing& spacing : kSpacings) spacing_.AddString(spacing.name);
  spacing_.SetSelection(kDefaultSpacing);
  settings_.spacing = kDefaultSpacing;
  settings_.q = SpacingOf(kDefaultSpacing).q;
  ShowQ();
}

int TOctaveMacroDialog::ReadFrequency(ui::Edit& edit, int current) const {
  const auto value = ScanNumber(edit.Text());
  return value ? static_cast<int>(std::clamp(*value, -1e9, 1e9)) : current;
}

void TOctaveMacroDialog::Spin(ui::Param button) {
  // What is typed counts: the start keeps below the stop shown, not the one stepped last.
  settings_.start = ReadFrequency(start_, settings_.start);
  settings_.stop = ReadFrequency(stop_, settings_.stop);
  if (button == reinterpret_cast<ui::Param>(&startQuad_)) {
    StepFrequency(start_, startQuad_, settings_.start, true);
  } else if (button == reinterpret_cast<ui::Param>(&stopQuad_)) {
    StepFrequency(stop_, stopQuad_, settings_.stop, false);
  } else if (button == reinterpret_cast<ui::Param>(&qQuad_)) {
    const float q = ParseRatioText(q_.Text(), kMinPeakQ, kMaxPeakQ, settings_.q);
    settings_.q = std::clamp(q + QStep(qQuad_.CurrentZone()), kMinPeakQ, kMaxPeakQ);
    ShowQ();
  }
}

void TOctaveMacroDialog::StepFrequency(ui::Edit& edit, const TQuadButton& quad, int& value,
                                       bool isStart) {
  const int stepped = SteppedFilterFrequency(value, quad.CurrentZone(), 1);
  // The start stays at or below the stop, and the stop at or above the start.
  value = isStart ? std::min(stepped, settings_.stop) : std::max(stepped, settings_.start);
  edit.SetText(std::to_string(value));
}

void TOctaveMacroDialog::ShowQ() { q_.SetText(Printf("%.1f", double{settings_.q})); }

void TOctaveMacroDialog::CloseWindow(int result) {
  if (result == ui::kIdOk) {
    settings_.start = ReadFrequency(start_, settings_.start);
    settings_.stop = ReadFrequency(stop_, settings_.stop);
    settings_.spacing = std::max(spacing_.Selection(), 0);
    settings_.q = ParseRatioText(q_.Text(), kMinPeakQ, kMaxPeakQ, settings_.q);
    ShowQ();
  }
  ui::Dialog::CloseWindow(result);
}

void CreateOctaveBank(ui::Window& owner, const TDataWindow& sender, IQDeviceOrdavinex& device,
                      int channel, const OctaveArraySettings& settings) {
  const std::vector<int> frequencies = OctaveBankFrequencies(settings);
  int links = 1;
  const auto linked = [&](int c) {
    return c >= 0 && c < kMaxChannels && device.linkedChannels[static_cast<std::size_t>(c)];
  };
  if (linked(channel)) {
    for (const int other : device.ChannelIndexes()) links += other != channel && linked(other);
  }
  const int sections = static_cast<int>(frequencies.size()) * links;
  bool room = false;
  if (!GuardedUnitCall(device, [&] {
        room = device.CanAddSections(kOtherSections, sections, kNoSections, 1);
      })) {
    return;
  }
  if (!room) {
    ui::MessageBox(&owner, "Insufficient DSP capacity", "Add filter",
                   ui::mb::kOk | ui::mb::kIconExclamation);
    return;
  }
  for (const int frequency : frequencies) {
    GuardedUnitCall(device, [&] {
      auto made = std::make_unique<TOctaveFilter>();
      made->channel = channel;
      TFilter* filter = device.AddFilter(std::move(made));
      auto* octave = static_cast<TOctaveFilter*>(filter);
      octave->level = 0.0f;
      octave->frequency = frequency;
      octave->q = settings.q;
      octave->WriteToDevice(device);
      octave->SendCreateCommand(device);
      NotifyRecord record{FilterAdded, channel, 0, filter};
      sender.NotifyRoot(&record);
    });
  }
}

void RunOctaveArrayCommand(ui::Window& owner, const TDataWindow& sender, IQDeviceOrdavinex& device,
                           int channel) {
  OctaveArraySettings settings;
  TOctaveMacroDialog dialog(&owner, settings);
  if (dialog.Execute() == ui::kIdCancel) return;
  CreateOctaveBank(owner, sender, device, channel, settings);
}

}  // namespace namespaceOV
