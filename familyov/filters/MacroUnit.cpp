#include "familyov/filters/MacroUnit.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"

namespace namespaceOV {

namespace {

constexpr float kInvertedPolarity = -1.0f;
constexpr float kNormalPolarity = 1.0f;

template <typename Edge>
std::unique_ptr<Edge> CopyOfEdge(const Edge* edge, int channel) {
  if (edge == nullptr) return nullptr;
  auto copy = std::make_unique<Edge>();
  copy->CopyParamsFrom(*edge);
  copy->channel = channel;
  return copy;
}

int64_t ChannelDelay(IQDeviceOrdavinex& device, int channel) {
  gChannelDelayObject.SetElement(channel);
  return static_cast<int32_t>(gChannelDelayObject.Read(device));
}

void Send(const RecordSender& send, uint32_t code, int channel, TFilter* filter) {
  NotifyRecord record{code, channel, 0, filter};
  if (send) send(record);
}

bool OnOutput(const IQDeviceOrdavinex& device, const TFilter& filter) {
  return filter.channel >= device.firstOutput &&
         filter.channel < device.firstOutput + device.outputs;
}

// A new crossover of the macro's in the output's slot, written and activated.
template <typename Edge, typename Put>
void PlaceEdge(IQDeviceOrdavinex& device, const Edge* source, int output, Put put,
               const RecordSender& send) {
  if (source == nullptr) return;
  Edge* edge = put(CopyOfEdge(source, device.firstOutput + output));
  if (edge == nullptr) return;
  if (device.IsOnline()) edge->number = gNewFilterObject.Read(device);
  edge->WriteToDevice(device);
  edge->SendCreateCommand(device);
  Send(send, FilterAdded, edge->channel, edge);
}

void RemoveCrossovers(IQDeviceOrdavinex& device, const RecordSender& send) {
  for (int o = 0; o < device.outputs; ++o) {
    for (const CrossoverSide side : {CrossoverSide::kLow, CrossoverSide::kHigh}) {
      const TFilter* edge = CrossoverOf(device, o, side);
      if (edge == nullptr) continue;
      if (device.IsOnline()) DeleteCrossoverOnUnit(device, *edge);
      const std::unique_ptr<TFilter> taken = TakeCrossover(device, o, side);
      Send(send, FilterRemoved, device.firstOutput + o, taken.get());
    }
  }
}

void RemoveOutputFilters(IQDeviceOrdavinex& device) {
  std::vector<TFilter*> outputFilters;
  for (const auto& filter : device.Filters()) {
    if (filter->channel < device.firstOutput) continue;
    outputFilters.push_back(filter.get());
    // A chain that reaches an output is dissolved whole: its input members stay, unlinked.
    for (TFilter* member : filter->ChainMembers()) {
      member->linkHead = nullptr;
      member->nextInChain = nullptr;
      member->linkNumber = 0;
    }
  }
  for (const auto& filter : device.Filters()) filter->UpdateLinkedChannels();
  for (TFilter* filter : outputFilters) device.RemoveFilter(filter);
}

// `shift` moves a macro filter's channel onto the same output of this unit.
void ApplyMacro(IQDeviceOrdavinex& device, const TXMacro& macro, int shift,
                const RecordSender& send) {
  RemoveCrossovers(device, send);
  for (int o = 0; o < device.outputs; ++o) {
    const MacroOutput& output = macro.outputs[static_cast<std::size_t>(o)];
    PlaceEdge(
        device, output.low.get(), o,
        [&](std::unique_ptr<TLowCrossover> edge) {
          device.SetLowCrossover(o, std::move(edge));
          return device.LowCrossover(o);
        },
        send);
    PlaceEdge(
        device, output.high.get(), o,
        [&](std::unique_ptr<THighCrossover> edge) {
          device.SetHighCrossover(o, std::move(edge));
          return device.HighCrossover(o);
        },
        send);
    gPolarityObject.SetElement(o);
    gPolarityObject.Write(device, output.inverted ? kInvertedPolarity : kNormalPolarity);
    Send(send, PolarityChanged, device.firstOutput + o, nullptr);
    gCrossoverNetworkObject.SetElement(o);
    gCrossoverNetworkObject.Write(device, static_cast<uint8_t>(output.network));
  }
  RemoveOutputFilters(device);
  for (const auto& filter : macro.filters) {
    filter->CloneToChannel(device, filter->channel + shift);
  }
  for (int o = 0; o < device.outputs; ++o) {
    const MacroOutput& output = macro.outputs[static_cast<std::size_t>(o)];
    if (!output.delay) continue;
    gChannelDelayObject.SetElement(device.firstOutput + o);
    gChannelDelayObject.Write(device, static_cast<uint32_t>(*output.delay));
  }
}

}  // namespace

void CaptureMacro(IQDeviceOrdavinex& device, TXMacro& macro) {
  macro.outputs.clear();
  macro.filters.clear();
  macro.outputs.resize(static_cast<std::size_t>(device.outputs));
  for (int o = 0; o < device.outputs; ++o) {
    MacroOutput& output = macro.outputs[static_cast<std::size_t>(o)];
    output.low = CopyOfEdge(static_cast<const TLowCrossover*>(device.LowCrossover(o)), o);
    output.high = CopyOfEdge(static_cast<const THighCrossover*>(device.HighCrossover(o)), o);
    gPolarityObject.SetElement(o);
    output.inverted = gPolarityObject.Read(device) == kInvertedPolarity;
    gCrossoverNetworkObject.SetElement(o);
    output.network = gCrossoverNetworkObject.Read(device);
  }
  for (int o = 0; o < device.outputs; ++o) {
    macro.outputs[static_cast<std::size_t>(o)].delay =
        static_cast<int>(ChannelDelay(device, device.firstOutput + o));
  }
  for (const auto& filter : device.Filters()) {
    if (!OnOutput(device, *filter) || filter->linkHead || filter->nextInChain) continue;
    macro.filters.push_back(filter->Clone());
  }
}

MacroRecall RecallMacro(IQDeviceOrdavinex& device, const TXMacro& macro, const RecordSender& send) {
  if (static_cast<int>(macro.outputs.size()) != device.outputs) {
    return MacroRecall::kOtherOutputCount;
  }
  const int shift = device.firstOutput - MacroFirstOutput(macro, device.firstOutput);
  CrossoverMacroContents contents;
  std::vector<std::unique_ptr<TFilter>> placed;
  for (const auto& filter : macro.filters) {
    placed.push_back(filter->Clone());
    placed.back()->channel += shift;
    contents.outputFilters.push_back(placed.back().get());
  }
  for (int o = 0; o < device.outputs; ++o) {
    contents.lowCrossover[static_cast<std::size_t>(o)] = macro.outputs[o].low.get();
    contents.highCrossover[static_cast<std::size_t>(o)] = macro.outputs[o].high.get();
  }
  if (!device.CanAddSections2(contents)) return MacroRecall::kNoCapacity;
  int64_t delays = 0;
  for (int i = 0; i < device.inputs; ++i) delays += ChannelDelay(device, i);
  for (int o = 0; o < device.outputs; ++o) {
    const auto& delay = macro.outputs[static_cast<std::size_t>(o)].delay;
    delays += delay ? *delay : ChannelDelay(device, device.firstOutput + o);
  }
  if (delays > device.GetDelayCapacity()) return MacroRecall::kNoDelayCapacity;
  try {
    ApplyMacro(device, macro, shift, send);
  } catch (...) {
    // The windows drop what the unit no longer has, however far the recall came.
    Send(send, RefreshAll, 0, nullptr);
    throw;
  }
  Send(send, RefreshAll, 0, nullptr);
  return MacroRecall::kDone;
}

}  // namespace namespaceOV
