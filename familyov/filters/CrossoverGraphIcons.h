#pragma once

#include <array>
#include <memory>
#include <vector>

#include "familyov/filters/FilterIcons.h"
#include "familyov/unit/ParameterTable.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// The icons and curves of the crossover graph for one crossover network: an icon per crossover
// of the network's outputs, each output's response (its crossovers' gains multiplied sample by
// sample) and, on demand, the network sum. Every curve shares the graph's 256 frequencies, so a
// drag recomputes one icon, one output and the sum.
class CrossoverGraphIcons {
 public:
  static constexpr int kFmin = 20;
  static constexpr int kFmax = 24000;

  // One output of the network and the sign its signal is summed with.
  struct NetworkOutput {
    int output;
    float polarity;
  };

  // All icons again from the device's crossover slots: for each of `outputs` in order its low
  // crossover's icon, then its high one's; those of `currentChannel` are selected (draggable).
  void Rebuild(const IQDeviceOrdavinex& device, const std::vector<int>& outputs,
               int currentChannel);
  // The dragged icon's crossover changed: its curve and its output's curve follow.
  void Refresh(TCrossoverIcon& icon);
  // The complex sum of the outputs' responses, each with its polarity.
  void ComputeNetworkSum(const std::vector<NetworkOutput>& outputs);
  // The selected icon whose marker is under `p` (a mouse point through TFreqDC::FlipPoint).
  TCrossoverIcon* HitTest(const TFreqDC& dc, ui::Point p) const;

  const std::vector<std::unique_ptr<TCrossoverIcon>>& All() const { return icons_; }
  // The output's response; empty for an output without crossovers in the network.
  const Curve& OutputCurve(int output) const;
  const Curve& NetworkSum() const { return sum_; }
  int FirstOutputChannel() const { return firstOutput_; }

 private:
  void ComputeOutputCurve(int output);

  int firstOutput_ = 0;
  std::vector<std::unique_ptr<TCrossoverIcon>> icons_;
  std::array<Curve, kMaxOutputs> outputCurves_;
  Curve sum_;
};

}  // namespace namespaceOV
