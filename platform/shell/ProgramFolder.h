#pragma once

#include <filesystem>

namespace shell {

// The folder the running program was started from (its manuals and help files lie beside it);
// empty when the system cannot tell.
std::filesystem::path ProgramFolder();

}  // namespace shell
