#include "familyov/channels/TSummaryWindow.h"

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/TEditOVWindow.h"
#include "resources/FamilyOvIds.h"
#include "resources/FamilyOvSummaryIds.h"

namespace namespaceOV {

namespace {

using namespace ovsummary_res;

constexpr int kWidth = 400;
constexpr int kHeight = 200;
constexpr const char* kAutoOpenOption = "AutoOpen Summary";

// A pane's height in pixels, as the summary's dialogs measure it.
int RowHeight(const ui::Dialog& measured, int resourceId) {
  const ui::DialogTemplate* t = ui::Resources::Dialog(resourceId);
  return t == nullptr ? 0 : measured.Units().ToPixelsY(t->box.height);
}

}  // namespace

TSummaryPanes::TSummaryPanes(ui::Window* parent, IQDeviceOrdavinex& device,
                             TEditOVWindow& editWindow)
    : TDataWindow(parent), TGroupWindow(parent), device_(device), editWindow_(editWindow) {
  flowDown = true;
  // Stubs above the inputs centre them against a longer column of outputs.
  for (int i = 0; i < (device.outputs - device.inputs) / 2; ++i) {
    stubs_.push_back(std::make_unique<TInputSummaryStubDialog>(this));
  }
  const bool compressors = device.HasFeature(kFeatureCompressors);
  for (int input = 0; input < device.inputs; ++input) {
    if (compressors) {
      inputs_.push_back(std::make_unique<TAdvInputSummaryDialog>(this, device, editWindow, input));
    } else {
      inputs_.push_back(std::make_unique<TInputSummaryDialog>(this, device, editWindow, input));
    }
  }
  for (int output = 0; output < device.outputs; ++output) {
    outputs_.push_back(std::make_unique<TOutputSummaryDialog>(this, device, editWindow,
                                                              device.firstOutput + output));
  }
  footer_ = std::make_unique<TLastMemoryDialog>(this, device);
}

TSummaryPanes::~TSummaryPanes() { Destroy(); }

void TSummaryPanes::SetupWindow() {
  TGroupWindow::SetupWindow();
  for (auto& stub : stubs_) AddPane(stub.get());
  for (auto& input : inputs_) {
    AddPane(input.get());
    focusList.push_back(input.get());
  }
  const ui::Dialog& measured = *inputs_.front();
  map_ = std::make_unique<TMixerSummaryWindow>(this, device_, editWindow_,
                                               RowHeight(measured, kCompressorInputPaneDialog),
                                               RowHeight(measured, kOutputPaneDialog));
  AddPane(map_.get(), true);
  for (auto& output : outputs_) {
    AddPane(output.get(), output == outputs_.front());
    focusList.push_back(output.get());
  }
  SetEdgePane(footer_.get(), kBottom);
  FitToContent();
}

TSummaryWindow::TSummaryWindow(TEditOVWindow& editWindow)
    : OVChild<ui::Frame>(editWindow, "Unit Summary", std::string(), nullptr),
      panes_(this, Device(), editWindow) {
  SetClient(&panes_);
  SetMenu(kSummaryMenu);
  SetIcon(Device().GetModelBitmapId());
  SetShrinkToClient(true);
  const ui::Rect area = ScreenWorkArea();
  SetRect({area.left, area.top, area.left + kWidth, area.top + kHeight});
  SetupCommands();
  ReadDelayUnits();
}

void TSummaryWindow::Notify(NotifyRecord* record) {
  if (record->code == DelayUnitsChanged && record->pointer != nullptr) {
    delayUnits_ = *static_cast<const int32_t*>(record->pointer);
  } else if (record->code == RefreshAll || record->code == DelayUnitsChanged) {
    ReadDelayUnits();
  }
  TDataWindow::Notify(record);
}

void TSummaryWindow::ReadDelayUnits() {
  IQDeviceOrdavinex& device = Device();
  // Units the unit does not answer tick no item of the menu.
  delayUnits_.reset();
  GuardedUnitCall(device, [&] { delayUnits_ = gDelayUnitsObject.Read(device); });
}

TSummaryWindow::~TSummaryWindow() { Destroy(); }

void TSummaryWindow::OpenWindow(int nodeId) { EditWindow().OpenChildWindow(nodeId); }

void TSummaryWindow::SetupCommands() {
  IQDeviceOrdavinex& device = Device();
  const NodeIds& ids = EditWindow().Ids();
  // The summary's file and unit commands are the edit window's own, run as they run there.
  const std::pair<int, int> editWindowCommands[] = {
      {kCmFileOpen, ovres::kCmLoadSettings},     {kCmFileSaveAs, ovres::kCmSaveSettings},
      {kCmFileReport, ovres::kCmPrintReport},    {kCmUnitName, ovres::kCmRenameUnit},
      {kCmSerialNumber, ovres::kCmSerialNumber}, {kCmFirmwareVersion, ovres::kCmFirmwareVersion}};
  for (const auto& [command, editCommand] : editWindowCommands) {
    OnCommand(command,
              [this, editCommand = editCommand] { EditWindow().Commands().Run(editCommand); });
  }
  const std::pair<int, int> units[] = {
      {kCmUnitsMsec, kDelayMsec}, {kCmUnitsFeet, kDelayFeet}, {kCmUnitsMeters, kDelayMeters}};
  for (const auto& [command, unit] : units) {
    OnCommand(command, [this, unit = unit] { SetDelayUnits(unit); });
    OnEnable(command, [this, unit = unit](ui::CommandState& s) { CheckDelayUnits(s, unit); });
  }
  OnCommand(kCmAutoOpen, [this] { CmAutoOpen(); });
  OnEnable(kCmAutoOpen,
           [&device](ui::CommandState& s) { s.checked = device.autoOpenSummary == 1; });
  const std::pair<int, int NodeIds::*> windows[] = {{kCmAdvancedMixer, &NodeIds::advancedMixer},
                                                    {kCmPinkNoise, &NodeIds::pinkNoise},
                                                    {kCmDspCapacity, &NodeIds::dspCapacity},
                                                    {kCmMemory, &NodeIds::memory},
                                                    {kCmLogic, &NodeIds::logic},
                                                    {kCmTimer, &NodeIds::timer},
                                                    {kCmSecurity, &NodeIds::security}};
  for (const auto& [command, node] : windows) {
    OnCommand(command, [this, &ids, node = node] { OpenWindow(ids.*node); });
  }
  OnEnable(kCmAdvancedMixer, [&device](ui::CommandState& s) {
    s.enabled = device.HasFeature(kFeatureCrosspointDelays);
  });
  OnEnable(kCmTimer, [&device](ui::CommandState& s) { s.enabled = device.clockPresent; });
  // A virtual unit has no name, password, serial number or firmware of its own to show.
  for (const int command : {kCmSecurity, kCmUnitName, kCmSerialNumber, kCmFirmwareVersion}) {
    OnEnable(command, [&device](ui::CommandState& s) { s.enabled = device.IsOnline(); });
  }
}

void TSummaryWindow::SetDelayUnits(int units) {
  IQDeviceOrdavinex& device = Device();
  int32_t unit = units;
  // Taken, every window shows the new units; else every window reads them again, unknown where
  // the unit does not answer.
  const auto tell = [this](int32_t* taken) {
    NotifyRecord record{DelayUnitsChanged, 0, 0, taken};
    NotifyRoot(&record);
  };
  ChangeOnUnit(device, [&] { gDelayUnitsObject.Write(device, static_cast<uint8_t>(units)); },
               {.taken = [&] { tell(&unit); },
                .showUnit = [&] { tell(nullptr); },
                .showUnknown = [&] { tell(nullptr); }});
}

void TSummaryWindow::CheckDelayUnits(ui::CommandState& state, int units) const {
  state.checked = delayUnits_ == units;
}

void TSummaryWindow::CmAutoOpen() {
  IQDeviceOrdavinex& device = Device();
  device.autoOpenSummary = (device.autoOpenSummary + 1) % 2;
  // Only a unit of the family's own types has the family's key to keep it in.
  device.WriteOption(kAutoOpenOption, static_cast<uint32_t>(device.autoOpenSummary));
}

}  // namespace namespaceOV
