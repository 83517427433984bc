#pragma once

#include "platform/ui/DrawnWindow.h"

// A 2x2 routing symbol: straight lines and diagonals between two inputs and two outputs.
class TNetButton : public ui::OwnerDrawButton {
 public:
  struct Routes {
    bool upperStraight = false;
    bool fallingDiagonal = false;
    bool risingDiagonal = false;
    bool lowerStraight = false;
  };

  using ui::OwnerDrawButton::OwnerDrawButton;
  void SetRoutes(const Routes& routes) { routes_ = routes; }
  const Routes& GetRoutes() const { return routes_; }
  // Paints the symbol at once (other windows that show the same routes use it too).
  void DrawFace();

 protected:
  void DrawEntire(ui::Dc& dc, const ui::DrawItemState& state) override;

 private:
  void DrawFace(ui::Dc& dc) const;

  Routes routes_;
};
