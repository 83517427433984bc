#pragma once

#include <memory>

#include "controls/TDataWindow.h"
#include "familycommon/FilterLifetime.h"
#include "familyov/filters/FilterEditorPanes.h"
#include "familyov/unit/NodeIds.h"
#include "familyov/unit/TOVWindow.h"
#include "platform/ui/Button.h"
#include "platform/ui/Frame.h"
#include "platform/ui/LayoutWindow.h"
#include "platform/ui/Splitter.h"

namespace namespaceOV {

class TFilter;
class TFilterDialog;
class TFilterListWindow;

// How many channels a filter added on `channel` lands on: the channel itself and, when it is
// linked, every other linked channel, since the edit window copies the filter to them.
int ChannelsReceivingNewFilter(const IQDeviceOrdavinex& device, int channel);

// The filter list and the response graph side by side.
class TFilterSplitter : public ui::Splitter, public TDataWindow {
 public:
  TFilterSplitter(ui::Window* parent, FilterEditorPanes& panes);
  ~TFilterSplitter() override;

  bool IsListOpen() const;
  bool IsGraphOpen() const;
  void ReopenList();
  // Builds both panes again as at set-up.
  void ReopenGraph();
  // The graph's own "show phase" command, when the graph is open.
  void ToggleGraphPhase();

 private:
  void MakePanes();

  FilterEditorPanes& panes_;
  std::unique_ptr<TFilterListWindow> list_;
  std::unique_ptr<ui::Window> graph_;
};

// How many more filters the unit can take; a click opens the DSP capacity window.
class TFilterCountWindow : public ui::Window, public TDataWindow {
 public:
  TFilterCountWindow(ui::Window* parent, FilterEditorPanes& panes);
  ~TFilterCountWindow() override;

  void Notify(NotifyRecord* record) override;
  std::string CountText() const { return count_.Text(); }
  ui::PushButton& CountButton() { return count_; }

 protected:
  void SetupWindow() override;

 private:
  void ShowCount();

  FilterEditorPanes& panes_;
  ui::PushButton count_;
};

// The dialog of the filter selected in the editor, or an empty placeholder, at its top left.
class TFilterParameterWindow : public ui::Window, public TDataWindow {
 public:
  TFilterParameterWindow(ui::Window* parent, FilterEditorPanes& panes);
  ~TFilterParameterWindow() override;

  void Notify(NotifyRecord* record) override;
  // The filter whose dialog is shown, none for the placeholder.
  TFilter* ShownFilter() const { return shown_; }
  TFilterDialog& Dialog() const { return *dialog_; }

 private:
  void Show(TFilter* filter);

  FilterEditorPanes& panes_;
  familycommon::FilterHandle<TFilter> shown_;
  std::unique_ptr<TFilterDialog> dialog_;
  // The dialog shown before, kept until the next change: the record that replaced it may have
  // come from one of its own handlers.
  std::unique_ptr<TFilterDialog> retired_;
};

// The editor's client: the splitter above, the count and parameter windows below; it carries the
// editor's commands.
class TFilterLayoutWindow : public ui::LayoutWindow, public TDataWindow {
 public:
  TFilterLayoutWindow(ui::Window* parent, IQDeviceOrdavinex& device, int channel);
  ~TFilterLayoutWindow() override;

  FilterEditorPanes& Panes() { return panes_; }
  // Adds a filter of the type with the type's stored defaults, when the unit has room for it.
  void AddFilter(int typeCode);

 private:
  void SetupCommands();
  void SetupListCommands();
  void OpenEditWindowChild(int NodeIds::*node);

  FilterEditorPanes panes_;
  std::unique_ptr<TFilterParameterWindow> parameters_;
  std::unique_ptr<TFilterSplitter> splitter_;
  std::unique_ptr<TFilterCountWindow> count_;
};

// One channel's filter editor: menu, tool bar, status bar and the layout window.
class TFilterDecoratedFrame : public OVChild<ui::Frame> {
 public:
  TFilterDecoratedFrame(TEditOVWindow& editWindow, int channel);
  ~TFilterDecoratedFrame() override;

  void Notify(NotifyRecord* record) override;
  TFilterLayoutWindow& Layout() { return *layout_; }
  int Channel() const { return channel_; }

 protected:
  void SetupWindow() override;

 private:
  // The channel's name and " Filters"; a name that cannot be read leaves the title as it was.
  void ShowTitle();

  int channel_;
  std::unique_ptr<TFilterLayoutWindow> layout_;
};

}  // namespace namespaceOV
