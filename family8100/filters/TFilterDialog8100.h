#pragma once

#include <memory>
#include <optional>

#include "controls/TQuadButton.h"
#include "family8100/filters/Filters8100.h"
#include "familycommon/FilterLifetime.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Static.h"
#include "platform/ui/Trackbar.h"

namespace namespace8100 {

class TChannelParent;

// The parameters of the bank's current filter, in the dialog of its type: typed values apply on
// Enter, Escape shows the filter again, the step buttons, the bandwidth slider, "Inv." and the
// slope arrows change the filter at once; a right click offers to make the filter's values the
// default of its type (not for boost/cut filters). The filter is the model: every accepted value
// goes into it, then to the unit under the family's guard, and the bank hears of it. Neither
// Enter nor Escape closes the dialog.
class TFilterDialog8100 : public ui::Dialog {
 public:
  // The dialog for `filter`'s type, listening to `hub` while it lives; none for a type without a
  // dialog (the crossovers).
  static std::unique_ptr<TFilterDialog8100> Make(ui::Window* parent, TChannelParent& hub,
                                                 TFilter& filter);
  ~TFilterDialog8100() override;

  // None once the filter has gone.
  TFilter* Filter() const { return filter_; }
  void UpdateControls();
  bool PreProcessKey(const ui::KeyStroke& key) override;

 protected:
  TFilterDialog8100(ui::Window* parent, int resourceId, TChannelParent& hub, TFilter& filter);
  void SetupWindow() override;

 private:
  // Whether any field held a number.
  bool ApplyTyped(bool invertLevel);
  void ApplyAndCommit(bool invertLevel);
  // Writes and commits the filter; after a refusal the filter is read back from the unit. Whether
  // the write went through.
  bool Commit();
  // After a refused write, which has been reported: the unit may have carried out part of it, so
  // the filter is read back and the dialog and the views show it as the unit now holds it.
  void ShowWhatTheUnitHolds();
  void Announce();
  // The filter's present values become those of its type's new filters.
  void SetAsDefault();
  void EvQuad(const TQuadButton* button, int steps);
  void EvBandwidth(ui::ScrollCode code);
  void EvSlope(int delta);
  void LeaveFields();

  TChannelParent& hub_;
  familycommon::FilterHandle<TFilter> filter_;
  std::optional<ui::Edit> frequency_;
  std::optional<ui::StaticText> fixedFrequency_;
  std::optional<TQuadButton> frequencyQuad_;
  std::optional<ui::Edit> level_;
  std::optional<TQuadButton> levelQuad_;
  std::optional<ui::PushButton> invert_;
  std::optional<ui::Edit> q_;
  std::optional<ui::Trackbar> bandwidth_;
  std::optional<ui::UpDown> slopeSpin_;
  std::optional<ui::StaticText> slope_;
};

}  // namespace namespace8100
