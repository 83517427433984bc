#pragma once

namespace namespaceOV {
class TFilter;
}

// Everything the program does with a filter once it is loaded: the list and print texts, the
// unit record, a copy and the response the graphs draw.
void ExerciseFilter(const namespaceOV::TFilter& filter);
