#include "familycommon/GraphWindow.h"

#include "platform/ui/Message.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/draw/Printout.h"

namespace familycommon {

GraphWindow::GraphWindow(ui::Window* parent, Keys keys) : ui::DrawnWindow(parent) {
  SetBackground(ui::kBlack);
  SetEdge(ui::WindowEdge::Sunken);
  SetMouseButtonsHandledAlone(true);
  OnMessage(ui::msg::kSize, [this](const ui::Message&) {
    Invalidate();
    return 0;
  });
  OnMessage(ui::msg::kLButtonDown, [this](const ui::Message& m) {
    EvLButtonDown(ui::UnpackPoint(m.lParam));
    return 0;
  });
  OnMessage(ui::msg::kMouseMove, [this](const ui::Message& m) {
    EvMouseMove(ui::UnpackPoint(m.lParam));
    return 0;
  });
  OnMessage(ui::msg::kLButtonUp, [this](const ui::Message&) {
    EvLButtonUp();
    return 0;
  });
  OnMessage(ui::msg::kRButtonDown, [this](const ui::Message& m) {
    EvRButtonDown(ui::UnpackPoint(m.lParam));
    return 0;
  });
  if (keys == Keys::kHandled) {
    OnMessage(ui::msg::kKeyDown, [this](const ui::Message& m) {
      EvKeyDown(static_cast<int>(m.wParam));
      return 0;
    });
  }
}

ui::Dc& GraphWindow::MouseDc() {
  if (!scratchDc_) scratchDc_ = std::make_unique<ui::Dc>(scratch_);
  return *scratchDc_;
}

namespace {

// One page: the graph as it stands.
class GraphPrintout : public ui::Printout {
 public:
  GraphPrintout(std::string title, GraphWindow& graph) : title_(std::move(title)), graph_(graph) {}
  std::string Title() const override { return title_; }
  bool HasPage(int page) override { return page == 1; }
  void PrintPage(int, ui::Dc& dc) override { graph_.PaintPage(dc); }

 private:
  std::string title_;
  GraphWindow& graph_;
};

}  // namespace

void GraphWindow::PaintPage(ui::Dc& dc) {
  printing_ = true;
  Paint(dc);
  printing_ = false;
}

void GraphWindow::PrintGraph(const std::string& title) {
  if (!printer_) printer_ = std::make_unique<ui::Printer>();
  GraphPrintout printout(title, *this);
  const ui::PrintOutcome outcome = printer_->Print(Widget(), printout, true);
  if (outcome.result == ui::PrintResult::Failed) {
    ui::MessageBox(this, outcome.message, "Print", ui::mb::kOk | ui::mb::kIconExclamation);
  }
}

}  // namespace familycommon
