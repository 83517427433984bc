#include "familyov/filters/TFilterGraphWindow.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "controls/CopyInDoubt.h"
#include "familyov/filters/FilterElements.h"
#include "familyov/filters/FiltersInDoubt.h"
#include "familyov/filters/TFilterListWindow.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "platform/ui/Menu.h"

namespace namespaceOV {

using familycommon::TFreqDC;
using familycommon::TPhaseDC;

namespace {

constexpr ui::MessageId kWriteLivePosition = 0x0400 + FilterDragged;

constexpr ui::Color kSumColour = ui::Color::FromBgr(0x00FF00);
struct Band {
  float fmin;
  float fmax;
};
constexpr Band kFullBand{20.0f, 24000.0f};
constexpr Band kZoomedBand{100.0f, 5000.0f};

std::vector<TFilter*> FiltersOf(const NotifyRecord& record) {
  if (record.flag == 1) {
    const auto* list = static_cast<const std::vector<TFilter*>*>(record.pointer);
    return list ? *list : std::vector<TFilter*>{};
  }
  return {static_cast<TFilter*>(record.pointer)};
}

}  // namespace

TFilterGraphWindow::TFilterGraphWindow(ui::Window* parent, FilterEditorPanes& panes)
    : TDataWindow(parent),
      familycommon::GraphWindow(parent, Keys::kHandled),
      panes_(panes),
      device_(*panes.device),
      channel_(std::clamp(panes.channel, 0, kMaxChannels - 1)),
      drag_(*this) {
  panes_.graph = this;
  drag_.SetLiveWrite(
      kWriteLivePosition, [this] { WriteLivePosition(); },
      [this](const IQException& e) { unitHolds_.LiveWriteFailed(device_, e, *this); });
  // Without a drag the idle check reads the unit again.
  drag_.SetOnEnd([this] { device_.parametersReady = true; });
  OnCommand(kCmPrint, [this] { CmPrint(); });
  OnCommand(kCmVerticalZoom, [this] {
    Toggle(device_.verticalZoom[channel_], "Vertical Zoom");
    ApplyViewOptions();
  });
  OnCommand(kCmHorizontalZoom, [this] {
    Toggle(device_.horizontalZoom[channel_], "Horizontal Zoom");
    ApplyViewOptions();
    RebuildIcons();
  });
  OnCommand(kCmLinearLabels, [this] {
    Toggle(device_.linearGraphLabels[channel_], "Linear Graph Labels");
    Invalidate();
  });
  OnCommand(kCmShowPhase, [this] { CmShowPhase(); });
  OnCommand(kCmCumulativeInput1, [this] { CmCumulativeInput(1); });
  OnCommand(kCmCumulativeInput2, [this] { CmCumulativeInput(2); });
  OnCommand(kCmBypass, [this] { CmBypass(); });
  OnEnable(kCmBypass, [this](ui::CommandState& state) {
    const TFilterIcon* icon = icons_.Selected();
    state.enabled = icon != nullptr;
    state.text = icon && icon->Filter().bypass ? "Enable filter" : "Bypass filter";
  });
}

TFilterGraphWindow::~TFilterGraphWindow() {
  if (drag_.Active()) drag_.End();
  Destroy();
  panes_.graph = nullptr;
}

void TFilterGraphWindow::SetupWindow() {
  ui::DrawnWindow::SetupWindow();
  ApplyViewOptions();
  RebuildIcons();
  SetText("Unit: '" + GuardedDisplayName(device_) + "'");
}

FilterGraphIcons::Range TFilterGraphWindow::CurveRange() const {
  return {static_cast<int>(fmin_), static_cast<int>(fmax_)};
}

void TFilterGraphWindow::ApplyViewOptions() {
  scale_ = device_.verticalZoom[channel_] ? familycommon::kZoomedLevelScale
                                          : familycommon::kFullLevelScale;
  const Band& band = device_.horizontalZoom[channel_] ? kZoomedBand : kFullBand;
  fmin_ = band.fmin;
  fmax_ = band.fmax;
  Invalidate();
}

void TFilterGraphWindow::RebuildIcons() {
  // A filter read again in place stays selected; one that went takes its selection with it.
  const TFilter* kept = nullptr;
  if (const TFilterIcon* selected = icons_.Selected()) {
    for (const auto& filter : device_.Filters()) {
      if (selected->Shows(filter.get())) kept = filter.get();
    }
  }
  // Filters read again whole are new objects: the list has chosen again the ones it showed chosen.
  if (kept == nullptr && panes_.list != nullptr && panes_.list->Selection().size() == 1) {
    kept = panes_.list->Selection().front();
  }
  icons_.Rebuild(device_, channel_, device_.cumulativeInput[channel_], CurveRange());
  if (kept != nullptr) icons_.Select(kept);
  icons_.ComputeSum(device_.showPhase[channel_]);
}

bool TFilterGraphWindow::Matches(const NotifyRecord& record) const {
  const int input = device_.cumulativeInput[channel_] - 1;
  return record.channel == channel_ || (input >= 0 && record.channel == input);
}

void TFilterGraphWindow::Notify(NotifyRecord* record) {
  if (record != nullptr) {
    const NotifyRecord& r = *record;
    const bool own = r.channel == channel_;
    const bool withPhase = device_.showPhase[channel_];
    switch (r.code) {
      case FilterSelected:
        if (own) {
          const std::vector<TFilter*> chosen = FiltersOf(r);
          icons_.Select(chosen.size() == 1 ? chosen.front() : nullptr);
          Invalidate();
        }
        break;
      case FilterAdded:
        if (Matches(r)) {
          const std::vector<TFilter*> added = FiltersOf(r);
          icons_.Add(added, !own, device_.cumulativeInput[channel_] != 0, CurveRange());
          icons_.ComputeSum(withPhase);
          Invalidate();
        }
        break;
      case FilterRemoved:
      case RefreshAll:
      case FilterSetChanged:
        if (r.code != FilterRemoved || Matches(r)) {
          if (drag_.Active()) drag_.End();
          RebuildIcons();
          Invalidate();
        }
        break;
      case FilterChanged:
      case FilterDragged:
        if (Matches(r) && !(r.code == FilterDragged && drag_.Active())) {
          for (const TFilter* filter : FiltersOf(r)) {
            if (filter) icons_.Refresh(*filter, CurveRange());
          }
          if (r.code == FilterChanged) icons_.Sort();
          icons_.ComputeSum(withPhase);
          Invalidate();
        }
        break;
      default:
        break;
    }
  }
  TDataWindow::Notify(record);
}

void TFilterGraphWindow::DrawGraph(TFreqDC& freq, TPhaseDC& phase) {
  familycommon::GridStyle style;
  style.minorStep = scale_.minorStep;
  style.majorStep = scale_.majorStep;
  style.linearLabels = device_.linearGraphLabels[channel_];
  style.phaseLabels = device_.showPhase[channel_];
  // The caption, which follows a rename of the unit.
  style.title = Text();
  familycommon::DrawGrid(freq, style);
  familycommon::DrawCurve(freq, icons_.SumMagnitude(), kSumColour);
  if (device_.showPhase[channel_] && !Printing()) {
    familycommon::DrawCurve(phase, icons_.SumPhase(), familycommon::kPhaseColour);
  }
}

void TFilterGraphWindow::Paint(ui::Dc& dc) {
  const ui::Rect client = ClientRect();
  if (!Printing()) dc.FillRect(client, ui::kBlack);
  TFreqDC freq(dc, client, fmin_, fmax_, scale_.dBmin, scale_.dBmax, Printing());
  TPhaseDC phase(dc, client, fmin_, fmax_, scale_.dBmin, scale_.dBmax, Printing());
  DrawGraph(freq, phase);
  TFilterIcon* selected = icons_.Selected();
  for (const auto& icon : icons_.All()) {
    if (icon.get() != selected) icon->Draw(freq, Printing());
  }
  if (selected) {
    selected->Draw(freq, Printing());
    if (selected->selected) {
      familycommon::DrawCurve(freq, selected->magnitude, Printing() ? ui::kBlack : ui::kWhite);
    }
  }
}

void TFilterGraphWindow::DrawDragStep() {
  const auto client = DrawNow();
  TFilterIcon* icon = icons_.Selected();
  if (!client || !icon) return;
  ui::Dc& dc = client->dc();
  dc.FillRect(ClientRect(), ui::kBlack);
  TFreqDC freq(dc, ClientRect(), fmin_, fmax_, scale_.dBmin, scale_.dBmax, false);
  TPhaseDC phase(dc, ClientRect(), fmin_, fmax_, scale_.dBmin, scale_.dBmax, false);
  DrawGraph(freq, phase);
  familycommon::DrawCurve(freq, icon->magnitude, ui::kWhite);
  dc.SetBackgroundMode(ui::BackgroundMode::Transparent);
  dc.SetFont(ui::Font::VariablePitch());
  dc.SetTextColor(ui::kWhite);
  freq.TextAt(
      Printf("(%.0f, %.1f)", icon->position.frequency, 20.0 * std::log10(icon->position.gain)),
      icon->position.frequency, icon->position.gain,
      familycommon::kTextAbove | familycommon::kTextRight);
  drag_.DrawBand(dc);
}

void TFilterGraphWindow::NotifyRootOf(uint32_t code, int32_t channel, int32_t flag, void* pointer) {
  NotifyRecord record{code, channel, flag, pointer};
  NotifyRoot(&record);
}

TFreqDC TFilterGraphWindow::MouseContext() {
  return TFreqDC(MouseDc(), ClientRect(), fmin_, fmax_, scale_.dBmin, scale_.dBmax, false);
}

ui::Point TFilterGraphWindow::PointOf(const TFilterIcon& icon) {
  const TFreqDC freq = MouseContext();
  return freq.FlipPoint(freq.ValueToPoint(icon.position, true));
}

void TFilterGraphWindow::EvLButtonDown(ui::Point p) {
  TFreqDC freq = MouseContext();
  device_.parametersReady = false;
  const ui::Point flipped = freq.FlipPoint(p);
  TFilterIcon* selected = icons_.Selected();
  if (selected && selected->HitTest(freq, flipped)) {
    // Every live write of the drag carries the filter's other values as the program's copy holds
    // them. A read again makes new icons, the selected one where the unit has the filter.
    if (!controls::SettleCopy(device_) || (selected = icons_.Selected()) == nullptr) {
      device_.parametersReady = true;
      return;
    }
    TFilter& filter = selected->Filter();
    // Live writes address the selected filter: without the selection they would reach another.
    if (!GuardedUnitCall(device_, [&] { gFilterSelectObject.Write(device_, filter.number); })) {
      device_.parametersReady = true;
      return;
    }
    drag_.Begin(freq, selected->position);
    lastWritten_ = filter.GetDeviceRecord();
    unitHolds_.Hold(filter);
    return;
  }
  // Held until the button comes up anywhere, so that the idle check is always let go again.
  CaptureMouse();
  TFilterIcon* hit = icons_.HitTest(freq, flipped);
  TFilter* filter = hit ? &hit->Filter() : nullptr;
  icons_.Select(filter);
  Invalidate();
  NotifyRootOf(FilterSelected, channel_, 0, filter);
}

void TFilterGraphWindow::EvMouseMove(ui::Point p) {
  TFilterIcon* icon = icons_.Selected();
  if (!drag_.Active() || !icon) return;
  TFreqDC freq = MouseContext();
  GraphValue value = freq.MouseValue(p);
  icon->DragTo(value);
  drag_.MoveBandTo(freq.ValueToPoint(value, false));
  value = drag_.BandValue(freq);
  icon->Apply(value);
  ShowInDialog(icon->Filter(), true);
  drag_.QueueLiveWrite();
  icon->Update(static_cast<int>(fmin_), static_cast<int>(fmax_));
  icons_.ComputeSum(device_.showPhase[channel_]);
  DrawDragStep();
}

void TFilterGraphWindow::ShowInDialog(const TFilter& filter, bool known) const {
  if (ui::IsLiveWindow(filter.dialogFrequencyControl)) {
    filter.dialogFrequencyControl->SetText(known ? Printf("%d", filter.frequency) : std::string());
  }
  if (ui::IsLiveWindow(filter.dialogLevelControl)) {
    filter.dialogLevelControl->SetText(
        known ? Printf("%.1f", static_cast<double>(filter.GetLevel())) : std::string());
  }
}

void TFilterGraphWindow::WriteLivePosition() {
  TFilterIcon* icon = icons_.Selected();
  if (!icon) return;
  TFilter& filter = icon->Filter();
  if (filter.GetDeviceRecord() == lastWritten_) return;
  filter.UpdateDeviceLive(device_);
  lastWritten_ = filter.GetDeviceRecord();
  unitHolds_.Hold(filter);
  NotifyRootOf(FilterDragged, channel_, 0, &filter);
}

void TFilterGraphWindow::EvLButtonUp() {
  SetFocus();
  TFilterIcon* icon = icons_.Selected();
  if (!drag_.Active() || !icon) {
    drag_.End();
    return;
  }
  const TFreqDC freq = MouseContext();
  GraphValue value = drag_.BandValue(freq);
  value.gain = std::clamp(value.gain, freq.Gmin(), freq.Gmax());
  TFilter& filter = icon->Filter();
  icon->Apply(value);
  drag_.End();
  icon->Update(static_cast<int>(fmin_), static_cast<int>(fmax_));
  Invalidate();
  unitHolds_.Write(
      device_,
      [&] {
        // The unit ends where the mouse let go, whether or not the last step was written yet.
        if (filter.GetDeviceRecord() != lastWritten_) filter.UpdateDeviceLive(device_);
        filter.SendUpdateCommand(device_);
      },
      ShownAfter(filter), *this);
}

controls::ChangeViews TFilterGraphWindow::ShownAfter(TFilter& filter) {
  // The icon and the dialog show what the filter holds once put back. The failure's report may
  // have rebuilt the icons.
  const auto showPutBack = [this, &filter] {
    TFilterIcon* shown = icons_.Selected();
    if (shown == nullptr || !device_.Holds(&filter) || !shown->Shows(&filter)) return;
    shown->Update(static_cast<int>(fmin_), static_cast<int>(fmax_));
    icons_.ComputeSum(device_.showPhase[channel_]);
    ShowInDialog(filter, !device_.FiltersStale());
  };
  return {.taken = [this, &filter] { NotifyRootOf(FilterChanged, filter.channel, 0, &filter); },
          .showUnit = showPutBack,
          .showUnknown = showPutBack};
}

void TFilterGraphWindow::EvRButtonDown(ui::Point p) {
  const bool output = channel_ >= device_.firstOutput;
  const int cumulative = device_.cumulativeInput[channel_];
  ui::Menu menu;
  menu.AppendItem(kCmBypass, "Bypass");
  menu.AppendSeparator();
  menu.AppendItem(kCmVerticalZoom, "+/- 12dB Scale");
  menu.AppendItem(kCmHorizontalZoom, "100Hz - 5kHz Range");
  menu.AppendItem(kCmLinearLabels, "Use linear labels");
  menu.AppendItem(kCmShowPhase, "Show phase response");
  if (output) {
    menu.AppendItem(kCmCumulativeInput1, "Cumulative vs. input 1");
    menu.AppendItem(kCmCumulativeInput2, "Cumulative vs. input 2");
  }
  menu.AppendSeparator();
  menu.AppendItem(kCmPrint, "Print");
  menu.CheckItem(kCmVerticalZoom, device_.verticalZoom[channel_]);
  menu.CheckItem(kCmHorizontalZoom, device_.horizontalZoom[channel_]);
  menu.CheckItem(kCmLinearLabels, device_.linearGraphLabels[channel_]);
  menu.CheckItem(kCmShowPhase, device_.showPhase[channel_]);
  if (output) {
    menu.CheckItem(kCmCumulativeInput1, cumulative == 1);
    menu.CheckItem(kCmCumulativeInput2, cumulative == 2);
  }
  menu.Track(*this, ClientToScreen(p));
}

void TFilterGraphWindow::EvKeyDown(int key) {
  TFilterIcon* icon = icons_.Selected();
  if (!icon || drag_.Active()) return;
  if (key == ui::key::kLeft || key == ui::key::kRight) {
    TFilterIcon* next = icons_.Neighbour(key == ui::key::kLeft ? -1 : 1);
    if (next != icon) {
      icons_.Select(&next->Filter());
      Invalidate();
      NotifyRootOf(FilterSelected, channel_, 0, &next->Filter());
      SetFocus();
      return;
    }
  }
  // A step writes the filter's other values as the program's copy holds them; a read again makes
  // new icons.
  if (!controls::SettleCopy(device_) || (icon = icons_.Selected()) == nullptr) return;
  TFilter& filter = icon->Filter();
  unitHolds_.Hold(filter);
  if (key == ui::key::kUp) filter.StepLevel(1);
  if (key == ui::key::kDown) filter.StepLevel(-1);
  if (key == ui::key::kPageUp) filter.StepLevel(2);
  if (key == ui::key::kPageDown) filter.StepLevel(-2);
  unitHolds_.Write(
      device_, [&] { filter.WriteParams(device_); }, ShownAfter(filter), *this);
  SetFocus();
}

void TFilterGraphWindow::Toggle(bool& option, const char* optionName) {
  option = !option;
  device_.WriteOption(optionName, option ? 1 : 0);
}

void TFilterGraphWindow::CmShowPhase() {
  Toggle(device_.showPhase[channel_], "Show Phase");
  RebuildIcons();
  Invalidate();
}

void TFilterGraphWindow::CmCumulativeInput(int input) {
  int& cumulative = device_.cumulativeInput[channel_];
  cumulative = cumulative == input ? 0 : input;
  RebuildIcons();
  Invalidate();
}

void TFilterGraphWindow::CmBypass() {
  // The toggle writes the opposite of the copy's bypass; a read again makes new icons.
  TFilterIcon* icon = nullptr;
  if (!controls::SettleCopy(device_) || (icon = icons_.Selected()) == nullptr) return;
  TFilter& filter = icon->Filter();
  // The bypass changes once the unit has taken it; in doubt the views show the filters unknown.
  ChangeOnUnit(device_, [&] { filter.ToggleBypass(device_); },
               {.taken =
                    [&] {
                      std::vector<TFilter*> changed{&filter};
                      NotifyRootOf(FilterChanged, channel_, 1, &changed);
                    },
                .showUnknown = [this] { ShowFiltersInDoubt(device_, *this); }});
}

void TFilterGraphWindow::CmPrint() { PrintGraph("Frequency response graph"); }

}  // namespace namespaceOV
