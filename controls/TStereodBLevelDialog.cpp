#include "controls/TStereodBLevelDialog.h"

#include <string>

#include "controls/ControlChange.h"
#include "controls/DeviceErrorReport.h"

TStereodBLevelDialog::TStereodBLevelDialog(IQDevice* device, const ByteUCodeObject* first,
                                           const ByteUCodeObject* second, bool* lockFlag,
                                           int minimum, int maximum, int tickGap, float offset,
                                           float scale, ui::Window* parent, int resourceId)
    : ui::Dialog(parent, resourceId),
      device_(device),
      first_(first),
      second_(second),
      lockFlag_(lockFlag),
      dbScale_(scale),
      dbOffset_(offset),
      scale_{minimum, maximum, true},
      tickGap_(tickGap),
      firstText_(this, controls_res::kFirstText),
      firstTrackbar_(this, controls_res::kFirstTrackbar),
      secondText_(this, controls_res::kSecondText),
      secondTrackbar_(this, controls_res::kSecondTrackbar),
      lockBox_(this, controls_res::kLockBox) {
  for (const int trackbar : {controls_res::kFirstTrackbar, controls_res::kSecondTrackbar}) {
    OnNotify(trackbar, ui::Notify::Scroll, [this, trackbar](const ui::Notification& n) {
      Scrolled(static_cast<ui::ScrollCode>(n.value), trackbar == controls_res::kFirstTrackbar);
      return ui::Param{0};
    });
  }
  OnCommand(controls_res::kLockBox, [this] {
    if (lockFlag_ != nullptr) *lockFlag_ = lockBox_.IsChecked();
    ReadValues();
  });
}

TStereodBLevelDialog::~TStereodBLevelDialog() { Destroy(); }

void TStereodBLevelDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  for (ui::Trackbar* trackbar : {&firstTrackbar_, &secondTrackbar_}) {
    trackbar->SetRange(scale_.minimum, scale_.maximum);
    trackbar->SetTickFrequency(tickGap_);
  }
  lockBox_.SetCheck(lockFlag_ != nullptr && *lockFlag_);
  ReadValues();
}

void TStereodBLevelDialog::CleanupWindow() { PostToParent(closeMessage_); }

controls::TrackPair TStereodBLevelDialog::Positions() const {
  return {firstTrackbar_.Position(), secondTrackbar_.Position()};
}

bool TStereodBLevelDialog::ReadValues() {
  bool firstRead = true;
  bool secondRead = true;
  if (device_ != nullptr && first_ != nullptr && second_ != nullptr) {
    firstRead = secondRead = false;
    controls::GuardedBusCall(device_, [&] {
      firstTrackbar_.SetPosition(scale_.PositionOf(first_->Read(*device_)));
      firstRead = true;
      secondTrackbar_.SetPosition(scale_.PositionOf(second_->Read(*device_)));
      secondRead = true;
    });
  }
  // A locked move measures from here, so the first drag moves the other channel by as much.
  previous_ = Positions();
  unitHolds_ = previous_;
  known_ = firstRead && secondRead;
  firstSteps_.Rest(firstRead);
  secondSteps_.Rest(secondRead);
  // A level the unit did not give shows as unknown, not as where its slider happens to rest.
  firstText_.SetText(firstRead ? DbText(firstTrackbar_) : controls::kUnknownValue);
  secondText_.SetText(secondRead ? DbText(secondTrackbar_) : controls::kUnknownValue);
  return known_;
}

bool TStereodBLevelDialog::Locked() const { return lockFlag_ != nullptr && *lockFlag_; }

void TStereodBLevelDialog::Scrolled(ui::ScrollCode code, bool firstMoved) {
  if (!(firstMoved ? firstSteps_ : secondSteps_).Move(code, [this] { return ReadValues(); })) {
    return;
  }
  if (Locked()) {
    previous_ = controls::LockedMove(previous_, Positions(), scale_.minimum, scale_.maximum);
    SetPositions(previous_);
  } else {
    previous_ = Positions();
  }
  if (!writes_.Due(code, previous_) || device_ == nullptr || first_ == nullptr ||
      second_ == nullptr) {
    ShowValues(firstMoved);
    return;
  }
  controls::ApplyChange(
      [&] { return controls::GuardedBusCall(device_, [&] { WriteMove(firstMoved); }); },
      {.taken =
           [&] {
             ShowValues(firstMoved);
             // Unknown still, unless the move read both: only the moved level is the unit's.
             firstSteps_.Rest(known_ || firstMoved);
             secondSteps_.Rest(known_ || !firstMoved);
             PostToParent(changeMessage_);
           },
       .showUnit = [this] { ReadValues(); },
       .showUnknown =
           [this] {
             ReadValues();
             known_ = false;
             firstText_.SetText(controls::kUnknownValue);
             secondText_.SetText(controls::kUnknownValue);
             firstSteps_.Rest(false);
             secondSteps_.Rest(false);
           }});
}

void TStereodBLevelDialog::WriteMove(bool firstMoved) {
  controls::TrackPair wanted = Positions();
  if (!known_ && Locked()) {
    // The other channel moves by as many steps from the level the unit holds, not from where its
    // thumb rested while its level was unknown.
    const controls::TrackPair held{scale_.PositionOf(first_->Read(*device_)),
                                   scale_.PositionOf(second_->Read(*device_))};
    const controls::TrackPair moved = firstMoved ? controls::TrackPair{wanted.first, held.second}
                                                 : controls::TrackPair{held.first, wanted.second};
    wanted = controls::LockedMove(held, moved, scale_.minimum, scale_.maximum);
    unitHolds_ = held;
    known_ = true;
    previous_ = wanted;
    SetPositions(wanted);
  }
  // A level not known is written only when it is the one the user moved.
  if (known_ ? wanted.first != unitHolds_.first : firstMoved) {
    first_->Write(*device_, static_cast<uint8_t>(scale_.ValueOf(wanted.first)));
    unitHolds_.first = wanted.first;
  }
  if (known_ ? wanted.second != unitHolds_.second : !firstMoved) {
    second_->Write(*device_, static_cast<uint8_t>(scale_.ValueOf(wanted.second)));
    unitHolds_.second = wanted.second;
  }
}

void TStereodBLevelDialog::SetPositions(controls::TrackPair positions) {
  firstTrackbar_.SetPosition(positions.first);
  secondTrackbar_.SetPosition(positions.second);
}

std::string TStereodBLevelDialog::DbText(const ui::Trackbar& trackbar) const {
  return controls::DbText(scale_.ValueOf(trackbar.Position()), dbScale_, dbOffset_);
}

void TStereodBLevelDialog::ShowValues(bool firstMoved) {
  // While the unit's levels are not known, the level the user did not move stays unknown.
  firstText_.SetText(known_ || firstMoved ? DbText(firstTrackbar_) : controls::kUnknownValue);
  secondText_.SetText(known_ || !firstMoved ? DbText(secondTrackbar_) : controls::kUnknownValue);
}

void TStereodBLevelDialog::PostToParent(const ParentMessage& m) {
  if (m.id != 0 && Parent() != nullptr) Parent()->Post(m.id, m.wParam, m.lParam);
}
