// telvowin: the program a user starts.

#include "app/DeviceTypes.h"
#include "app/TelvoApp.h"
#include "platform/shell/OpenDocument.h"

int main(int argc, char** argv) {
  TTelvo33App app(argc, argv, MakeDeviceTypes, shell::SystemDesktop());
  return app.Exec();
}
