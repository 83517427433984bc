#pragma once

#include <string>

#include "bus/UCodeObject.h"
#include "controls/LevelScale.h"
#include "controls/MoveWrites.h"
#include "controls/UnitSteps.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Static.h"
#include "platform/ui/Trackbar.h"
#include "resources/ControlsResources.h"

class IQDevice;

// Binds a trackbar to one byte-valued parameter of a unit: reads it when it opens and writes it
// when the user ends a move (or on every move, when asked to). A failed read or write is reported
// and the dialog stays open; a refused write shows the unit's level again, one whose answer never
// came shows the level as unknown until the unit is read again.
class TLevelDialog : public ui::Dialog {
 public:
  TLevelDialog(IQDevice* device, const ByteUCodeObject* parameter, int minimum, int maximum,
               int tickGap, ui::Window* parent, int resourceId = controls_res::kLevelDialog);

  void SetInverted(bool inverted) { scale_.inverted = inverted; }
  void SetWriteWhileDragging(bool writeWhileDragging) {
    writes_.SetWhileDragging(writeWhileDragging);
  }
  // Reads the parameter from the unit and moves the trackbar to it; answers whether it read.
  bool ReadValue();
  // The read-out says unknown: the unit did not give the level.
  void ShowUnknown();

 protected:
  void SetupWindow() override;
  // Writes the read-out from the trackbar.
  virtual void ShowValue();
  // What the read-out counts in, shown beside it; none by default.
  virtual std::string UnitText() const { return {}; }
  int ShownValue() const { return scale_.ValueOf(trackbar_.Position()); }
  ui::StaticText& ReadOut() { return readOut_; }

 private:
  void Scrolled(ui::ScrollCode code);

  IQDevice* device_;
  const ByteUCodeObject* parameter_;
  controls::LevelScale scale_;
  int tickGap_;
  controls::MoveWrites<int> writes_;
  // Where a move whose write failed left the thumb.
  int stoppedAt_ = 0;
  ui::StaticText readOut_;
  ui::StaticText unit_;
  ui::Trackbar trackbar_;
  controls::UnitSteps steps_{trackbar_};
};

// The same, with the read-out in dB: value x scale + offset.
class TdBLevelDialog : public TLevelDialog {
 public:
  TdBLevelDialog(IQDevice* device, const ByteUCodeObject* parameter, int minimum, int maximum,
                 int tickGap, float offset, float scale, ui::Window* parent,
                 int resourceId = controls_res::kLevelDialog);

 protected:
  void ShowValue() override;

 private:
  float dbScale_;
  float dbOffset_;
};
