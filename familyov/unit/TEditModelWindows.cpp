#include "familyov/unit/TEditModelWindows.h"

#include "familyov/unit/ParameterTable.h"

namespace namespaceOV {
namespace {

std::string TitleText(int outputs, std::initializer_list<std::pair<int, const char*>> titles) {
  for (const auto& [count, text] : titles) {
    if (outputs == count) return text;
  }
  return "Ordavinex";
}

}  // namespace

TEdit8148Window::TEdit8148Window(ui::Window* parent, IQDevice8148& device)
    : TEditOVWindow(parent, device), device8148_(&device) {}

std::string TEdit8148Window::TreeTitle() const {
  return TitleText(device8148_->outputs,
                   {{8, "Ordavinex 48"}, {7, "Ordavinex 37"}, {6, "Ordavinex 66"}});
}

void TEdit8148Window::BuildTree(std::vector<TNodeInfo>& nodes, NodeIds& ids) {
  const auto readOption = [this] {
    device8148_->compressorOption =
        !device8148_->IsOnline() || gCompressorOptionObject.Read(*device8148_);
    return device8148_->compressorOption;
  };
  BuildModelTree(nodes, ids, readOption, true);
}

TEdit8126Window::TEdit8126Window(ui::Window* parent, IQDevice8126& device)
    : TEditOVWindow(parent, device) {}

std::string TEdit8126Window::TreeTitle() const {
  return TitleText(Device().outputs,
                   {{6, "Ordavinex 26"}, {4, "Ordavinex 24"}, {2, "Ordavinex 22"}});
}

void TEdit8126Window::BuildTree(std::vector<TNodeInfo>& nodes, NodeIds& ids) {
  BuildModelTree(nodes, ids, nullptr, false);
}

// The model opens its unit in an edit window that the device keeps while the window is open.
bool IQDevice8148::DoOpen(ui::Window* parent) {
  return ShowEditWindow(std::make_unique<TEdit8148Window>(parent, *this));
}

bool IQDevice8126::DoOpen(ui::Window* parent) {
  return ShowEditWindow(std::make_unique<TEdit8126Window>(parent, *this));
}

}  // namespace namespaceOV
