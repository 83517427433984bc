// Redrawing a custom-drawn window through the device context against the same drawing with bare
// QPainter, in turns in the same run: 2,000 line segments on a 600 x 400 image.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchLine.h"
#include "bench/Repeated.h"
#include "platform/ui/draw/Dc.h"

namespace {

constexpr int kWidthPixels = 600;
constexpr int kHeightPixels = 400;
constexpr int kSegments = 2000;
constexpr int kRuns = 61;
constexpr double kLimitRatio = 1.5;
constexpr unsigned kSeed = 20261206;

struct Segment {
  ui::Point from;
  ui::Point to;
};

std::vector<Segment> RandomSegments() {
  std::mt19937 random(kSeed);
  std::uniform_int_distribution<int> x(0, kWidthPixels - 1);
  std::uniform_int_distribution<int> y(0, kHeightPixels - 1);
  std::vector<Segment> segments(kSegments);
  for (Segment& s : segments) s = {{x(random), y(random)}, {x(random), y(random)}};
  return segments;
}

void DrawWithDc(QImage& image, const std::vector<Segment>& segments) {
  ui::Dc dc(image);
  dc.FillRect({0, 0, kWidthPixels, kHeightPixels}, ui::kWhite);
  dc.SetPen(ui::Pen::Solid(ui::kBlack));
  for (const Segment& s : segments) {
    dc.MoveTo(s.from);
    dc.LineTo(s.to);
  }
}

void DrawWithQPainter(QImage& image, const std::vector<Segment>& segments) {
  QPainter painter(&image);
  painter.fillRect(0, 0, kWidthPixels, kHeightPixels, Qt::white);
  QPen pen(Qt::black, 0);
  pen.setCapStyle(Qt::FlatCap);
  painter.setPen(pen);
  for (const Segment& s : segments) painter.drawLine(s.from.x, s.from.y, s.to.x, s.to.y);
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const std::vector<Segment> segments = RandomSegments();
  QImage image = ui::MakeDrawingSurface({kWidthPixels, kHeightPixels});

  const bool within = bench::Report(bench::TimedInTurns(
      {.measured = "ui: device context draws " + std::to_string(kSegments) + " lines",
       .reference = "bare Qt (QPainter)",
       .unit = "ms",
       .limit = kLimitRatio},
      kRuns, [&] { DrawWithDc(image, segments); }, [&] { DrawWithQPainter(image, segments); },
      bench::FrameShare::kPrinted));
  return within ? 0 : 1;
}
