#pragma once

#include "bus/IQDevice.h"

namespace bustest {

// A unit with nothing of a family's own: it opens without a window and has no files, report or
// copy, so that only the bus framework is exercised.
class TestDevice : public IQDevice {
 public:
  using IQDevice::IQDevice;
  bool DoOpen(ui::Window*) override { return true; }
  bool LoadFile() override { return false; }
  bool SaveFile() override { return false; }
  bool PrintReport() override { return false; }
  bool CopyFrom(IQDevice&) override { return false; }
};

}  // namespace bustest
