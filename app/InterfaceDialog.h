#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"

class BusNotifier;
class CommPort;

// "Interface": the user picks the bus port from the port list and sets retries and read time-out.
// The choices reach the serial port only when the dialog closes with OK; they take effect at the
// port's next open.
class TInterfaceDialog : public ui::Dialog {
 public:
  TInterfaceDialog(ui::Window* parent, CommPort& port, BusNotifier& notifier);

  void CloseWindow(int result = ui::kIdCancel) override;

 protected:
  void SetupWindow() override;

 private:
  static constexpr int kMaxRetries = 99;
  static constexpr int kMaxTimeoutMs = 3000;
  static constexpr int kMinTimeoutMs = 10;

  void Apply();

  CommPort& port_;
  BusNotifier& notifier_;
  ui::ListBox ports_;
  ui::RadioButton baud9600_;
  ui::RadioButton baud19200_;
  ui::RadioButton baud38400_;
  ui::Edit retries_;
  ui::Edit timeout_;
};
