#include "sim/LineAssembler.h"

#include <utility>

namespace sim {

std::vector<std::string> LineAssembler::Add(std::string_view bytes) {
  std::vector<std::string> lines;
  for (const char byte : bytes) {
    if (byte == '\n') {
      lines.push_back(std::exchange(pending_, {}));
    } else if (pending_.size() <= maxBytes_) {
      pending_.push_back(byte);
    }
  }
  return lines;
}

std::vector<std::string> LineAssembler::Finish() {
  if (pending_.empty()) return {};
  return {std::exchange(pending_, {})};
}

}  // namespace sim
