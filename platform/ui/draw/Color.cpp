#include "platform/ui/draw/Color.h"

namespace ui {

Color SystemColorOf(SystemColor which) {
  switch (which) {
    case SystemColor::Window:
      return kWhite;
    case SystemColor::WindowText:
      return kBlack;
    case SystemColor::ButtonFace:
      return {240, 240, 240};
    case SystemColor::ButtonText:
      return kBlack;
    case SystemColor::ButtonHighlight:
      return kWhite;
    case SystemColor::ButtonLight:
      return {227, 227, 227};
    case SystemColor::ButtonShadow:
      return {160, 160, 160};
    case SystemColor::ButtonDarkShadow:
      return {105, 105, 105};
    case SystemColor::Highlight:
      return {0, 120, 215};
    case SystemColor::HighlightText:
      return kWhite;
    case SystemColor::GrayText:
      return {109, 109, 109};
  }
  return kBlack;
}

}  // namespace ui
