#include "familyov/channels/TCompressorWindow.h"

#include "controls/TypedEntry.h"
#include "controls/UnitSteps.h"
#include "familyov/channels/ChannelTexts.h"
#include "familyov/channels/ChildPlacement.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditOVWindow.h"
#include "resources/FamilyOvProcessingIds.h"

namespace namespaceOV {

namespace {

using namespace ovprocessing_res;

constexpr int kWidth = 400;
constexpr int kHeight = 200;
constexpr int kLastTrackbarPosition = kCompRatioCount - 1;
constexpr float kFineDb = 0.1f;
constexpr float kCoarseDb = 1.0f;

}  // namespace

TCompressorDialog::TCompressorDialog(ui::Window* parent, IQDeviceOrdavinex& device, int input)
    : ui::Dialog(parent, kCompressorPane),
      TDataWindow(parent),
      device_(device),
      input_(input),
      caption_(this, kCompCaption),
      threshold_(this, kCompThreshold),
      postGain_(this, kCompPostGain),
      soft_(this, kCompSoft),
      hard_(this, kCompHard),
      gang_(this, kCompGang),
      thresholdSpin_(this, kCompThresholdSpin),
      postGainSpin_(this, kCompPostGainSpin),
      ratio_(this, kCompRatio),
      speed_(this, kCompSpeed),
      ratioText_(this, kCompRatioText),
      speedText_(this, kCompSpeedText),
      thresholdField_{&gCompThresholdObject, &threshold_, kCompThresholdRange},
      postGainField_{&gCompPostGainObject, &postGain_, kCompPostGainRange} {
  OnMessage(TQuadButton::kQuadSpin, [this](const ui::Message& m) {
    const auto* spin = reinterpret_cast<const TQuadButton*>(m.lParam);
    Spin(spin == &thresholdSpin_ ? thresholdField_ : postGainField_, spin->CurrentZone());
    return 0;
  });
  OnNotify(kCompThreshold, ui::Notify::KillFocus, [this](const ui::Notification&) {
    ApplyTyped(thresholdField_);
    return 0;
  });
  OnNotify(kCompPostGain, ui::Notify::KillFocus, [this](const ui::Notification&) {
    ApplyTyped(postGainField_);
    return 0;
  });
  OnNotify(kCompRatio, ui::Notify::Scroll, [this](const ui::Notification& n) {
    EvScroll(ratio_, static_cast<ui::ScrollCode>(n.value));
    return 0;
  });
  OnNotify(kCompSpeed, ui::Notify::Scroll, [this](const ui::Notification& n) {
    EvScroll(speed_, static_cast<ui::ScrollCode>(n.value));
    return 0;
  });
  const auto knee = [this] {
    const bool soft = soft_.IsChecked();
    ChangeOnUnit(device_,
                 [&] {
                   gCompSoftKneeObject.SetElement(input_);
                   gCompSoftKneeObject.Write(device_, soft);
                 },
                 {.showUnit = [this] { FillControls(); },
                  .showUnknown =
                      [this] {
                        soft_.ShowNoState();
                        hard_.ShowNoState();
                      }});
  };
  OnCommand(kCompSoft, knee);
  OnCommand(kCompHard, knee);
  OnCommand(kCompGang, [this] {
    const bool gang = gang_.IsChecked();
    const auto tellGroups = [this] {
      NotifyRecord record{.code = CompressorGangChanged, .channel = input_};
      NotifyLocal(&record);
    };
    ChangeOnUnit(device_,
                 [&] {
                   gCompGangObject.SetElement(input_);
                   gCompGangObject.Write(device_, gang);
                 },
                 // In doubt the groups are built again too: from a silent unit, none are shown.
                 {.taken = tellGroups,
                  .showUnit = [this] { FillControls(); },
                  .showUnknown =
                      [this, tellGroups] {
                        gang_.ShowNoState();
                        tellGroups();
                      }});
  });
}

void TCompressorDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  for (ui::Trackbar* bar : {&ratio_, &speed_}) {
    bar->SetRange(0, kLastTrackbarPosition);
    bar->SetTickFrequency(1);
  }
  ShowCaption();
  if (input_ == device_.inputs - 1) gang_.Enable(false);
  FillControls();
}

