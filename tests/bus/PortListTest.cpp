#include <gtest/gtest.h>

#include "bus/CommPort.h"
#include "bus/IQException.h"
#include "bus/PortList.h"
#include "platform/registry/Store.h"
#include "tests/bus/BusTestSupport.h"

namespace {

constexpr char kAdapters[] = "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS";
constexpr char kSerialMap[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

struct PortListTest : testing::Test {
  registry::Store store;
  PortList ports;
  std::vector<std::string> probed;
  std::map<std::string, std::string> statusOf;

  PortProbe Probe() {
    return [this](const std::string& name) {
      probed.push_back(name);
      return statusOf.contains(name) ? statusOf[name] : "OK";
    };
  }
  void AddAdapterPort(const std::string& adapter, const std::string& portName) {
    store.Root()
        .OpenSubKey(std::string(kAdapters) + "\\" + adapter + "\\0000\\Device Parameters", true)
        .SetString("PortName", portName);
  }
  void AddSerialPort(const std::string& valueName, const std::string& portName) {
    store.Root().OpenSubKey(kSerialMap, true).SetString(valueName, portName);
  }
  std::vector<std::string> Listed() const {
    std::vector<std::string> listed;
    for (const PortInfo& p : ports.Entries()) {
      listed.push_back(p.displayName + "/" + std::to_string(p.portNumber) + (p.usb ? "/usb" : ""));
    }
    return listed;
  }
};

TEST_F(PortListTest, MakersCableFirstThenPlainPortsLastValueFirstWithoutDuplicates) {
  AddAdapterPort("VID_0403+PID_6001+FT12345A", "COM5");
  AddAdapterPort("VID_0403+PID_6010+FT999", "COM9");  // another converter: not the cable
  AddSerialPort("\\Device\\Serial0", "COM1");
  AddSerialPort("\\Device\\VCP0", "COM5");
  AddSerialPort("\\Device\\Serial1", "COM2");
  statusOf["COM2"] = "Unavailable";
  ports.EnumeratePorts(store.Root(), Probe());
  EXPECT_EQ(Listed(), (std::vector<std::string>{"Ordavinex /5/usb", "COM2/2", "COM1/1"}));
  EXPECT_FALSE(ports.FindPortByNumber(2)->available);
  EXPECT_EQ(ports.FindPortByNumber(2)->statusText, "Unavailable");
}

TEST_F(PortListTest, PlainPortsAreListedWithoutAnyUsbAdapter) {
  AddSerialPort("\\Device\\Serial0", "COM1");
  AddSerialPort("(Default)", "COM7");
  ports.EnumeratePorts(store.Root(), Probe());
  EXPECT_EQ(Listed(), std::vector<std::string>{"COM1/1"});
}

TEST_F(PortListTest, RebuildKeepsTheSelectionAndItsStatusWithoutProbingIt) {
  AddSerialPort("\\Device\\Serial0", "COM1");
  AddSerialPort("\\Device\\Serial1", "COM2");
  ports.EnumeratePorts(store.Root(), Probe());
  ports.SelectPortByNumber(1);
  probed.clear();
  statusOf["COM1"] = "Unavailable";  // in use by this very program
  const auto copy = ports.EnumeratePorts(store.Root(), Probe());
  EXPECT_EQ(probed, std::vector<std::string>{"COM2"});
  ASSERT_NE(ports.GetSelectedPort(), nullptr);
  EXPECT_EQ(ports.GetSelectedPort()->portNumber, 1);
  EXPECT_EQ(ports.GetSelectedPort()->statusText, "OK");
  EXPECT_EQ(copy.size(), ports.Entries().size());
  ports.SelectPort(&copy[0]);  // not an entry of the list: nothing is selected
  EXPECT_EQ(ports.GetSelectedPort(), nullptr);
}

TEST_F(PortListTest, DefaultPrefersAvailableUsbThenAnyUsbThenAvailablePlain) {
  AddAdapterPort("VID_0403+PID_6001+A", "COM5");
  AddAdapterPort("VID_0403+PID_6001+B", "COM6");
  AddSerialPort("\\Device\\Serial0", "COM1");
  statusOf["COM5"] = "Unavailable";
  ports.EnumeratePorts(store.Root(), Probe());
  EXPECT_EQ(ports.ChooseDefaultPort()->portNumber, 6);
  statusOf["COM6"] = "Problem";
  ports.EnumeratePorts(store.Root(), Probe());
  EXPECT_EQ(ports.ChooseDefaultPort()->portNumber, 5);
  EXPECT_EQ(ports.FindPortByName("COM1")->portNumber, 1);
}

TEST_F(PortListTest, OpenErrorOfAUsbEntrySpeaksOfTheCable) {
  AddAdapterPort("VID_0403+PID_6001+A", "COM5");
  ports.EnumeratePorts(store.Root(), Probe());
  auto line = std::make_shared<bustest::LineScript>();
  CommPort port(5, kBusBaudRate, bustest::ScriptedLines(line));
  const std::vector<std::pair<serial::Failure, std::string>> cases{
      {serial::Failure::NoSuchPort,
       "The USB cable does not appear to be plugged in, or is not plugged in to a Telvo "
       "Instruments unit."},
      {serial::Failure::InUse,
       "The USB port is in use by another program and cannot be used by TelvoWindows at this "
       "time."},
      {serial::Failure::Other, "An error has occured while trying to access the USB port."}};
  for (const auto& [failure, text] : cases) {
    bustest::RecordingNotifier notifier;
    line->openFailure = failure;
    EXPECT_THROW(port.Open(), NoCommHandle);
    port.ReportOpenError(notifier, ports);
    bustest::ExpectOnlyMessage(notifier, text, "Problem accessing a USB port.");
  }
}

}  // namespace
