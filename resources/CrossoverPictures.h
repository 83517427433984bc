#pragma once

#include <QImage>

// The small response pictures beside a crossover dialog's rows, drawn once for both processor
// families: a low crossover's trace is flat and then falls, a high crossover's rises and then
// runs flat.
namespace crossover_pictures {

QImage LowCrossoverPicture();
QImage HighCrossoverPicture();

}  // namespace crossover_pictures
