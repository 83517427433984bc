#pragma once

#include <string>

// How the bus layer tells the user something without knowing about windows; the application
// shows these as message boxes, tests record them.
class BusNotifier {
 public:
  enum class Icon { Exclamation };

  virtual ~BusNotifier() = default;
  virtual void ShowMessage(const std::string& text, const std::string& caption, Icon icon) = 0;
};
