#include "familycommon/FilterListLook.h"

#include "platform/ui/Resources.h"
#include "resources/FamilyOvFilterEditorIds.h"

namespace familycommon {

namespace {

constexpr int kTypeIconWidth = 16;
constexpr int kStateIconWidth = 20;
constexpr ui::Color kMaskColor{255, 255, 255};

}  // namespace

FilterListLook::FilterListLook()
    : typeIcons_(kTypeIconWidth, kTypeIconWidth), stateIcons_(kStateIconWidth, kTypeIconWidth) {
  typeIcons_.AddStrip(ui::Resources::Image(ovfilter_res::kFilterTypeIcons), kMaskColor);
  stateIcons_.AddStrip(ui::Resources::Image(ovfilter_res::kFilterStateIcons), kMaskColor);
}

void FilterListLook::Apply(ui::ListView& list, std::span<const Column> columns) const {
  list.SetImageList(&typeIcons_);
  list.SetStateImageList(&stateIcons_);
  for (const Column& column : columns) {
    list.AddColumn(column.title, list.TextWidth(column.sample) + column.margin);
  }
}

}  // namespace familycommon
