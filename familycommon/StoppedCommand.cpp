#include "familycommon/StoppedCommand.h"

#include "controls/ClientWindow.h"
#include "controls/DeviceErrorReport.h"
#include "platform/ui/MessageBox.h"

namespace familycommon {

StoppedCommand::StoppedCommand(IQDevice& device, const std::exception_ptr& failure)
    : failureText_(controls::TakeFailureText(device, failure)) {}

void StoppedCommand::Tell(const std::string& outcome, const std::string& caption) const {
  ui::MessageBox(controls::ClientWindow(), failureText_ + outcome, caption,
                 ui::mb::kOk | ui::mb::kIconStop);
}

}  // namespace familycommon
