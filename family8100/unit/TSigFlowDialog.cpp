#include "family8100/unit/TSigFlowDialog.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "controls/DeviceErrorReport.h"
#include "controls/IdlePoll.h"
#include "controls/LevelScale.h"
#include "controls/RenamedCaptions.h"
#include "family8100/unit/Commands8100.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/TDelayDialog.h"
#include "family8100/unit/TLimiterDialog.h"
#include "family8100/unit/TNoiseDialog.h"
#include "resources/Family8100Ids.h"

namespace namespace8100 {
namespace {

using namespace f8100res;

constexpr ui::MessageId kFreeRetiredMessage = 0x0401;
constexpr double kMeterFullScale = 524287.0;
constexpr double kMeterFloorRatio = 1e-8;
constexpr int kAttenuationSteps = 160;
constexpr float kAttenuationDbPerStep = -0.5f;
constexpr ui::Color kClosedLine{0, 255, 0};
constexpr ui::Color kClosedShade{0, 127, 0};
constexpr ui::Color kOpenLine{255, 0, 0};
constexpr ui::Color kOpenShade{127, 0, 0};

// Routing bytes, least significant first, and the check box of each.
constexpr int kRoutingBoxes[] = {kRouteBox0, kRouteBox1, kRouteBox2, kRouteBox3};

int SigFlowTemplate(uint32_t typeCode) {
  switch (typeCode) {
    case kTypeCodePlus:
      return kSigFlowPlusDialog;
    case kTypeCodeX:
      return kSigFlowXDialog;
    case kTypeCodeRuneTide:
      return kSigFlowRuneTideDialog;
    default:
      return kSigFlowDialog;
  }
}

std::string AttenuationText(uint8_t value) {
  char text[16];
  // Adding zero turns the -0.0 of no attenuation into 0.0.
  std::snprintf(text, sizeof text, "%.1f dB", value * kAttenuationDbPerStep + 0.0f);
  return text;
}

}  // namespace

TSigFlowDialog::TSigFlowDialog(ui::Window* parent, IQDevice8100& device)
    : ui::Dialog(parent, SigFlowTemplate(device.TypeCode())),
      device_(device),
      leftAttenuation_(this, kLeftAttenuationButton),
      rightAttenuation_(this, kRightAttenuationButton),
      leftMute_(this, kLeftMuteSwitch),
      rightMute_(this, kRightMuteSwitch),
      net_(this, kNetPicture) {
  const int meterIds[kMeterCount] = {kMeter1, kMeter2, kMeter3, kMeter4};
  for (int i = 0; i < kMeterCount; ++i) {
    meters_[static_cast<std::size_t>(i)] = std::make_unique<TLogHotGauge2>(this, meterIds[i]);
  }
  for (std::size_t i = 0; i < routing_.size(); ++i) {
    routing_[i] = std::make_unique<ui::CheckBox>(this, kRoutingBoxes[i]);
    OnCommand(kRoutingBoxes[i], [this, i] { WriteRoute(i); });
  }
  if (device.HasNoise()) {
    leftNoise_ = std::make_unique<TSwitchButton>(this, kLeftNoiseSwitch);
    rightNoise_ = std::make_unique<TSwitchButton>(this, kRightNoiseSwitch);
    OnCommand(kLeftNoiseSwitch, [this] { ToggleSwitch(*leftNoise_, g8100LeftNoiseOn); });
    OnCommand(kRightNoiseSwitch, [this] { ToggleSwitch(*rightNoise_, g8100RightNoiseOn); });
  }
  OnCommand(kLeftMuteSwitch, [this] { ToggleSwitch(leftMute_, g8100LeftMute); });
  OnCommand(kRightMuteSwitch, [this] { ToggleSwitch(rightMute_, g8100RightMute); });
  for (int id : {kLeftAttenuationButton, kRightAttenuationButton}) {
    OnCommand(id, [this] { ShowSubDialog(*levelDialog_, "Attenuation - "); });
  }
  for (int id : {kLeftDelayButton, kRightDelayButton}) {
    OnCommand(id, [this] { ShowSubDialog(*delayDialog_, "Delay - "); });
  }
  for (int id : {kLeftLimiterButton, kRightLimiterButton}) {
    OnCommand(id, [this] { ShowSubDialog(*limiterDialog_, "Limiters - "); });
  }
  OnCommand(kNoiseButton, [this] { ShowSubDialog(*noiseDialog_, "Noise sources - "); });
  static constexpr EditorButton kEditorButtons[] = {
      {kLeftInputButton, EditorView::LeftInput, "Left Input Filters - "},
      {kRightInputButton, EditorView::RightInput, "Right Input Filters - "},
      {kLeftOutputButton, EditorView::LeftOutput, "Left Output Filters - "},
      {kRightOutputButton, EditorView::RightOutput, "Right Output Filters - "},
      {kLowCrossoverButton, EditorView::Crossovers, "Crossovers - "},
      {kHighCrossoverButton, EditorView::Crossovers, "Crossovers - "},
  };
  for (const EditorButton& button : kEditorButtons) {
    if (button.view != EditorView::Crossovers || device.HasCrossovers()) BindEditorButton(button);
  }
  OnMessage(kFreeRetiredMessage, [this](const ui::Message&) {
    retired_.clear();
    return ui::Param{0};
  });
  OnMessage(kRefreshAll, [this](const ui::Message&) {
    RefreshAll();
    return ui::Param{0};
  });
  for (ui::MessageId id : {kLevelChanged, kLevelClosed}) {
    OnMessage(id, [this](const ui::Message&) {
      UpdateFromUnit();
      return ui::Param{0};
    });
  }
  OnMessage(kEditorClosed, [this](const ui::Message& m) {
    EditorClosed(static_cast<int>(m.lParam));
    return ui::Param{0};
  });
}

TSigFlowDialog::~TSigFlowDialog() { Destroy(); }

float TSigFlowDialog::MeterDb(uint32_t reading) {
  const double ratio = std::max(reading / kMeterFullScale, kMeterFloorRatio);
  return static_cast<float>(20.0 * std::log10(ratio));
}

std::string TSigFlowDialog::UnitText() const { return device_.ListTextOrName(); }

void TSigFlowDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  polling_ = true;
  pollStep_ = 0;
  leftMute_.SetHorizontal(true);
  rightMute_.SetHorizontal(true);
  for (TSwitchButton* button : {&leftMute_, &rightMute_, leftNoise_.get(), rightNoise_.get()}) {
    if (button == nullptr) continue;
    button->SetClosedColors({kClosedLine, kClosedShade});
    button->SetOpenColors({kOpenLine, kOpenShade});
  }
  if (leftNoise_ != nullptr) {
    // Closed while the noise source is on, drawn upright.
    for (TSwitchButton* button : {leftNoise_.get(), rightNoise_.get()}) {
      button->SetClosedValue(1);
      button->SetHorizontal(false);
    }
  }
  for (auto& meter : meters_) {
    meter->SetScale(kMeterFloorDb, kMeterTopDb);
    meter->ShowPeakLine(device_.IsOnline());
  }
  levelDialog_ = std::make_unique<TStereodBLevelDialog>(
      &device_, &g8100LeftAttenuation, &g8100RightAttenuation, &device_.attenuationLinked, 0,
      kAttenuationSteps, 1, 0.0f, kAttenuationDbPerStep, this, kAttenuationDialog);
  levelDialog_->SetInverted(false);
  levelDialog_->SetChangeMessage({kLevelChanged, 0, 0});
  levelDialog_->SetCloseMessage({kLevelClosed, 0, 0});
  if (device_.HasDelay()) delayDialog_ = std::make_unique<TDelayDialog>(this, device_);
  if (device_.HasLimiter()) limiterDialog_ = std::make_unique<TLimiterDialog>(this, device_);
  if (device_.HasNoise()) noiseDialog_ = std::make_unique<TNoiseDialog>(this, device_);
  UpdateFromUnit();
}

