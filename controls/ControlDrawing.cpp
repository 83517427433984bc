#include "controls/ControlDrawing.h"

#include <utility>

#include "platform/ui/Resources.h"

namespace controls {

void DrawBevel(ui::Dc& dc, ui::Size client, ui::Color upper, ui::Color lower, int width) {
  const int w = client.cx - 1;
  const int h = client.cy - 1;
  const ui::Pen oldPen = dc.SetPen(ui::Pen::Solid(lower));
  for (int i = 0; i < width; ++i) {
    dc.MoveTo({i, h - i});
    dc.LineTo({w, h - i});
    dc.MoveTo({w - i, i + 1});
    dc.LineTo({w - i, h + 1});
  }
  dc.SetPen(ui::Pen::Solid(upper));
  for (int i = 0; i < width; ++i) {
    dc.MoveTo({i, 0});
    dc.LineTo({i, h - i});
    dc.MoveTo({0, i});
    dc.LineTo({w - i + 1, i});
  }
  dc.SetPen(oldPen);
}

void DrawButtonBevel(ui::Dc& dc, ui::Size client, BevelLook look) {
  if (look == BevelLook::Raised) {
    DrawBevel(dc, client, Highlight(), Shadow(), kButtonBevelPx);
  } else {
    DrawBevel(dc, client, Shadow(), Highlight(), kButtonBevelPx);
  }
}

void FillClient(ui::Dc& dc, ui::Size client, ui::Color fill, ui::Color pen) {
  dc.SetBrush(ui::Brush::Solid(fill));
  dc.SetPen(ui::Pen::Solid(pen));
  dc.Rectangle({0, 0, client.cx, client.cy});
}

ui::BitmapStrip ResourceStrip(int imageId, int frameCount) {
  ui::Bitmap bitmap(ui::Resources::Image(imageId));
  return frameCount > 0 ? ui::BitmapStrip(std::move(bitmap), frameCount)
                        : ui::BitmapStrip::SquareFrames(std::move(bitmap));
}

void BlitMasked(ui::Dc& dc, ui::Point at, const ui::BitmapStrip& strip, int maskFrame,
                int imageFrame) {
  dc.BlitFrame(at, strip, maskFrame, ui::RasterOp::Or);
  dc.BlitFrame(at, strip, imageFrame, ui::RasterOp::And);
}

}  // namespace controls
