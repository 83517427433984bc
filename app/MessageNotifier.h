#pragma once

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
