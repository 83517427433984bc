#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/IdlePoll.h"
#include "controls/TLogHotGauge2.h"
#include "controls/TNetButton.h"
#include "controls/TStereodBLevelDialog.h"
#include "controls/TSwitchButton.h"
#include "family8100/unit/EditorMakers8100.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"

namespace namespace8100 {

class IQDevice8100;
class TValueDialog8100;

// The unit's signal path as a diagram: routing, output mutes, attenuation and four peak meters,
// and the buttons that open the filter bank editors, the crossovers and the attenuation, delay,
// limiter and noise dialogs (each model has its own template with the controls it has). The
// meters are read in idle time, one transaction per pass, through the unit's shared backoff: a
// unit that stops answering is told of once, its meters show unknown while it is silent, and they
// move again once it answers.
class TSigFlowDialog : public ui::Dialog {
 public:
  static constexpr ui::MessageId kRefreshAll = 102;
  static constexpr ui::MessageId kLevelChanged = 300;
  static constexpr ui::MessageId kLevelClosed = 302;
  static constexpr int kMeterCount = 4;
  static constexpr int kEditorCount = 5;
  static constexpr float kMeterFloorDb = -40.0f;
  static constexpr float kMeterTopDb = 0.0f;

  TSigFlowDialog(ui::Window* parent, IQDevice8100& device);
  ~TSigFlowDialog() override;

  // The level a meter shows for a reading of the unit (full scale 2^19 - 1).
  static float MeterDb(uint32_t reading);
  // The text of the unit in the captions: its list text, else its name.
  std::string UnitText() const;
  void UpdateFromUnit();
  bool IdleAction(long idleCount) override;

  // Reading its meters: open, and the unit has not fallen silent.
  bool Polling() const;
  TLogHotGauge2& Meter(int index) { return *meters_.at(static_cast<std::size_t>(index)); }
  TNetButton& Net() { return net_; }
  ui::Window* Editor(EditorView view) const { return editors_[Slot(view)].get(); }
  // The open editors: windows of their own, not among this dialog's children.
  std::vector<ui::Window*> Editors() const;
  ui::Window* SubDialog(int buttonId) const;

 protected:
  void SetupWindow() override;
  void CleanupWindow() override;

 private:
  struct EditorButton {
    int id;
    EditorView view;
    const char* prefix;
  };
  static std::size_t Slot(EditorView view) { return static_cast<std::size_t>(view) - 1; }
  // The route as its box now stands, the other routes as the unit holds them.
  void WriteRoute(std::size_t route);
  // The routing boxes and the picture, as the unit holds the routing.
  void ShowRouting();
  void ShowRoutingUnknown();
  void ShowRoutes(uint32_t routing);
  void ToggleSwitch(TSwitchButton& button, const BoolUCodeObject& object);
  void ShowSwitch(TSwitchButton& button, const BoolUCodeObject& object);
  void ShowSwitchUnknown(TSwitchButton& button);
  // Every value of the page unknown, when the unit did not give them.
  void ShowUnknown();
  void ShowSubDialog(ui::Window& dialog, const std::string& prefix);
  // The unit in the caption of a window this page opens, read under the family's guard: its list
  // text (a virtual unit's name); none when the unit did not answer, which has been reported.
  std::optional<std::string> CaptionText();
  // `window` was captioned with the unit's name: it takes the list text once the unit answers.
  void NamedByAddress(ui::Window& window);
  // Puts the unit's list text in place of its name in those captions. A bus failure is thrown.
  void NameTheUnitInCaptions();
  void OpenEditor(EditorView view, const std::string& prefix);
  void EditorClosed(int view);
  void RefreshAll();
  void CloseEditors();
  void EnableEditorButtons(EditorView view, bool enabled);
  void BindEditorButton(const EditorButton& button);

  IQDevice8100& device_;
  std::array<std::unique_ptr<TLogHotGauge2>, kMeterCount> meters_;
  std::array<std::unique_ptr<ui::CheckBox>, 4> routing_;
  ui::PushButton leftAttenuation_;
  ui::PushButton rightAttenuation_;
  TSwitchButton leftMute_;
  TSwitchButton rightMute_;
  std::unique_ptr<TSwitchButton> leftNoise_;
  std::unique_ptr<TSwitchButton> rightNoise_;
  TNetButton net_;
  // The buttons that open the editors, by view; a crossover button only on the X model.
  std::array<std::vector<std::unique_ptr<ui::PushButton>>, kEditorCount> editorButtons_;
  std::array<std::unique_ptr<ui::Window>, kEditorCount> editors_;
  // Editors closed by the user, deleted once their close has returned.
  std::vector<std::unique_ptr<ui::Window>> retired_;
  std::unique_ptr<TStereodBLevelDialog> levelDialog_;
  // Those the model has: delay, limiter, noise.
  std::unique_ptr<TValueDialog8100> delayDialog_;
  std::unique_ptr<TValueDialog8100> limiterDialog_;
  std::unique_ptr<TValueDialog8100> noiseDialog_;
  // The open editors and dialogs captioned with the unit's name while it did not answer, owed
  // its list text.
  std::vector<ui::Window*> namedByAddress_;
  controls::OwedRead captionsOwed_{[this] { NameTheUnitInCaptions(); }};
  bool polling_ = false;
  // The next transaction of the meter round: 0 the ready flag, 1 to 4 the meters.
  int pollStep_ = 0;
};

}  // namespace namespace8100
