#include "familyov/filters/TCrossoverGraphWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "controls/CopyInDoubt.h"
#include "familyov/filters/CrossoverChanges.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "platform/ui/Menu.h"

namespace namespaceOV {

using familycommon::TFreqDC;

namespace {

constexpr ui::MessageId kWriteLivePosition = 0x0400 + CrossoverOutputSelected;

constexpr ui::Color kOtherOutputColour{0, 255, 0};
constexpr ui::Color kCurrentOutputColour{255, 255, 255};
constexpr ui::Color kNetworkSumColour{255, 0, 255};
constexpr float kLabelGain = 1.1f;
constexpr float kFmin = static_cast<float>(CrossoverGraphIcons::kFmin);
constexpr float kFmax = static_cast<float>(CrossoverGraphIcons::kFmax);

}  // namespace

TCrossoverGraphWindow::TCrossoverGraphWindow(ui::Window* parent, IQDeviceOrdavinex& device)
    : TDataWindow(parent),
      familycommon::GraphWindow(parent, Keys::kHandled),
      device_(device),
      currentChannel_(device.firstOutput),
      drag_(*this) {
  drag_.SetLiveWrite(
      kWriteLivePosition, [this] { WriteLivePosition(); },
      [this](const IQException& e) {
        const familycommon::FilterHandle<TFilter> crossover = unitHolds_.Changed();
        unitHolds_.LiveWriteFailed(device_, e, *this);
        TellChanged(crossover);
      });
  // Without a drag the idle check reads the unit again.
  drag_.SetOnEnd([this] {
    dragged_ = nullptr;
    device_.parametersReady = true;
  });
  OnCommand(kCmShowNetworkSum, [this] { ShowNetworkSum(); });
}

TCrossoverGraphWindow::~TCrossoverGraphWindow() {
  if (Dragging()) drag_.End();
  Destroy();
}

void TCrossoverGraphWindow::SetupWindow() {
  ui::DrawnWindow::SetupWindow();
  Rebuild();
  SetText("Unit: '" + GuardedDisplayName(device_) + "'");
}

bool TCrossoverGraphWindow::IsOutput(int channel) const {
  return channel >= device_.firstOutput && channel < device_.firstOutput + device_.outputs;
}

int TCrossoverGraphWindow::NetworkOf(int channel) {
  gCrossoverNetworkObject.SetElement(channel - device_.firstOutput);
  return gCrossoverNetworkObject.Read(device_);
}

void TCrossoverGraphWindow::Rebuild() {
  // The icons go: a drag holds one of them.
  if (Dragging()) drag_.End();
  if (currentChannel_ == 0 || !IsOutput(currentChannel_)) {
    icons_.Rebuild(device_, {}, 0);
    return;
  }
  GuardedUnitCall(device_, [this] {
    currentNetwork_ = NetworkOf(currentChannel_);
    const std::vector<int> outputs = OutputsOfNetwork(device_, currentNetwork_);
    icons_.Rebuild(device_, outputs, currentChannel_);
    ReadNames(outputs);
    if (device_.showNetworkSum) ComputeNetworkSum();
  });
}

void TCrossoverGraphWindow::ReadNames(const std::vector<int>& outputs) {
  for (const int o : outputs) {
    gChannelNameObject.SetElement(device_.firstOutput + o);
    names_[static_cast<std::size_t>(o)] = gChannelNameObject.Read(device_);
  }
}

void TCrossoverGraphWindow::ComputeNetworkSum() {
  std::vector<CrossoverGraphIcons::NetworkOutput> outputs;
  for (const int o : OutputsOfNetwork(device_, currentNetwork_)) {
    gPolarityObject.SetElement(o);
    outputs.push_back({o, gPolarityObject.Read(device_)});
  }
  icons_.ComputeNetworkSum(outputs);
}

void TCrossoverGraphWindow::ShowNetworkSum() {
  device_.showNetworkSum = !device_.showNetworkSum;
  if (device_.showNetworkSum) GuardedUnitCall(device_, [this] { ComputeNetworkSum(); });
  Invalidate();
}

void TCrossoverGraphWindow::Notify(NotifyRecord* record) {
  if (record != nullptr) {
    const NotifyRecord& r = *record;
    if (r.code == CrossoverOutputSelected && r.pointer != nullptr) {
      currentChannel_ = *static_cast<const int*>(r.pointer);
      Rebuild();
      Invalidate();
    } else if (r.code == RefreshAll || r.code == NetworkAssignmentChanged ||
               r.code == FilterSetChanged) {
      Rebuild();
      Invalidate();
    } else if (IsOutput(r.channel)) {
      GuardedUnitCall(device_, [&] {
        if (NetworkOf(r.channel) != currentNetwork_) return;
        const bool rebuild = r.code == FilterAdded || r.code == FilterRemoved ||
                             r.code == FilterChanged || r.code == FilterSelected ||
                             (r.code == PolarityChanged && device_.showNetworkSum);
        if (rebuild) Rebuild();
        if (r.code == ChannelRenamed) ReadNames({r.channel - device_.firstOutput});
        Invalidate();
      });
    }
  }
  TDataWindow::Notify(record);
}

void TCrossoverGraphWindow::DrawGrid(TFreqDC& freq) const {
  familycommon::GridStyle style;
  style.minorStep = familycommon::kFullLevelScale.minorStep;
  style.majorStep = familycommon::kFullLevelScale.majorStep;
  familycommon::DrawGrid(freq, style);
}

void TCrossoverGraphWindow::DrawCurves(TFreqDC& freq) const {
  const int current = currentChannel_ - device_.firstOutput;
  for (int o = 0; o < device_.outputs; ++o) {
    if (o != current)
      familycommon::DrawCurveAboveFloor(freq, icons_.OutputCurve(o), kOtherOutputColour);
  }
  familycommon::DrawCurveAboveFloor(freq, icons_.OutputCurve(current), kCurrentOutputColour);
  if (device_.showNetworkSum) {
    familycommon::DrawCurveAboveFloor(freq, icons_.NetworkSum(), kNetworkSumColour);
  }
}

void TCrossoverGraphWindow::DrawIcons(TFreqDC& freq) {
  ui::Dc& dc = freq.Dc();
  dc.SetBackgroundMode(ui::BackgroundMode::Transparent);
  dc.SetFont(ui::Font::VariablePitch());
  // The chosen output's icons last, on top of the others.
  for (const int pass : {0, 1}) {
    dc.SetTextColor(pass == 1 ? kCurrentOutputColour : kOtherOutputColour);
    for (const auto& icon : icons_.All()) {
      if ((icon->selected == 1) != (pass == 1)) continue;
      const int output = icon->Filter().channel - device_.firstOutput;
      icon->DrawLabeled(freq, names_[static_cast<std::size_t>(output)], false);
    }
  }
}

void TCrossoverGraphWindow::Paint(ui::Dc& dc) {
  const ui::Rect client = ClientRect();
  dc.FillRect(client, ui::kBlack);
  TFreqDC freq(dc, client, kFmin, kFmax, familycommon::kFullLevelScale.dBmin,
               familycommon::kFullLevelScale.dBmax, false);
  DrawGrid(freq);
  DrawIcons(freq);
  DrawCurves(freq);
}

void TCrossoverGraphWindow::DrawDragStep() {
  const auto client = DrawNow();
  if (!client || !dragged_) return;
  ui::Dc& dc = client->dc();
  dc.FillRect(ClientRect(), ui::kBlack);
  TFreqDC freq(dc, ClientRect(), kFmin, kFmax, familycommon::kFullLevelScale.dBmin,
               familycommon::kFullLevelScale.dBmax, false);
  DrawGrid(freq);
  DrawCurves(freq);
  dc.SetBackgroundMode(ui::BackgroundMode::Transparent);
  dc.SetFont(ui::Font::VariablePitch());
  dc.SetTextColor(kCurrentOutputColour);
  const float frequency = dragged_->position.frequency;
  freq.TextAt(std::to_string(static_cast<int>(frequency)), frequency, kLabelGain,
              familycommon::kTextAbove | familycommon::kTextCentred);
  drag_.DrawBand(dc);
}

TFreqDC TCrossoverGraphWindow::MouseContext() {
  return TFreqDC(MouseDc(), ClientRect(), kFmin, kFmax, familycommon::kFullLevelScale.dBmin,
                 familycommon::kFullLevelScale.dBmax, false);
}

void TCrossoverGraphWindow::EvLButtonDown(ui::Point p) {
  TFreqDC freq = MouseContext();
  TCrossoverIcon* hit = icons_.HitTest(freq, freq.FlipPoint(p));
  if (hit == nullptr) return;
  // The drop writes the crossover whole as the program's copy holds it. A read again makes new
  // icons, each where the unit has its crossover.
  if (!controls::SettleCopy(device_)) return;
  hit = icons_.HitTest(freq, freq.FlipPoint(p));
  if (hit == nullptr) return;
  TFilter& crossover = hit->Filter();
  device_.parametersReady = false;
  // Live writes address the selected filter: without the selection they would reach another.
  if (!GuardedUnitCall(device_, [&] {
        gFilterSelectObject.Write(device_, static_cast<uint8_t>(crossover.number));
      })) {
    device_.parametersReady = true;
    return;
  }
  drag_.Begin(freq, hit->position);
  dragged_ = hit;
  lastWritten_ = crossover.GetDeviceRecord();
  unitHolds_.Hold(crossover);
}

void TCrossoverGraphWindow::EvMouseMove(ui::Point p) {
  if (!dragged_) return;
  TFreqDC freq = MouseContext();
  GraphValue value = freq.MouseValue(p);
  dragged_->DragTo(value);
  drag_.MoveBandTo(freq.ValueToPoint(value, false));
  value = drag_.BandValue(freq);
  dragged_->Apply(value);
  TFilter& crossover = dragged_->Filter();
  if (ui::IsLiveWindow(crossover.dialogFrequencyControl)) {
    crossover.dialogFrequencyControl->SetText(std::to_string(crossover.frequency));
  }
  drag_.QueueLiveWrite();
  icons_.Refresh(*dragged_);
  if (device_.showNetworkSum) GuardedUnitCall(device_, [this] { ComputeNetworkSum(); });
  DrawDragStep();
}

void TCrossoverGraphWindow::WriteLivePosition() {
  TFilter& crossover = dragged_->Filter();
  if (crossover.GetDeviceRecord() == lastWritten_) return;
  crossover.UpdateDeviceLive(device_);
  lastWritten_ = crossover.GetDeviceRecord();
  unitHolds_.Hold(crossover);
}

void TCrossoverGraphWindow::EvLButtonUp() {
  if (!dragged_) return;
  TCrossoverIcon& icon = *dragged_;
  const TFreqDC freq = MouseContext();
  GraphValue value = drag_.BandValue(freq);
  value.gain = std::clamp(value.gain, freq.Gmin(), freq.Gmax());
  icon.Apply(value);
  drag_.End();
  TFilter& crossover = icon.Filter();
  // Whatever became of the drop, every window shows what the crossover now holds: the unit's
  // position or the one it held before; in doubt, unknown.
  const auto tell = [this] { TellChanged(unitHolds_.Changed()); };
  unitHolds_.Write(
      device_,
      [&] {
        crossover.WriteToDevice(device_);
        crossover.SendCreateCommand(device_);
      },
      {.taken = tell, .showUnit = tell, .showUnknown = tell}, *this);
  Invalidate();
}

void TCrossoverGraphWindow::TellChanged(TFilter* crossover) {
  if (crossover == nullptr) return;
  std::vector<TFilter*> changed{crossover};
  NotifyRecord record{FilterChanged, crossover->channel, 1, &changed};
  NotifyRoot(&record);
}

void TCrossoverGraphWindow::EvKeyDown(int key) {
  if (key != ui::key::kEscape || !dragged_) return;
  // The unit keeps what the mouse reached, and so does the crossover in memory.
  drag_.FlushLiveWrite();
  drag_.End();
  Invalidate();
}

void TCrossoverGraphWindow::EvRButtonDown(ui::Point p) {
  ui::Menu menu;
  menu.AppendItem(kCmShowNetworkSum, "Show network sum");
  menu.CheckItem(kCmShowNetworkSum, device_.showNetworkSum);
  menu.Track(*this, ClientToScreen(p));
}

}  // namespace namespaceOV
