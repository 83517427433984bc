#include "platform/ui/draw/Dc.h"

#include <QFontDatabase>
#include <QHash>
#include <QFontMetrics>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <utility>

#include "platform/ui/draw/PixelLine.h"
#include "platform/ui/draw/Text1252.h"

namespace ui {

namespace {

constexpr double kPointsPerInch = 72.0;
constexpr int kQtAngleUnitsPerDegree = 16;
constexpr double kFullCircleDegrees = 360.0;

QColor ToQColor(Color c) { return QColor(c.r, c.g, c.b); }

// Only formats whose every 32-bit value is a valid pixel can take the exact per-pixel XOR.
bool TakesPixelLines(const QImage& image) {
  return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
}

QPainter::CompositionMode CompositionFor(RasterOp op) {
  switch (op) {
    case RasterOp::Copy:
      return QPainter::CompositionMode_Source;
    case RasterOp::Or:
      return QPainter::RasterOp_SourceOrDestination;
    case RasterOp::And:
      return QPainter::RasterOp_SourceAndDestination;
    case RasterOp::Xor:
      return QPainter::RasterOp_SourceXorDestination;
    case RasterOp::NotCopy:
      return QPainter::RasterOp_NotSource;
  }
  return QPainter::CompositionMode_Source;
}

Qt::BrushStyle QtHatch(HatchStyle h) {
  switch (h) {
    case HatchStyle::Horizontal:
      return Qt::HorPattern;
    case HatchStyle::Vertical:
      return Qt::VerPattern;
    case HatchStyle::ForwardDiagonal:
      return Qt::FDiagPattern;
    case HatchStyle::BackwardDiagonal:
      return Qt::BDiagPattern;
    case HatchStyle::Cross:
      return Qt::CrossPattern;
    case HatchStyle::DiagonalCross:
      return Qt::DiagCrossPattern;
  }
  return Qt::HorPattern;
}

QString GenericFamily(FontFamily family) {
  switch (family) {
    case FontFamily::Serif:
      return QStringLiteral("serif");
    case FontFamily::Fixed:
      return QStringLiteral("monospace");
    case FontFamily::Sans:
      break;
  }
  return QStringLiteral("sans-serif");
}

// Asking the font database goes to the system's font configuration, which is slow enough to
// show in every paint; whether a face is installed does not change while the program runs.
bool IsInstalledFamily(const QString& face) {
  thread_local QHash<QString, bool> known;
  auto it = known.constFind(face);
  if (it == known.constEnd()) it = known.insert(face, QFontDatabase::hasFamily(face));
  return *it;
}

// Normalised device rectangle, so flipped mappings still give left <= right.
Rect Normalised(const Rect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
          std::max(r.top, r.bottom)};
}

// The rectangle whose one-pixel outline covers pixels left..right-1 and top..bottom-1.
QRectF OutlineBox(const Rect& r) { return QRectF(r.left, r.top, r.Width() - 1, r.Height() - 1); }

// Where the ray from the box's centre through `p` meets the ellipse in the box, as the angle in
// degrees (counter-clockwise on the device) of the ellipse's parametric form, which QPainter's
// arcs take: on a wide ellipse the ray at 45 degrees meets it at parameter atan(width/height).
double EllipseAngleDegrees(const QRectF& box, Point p) {
  const QPointF c = box.center();
  const double rx = std::max(box.width() / 2.0, 0.5);
  const double ry = std::max(box.height() / 2.0, 0.5);
  return std::atan2(-(p.y - c.y()) / ry, (p.x - c.x()) / rx) * 180.0 / std::numbers::pi;
}

}  // namespace

QImage MakeDrawingSurface(Size size, Color fill) {
  QImage image(std::max(size.cx, 1), std::max(size.cy, 1), QImage::Format_RGB32);
  image.fill(ToQColor(fill));
  return image;
}

