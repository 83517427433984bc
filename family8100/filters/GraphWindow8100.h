#pragma once

#include <functional>
#include <string>
#include <utility>

#include "platform/ui/draw/Printout.h"

namespace namespace8100 {

class IQDevice8100;

// "Unit: '<list text or name>'" and the graph's own ending, the caption of the graphs and of
// their printed pages.
std::string GraphCaption(const IQDevice8100& unit, const std::string& ending);

// One printed page: the graph as it stands.
class TWindowPrintout : public ui::Printout {
 public:
  TWindowPrintout(std::string title, std::function<void(ui::Dc&)> paintPage)
      : title_(std::move(title)), paintPage_(std::move(paintPage)) {}
  std::string Title() const override { return title_; }
  bool HasPage(int page) override { return page == 1; }
  void PrintPage(int, ui::Dc& dc) override { paintPage_(dc); }

 private:
  std::string title_;
  std::function<void(ui::Dc&)> paintPage_;
};

}  // namespace namespace8100
