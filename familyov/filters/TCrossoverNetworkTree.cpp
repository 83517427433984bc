#include "familyov/filters/TCrossoverNetworkTree.h"

#include <string>

#include "controls/CopyInDoubt.h"
#include "familyov/filters/CrossoverChanges.h"
#include "familyov/filters/FiltersInDoubt.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Resources.h"
#include "resources/FamilyOvCrossoverIds.h"
#include "resources/FamilyOvIds.h"

namespace namespaceOV {

namespace {

using namespace ovcrossover_res;

constexpr int kNetworkTree = 101;
constexpr int kMaxNetworks = 6;
constexpr int kOutputImage = 0;
constexpr int kNetworkImage = 7;
constexpr const char* kCopyCaption = "Crossover copy";

bool AskedToCopy(ui::Window* owner, const std::string& question) {
  return ui::MessageBox(owner, question, kCopyCaption, ui::mb::kOkCancel | ui::mb::kIconQuestion) ==
         ui::kIdOk;
}

void NoCapacity(ui::Window* owner) {
  ui::MessageBox(owner, "Insufficient DSP Capacity", "Crossovers",
                 ui::mb::kOk | ui::mb::kIconExclamation);
}

}  // namespace

TCrossoverNetworkWindow::TCrossoverNetworkWindow(ui::Window* parent, IQDeviceOrdavinex& device)
    : ui::LayoutWindow(parent),
      TDataWindow(parent),
      device_(device),
      tree_(this, kNetworkTree),
      images_(16, 16),
      drag_(*this, tree_, [this](ui::Param source, ui::TreeItem target) {
        if (target) Drop(static_cast<int>(source), static_cast<int>(tree_.ItemData(target)));
      }) {
  images_.AddStrip(ui::Resources::Image(ovres::kTreeImages), ui::Color{255, 255, 255});
  SetChildMetrics(tree_, ui::LayoutMetrics::FillingClientArea());
  OnNotify(kNetworkTree, ui::Notify::SelChange, [this](const ui::Notification& n) {
    EvSelChanged(ui::TreeView::FromParam(n.value));
    return 0;
  });
}

TCrossoverNetworkWindow::~TCrossoverNetworkWindow() { Destroy(); }

void TCrossoverNetworkWindow::SetupWindow() {
  ui::LayoutWindow::SetupWindow();
  tree_.SetImageList(&images_);
  BuildTree();
}

std::string TCrossoverNetworkWindow::OutputName(int output) {
  gChannelNameObject.SetElement(device_.firstOutput + output);
  return gChannelNameObject.Read(device_);
}

void TCrossoverNetworkWindow::BuildTree() {
  tree_.DeleteAllItems();
  // The tree built again keeps the output the user chose, wherever its network now puts it.
  ui::TreeItem chosen;
  GuardedUnitCall(device_, [&] {
    for (int network = 1; network <= kMaxNetworks; ++network) {
      const std::vector<int> outputs = OutputsOfNetwork(device_, network);
      if (outputs.empty()) continue;
      const ui::TreeItem item =
          tree_.InsertItem({}, "Network " + std::to_string(network), kNetworkImage,
                           NetworkItemValue(device_, network), kNetworkImage + 1);
      for (int output : outputs) {
        const int channel = device_.firstOutput + output;
        const ui::TreeItem leaf =
            tree_.InsertItem(item, OutputName(output), kOutputImage, channel, kOutputImage + 1);
        if (channel == selectedChannel_) chosen = leaf;
      }
      tree_.Expand(item);
    }
  });
  if (!chosen) chosen = tree_.FirstChild(tree_.FirstRoot());
  if (chosen) tree_.Select(chosen);
}

void TCrossoverNetworkWindow::EvSelChanged(ui::TreeItem item) {
  if (!item) return;
  const int value = static_cast<int>(tree_.ItemData(item));
  // A network's item selects no output.
  if (value < device_.firstOutput || value >= device_.firstOutput + device_.outputs) return;
  selectedChannel_ = value;
  NotifyRecord record{CrossoverOutputSelected, 0, 0, &selectedChannel_};
  NotifyLocal(&record);
}

void TCrossoverNetworkWindow::Drop(int sourceValue, int targetValue) {
  const CrossoverDrop drop = ResolveDrop(device_, sourceValue, targetValue);
  if (drop.kind == CrossoverDrop::Kind::kNothing) return;
  // A copy writes the source's crossovers as the program's copy holds them.
  if (!controls::SettleCopy(device_)) return;
  CrossoverChanges changes(device_, [this](NotifyRecord& record) { NotifyRoot(&record); });
  // The crossovers each step copied have been told already; a copy in doubt leaves the unit's
  // crossovers unknown, and the windows show that.
  const auto tellUnknown = [this] { ShowFiltersInDoubt(device_, *this); };
  // One drop, one change: the outputs it copies and each copy's end of update report one failure.
  ChangeOnUnit(device_,
               [&] {
                 if (drop.kind == CrossoverDrop::Kind::kOutputs) {
                   if (!AskedToCopy(this, "Copy " + OutputName(drop.source) + " to " +
                                              OutputName(drop.target) + "?")) {
                     return;
                   }
                   if (changes.CopyOutput(drop.source, drop.target) ==
                       CrossoverChanges::Outcome::kNoCapacity) {
                     NoCapacity(this);
                   }
                   return;
                 }
                 if (!AskedToCopy(this, "Copy network " + std::to_string(drop.source) +
                                            " to network " + std::to_string(drop.target) + "?")) {
                   return;
                 }
                 switch (CopyNetwork(changes, device_, drop.source, drop.target)) {
                   case NetworkCopy::kNotSameSize:
                     ui::MessageBox(this, "Networks are not the same size and cannot be copied.",
                                    kCopyCaption, ui::mb::kOk | ui::mb::kIconExclamation);
                     break;
                   case NetworkCopy::kNoCapacity:
                     NoCapacity(this);
                     break;
                   case NetworkCopy::kDone:
                     break;
                 }
               },
               {.showUnknown = tellUnknown});
}

void TCrossoverNetworkWindow::Notify(NotifyRecord* record) {
  if (record == nullptr) return;
  if (record->code == RefreshAll || record->code == ChannelRenamed ||
      record->code == NetworkAssignmentChanged) {
    BuildTree();
  }
}

}  // namespace namespaceOV
