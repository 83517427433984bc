// The function tree both models build: texts, order, images, ids and what each node runs.

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/TEditOVWindow.h"

namespace namespaceOV {
namespace {

constexpr NodeCommand kOpen = &TEditOVWindow::OpenChildWindow;

TNodeInfo& Add(std::vector<TNodeInfo>& into, int& next, const std::string& text, int image,
               NodeCommand command, int* idField = nullptr) {
  if (idField != nullptr) *idField = next;
  into.emplace_back(text, image, next++, command);
  return into.back();
}

}  // namespace

void TEditOVWindow::AddSummaryNode(std::vector<TNodeInfo>& nodes, NodeIds& ids, int& next) {
  Add(nodes, next, "Unit summary", kChannelImage, kOpen, &ids.summary);
}

void TEditOVWindow::BuildModelTree(std::vector<TNodeInfo>& nodes, NodeIds& ids,
                                   const std::function<bool()>& readCompressorOption,
                                   bool advancedMixer) {
  int next = 0;
  AddSummaryNode(nodes, ids, next);
  TNodeInfo filters("Filters", kChannelImage, next++, nullptr);
  ids.firstChannel = next;
  const bool compressors = readCompressorOption && readCompressorOption();
  for (const int c : device_->ChannelIndexes()) {
    Add(filters.children, next, ChannelName(c), kChannelImage, kOpen);
  }
  Add(filters.children, next, "Linking", kChannelImage, kOpen, &ids.linking);
  nodes.push_back(std::move(filters));
  AddFunctionNodes(nodes, ids, next, compressors, advancedMixer);
}

void TEditOVWindow::AddFunctionNodes(std::vector<TNodeInfo>& nodes, NodeIds& ids, int& next,
                                     bool compressors, bool advancedMixer) {
  const bool real = device_->IsOnline();
  Add(nodes, next, "Crossovers", kChannelImage, kOpen, &ids.crossovers);

  TNodeInfo inputs("Inputs", kChannelImage, next++, nullptr);
  Add(inputs.children, next, "Level", kChannelImage, kOpen, &ids.inputLevel);
  Add(inputs.children, next, "Delay", kChannelImage, kOpen, &ids.inputDelay);
  if (compressors)
    Add(inputs.children, next, "Compressors", kChannelImage, kOpen, &ids.compressors);
  Add(inputs.children, next, "Names", kChannelImage, kOpen, &ids.inputNames);
  nodes.push_back(std::move(inputs));

  TNodeInfo outputs("Outputs", kChannelImage, next++, nullptr);
  Add(outputs.children, next, "Level", kChannelImage, kOpen, &ids.outputLevel);
  Add(outputs.children, next, "Delay", kChannelImage, kOpen, &ids.outputDelay);
  Add(outputs.children, next, "Limiting", kChannelImage, kOpen, &ids.limiter);
  Add(outputs.children, next, "Names", kChannelImage, kOpen, &ids.outputNames);
  nodes.push_back(std::move(outputs));

  Add(nodes, next, "In -> Out Mixing", kChannelImage, kOpen, &ids.mixing);
  if (advancedMixer) Add(nodes, next, "Advanced Mixing", kChannelImage, kOpen, &ids.advancedMixer);
  Add(nodes, next, "Pink noise", kUnitImage, kOpen, &ids.pinkNoise).remembersRect = false;
  Add(nodes, next, "DSP Capacity", kUnitImage, kOpen, &ids.dspCapacity).remembersRect = false;
  if (real) {
    TNodeInfo& security = Add(nodes, next, "Security", kUnitImage, kOpen, &ids.security);
    security.lockable = false;
    security.remembersRect = false;
  }
  Add(nodes, next, "Memory", kUnitImage, kOpen, &ids.memory);
  Add(nodes, next, "Logic", kUnitImage, kOpen, &ids.logic).remembersRect = false;
  if (device_->clockPresent) Add(nodes, next, "Timer", kUnitImage, kOpen, &ids.timer);
  if (!real) return;
  Add(nodes, next, "Unit Name", kUnitImage, &TEditOVWindow::CmRenameUnit);
  TNodeInfo special("Special", kUnitImage, next++, nullptr);
  Add(special.children, next, "Reflash", kUnitImage, &TEditOVWindow::NodeReflash);
  Add(special.children, next, "Strobe LEDs", kUnitImage, &TEditOVWindow::CmStrobeLEDs);
  Add(special.children, next, "Factory Init", kUnitImage, &TEditOVWindow::NodeFactoryInit);
  Add(special.children, next, "Address", kUnitImage, &TEditOVWindow::CmChangeAddress);
  Add(special.children, next, "Firmware Version", kUnitImage, &TEditOVWindow::CmFirmwareVersion);
  Add(special.children, next, "Serial Number", kUnitImage, &TEditOVWindow::CmSerialNumber)
      .lockable = false;
  nodes.push_back(std::move(special));
}

}  // namespace namespaceOV
