#pragma once

#include <QImage>

// The drawn images of the shared controls, each a strip of frames (see ControlsResources.h).
namespace controls_res {

QImage PolarityGlyphsImage();
QImage LedLampsImage();
QImage QuadGlyphsImage();
QImage SliderThumbImage();

}  // namespace controls_res
