#include "family3300/TGraphicEQ.h"

#include <algorithm>

#include "controls/ControlChange.h"
#include "controls/CopyInDoubt.h"
#include "controls/DeviceErrorReport.h"
#include "controls/TAdjustDialog.h"
#include "family3300/IQDevice3300.h"
#include "platform/ui/MessageBox.h"
#include "resources/Family3300Ids.h"

namespace namespace3300 {
namespace {

constexpr float kDbPerStep = 0.5f;
constexpr float kReadOutOffsetDb = -10.0f;
constexpr int kPageSteps = 4;
// A sunken frame around each slider.
constexpr int kSunkenFrame = -1;

}  // namespace

TGraphicEQ::TGraphicEQ(IQDevice3300& device, int channel, ui::Window* parent)
    : ui::Dialog(parent, res3300::kGraphicEqDialog),
      device_(device),
      objects_(Channel3300(channel)) {
  SetText(device.GetName() + (channel == 0 ? " EQ A" : " EQ B"));
  for (int band = 0; band < kBandCount; ++band) {
    sliders_[static_cast<std::size_t>(band)] =
        std::make_unique<TMyVSlider>(this, res3300::kFirstBandSlider + band);
  }
  OnMessage(TMyVSlider::kScrollMessage, [this](const ui::Message& m) {
    Scrolled(m);
    return ui::Param{0};
  });
  // A click on the background leaves no slider with the focus, so the arrow keys step none.
  OnMessage(ui::msg::kLButtonDown, [this](const ui::Message&) {
    SetFocus();
    return ui::Param{0};
  });
  OnCommand(res3300::kFlattenButton, [this] { CmFlatten(); });
  OnCommand(res3300::kAdjustButton, [this] { CmAdjust(); });
}

void TGraphicEQ::SetupWindow() {
  ui::Dialog::SetupWindow();
  for (auto& slider : sliders_) {
    slider->SetRange(0, kMaxBandLevel);
    slider->SetFrameStyle(kSunkenFrame);
    slider->SetDisplay(kDbPerStep, kReadOutOffsetDb);
  }
  ReadBands();
  sliders_.front()->SetFocus();
}

void TGraphicEQ::ReadBands() {
  controls::GuardedBusCall(&device_, [this] { ShowBands(); });
}

void TGraphicEQ::ShowBands() { ShowBandRange(0, kBandCount); }

void TGraphicEQ::ShowBandRange(std::size_t first, std::size_t count) {
  std::size_t band = first;
  try {
    for (; band < first + count; ++band)
      sliders_[band]->SetValue(objects_.bands[band].Read(device_));
  } catch (const IQException&) {
    // The bands the unit did not give show no level, never the one the slider last had.
    ShowUnknown(band, first + count - band);
    throw;
  }
}

void TGraphicEQ::ShowUnknown(std::size_t first, std::size_t count) {
  for (std::size_t band = first; band < first + count; ++band) sliders_[band]->ShowUnknown();
}

void TGraphicEQ::WriteBand(const TMyVSlider& slider) {
  const int level = slider.GetValue();
  WriteBands(static_cast<std::size_t>(slider.Id() - res3300::kFirstBandSlider), {&level, 1});
}

void TGraphicEQ::WriteBands(std::size_t first, std::span<const int> levels) {
  controls::ApplyChange(
      [&] {
        return controls::GuardedBusCall(&device_, [&] {
          for (std::size_t i = 0; i < levels.size(); ++i) {
            objects_.bands[first + i].Write(device_, static_cast<uint8_t>(levels[i]));
          }
        });
      },
      {.taken =
           [&] {
             for (std::size_t i = 0; i < levels.size(); ++i) {
               sliders_[first + i]->SetValue(levels[i]);
             }
           },
       .showUnit =
           [&] {
             controls::GuardedBusCall(&device_, [&] { ShowBandRange(first, levels.size()); });
           },
       .showUnknown = [&] { ShowUnknown(first, levels.size()); }});
}

void TGraphicEQ::Scrolled(const ui::Message& message) {
  if (TMyVSlider::ScrollCodeOf(message.wParam) != ui::ScrollCode::EndScroll) return;
  const auto found = std::find_if(sliders_.begin(), sliders_.end(), [&](const auto& slider) {
    return reinterpret_cast<ui::Param>(slider.get()) == message.lParam;
  });
  if (found != sliders_.end()) WriteBand(**found);
}

TMyVSlider* TGraphicEQ::FocusedSlider() const {
  for (const auto& slider : sliders_) {
    if (slider->IsFocusOfItsWindow()) return slider.get();
  }
  return nullptr;
}

bool TGraphicEQ::PreProcessKey(const ui::KeyStroke& key) {
  const int steps = key.code == ui::key::kUp || key.code == ui::key::kDown           ? 1
                    : key.code == ui::key::kPageUp || key.code == ui::key::kPageDown ? kPageSteps
                                                                                     : 0;
  if (steps == 0) return ui::Dialog::PreProcessKey(key);
  // The arrows never move the focus between the dialog's controls; the page keys step only a
  // slider that has the focus.
  if (key.down) {
    // A band whose level the unit did not give has no level to step from. One shown while the unit
    // is in doubt may no longer be the unit's: the unit is read again first (a lock found then
    // closes the dialog).
    TMyVSlider* slider = FocusedSlider();
    if (slider != nullptr && slider->HasValue() && controls::SettleCopy(device_) && IsCreated() &&
        slider->HasValue()) {
      const bool up = key.code == ui::key::kUp || key.code == ui::key::kPageUp;
      up ? slider->StepUp(steps) : slider->StepDown(steps);
      WriteBand(*slider);
    }
  }
  return steps == 1 || ui::Dialog::PreProcessKey(key);
}

void TGraphicEQ::CmFlatten() {
  if (ui::MessageBox(this, "Flatten all EQ filters on this channel?", std::string(),
                     ui::mb::kOkCancel | ui::mb::kIconQuestion) != ui::kIdOk) {
    return;
  }
  std::array<int, kBandCount> levels;
  levels.fill(kFlatBandLevel);
  WriteBands(0, levels);
}

void TGraphicEQ::CmAdjust() {
  // Every band shifts from the level the unit holds. The bands are read first when a slider has
  // none, or when the unit is in doubt: a command cut short may have changed them, and the
  // sliders then show what it held before. A read that fails writes nothing.
  const bool unread = device_.InDoubt() || std::ranges::any_of(sliders_, [](const auto& slider) {
                        return !slider->HasValue();
                      });
  if (unread && !controls::GuardedBusCall(&device_, [this] { ShowBands(); })) return;
  TAdjustDialog adjust(this);
  const int offset = adjust.Execute();
  if (offset == 0) return;
  std::array<int, kBandCount> levels;
  for (std::size_t band = 0; band < levels.size(); ++band) {
    levels[band] =
        std::clamp(sliders_[band]->GetValue() + offset, 0, static_cast<int>(kMaxBandLevel));
  }
  WriteBands(0, levels);
}

}  // namespace namespace3300
