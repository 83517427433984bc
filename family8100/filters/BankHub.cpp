#include "family8100/filters/BankHub.h"

#include <algorithm>
#include <exception>

#include "controls/CopyInDoubt.h"
#include "controls/DeviceErrorReport.h"
#include "family8100/filters/BankEditing.h"
#include "family8100/filters/FilterEdits.h"
#include "family8100/unit/IQDevice8100.h"
#include "familycommon/LoadFailure.h"
#include "familycommon/StoppedCommand.h"
#include "platform/ui/Window.h"

namespace namespace8100 {

namespace {

// Announces every filter the unit registered since it held `held` filters. Whether there was any.
bool AnnounceRegistered(TChannelParent& hub, std::size_t held) {
  const auto& filters = hub.Unit().Filters();
  for (std::size_t i = held; i < filters.size(); ++i) {
    hub.Broadcast(bankmsg::kFilterAdded, filters[i]->bank, FilterParam(filters[i].get()));
  }
  return filters.size() > held;
}

std::size_t IndexOf(int32_t bank) { return static_cast<std::size_t>(std::clamp(bank, 1, 4) - 1); }

}  // namespace

bool HoldsFilter(const IQDevice8100& unit, const TFilter* filter) {
  return filter != nullptr && std::ranges::any_of(unit.Filters(), [&](const auto& held) {
           return held.get() == filter;
         });
}

ui::Param FilterParam(const TFilter* filter) { return filter != nullptr ? filter->Number() : 0; }

TFilter* FilterNamed(const IQDevice8100& unit, ui::Param name) {
  if (name == 0) return nullptr;
  for (const auto& filter : unit.Filters()) {
    if (filter->Number() == name) return filter.get();
  }
  for (TFilter* crossover : {unit.LowCrossover(), unit.HighCrossover()}) {
    if (crossover != nullptr && crossover->Number() == name) return crossover;
  }
  return nullptr;
}

TChannelParent::TChannelParent(IQDevice8100& unit, TAllChannelParent& hubs, int32_t bank)
    : unit_(unit), hubs_(hubs), bank_(bank) {
  hubs_.Enter(*this);
}

TChannelParent::~TChannelParent() { hubs_.Leave(*this); }

void TChannelParent::ForgetGoneFilters() {
  if (!HoldsFilter(unit_, current)) current = nullptr;
  std::erase_if(selection, [this](const TFilter* filter) { return !HoldsFilter(unit_, filter); });
}

void TChannelParent::AddListener(ui::Window& window) { listeners_.push_back(&window); }

void TChannelParent::RemoveListener(const ui::Window& window) {
  const auto found = std::ranges::find(listeners_, &window);
  if (found != listeners_.end()) listeners_.erase(found);
}

void TChannelParent::Broadcast(ui::MessageId id, ui::Param wParam, ui::Param lParam,
                               bool fromPeer) {
  if (!fromPeer) hubs_.BroadcastToChannels(this, id, wParam, lParam);
  for (ui::Window* listener : listeners_) listener->Post(id, wParam, lParam);
}

void TAllChannelParent::Enter(TChannelParent& hub) { hubs_[IndexOf(hub.Bank())] = &hub; }

void TAllChannelParent::Leave(const TChannelParent& hub) {
  TChannelParent*& entry = hubs_[IndexOf(hub.Bank())];
  if (entry == &hub) entry = nullptr;
}

TChannelParent* TAllChannelParent::Hub(int32_t bank) const { return hubs_[IndexOf(bank)]; }

void TAllChannelParent::BroadcastToChannels(const TChannelParent* except, ui::MessageId id,
                                            ui::Param wParam, ui::Param lParam) {
  for (TChannelParent* hub : hubs_) {
    if (hub != nullptr && hub != except) hub->Broadcast(id, wParam, lParam, true);
  }
}

bool AddFilterCommand(TChannelParent& hub, const FamilyKey8100& defaults, int32_t type) {
  TFilter* added = nullptr;
  bool fits = true;
  const std::size_t held = hub.Unit().Filters().size();
  const uint64_t writesBefore = hub.Unit().WritesSent();
  if (const std::exception_ptr failure = controls::FailureOf([&] {
        added = AddBankFilter(hub.Unit(), defaults, hub.Bank(), type);
        fits = added != nullptr;
      })) {
    // The unit may hold the new filter half written, or not at all: the unit tells.
    ReadBanksAgain(hub, failure, writesBefore);
    return true;
  }
  if (added == nullptr) return fits;
  AnnounceRegistered(hub, held);
  hub.current = added;
  hub.Broadcast(bankmsg::kSelectionChanged, hub.Bank(), FilterParam(added));
  return true;
}

void DeleteSelectionCommand(TChannelParent& hub) {
  std::vector<TFilter*> selection = familycommon::HeldFilters(hub.selection);
  if (selection.empty()) return;
  // Named while they live.
  std::vector<ui::Param> names;
  for (const TFilter* filter : selection) names.push_back(FilterParam(filter));
  std::vector<const TFilter*> removed;
  const uint64_t writesBefore = hub.Unit().WritesSent();
  if (const std::exception_ptr failure =
          controls::FailureOf([&] { RemoveSelection(hub.Unit(), selection, removed); })) {
    // The unit may have deleted the filter it refused: the unit tells which are left.
    ReadBanksAgain(hub, failure, writesBefore);
    return;
  }
  for (ui::Param name : names) hub.Broadcast(bankmsg::kFilterRemoved, hub.Bank(), name);
  hub.selection.clear();
  hub.current = nullptr;
  hub.Broadcast(bankmsg::kSelectionChanged, hub.Bank(), 0);
}

bool CopySelectionCommand(TChannelParent& hub) {
  // The copies take every value of their filters. A read again brings new filter objects: the
  // bank's list passes the selection on to them.
  if (!controls::SettleCopy(hub.Unit())) return true;
  std::vector<TFilter*> copies;
  bool complete = true;
  const std::size_t held = hub.Unit().Filters().size();
  const uint64_t writesBefore = hub.Unit().WritesSent();
  if (const std::exception_ptr failure = controls::FailureOf([&] {
        complete = CopyToTwinBank(hub.Unit(), familycommon::HeldFilters(hub.selection), copies);
      })) {
    // A copy cut short may be on the unit with only part of its values: the unit tells.
    ReadBanksAgain(hub, failure, writesBefore);
    return true;
  }
  if (AnnounceRegistered(hub, held)) hub.Broadcast(bankmsg::kReload, 0, 0);
  return complete;
}

void ReadBanksAgain(TChannelParent& hub, const std::exception_ptr& failure, uint64_t writesBefore) {
  const bool wrote = hub.Unit().WritesSent() != writesBefore;
  const bool answered = hub.Unit().ReadAgainQuietly();
  hub.Broadcast(bankmsg::kReload, 0, 0);
  // A unit that answers is shown as it is by the views themselves; one that stopped answering
  // leaves them on what was last read, and its failure is told with that.
  if (answered) {
    controls::ReportFailure(failure, &hub.Unit());
  } else {
    familycommon::StoppedCommand(hub.Unit(), failure)
        .Tell(familycommon::StoppedAnsweringText(wrote), "Filters");
  }
}

void BypassSelectionCommand(TChannelParent& hub, bool bypassed) {
  for (TFilter* filter : familycommon::HeldFilters(hub.selection)) {
    const bool written = BypassCommand(hub.Unit(), *filter, bypassed);
    hub.Broadcast(bankmsg::kValuesChanged, hub.Bank(), FilterParam(filter));
    if (!written) return;
  }
}

bool BypassCommand(IQDevice8100& unit, TFilter& filter, bool bypassed) {
  if (controls::GuardedBusCall(&unit, [&] { filter.SetBypass(unit, bypassed); })) return true;
  ReadFilterBackQuietly(unit, filter);
  return false;
}

}  // namespace namespace8100
