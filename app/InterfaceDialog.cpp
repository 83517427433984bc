#include "app/InterfaceDialog.h"

#include <cstdlib>

#include "bus/BusNotifier.h"
#include "bus/CommPort.h"
#include "bus/PortList.h"
#include "platform/ui/Validator.h"
#include "resources/AppIds.h"

using namespace appres;

TInterfaceDialog::TInterfaceDialog(ui::Window* parent, CommPort& port, BusNotifier& notifier)
    : ui::Dialog(parent, kInterfaceDialog),
      port_(port),
      notifier_(notifier),
      ports_(this, kPortList),
      baud9600_(this, kBaud9600),
      baud19200_(this, kBaud19200),
      baud38400_(this, kBaud38400),
      retries_(this, kRetriesEdit, 2),
      timeout_(this, kTimeoutEdit, 4) {}

void TInterfaceDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  // The bus always runs at one rate; the buttons only show it.
  baud9600_.SetCheck(port_.GetBaudRate() == 9600);
  baud19200_.SetCheck(port_.GetBaudRate() == 19200);
  baud38400_.SetCheck(port_.GetBaudRate() == 38400);

  ports_.Clear();
  for (const PortInfo& entry : EnumeratePorts()) {
    const std::string line = std::string(entry.usb ? "USB - " : "SER - ") + entry.displayName +
                             "  (" + entry.statusText + ")";
    const int index = ports_.AddString(line, entry.portNumber);
    if (entry.selected) ports_.SetSelection(index);
  }

  retries_.SetValidator(std::make_unique<ui::RangeValidator>(1, kMaxRetries));
  retries_.SetText(std::to_string(port_.GetRetries()));
  timeout_.SetValidator(std::make_unique<ui::RangeValidator>(kMinTimeoutMs, kMaxTimeoutMs));
  timeout_.SetText(std::to_string(port_.GetReadTimeout()));
}

void TInterfaceDialog::CloseWindow(int result) {
  // Only values the user accepted with OK, and that passed their validators, are applied.
  const bool accepted =
      IsCreated() && result == ui::kIdOk && retries_.IsValid() && timeout_.IsValid();
  const int selected = IsCreated() ? ports_.Selection() : -1;
  const ui::Param selectedPort = selected >= 0 ? ports_.ItemData(selected) : 0;
  ui::Dialog::CloseWindow(result);
  if (!accepted) return;

  port_.SetRetries(static_cast<uint32_t>(std::atoi(retries_.Text().c_str())));
  port_.SetReadTimeout(static_cast<uint32_t>(std::atoi(timeout_.Text().c_str())));
  if (selected >= 0) ThePortList().SelectPortByNumber(static_cast<int32_t>(selectedPort));
  const PortInfo* entry = ThePortList().GetSelectedPort();
  if (entry == nullptr) {
    // Nothing chosen, now or before: the port keeps what it had, and the user is asked to choose.
    CommPort::ReportNoInterface(notifier_);
    return;
  }
  port_.SetName(entry->displayName);
  port_.SetPortNumber(entry->portNumber);
}
