#pragma once

#include <memory>
#include <string>

#include "family8100/filters/BankHub.h"
#include "family8100/filters/EditorFrame8100.h"
#include "family8100/filters/TFilterDialog8100.h"
#include "family8100/filters/TFilterListWindow8100.h"
#include "family8100/filters/TFrequencyGraph.h"
#include "platform/ui/DrawnWindow.h"
#include "platform/ui/LayoutWindow.h"
#include "platform/ui/Splitter.h"

namespace namespace8100 {

// How many of the unit's DSP sections are still free: unknown after a read of the unit's filters
// that the unit broke off, rather than counting only the filters read, until a read ends whole.
class TFilterCountWindow : public ui::DrawnWindow {
 public:
  TFilterCountWindow(ui::Window* parent, TChannelParent& hub);
  ~TFilterCountWindow() override;

  std::string CountText() const;
  // The unit's filters were read again, whole or in part.
  void FollowRead();

 protected:
  void Paint(ui::Dc& dc) override;

 private:
  TChannelParent& hub_;
  bool readWhole_;
};

// The dialog of the bank's current filter, or an empty place when there is none.
class TFilterParameterWindow : public ui::LayoutWindow {
 public:
  TFilterParameterWindow(ui::Window* parent, TChannelParent& hub);
  ~TFilterParameterWindow() override;

  TFilterDialog8100* Dialog() const { return dialog_.get(); }
  // Closes the dialog of a filter that has left the unit.
  void ForgetGoneFilter();

 private:
  void Show(TFilter* filter);

  TChannelParent& hub_;
  std::unique_ptr<TFilterDialog8100> dialog_;
};

// One bank's editor: the list and the graph side by side above the free-section count and the
// current filter's dialog. It owns the bank's hub and carries out the editor's commands. The graph
// pane opens as wide as the graph was when it last closed.
class TFilterLayoutWindow : public ui::LayoutWindow {
 public:
  // Posted to the editor once it is set up: give the graph pane its remembered width.
  static constexpr ui::MessageId kRestoreGraphWidth = 301;

  TFilterLayoutWindow(IQDevice8100& unit, TAllChannelParent& hubs, int32_t bank);
  ~TFilterLayoutWindow() override;

  TChannelParent& Hub() { return hub_; }
  TFilterListWindow8100* List() const { return list_.get(); }
  TFrequencyGraph* Graph() const { return graph_.get(); }
  TFilterParameterWindow& Parameters() { return parameters_; }
  TFilterCountWindow& Count() { return count_; }

 protected:
  void SetupWindow() override;

 private:
  void MakePanes();
  void ReloadGraph();
  void CmAdd(int32_t type);
  void CmDelete();
  void CmCopy();
  bool SelectionInBank() const;

  TChannelParent hub_;
  TFilterParameterWindow parameters_;
  TFilterCountWindow count_;
  std::unique_ptr<ui::Splitter> splitter_;
  std::unique_ptr<TFilterListWindow8100> list_;
  std::unique_ptr<TFrequencyGraph> graph_;
  // Last: it stops listening before the panes go.
  familycommon::FilterSetNotice::Subscription filterSet_;
};

// The bank editor's top-level frame as the signal-flow page opens it, with the editor's menu,
// keys and a tool bar of the add commands.
class TFilterDecoratedFrame : public EditorFrame8100 {
 public:
  explicit TFilterDecoratedFrame(const EditorRequest& request);
  ~TFilterDecoratedFrame() override;

  TFilterLayoutWindow& Editor() { return editor_; }

 private:
  TFilterLayoutWindow editor_;
};

// Makes the signal-flow page open this editor for its four bank buttons.
void RegisterBankEditor();

}  // namespace namespace8100
