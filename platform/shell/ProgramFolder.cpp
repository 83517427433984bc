#include "platform/shell/ProgramFolder.h"

#include <system_error>

namespace shell {

std::filesystem::path ProgramPath() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : program;
}

std::filesystem::path ProgramFolder() { return ProgramPath().parent_path(); }

}  // namespace shell
