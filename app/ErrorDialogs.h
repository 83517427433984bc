#pragma once

#include <string>

#include "platform/ui/Dialog.h"

class IQDevice;
class IQException;
class UCodeObject;

// Fills the four value fields shared by both error dialogs: what failed, and the last device and
// parameter object the transport addressed ("---" where there is none).
class DeviceErrorDialog : public ui::Dialog {
 public:
  DeviceErrorDialog(int resourceId, std::string description, const IQDevice* lastDevice,
                    const UCodeObject* lastObject, ui::Window* parent);

 protected:
  void SetupWindow() override;

 private:
  std::string description_;
  const IQDevice* lastDevice_;
  const UCodeObject* lastObject_;
};

// "Communication Error": the communication path failed.
class TErrorDialog : public DeviceErrorDialog {
 public:
  TErrorDialog(const IQException& error, const IQDevice* lastDevice, const UCodeObject* lastObject,
               ui::Window* parent);
};

// "Error Object": the unit answered with its error object.
class TErrorObjectDialog : public DeviceErrorDialog {
 public:
  TErrorObjectDialog(const std::string& errorText, const IQDevice* lastDevice,
                     const UCodeObject* lastObject, ui::Window* parent);
};

// Reports a failed bus operation: a code of 0 or more is the unit's error code (error-object
// dialog), a negative code a failure of the path. `device` may be null when no device is
// concerned; the dialogs then name none. Without a `parent` the dialog stands on its own.
void ShowDeviceError(const IQException& error, IQDevice* device, int code,
                     ui::Window* parent = nullptr);