void TCompressorDialog::ShowCaption() {
  std::string name;
  GuardedUnitCall(device_, [&] {
    gChannelNameObject.SetElement(input_);
    name = gChannelNameObject.Read(device_);
  });
  caption_.SetText(name);
}

void TCompressorDialog::ShowUnknown() {
  soft_.ShowNoState();
  hard_.ShowNoState();
  gang_.ShowNoState();
  ratioText_.SetText("?");
  speedText_.SetText("?");
  ratioSteps_.Rest(false);
  speedSteps_.Rest(false);
  threshold_.SetText("");
  postGain_.SetText("");
}

void TCompressorDialog::FillControls() {
  // What the unit does not answer shows as unknown, not as the template's or an earlier value.
  ShowUnknown();
  GuardedUnitCall(device_, [&] {
    gCompSoftKneeObject.SetElement(input_);
    const bool softKnee = gCompSoftKneeObject.Read(device_);
    soft_.SetCheck(softKnee);
    hard_.SetCheck(!softKnee);
    gCompGangObject.SetElement(input_);
    gang_.SetCheck(gCompGangObject.Read(device_));
    ShowSlider(true);
    ShowSlider(false);
    gCompThresholdObject.SetElement(input_);
    threshold_.SetText(LevelText(gCompThresholdObject.Read(device_)));
    gCompPostGainObject.SetElement(input_);
    postGain_.SetText(LevelText(gCompPostGainObject.Read(device_)));
  });
}

bool TCompressorDialog::ShowSlider(bool isRatio) {
  if (isRatio) {
    gCompRatioObject.SetElement(input_);
    const int ratio = gCompRatioObject.ReadCompRatio(device_);
    ratioText_.SetText(CompRatioLabel(ratio));
    ratio_.SetPosition(ratio);
    ratioSteps_.Rest(true);
    return true;
  }
  gCompSpeedObject.SetElement(input_);
  // The byte comes from the unit: it is shown, never used as an index.
  const int speed = gCompSpeedObject.Read(device_);
  speedText_.SetText(CompSpeedLabel(speed));
  if (speed >= kCompSpeedCount) return false;
  speed_.SetPosition(speed);
  speedSteps_.Rest(true);
  return true;
}

void TCompressorDialog::Notify(NotifyRecord* record) {
  if (record->code == RefreshAll) FillControls();
  if (record->code == ChannelRenamed) ShowCaption();
  TDataWindow::Notify(record);
}

bool TCompressorDialog::PreProcessKey(const ui::KeyStroke& key) {
  // Enter takes what was typed into the field; neither key reaches the dialog's buttons.
  if (key.down && key.code == ui::key::kReturn) {
    for (const DbField* field : {&thresholdField_, &postGainField_}) ApplyTyped(*field);
    return true;
  }
  if (key.down && key.code == ui::key::kEscape) return true;
  return ui::Dialog::PreProcessKey(key);
}

void TCompressorDialog::Spin(const DbField& field, int zone) {
  float value = 0.0f;
  ChangeOnUnit(
      device_,
      [&] {
        field.object->SetElement(input_);
        value = field.range.Clamp(field.object->Read(device_) + ZoneStep(zone, kFineDb, kCoarseDb));
        field.object->Write(device_, value);
      },
      {.taken = [&] { field.edit->SetText(LevelText(value)); },
       .showUnit = [this] { FillControls(); },
       .showUnknown = [field] { field.edit->SetText(""); }});
}

void TCompressorDialog::ApplyTyped(const DbField& field) {
  controls::CommitEntry(*field.edit, [&] {
    const std::optional<float> typed = ParseTypedDb(field.edit->Text(), field.range);
    GuardedUnitCall(device_, [&] {
      field.object->SetElement(input_);
      const float current = field.object->Read(device_);
      if (!typed) {
        // Not a number: the unit keeps its value and the edit shows it again.
        field.edit->SetText(LevelText(current));
        return;
      }
      if (current != *typed) field.object->Write(device_, *typed);
    });
    if (typed) field.edit->SetText(LevelText(*typed));
  });
}

