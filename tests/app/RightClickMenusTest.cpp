// The right-click menus of the units' graphs and lists, and the dialogs their commands open: such a
// dialog is a window of its own over the window that printed, and the mouse works in it, whether
// or not that window held the mouse when its menu opened.

#include <gtest/gtest.h>

#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>

#include "family8100/filters/Filters8100.h"
#include "family8100/filters/TCrossoverWindow.h"
#include "family8100/filters/TFilterBankEditor.h"
#include "family8100/filters/TFilterListWindow8100.h"
#include "family8100/filters/TFrequencyGraph.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/TEdit8100Window.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "familyov/filters/FilterClasses.h"
#include "familyov/filters/FilterEditorPanes.h"
#include "familyov/filters/TFilterEditor.h"
#include "familyov/filters/TFilterGraphWindow.h"
#include "familyov/filters/TFilterListWindow.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/TEditOVWindow.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppIds.h"
#include "resources/Family8100BankEditorIds.h"
#include "resources/Family8100Ids.h"
#include "resources/FamilyOvFilterEditorIds.h"
#include "sim/family8100/Family8100Unit.h"
#include "sim/familyov/FamilyOvUnit.h"
#include "tests/app/AppTestSupport.h"

namespace apptest {
namespace {

// The print dialog as the desktop shows it: a window of its own made over the printing window's
// widget. The user clicks its Cancel.
class ClickedPrintDialog : public ui::PrintPrompt {
 public:
  ClickedPrintDialog() : replaced_(ui::InstallPrintPrompt(this)) {}
  ~ClickedPrintDialog() override { ui::InstallPrintPrompt(replaced_); }
  ClickedPrintDialog(const ClickedPrintDialog&) = delete;
  ClickedPrintDialog& operator=(const ClickedPrintDialog&) = delete;

  bool Ask(QPrinter&, Purpose, QWidget* parent) override {
    QDialog dialog(parent);
    QPushButton cancel("Cancel", &dialog);
    QObject::connect(&cancel, &QPushButton::clicked, [this] { ++clicks; });
    dialog.show();
    QTest::mouseClick(&cancel, Qt::LeftButton);
    ++shown;
    return false;
  }

  int shown = 0;
  int clicks = 0;

 private:
  ui::PrintPrompt* replaced_;
};

class RightClickMenusTest : public ShellTest {
 protected:
  void SetUp() override {
    SettingsKey().SetNumber("port number", kSimComNumber);
    UseBuiltInTypes();
    sim::familyov::AddFamilyOvUnit(bus,
                                   {.model = sim::familyov::Model::k8148, .address = kNewerUnit});
    sim::family8100::AddFamily8100Unit(
        bus, {.model = sim::family8100::Model::kX, .address = kOlderUnit});
    Start();
    RollCall();
  }

 public:
  // Reached from the rows of the test's table.
  // The filter editor of the newer unit's first input, with one filter to list.
  namespaceOV::FilterEditorPanes& NewerEditor() {
    auto& device = dynamic_cast<namespaceOV::IQDeviceOrdavinex&>(OpenBusUnit(kNewerUnit));
    auto& window = dynamic_cast<namespaceOV::TEditOVWindow&>(*device.EditWindow());
    const int node = window.Ids().firstChannel;
    if (window.ChildWindow(node) == nullptr) {
      auto filter = std::make_unique<namespaceOV::TParametricFilter>();
      filter->channel = 0;
      filter->frequency = 1000;
      device.CreateFilter(std::move(filter));
      window.OpenChildWindow(node);
    }
    return dynamic_cast<namespaceOV::TFilterDecoratedFrame&>(*window.ChildWindow(node))
        .Layout()
        .Panes();
  }
  // An editor the older unit's signal-flow page opens from its button.
  template <typename Frame>
  Frame& OlderEditor(int button, namespace8100::EditorView view) {
    auto& device = dynamic_cast<namespace8100::IQDevice8100&>(OpenBusUnit(kOlderUnit));
    auto& window = dynamic_cast<namespace8100::TEdit8100Window&>(*device.EditWindow());
    namespace8100::TSigFlowDialog& flow = window.SignalFlow();
    if (flow.Editor(view) == nullptr) ui::test::Click(flow, button);
    return dynamic_cast<Frame&>(*flow.Editor(view));
  }
  namespace8100::TFilterLayoutWindow& OlderBank() {
    return OlderEditor<namespace8100::TFilterDecoratedFrame>(f8100res::kLeftInputButton,
                                                             namespace8100::EditorView::LeftInput)
        .Editor();
  }

  static constexpr int kNewerUnit = 2;
  static constexpr int kOlderUnit = 6;
};

// A right-button press on a graph, at the middle of its client area.
void RightPress(ui::Window& graph) {
  const ui::Rect r = graph.ClientRect();
  ui::test::MouseDown(graph, {r.Width() / 2, r.Height() / 2}, true);
  ui::test::MouseUp(graph, {r.Width() / 2, r.Height() / 2}, true);
}

// The list control's right click, as its window hears of it.
void RightClickOn(ui::Window& window, ui::ListView& list) {
  window.SendNotify({list.Id(), ui::Notify::RightClick, &list, -1});
}

TEST_F(RightClickMenusTest, ADialogOpenedFromAGraphsOrAListsMenuTakesTheMouse) {
  struct Row {
    const char* what;
    // Opens the menu on its window.
    std::function<void(RightClickMenusTest&)> rightClick;
    int command;
  };
  const Row rows[] = {
      {"newer family, response graph",
       [](RightClickMenusTest& t) { RightPress(*t.NewerEditor().graph); },
       namespaceOV::TFilterGraphWindow::kCmPrint},
      {"newer family, response graph, holding the mouse from a click that selected nothing",
       [](RightClickMenusTest& t) {
         ui::Window& graph = *t.NewerEditor().graph;
         ui::test::MouseDown(graph, {2, 2});
         RightPress(graph);
         ui::test::MouseUp(graph, {2, 2});
       },
       namespaceOV::TFilterGraphWindow::kCmPrint},
      {"newer family, filter list",
       [](RightClickMenusTest& t) {
         namespaceOV::TFilterListWindow& list = *t.NewerEditor().list;
         RightClickOn(list, list.List());
       },
       ovfilter_res::kCmPrint},
      {"older family, frequency graph",
       [](RightClickMenusTest& t) { RightPress(*t.OlderBank().Graph()); },
       namespace8100::TFrequencyGraph::kCmPrint},
      {"older family, filter list",
       [](RightClickMenusTest& t) {
         namespace8100::TFilterListWindow8100& list = *t.OlderBank().List();
         RightClickOn(list, list.List());
       },
       f8100res::kCmPrintFilters},
      {"older family, crossover graph",
       [](RightClickMenusTest& t) {
         RightPress(t.OlderEditor<namespace8100::TCrossoverDecFrame>(
                         f8100res::kLowCrossoverButton, namespace8100::EditorView::Crossovers)
                        .Window()
                        .Graph());
       },
       namespace8100::TCrossoverGraph::kCmPrint},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ui::PromptScript script(FailTest);
    script.ChooseFromPopup(row.command);
    ClickedPrintDialog dialog;
    row.rightClick(*this);
    EXPECT_EQ(dialog.shown, 1);
    EXPECT_EQ(dialog.clicks, 1);
  }
}

}  // namespace
}  // namespace apptest
