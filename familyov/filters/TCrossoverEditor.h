#pragma once

#include <memory>

#include "controls/TDataWindow.h"
#include "familyov/filters/TCrossoverDialog.h"
#include "familyov/filters/TCrossoverGraphWindow.h"
#include "familyov/filters/TCrossoverNetworkTree.h"
#include "familyov/filters/TCrossoverNetworkWindows.h"
#include "familyov/filters/TMacroWindow.h"
#include "familyov/unit/TOVWindow.h"
#include "platform/ui/Frame.h"
#include "platform/ui/LayoutWindow.h"

namespace namespaceOV {

// The bottom pane: the crossover dialog of the output chosen in the tree.
class TCrossoverParameterFrame : public ui::LayoutWindow, public TDataWindow {
 public:
  TCrossoverParameterFrame(ui::Window* parent, IQDeviceOrdavinex& device);
  ~TCrossoverParameterFrame() override;

  void Notify(NotifyRecord* record) override;
  TCrossoverDialog& Dialog() { return dialog_; }

 private:
  TCrossoverDialog dialog_;
};

// The editor's client: the network tree left, the graph right, the dialog below; it carries the
// menu's commands and keeps the macro window it opened.
class TCrossoverLayoutWindow : public ui::LayoutWindow, public TDataWindow {
 public:
  TCrossoverLayoutWindow(ui::Window* parent, IQDeviceOrdavinex& device);
  ~TCrossoverLayoutWindow() override;

  TCrossoverNetworkWindow& NetworkTree() { return tree_; }
  TCrossoverGraphWindow& Graph() { return graph_; }
  TCrossoverDialog& Dialog() { return parameters_.Dialog(); }
  TMacroWindow* Macros() { return macros_.get(); }

  void CmNetworks();
  void CmMacros();

 private:
  ui::Window* UnitRoot() const;
  void CmDspCapacity();

  IQDeviceOrdavinex& device_;
  TCrossoverParameterFrame parameters_;
  TCrossoverGraphWindow graph_;
  TCrossoverNetworkWindow tree_;
  std::unique_ptr<TMacroWindow> macros_;
};

// The unit's crossover editor: menu, status bar and the layout window.
class TCrossoverDecoratedFrame : public OVChild<ui::Frame> {
 public:
  explicit TCrossoverDecoratedFrame(TEditOVWindow& editWindow);
  ~TCrossoverDecoratedFrame() override;

  TCrossoverLayoutWindow& Layout() { return *layout_; }

 protected:
  void SetupWindow() override;

 private:
  std::unique_ptr<TCrossoverLayoutWindow> layout_;
};

}  // namespace namespaceOV
