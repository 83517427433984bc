#include "familyov/unit/ChildWindowFactory.h"

#include <map>
#include <utility>

#include "familyov/channels/DelayNameWindows.h"
#include "familyov/channels/LevelWindows.h"
#include "familyov/channels/TAdvMixerWindow.h"
#include "familyov/channels/TCompressorWindow.h"
#include "familyov/channels/TGasDialog.h"
#include "familyov/channels/TLimiterWindow.h"
#include "familyov/channels/TMixerWindow.h"
#include "familyov/channels/TPinkDialog.h"
#include "familyov/channels/TSummaryWindow.h"
#include "familyov/filters/TChannelLinkWindow.h"
#include "familyov/filters/TCrossoverEditor.h"
#include "familyov/filters/TFilterEditor.h"
#include "familyov/unit/TEditOVWindow.h"
#include "familyov/unit/TLogicWindow.h"
#include "familyov/unit/TMemoryWindow.h"
#include "familyov/unit/TRTCWindows.h"
#include "familyov/unit/TSecurityDialog.h"

namespace namespaceOV {
namespace {

// Every window the tree opens, one line per kind; the maker returns the window not yet created.
// A kind without a line opens nothing yet.
std::map<ChildKind, ChildMaker> BuiltInMakers() {
  return {
      {ChildKind::Filters,
       [](TEditOVWindow& w, int c) { return std::make_unique<TFilterDecoratedFrame>(w, c); }},
      {ChildKind::Linking,
       [](TEditOVWindow& w, int) { return std::make_unique<TChannelLinkWindow>(w); }},
      {ChildKind::Summary,
       [](TEditOVWindow& w, int) { return std::make_unique<TSummaryWindow>(w); }},
      {ChildKind::InputLevel,
       [](TEditOVWindow& w, int) { return std::make_unique<TInputLevelWindow>(w); }},
      {ChildKind::OutputLevel,
       [](TEditOVWindow& w, int) { return std::make_unique<TOutputLevelWindow>(w); }},
      {ChildKind::InputDelay,
       [](TEditOVWindow& w, int) { return std::make_unique<TInputDelayWindow>(w); }},
      {ChildKind::OutputDelay,
       [](TEditOVWindow& w, int) { return std::make_unique<TOutputDelayWindow>(w); }},
      {ChildKind::InputNames,
       [](TEditOVWindow& w, int) { return std::make_unique<TInputNameWindow>(w); }},
      {ChildKind::OutputNames,
       [](TEditOVWindow& w, int) { return std::make_unique<TOutputNameWindow>(w); }},
      {ChildKind::Memory, [](TEditOVWindow& w, int) { return std::make_unique<TMemoryWindow>(w); }},
      {ChildKind::Logic, [](TEditOVWindow& w, int) { return std::make_unique<TLogicWindow>(w); }},
      {ChildKind::Timer,
       [](TEditOVWindow& w, int) { return std::make_unique<TRTCDecoratedFrame>(w); }},
      {ChildKind::Security, [](TEditOVWindow& w, int) { return MakeSecurityWindow(w); }},
      {ChildKind::Crossovers,
       [](TEditOVWindow& w, int) { return std::make_unique<TCrossoverDecoratedFrame>(w); }},
      {ChildKind::Compressors, [](TEditOVWindow& w, int) { return MakeCompressorWindow(w); }},
      {ChildKind::Limiter,
       [](TEditOVWindow& w, int) { return std::make_unique<TLimiterWindow>(w); }},
      {ChildKind::DspCapacity, [](TEditOVWindow& w, int) { return MakeGasDialog(w); }},
      {ChildKind::Mixing, [](TEditOVWindow& w, int) { return std::make_unique<TMixerWindow>(w); }},
      {ChildKind::AdvancedMixer,
       [](TEditOVWindow& w, int) { return std::make_unique<TAdvMixerWindow>(w); }},
      {ChildKind::PinkNoise, [](TEditOVWindow& w, int) { return MakePinkDialog(w); }},
  };
}

std::map<ChildKind, ChildMaker>& Makers() {
  static std::map<ChildKind, ChildMaker> makers = BuiltInMakers();
  return makers;
}

}  // namespace

ChildKind KindOfNode(const NodeIds& ids, int channels, int id) {
  if (id < 0) return ChildKind::None;
  if (id == ids.summary) return ChildKind::Summary;
  if (id >= ids.firstChannel && id < ids.firstChannel + channels) return ChildKind::Filters;
  const std::pair<int, ChildKind> byId[] = {
      {ids.linking, ChildKind::Linking},
      {ids.crossovers, ChildKind::Crossovers},
      {ids.inputDelay, ChildKind::InputDelay},
      {ids.inputLevel, ChildKind::InputLevel},
      {ids.inputNames, ChildKind::InputNames},
      {ids.outputDelay, ChildKind::OutputDelay},
      {ids.outputLevel, ChildKind::OutputLevel},
      {ids.limiter, ChildKind::Limiter},
      {ids.outputNames, ChildKind::OutputNames},
      {ids.mixing, ChildKind::Mixing},
      {ids.compressors, ChildKind::Compressors},
      {ids.advancedMixer, ChildKind::AdvancedMixer},
      {ids.pinkNoise, ChildKind::PinkNoise},
      {ids.dspCapacity, ChildKind::DspCapacity},
      {ids.memory, ChildKind::Memory},
      {ids.logic, ChildKind::Logic},
      {ids.timer, ChildKind::Timer},
      {ids.security, ChildKind::Security},
  };
  for (const auto& [nodeId, kind] : byId) {
    if (id == nodeId) return kind;
  }
  return ChildKind::None;
}

std::unique_ptr<ui::Window> MakeChildWindow(ChildKind kind, TEditOVWindow& editWindow,
                                            int channel) {
  const auto it = Makers().find(kind);
  if (it == Makers().end() || !it->second) return nullptr;
  return it->second(editWindow, channel);
}

void RegisterChildWindow(ChildKind kind, ChildMaker maker) {
  if (!maker) {
    const std::map<ChildKind, ChildMaker> builtIn = BuiltInMakers();
    if (const auto it = builtIn.find(kind); it != builtIn.end()) maker = it->second;
  }
  Makers()[kind] = std::move(maker);
}

}  // namespace namespaceOV