void TSigFlowDialog::CleanupWindow() {
  CloseEditors();
  namedByAddress_.clear();
  levelDialog_.reset();
  delayDialog_.reset();
  limiterDialog_.reset();
  noiseDialog_.reset();
  ui::Dialog::CleanupWindow();
}

void TSigFlowDialog::UpdateFromUnit() {
  // A unit that does not answer keeps the caption it had, if any: its bare address would say less.
  const std::string listed = device_.ListTextOrName({});
  if (!listed.empty() || Text().empty()) {
    SetText("Signal Flow - " + (listed.empty() ? UnitText() : listed));
  }
  const bool read = controls::GuardedBusCall(&device_, [this] {
    ShowRouting();
    leftAttenuation_.SetText(AttenuationText(g8100LeftAttenuation.Read(device_)));
    rightAttenuation_.SetText(AttenuationText(g8100RightAttenuation.Read(device_)));
    ShowSwitch(leftMute_, g8100LeftMute);
    ShowSwitch(rightMute_, g8100RightMute);
    if (leftNoise_ != nullptr) {
      ShowSwitch(*leftNoise_, g8100LeftNoiseOn);
      ShowSwitch(*rightNoise_, g8100RightNoiseOn);
    }
  });
  if (!read) ShowUnknown();
}

