#include "familyov/channels/LevelWindows.h"

#include "familyov/channels/GroupAssignment.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/TEditOVWindow.h"
#include "familyov/unit/TMemoryWindow.h"
#include "resources/FamilyOvChannelIds.h"

namespace namespaceOV {
namespace {

using namespace ovchannels_res;

constexpr int kWidth = 400;
constexpr int kHeight = 200;
constexpr int kTreeWidth = 120;
// A side with more channels than the gang joins has groups of its own.
constexpr int kGangedChannels = 2;
constexpr int kInputGangValue = 7;
constexpr int kOutputGangValue = 1;
constexpr int kInputGroupBase = 7;
constexpr int kOutputGroupBase = 0;

}  // namespace

TLevelWindow::TLevelWindow(TEditOVWindow& editWindow, const std::string& title, bool outputs)
    : OVChild<ui::Frame>(editWindow, title, title, nullptr),
      outputs_(outputs),
      first_(outputs ? Device().firstOutput : 0),
      count_(outputs ? Device().outputs : Device().inputs),
      group_(this) {
  SetClient(&group_);
  const ui::Rect area = ScreenWorkArea();
  SetRect({area.left, area.top, area.left + kWidth, area.top + kHeight});
  SetIcon(Device().GetModelBitmapId());
  if (count_ > kGangedChannels) {
    SetMenu(kGroupsMenu);
    OnCommand(kCmGroups, [this] { CmGroups(); });
  }
  UnitPoller& poller = editWindow.Poller();
  if (outputs_) master_ = std::make_unique<TMasterLevelDialog>(&group_, Device());
  for (int channel = first_; channel < first_ + count_; ++channel) {
    panes_.push_back(std::make_unique<TLevelDialog>(
        &group_, Device(), poller, channel, outputs ? kOutputLevelDialog : kInputLevelDialog));
  }
  if (count_ <= kGangedChannels) {
    gang_ = std::make_unique<TLinkDialog>(&group_, Device(), first_,
                                          outputs_ ? kOutputGangValue : kInputGangValue);
  } else {
    tree_ = std::make_unique<TGroupTreeWindow>(&group_, Device(), first_, first_ + count_ - 1,
                                               outputs_ ? kOutputGroupBase : kInputGroupBase);
  }
  // The panes were made after the window linked itself: they take its links now.
  LinkToEditWindow();
}

TLevelWindow::~TLevelWindow() { Destroy(); }

void TLevelWindow::SetupWindow() {
  ui::Frame::SetupWindow();
  if (master_) group_.AddPane(master_.get());
  for (auto& pane : panes_) group_.AddPane(pane.get());
  if (gang_) group_.SetEdgePane(gang_.get(), TGroupWindow::kBottom);
  if (tree_) {
    const ui::Rect pane = panes_.front()->WindowRect();
    tree_->SetRect({0, 0, kTreeWidth, pane.Height()});
    group_.SetEdgePane(tree_.get(), TGroupWindow::kLeft);
  }
  Device().GetGroupLevelRange();
}

void TLevelWindow::CmGroups() {
  AssignGroups(this, Device(), outputs_ ? GroupKind::kOutputLevel : GroupKind::kInputLevel, [this] {
    NotifyRecord changed{GroupChanged, 0, 0, nullptr};
    NotifyLocal(&changed);
  });
}

void TLevelWindow::Notify(NotifyRecord* record) {
  TDataWindow::Notify(record);
  switch (record->code) {
    case GroupLevelStep:
    case GroupChanged:
    case LevelChanged:
    case RefreshAll:
      Device().GetGroupLevelRange();
      break;
    default:
      break;
  }
}

TInputLevelWindow::TInputLevelWindow(TEditOVWindow& editWindow)
    : TLevelWindow(editWindow, "Input Level", false) {}

TOutputLevelWindow::TOutputLevelWindow(TEditOVWindow& editWindow)
    : TLevelWindow(editWindow, "Output Level", true) {}

}  // namespace namespaceOV
