#pragma once

#include <string>

#include "controls/TDataWindow.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/LayoutWindow.h"
#include "platform/ui/TreeView.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// The tree at the left of the compressor and limiter windows: "Group %d" items with the names of
// their channels. A derived tree fills it in Build and says which records rebuild it.
class ChannelTreeWindow : public ui::LayoutWindow, public TDataWindow {
 public:
  static constexpr int kWidth = 120;
  // Images of the family's tree strip.
  static constexpr int kChannelImage = 0;
  static constexpr int kChannelSelectedImage = 1;
  static constexpr int kDisabledImage = 6;
  static constexpr int kGroupImage = 7;
  static constexpr int kGroupSelectedImage = 8;

  ChannelTreeWindow(ui::Window* parent, IQDeviceOrdavinex& device);
  ~ChannelTreeWindow() override;

  void Notify(NotifyRecord* record) override;
  ui::TreeView& Tree() { return tree_; }
  // Empties the tree and fills it again.
  void Rebuild();

 protected:
  void SetupWindow() override;
  virtual void Build() = 0;
  virtual bool RebuildsOn(uint32_t code) const = 0;
  ui::TreeItem AddGroup(int number);
  void AddChannel(ui::TreeItem group, int channel, int image, int selectedImage);
  // Expands the group, or deletes it again when it got no channel.
  void CloseGroup(ui::TreeItem group);

  IQDeviceOrdavinex& device_;

 private:
  ui::TreeView tree_;
  ui::ImageList images_;
};

}  // namespace namespaceOV
