#pragma once

#include <string>

#include "bus/UCodeObject.h"
#include "controls/LevelScale.h"
#include "controls/MoveWrites.h"
#include "controls/UnitSteps.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Static.h"
#include "platform/ui/Trackbar.h"
#include "resources/ControlsResources.h"

class IQDevice;

// Two channels' levels on two trackbars, read-outs in dB, with a "Lock" box that moves both
// together. Tells its parent after every write the unit takes and when it closes, if asked to; a
// write the unit did not take leaves both sliders where the unit holds them, their read-outs
// unknown while the write's answer is lost.
class TStereodBLevelDialog : public ui::Dialog {
 public:
  struct ParentMessage {
    ui::MessageId id = 0;  // 0: none
    ui::Param wParam = 0;
    ui::Param lParam = 0;
  };

  // `lockFlag` is the owner's, read when the dialog opens and written when the box is clicked.
  TStereodBLevelDialog(IQDevice* device, const ByteUCodeObject* first,
                       const ByteUCodeObject* second, bool* lockFlag, int minimum, int maximum,
                       int tickGap, float offset, float scale, ui::Window* parent,
                       int resourceId = controls_res::kStereoLevelDialog);
  // Closes the window while this object is whole, so the parent still hears of it.
  ~TStereodBLevelDialog() override;

  void SetCloseMessage(ParentMessage m) { closeMessage_ = m; }
  void SetChangeMessage(ParentMessage m) { changeMessage_ = m; }
  void SetInverted(bool inverted) { scale_.inverted = inverted; }
  void SetWriteWhileDragging(bool writeWhileDragging) {
    writes_.SetWhileDragging(writeWhileDragging);
  }
  // Reads both parameters from the unit and moves the trackbars to them; answers whether it read
  // both.
  bool ReadValues();

 protected:
  void SetupWindow() override;
  void CleanupWindow() override;

 private:
  controls::TrackPair Positions() const;
  void SetPositions(controls::TrackPair positions);
  bool Locked() const;
  void Scrolled(ui::ScrollCode code, bool firstMoved);
  // Writes the levels the move changed; a bus failure is thrown.
  void WriteMove(bool firstMoved);
  std::string DbText(const ui::Trackbar& trackbar) const;
  void ShowValues(bool firstMoved);
  void PostToParent(const ParentMessage& m);

  IQDevice* device_;
  const ByteUCodeObject* first_;
  const ByteUCodeObject* second_;
  controls::TrackPair previous_;
  // Where the unit was last read or written to hold each level: a move writes only the levels it
  // changed, so that a failure on the other one cannot keep it from the unit.
  controls::TrackPair unitHolds_;
  // Whether both levels were read from the unit: a locked move of levels not known reads them
  // first, and one the user did not move is not written.
  bool known_ = false;
  ParentMessage closeMessage_;
  ParentMessage changeMessage_;
  bool* lockFlag_;
  float dbScale_;
  float dbOffset_;
  controls::LevelScale scale_;
  int tickGap_;
  controls::MoveWrites<controls::TrackPair> writes_;
  ui::StaticText firstText_;
  ui::Trackbar firstTrackbar_;
  ui::StaticText secondText_;
  ui::Trackbar secondTrackbar_;
  ui::CheckBox lockBox_;
  controls::UnitSteps firstSteps_{firstTrackbar_};
  controls::UnitSteps secondSteps_{secondTrackbar_};
};
