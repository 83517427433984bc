#pragma once

#include <vector>

#include "app/MessageNotifier.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/ListView.h"

class IQDevice;
class IQDeviceManager;
class IQDeviceType;
namespace ui {
class ImageList;
}

// "Poll Bus": runs one roll call after another while the message loop is idle and shows the
// units of the last pass, until the user presses Stop. `found` then holds the last pass's devices.
class TPollBusDialog : public ui::Dialog {
 public:
  TPollBusDialog(ui::Window* parent, IQDeviceManager& manager,
                 const std::vector<IQDeviceType*>& types, const ui::ImageList& images,
                 std::vector<IQDevice*>& found, BusNotifier& notifier);

  bool IdleAction(long idleCount) override;
  int PassCount() const { return passes_; }

 protected:
  void SetupWindow() override;

 private:
  // Posted to itself after each pass so that the loop comes back to idle at once; nothing
  // handles it.
  static constexpr ui::MessageId kNextPassMessage = 501;

  void FillList();

  IQDeviceManager& manager_;
  const std::vector<IQDeviceType*>& types_;
  const ui::ImageList& images_;
  std::vector<IQDevice*>& found_;
  // A conflict that lasts would otherwise raise its message box on every pass.
  FirstMessageOnly notifier_;
  ui::ListView list_;
  int passes_ = 0;
};
