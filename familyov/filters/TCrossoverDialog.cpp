#include "familyov/filters/TCrossoverDialog.h"

#include <memory>
#include <string>

#include "controls/CopyInDoubt.h"
#include "familyov/filters/CrossoverRules.h"
#include "familyov/filters/FiltersInDoubt.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Validator.h"
#include "resources/FamilyOvCrossoverIds.h"

namespace namespaceOV {

namespace {

using namespace ovcrossover_res;

constexpr const char* kFrequencyCharacters = "0-9k.";
constexpr int kFrequencyChars = 18;
constexpr int kSlopePerOrderDb = 6;
constexpr const char* kTypeNames[] = {"< None >", "Butterworth", "Bessel", "Linkwitz-Riley"};

}  // namespace

TCrossoverDialog::TCrossoverDialog(ui::Window* parent, IQDeviceOrdavinex& device)
    : ui::Dialog(parent, kCrossoverDialog),
      TDataWindow(parent),
      device_(device),
      low_{CrossoverSide::kLow, {this, kLowType},  {this, kLowFrequency, kFrequencyChars},
           {this, kLowQuad},    {this, kLowOrder}, {this, kLowSlope}},
      high_{CrossoverSide::kHigh, {this, kHighType},  {this, kHighFrequency, kFrequencyChars},
            {this, kHighQuad},    {this, kHighOrder}, {this, kHighSlope}},
      polarity_(this, kPolarity) {
  for (Row* row : {&low_, &high_}) {
    OnNotify(row->type.Id(), ui::Notify::SelChange, [this, row](const ui::Notification&) {
      EvType(*row);
      return 0;
    });
    OnNotify(row->order.Id(), ui::Notify::DeltaPos, [this, row](const ui::Notification& n) {
      EvOrder(*row, static_cast<int>(n.value));
      return 1;
    });
  }
  OnCommand(kPolarity, [this] { EvPolarity(); });
  OnMessage(TQuadButton::kQuadSpin, [this](const ui::Message& m) {
    EvQuad(reinterpret_cast<TQuadButton*>(m.lParam), static_cast<int>(m.wParam));
    return 0;
  });
}

TCrossoverDialog::~TCrossoverDialog() {
  UnlinkEdits();
  Destroy();
}

void TCrossoverDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  for (Row* row : {&low_, &high_}) {
    row->frequency.SetValidator(std::make_unique<ui::CharSetValidator>(kFrequencyCharacters));
    for (const char* name : kTypeNames) row->type.AddString(name);
  }
  UpdateControls();
}

CrossoverChanges TCrossoverDialog::Changes() {
  return CrossoverChanges(device_, [this](NotifyRecord& record) { NotifyRoot(&record); });
}

void TCrossoverDialog::SetOutput(int channel) {
  if (channel != 0) output_ = channel - device_.firstOutput;
  UpdateControls();
}

void TCrossoverDialog::UnlinkEdits() {
  for (int o = 0; o < device_.outputs; ++o) {
    for (const CrossoverSide side : {CrossoverSide::kLow, CrossoverSide::kHigh}) {
      TFilter* edge = CrossoverOf(device_, o, side);
      if (edge && (edge->dialogFrequencyControl == &low_.frequency ||
                   edge->dialogFrequencyControl == &high_.frequency)) {
        edge->dialogFrequencyControl = nullptr;
      }
    }
  }
}

void TCrossoverDialog::UpdateControls() {
  if (!IsCreated()) return;
  // Crossovers that may not be what the unit holds show unknown, and so does a polarity the unit
  // does not tell.
  const bool unknown = device_.FiltersStale();
  int polarity = TPolarityButton::kUnknownState;
  GuardedUnitCall(device_, [&] { polarity = OutputInverted(device_, output_) ? 1 : 0; });
  polarity_.SetState(polarity);
  UnlinkEdits();
  ShowRow(high_, unknown);
  ShowRow(low_, unknown);
}

