#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "controls/TQuadButton.h"
#include "controls/UnitSteps.h"
#include "family8100/filters/FilterEdits.h"
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
// Enter, Escape shows the filter again, the step buttons, the bandwidth slider's drop, "Inv." and
// the slope arrows change the filter at once; a right click offers to make the filter's values the
// default of its type (not for boost/cut filters). The filter is the model: it keeps a value only
// once the unit has taken it, and the bank hears of every change. Neither Enter nor Escape closes
// the dialog.
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
  TypedFields Typed() const;
  void ApplyAndCommit(bool invertLevel);
  // `edit` changes the filter and writes it to the unit, under the family's guard; it answers
  // false when it has nothing to write. A change not written, or one the unit has not taken, leaves
  // the filter with the values it held before; after a failure the filter is read back, since the
  // unit may have carried out part of the write. A write whose answer never came leaves the
  // filter's values in doubt: the dialog shows none until the unit's doubt is settled. The dialog
  // and the views then show the filter, and only then is a failure told.
  void Edit(const std::function<bool(TFilter&)>& edit);
  // The fields that held a number when a change began show it again.
  void ShowTyped(const TypedFields& typed);
  void Announce();
  // The filter's values become those of its type's new filters; values in doubt are read first,
  // and a unit that does not give them leaves the defaults as they were.
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
  std::optional<controls::UnitSteps> bandwidthSteps_;
  std::optional<ui::UpDown> slopeSpin_;
  std::optional<ui::StaticText> slope_;
};

}  // namespace namespace8100