struct Dc::State {
  explicit State(QPaintDevice& d) : ownPainter(std::in_place, &d), painter(*ownPainter), device(d) {
    Prepare();
  }

  explicit State(QPainter& p) : painter(p), device(*p.device()) {
    painter.save();
    Prepare();
  }

  ~State() {
    if (!ownPainter) painter.restore();
  }

  void Prepare() {
    if (painter.isActive() && device.devType() == QInternal::Image) {
      auto& image = static_cast<QImage&>(device);
      if (!image.isNull() && TakesPixelLines(image)) {
        // bits() after the painter began: the image is already detached, so this is the buffer
        // the painter draws into as well.
        pixels.emplace(reinterpret_cast<uint32_t*>(image.bits()),
                       static_cast<int>(image.bytesPerLine() / 4), image.rect());
      }
    }
    // Single pixels go straight into the image, so the painter must not move or clip anything
    // on its own.
    painter.resetTransform();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipping(false);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    mapping.SetDeviceResolution(device.logicalDpiX(), device.logicalDpiY());
    SelectQFont();
  }

  void SelectQFont() {
    qfont = QFont();
    // A face that is not installed would fall to the desktop's default, whatever its kind.
    const QString face = QString::fromStdString(font.face);
    qfont.setFamily(IsInstalledFamily(face) ? face : GenericFamily(font.family));
    qfont.setPixelSize(std::max(
        1, static_cast<int>(std::lround(font.points * device.logicalDpiY() / kPointsPerInch))));
    qfont.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 100, 900)));
    qfont.setItalic(font.italic);
    painter.setFont(qfont);
  }

  int DevicePenWidth() const { return pen.width <= 0 ? 1 : mapping.WidthToDevice(pen.width); }

  bool UsesPixelLines() const {
    return pixels.has_value() && pen.style != PenStyle::Null && DevicePenWidth() == 1;
  }

  void ApplyComposition() {
    painter.setCompositionMode(drawMode == DrawMode::XorPen
                                   ? QPainter::RasterOp_SourceXorDestination
                                   : QPainter::CompositionMode_SourceOver);
  }

  QPen QtPen() const {
    if (pen.style == PenStyle::Null) return QPen(Qt::NoPen);
    const int width = DevicePenWidth();
    QPen q(ToQColor(pen.color), width == 1 ? 0 : width);
    q.setStyle(pen.style == PenStyle::Dash  ? Qt::DashLine
               : pen.style == PenStyle::Dot ? Qt::DotLine
                                            : Qt::SolidLine);
    q.setCapStyle(width == 1 ? Qt::FlatCap : Qt::RoundCap);
    q.setJoinStyle(width == 1 ? Qt::MiterJoin : Qt::RoundJoin);
    return q;
  }

  QBrush QtBrush() const {
    switch (brush.kind) {
      case Brush::Kind::Solid:
        return QBrush(ToQColor(brush.color));
      case Brush::Kind::Hatched:
        return QBrush(ToQColor(brush.color), QtHatch(brush.hatch));
      case Brush::Kind::Null:
        break;
    }
    return QBrush(Qt::NoBrush);
  }

  // Fills with the brush (a hatch over the background colour when the background is opaque),
  // then outlines with the pen; `draw` paints the figure with whatever the painter holds.
  template <typename DrawFigure>
  void FillAndOutline(DrawFigure draw, bool outline) {
    ApplyComposition();
    if (brush.kind == Brush::Kind::Hatched && backgroundMode == BackgroundMode::Opaque) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(ToQColor(backgroundColor));
      draw();
    }
    painter.setPen(outline ? QtPen() : QPen(Qt::NoPen));
    painter.setBrush(QtBrush());
    draw();
  }

  // A one-pixel line in device coordinates, end point left out.
  void DeviceLine(Point from, Point to) {
    if (pen.style == PenStyle::Null) return;
    if (UsesPixelLines() && pixels->Draw(from, to, pen.color.Rgb(), pen.style,
                                         drawMode == DrawMode::XorPen, patternPhase)) {
      return;
    }
    ApplyComposition();
    painter.setPen(QtPen());
    painter.drawLine(from.x, from.y, to.x, to.y);
  }

  // Closed outline through device points, each corner painted once.
  void DeviceOutline(const std::vector<Point>& points) {
    for (size_t i = 0; i < points.size(); ++i) {
      DeviceLine(points[i], points[(i + 1) % points.size()]);
    }
  }

  std::optional<QPainter> ownPainter;
  QPainter& painter;
  QPaintDevice& device;
  std::optional<PixelLine> pixels;
  CoordinateMapping mapping;
  Point position;
  int patternPhase = 0;
  Pen pen;
  Brush brush;
  Font font = Font::System();
  QFont qfont;
  Color textColor = kBlack;
  Color backgroundColor = kWhite;
  BackgroundMode backgroundMode = BackgroundMode::Opaque;
  DrawMode drawMode = DrawMode::Copy;
  std::optional<QRegion> clip;
};

