#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <vector>

#include "familycommon/FilterLifetime.h"
#include "platform/ui/Message.h"

namespace ui {
class Window;
}

namespace namespace8100 {

class FamilyKey8100;
class IQDevice8100;
class TFilter;

// The messages every window that edits a bank listens to; wParam is the bank (0 for a reload),
// lParam names a filter (FilterParam), which the receiver looks up (FilterNamed) when it arrives.
namespace bankmsg {
inline constexpr ui::MessageId kReload = 290;
inline constexpr ui::MessageId kSelectionChanged = 302;  // the single selected filter, or 0
inline constexpr ui::MessageId kValuesChanged = 303;
inline constexpr ui::MessageId kFilterAdded = 304;
inline constexpr ui::MessageId kFilterRemoved = 305;
}  // namespace bankmsg

class TAllChannelParent;

// Whether `filter` is one of the unit's bank filters.
bool HoldsFilter(const IQDevice8100& unit, const TFilter* filter);

// A filter as a bank message names it, 0 for none; and the filter, of the banks or a crossover,
// that the unit holds under that name when the message arrives: none once that filter is freed.
ui::Param FilterParam(const TFilter* filter);
TFilter* FilterNamed(const IQDevice8100& unit, ui::Param name);

// The hub of one open bank editor: the unit, the bank, the bank's selection and current filter,
// and the windows that listen. Every message is posted, so receivers act after the sender's
// handler has returned, in the order posted.
class TChannelParent {
 public:
  TChannelParent(IQDevice8100& unit, TAllChannelParent& hubs, int32_t bank);
  ~TChannelParent();
  TChannelParent(const TChannelParent&) = delete;
  TChannelParent& operator=(const TChannelParent&) = delete;

  IQDevice8100& Unit() const { return unit_; }
  int32_t Bank() const { return bank_; }

  void AddListener(ui::Window& window);
  void RemoveListener(const ui::Window& window);
  // To this hub's listeners and, unless it comes from a peer, to every other open hub's.
  void Broadcast(ui::MessageId id, ui::Param wParam, ui::Param lParam, bool fromPeer = false);

  // The filter whose parameters the editor shows; null when none.
  familycommon::FilterHandle<TFilter> current;
  // The bank's selected filters in list order; the commands act on it.
  std::vector<familycommon::FilterHandle<TFilter>> selection;
  // Forgets the filters the unit no longer holds.
  void ForgetGoneFilters();

 private:
  IQDevice8100& unit_;
  TAllChannelParent& hubs_;
  int32_t bank_;
  std::vector<ui::Window*> listeners_;
};

// The four banks' hubs of one unit, each present while its editor is open.
class TAllChannelParent {
 public:
  void Enter(TChannelParent& hub);
  void Leave(const TChannelParent& hub);
  TChannelParent* Hub(int32_t bank) const;
  void BroadcastToChannels(const TChannelParent* except, ui::MessageId id, ui::Param wParam,
                           ui::Param lParam);

 private:
  std::array<TChannelParent*, 4> hubs_{};
};

// The editor's commands on its bank, under the family's guard: a bus failure is reported, what was
// done before it stays done, and the views are told of exactly that.

// Adds a filter of `type`; false when it does not fit the section budget (nothing was written).
bool AddFilterCommand(TChannelParent& hub, const FamilyKey8100& defaults, int32_t type);
// Deletes the selection; each freed filter is announced by itself. After a failure part way the
// banks are read again, as the unit may have deleted the filter it refused.
void DeleteSelectionCommand(TChannelParent& hub);
// Copies the selection to the twin bank; false when the budget stopped it. A unit in doubt is read
// again first (controls::SettleCopy); one that does not give its filters is sent nothing.
bool CopySelectionCommand(TChannelParent& hub);
// After `failure` part way through a change: a refused write may have been carried out, so the
// unit's filters are read again and every bank's views show them, and the failure is reported. A
// unit that does not answer the read is said, in the box that tells the failure, to have stopped
// answering: it is read again once it answers. `writesBefore` is the unit's WritesSent as the
// change began: a change that sent no write left the unit as it was, and the box says so.
void ReadBanksAgain(TChannelParent& hub, const std::exception_ptr& failure, uint64_t writesBefore);
void BypassSelectionCommand(TChannelParent& hub, bool bypassed);
// Bypasses or enables one filter under the family's guard. After a failure, which is reported,
// the filter is read back: the unit may have carried out the write it refused, or never have
// been asked. Whether the write went through.
bool BypassCommand(IQDevice8100& unit, TFilter& filter, bool bypassed);

}  // namespace namespace8100