void TCompressorDialog::EvScroll(ui::Trackbar& bar, ui::ScrollCode code) {
  const bool isRatio = &bar == &ratio_;
  controls::UnitSteps& steps = isRatio ? ratioSteps_ : speedSteps_;
  const auto read = [this, isRatio] {
    bool placed = false;
    return GuardedUnitCall(device_, [&] { placed = ShowSlider(isRatio); }) && placed;
  };
  if (!steps.Move(code, read)) return;
  const int position = bar.Position();
  (isRatio ? ratioText_ : speedText_)
      .SetText(isRatio ? CompRatioLabel(position) : CompSpeedLabel(position));
  if (code != ui::ScrollCode::EndScroll) return;
  ChangeOnUnit(device_,
               [&] {
                 if (isRatio) {
                   gCompRatioObject.SetElement(input_);
                   gCompRatioObject.WriteCompRatio(device_, position);
                 } else {
                   gCompSpeedObject.SetElement(input_);
                   gCompSpeedObject.Write(device_, static_cast<uint8_t>(position));
                 }
               },
               // A slider's thumb has no unknown place: its read-out says so.
               {.taken = [&steps] { steps.Rest(true); },
                .showUnit = [this] { FillControls(); },
                .showUnknown =
                    [this, isRatio, &steps] {
                      (isRatio ? ratioText_ : speedText_).SetText("?");
                      steps.Rest(false);
                    }});
}

void TCompressorTreeWindow::Build() {
  std::vector<bool> gang;
  // A failed read ends the list: the tree shows the runs read so far.
  GuardedUnitCall(device_, [&] {
    for (int n = 0; n < device_.inputs; ++n) {
      gCompGangObject.SetElement(n);
      gang.push_back(gCompGangObject.Read(device_));
    }
  });
  const std::vector<std::vector<int>> runs = CompressorGangRuns(gang);
  GuardedUnitCall(device_, [&] {
    for (std::size_t g = 0; g < runs.size(); ++g) {
      const ui::TreeItem group = AddGroup(static_cast<int>(g) + 1);
      for (int input : runs[g]) AddChannel(group, input, kChannelImage, kChannelSelectedImage);
      Tree().Expand(group);
    }
  });
}

bool TCompressorTreeWindow::RebuildsOn(uint32_t code) const {
  return code == CompressorGangChanged || code == RefreshAll || code == ChannelRenamed;
}

TCompressorWindow::TCompressorWindow(TEditOVWindow& editWindow)
    : OVChild<TGroupWindow>(editWindow, "Compressors", nullptr) {
  PlaceAtWorkAreaCorner(*this, kWidth, kHeight);
  SetIcon(Device().GetModelBitmapId());
  for (int n = 0; n < Device().inputs; ++n) {
    panes_.push_back(std::make_unique<TCompressorDialog>(this, Device(), n));
  }
  tree_ = std::make_unique<TCompressorTreeWindow>(this, Device());
}

TCompressorWindow::~TCompressorWindow() { Destroy(); }

void TCompressorWindow::SetupWindow() {
  TGroupWindow::SetupWindow();
  for (auto& pane : panes_) AddPane(pane.get());
  const int height = panes_.empty() ? ClientRect().Height() : panes_.front()->WindowRect().Height();
  tree_->SetRect({0, 0, ChannelTreeWindow::kWidth, height});
  SetEdgePane(tree_.get(), kLeft);
}

std::unique_ptr<ui::Window> MakeCompressorWindow(TEditOVWindow& editWindow) {
  if (!editWindow.Device().HasFeature(kFeatureCompressors)) return nullptr;
  return std::make_unique<TCompressorWindow>(editWindow);
}

}  // namespace namespaceOV
