#pragma once

#include <string>

#include "controls/TDataWindow.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/LayoutWindow.h"
#include "platform/ui/TreeItemDrag.h"
#include "platform/ui/TreeView.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// The unit's crossover networks, each with its outputs. Selecting an output shows it in the
// crossover dialog; dragging an output onto another copies its crossovers and polarity there, a
// network onto another copies each of its outputs onto the other's, pair by pair.
class TCrossoverNetworkWindow : public ui::LayoutWindow, public TDataWindow {
 public:
  TCrossoverNetworkWindow(ui::Window* parent, IQDeviceOrdavinex& device);
  ~TCrossoverNetworkWindow() override;

  // Networks without outputs are left out; the output selected stays so, else the first output of
  // the first network is selected.
  void BuildTree();
  // A refresh, a new channel name or new networks build the tree again.
  void Notify(NotifyRecord* record) override;
  ui::TreeView& Tree() { return tree_; }

 protected:
  void SetupWindow() override;

 private:
  void EvSelChanged(ui::TreeItem item);
  void Drop(int sourceValue, int targetValue);
  std::string OutputName(int output);

  IQDeviceOrdavinex& device_;
  ui::TreeView tree_;
  ui::ImageList images_;
  ui::TreeItemDrag drag_;
  int selectedChannel_ = 0;
};

}  // namespace namespaceOV
