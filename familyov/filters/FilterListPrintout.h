#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/draw/Dc.h"
#include "platform/ui/draw/Printout.h"

namespace ui {
class Window;
}

namespace namespaceOV {

class IQDeviceOrdavinex;
class TFilter;

// Places single lines of text in a print rectangle and keeps the current line position, measured
// in device pixels from the rectangle's top.
class TTextPrintDC {
 public:
  // Style bits: size (8 or 16 points, else 10), italic, weight (bold or light, else normal).
  static constexpr unsigned kSmall = 0x01;
  static constexpr unsigned kLarge = 0x04;
  static constexpr unsigned kItalic = 0x08;
  static constexpr unsigned kBold = 0x10;
  static constexpr unsigned kLight = 0x20;
  // Line flags: vertically the text's top 2 pixels above the line or centred on it (else its bottom
  // 2 pixels above it); horizontally ending 2 pixels left of x or centred on it (else starting 2
  // pixels right of it); then the line position moves down one and a half text heights.
  static constexpr unsigned kTopAtLine = 0x01;
  static constexpr unsigned kMiddleAtLine = 0x04;
  static constexpr unsigned kRightAtX = 0x10;
  static constexpr unsigned kCentreAtX = 0x20;
  static constexpr unsigned kAdvance = 0x40;

  explicit TTextPrintDC(ui::Dc& dc);

  void SetStyle(unsigned style);
  void SetPrintRect(const ui::Rect& rect);
  void PrintText(std::string_view text, int x, int y, unsigned flags);
  void PrintLine(std::string_view text, int x, unsigned flags);
  void NewLine();
  bool IsPageFull() const;
  int LinePosition() const { return line_; }
  const ui::Rect& PrintRect() const { return rect_; }

 private:
  ui::Dc& dc_;
  int line_ = 0;
  ui::Rect rect_;
};

// One channel's filters as a table, grouped by type name, each group by rising frequency, over as
// many pages as it takes.
class TFilterListPrintout : public ui::Printout {
 public:
  // Reads the channel's name and the unit's list text; a bus failure passes to the caller.
  TFilterListPrintout(IQDeviceOrdavinex& device, int channel);

  std::string Title() const override { return "Channel filter listing"; }
  bool HasPage(int page) override;
  void PrintPage(int page, ui::Dc& dc) override;

  const std::vector<const TFilter*>& Filters() const { return filters_; }

 private:
  std::vector<const TFilter*> filters_;
  std::string channelName_;
  std::string unitText_;
  std::size_t next_ = 0;
};

// The order of the listing: by type name, then by frequency.
std::vector<const TFilter*> ListingOrder(std::vector<const TFilter*> filters);

// Prints the channel's filters after the print dialog; failures are reported over `owner`.
void PrintChannelFilterListing(IQDeviceOrdavinex& device, ui::Window& owner, int channel);

}  // namespace namespaceOV
