#include "resources/ControlsResources.h"

#include "platform/ui/Resources.h"
#include "resources/ControlsBitmaps.h"

namespace controls_res {

namespace {

using ui::ControlKind;
namespace style = ui::style;

constexpr int kNoId = 0;

void AddDialogs() {
  ui::Resources::AddDialog(
      {kValueDialog,
       "",
       {0, 92, 61, 14},
       style::kPopup,
       {{kValueText, ControlKind::Static, "0.0", {2, 2, 57, 10}, style::kCenter}}});
  ui::Resources::AddDialog(
      // Wide enough for a caption such as "Channel gain A" in a window manager's title bar.
      {kLevelDialog,
       "Level",
       {0, 0, 130, 150},
       style::kNone,
       {{kNoId, ControlKind::Line, "", {5, 4, 120, 122}},
        {kLevelTrackbar,
         ControlKind::Trackbar,
         "",
         {53, 8, 24, 100},
         style::kVertical | style::kAutoTicks},
        {kLevelText, ControlKind::Static, "0", {8, 112, 59, 10}, style::kRight},
        {kLevelUnit, ControlKind::Static, "", {69, 112, 53, 10}},
        {ui::kIdOk, ControlKind::PushButton, "OK", {45, 131, 40, 14}, style::kDefault}}});
  ui::Resources::AddDialog(
      {kAdjustDialog,
       "Adjust",
       {0, 0, 120, 62},
       style::kNone,
       {{kNoId, ControlKind::Static, "Adjust all filters by:", {6, 6, 108, 10}},
        {kAdjustText, ControlKind::Static, "0 dB", {6, 22, 50, 10}, style::kRight},
        {kAdjustUpDown, ControlKind::UpDown, "", {60, 19, 12, 16}},
        {ui::kIdOk, ControlKind::PushButton, "OK", {40, 42, 40, 14}, style::kDefault}}});
  ui::Resources::AddDialog(
      {kStereoLevelDialog,
       "Level",
       {0, 0, 90, 140},
       style::kNone,
       {{kNoId, ControlKind::Line, "", {5, 4, 80, 122}},
        {kFirstTrackbar,
         ControlKind::Trackbar,
         "",
         {12, 8, 24, 100},
         style::kVertical | style::kAutoTicks},
        {kSecondTrackbar,
         ControlKind::Trackbar,
         "",
         {54, 8, 24, 100},
         style::kVertical | style::kAutoTicks},
        {kFirstText, ControlKind::Static, "0", {6, 112, 38, 10}, style::kCenter},
        {kSecondText, ControlKind::Static, "0", {46, 112, 38, 10}, style::kCenter},
        {kLockBox, ControlKind::CheckBox, "Lock", {28, 128, 40, 10}}}});
  ui::Resources::AddDialog(
      {kInputDialog,
       "",
       {0, 0, 190, 62},
       style::kNone,
       {{kInputPrompt, ControlKind::Static, "", {8, 6, 174, 10}},
        {kInputField, ControlKind::Edit, "", {8, 18, 174, 12}},
        {ui::kIdOk, ControlKind::PushButton, "OK", {42, 40, 50, 14}, style::kDefault},
        {ui::kIdCancel, ControlKind::PushButton, "Cancel", {98, 40, 50, 14}}}});
}

void AddBitmaps() {
  ui::Resources::AddImage(kPolarityGlyphs, PolarityGlyphsImage());
  ui::Resources::AddImage(kLedLamps, LedLampsImage());
  ui::Resources::AddImage(kQuadGlyphs, QuadGlyphsImage());
  ui::Resources::AddImage(kSliderThumb, SliderThumbImage());
}

}  // namespace

void RegisterControlsResources() {
  AddDialogs();
  AddBitmaps();
}

}  // namespace controls_res
