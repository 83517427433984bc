#include "familycommon/FilterListing.h"

#include <strings.h>

#include <cstdio>

#include "platform/ui/MessageBox.h"
#include "platform/ui/Window.h"
#include "platform/ui/draw/Printer.h"

namespace familycommon {

namespace {

constexpr int kLineGap = 2;  // pixels between a text and its line
constexpr double kMargin = 0.1;
constexpr unsigned kBodyStyle = 0x02;
constexpr unsigned kHeadingStyle = TTextPrintDC::kLarge | TTextPrintDC::kBold;
constexpr unsigned kColumnTitleStyle = kBodyStyle | TTextPrintDC::kBold;
constexpr unsigned kFooterStyle = TTextPrintDC::kSmall | TTextPrintDC::kItalic;
constexpr unsigned kCellFlags = 0x0A;
constexpr unsigned kCentredLine = TTextPrintDC::kCentreAtX | TTextPrintDC::kAdvance;

}  // namespace

TTextPrintDC::TTextPrintDC(ui::Dc& dc) : dc_(dc) { SetStyle(kBodyStyle); }

void TTextPrintDC::SetStyle(unsigned style) {
  ui::Font font{"Times Roman", 10.0, 400, false, ui::FontFamily::Serif};
  if (style & kSmall) {
    font.points = 8.0;
  } else if (style & kLarge) {
    font.points = 16.0;
  }
  font.italic = (style & kItalic) != 0;
  if (style & kBold) {
    font.weight = 700;
  } else if (style & kLight) {
    font.weight = 300;
  }
  dc_.SetFont(font);
}

void TTextPrintDC::SetPrintRect(const ui::Rect& rect) {
  rect_ = rect;
  line_ = 0;
}

void TTextPrintDC::PrintText(std::string_view text, int x, int y, unsigned flags) {
  line_ = y;
  const ui::Size size = dc_.MeasureText(text);
  int top = y - size.cy - kLineGap;
  if (flags & kTopAtLine) {
    top = y - kLineGap;
  } else if (flags & kMiddleAtLine) {
    top = y - size.cy / 2;
  }
  int left = x + kLineGap;
  if (flags & kRightAtX) {
    left = x - size.cx - kLineGap;
  } else if (flags & kCentreAtX) {
    left = x - size.cx / 2;
  }
  dc_.DrawTextAt({rect_.left + left, rect_.top + top}, text);
  if (flags & kAdvance) line_ += size.cy + size.cy / 2;
}

void TTextPrintDC::PrintLine(std::string_view text, int x, unsigned flags) {
  PrintText(text, x, line_, flags);
}

void TTextPrintDC::NewLine() {
  const int height = dc_.MeasureText("Line").cy;
  line_ += height + height / 2;
}

bool TTextPrintDC::IsPageFull() const {
  return line_ + dc_.MeasureText("Line").cy > rect_.bottom - rect_.top;
}

bool ListedBefore(const std::string& nameA, int frequencyA, const std::string& nameB,
                  int frequencyB, TypeNameOrder order) {
  const int byName = order == TypeNameOrder::kIgnoringCase
                         ? strcasecmp(nameA.c_str(), nameB.c_str())
                         : nameA.compare(nameB);
  return byName != 0 ? byName < 0 : frequencyA < frequencyB;
}

FilterListPrintout::FilterListPrintout(std::string title, std::string heading,
                                       const std::string& unitName, std::vector<ListingRow> rows)
    : title_(std::move(title)),
      heading_(std::move(heading)),
      unitLine_("Unit: '" + unitName + "'"),
      rows_(std::move(rows)) {}

bool FilterListPrintout::HasPage(int) { return next_ < rows_.size(); }

void FilterListPrintout::PrintPage(int page, ui::Dc& dc) {
  const ui::DeviceMetrics metrics = dc.Metrics();
  const ui::Size sheet = metrics.physicalPage;
  const ui::Point offset = metrics.physicalOffset;
  const ui::Rect rect{static_cast<int>(kMargin * sheet.cx) - offset.x,
                      static_cast<int>(kMargin * sheet.cy) - offset.y,
                      static_cast<int>((1.0 - kMargin) * sheet.cx) - offset.x,
                      static_cast<int>((1.0 - kMargin) * sheet.cy) - offset.y};
  TTextPrintDC text(dc);
  text.SetPrintRect(rect);
  const int width = rect.right - rect.left;
  const int x0 = width / 16;
  const int step = (width - width / 16) / 4;
  const int x1 = x0 + step;
  const int x2 = x1 + step;
  const int x3 = x2 + step;

  if (page == 1) {
    text.SetStyle(kHeadingStyle);
    text.PrintLine(heading_, width / 2, kCentredLine);
    text.SetStyle(kBodyStyle);
    text.PrintLine(unitLine_, width / 2, kCentredLine);
    text.NewLine();
    text.SetStyle(kColumnTitleStyle);
    text.PrintLine("Filter", x0, kCellFlags);
    text.PrintLine("Frequency", x1, kCellFlags);
    text.PrintLine("Parameter 1", x2, kCellFlags);
    text.PrintLine("Parameter 2", x3, TTextPrintDC::kAdvance);
  }
  text.SetStyle(kBodyStyle);
  while (next_ < rows_.size()) {
    const ListingRow& row = rows_[next_++];
    text.PrintLine(row.typeName, x0, kCellFlags);
    text.PrintLine(row.frequency, x1, kCellFlags);
    text.PrintLine(row.param1, x2, kCellFlags);
    text.PrintLine(row.param2, x3, TTextPrintDC::kAdvance);
    if (text.IsPageFull()) break;
  }
  text.SetStyle(kFooterStyle);
  text.PrintText("Produced by Telvo Windows 2.1", 0, rect.bottom - rect.top,
                 TTextPrintDC::kTopAtLine);
  char number[32];
  std::snprintf(number, sizeof number, "Page %d", page);
  text.PrintLine(number, width, TTextPrintDC::kRightAtX | TTextPrintDC::kTopAtLine);
}

void PrintListing(ui::Window& owner, FilterListPrintout& printout) {
  ui::Printer printer;
  const ui::PrintOutcome outcome = printer.Print(owner.Widget(), printout, true);
  if (outcome.result == ui::PrintResult::Failed) {
    ui::MessageBox(&owner, outcome.message, "Print", ui::mb::kOk | ui::mb::kIconExclamation);
  }
}

}  // namespace familycommon
