#pragma once

#include <string>
#include <vector>

#include "bus/BusNotifier.h"

namespace ui {
class Window;
}

// Shows the bus layer's messages as message boxes owned by a window.
class MessageNotifier : public BusNotifier {
 public:
  explicit MessageNotifier(ui::Window* owner) : owner_(owner) {}
  void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override;

 private:
  ui::Window* owner_;
};

// Passes on only the first message; a roll call repeated on every idle pass would otherwise
// raise the same message box again and again while the condition lasts.
class FirstMessageOnly : public BusNotifier {
 public:
  explicit FirstMessageOnly(BusNotifier& target) : target_(target) {}
  void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override;

 private:
  BusNotifier& target_;
  bool shown_ = false;
};

// Keeps the messages of work that runs under the wait cursor, to be shown once it is over: a
// message box must not wait for a click under a cursor that says the program is busy.
class HeldMessages : public BusNotifier {
 public:
  void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override;
  // Shows the held messages in the order they came, and forgets them.
  void PassTo(BusNotifier& target);

 private:
  struct Message {
    std::string text;
    std::string caption;
    Icon icon;
  };
  std::vector<Message> held_;
};
