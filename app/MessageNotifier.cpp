#include "app/MessageNotifier.h"

#include <utility>

#include "platform/ui/MessageBox.h"

void MessageNotifier::ShowMessage(const std::string& text, const std::string& caption, Icon) {
  ui::MessageBox(owner_, text, caption, ui::mb::kOk | ui::mb::kIconExclamation);
}

void FirstMessageOnly::ShowMessage(const std::string& text, const std::string& caption, Icon icon) {
  if (shown_) return;
  shown_ = true;
  target_.ShowMessage(text, caption, icon);
}

void HeldMessages::ShowMessage(const std::string& text, const std::string& caption, Icon icon) {
  held_.push_back({text, caption, icon});
}

void HeldMessages::PassTo(BusNotifier& target) {
  for (const Message& m : std::exchange(held_, {})) target.ShowMessage(m.text, m.caption, m.icon);
}
