#include "familyov/channels/GroupPanes.h"

#include <optional>
#include <string>

#include "controls/DeviceErrorReport.h"
#include "familyov/channels/GroupMoves.h"
#include "familyov/unit/CommandOutcome.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "platform/ui/Resources.h"
#include "platform/ui/draw/Color.h"
#include "resources/FamilyOvChannelIds.h"
#include "resources/FamilyOvIds.h"

namespace namespaceOV {
namespace {

using namespace ovchannels_res;

constexpr int kImagePixels = 16;
constexpr int kChannelImage = 0;
constexpr int kGroupImage = 7;

}  // namespace

TLinkDialog::TLinkDialog(ui::Window* parent, IQDeviceOrdavinex& device, int firstChannel,
                         int groupValue)
    : ui::Dialog(parent, kLinkDialog),
      TDataWindow(parent),
      device_(device),
      firstChannel_(firstChannel),
      groupValue_(groupValue),
      gang_(this, kGang) {
  OnCommand(kGang, [this] { CmGang(); });
}

void TLinkDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  ReadGang();
}

// The pair is ganged only while both channels hold the gang's value: a level moved on one then
// moves the other. A pair the unit left half joined moves apart, and shows so.
void TLinkDialog::ReadGang() {
  gang_.ShowNoState();
  GuardedUnitCall(device_, [&] {
    bool ganged = true;
    for (int channel : {firstChannel_, firstChannel_ + 1}) {
      gChannelGroupObject.SetElement(channel);
      ganged = gChannelGroupObject.Read(device_) == groupValue_ && ganged;
    }
    gang_.SetCheck(ganged);
  });
}

// A gang the unit refuses for the second channel puts the first back: a refusal leaves the pair as
// it was, as every refused control does, rather than one channel in a group of its own that the box
// cannot show and a saved file would carry. A second write in doubt may have joined the pair: it is
// read, not undone.
void TLinkDialog::WriteGang(uint8_t value) {
  gChannelGroupObject.SetElement(firstChannel_);
  const uint8_t held = gChannelGroupObject.Read(device_);
  gChannelGroupObject.Write(device_, value);
  try {
    gChannelGroupObject.SetElement(firstChannel_ + 1);
    gChannelGroupObject.Write(device_, value);
  } catch (const ErrorObject& refusal) {
    if (const std::optional<std::string> left = PutBackFirst(held, value != 0)) {
      TellFirstLeft(refusal, *left);
    }
    throw;
  }
}

std::optional<std::string> TLinkDialog::PutBackFirst(uint8_t held, bool ganging) {
  const std::string left = ganging ? "ganged." : "out of the gang.";
  try {
    gChannelGroupObject.SetElement(firstChannel_);
    gChannelGroupObject.Write(device_, held);
    return std::nullopt;
  } catch (const ErrorObject&) {
    return "The first channel could not be put back: it was left " + left;
  } catch (const IQException&) {
    return "The first channel's put-back went unanswered: it may be left " + left;
  }
}

void TLinkDialog::TellFirstLeft(const ErrorObject& refusal, const std::string& left) {
  // The refusal and the channel left changed are one report, in one box that opens once the pane
  // and its window show what the unit holds; the guard the refusal then reaches passes it over.
  const std::string text = controls::TakeFailureText(device_, std::current_exception()) + left;
  controls::PutBackBeforeBox::Show(refusal, [this, text](const IQException&) {
    TellCommandOutcome(this, device_, text, "Gang");
  });
}

void TLinkDialog::TellGroupsChanged() {
  NotifyRecord changed{GroupChanged, 0, 0, nullptr};
  NotifyLocal(&changed);
}

void TLinkDialog::CmGang() {
  const auto value = static_cast<uint8_t>(gang_.IsChecked() ? groupValue_ : 0);
  // Whatever the unit made of the change, its window reads the groups it holds now.
  ChangeOnUnit(device_, [&] { WriteGang(value); },
               {.taken = [this] { TellGroupsChanged(); },
                .showUnit =
                    [this] {
                      ReadGang();
                      TellGroupsChanged();
                    }});
}

void TLinkDialog::Notify(NotifyRecord* record) {
  if (record->code == RefreshAll) ReadGang();
  TDataWindow::Notify(record);
}

bool TLinkDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.down && (key.code == ui::key::kReturn || key.code == ui::key::kEscape)) return true;
  return ui::Dialog::PreProcessKey(key);
}

TGroupTreeWindow::TGroupTreeWindow(ui::Window* parent, IQDeviceOrdavinex& device, int first,
                                   int last, int base)
    : ui::Window(parent),
      TDataWindow(parent),
      device_(device),
      first_(first),
      last_(last),
      base_(base),
      images_(kImagePixels, kImagePixels),
      tree_(this, kGroupTree) {
  images_.AddStrip(ui::Resources::Image(ovres::kTreeImages), ui::kWhite);
  OnMessage(ui::msg::kSize, [this](const ui::Message&) {
    const ui::Rect client = ClientRect();
    tree_.SetRect({0, 0, client.Width(), client.Height()});
    return ui::Param{0};
  });
}

TGroupTreeWindow::~TGroupTreeWindow() { Destroy(); }

void TGroupTreeWindow::SetupWindow() {
  ui::Window::SetupWindow();
  const ui::Rect client = ClientRect();
  tree_.SetRect({0, 0, client.Width(), client.Height()});
  tree_.SetImageList(&images_);
  BuildTree();
}

void TGroupTreeWindow::BuildTree() {
  tree_.DeleteAllItems();
  ui::TreeItem firstGroup;
  for (int value = 1; value <= device_.channels; ++value) {
    const ui::TreeItem group = tree_.InsertItem(
        ui::TreeItem{}, "Group " + std::to_string(value - base_), kGroupImage, 0, kGroupImage + 1);
    bool hasMembers = false;
    // A failed read leaves this group and goes on with the next.
    GuardedUnitCall(device_, [&] {
      for (int channel = first_; channel <= last_; ++channel) {
        gChannelGroupObject.SetElement(channel);
        if (gChannelGroupObject.Read(device_) != value) continue;
        gChannelNameObject.SetElement(channel);
        tree_.InsertItem(group, gChannelNameObject.Read(device_), kChannelImage, channel,
                         kChannelImage + 1);
        hasMembers = true;
      }
    });
    if (!hasMembers) {
      tree_.DeleteItem(group);
      continue;
    }
    tree_.Expand(group);
    if (!firstGroup) firstGroup = group;
  }
  if (firstGroup) tree_.Select(tree_.FirstChild(firstGroup));
}

void TGroupTreeWindow::Notify(NotifyRecord* record) {
  if (record->code == GroupChanged || record->code == ChannelRenamed ||
      record->code == RefreshAll) {
    BuildTree();
  }
  TDataWindow::Notify(record);
}

}  // namespace namespaceOV
