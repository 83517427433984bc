#pragma once

namespace namespaceOV {

class IQDeviceOrdavinex;
class TFilterCountWindow;
class TFilterGraphWindow;
class TFilterListWindow;
class TFilterParameterWindow;
class TFilterSplitter;

// The panes of one channel's filter editor, so that each can reach the others. The layout window
// owns it and fills in the device and the channel; each pane enters itself when it is built and
// clears its slot when it goes. A pane that is not there (the graph or the list closed) is null.
struct FilterEditorPanes {
  TFilterParameterWindow* parameters = nullptr;
  TFilterCountWindow* count = nullptr;
  TFilterGraphWindow* graph = nullptr;
  TFilterListWindow* list = nullptr;
  TFilterSplitter* splitter = nullptr;
  IQDeviceOrdavinex* device = nullptr;
  int channel = 0;
};

}  // namespace namespaceOV
