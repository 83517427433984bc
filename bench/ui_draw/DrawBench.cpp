// Redrawing a custom-drawn window through the device context against the same drawing with bare
// QPainter, in the same run: 2,000 line segments on a 600 x 400 image.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchLine.h"
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

template <typename Draw>
double MillisecondsOf(Draw draw) {
  const auto start = std::chrono::steady_clock::now();
  draw();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

double Median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const std::vector<Segment> segments = RandomSegments();
  QImage image = ui::MakeDrawingSurface({kWidthPixels, kHeightPixels});

  // Interleaved, so both see the same machine load.
  std::vector<double> dcMs;
  std::vector<double> painterMs;
  for (int run = 0; run < kRuns; ++run) {
    dcMs.push_back(MillisecondsOf([&] { DrawWithDc(image, segments); }));
    painterMs.push_back(MillisecondsOf([&] { DrawWithQPainter(image, segments); }));
  }
  const bool within =
      bench::Report({.measured = "ui: device context draws " + std::to_string(kSegments) + " lines",
                     .reference = "bare Qt (QPainter)",
                     .unit = "ms",
                     .referenceFigure = Median(painterMs),
                     .measuredFigure = Median(dcMs),
                     .limit = kLimitRatio});
  return within ? 0 : 1;
}
