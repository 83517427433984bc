#include "familyov/channels/TGasDialog.h"

#include "familyov/channels/ProcessingValues.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditOVWindow.h"
#include "resources/FamilyOvProcessingIds.h"

namespace namespaceOV {

namespace {

using namespace ovprocessing_res;

constexpr int kTotalBarLow = 1;
constexpr int kTotalBarHigh = 101;

// Channel and crosspoint delays share the delay memory: both count.
int64_t DelayMemoryInUse(IQDeviceOrdavinex& device) {
  int64_t sum = 0;
  for (const int c : device.ChannelIndexes()) {
    gChannelDelayObject.SetElement(c);
    sum += static_cast<int32_t>(gChannelDelayObject.Read(device));
  }
  if (!device.Capacity().crosspointDelays) return sum;
  for (int o = 0; o < device.outputs; ++o) {
    for (int i = 0; i < device.inputs; ++i) {
      gCrosspointDelayObject.SetElement(CrosspointElement(o, i, device.matrixInputs));
      sum += static_cast<int32_t>(gCrosspointDelayObject.Read(device));
    }
  }
  return sum;
}

}  // namespace

TGasDialog::TGasDialog(IQDeviceOrdavinex& device, ui::Window* parent, UnitPoller& poller)
    : ui::Dialog(parent, kGasDialog),
      device_(device),
      totalBar_(this, kGasTotalBar),
      usageBar_(this, kGasUsageBar),
      total_(this, kGasTotal),
      usage_(this, kGasUsage),
      live_(poller, *this) {}

void TGasDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  totalBar_.SetRange(kTotalBarLow, kTotalBarHigh);
  usageBar_.SetRange(kDspUsageIdle, kDspUsageFull);
  Refresh();
}

void TGasDialog::Refresh() {
  // A failed recount shows its figures as unknown, and an empty bar.
  GuardedUnitCall(device_, [&] { device_.RecountDspUse(); });
  const std::optional<int> total = device_.DspFigure(device_.totalPercent);
  totalBar_.SetValue(total.value_or(0) + 1);
  total_.SetText(PercentText(total));
  const auto show = [this](int id, const std::string& text) { ControlById(id)->SetText(text); };
  show(kGasFilters, PercentText(device_.DspFigure(device_.filtersPercent)));
  show(kGasCrossovers, PercentText(device_.DspFigure(device_.crossoversPercent)));
  show(kGasLimiters, PercentText(device_.DspFigure(device_.limitersPercent)));
  show(kGasPinkNoise, PercentText(device_.DspFigure(device_.pinkNoisePercent)));
  show(kGasFiltersRemain, FiltersRemainText(device_.DspFigure(device_.freeSections)));
  std::optional<int> delayMemory;
  GuardedUnitCall(device_, [&] {
    delayMemory = DelayMemoryPercent(DelayMemoryInUse(device_), device_.GetDelayCapacity());
  });
  show(kGasDelayMemory, PercentText(delayMemory));
}

void TGasDialog::Notify(NotifyRecord* record) {
  switch (record->code) {
    case FilterAdded:
    case FilterRemoved:
    case FilterChanged:
    case RefreshAll:
    case LimiterEnableChanged:
    case DelayChanged:
    case PinkNoiseChanged:
    case GroupDelayStep:
    case CrosspointChanged:  // crosspoint delays take delay memory too
      Refresh();
      break;
    default:
      break;
  }
}

bool TGasDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.down) return false;
  return ui::Dialog::PreProcessKey(key);
}

void TGasDialog::PollOnce() {
  if (!IsCreated()) return;
  const auto counter = static_cast<int32_t>(gDspUsageObject.Read(device_));
  usageBar_.SetValue(counter);
  usage_.SetText(PercentText(DspUsagePercent(counter)));
}

void TGasDialog::ShowReadingUnknown() {
  if (!IsCreated()) return;
  usageBar_.SetValue(kDspUsageIdle);
  usage_.SetText(PercentText(std::nullopt));
}

std::unique_ptr<ui::Window> MakeGasDialog(TEditOVWindow& editWindow) {
  return std::make_unique<OVChild<TGasDialog>>(editWindow, "DSP Capacity", editWindow.Device(),
                                               nullptr, editWindow.Poller());
}

}  // namespace namespaceOV
