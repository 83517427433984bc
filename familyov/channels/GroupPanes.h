#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "bus/IQException.h"
#include "controls/TDataWindow.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/TreeView.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// "Gang": joins the two channels of a two-channel side in one group value, both or neither.
class TLinkDialog : public ui::Dialog, public TDataWindow {
 public:
  TLinkDialog(ui::Window* parent, IQDeviceOrdavinex& device, int firstChannel, int groupValue);

  void Notify(NotifyRecord* record) override;
  bool PreProcessKey(const ui::KeyStroke& key) override;

 protected:
  void SetupWindow() override;

 private:
  void ReadGang();
  void WriteGang(uint8_t value);
  // The first channel written back as it was `held`; when the unit does not take that, what the
  // channel may be left with, after a change that was `ganging` it.
  std::optional<std::string> PutBackFirst(uint8_t held, bool ganging);
  // Tells, in the box that tells `refusal`, what the first channel was `left` with.
  void TellFirstLeft(const ErrorObject& refusal, const std::string& left);
  void TellGroupsChanged();
  void CmGang();

  IQDeviceOrdavinex& device_;
  int firstChannel_;
  int groupValue_;
  ui::CheckBox gang_;
};

// The groups of one side, each with its members' names; rebuilt when groups or names change.
class TGroupTreeWindow : public ui::Window, public TDataWindow {
 public:
  // Channels `first` .. `last`; a group value v shows as "Group v - base".
  TGroupTreeWindow(ui::Window* parent, IQDeviceOrdavinex& device, int first, int last, int base);
  ~TGroupTreeWindow() override;

  void Notify(NotifyRecord* record) override;
  void BuildTree();
  ui::TreeView& Tree() { return tree_; }

 protected:
  void SetupWindow() override;

 private:
  IQDeviceOrdavinex& device_;
  int first_;
  int last_;
  int base_;
  ui::ImageList images_;
  ui::TreeView tree_;
};

}  // namespace namespaceOV
