#pragma once

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

namespace ui {

// What a command enabler decides for a menu item or a button of the same id.
struct CommandState {
  bool enabled = true;
  std::optional<bool> checked;
  std::optional<std::string> text;
};

// The commands and enablers one window (or the application) handles, by command id.
class CommandTable {
 public:
  void OnCommand(int id, std::function<void()> handler) { commands_[id] = std::move(handler); }
  void OnEnable(int id, std::function<void(CommandState&)> enabler) {
    enablers_[id] = std::move(enabler);
  }
  bool Run(int id) const {
    const auto it = commands_.find(id);
    if (it == commands_.end()) return false;
    it->second();
    return true;
  }
  bool Enable(int id, CommandState& state) const {
    const auto it = enablers_.find(id);
    if (it == enablers_.end()) return false;
    it->second(state);
    return true;
  }
  bool Handles(int id) const { return commands_.count(id) != 0; }

 private:
  std::unordered_map<int, std::function<void()>> commands_;
  std::unordered_map<int, std::function<void(CommandState&)>> enablers_;
};

}  // namespace ui
