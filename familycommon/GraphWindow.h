#pragma once

#include <QImage>
#include <memory>
#include <string>

#include "platform/ui/DrawnWindow.h"
#include "platform/ui/draw/Printer.h"

namespace familycommon {

// The window of a response graph, in either family: drawn on black in a sunken edge, repainted
// whole when sized, and holding the mouse buttons for itself so that a drag is never taken over by
// the window around it. Mouse input, and key input when asked for, go to the handlers below. It
// prints as it paints, on one page.
class GraphWindow : public ui::DrawnWindow {
 public:
  // The graph on a printer page: Paint with Printing() set.
  void PaintPage(ui::Dc& dc);

 protected:
  enum class Keys { kLeftToParent, kHandled };

  GraphWindow(ui::Window* parent, Keys keys);

  virtual void EvLButtonDown(ui::Point p) = 0;
  virtual void EvMouseMove(ui::Point p) = 0;
  virtual void EvLButtonUp() = 0;
  virtual void EvRButtonDown(ui::Point p) = 0;
  virtual void EvKeyDown(int) {}

  // A context on a scratch image kept for mapping mouse positions: one is dear to make, and the
  // mouse moves often.
  ui::Dc& MouseDc();

  bool Printing() const { return printing_; }
  // The graph on one page after the print dialog; a failed print is said in a box.
  void PrintGraph(const std::string& title);

 private:
  std::unique_ptr<ui::Printer> printer_;  // keeps the user's print settings between prints
  bool printing_ = false;
  QImage scratch_{1, 1, QImage::Format_RGB32};
  std::unique_ptr<ui::Dc> scratchDc_;
};

}  // namespace familycommon
