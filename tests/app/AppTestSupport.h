#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ClientDialog.h"
#include "bus/IQDevice.h"
#include "bus/IQDeviceType.h"
#include "platform/registry/Key.h"
#include "platform/shell/OpenDocument.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Prompts.h"
#include "sim/SimulatedBus.h"
#include "tests/support/OutputPath.h"

namespace apptest {

// The family the simulated units of these tests belong to.
inline constexpr uint32_t kTestFamily = 368;
// The COM number the simulated bus is entered under.
inline constexpr int kSimComNumber = 4;

// What a test device's file, report and copy operations did, and what they should do next.
struct DeviceLog {
  int reports = 0;
  int saves = 0;
  int loads = 0;
  std::vector<std::string> copiedFrom;
  // Run by LoadFile and CopyFrom before they do their work: a test makes them throw.
  std::function<void()> onLoad;
  std::function<void()> onCopy;
  int opens = 0;
  // Units whose list text cannot be read (their name read fails).
  std::vector<int> unreadableListText;
};

class TestUnit : public IQDevice {
 public:
  TestUnit(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info, DeviceLog& log)
      : IQDevice(type, manager, info), log_(log) {}
  bool DoOpen(ui::Window*) override {
    ++log_.opens;
    return true;
  }
  bool LoadFile() override;
  bool SaveFile() override {
    ++log_.saves;
    SetModified(false);
    return true;
  }
  bool PrintReport() override {
    ++log_.reports;
    return true;
  }
  bool CopyFrom(IQDevice& source) override {
    if (log_.onCopy) log_.onCopy();
    log_.copiedFrom.push_back(source.GetName());
    if (GetInfo().IsVirtual()) SetModified(true);
    return true;
  }
  bool GetListText(std::string& text) const override;

 private:
  DeviceLog& log_;
};

// Accepts every record of the test family.
class TestUnitType : public IQDeviceType {
 public:
  explicit TestUnitType(DeviceLog& log, std::string name = "Test Unit");
  IQDevice* CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) override;
  std::string GetName() const override { return name_; }
  bool GetSpecialCommand(std::string& text) const override {
    text = "Test special";
    return true;
  }

 private:
  DeviceLog& log_;
  std::string name_;
};

// A desktop that opens nothing and says it has no viewer.
class NoViewerDesktop : public shell::Desktop {
 public:
  ViewerAnswer ViewerFor(const std::string&) override { return ViewerAnswer::NoneRegistered; }
  LaunchAnswer Launch(const std::string&) override { return LaunchAnswer::Failed; }
};

// The program's settings key in the test's own settings store.
registry::Key SettingsKey();
// The failure handler for prompt scripts: fails the running test.
void FailTest(const std::string& what);
using testsupport::OutputPath;

// A simulated bus entered under COM 4, the main frame with its client dialog, and one test type.
// The window is built by Start, so that each test first arranges the settings it starts with.
class ShellTest : public ::testing::Test {
 protected:
  ShellTest();
  ~ShellTest() override;

  void AddUnits(std::initializer_list<int> addresses);
  // The client registers the program's own device types instead of the test type.
  void UseBuiltInTypes() { builtInTypes_ = true; }
  // Builds and shows the main frame and its client.
  void Start();
  // Runs a command that shows one message box, answers it with OK and returns it; a command that
  // shows none or more fails the test.
  ui::Prompt OneMessageFrom(int command);
  // Roll call answered with OK to its one message: the count, or why there was none.
  ui::Prompt RollCall();
  TTelvo33DlgClient& client() { return *client_; }
  ui::Frame& frame() { return *frame_; }
  std::vector<std::string> Items(TDeviceListWindow& list) const;
  int ItemNamed(TDeviceListWindow& list, const std::string& text) const;
  // The centre of an item, and of the empty room below the items, in the client's coordinates.
  ui::Point ItemPoint(TDeviceListWindow& list, int item);
  ui::Point EmptyPoint(TDeviceListWindow& list);
  void RightClick(TDeviceListWindow& list, ui::Point clientPoint);
  void Drag(TDeviceListWindow& from, int item, ui::Point clientDropPoint);
  IQDevice* DeviceOf(TDeviceListWindow& list, int item) const;
  // The bus unit at `address`, opened as the user opens it, by a double click in the bus list,
  // unless it is open; throws when there is none.
  IQDevice& OpenBusUnit(int address);

  DeviceLog log;
  sim::SimulatedBus bus;
  NoViewerDesktop desktop;

 private:
  bool builtInTypes_ = false;
  std::unique_ptr<TTelvo33DlgClient> client_;
  std::unique_ptr<ui::Frame> frame_;
};

}  // namespace apptest
