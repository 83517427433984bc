#include "app/PollBusDialog.h"

#include <algorithm>

#include "bus/IQDevice.h"
#include "bus/IQDeviceManager.h"
#include "bus/IQException.h"
#include "resources/AppIds.h"

TPollBusDialog::TPollBusDialog(ui::Window* parent, IQDeviceManager& manager,
                               const std::vector<IQDeviceType*>& types, const ui::ImageList& images,
                               std::vector<IQDevice*>& found, BusNotifier& notifier)
    : ui::Dialog(parent, appres::kPollBusDialog),
      manager_(manager),
      types_(types),
      images_(images),
      found_(found),
      notifier_(notifier),
      list_(this, appres::kFoundList) {
  OnMessage(kNextPassMessage, [](const ui::Message&) { return ui::Param{0}; });
}

void TPollBusDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  list_.SetImageList(&images_);
}

bool TPollBusDialog::IdleAction(long idleCount) {
  const bool more = ui::Dialog::IdleAction(idleCount);
  try {
    found_.clear();
    manager_.RollCall(types_, found_, notifier_);
    FillList();
  } catch (const IQException&) {
    // The next pass tries again; the list keeps what the last good pass showed.
  }
  ++passes_;
  Post(kNextPassMessage);
  return more;
}

void TPollBusDialog::FillList() {
  list_.DeleteAllItems();
  for (IQDevice* device : found_) {
    const std::string text = device->ListTextOrName();
    const auto type = std::find(types_.begin(), types_.end(), device->GetType());
    list_.InsertItem(list_.Count(), text, static_cast<int>(type - types_.begin()));
  }
}