Dc::Dc(QPaintDevice& device) : d_(std::make_unique<State>(device)) {}

Dc::Dc(QPainter& painter) : d_(std::make_unique<State>(painter)) {}

Dc::~Dc() = default;

DeviceMetrics Dc::Metrics() const {
  const QPaintDevice& device = d_->device;
  DeviceMetrics m;
  m.pixels = {device.width(), device.height()};
  m.dpiX = device.logicalDpiX();
  m.dpiY = device.logicalDpiY();
  m.physicalPage = m.pixels;
  if (const auto* paged = dynamic_cast<const QPagedPaintDevice*>(&device)) {
    const QPageLayout layout = paged->pageLayout();
    const QRect full = layout.fullRectPixels(m.dpiX);
    const QRect paint = layout.paintRectPixels(m.dpiX);
    m.physicalPage = {full.width(), full.height()};
    m.physicalOffset = {paint.left() - full.left(), paint.top() - full.top()};
  }
  return m;
}

CoordinateMapping& Dc::Mapping() { return d_->mapping; }
const CoordinateMapping& Dc::Mapping() const { return d_->mapping; }

Pen Dc::SetPen(const Pen& pen) { return std::exchange(d_->pen, pen); }
Brush Dc::SetBrush(const Brush& brush) { return std::exchange(d_->brush, brush); }

Font Dc::SetFont(const Font& font) {
  Font previous = std::exchange(d_->font, font);
  if (!(previous == font)) d_->SelectQFont();
  return previous;
}

void Dc::SetTextColor(Color c) { d_->textColor = c; }
void Dc::SetBackgroundColor(Color c) { d_->backgroundColor = c; }
void Dc::SetBackgroundMode(BackgroundMode mode) { d_->backgroundMode = mode; }
DrawMode Dc::SetDrawMode(DrawMode mode) { return std::exchange(d_->drawMode, mode); }

void Dc::SetClip(const Region& region) {
  d_->clip = region.Area();
  d_->painter.setClipRegion(*d_->clip);
  if (d_->pixels) d_->pixels->SetClip(&*d_->clip);
}

void Dc::ClearClip() {
  d_->clip.reset();
  d_->painter.setClipping(false);
  if (d_->pixels) d_->pixels->SetClip(nullptr);
}

void Dc::MoveTo(Point p) {
  d_->position = p;
  d_->patternPhase = 0;
}

void Dc::LineTo(Point p) {
  d_->DeviceLine(d_->mapping.ToDevice(d_->position), d_->mapping.ToDevice(p));
  d_->position = p;
}

void Dc::Polyline(const std::vector<Point>& points) {
  if (points.empty()) return;
  MoveTo(points.front());
  for (size_t i = 1; i < points.size(); ++i) LineTo(points[i]);
}

