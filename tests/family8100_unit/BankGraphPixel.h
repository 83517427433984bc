#pragma once

#include <QImage>

#include "family8100/filters/TFrequencyGraph.h"
#include "family8100/unit/IQDevice8100.h"
#include "familycommon/GraphContexts.h"

namespace testsupport8100 {

// Where a bank's graph draws `value` at the unit's zoom for that bank, in the window's pixels, so
// that a test can click what the user sees.
inline ui::Point BankGraphPixel(const namespace8100::TFrequencyGraph& graph,
                                const namespace8100::IQDevice8100& unit,
                                familycommon::GraphValue value) {
  const namespace8100::GraphView8100& view = unit.graphViews[static_cast<size_t>(graph.Bank())];
  QImage scratch(1, 1, QImage::Format_RGB32);
  ui::Dc dc(scratch);
  const familycommon::TFreqDC freq(dc, graph.ClientRect(), view.horizontalZoom ? 100.0f : 20.0f,
                                   view.horizontalZoom ? 1000.0f : 24000.0f,
                                   view.verticalZoom ? -12.0f : -80.0f,
                                   view.verticalZoom ? 12.0f : 20.0f, false);
  const ui::Point up = freq.ValueToPoint(value, false);
  return dc.Mapping().ToDevice({up.x, -up.y});
}

}  // namespace testsupport8100
