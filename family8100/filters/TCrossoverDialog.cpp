#include "family8100/filters/TCrossoverDialog.h"

#include <memory>
#include <string>

#include "controls/ControlChange.h"
#include "controls/DeviceErrorReport.h"
#include "family8100/filters/TCrossoverGraph.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/TValueDialog8100.h"
#include "platform/ui/Validator.h"
#include "resources/Family8100CrossoverIds.h"

namespace namespace8100 {

namespace {

using namespace f8100res;

constexpr const char* kFrequencyCharacters = "0-9k.";
constexpr int kFrequencyChars = 255;
constexpr int kSlopePerOrderDb = 6;
constexpr const char* kAlignmentNames[] = {"< None >", "Butterworth", "Bessel", "Linkwitz-Riley"};
// The link button's lamp while the crossovers are linked, and while they are not.
constexpr int kLinkedState = 6;
constexpr int kUnlinkedState = 5;
constexpr int kLampStyle = 0;

BoolUCodeObject& PolarityOf(CrossoverSide side) {
  return side == CrossoverSide::Low ? g8100LeftPolarity : g8100RightPolarity;
}

}  // namespace

TCrossoverDialog::TCrossoverDialog(ui::Window* parent, IQDevice8100& unit)
    : ui::Dialog(parent, kCrossoverDialog),
      unit_(unit),
      low_{CrossoverSide::Low,  {this, kLowAlignment}, {this, kLowFrequency, kFrequencyChars},
           {this, kLowQuad},    {this, kLowOrder},     {this, kLowSlope},
           {this, kLowPolarity}},
      high_{CrossoverSide::High,  {this, kHighAlignment}, {this, kHighFrequency, kFrequencyChars},
            {this, kHighQuad},    {this, kHighOrder},     {this, kHighSlope},
            {this, kHighPolarity}},
      link_(this, kCrossoverLink) {
  for (Row* row : {&low_, &high_}) {
    OnNotify(row->alignment.Id(), ui::Notify::SelChange, [this, row](const ui::Notification&) {
      EvAlignment(*row);
      return 0;
    });
    OnNotify(row->order.Id(), ui::Notify::DeltaPos, [this, row](const ui::Notification& n) {
      EvOrder(*row, static_cast<int>(n.value));
      return 0;
    });
    OnCommand(row->polarity.Id(), [this, row] { EvPolarity(*row); });
  }
  link_.SetStyle(kLampStyle);
  OnCommand(kCrossoverLink, [this] { EvLink(); });
  OnMessage(TQuadButton::kQuadSpin, [this](const ui::Message& m) {
    EvQuad(reinterpret_cast<TQuadButton*>(m.lParam), static_cast<int>(m.wParam));
    return 0;
  });
}

TCrossoverDialog::~TCrossoverDialog() {
  for (Row* row : {&low_, &high_}) {
    TFilter* crossover = Edits().Crossover(row->side);
    if (crossover && crossover->frequencyField == &row->frequency) {
      crossover->frequencyField = nullptr;
    }
  }
}

void TCrossoverDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  for (Row* row : {&low_, &high_}) {
    row->frequency.SetValidator(std::make_unique<ui::CharSetValidator>(kFrequencyCharacters));
    for (const char* name : kAlignmentNames) row->alignment.AddString(name);
  }
  UpdateControls();
}

void TCrossoverDialog::UpdateControls() {
  if (!IsCreated()) return;
  if (!controls::GuardedBusCall(&unit_, [this] {
        for (Row* row : {&low_, &high_}) ShowPolarity(*row);
      })) {
    for (Row* row : {&low_, &high_}) row->polarity.SetState(TPolarityButton::kUnknownState);
  }
  ShowCrossovers();
  if (graph_) graph_->Refresh();
}

void TCrossoverDialog::ShowCrossovers() {
  if (!IsCreated()) return;
  // Once the unit's doubt is settled, the crossovers are what the unit was read to hold.
  unknown_ = unknown_ && unit_.InDoubt();
  ShowRow(low_);
  ShowRow(high_);
  const bool linked = unit_.crossoverLink;
  link_.SetState(linked ? kLinkedState : kUnlinkedState);
  link_.Redraw();
  low_.frequency.Enable(!linked && unit_.LowCrossover() != nullptr);
  low_.quad.Enable(!linked && unit_.LowCrossover() != nullptr);
}

