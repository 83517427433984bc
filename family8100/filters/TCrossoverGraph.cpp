#include "family8100/filters/TCrossoverGraph.h"

#include "controls/CopyInDoubt.h"
#include "family8100/filters/BankHub.h"
#include "family8100/filters/CrossoverEdits.h"
#include "family8100/filters/GraphWindow8100.h"
#include "family8100/unit/IQDevice8100.h"
#include "platform/ui/Menu.h"

namespace namespace8100 {

using familycommon::TFreqDC;

namespace {

constexpr float kFmin = 20.0f;
constexpr float kFmax = 24000.0f;
constexpr ui::Color kLowColour{0, 255, 0};
constexpr ui::Color kHighColour{255, 0, 0};
// The crossover graph's level ticks are narrow: a few Hz at the left, a few kHz at the right.
constexpr float kTickLeftHz = 3.0f;
constexpr float kTickRightHz = 3000.0f;

constexpr GraphIcons8100::Range kRange{static_cast<int>(kFmin), static_cast<int>(kFmax)};

}  // namespace

TCrossoverGraph::TCrossoverGraph(IQDevice8100& unit, ui::Window* parent)
    : familycommon::GraphWindow(parent, Keys::kHandled), unit_(unit) {
  OnCommand(kCmPrint, [this] { CmPrint(); });
  OnCommand(kCmBypass, [this] { CmBypass(); });
  OnEnable(kCmBypass,
           [this](ui::CommandState& state) { BypassItemState(icons_.Selected(), state); });
}

TCrossoverGraph::~TCrossoverGraph() {
  if (drag_.Active()) drag_.End();
  Destroy();
}

void TCrossoverGraph::SetupWindow() {
  ui::DrawnWindow::SetupWindow();
  SetText(GraphCaption(unit_, "; Crossovers"));
  Refresh();
}

void TCrossoverGraph::CleanupWindow() {
  KeepGraphRect(*this, unit_.graphRects[kCrossoverView]);
  familycommon::GraphWindow::CleanupWindow();
}

void TCrossoverGraph::Refresh() {
  if (drag_.Active()) drag_.End();
  icons_.RebuildCrossovers(unit_, kRange);
  Invalidate();
}

TFreqDC TCrossoverGraph::Context(ui::Dc& dc, bool printing) const {
  return TFreqDC(dc, ClientRect(), kFmin, kFmax, familycommon::kFullLevelScale.dBmin,
                 familycommon::kFullLevelScale.dBmax, printing);
}

void TCrossoverGraph::Paint(ui::Dc& dc) {
  if (!Printing()) dc.FillRect(ClientRect(), ui::kBlack);
  TFreqDC freq = Context(dc, Printing());
  familycommon::GridStyle style;
  // The caption, which follows a rename of the unit.
  style.title = Text();
  style.kHzOffset = 1.0f;
  style.tickLeftHz = kTickLeftHz;
  style.tickRightHz = kTickRightHz;
  familycommon::DrawGrid(freq, style);
  for (const auto& icon : icons_.All()) {
    const bool low = icon->Filter().type == kLowCrossoverFilter;
    familycommon::DrawCurve(freq, icon->trace, low ? kLowColour : kHighColour);
  }
  for (const auto& icon : icons_.All()) {
    icon->Draw(freq, Printing());
    if (icon->selected) {
      familycommon::DrawCurve(freq, icon->trace, Printing() ? ui::kBlack : ui::kWhite);
    }
  }
  drag_.DrawBand(dc);
}

TFreqDC TCrossoverGraph::MouseContext() { return Context(MouseDc(), false); }

void TCrossoverGraph::EvRButtonDown(ui::Point p) {
  ui::Menu menu;
  menu.AppendItem(kCmPrint, "Print");
  menu.Track(*this, ClientToScreen(p));
}

void TCrossoverGraph::EvKeyDown(int key) {
  if (key == ui::key::kEscape && drag_.Active()) {
    drag_.End();
    Invalidate();
  }
}

void TCrossoverGraph::EvLButtonDown(ui::Point p) {
  TFreqDC freq = MouseContext();
  icons_.Select(nullptr);
  TFilterIcon* hit = icons_.HitTest(freq, freq.FlipPoint(p));
  if (hit) {
    icons_.Select(&hit->Filter());
    drag_.Begin(freq, hit->position);
  }
  Invalidate();
}

// Only sideways moves count: a mostly vertical one leaves the crossover where it is.
void TCrossoverGraph::EvMouseMove(ui::Point p) {
  TFilterIcon* icon = icons_.Selected();
  if (!drag_.Active() || !icon) return;
  SetFocus();
  icon->FollowDrag(drag_, MouseContext(), p);
  Invalidate();
}

void TCrossoverGraph::EvLButtonUp() {
  TFilterIcon* icon = icons_.Selected();
  if (!drag_.Active() || !icon) return;
  const TFreqDC freq = MouseContext();
  GraphValue value = drag_.BandValue(freq);
  icon->Constrain(value);
  const CrossoverSide side =
      icon->Filter().type == kLowCrossoverFilter ? CrossoverSide::Low : CrossoverSide::High;
  // The error box needs the mouse: the drag is over before anything is written.
  drag_.End();
  if (onDrop_) {
    onDrop_([&](CrossoverEdits& edits) {
      edits.SetFrequency(side, static_cast<int>(value.frequency));
    });
  }
  Refresh();
}

// The unit is told and nothing else: the picture shows the change with its next paint.
void TCrossoverGraph::CmBypass() {
  const TFilterIcon* icon = icons_.Selected();
  if (icon == nullptr) return;
  const bool low = icon->Filter().type == kLowCrossoverFilter;
  // The bypass flips from what the unit holds; a read again brings new crossovers, and the side
  // picked stays picked.
  if (!controls::SettleCopy(unit_)) return;
  TFilter* crossover = low ? unit_.LowCrossover() : unit_.HighCrossover();
  if (crossover == nullptr) return;
  icons_.Select(crossover);
  BypassCommand(unit_, *crossover, !crossover->bypass);
}

void TCrossoverGraph::CmPrint() {
  if (controls::SettleCopy(unit_)) PrintGraph("TelvoWin 2.1 crossover graph");
}

}  // namespace namespace8100
