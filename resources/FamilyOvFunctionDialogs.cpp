#include <QImage>
#include <QPainter>

#include "platform/ui/Resources.h"
#include "resources/FamilyOvFunctionIds.h"

namespace ovfunctions_res {

namespace {

using ui::ControlKind;
namespace style = ui::style;

constexpr int kNoId = 0;

// Five boxes labelled with their bit values, 16 first, in a row from (x, y).
void AddBitRow(std::vector<ui::ControlTemplate>& controls, int firstId, int x, int y) {
  static constexpr const char* kLabels[] = {"16", "8", "4", "2", "1"};
  for (int k = 0; k < 5; ++k) {
    controls.push_back({firstId + k, ControlKind::CheckBox, kLabels[k], {x + k * 20, y, 19, 10}});
  }
}

void AddMemoryDialogs() {
  ui::Resources::AddDialog(
      {kMemoryTitleDialog,
       "",
       {0, 0, 190, 18},
       style::kChild,
       {{kNoId, ControlKind::Static, "Last Recalled", {2, 5, 48, 9}},
        {kSaveToAll, ControlKind::PushButton, "Save to all", {130, 2, 56, 14}}}});
  ui::Resources::AddDialog(
      {kMemoryRowDialog,
       "",
       {0, 0, 190, 18},
       style::kChild,
       {{kMemoryLamp, ControlKind::OwnerDrawButton, "", {14, 3, 12, 12}},
        {kMemoryNumber, ControlKind::Static, "", {30, 5, 12, 9}, style::kRight},
        {kMemoryName, ControlKind::Edit, "", {46, 3, 62, 12}},
        {kMemorySave, ControlKind::PushButton, "Save", {112, 2, 36, 14}},
        {kMemoryRecall, ControlKind::PushButton, "Recall", {150, 2, 36, 14}}}});
}

void AddLogicDialog() {
  std::vector<ui::ControlTemplate> controls = {
      {150, ControlKind::GroupBox, "Input condition", {4, 2, 132, 52}},
      {kNoId, ControlKind::Static, "Logic-in:", {10, 13, 60, 9}},
      {kLogicInNumber, ControlKind::Edit, "", {10, 36, 22, 12}, style::kNumber},
      {kLogicInUpDown, ControlKind::UpDown, "", {33, 35, 10, 14}},
      {118, ControlKind::GroupBox, "Response", {4, 58, 132, 110}},
      {kNoId, ControlKind::Static, "Recalls memory:", {10, 69, 80, 9}},
      {kRecalledMemory, ControlKind::ComboBox, "", {10, 80, 120, 80}, style::kDropDownList},
      {kNoId, ControlKind::Static, "Triggers logic-out:", {10, 98, 80, 9}},
      {kLogicOutNumber, ControlKind::Edit, "", {10, 121, 22, 12}, style::kNumber},
      {kLogicOutUpDown, ControlKind::UpDown, "", {33, 120, 10, 14}},
      {kTriggerNow, ControlKind::PushButton, "Trigger Now", {10, 144, 60, 14}}};
  AddBitRow(controls, kFirstLogicInBit, 10, 23);
  AddBitRow(controls, kFirstLogicOutBit, 10, 108);
  ui::Resources::AddDialog({kLogicDialog, "Logic", {0, 0, 140, 172}, style::kChild, controls});
}

void AddClockDialogs() {
  ui::Resources::AddDialog(
      {kTimerDialog,
       "Timer",
       {0, 0, 330, 30},
       style::kChild,
       {{kClockDisplay, ControlKind::Static, "---", {4, 2, 200, 9}},
        {kSetClock, ControlKind::PushButton, "Set ...", {270, 0, 50, 12}},
        {kEventDay, ControlKind::ComboBox, "", {4, 14, 70, 80}, style::kDropDownList},
        {kEventTime, ControlKind::Edit, "", {80, 14, 50, 12}},
        {kAfternoon, ControlKind::CheckBox, "PM", {134, 15, 24, 10}},
        {kEventLogic, ControlKind::ComboBox, "", {164, 14, 70, 120}, style::kDropDownList}}});
  ui::Resources::AddDialog(
      {kSetTimeDialog,
       "Set device date and time",
       {0, 0, 186, 92},
       style::kNone,
       {{kClockDayOfWeek, ControlKind::ComboBox, "", {8, 8, 64, 80}, style::kDropDownList},
        {kClockTime, ControlKind::Edit, "12:00:00", {78, 8, 50, 12}},
        {kAfternoon, ControlKind::CheckBox, "PM", {134, 9, 30, 10}},
        {kSetAsGiven, ControlKind::PushButton, "Set as given", {8, 28, 54, 14}},
        {kSetTimeToPc, ControlKind::PushButton, "Set to PC", {66, 28, 54, 14}},
        {kSetDateToPc, ControlKind::PushButton, "Set Date to PC", {124, 28, 54, 14}},
        {kDaylightSaving, ControlKind::CheckBox, "Use Daylight Saving Time", {8, 50, 120, 10}},
        {ui::kIdOk, ControlKind::PushButton, "OK", {68, 70, 50, 14}}}});
}

constexpr int kSide = 16;

// A strip of 16-pixel frames on white; `draw` paints frame i.
template <typename Draw>
QImage DrawnStrip(int frames, Draw draw) {
  QImage strip(frames * kSide, kSide, QImage::Format_RGB32);
  strip.fill(Qt::white);
  QPainter painter(&strip);
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (int i = 0; i < frames; ++i) {
    painter.save();
    painter.translate(i * kSide, 0);
    draw(painter, i);
    painter.restore();
  }
  return strip;
}

void AddImages() {
  // A logic input: a plug; the one fired last lit green.
  ui::Resources::AddImage(kLogicRowImages, DrawnStrip(2, [](QPainter& p, int frame) {
                            p.setPen(QColor(64, 64, 64));
                            p.setBrush(frame == 1 ? QColor(0, 176, 0) : QColor(192, 192, 192));
                            p.drawEllipse(3, 3, 9, 9);
                          }));
  // A clock event: a clock face.
  ui::Resources::AddImage(kEventImage, DrawnStrip(1, [](QPainter& p, int) {
                            p.setPen(QColor(0, 0, 128));
                            p.setBrush(QColor(255, 255, 192));
                            p.drawEllipse(1, 1, 13, 13);
                            p.drawLine(8, 8, 8, 3);
                            p.drawLine(8, 8, 11, 8);
                          }));
  // Delete: a red cross.
  ui::Resources::AddImage(kDeleteImage, DrawnStrip(1, [](QPainter& p, int) {
                            p.setPen(QPen(QColor(192, 0, 0), 2));
                            p.drawLine(3, 3, 12, 12);
                            p.drawLine(12, 3, 3, 12);
                          }));
}

// The hints the clock-event editor's tool bar shows in its status bar.
void AddStrings() {
  ui::Resources::AddString(kClockEventHints, kCmNewEvent, "New");
  ui::Resources::AddString(kClockEventHints, kCmDeleteEvents, "Delete");
}

}  // namespace

void RegisterFunctionDialogs() {
  AddStrings();
  AddMemoryDialogs();
  AddLogicDialog();
  AddClockDialogs();
  AddImages();
}

}  // namespace ovfunctions_res
