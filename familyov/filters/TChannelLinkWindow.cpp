#include "familyov/filters/TChannelLinkWindow.h"

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditOVWindow.h"
#include "resources/FamilyOvFilterDialogIds.h"

namespace namespaceOV {

using namespace ovfilterdlg_res;

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 200;

bool IsDialogKey(const ui::KeyStroke& key) {
  return key.code == ui::key::kReturn || key.code == ui::key::kEscape;
}

bool& LinkFlag(IQDeviceOrdavinex& device, int channel) {
  return device.linkedChannels.at(static_cast<std::size_t>(channel));
}

}  // namespace

TAllNoneDialog::TAllNoneDialog(ui::Window* parent, IQDeviceOrdavinex& device)
    : ui::Dialog(parent, kAllNoneDialog), TDataWindow(parent), device_(device) {
  OnCommand(kLinkAll, [this] { SetAll(true); });
  OnCommand(kLinkNone, [this] { SetAll(false); });
}

bool TAllNoneDialog::PreProcessKey(const ui::KeyStroke& key) {
  return IsDialogKey(key) || ui::Dialog::PreProcessKey(key);
}

void TAllNoneDialog::SetAll(bool linked) {
  for (const int channel : device_.ChannelIndexes()) LinkFlag(device_, channel) = linked;
  NotifyRecord record{FilterLinksChanged, 0, 0, nullptr};
  NotifyLocal(&record);
}

TChannelLinkDialog::TChannelLinkDialog(ui::Window* parent, IQDeviceOrdavinex& device, int channel)
    : ui::Dialog(parent, kChannelLinkDialog),
      TDataWindow(parent),
      device_(device),
      channel_(channel),
      check_(this, kLinkCheck) {
  OnCommand(kLinkCheck, [this] {
    LinkFlag(device_, channel_) = check_.IsChecked();
    NotifyRecord record{FilterLinksChanged, 0, 0, nullptr};
    NotifyRoot(&record);
  });
}

void TChannelLinkDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  ShowName();
  ShowFlag();
}

void TChannelLinkDialog::ShowName() {
  GuardedUnitCall(device_, [&] {
    gChannelNameObject.SetElement(channel_);
    check_.SetText(gChannelNameObject.Read(device_));
  });
}

void TChannelLinkDialog::ShowFlag() { check_.SetCheck(LinkFlag(device_, channel_)); }

void TChannelLinkDialog::Notify(NotifyRecord* record) {
  if (record->code == FilterLinksChanged) ShowFlag();
  if (record->code == ChannelRenamed && record->channel == channel_) ShowName();
  TDataWindow::Notify(record);
}

bool TChannelLinkDialog::PreProcessKey(const ui::KeyStroke& key) {
  return IsDialogKey(key) || ui::Dialog::PreProcessKey(key);
}

TChannelLinkWindow::TChannelLinkWindow(TEditOVWindow& editWindow)
    : OVChild<TGroupWindow>(editWindow, "Linking", nullptr) {
  const ui::Rect area = ScreenWorkArea();
  SetRect({area.left, area.top, area.left + kWidth, area.top + kHeight});
  SetIcon(Device().GetModelBitmapId());
  // The panes take this window's links, which exist only now that the window is built.
  allNone_ = std::make_unique<TAllNoneDialog>(this, Device());
  for (const int channel : Device().ChannelIndexes()) {
    channels_.push_back(std::make_unique<TChannelLinkDialog>(this, Device(), channel));
  }
}

TChannelLinkWindow::~TChannelLinkWindow() { Destroy(); }

void TChannelLinkWindow::SetupWindow() {
  TGroupWindow::SetupWindow();
  AddPane(allNone_.get(), true);
  for (auto& pane : channels_) AddPane(pane.get(), true);
}

}  // namespace namespaceOV
