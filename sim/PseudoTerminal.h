#pragma once

#include <string>

namespace sim {

// A pseudo-terminal whose master end the bus serves. The slave stays open here too, in raw mode,
// so that the program's close does not hang the line up and no line discipline touches a byte.
class PseudoTerminal {
 public:
  // Throws std::system_error when the system gives no pseudo-terminal.
  PseudoTerminal();
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // The non-blocking master descriptor, or -1 once closed.
  int Master() const { return master_; }
  const std::string& SlavePath() const { return slavePath_; }
  // Bytes written to the master that the program has not read yet.
  int UnreadByProgram() const;
  // Closes both ends: the program's reads and writes on the slave fail from then on.
  void Close();

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
};

}  // namespace sim
