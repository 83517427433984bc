#pragma once

#include <string>
#include <vector>

#include "platform/ui/TreeView.h"

namespace ui {
class Window;
}

namespace namespaceOV {

class TEditOVWindow;

// What a tree node runs with its node id: OpenChildWindow, a unit command, or none (a folder).
using NodeCommand = void (TEditOVWindow::*)(int nodeId);

// One node of the unit's function tree. Ids run from 0 in pre-order, so that a node's id is its
// position in the edit window's flat list.
struct TNodeInfo {
  // Texts longer than this are cut.
  static constexpr std::size_t kMaxTextChars = 29;
  static constexpr int kNoNode = -1;

  TNodeInfo() = default;
  TNodeInfo(const std::string& text, int image, int id, NodeCommand command);

  int id = kNoNode;
  int image = 0;  // the selected image is the next one
  std::string text;
  std::vector<TNodeInfo> children;
  ui::TreeItem item;             // the control's item, once created
  ui::Window* window = nullptr;  // the node's open window, not owned
  bool lockable = true;          // locked unit: lock image, window closed, double click beeps
  bool remembersRect = true;     // reopens where its window was when it closed
  NodeCommand command = nullptr;
};

}  // namespace namespaceOV
