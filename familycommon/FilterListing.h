#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/draw/Dc.h"
#include "platform/ui/draw/Printout.h"

namespace ui {
class Window;
}

namespace familycommon {

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

// How a family compares type names when it orders its listing.
enum class TypeNameOrder { kIgnoringCase, kBytewise };

// The listing's order: by type name, then by rising frequency.
bool ListedBefore(const std::string& nameA, int frequencyA, const std::string& nameB,
                  int frequencyB, TypeNameOrder order);

// One printed row: the filter's type name and its three long-form texts.
struct ListingRow {
  std::string typeName;
  std::string frequency;
  std::string param1;
  std::string param2;
};

// A table of filters over as many pages as it takes: the heading and the unit line on the first
// page, then the column titles and the rows in the order given, a footer on every page.
class FilterListPrintout : public ui::Printout {
 public:
  FilterListPrintout(std::string title, std::string heading, const std::string& unitName,
                     std::vector<ListingRow> rows);

  std::string Title() const override { return title_; }
  const std::vector<ListingRow>& Rows() const { return rows_; }
  bool HasPage(int page) override;
  void PrintPage(int page, ui::Dc& dc) override;

 private:
  std::string title_;
  std::string heading_;
  std::string unitLine_;
  std::vector<ListingRow> rows_;
  std::size_t next_ = 0;
};

// Prints after the print dialog; a failed print is said in a message box over `owner`.
void PrintListing(ui::Window& owner, FilterListPrintout& printout);

}  // namespace familycommon