void Dc::Polygon(const std::vector<Point>& points) {
  if (points.size() < 2) return;
  std::vector<Point> device;
  QPolygon polygon;
  for (const Point& p : points) {
    device.push_back(d_->mapping.ToDevice(p));
    polygon << QPoint(device.back().x, device.back().y);
  }
  const bool ownOutline = d_->UsesPixelLines();
  d_->FillAndOutline([&] { d_->painter.drawPolygon(polygon, Qt::OddEvenFill); }, !ownOutline);
  if (ownOutline) d_->DeviceOutline(device);
}

void Dc::Rectangle(const Rect& r) {
  const Rect box = Normalised(d_->mapping.RectToDevice(r));
  if (box.IsEmpty()) return;
  if (d_->pen.style == PenStyle::Null) {
    // Without an outline the fill stops one pixel short on the right and bottom.
    const QRect inside(box.left, box.top, box.Width() - 1, box.Height() - 1);
    d_->FillAndOutline([&] { d_->painter.drawRect(inside); }, false);
    return;
  }
  if (!d_->UsesPixelLines()) {
    d_->FillAndOutline([&] { d_->painter.drawRect(OutlineBox(box)); }, true);
    return;
  }
  // The inside first and the outline on its own, so an XOR rectangle flips every pixel once.
  if (box.Width() > 2 && box.Height() > 2) {
    const QRect inside(box.left + 1, box.top + 1, box.Width() - 2, box.Height() - 2);
    d_->FillAndOutline([&] { d_->painter.drawRect(inside); }, false);
  }
  const int right = box.right - 1;
  const int bottom = box.bottom - 1;
  if (right == box.left || bottom == box.top) {
    // One pixel thin: a single line covering it, end point included.
    d_->DeviceLine({box.left, box.top},
                   {right + (bottom == box.top ? 1 : 0), bottom + (bottom == box.top ? 0 : 1)});
    return;
  }
  d_->DeviceOutline({{box.left, box.top}, {right, box.top}, {right, bottom}, {box.left, bottom}});
}

void Dc::RoundRect(const Rect& r, Size corner) {
  const Rect box = Normalised(d_->mapping.RectToDevice(r));
  if (box.IsEmpty()) return;
  const Point c = d_->mapping.ToDevice({corner.cx, corner.cy});
  const Point o = d_->mapping.ToDevice({0, 0});
  const double rx = std::abs(c.x - o.x) / 2.0;
  const double ry = std::abs(c.y - o.y) / 2.0;
  d_->FillAndOutline([&] { d_->painter.drawRoundedRect(OutlineBox(box), rx, ry); }, true);
}

void Dc::Ellipse(const Rect& bounds) {
  const Rect box = Normalised(d_->mapping.RectToDevice(bounds));
  if (box.IsEmpty()) return;
  d_->FillAndOutline([&] { d_->painter.drawEllipse(OutlineBox(box)); }, true);
}

namespace {
struct ArcSpan {
  int start;
  int span;
};

ArcSpan SpanOf(const QRectF& box, Point start, Point end) {
  const double from = EllipseAngleDegrees(box, start);
  double sweep =
      std::fmod(EllipseAngleDegrees(box, end) - from + kFullCircleDegrees, kFullCircleDegrees);
  if (sweep <= 0.0) sweep = kFullCircleDegrees;
  return {static_cast<int>(std::lround(from * kQtAngleUnitsPerDegree)),
          static_cast<int>(std::lround(sweep * kQtAngleUnitsPerDegree))};
}
}  // namespace

void Dc::Arc(const Rect& bounds, Point start, Point end) {
  const Rect box = Normalised(d_->mapping.RectToDevice(bounds));
  if (box.IsEmpty() || d_->pen.style == PenStyle::Null) return;
  const QRectF outline = OutlineBox(box);
  const ArcSpan arc = SpanOf(outline, d_->mapping.ToDevice(start), d_->mapping.ToDevice(end));
  d_->ApplyComposition();
  d_->painter.setPen(d_->QtPen());
  d_->painter.drawArc(outline, arc.start, arc.span);
}

