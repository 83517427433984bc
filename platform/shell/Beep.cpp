#include "platform/shell/Beep.h"

#include <QApplication>

namespace shell {

void Beep() { QApplication::beep(); }

}  // namespace shell
