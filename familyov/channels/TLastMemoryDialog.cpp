#include "familyov/channels/TLastMemoryDialog.h"

#include <optional>
#include <string>

#include "familyov/channels/ProcessingValues.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "resources/FamilyOvSummaryIds.h"

namespace namespaceOV {

namespace {

using namespace ovsummary_res;

}  // namespace

TLastMemoryDialog::TLastMemoryDialog(ui::Window* parent, IQDeviceOrdavinex& device)
    : ui::Dialog(parent, kFooterDialog),
      TDataWindow(parent),
      device_(device),
      usage_(this, kDspUsageBar),
      modified_(this, kModifiedLamp) {
  modified_.SetStyle(TLEDButton::kColoredStyle);
  modified_.SetState(TLEDButton::kOff);
}

void TLastMemoryDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  // One more than the percentage, so that 0 % is an empty bar and 100 % a full one.
  usage_.SetRange(1, 101);
  Refresh();
}

void TLastMemoryDialog::SetControlText(int id, const std::string& text) {
  if (ui::Control* control = ControlById(id)) control->SetText(text);
}

void TLastMemoryDialog::Refresh() {
  // Counted here, so that a count the unit does not answer now shows as unknown rather than the
  // last one made; what it counts is mostly kept from earlier reads and costs no request.
  GuardedUnitCall(device_, [this] { device_.RecountDspUse(); });
  const std::optional<int> total = device_.DspFigure(device_.totalPercent);
  usage_.SetValue(total.value_or(0) + 1);
  SetControlText(kFiltersRemaining, FiltersRemainText(device_.DspFigure(device_.freeSections)));
  SetControlText(kDspUsage, PercentText(total));
  SetControlText(kLastMemory, "");
  SetControlText(kLastLogic, "");
  GuardedUnitCall(device_, [this] {
    std::string last;
    if (device_.HasFeature(kFeatureLastMemory)) {
      const int memory = gLastMemoryObject.Read(device_);
      last = "0";
      if (memory != 0) {
        gMemoryNameObject.SetElement(memory - 1);
        last = "#" + std::to_string(memory) + ", '" + gMemoryNameObject.Read(device_) + "'";
      }
    }
    SetControlText(kLastMemory, last);
    SetControlText(kLastLogic, std::to_string(gCurrentLogicInObject.Read(device_)));
  });
}

void TLastMemoryDialog::Notify(NotifyRecord* record) {
  switch (record->code) {
    case RefreshAll:
    case MemoryRenamed:
    case FilterAdded:
    case FilterRemoved:
    case FilterChanged:
    case LimiterEnableChanged:
    case PinkNoiseChanged:
    case DelayChanged:
    case GroupDelayStep:
      Refresh();
      break;
    default:
      break;
  }
  TDataWindow::Notify(record);
}

bool TLastMemoryDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.down && (key.code == ui::key::kReturn || key.code == ui::key::kEscape)) return true;
  return ui::Dialog::PreProcessKey(key);
}

bool TLastMemoryDialog::IdleAction(long idleCount) {
  const bool more = ui::Dialog::IdleAction(idleCount);
  const int state = device_.settingsChanged ? TLEDButton::kYellow : TLEDButton::kOff;
  if (modified_.GetState() != state) {
    modified_.SetState(state);
    modified_.SetText(device_.settingsChanged ? "Mod" : "");
    modified_.Redraw();
  }
  return more;
}

}  // namespace namespaceOV
