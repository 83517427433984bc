#include "bus/IQDeviceType.h"

bool IQDeviceType::GetHelp(std::string&, std::string&) const { return false; }

bool IQDeviceType::GetSpecialCommand(std::string&) const { return false; }

void IQDeviceType::DoSpecialCommand(IQDeviceManager*) {}
