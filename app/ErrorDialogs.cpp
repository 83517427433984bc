#include "app/ErrorDialogs.h"

#include "bus/IQDataSocket.h"
#include "bus/IQDevice.h"
#include "bus/IQException.h"
#include "bus/UCodeObject.h"
#include "resources/AppIds.h"

namespace {
constexpr const char* kNone = "---";
constexpr std::size_t kMaxFieldChars = 255;

std::string Bounded(std::string text) {
  if (text.size() > kMaxFieldChars) text.resize(kMaxFieldChars);
  return text;
}
}  // namespace

DeviceErrorDialog::DeviceErrorDialog(int resourceId, std::string description,
                                     const IQDevice* lastDevice, const UCodeObject* lastObject,
                                     ui::Window* parent)
    : ui::Dialog(parent, resourceId),
      description_(std::move(description)),
      lastDevice_(lastDevice),
      lastObject_(lastObject) {
  // A failure report stays above every other window until the user continues.
  SetStaysOnTop(true);
}

void DeviceErrorDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  auto field = [this](int id, const std::string& text) {
    if (ui::Control* c = ControlById(id)) c->SetText(Bounded(text));
  };
  field(appres::kErrorDescription, description_);
  field(appres::kErrorObjectId, lastObject_ ? std::to_string(lastObject_->GetId()) : kNone);
  field(appres::kErrorDeviceType, lastDevice_ ? lastDevice_->GetTypeName() : kNone);
  field(appres::kErrorAddress,
        lastDevice_ ? std::to_string(lastDevice_->GetInfo().address) : kNone);
}

TErrorDialog::TErrorDialog(const IQException& error, const IQDevice* lastDevice,
                           const UCodeObject* lastObject, ui::Window* parent)
    : DeviceErrorDialog(appres::kErrorDialog, error.GetText(), lastDevice, lastObject, parent) {}

TErrorObjectDialog::TErrorObjectDialog(const std::string& errorText, const IQDevice* lastDevice,
                                       const UCodeObject* lastObject, ui::Window* parent)
    : DeviceErrorDialog(appres::kErrorObjectDialog, errorText, lastDevice, lastObject, parent) {}

void ShowDeviceError(const IQException& error, IQDevice* device, int code, ui::Window* parent) {
  // The failure names its own request; where it names none, the socket's last one is the best
  // guess.
  const IQDataSocket* socket = device ? device->CurrentSocket() : nullptr;
  const IQDevice* lastDevice = error.FailedDevice();
  const UCodeObject* lastObject = error.FailedObject();
  if (lastDevice == nullptr) {
    lastDevice = socket ? socket->LastDevice() : nullptr;
    lastObject = socket ? socket->LastObject() : nullptr;
  }
  if (code >= 0) {
    const std::string text =
        device ? device->GetErrorText(code) : "Error object code " + std::to_string(code);
    TErrorObjectDialog(text, lastDevice, lastObject, parent).Execute();
  } else {
    TErrorDialog(error, lastDevice, lastObject, parent).Execute();
  }
}
