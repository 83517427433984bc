#include "family8100/filters/TFrequencyGraph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "controls/ControlChange.h"
#include "controls/CopyInDoubt.h"
#include "controls/DeviceErrorReport.h"
#include "family8100/filters/BankHub.h"
#include "family8100/filters/FilterEdits.h"
#include "family8100/filters/GraphWindow8100.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/Types8100.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageBox.h"

namespace namespace8100 {

using familycommon::TFreqDC;

namespace {

// The bank messages travel as the window's private messages when the graph tells itself.
constexpr ui::MessageId kPrivateMessages = 0x0400;
constexpr ui::MessageId kWriteLivePosition = kPrivateMessages + TFrequencyGraph::kBankRemoved + 1;
constexpr ui::Color kBankTraceColour{0, 255, 0};
constexpr ui::Color kBypassTraceColour{255, 0, 0};
// The units' floats fall just short of a decade: 10000 Hz must still read "10 kHz".
constexpr float kKHzOffset = 1.0f;

const char* BankName(int bank) {
  switch (bank) {
    case kRightInputBank:
      return "right input";
    case kLeftInputBank:
      return "left input";
    case kRightOutputBank:
      return "right output";
    default:
      return "left output";
  }
}

bool IsInputBank(int bank) { return bank == kRightInputBank || bank == kLeftInputBank; }

std::string Printed(const char* format, double a, double b) {
  char text[64];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

}  // namespace

TFrequencyGraph::TFrequencyGraph(IQDevice8100& unit, int bank, ui::Window* parent)
    : familycommon::GraphWindow(parent, Keys::kHandled),
      unit_(unit),
      bank_(std::clamp(bank, static_cast<int>(kRightInputBank), static_cast<int>(kLeftOutputBank))),
      drag_(*this) {
  drag_.SetLiveWrite(
      kWriteLivePosition, [this] { WriteLivePosition(); },
      [this](const IQException& e) {
        controls::ReportDeviceError(e, &unit_, controls::kNoUnitErrorCode);
      });
  // Until a hub takes over, the graph is the bank's only view.
  broadcast_ = [this](int message, int, TFilter* filter) {
    Post(kPrivateMessages + static_cast<ui::MessageId>(message), 0, FilterParam(filter));
  };
  OnMessage(kPrivateMessages + kBankSelected, [this](const ui::Message& m) {
    EvFilterSelected(FilterNamed(unit_, m.lParam));
    return 0;
  });
  OnMessage(kPrivateMessages + kBankChanged, [this](const ui::Message& m) {
    EvFilterChanged(FilterNamed(unit_, m.lParam));
    return 0;
  });
  OnMessage(kPrivateMessages + kBankAdded, [this](const ui::Message& m) {
    EvFilterAdded(FilterNamed(unit_, m.lParam));
    return 0;
  });
  OnMessage(kPrivateMessages + kBankRemoved, [this](const ui::Message&) {
    EvFilterRemoved();
    return 0;
  });
  OnCommand(kCmPrint, [this] { CmPrint(); });
  OnCommand(kCmLeftOut, [this] { CmOverlay(kLeftOutputBank, kRightOutputBank); });
  OnCommand(kCmRightOut, [this] { CmOverlay(kRightOutputBank, kLeftOutputBank); });
  OnCommand(kCmLeftIn, [this] { CmOverlay(kLeftInputBank, kRightInputBank); });
  OnCommand(kCmRightIn, [this] { CmOverlay(kRightInputBank, kLeftInputBank); });
  OnCommand(kCmVerticalZoom, [this] { CmVerticalZoom(); });
  OnCommand(kCmHorizontalZoom, [this] { CmHorizontalZoom(); });
  OnCommand(kCmShowBypassTrace, [this] {
    View().showBypassTrace = !View().showBypassTrace;
    Invalidate();
  });
  OnCommand(kCmLiveWrite, [this] { View().liveWrite = !View().liveWrite; });
  OnCommand(kCmLiveRedraw, [this] { View().liveRedraw = !View().liveRedraw; });
  OnCommand(kCmBypass, [this] { CmBypass(); });
  OnCommand(kCmDelete, [this] { CmDelete(); });
  OnEnable(kCmBypass,
           [this](ui::CommandState& state) { BypassItemState(icons_.Selected(), state); });
  OnEnable(kCmDelete,
           [this](ui::CommandState& state) { state.enabled = icons_.Selected() != nullptr; });
}

TFrequencyGraph::~TFrequencyGraph() {
  if (drag_.Active()) drag_.End();
  Destroy();
}

GraphView8100& TFrequencyGraph::View() const {
  return unit_.graphViews[static_cast<size_t>(bank_)];
}

GraphIcons8100::Range TFrequencyGraph::TraceRange() const {
  return {static_cast<int>(fmin_), static_cast<int>(fmax_)};
}

void TFrequencyGraph::SetupWindow() {
  ui::DrawnWindow::SetupWindow();
  ApplyView();
  RebuildIcons();
  SetText(GraphCaption(unit_, std::string("; ") + BankName(bank_) + " filters"));
}

void TFrequencyGraph::CleanupWindow() {
  KeepGraphRect(*this, unit_.graphRects.at(static_cast<std::size_t>(bank_)));
  familycommon::GraphWindow::CleanupWindow();
}

void TFrequencyGraph::ApplyView() {
  scale_ = View().verticalZoom ? familycommon::kZoomedLevelScale : familycommon::kFullLevelScale;
  fmin_ = View().horizontalZoom ? 100.0f : 20.0f;
  fmax_ = View().horizontalZoom ? 1000.0f : 24000.0f;
  Invalidate();
}

void TFrequencyGraph::RebuildIcons() {
  if (drag_.Active()) drag_.End();
  icons_.RebuildBank(unit_, bank_, View(), TraceRange());
}

void TFrequencyGraph::Send(int message, TFilter* filter) {
  if (broadcast_) broadcast_(message, bank_, filter);
}

void TFrequencyGraph::EvFilterSelected(TFilter* filter) {
  icons_.Select(filter);
  Invalidate();
}

void TFrequencyGraph::EvFilterChanged(TFilter* filter) {
  if (!filter) return;
  icons_.Refresh(*filter, TraceRange());
  Invalidate();
}

void TFrequencyGraph::EvFilterAdded(TFilter* filter) {
  if (!filter) return;
  icons_.AddToBank(*filter, bank_, View(), TraceRange());
  Invalidate();
}

void TFrequencyGraph::EvFilterRemoved() {
  RebuildIcons();
  Invalidate();
}

void TFrequencyGraph::EvReloadAll() { EvFilterRemoved(); }

void TFrequencyGraph::DrawGrid(TFreqDC& freq) const {
  familycommon::GridStyle style;
  style.minorStep = scale_.minorStep;
  style.majorStep = scale_.majorStep;
  // The caption, which follows a rename of the unit.
  style.title = Text();
  style.kHzOffset = kKHzOffset;
  style.frameEndsLines = true;
  familycommon::DrawGrid(freq, style);
  const GraphView8100& view = View();
  std::string note;
  if (IsInputBank(bank_)) {
    if (view.overlay[kLeftOutputBank]) note += "(+Left out)";
    if (view.overlay[kRightOutputBank]) note += "(+Right out)";
  } else {
    if (view.overlay[kLeftInputBank]) note += "(+Left in)";
    if (view.overlay[kRightInputBank]) note += "(+Right in)";
  }
  if (!note.empty()) {
    freq.TextAt(note, freq.Fmax(), freq.Gmax(),
                familycommon::kTextMiddle | familycommon::kTextRight);
  }
}

void TFrequencyGraph::DrawTraces(TFreqDC& freq) const {
  familycommon::DrawCurve(freq, icons_.BankTrace(), kBankTraceColour);
  if (!Printing() && View().showBypassTrace) {
    familycommon::DrawCurve(freq, icons_.BypassTrace(), kBypassTraceColour);
  }
}

void TFrequencyGraph::Paint(ui::Dc& dc) {
  const ui::Rect client = ClientRect();
  if (!Printing()) dc.FillRect(client, ui::kBlack);
  TFreqDC freq(dc, client, fmin_, fmax_, scale_.dBmin, scale_.dBmax, Printing());
  DrawGrid(freq);
  DrawTraces(freq);
  for (const auto& icon : icons_.All()) {
    icon->Draw(freq, Printing());
    if (icon->selected) {
      familycommon::DrawCurve(freq, icon->trace, Printing() ? ui::kBlack : ui::kWhite);
    }
  }
  drag_.DrawBand(dc);
}

// With live redraw the sum follows the mouse and the dragged filter's position is read out;
// without it only the band moves over the picture as it was.
void TFrequencyGraph::DrawDragStep() {
  const auto client = DrawNow();
  TFilterIcon* icon = icons_.Selected();
  if (!client || !icon) return;
  if (!View().liveRedraw) {
    Paint(client->dc());
    return;
  }
  ui::Dc& dc = client->dc();
  dc.FillRect(ClientRect(), ui::kBlack);
  TFreqDC freq(dc, ClientRect(), fmin_, fmax_, scale_.dBmin, scale_.dBmax, false);
  DrawGrid(freq);
  DrawTraces(freq);
  familycommon::DrawCurve(freq, icon->trace, ui::kWhite);
  dc.SetBackgroundMode(ui::BackgroundMode::Transparent);
  dc.SetFont(ui::Font::VariablePitch());
  dc.SetTextColor(ui::kWhite);
  freq.TextAt(
      Printed("(%.0f, %.1f)", icon->position.frequency, 20.0 * std::log10(icon->position.gain)),
      icon->position.frequency, icon->position.gain,
      familycommon::kTextAbove | familycommon::kTextRight);
  drag_.DrawBand(dc);
}

TFreqDC TFrequencyGraph::MouseContext() {
  return TFreqDC(MouseDc(), ClientRect(), fmin_, fmax_, scale_.dBmin, scale_.dBmax, false);
}

void TFrequencyGraph::EvLButtonDown(ui::Point p) {
  TFreqDC freq = MouseContext();
  TFilterIcon* hit = icons_.HitTest(freq, freq.FlipPoint(p));
  if (!hit) {
    icons_.Select(nullptr);
    Send(kBankSelected, nullptr);
    return;
  }
  if (hit->selected) {
    // A drop writes every value of the filter, those the drag leaves alone too.
    if (!SettleUnit()) return;
    hit = icons_.Selected();
    if (hit == nullptr) return;
    // Live writes go to the slot selected last: it must be this filter's.
    if ((View().liveWrite || View().liveRedraw) && !controls::GuardedBusCall(&unit_, [&] {
          g8100FilterSlot.Write(unit_, static_cast<uint8_t>(hit->Filter().slot));
        })) {
      return;
    }
    drag_.Begin(freq, hit->position);
    taken_ = hit->Filter().Clone();
  }
  Send(kBankSelected, &hit->Filter());
}

bool TFrequencyGraph::SettleUnit() {
  if (!unit_.InDoubt()) return true;
  const TFilterIcon* selected = icons_.Selected();
  const int32_t slot = selected != nullptr ? selected->Filter().slot : -1;
  const int32_t type = selected != nullptr ? selected->Filter().type : 0;
  const bool settled = controls::SettleCopy(unit_);
  // Every filter is a new object now, also after a read the unit broke off: the selection passes
  // to the one the unit holds in the selected filter's place.
  RebuildIcons();
  for (const auto& held : unit_.Filters()) {
    if (held->bank == bank_ && held->slot == slot && held->type == type) icons_.Select(held.get());
  }
  Send(kBankSelected, icons_.Selected() != nullptr ? &icons_.Selected()->Filter() : nullptr);
  Invalidate();
  return settled;
}

void TFrequencyGraph::EvMouseMove(ui::Point p) {
  TFilterIcon* icon = icons_.Selected();
  if (!drag_.Active() || !icon) return;
  SetFocus();
  const GraphValue value = icon->FollowDrag(drag_, MouseContext(), p);
  if (View().liveWrite || View().liveRedraw) {
    icon->Apply(value);
    drag_.QueueLiveWrite();
  }
  if (View().liveRedraw) {
    icon->Update(static_cast<int>(fmin_), static_cast<int>(fmax_));
    icons_.Accumulate();
  }
  DrawDragStep();
}

void TFrequencyGraph::WriteLivePosition() {
  TFilterIcon* icon = icons_.Selected();
  if (!icon) return;
  TFilter& filter = icon->Filter();
  const controls::DoubtWatch watch;
  try {
    filter.WriteDragValues(unit_);
    taken_ = filter.Clone();
  } catch (const ErrorObject& e) {
    PutBackDragged(filter);
    controls::ReportDeviceError(e, &unit_, e.code);
  } catch (const IQException&) {
    // The drag ends and the failure is told once the filter is put back; a step whose answer
    // never came may have reached the unit.
    PutBackDragged(filter);
    filter.valuesInDoubt = filter.valuesInDoubt || watch.DoubtMet();
    throw;
  }
}

void TFrequencyGraph::PutBackDragged(TFilter& filter) {
  if (taken_ != nullptr) filter.TakeValues(*taken_);
  Send(kBankChanged, &filter);
}

void TFrequencyGraph::EvLButtonUp() {
  TFilterIcon* icon = icons_.Selected();
  if (!drag_.Active() || !icon) return;
  const TFreqDC freq = MouseContext();
  GraphValue value = drag_.BandValue(freq);
  value.gain = std::clamp(value.gain, freq.Gmin(), freq.Gmax());
  icon->Apply(value);
  drag_.End();
  Invalidate();
  TFilter& filter = icon->Filter();
  // The filter keeps no value the unit has not taken, and the bank's views show it as it stands
  // before a failure's box opens. The unit may have carried out part of a refused write, so it is
  // then asked what it holds; after a drop in doubt the filter's values are unknown until the unit
  // is read again.
  controls::ApplyChange([&] { return CommitFilter(unit_, filter); },
                        {.taken =
                             [&] {
                               filter.valuesInDoubt = false;
                               Send(kBankChanged, &filter);
                             },
                         .showUnit =
                             [&] {
                               PutBackDragged(filter);
                               ReadFilterBackQuietly(unit_, filter);
                             },
                         .showUnknown =
                             [&] {
                               PutBackDragged(filter);
                               filter.valuesInDoubt = true;
                             }});
  taken_.reset();
}

void TFrequencyGraph::EvKeyDown(int key) {
  TFilterIcon* icon = icons_.Selected();
  if (key != ui::key::kEscape || !drag_.Active() || !icon) return;
  // The unit keeps what the mouse reached.
  drag_.FlushLiveWrite();
  drag_.End();
  Invalidate();
  Send(kBankChanged, &icon->Filter());
}

void TFrequencyGraph::EvRButtonDown(ui::Point p) {
  const GraphView8100& view = View();
  ui::Menu menu;
  menu.AppendItem(kCmBypass, "Bypass");
  menu.AppendSeparator();
  menu.AppendItem(kCmDelete, "Delete");
  menu.AppendSeparator();
  if (IsInputBank(bank_)) {
    menu.AppendItem(kCmLeftOut, "Left out");
    menu.AppendItem(kCmRightOut, "Right out");
    menu.CheckItem(kCmLeftOut, view.overlay[kLeftOutputBank]);
    menu.CheckItem(kCmRightOut, view.overlay[kRightOutputBank]);
  } else {
    menu.AppendItem(kCmLeftIn, "Left in");
    menu.AppendItem(kCmRightIn, "Right in");
    menu.CheckItem(kCmLeftIn, view.overlay[kLeftInputBank]);
    menu.CheckItem(kCmRightIn, view.overlay[kRightInputBank]);
  }
  menu.AppendSeparator();
  menu.AppendItem(kCmVerticalZoom, "+/- 12dB Scale");
  menu.AppendItem(kCmHorizontalZoom, "100Hz - 1kHz Range");
  menu.AppendItem(kCmShowBypassTrace, "Show bypass trace");
  menu.CheckItem(kCmVerticalZoom, view.verticalZoom);
  menu.CheckItem(kCmHorizontalZoom, view.horizontalZoom);
  menu.CheckItem(kCmShowBypassTrace, view.showBypassTrace);
  menu.AppendSeparator();
  menu.AppendItem(kCmPrint, "Print");
  menu.Track(*this, ClientToScreen(p));
}

void TFrequencyGraph::CmOverlay(int bank, int exclusive) {
  GraphView8100& view = View();
  view.overlay[static_cast<size_t>(bank)] = !view.overlay[static_cast<size_t>(bank)];
  if (view.overlay[static_cast<size_t>(bank)]) view.overlay[static_cast<size_t>(exclusive)] = false;
  RebuildIcons();
  Invalidate();
}

namespace {

// The family keeps one choice for every graph; a unit of another type keeps nothing.
void StoreZoom(const IQDevice8100& unit, void (FamilyKey8100::*set)(bool) const, bool on) {
  if (const auto* type = dynamic_cast<const IQ8100Type*>(unit.GetType())) (type->Key().*set)(on);
}

}  // namespace

void TFrequencyGraph::CmVerticalZoom() {
  View().verticalZoom = !View().verticalZoom;
  ApplyView();
  StoreZoom(unit_, &FamilyKey8100::SetVerticalZoom, View().verticalZoom);
}

void TFrequencyGraph::CmHorizontalZoom() {
  View().horizontalZoom = !View().horizontalZoom;
  ApplyView();
  RebuildIcons();
  StoreZoom(unit_, &FamilyKey8100::SetHorizontalZoom, View().horizontalZoom);
}

void TFrequencyGraph::CmBypass() {
  // The bypass flips from what the unit holds.
  if (!SettleUnit()) return;
  TFilterIcon* icon = icons_.Selected();
  if (!icon) return;
  TFilter& filter = icon->Filter();
  BypassCommand(unit_, filter, !filter.bypass);
  Send(kBankChanged, &filter);
}

void TFrequencyGraph::CmDelete() {
  TFilterIcon* icon = icons_.Selected();
  if (!icon) return;
  const TFilter& filter = icon->Filter();
  if (filter.type == kBoostCutFilter &&
      ui::MessageBox(this, "Warning: Boost/cut filters cannot be replaced once removed.  Continue?",
                     "Delete", ui::mb::kOkCancel | ui::mb::kIconExclamation) != ui::kIdOk) {
    return;
  }
  // The icons point at the filter until the unit lets it go: none may outlive it.
  icons_.Clear();
  const bool removed = controls::GuardedBusCall(&unit_, [&] { unit_.RemoveFilter(filter); });
  // The unit may have deleted the filter it refused: it tells whether the filter is left.
  if (!removed) unit_.ReadAgainQuietly();
  RebuildIcons();
  Invalidate();
  if (removed) {
    Send(kBankRemoved, nullptr);
    Send(kBankSelected, nullptr);
  }
}

void TFrequencyGraph::CmPrint() {
  if (SettleUnit()) PrintGraph("TelvoWin 2.1 response graph");
}

}  // namespace namespace8100