void Dc::Pie(const Rect& bounds, Point start, Point end) {
  const Rect box = Normalised(d_->mapping.RectToDevice(bounds));
  if (box.IsEmpty()) return;
  const QRectF outline = OutlineBox(box);
  const ArcSpan arc = SpanOf(outline, d_->mapping.ToDevice(start), d_->mapping.ToDevice(end));
  d_->FillAndOutline([&] { d_->painter.drawPie(outline, arc.start, arc.span); }, true);
}

void Dc::FillRect(const Rect& r, Color c) {
  const Rect box = Normalised(d_->mapping.RectToDevice(r));
  if (box.IsEmpty()) return;
  d_->painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  d_->painter.fillRect(box.left, box.top, box.Width(), box.Height(), ToQColor(c));
}

void Dc::DrawTextAt(Point topLeft, std::string_view text) {
  const QString s = FromWindows1252(text);
  const Point p = d_->mapping.ToDevice(topLeft);
  const QFontMetrics metrics(d_->qfont, &d_->device);
  d_->painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  if (d_->backgroundMode == BackgroundMode::Opaque) {
    d_->painter.fillRect(p.x, p.y, metrics.horizontalAdvance(s), metrics.height(),
                         ToQColor(d_->backgroundColor));
  }
  d_->painter.setPen(ToQColor(d_->textColor));
  d_->painter.drawText(p.x, p.y + metrics.ascent(), s);
}

void Dc::DrawTextIn(const Rect& r, std::string_view text, TextAlign align) {
  const Size extent = MeasureText(text);
  Point p{r.left, r.top};
  if (align.horizontal == TextAlign::Horizontal::Center) p.x = r.left + (r.Width() - extent.cx) / 2;
  if (align.horizontal == TextAlign::Horizontal::Right) p.x = r.right - extent.cx;
  if (align.vertical == TextAlign::Vertical::Middle) p.y = r.top + (r.Height() - extent.cy) / 2;
  if (align.vertical == TextAlign::Vertical::Bottom) p.y = r.bottom - extent.cy;
  DrawTextAt(p, text);
}

Size Dc::MeasureText(std::string_view text) const {
  const QFontMetrics metrics(d_->qfont, &d_->device);
  return {metrics.horizontalAdvance(FromWindows1252(text)), metrics.height()};
}

void Dc::Blit(Point dest, const Bitmap& bitmap, const Rect& source, RasterOp op) {
  const QRect part = QRect(source.left, source.top, source.Width(), source.Height())
                         .intersected(bitmap.Image().rect());
  if (part.isEmpty()) return;
  // A source rectangle reaching outside the bitmap keeps its placement for the part inside.
  const Point origin = d_->mapping.ToDevice(dest);
  const Point at{origin.x + part.left() - source.left, origin.y + part.top() - source.top};
  if (d_->device.devType() == QInternal::Image) {
    d_->painter.setCompositionMode(CompositionFor(op));
    d_->painter.drawImage(QPoint(at.x, at.y), bitmap.Image(), part);
    return;
  }
  // Paper takes no raster operations: combine with white paper first, then print the result.
  QImage combined(part.size(), QImage::Format_RGB32);
  combined.fill(Qt::white);
  {
    QPainter onPaper(&combined);
    onPaper.setCompositionMode(CompositionFor(op));
    onPaper.drawImage(QPoint(0, 0), bitmap.Image(), part);
  }
  d_->painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  d_->painter.drawImage(QPoint(at.x, at.y), combined);
}

void Dc::BlitFrame(Point dest, const BitmapStrip& strip, int frame, RasterOp op) {
  Blit(dest, strip.Source(), strip.Frame(frame), op);
}

}  // namespace ui
