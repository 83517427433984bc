#pragma once

#include <exception>
#include <string>

class IQDevice;
class UCodeObject;

// Every failure on the serial port or the bus is reported by throwing one of these; the bus layer
// never returns error codes. Handlers catch `ErrorObject` first (it carries the unit's own code)
// and then `IQException` for everything else.
class IQException : public std::exception {
 public:
  virtual std::string GetText() const { return "Unspecified Exception"; }
  const char* what() const noexcept override { return "bus exception"; }

  // The request that failed, for the report, kept with the failure itself: what a program does
  // after a failure (putting a unit's settings back, say) makes requests of its own, and the
  // report must still name the one that failed. Null where no device's request failed.
  const IQDevice* FailedDevice() const { return failedDevice_; }
  const UCodeObject* FailedObject() const { return failedObject_; }
  // Records the request the failure left first; a later record does not replace it.
  void RecordRequest(const IQDevice& device, const UCodeObject& object) {
    if (failedDevice_ != nullptr) return;
    failedDevice_ = &device;
    failedObject_ = &object;
  }

 private:
  const IQDevice* failedDevice_ = nullptr;
  const UCodeObject* failedObject_ = nullptr;
};

#define TELVO_BUS_EXCEPTION(Name, Text)                         \
  class Name : public IQException {                             \
   public:                                                      \
    std::string GetText() const override { return Text; }       \
    const char* what() const noexcept override { return Text; } \
  };

TELVO_BUS_EXCEPTION(NoCommHandle, "Could not get valid COM port handle.")
TELVO_BUS_EXCEPTION(GetStateError, "Could not get the state of the COM port.")
TELVO_BUS_EXCEPTION(SetStateError, "Could not set the state of the COM port.")
TELVO_BUS_EXCEPTION(WriteError, "Non-timeout error trying to write to COM port.")
TELVO_BUS_EXCEPTION(WriteTimeout, "Timeout error during write to COM port.")
TELVO_BUS_EXCEPTION(DuplexEchoError, "Failed to receive expected echo from duplex interface.")
TELVO_BUS_EXCEPTION(CloseError, "Error trying to close COM port.")
TELVO_BUS_EXCEPTION(ReadError, "Non-timeout error trying to read from COM port.")
TELVO_BUS_EXCEPTION(ReadTimeout, "Timeout error during read from COM port.")
TELVO_BUS_EXCEPTION(TooManyBytes, "Too many bytes in ASN.1 encoded value.")
TELVO_BUS_EXCEPTION(ChecksumError, "Read invalid checksum in message.")
TELVO_BUS_EXCEPTION(InterfaceNotPresent, "Interface not responding.")
TELVO_BUS_EXCEPTION(NoData, "No data sent in response from device.")
// Replies are untrusted: these refuse lengths the packet limit or the object cannot hold, and a
// unit that never accepts a request, instead of overrunning a buffer or looping for ever.
TELVO_BUS_EXCEPTION(ReplyTooLong, "Reply from device is longer than allowed.")
TELVO_BUS_EXCEPTION(ShortReply, "Reply from device is shorter than expected.")
TELVO_BUS_EXCEPTION(DeviceBusy, "Device did not accept the request after repeated attempts.")
TELVO_BUS_EXCEPTION(ValueTooLong, "Value is too long for the parameter.")

#undef TELVO_BUS_EXCEPTION

// The unit answered from its error object; `code` is the unit's error code, which each family
// turns into a text.
class ErrorObject : public IQException {
 public:
  explicit ErrorObject(int code) : code(code) {}
  std::string GetText() const override { return "Received response from error object."; }
  const char* what() const noexcept override { return "Received response from error object."; }
  int code;
};