void TCrossoverDialog::ShowRow(Row& row, bool unknown) {
  TFilter* edge = CrossoverOf(device_, output_, row.side);
  if (edge == nullptr) {
    row.type.SetSelection(unknown ? -1 : kCrossoverNone);
    row.frequency.SetText("");
    row.frequency.Enable(false);
    row.slope.SetText("");
    return;
  }
  edge->dialogFrequencyControl = &row.frequency;
  row.frequency.Enable(true);
  row.type.SetSelection(unknown ? -1 : CrossoverType(*edge));
  row.frequency.SetText(unknown ? std::string() : std::to_string(edge->frequency));
  row.slope.SetText(unknown ? std::string()
                            : std::to_string(-kSlopePerOrderDb * CrossoverOrder(*edge)));
}

void TCrossoverDialog::Notify(NotifyRecord* record) {
  if (record == nullptr) return;
  const uint32_t code = record->code;
  const bool ofOutput = (code == FilterAdded || code == FilterRemoved || code == FilterChanged ||
                         code == PolarityChanged) &&
                        record->channel == device_.firstOutput + output_;
  // The crossovers read again are new objects, or the unit's doubt is settled.
  if (ofOutput || code == RefreshAll || code == FilterSetChanged) UpdateControls();
}

void TCrossoverDialog::Refused(CrossoverChanges::Outcome outcome) {
  if (outcome != CrossoverChanges::Outcome::kNoCapacity) return;
  // The row shows the crossover the unit still has.
  UpdateControls();
  ui::MessageBox(this, "Insufficient DSP Capacity", "Crossovers",
                 ui::mb::kOk | ui::mb::kIconExclamation);
}

void TCrossoverDialog::EvType(Row& row) {
  const int type = row.type.Selection();
  if (type < 0) return;
  auto outcome = CrossoverChanges::Outcome::kNothing;
  Edit([&] { outcome = Changes().SetType(output_, row.side, type); });
  Refused(outcome);
}

void TCrossoverDialog::EvOrder(Row& row, int delta) {
  const std::string typed = row.frequency.Text();
  auto outcome = CrossoverChanges::Outcome::kNothing;
  Edit([&] { outcome = Changes().StepOrder(output_, row.side, delta, typed); });
  Refused(outcome);
}

void TCrossoverDialog::EvQuad(TQuadButton* button, int steps) {
  Row* row = button == &low_.quad ? &low_ : button == &high_.quad ? &high_ : nullptr;
  if (row == nullptr) return;
  Edit([&] { Changes().StepFrequency(output_, row->side, button->CurrentZone(), steps); });
}

void TCrossoverDialog::Edit(const std::function<void()>& change) {
  // A change keeps the crossovers' other values as the program's copy holds them. The read again
  // draws the rows anew: a change takes what it needs of them first.
  if (!controls::SettleCopy(device_)) return;
  // The records of a change the unit took draw the rows. Otherwise they show the crossovers the
  // unit still has, or, with a write in doubt, unknown.
  ChangeOnUnit(device_, change,
               {.showUnit = [this] { UpdateControls(); },
                .showUnknown = [this] { ShowFiltersInDoubt(device_, *this); }});
}

void TCrossoverDialog::EvPolarity() {
  // The polarity is read from the unit: what it holds, or unknown while it does not answer.
  const auto show = [this] { UpdateControls(); };
  ChangeOnUnit(device_, [this] { Changes().TogglePolarity(output_); },
               {.showUnit = show, .showUnknown = show});
}

bool TCrossoverDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.code == ui::key::kReturn) {
    // Frequencies the unit failed to take give way to the ones it holds.
    if (!key.down) {
      const std::string low = low_.frequency.Text();
      const std::string high = high_.frequency.Text();
      Edit([&] { Changes().SetTypedFrequencies(output_, low, high); });
    }
    return true;
  }
  if (key.code == ui::key::kEscape) {
    if (key.down) UpdateControls();
    return true;
  }
  return ui::Dialog::PreProcessKey(key);
}

}  // namespace namespaceOV
