#pragma once

#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "bench/Repeated.h"
#include "platform/ui/DrawnWindow.h"
#include "platform/ui/draw/Dc.h"

namespace bench {

// Bare QPainter drawing polylines of `curvePoints` points each across `image`: the least any graph
// of those curves costs to draw on this machine now.
inline void DrawBareCurves(QImage& image, const std::vector<std::size_t>& curvePoints) {
  QPainter painter(&image);
  painter.fillRect(image.rect(), Qt::white);
  painter.setPen(QPen(Qt::black, 0));
  const int width = image.width();
  const int height = image.height();
  for (std::size_t curve = 0; curve < curvePoints.size(); ++curve) {
    const std::size_t points = curvePoints[curve];
    QPolygon line(static_cast<int>(points));
    for (std::size_t i = 0; i < points; ++i) {
      const double wave = std::sin(0.02 * static_cast<double>(i) + static_cast<double>(curve));
      line[static_cast<int>(i)] = QPoint(static_cast<int>(i * width / points),
                                         static_cast<int>(height * (0.5 + 0.4 * wave)));
    }
    painter.drawPolyline(line);
  }
}

// Full repaints of a response graph in turns with bare QPainter drawing the graph's curves, as
// many points each, on an image of the graph's size: `result` with the median of `runs` of each,
// and the repaint's share of a frame printed beside it.
inline Result RepaintAgainstBare(Result result, ui::DrawnWindow& graph,
                                 const std::vector<std::size_t>& curvePoints, int runs) {
  const ui::Rect client = graph.ClientRect();
  QImage bare = ui::MakeDrawingSurface({client.Width(), client.Height()});
  std::size_t points = 0;
  for (std::size_t count : curvePoints) points += count;
  result.reference = "bare QPainter, " + std::to_string(curvePoints.size()) + " curves of " +
                     std::to_string(points) + " points";
  result.unit = "ms";
  return TimedInTurns(
      std::move(result), runs,
      [&graph] {
        graph.Invalidate();
        graph.UpdateNow();
      },
      [&] { DrawBareCurves(bare, curvePoints); }, FrameShare::kPrinted);
}

}  // namespace bench
