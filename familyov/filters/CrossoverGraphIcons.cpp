#include "familyov/filters/CrossoverGraphIcons.h"

#include <complex>

#include "familyov/filters/ResponseSums.h"
#include "familyov/unit/IQDeviceOrdavinex.h"

namespace namespaceOV {

namespace {

// The sum starts a hair above zero, so that a full cancellation still has a logarithm.
constexpr double kSumFloor = 1e-30;

}  // namespace

void CrossoverGraphIcons::Rebuild(const IQDeviceOrdavinex& device, const std::vector<int>& outputs,
                                  int currentChannel) {
  firstOutput_ = device.firstOutput;
  icons_.clear();
  for (Curve& curve : outputCurves_) curve.clear();
  sum_.clear();
  for (const int o : outputs) {
    if (o < 0 || o >= kMaxOutputs) continue;
    if (TLowCrossover* low = device.LowCrossover(o)) {
      icons_.push_back(std::make_unique<TLowCrossoverIcon>(*low));
    }
    if (THighCrossover* high = device.HighCrossover(o)) {
      icons_.push_back(std::make_unique<THighCrossoverIcon>(*high));
    }
  }
  for (const auto& icon : icons_) {
    icon->selected = icon->Filter().channel == currentChannel ? 1 : 0;
    icon->Update(kFmin, kFmax);
  }
  for (const int o : outputs) {
    if (o >= 0 && o < kMaxOutputs) ComputeOutputCurve(o);
  }
}

void CrossoverGraphIcons::ComputeOutputCurve(int output) {
  Curve& curve = outputCurves_[static_cast<std::size_t>(output)];
  curve.clear();
  for (const auto& icon : icons_) {
    if (icon->Filter().channel != firstOutput_ + output) continue;
    if (curve.empty()) {
      curve = icon->magnitude;
      continue;
    }
    for (std::size_t i = 0; i < curve.size() && i < icon->magnitude.size(); ++i) {
      curve[i].value *= icon->magnitude[i].value;
    }
  }
}

void CrossoverGraphIcons::Refresh(TCrossoverIcon& icon) {
  icon.Update(kFmin, kFmax);
  const int output = icon.Filter().channel - firstOutput_;
  if (output >= 0 && output < kMaxOutputs) ComputeOutputCurve(output);
}

void CrossoverGraphIcons::ComputeNetworkSum(const std::vector<NetworkOutput>& outputs) {
  std::vector<std::complex<double>> sum(static_cast<std::size_t>(kCurvePoints), {kSumFloor, 0.0});
  const float ratio = familycommon::SampleRatio(kCurvePoints, kFmin, kFmax);
  for (const NetworkOutput& n : outputs) {
    const int channel = firstOutput_ + n.output;
    std::vector<const TFilter*> edges;
    for (const auto& icon : icons_) {
      if (icon->Filter().channel == channel) edges.push_back(&icon->Filter());
    }
    if (edges.empty()) continue;
    float f = static_cast<float>(kFmin);
    for (auto& s : sum) {
      std::complex<double> h = PolaritySign(n.polarity);
      for (const TFilter* edge : edges) h *= edge->Response(f);
      s += h;
      f *= ratio;
    }
  }
  sum_.resize(sum.size());
  float f = static_cast<float>(kFmin);
  for (std::size_t i = 0; i < sum.size(); ++i, f *= ratio) {
    sum_[i] = {f, static_cast<float>(std::abs(sum[i]))};
  }
}

TCrossoverIcon* CrossoverGraphIcons::HitTest(const TFreqDC& dc, ui::Point p) const {
  for (auto it = icons_.rbegin(); it != icons_.rend(); ++it) {
    if ((*it)->selected == 1 && (*it)->HitTest(dc, p)) return it->get();
  }
  return nullptr;
}

const Curve& CrossoverGraphIcons::OutputCurve(int output) const {
  static const Curve kNone;
  if (output < 0 || output >= kMaxOutputs) return kNone;
  return outputCurves_[static_cast<std::size_t>(output)];
}

}  // namespace namespaceOV
