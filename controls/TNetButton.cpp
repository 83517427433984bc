#include "controls/TNetButton.h"

#include "controls/ControlDrawing.h"

namespace {

constexpr int kSymbolInsetPx = 2;

void Line(ui::Dc& dc, ui::Point from, ui::Point to) {
  dc.MoveTo(from);
  dc.LineTo(to);
}

}  // namespace

void TNetButton::DrawEntire(ui::Dc& dc, const ui::DrawItemState&) {
  controls::FillClient(dc, {ClientRect().Width(), ClientRect().Height()}, controls::Face(),
                       controls::Shadow());
  DrawFace(dc);
}

void TNetButton::DrawFace() {
  if (auto client = DrawNow()) DrawFace(client->dc());
}

void TNetButton::DrawFace(ui::Dc& dc) const {
  const ui::Rect client = ClientRect();
  controls::FillClient(dc, {client.Width(), client.Height()}, controls::Face(), controls::Face());
  const ui::Rect r = client.Inflated(-kSymbolInsetPx, -kSymbolInsetPx);
  dc.SetPen(ui::Pen::Solid(ui::kBlack));
  if (routes_.upperStraight) Line(dc, {r.left, r.top}, {r.right, r.top});
  if (routes_.fallingDiagonal) Line(dc, {r.left, r.top}, {r.right, r.bottom});
  if (routes_.lowerStraight) Line(dc, {r.left, r.bottom}, {r.right, r.bottom});
  if (routes_.risingDiagonal) Line(dc, {r.left, r.bottom}, {r.right, r.top});
}
