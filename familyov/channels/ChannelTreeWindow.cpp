#include "familyov/channels/ChannelTreeWindow.h"

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/ParameterTable.h"
#include "platform/ui/Resources.h"
#include "resources/FamilyOvIds.h"
#include "resources/FamilyOvProcessingIds.h"

namespace namespaceOV {

namespace {

constexpr int kImagePixels = 16;

}  // namespace

ChannelTreeWindow::ChannelTreeWindow(ui::Window* parent, IQDeviceOrdavinex& device)
    : ui::LayoutWindow(parent),
      TDataWindow(parent),
      device_(device),
      tree_(this, ovprocessing_res::kGroupTree),
      images_(kImagePixels, kImagePixels) {
  images_.AddStrip(ui::Resources::Image(ovres::kTreeImages), ui::kWhite);
  SetChildMetrics(tree_, ui::LayoutMetrics::FillingClientArea());
}

ChannelTreeWindow::~ChannelTreeWindow() { Destroy(); }

void ChannelTreeWindow::SetupWindow() {
  ui::LayoutWindow::SetupWindow();
  tree_.SetImageList(&images_);
  Rebuild();
}

void ChannelTreeWindow::Notify(NotifyRecord* record) {
  if (RebuildsOn(record->code)) Rebuild();
  TDataWindow::Notify(record);
}

void ChannelTreeWindow::Rebuild() {
  tree_.DeleteAllItems();
  Build();
  const ui::TreeItem first = tree_.FirstRoot();
  if (first && tree_.FirstChild(first)) tree_.Select(tree_.FirstChild(first));
}

ui::TreeItem ChannelTreeWindow::AddGroup(int number) {
  return tree_.InsertItem({}, "Group " + std::to_string(number), kGroupImage, 0,
                          kGroupSelectedImage);
}

void ChannelTreeWindow::AddChannel(ui::TreeItem group, int channel, int image, int selectedImage) {
  gChannelNameObject.SetElement(channel);
  tree_.InsertItem(group, gChannelNameObject.Read(device_), image, channel, selectedImage);
}

void ChannelTreeWindow::CloseGroup(ui::TreeItem group) {
  if (tree_.FirstChild(group)) {
    tree_.Expand(group);
  } else {
    tree_.DeleteItem(group);
  }
}

}  // namespace namespaceOV
