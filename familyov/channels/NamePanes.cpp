#include "familyov/channels/NamePanes.h"

#include "controls/CarriedName.h"
#include "controls/TypedEntry.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TGroupWindow.h"
#include "resources/FamilyOvChannelIds.h"

namespace namespaceOV {

using namespace ovchannels_res;

TNameDialog::TNameDialog(ui::Window* parent, IQDeviceOrdavinex& device, int channel)
    : ui::Dialog(parent, kNameDialog),
      TDataWindow(parent),
      device_(device),
      channel_(channel),
      name_(this, kNameEdit, kNameLimit),
      label_(this, kChannelName) {
  OnNotify(kNameEdit, ui::Notify::KillFocus, [this](const ui::Notification&) {
    CommitName();
    return ui::Param{0};
  });
  OnMessage(ui::msg::kSetFocus, [this](const ui::Message&) {
    name_.SetFocus();
    name_.SetSelection(0, kNameLimit + 1);
    return ui::Param{0};
  });
}

void TNameDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  label_.SetText(device_.GetChannelLabel(channel_));
  ReadName();
}

void TNameDialog::ReadName() {
  // A name the unit does not answer shows as unknown, not as the one read before: a name kept
  // from an earlier read would stand for one the unit may no longer hold.
  name_.SetText("");
  GuardedUnitCall(device_, [&] {
    gChannelNameObject.SetElement(channel_);
    name_.SetText(gChannelNameObject.Read(device_));
  });
}

void TNameDialog::CommitName() {
  controls::CommitEntry(name_, [&] {
    const std::string typed = name_.Text().substr(0, kNameLimit);
    if (controls::RefusedName(this, typed, "Channel name")) {
      ReadName();
      return;
    }
    bool changed = false;
    GuardedUnitCall(device_, [&] {
      gChannelNameObject.SetElement(channel_);
      if (gChannelNameObject.Read(device_) == typed) return;
      changed = true;
      gChannelNameObject.Write(device_, typed);
    });
    // Also after a failed write, so that every window shows the name the unit holds.
    if (!changed) return;
    NotifyRecord renamed{ChannelRenamed, channel_, 0, nullptr};
    NotifyRoot(&renamed);
  });
}

void TNameDialog::Notify(NotifyRecord* record) {
  if ((record->code == ChannelRenamed && record->channel == channel_) ||
      record->code == RefreshAll) {
    ReadName();
  }
  TDataWindow::Notify(record);
}

bool TNameDialog::PreProcessKey(const ui::KeyStroke& key) {
  switch (key.code) {
    case ui::key::kReturn:
      if (!key.down) CommitName();
      return true;
    case ui::key::kEscape:
      if (!key.down) ReadName();
      return true;
    case ui::key::kTab:
      if (!key.down) return true;
      if (auto* group = dynamic_cast<TGroupWindow*>(Parent())) {
        group->MoveFocus(this, (key.modifiers & ui::kShiftKey) != 0);
      }
      return true;
    default:
      return ui::Dialog::PreProcessKey(key);
  }
}

}  // namespace namespaceOV
