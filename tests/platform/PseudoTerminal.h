#pragma once

#include <string>
#include <vector>

namespace testing_support {

// The master side of a fresh pseudo-terminal; the tests open its slave path as a serial port.
class PseudoTerminal {
 public:
  PseudoTerminal();
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const std::string& SlavePath() const { return slavePath_; }
  void Send(const std::vector<unsigned char>& bytes);
  // Whatever arrives within `timeoutMs`, up to `count` bytes.
  std::vector<unsigned char> Receive(std::size_t count, int timeoutMs);
  // Whether, within `timeoutMs`, `count` bytes sent have reached the slave's side, unread there:
  // the system hands them over on a thread of its own, which a loaded machine may hold up.
  bool ReachedSlave(std::size_t count, int timeoutMs) const;
  void HangUp();

 private:
  int master_ = -1;
  std::string slavePath_;
};

}  // namespace testing_support