void TSigFlowDialog::ShowUnknown() {
  // Neither the template's figures nor earlier ones: the unit did not give them.
  for (ui::PushButton* button : {&leftAttenuation_, &rightAttenuation_}) {
    button->SetText(controls::kUnknownValue);
  }
  ShowRoutingUnknown();
  for (TSwitchButton* button : {&leftMute_, &rightMute_, leftNoise_.get(), rightNoise_.get()}) {
    if (button != nullptr) ShowSwitchUnknown(*button);
  }
}

void TSigFlowDialog::ShowRouting() {
  const uint32_t routing = g8100Routing.Read(device_);
  for (std::size_t i = 0; i < routing_.size(); ++i) {
    routing_[i]->SetCheck(((routing >> (8 * i)) & 0xFF) != 0);
  }
  ShowRoutes(routing);
}

void TSigFlowDialog::ShowRoutingUnknown() {
  for (const auto& box : routing_) box->ShowNoState();
}

void TSigFlowDialog::ShowSwitch(TSwitchButton& button, const BoolUCodeObject& object) {
  button.SetState(object.Read(device_) ? 1 : 0);
  button.Invalidate();
}

void TSigFlowDialog::ShowSwitchUnknown(TSwitchButton& button) {
  button.SetState(TSwitchButton::kUnknownState);
  button.Invalidate();
}

void TSigFlowDialog::ShowRoutes(uint32_t routing) {
  const auto byte = [routing](int index) { return ((routing >> (8 * index)) & 0xFF) != 0; };
  // The left edge stands for the inputs, the right edge for the outputs.
  net_.SetRoutes({byte(0), byte(2), byte(1), byte(3)});
  net_.DrawFace();
}

void TSigFlowDialog::WriteRoute(std::size_t route) {
  // The unit keeps every route in one value: the others go as the unit holds them, never as boxes
  // that show no state would have them.
  const uint32_t mask = 0xFFu << (8 * route);
  const uint32_t on = routing_[route]->IsChecked() ? 1u << (8 * route) : 0;
  ChangeThenShow(
      device_, [&] { g8100Routing.Write(device_, (g8100Routing.Read(device_) & ~mask) | on); },
      [this] { ShowRouting(); }, [this] { ShowRoutingUnknown(); });
}

void TSigFlowDialog::ToggleSwitch(TSwitchButton& button, const BoolUCodeObject& object) {
  // A switch shown unknown turns over what the unit holds.
  ChangeThenShow(
      device_, [&] { object.Write(device_, !object.Read(device_)); },
      [&] { ShowSwitch(button, object); }, [&] { ShowSwitchUnknown(button); });
}

void TSigFlowDialog::ShowSubDialog(ui::Window& dialog, const std::string& prefix) {
  // The caption's read and each field's as the dialog is created: a silent unit is told of once.
  const controls::OneReportScope opening;
  const std::optional<std::string> listed = CaptionText();
  dialog.SetText(prefix + listed.value_or(device_.GetName()));
  std::erase(namedByAddress_, &dialog);
  if (!listed) NamedByAddress(dialog);
  if (dialog.IsCreated()) {
    dialog.BringToTop();
  } else {
    dialog.Create();
    dialog.Show();
  }
}

std::vector<ui::Window*> TSigFlowDialog::Editors() const {
  std::vector<ui::Window*> open;
  for (const auto& editor : editors_) {
    if (editor != nullptr) open.push_back(editor.get());
  }
  return open;
}

ui::Window* TSigFlowDialog::SubDialog(int buttonId) const {
  switch (buttonId) {
    case kLeftAttenuationButton:
    case kRightAttenuationButton:
      return levelDialog_.get();
    case kLeftDelayButton:
    case kRightDelayButton:
      return delayDialog_.get();
    case kLeftLimiterButton:
    case kRightLimiterButton:
      return limiterDialog_.get();
    case kNoiseButton:
      return noiseDialog_.get();
    default:
      return nullptr;
  }
}

void TSigFlowDialog::OpenEditor(EditorView view, const std::string& prefix) {
  auto& editor = editors_[Slot(view)];
  if (editor != nullptr) return;
  // The editor reads the unit as it is made and as each of its panes is created: a silent unit is
  // told of once, not per read.
  const controls::OneReportScope opening;
  const std::optional<std::string> listed = CaptionText();
  editor = MakeEditor({device_, *this, view, prefix + listed.value_or(device_.GetName())});
  if (editor == nullptr) return;
  if (!listed) NamedByAddress(*editor);
  const EditorPlace& place = device_.editorPlaces.at(static_cast<std::size_t>(view));
  editor->SetRect(place.rect);
  editor->Create();
  if (place.maximized) {
    editor->ShowMaximized();
  } else {
    editor->Show();
  }
  EnableEditorButtons(view, false);
}

