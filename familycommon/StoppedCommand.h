#pragma once

#include <exception>
#include <string>

class IQDevice;

namespace familycommon {

// A command on a unit (a load, a save, a copy, a report, a bank edit) that a bus failure stopped
// part way says the failure and what it left on the unit in one box: the failure, as the error
// dialog tells it, at the head of the closing message. The failure becomes the command's one
// report when this is made, inside the command's controls::OneReportScope, so that its later
// steps failing on the same unit (a put-back, a read again) are passed over; the box may come
// after the scope, once the command knows what the unit holds.
class StoppedCommand {
 public:
  // `device` is the unit the failure is told for.
  StoppedCommand(IQDevice& device, const std::exception_ptr& failure);

  // The closing box under `caption`: the failure, then `outcome`, what the unit now holds.
  void Tell(const std::string& outcome, const std::string& caption) const;

 private:
  std::string failureText_;
};

}  // namespace familycommon
