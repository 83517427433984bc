#include "familyov/unit/ChildWindowFactory.h"

#include <map>
#include <utility>

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
      {ChildKind::Memory, [](TEditOVWindow& w, int) { return std::make_unique<TMemoryWindow>(w); }},
      {ChildKind::Logic, [](TEditOVWindow& w, int) { return std::make_unique<TLogicWindow>(w); }},
      {ChildKind::Timer,
       [](TEditOVWindow& w, int) { return std::make_unique<TRTCDecoratedFrame>(w); }},
      {ChildKind::Security, [](TEditOVWindow& w, int) { return MakeSecurityWindow(w); }},
      {ChildKind::Crossovers,
       [](TEditOVWindow& w, int) { return std::make_unique<TCrossoverDecoratedFrame>(w); }},
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

void RegisterChildWindow(ChildKind kind, ChildMaker maker) { Makers()[kind] = std::move(maker); }

}  // namespace namespaceOV
