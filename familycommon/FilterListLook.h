#pragma once

#include <span>

#include "platform/ui/ImageList.h"
#include "platform/ui/ListView.h"

namespace familycommon {

// How a filter list looks in either family: the pictures of the filter kinds and of the rows'
// states (the families draw them alike), and columns as wide as their sample texts.
class FilterListLook {
 public:
  struct Column {
    const char* title;
    const char* sample;  // the widest text the column is meant to show
    int margin;
  };

  FilterListLook();

  // Gives `list` the pictures and `columns`, once it is created.
  void Apply(ui::ListView& list, std::span<const Column> columns) const;

 private:
  ui::ImageList typeIcons_;
  ui::ImageList stateIcons_;
};

}  // namespace familycommon
