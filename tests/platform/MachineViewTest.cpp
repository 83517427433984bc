#include <gtest/gtest.h>

#include "platform/serial/MachineView.h"
#include "tests/platform/FakeSysfs.h"
#include "tests/platform/PseudoTerminal.h"
#include "tests/platform/TempDir.h"

namespace serial {
namespace {

using testing_support::FakeSysfs;
using testing_support::PseudoTerminal;
using testing_support::TempDir;
using Names = std::vector<std::string>;

constexpr const char* kCables = "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS";
constexpr const char* kSerialMap = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

class MachineViewTest : public ::testing::Test {
 protected:
  MachineViewTest() : sysfs_(dir_), store_(dir_.Path() / "user-store.txt") {
    sysfs_.AddLegacyTty("ttyS0", "4");
    sysfs_.AddLegacyTty("ttyS1", "0");
    sysfs_.AddUsbTty("ttyUSB0", "1-1", "0403", "6001", "A50285BI");
    sysfs_.AddStableName("usb-Cable_A50285BI-if00-port0", "ttyUSB0");
    sysfs_.AddUsbTty("ttyUSB1", "1-2", "067b", "2303", "");
    sysfs_.AddUsbTty("ttyUSB2", "1-3", "0403", "6001", "");
  }

  std::string Dev(const std::string& name) const { return (dir_.Path() / "dev" / name).string(); }
  std::string StableCable() const { return Dev("serial/by-id/usb-Cable_A50285BI-if00-port0"); }

  TempDir dir_;
  FakeSysfs sysfs_;
  registry::Store store_;
  ComNumberTable numbers_{store_.Root().OpenSubKey("COM Numbers", true)};
  MachineView view_{sysfs_.Roots(), numbers_};
};

TEST_F(MachineViewTest, ListsTheMakersCablesAndEverySerialPort) {
  PseudoTerminal pty;
  numbers_.Enter(9, pty.SlavePath());
  numbers_.Enter(7, "/dev/pts/no-such-terminal");

  registry::Key root = view_.Refresh();

  registry::Key cables = root.OpenSubKey(kCables, false);
  EXPECT_EQ(cables.SubKeyNames(),
            (Names{"VID_0403+PID_6001+A50285BI", "VID_0403+PID_6001+ttyUSB2"}));
  registry::Key parameters =
      cables.OpenSubKey("VID_0403+PID_6001+A50285BI\\0000\\Device Parameters", false);
  EXPECT_EQ(parameters.ValueNames(), (Names{"PortName"}));
  EXPECT_EQ(parameters.GetString("PortName"), "COM2");
  EXPECT_EQ(cables.OpenSubKey("VID_0403+PID_6001+ttyUSB2\\0000\\Device Parameters", false)
                .GetString("PortName"),
            "COM4");

  // Read from the last value back, the ports come in rising order.
  registry::Key serialMap = root.OpenSubKey(kSerialMap, false);
  EXPECT_EQ(serialMap.ValueNames(),
            (Names{pty.SlavePath(), Dev("ttyUSB2"), Dev("ttyUSB1"), StableCable(), Dev("ttyS0")}));
  EXPECT_EQ(serialMap.GetString(pty.SlavePath()), "COM9");
  EXPECT_EQ(serialMap.GetString(Dev("ttyUSB1")), "COM3");
  EXPECT_EQ(serialMap.GetString(Dev("ttyS0")), "COM1");

  // Nobody writes the hardware keys.
  EXPECT_FALSE(serialMap.SetString("extra", "COM5"));
  EXPECT_FALSE(parameters.SetString("PortName", "COM5"));
  EXPECT_FALSE(root.OpenSubKey("SOFTWARE", true).IsValid());
  EXPECT_FALSE(root.DeleteSubKeyTree(kCables));
  EXPECT_EQ(parameters.GetString("PortName"), "COM2");
}

TEST_F(MachineViewTest, ARefreshFollowsThePlugAndKeepsNumbers) {
  registry::Key serialMap = view_.Refresh().OpenSubKey(kSerialMap, false);
  ASSERT_EQ(serialMap.GetString(StableCable()), "COM2");

  sysfs_.Unplug("ttyUSB0");
  view_.Refresh();
  EXPECT_EQ(serialMap.GetString(StableCable()), std::nullopt);

  sysfs_.AddUsbTty("ttyUSB5", "1-4", "0403", "6001", "NEWCABLE");
  sysfs_.AddUsbTty("ttyUSB0", "1-1", "0403", "6001", "A50285BI");
  view_.Refresh();
  EXPECT_EQ(serialMap.GetString(StableCable()), "COM2");
  EXPECT_EQ(serialMap.GetString(Dev("ttyUSB5")), "COM5");
}

// An adapter with no stable name, unplugged and plugged back in, comes back as another tty: it
// keeps its COM number, and a line opened under that number reaches it there.
TEST_F(MachineViewTest, AnAdapterThatComesBackAsAnotherTtyKeepsItsNumber) {
  PseudoTerminal first;
  PseudoTerminal second;
  sysfs_.AddUsbTty("ttyUSB3", "2-1", "0403", "6001", "FT9Z1");
  dir_.Link("dev/ttyUSB3", first.SlavePath());
  registry::Key serialMap = view_.Refresh().OpenSubKey(kSerialMap, false);
  const std::optional<std::string> com = serialMap.GetString(Dev("ttyUSB3"));
  ASSERT_EQ(com, "COM5");

  sysfs_.Unplug("ttyUSB3");
  std::filesystem::remove(dir_.Path() / "dev/ttyUSB3");
  sysfs_.AddUsbTty("ttyUSB7", "2-1", "0403", "6001", "FT9Z1");
  dir_.Link("dev/ttyUSB7", second.SlavePath());
  sysfs_.AddUsbTty("ttyUSB8", "2-2", "067b", "2303", "");
  view_.Refresh();
  EXPECT_EQ(serialMap.GetString(Dev("ttyUSB3")), std::nullopt);
  EXPECT_EQ(serialMap.GetString(Dev("ttyUSB7")), com);
  EXPECT_EQ(serialMap.GetString(Dev("ttyUSB8")), "COM6") << "the old tty's name held no number";

  auto line = MakeSystemLine(ComPathsOf(numbers_, sysfs_.Roots()));
  ASSERT_EQ(line->Open(*com), Failure::None);
  const uint8_t byte = 0x5A;
  EXPECT_EQ(line->Write(&byte, 1), 1);
  EXPECT_EQ(second.Receive(1, 1000), std::vector<unsigned char>{0x5A});
  line->Close();

  sysfs_.Unplug("ttyUSB7");
  view_.Refresh();
  EXPECT_EQ(line->Open(*com), Failure::NoSuchPort) << "unplugged";
}

}  // namespace
}  // namespace serial
