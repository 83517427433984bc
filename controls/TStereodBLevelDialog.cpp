#include "controls/TStereodBLevelDialog.h"

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
    OnNotify(trackbar, ui::Notify::Scroll, [this](const ui::Notification& n) {
      Scrolled(static_cast<ui::ScrollCode>(n.value));
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

void TStereodBLevelDialog::ReadValues() {
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
  ShowValues();
  // A level the unit did not give shows as unknown, not as where its slider happens to rest.
  if (!firstRead) firstText_.SetText(controls::kUnknownValue);
  if (!secondRead) secondText_.SetText(controls::kUnknownValue);
}

void TStereodBLevelDialog::Scrolled(ui::ScrollCode code) {
  if (lockFlag_ != nullptr && *lockFlag_) {
    previous_ = controls::LockedMove(previous_, Positions(), scale_.minimum, scale_.maximum);
    firstTrackbar_.SetPosition(previous_.first);
    secondTrackbar_.SetPosition(previous_.second);
  } else {
    previous_ = Positions();
  }
  if (!writes_.Due(code, previous_) || device_ == nullptr || first_ == nullptr ||
      second_ == nullptr) {
    ShowValues();
    return;
  }
  controls::ApplyChange(
      [this] {
        return controls::GuardedBusCall(device_, [this] {
          const controls::TrackPair wanted = Positions();
          if (wanted.first != unitHolds_.first) {
            first_->Write(*device_, static_cast<uint8_t>(scale_.ValueOf(wanted.first)));
            unitHolds_.first = wanted.first;
          }
          if (wanted.second != unitHolds_.second) {
            second_->Write(*device_, static_cast<uint8_t>(scale_.ValueOf(wanted.second)));
            unitHolds_.second = wanted.second;
          }
        });
      },
      {.taken =
           [this] {
             ShowValues();
             PostToParent(changeMessage_);
           },
       .showUnit = [this] { ReadValues(); },
       .showUnknown =
           [this] {
             ReadValues();
             firstText_.SetText(controls::kUnknownValue);
             secondText_.SetText(controls::kUnknownValue);
           }});
}

void TStereodBLevelDialog::ShowValues() {
  firstText_.SetText(
      controls::DbText(scale_.ValueOf(firstTrackbar_.Position()), dbScale_, dbOffset_));
  secondText_.SetText(
      controls::DbText(scale_.ValueOf(secondTrackbar_.Position()), dbScale_, dbOffset_));
}

void TStereodBLevelDialog::PostToParent(const ParentMessage& m) {
  if (m.id != 0 && Parent() != nullptr) Parent()->Post(m.id, m.wParam, m.lParam);
}
