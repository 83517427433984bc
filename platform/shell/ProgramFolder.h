#pragma once

#include <filesystem>

namespace shell {

// The running program's own file (the class keys name it as the documents' opener); empty when
// the system cannot tell.
std::filesystem::path ProgramPath();

// The folder the running program was started from (its manuals and help files lie beside it);
// empty when the system cannot tell.
std::filesystem::path ProgramFolder();

}  // namespace shell
