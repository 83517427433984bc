#include "platform/serial/UserPorts.h"

#include "platform/registry/UserRoot.h"
#include "platform/serial/MachineView.h"
#include "platform/serial/SerialLine.h"

namespace serial {

namespace {

constexpr const char* kComNumbersKey = "TelvoWin2 Ports\\COM Numbers";

}  // namespace

ComNumberTable& UserComNumbers() {
  static ComNumberTable table(registry::UserRoot().OpenSubKey(kComNumbersKey, true));
  return table;
}

std::unique_ptr<Line> MakeSystemLine() { return MakeSystemLine(ComPathsOf(UserComNumbers())); }

}  // namespace serial

namespace registry {

Key MachineRoot() {
  static serial::MachineView view(serial::DiscoveryRoots{}, serial::UserComNumbers());
  return view.Refresh();
}

}  // namespace registry
