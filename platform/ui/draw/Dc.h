#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "platform/ui/draw/Bitmap.h"
#include "platform/ui/draw/Color.h"
#include "platform/ui/draw/CoordinateMapping.h"
#include "platform/ui/draw/Font.h"
#include "platform/ui/draw/Geometry.h"
#include "platform/ui/draw/Pen.h"
#include "platform/ui/draw/Region.h"

class QImage;
class QPaintDevice;
class QPainter;

namespace ui {

// How a bitmap's pixels combine with the pixels already there.
enum class RasterOp {
  Copy,     // destination = source
  Or,       // destination = source | destination
  And,      // destination = source & destination
  Xor,      // destination = source ^ destination
  NotCopy,  // destination = ~source
};

// How pens and brushes combine with what is already drawn. XorPen inverts the pixels where the pen
// colour has bits set, so drawing the same figure twice leaves the picture as it was.
enum class DrawMode { Copy, XorPen };

enum class BackgroundMode { Transparent, Opaque };

struct TextAlign {
  enum class Horizontal { Left, Center, Right };
  enum class Vertical { Top, Middle, Bottom };
  Horizontal horizontal = Horizontal::Left;
  Vertical vertical = Vertical::Top;
};

// What the device is: its drawable size and resolution, and for a printer page the whole sheet
// and where the printable area starts on it (both in device pixels).
struct DeviceMetrics {
  Size pixels;
  int dpiX = 96;
  int dpiY = 96;
  Size physicalPage;
  Point physicalOffset;
};

// A fresh offscreen image in the format the device context draws on fastest and most exactly.
QImage MakeDrawingSurface(Size size, Color fill = kWhite);

// A device context: draws on a paint device (a window's offscreen image or a printer page) with the
// old drawing model's pixel rules. The device must outlive the context, and the image must not be
// copied while the context is open: the context draws single pixels straight into it.
//
// Pixel rules: a line does not paint its end point; a rectangle, ellipse or arc with bounds
// (0,0)-(10,10) covers pixels 0..9 on each axis. Coordinates are logical (see Mapping()); regions
// and bitmap sizes are in device pixels.
//
// A fresh context draws with a black one-pixel pen, a white brush, black text on an opaque white
// background, the system font, in copy mode, with text mapping and no clip.
class Dc {
 public:
  explicit Dc(QPaintDevice& device);
  // A context on a painter that is already drawing (a print job's page); the painter's state is
  // restored when the context ends, and the painter stays open.
  explicit Dc(QPainter& painter);
  ~Dc();
  Dc(const Dc&) = delete;
  Dc& operator=(const Dc&) = delete;

  DeviceMetrics Metrics() const;
  CoordinateMapping& Mapping();
  const CoordinateMapping& Mapping() const;

  // Drawing tools; each setter returns the tool it replaces, so a caller can put it back.
  Pen SetPen(const Pen& pen);
  Brush SetBrush(const Brush& brush);
  Font SetFont(const Font& font);
  void SetTextColor(Color c);
  void SetBackgroundColor(Color c);
  void SetBackgroundMode(BackgroundMode mode);
  DrawMode SetDrawMode(DrawMode mode);

  // Drawing is clipped to the region (device pixels) until the clip is cleared.
  void SetClip(const Region& region);
  void ClearClip();

  // The current position; LineTo draws from it up to but not including `p` and moves there.
  void MoveTo(Point p);
  void LineTo(Point p);
  // Lines through the points in order; like LineTo, the last point is not painted.
  void Polyline(const std::vector<Point>& points);
  // Closed outline with the pen, filled with the brush (alternate filling).
  void Polygon(const std::vector<Point>& points);

  // Outline with the pen, inside filled with the brush.
  void Rectangle(const Rect& r);
  void RoundRect(const Rect& r, Size corner);
  void Ellipse(const Rect& bounds);
  // Part of the ellipse in `bounds`, counter-clockwise on the device from the ray through `start`
  // to the ray through `end` (the same ray gives the whole ellipse).
  void Arc(const Rect& bounds, Point start, Point end);
  // The same arc closed by two radii, filled with the brush.
  void Pie(const Rect& bounds, Point start, Point end);
  // Fills with the colour alone: no pen, no draw mode.
  void FillRect(const Rect& r, Color c);

  // Text is Windows-1252 bytes, drawn in the text colour on the background (when opaque).
  void DrawTextAt(Point topLeft, std::string_view text);
  void DrawTextIn(const Rect& r, std::string_view text, TextAlign align);
  Size MeasureText(std::string_view text) const;

  // Copies `source` (bitmap pixels) of the bitmap to `dest` combined by `op`.
  void Blit(Point dest, const Bitmap& bitmap, const Rect& source, RasterOp op);
  void BlitFrame(Point dest, const BitmapStrip& strip, int frame, RasterOp op);

 private:
  struct State;
  std::unique_ptr<State> d_;
};

}  // namespace ui
