#pragma once

#include <memory>
#include <vector>

#include "controls/TDataWindow.h"
#include "familyov/unit/TGroupWindow.h"
#include "familyov/unit/TOVWindow.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// "All" and "None" at the head of the linking window: every channel's link flag at once. Only
// the panes of its own window hear of it.
class TAllNoneDialog : public ui::Dialog, public TDataWindow {
 public:
  TAllNoneDialog(ui::Window* parent, IQDeviceOrdavinex& device);
  // Enter and Escape neither press a button nor close the pane.
  bool PreProcessKey(const ui::KeyStroke& key) override;

 private:
  void SetAll(bool linked);

  IQDeviceOrdavinex& device_;
};

// One channel's link flag, named after the channel. A change is told to every window of the
// unit, whose filter editors then count and copy new filters for every linked channel.
class TChannelLinkDialog : public ui::Dialog, public TDataWindow {
 public:
  TChannelLinkDialog(ui::Window* parent, IQDeviceOrdavinex& device, int channel);
  void Notify(NotifyRecord* record) override;
  bool PreProcessKey(const ui::KeyStroke& key) override;
  bool IsChecked() const { return check_.IsChecked(); }

 protected:
  void SetupWindow() override;

 private:
  void ShowName();
  void ShowFlag();

  IQDeviceOrdavinex& device_;
  int channel_;
  ui::CheckBox check_;
};

// "Linking": which channels' filters are edited together. The flags live in the device object
// only; nothing goes to the unit when they change.
class TChannelLinkWindow : public OVChild<TGroupWindow> {
 public:
  explicit TChannelLinkWindow(TEditOVWindow& editWindow);
  ~TChannelLinkWindow() override;

  TAllNoneDialog& AllNone() { return *allNone_; }
  TChannelLinkDialog& Pane(int k) { return *channels_.at(static_cast<std::size_t>(k)); }

 protected:
  void SetupWindow() override;

 private:
  std::unique_ptr<TAllNoneDialog> allNone_;
  std::vector<std::unique_ptr<TChannelLinkDialog>> channels_;
};

}  // namespace namespaceOV
