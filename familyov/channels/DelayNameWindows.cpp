#include "familyov/channels/DelayNameWindows.h"

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/TMemoryWindow.h"

namespace namespaceOV {
namespace {

constexpr int kDelayWidth = 400;
constexpr int kDelayHeight = 200;
constexpr int kNamesWidth = 200;
constexpr int kInputNamesHeight = 200;
constexpr int kOutputNamesHeight = 400;
// From this many outputs the delay panes take two rows.
constexpr int kTwoRowOutputs = 3;

// At the top left of the work area, with the unit's icon.
void Place(ui::Window& window, IQDeviceOrdavinex& device, int width, int height) {
  const ui::Rect area = ui::Window::ScreenWorkArea();
  window.SetRect({area.left, area.top, area.left + width, area.top + height});
  window.SetIcon(device.GetModelBitmapId());
}

// The channel indexes of one side.
std::vector<int> SideChannels(const IQDeviceOrdavinex& device, bool outputs) {
  std::vector<int> channels;
  const int first = outputs ? device.firstOutput : 0;
  const int count = outputs ? device.outputs : device.inputs;
  for (int channel = first; channel < first + count; ++channel) channels.push_back(channel);
  return channels;
}

}  // namespace

TDelayWindow::TDelayWindow(TEditOVWindow& editWindow, const std::string& title, bool outputs)
    : OVChild<ui::LayoutWindow>(editWindow, title, nullptr),
      outputs_(outputs),
      group_(this),
      units_(&group_, Device()) {
  Place(*this, Device(), kDelayWidth, kDelayHeight);
  SetChildMetrics(group_, ui::LayoutMetrics::FillingClientArea());
  for (int channel : SideChannels(Device(), outputs)) {
    panes_.push_back(std::make_unique<TDelayDialog>(&group_, Device(), channel));
  }
}

TDelayWindow::~TDelayWindow() { Destroy(); }

void TDelayWindow::SetupWindow() {
  ui::LayoutWindow::SetupWindow();
  const int count = PaneCount();
  const int secondRow = outputs_ && count >= kTwoRowOutputs ? count / 2 : -1;
  for (int index = 0; index < count; ++index) group_.AddPane(&Pane(index), index == secondRow);
  group_.SetEdgePane(&units_, TGroupWindow::kLeft);
}

TInputDelayWindow::TInputDelayWindow(TEditOVWindow& editWindow)
    : TDelayWindow(editWindow, "Input Delay", false) {}

TOutputDelayWindow::TOutputDelayWindow(TEditOVWindow& editWindow)
    : TDelayWindow(editWindow, "Output Delay", true) {}

TNameWindow::TNameWindow(TEditOVWindow& editWindow, bool outputs)
    : OVChild<ui::LayoutWindow>(editWindow, "Names", nullptr), group_(this) {
  Place(*this, Device(), kNamesWidth, outputs ? kOutputNamesHeight : kInputNamesHeight);
  SetChildMetrics(group_, ui::LayoutMetrics::FillingClientArea());
  group_.flowDown = true;
  for (int channel : SideChannels(Device(), outputs)) {
    panes_.push_back(std::make_unique<TNameDialog>(&group_, Device(), channel));
  }
}

TNameWindow::~TNameWindow() { Destroy(); }

void TNameWindow::SetupWindow() {
  ui::LayoutWindow::SetupWindow();
  for (auto& pane : panes_) group_.AddPane(pane.get());
}

}  // namespace namespaceOV