void TCrossoverDialog::Changed() {
  UpdateControls();
  if (onChanged_) onChanged_();
}

void TCrossoverDialog::ShowRow(Row& row) {
  const auto* crossover = dynamic_cast<const TCrossoverFilter*>(Edits().Crossover(row.side));
  // A side without a crossover has no frequency or slope to step.
  row.frequency.Enable(crossover != nullptr);
  row.quad.Enable(crossover != nullptr);
  row.order.Enable(crossover != nullptr);
  if (!crossover) {
    row.alignment.SetSelection(kAlignmentNone);
    row.frequency.SetText("");
    row.slope.SetText("");
    return;
  }
  Edits().Crossover(row.side)->frequencyField = &row.frequency;
  row.alignment.SetSelection(unknown_ ? -1 : crossover->alignment);
  row.frequency.SetText(unknown_ ? std::string() : std::to_string(crossover->frequency));
  row.slope.SetText(unknown_ ? std::string()
                             : std::to_string(-kSlopePerOrderDb * crossover->order));
}

void TCrossoverDialog::Edit(const std::function<void(CrossoverEdits&)>& edit) {
  // The crossovers hold what the unit took or, after a failure, was read to hold: the windows
  // show them, the values unknown while the write's answer is lost.
  const auto show = [this](bool unknown) {
    return [this, unknown] {
      unknown_ = unknown;
      Changed();
    };
  };
  // Crossovers shown unknown change from what the unit holds, read first, not from values the unit
  // may no longer hold.
  const bool inDoubt = unknown_;
  const auto change = [&](CrossoverEdits& edits) {
    if (!inDoubt || edits.ReadCrossovers()) edit(edits);
  };
  controls::ApplyChange(
      [&] { return GuardedCrossoverEdit(unit_, change) == controls::ChangeOutcome::kTaken; },
      {.taken = show(false), .showUnit = show(false), .showUnknown = show(true)});
}

void TCrossoverDialog::EvAlignment(Row& row) {
  const int alignment = row.alignment.Selection();
  if (alignment < 0) return;
  Edit([&](CrossoverEdits& edits) { edits.ChangeAlignment(row.side, alignment); });
}

void TCrossoverDialog::EvOrder(Row& row, int delta) {
  if (!Edits().Crossover(row.side)) return;
  Edit([&](CrossoverEdits& edits) { edits.StepOrder(row.side, delta, row.frequency.Text()); });
}

void TCrossoverDialog::EvQuad(TQuadButton* button, int steps) {
  Row* row = button == &low_.quad ? &low_ : button == &high_.quad ? &high_ : nullptr;
  if (!row) return;
  Edit(
      [&](CrossoverEdits& edits) { edits.StepFrequency(row->side, button->CurrentZone(), steps); });
}

void TCrossoverDialog::ShowPolarity(Row& row) {
  row.polarity.SetState(PolarityOf(row.side).Read(unit_) ? 1 : 0);
  row.polarity.Invalidate();
}

void TCrossoverDialog::EvPolarity(Row& row) {
  // A polarity shown unknown turns over what the unit holds.
  ChangeThenShow(
      unit_, [&] { PolarityOf(row.side).Write(unit_, !PolarityOf(row.side).Read(unit_)); },
      [&] { ShowPolarity(row); }, [&] { row.polarity.SetState(TPolarityButton::kUnknownState); });
}

void TCrossoverDialog::EvLink() {
  Edit([&](CrossoverEdits& edits) {
    edits.ToggleLink(low_.frequency.Text(), high_.frequency.Text());
  });
}

bool TCrossoverDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.code == ui::key::kReturn) {
    if (!key.down) {
      Edit([&](CrossoverEdits& edits) {
        edits.ApplyTyped(low_.frequency.Text(), high_.frequency.Text());
      });
    }
    return true;
  }
  if (key.code == ui::key::kEscape) {
    if (key.down) UpdateControls();
    return true;
  }
  return ui::Dialog::PreProcessKey(key);
}

}  // namespace namespace8100
