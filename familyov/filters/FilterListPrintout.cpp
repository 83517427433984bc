#include "familyov/filters/FilterListPrintout.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Window.h"
#include "platform/ui/draw/Printer.h"

namespace namespaceOV {

namespace {

constexpr int kLineGap = 2;  // pixels between a text and its line
constexpr double kMargin = 0.1;
constexpr unsigned kBodyStyle = 0x02;
constexpr unsigned kChannelStyle = TTextPrintDC::kLarge | TTextPrintDC::kBold;
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

std::vector<const TFilter*> ListingOrder(std::vector<const TFilter*> filters) {
  std::ranges::stable_sort(filters, [](const TFilter* a, const TFilter* b) {
    const int byName =
        strcasecmp(FilterTypeName(a->typeCode).c_str(), FilterTypeName(b->typeCode).c_str());
    return byName != 0 ? byName < 0 : a->frequency < b->frequency;
  });
  return filters;
}

TFilterListPrintout::TFilterListPrintout(IQDeviceOrdavinex& device, int channel) {
  std::vector<const TFilter*> filters;
  for (const auto& filter : device.Filters()) {
    if (filter->channel == channel) filters.push_back(filter.get());
  }
  filters_ = ListingOrder(std::move(filters));
  gChannelNameObject.SetElement(std::min(channel, gChannelNameObject.GetCount() - 1));
  channelName_ = gChannelNameObject.Read(device);
  std::string unit;
  if (!device.GetListText(unit)) unit = device.GetName();
  unitText_ = "Unit: '" + unit + "'";
}

bool TFilterListPrintout::HasPage(int) { return next_ != filters_.size(); }

void TFilterListPrintout::PrintPage(int page, ui::Dc& dc) {
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
    text.SetStyle(kChannelStyle);
    text.PrintLine(channelName_, width / 2, kCentredLine);
    text.SetStyle(kBodyStyle);
    text.PrintLine(unitText_, width / 2, kCentredLine);
    text.NewLine();
    text.SetStyle(kColumnTitleStyle);
    text.PrintLine("Filter", x0, kCellFlags);
    text.PrintLine("Frequency", x1, kCellFlags);
    text.PrintLine("Parameter 1", x2, kCellFlags);
    text.PrintLine("Parameter 2", x3, TTextPrintDC::kAdvance);
  }
  text.SetStyle(kBodyStyle);
  while (next_ < filters_.size()) {
    const TFilter& filter = *filters_[next_++];
    text.PrintLine(FilterTypeName(filter.typeCode), x0, kCellFlags);
    text.PrintLine(filter.FormatFrequency(true), x1, kCellFlags);
    text.PrintLine(filter.FormatParam1(true), x2, kCellFlags);
    text.PrintLine(filter.FormatParam2(true, false), x3, TTextPrintDC::kAdvance);
    if (text.IsPageFull()) break;
  }
  text.SetStyle(kFooterStyle);
  text.PrintText("Produced by Telvo Windows 2.1", 0, rect.bottom - rect.top,
                 TTextPrintDC::kTopAtLine);
  char number[32];
  std::snprintf(number, sizeof number, "Page %d", page);
  text.PrintLine(number, width, TTextPrintDC::kRightAtX | TTextPrintDC::kTopAtLine);
}

void PrintChannelFilterListing(IQDeviceOrdavinex& device, ui::Window& owner, int channel) {
  std::unique_ptr<TFilterListPrintout> printout;
  if (!GuardedUnitCall(
          device, [&] { printout = std::make_unique<TFilterListPrintout>(device, channel); })) {
    return;
  }
  ui::Printer printer;
  const ui::PrintOutcome outcome = printer.Print(owner.Widget(), *printout, true);
  if (outcome.result == ui::PrintResult::Failed) {
    ui::MessageBox(&owner, outcome.message, "Print", ui::mb::kOk | ui::mb::kIconExclamation);
  }
}

}  // namespace namespaceOV
