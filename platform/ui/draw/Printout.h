#pragma once

#include <string>

namespace ui {

class Dc;

// A document to print, page by page. The number of pages need not be known in advance: the
// printer asks before each page whether it exists, so a printout can find its end while printing.
class Printout {
 public:
  virtual ~Printout() = default;

  // The print job's name, and the default name of a PDF file.
  virtual std::string Title() const = 0;
  // Whether page `page` (counted from 1) is to be printed; may be asked more than once per page.
  virtual bool HasPage(int page) = 0;
  // Draws the page on a fresh context: text mapping, default tools, device pixels of the page's
  // printable area (see Dc::Metrics for the whole sheet and the area's offset on it).
  virtual void PrintPage(int page, Dc& dc) = 0;
};

}  // namespace ui