void TSigFlowDialog::EnableEditorButtons(EditorView view, bool enabled) {
  for (auto& button : editorButtons_[Slot(view)]) button->Enable(enabled);
}

void TSigFlowDialog::BindEditorButton(const EditorButton& button) {
  editorButtons_[Slot(button.view)].push_back(std::make_unique<ui::PushButton>(this, button.id));
  OnCommand(button.id, [this, button] { OpenEditor(button.view, button.prefix); });
}

void TSigFlowDialog::EditorClosed(int view) {
  if (view < 1 || view > kEditorCount) return;
  const auto editorView = static_cast<EditorView>(view);
  // The frame is still running its close; it is deleted once that has returned.
  if (auto& editor = editors_[Slot(editorView)]) {
    std::erase(namedByAddress_, editor.get());
    retired_.push_back(std::move(editor));
    Post(kFreeRetiredMessage);
  }
  EnableEditorButtons(editorView, true);
}

void TSigFlowDialog::CloseEditors() {
  for (std::size_t slot = 0; slot < editors_.size(); ++slot) {
    if (editors_[slot] == nullptr) continue;
    editors_[slot].reset();
    EnableEditorButtons(static_cast<EditorView>(slot + 1), true);
  }
}

std::optional<std::string> TSigFlowDialog::CaptionText() {
  std::string text = device_.GetName();
  if (!controls::GuardedBusCall(&device_, [&] { device_.GetListText(text); })) return std::nullopt;
  return text;
}

void TSigFlowDialog::NamedByAddress(ui::Window& window) {
  namedByAddress_.push_back(&window);
  captionsOwed_.Owe();
}

void TSigFlowDialog::NameTheUnitInCaptions() {
  std::string listed;
  if (!device_.GetListText(listed)) return;
  // The graphs within the editors carry the caption's name as well.
  const CaptionName named{device_.GetName(), listed};
  FollowRename(namedByAddress_, {&named, 1});
  namedByAddress_.clear();
}

void TSigFlowDialog::RefreshAll() {
  UpdateFromUnit();
  for (auto& editor : editors_) {
    if (editor != nullptr && editor->IsCreated()) editor->Post(kReloadFilters);
  }
  if (levelDialog_ != nullptr && levelDialog_->IsCreated()) {
    controls::GuardedBusCall(&device_, [this] { levelDialog_->ReadValues(); });
  }
  for (TValueDialog8100* dialog : {delayDialog_.get(), limiterDialog_.get(), noiseDialog_.get()}) {
    if (dialog != nullptr && dialog->IsCreated()) dialog->Guarded([] {});
  }
}

bool TSigFlowDialog::Polling() const { return polling_ && !device_.IdlePolling().Silent(); }

bool TSigFlowDialog::IdleAction(long idleCount) {
  const bool more = ui::Dialog::IdleAction(idleCount);
  if (!IsCreated() || !device_.IsOnline()) return more;
  // One transaction per pass: the unit's name owed to captions first, then the meters.
  if (captionsOwed_.Settle(device_) != controls::PollOutcome::kResting) return true;
  // A hidden page shows no meters: it leaves the bus to the windows that are seen.
  if (!polling_ || !IsVisible()) return more;
  static const LongIntUCodeObject* const kMeterObjects[kMeterCount] = {
      &g8100LevelMeter1, &g8100LevelMeter2, &g8100LevelMeter3, &g8100LevelMeter4};
  const auto outcome = controls::PollUnit(
      device_,
      [this] {
        if (pollStep_ == 0) {
          // Meters are only read from a unit that is ready.
          if (g8100Ready.Read(device_)) pollStep_ = 1;
          return;
        }
        const auto index = static_cast<std::size_t>(pollStep_ - 1);
        meters_[index]->SetLevel(MeterDb(kMeterObjects[index]->Read(device_)));
        meters_[index]->PaintLevel();
        pollStep_ = (pollStep_ + 1) % (kMeterCount + 1);
      },
      [this](const IQException& error) { ReportBusFailure(error, device_); });
  // A unit found silent, by this poll or by another window's: no meter holds its last reading as
  // if the signal held still.
  if (outcome != controls::PollOutcome::kAnswered) {
    for (auto& meter : meters_) meter->ShowUnknown();
  }
  return outcome == controls::PollOutcome::kResting ? more : true;
}

}  // namespace namespace8100
