#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// Puts text that arrives in pieces back into lines. A line keeps at most `maxBytes` + 1 bytes, so
// a stream that never ends a line cannot grow without bound, and a reader that takes no line
// longer than `maxBytes` still sees that it was too long.
class LineAssembler {
 public:
  explicit LineAssembler(std::size_t maxBytes) : maxBytes_(maxBytes) {}

  // The lines `bytes` completes, without their line feeds.
  std::vector<std::string> Add(std::string_view bytes);
  // The unfinished last line, once the text has ended; nothing when the text ended a line.
  std::vector<std::string> Finish();

 private:
  const std::size_t maxBytes_;
  std::string pending_;
};

}  // namespace sim
