#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "controls/ChangeOutcome.h"
#include "controls/TDataWindow.h"
#include "familycommon/FilterLifetime.h"
#include "familyov/filters/TFilter.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// The number at the start of `text` (at most its first 19 characters, leading blanks skipped);
// none when it starts with no number.
std::optional<double> ScanNumber(const std::string& text);
// A frequency typed as "2500" or "2.5k", clamped to low..high and truncated to whole Hz; `current`
// when the text holds no number.
int ParseFrequencyText(const std::string& text, int low, int high, int current);
// A ratio typed as "0.3" or "1/3" (an unreadable numerator counts as low, an unreadable or zero
// denominator gives high), clamped to low..high; `current` when the text holds no number.
float ParseRatioText(const std::string& text, float low, float high, float current);

// Each of `filters` takes the values the unit holds, read, under the family's guard: a bus failure
// is told. Answers whether the unit gave every one of them; otherwise none of them changes.
bool TakeUnitsValues(IQDeviceOrdavinex& device, std::span<TFilter* const> filters);

// The parameter dialog of one filter, shown modeless in the filter editor's parameter window.
// Enter applies the entries to the unit, Escape shows the filter's values again, a right click
// offers "Set as default", and any filter change refreshes it. A dialog registers its frequency
// and level edits in the filter it shows (a drag on the graph writes into them) and takes them out
// of every filter of the unit again when it gives the filter up or its window goes.
class TFilterDialog : public ui::Dialog, public TDataWindow {
 public:
  static constexpr int kCmSetAsDefault = 101;

  // `device` is null for a dialog that never touches the unit (the placeholder).
  TFilterDialog(IQDeviceOrdavinex* device, ui::Window* parent, int resourceId);
  ~TFilterDialog() override;

  // Shows `filter` (not owned; none shows nothing).
  virtual void SetFilter(TFilter* filter);
  virtual TFilter* GetFilter() const { return filter_; }
  // A changed filter, whichever it is, shows this dialog's filter again.
  void Notify(NotifyRecord* record) override;
  // Controls -> filter fields, no unit I/O.
  virtual void ReadControls() {}
  // Filter fields -> controls.
  virtual void ShowFilter() {}
  // As a write begins: what a control shows no value for takes the unit's value, read; a bus
  // failure is thrown, and nothing is written.
  virtual void TakeUnshownFromUnit() {}

  // Enter applies, Escape reverts; neither reaches the dialog's own handling.
  bool PreProcessKey(const ui::KeyStroke& key) override;

  // The edit's frequency or ratio, clamped, written back and returned; `current` while the user has
  // not changed the edit, whose text may be the value rounded.
  static int ParseFrequencyEdit(ui::Edit& edit, int low, int high, int current);
  static float ParseRatioEdit(ui::Edit& edit, float low, float high, float current);

 protected:
  IQDeviceOrdavinex* Device() const { return device_; }
  // The edits a drag on the graph writes into; either may be null.
  void RegisterControls(ui::Edit* frequency, ui::Edit* level);
  // Runs `change` on the filter after taking the typed entries over the values the unit holds
  // (read first while in doubt, see StepsFromUnit), then writes it to the unit
  // (`fullWrite`: the full write and the create command, else the parameter update) and announces
  // it. A bus failure is reported once, nothing is announced, and the filter takes back what the
  // unit holds (see TakeUnitsFilter).
  template <typename Change>
  void ApplyChange(Change&& change, bool fullWrite = false);
  void WriteAndAnnounce(bool fullWrite);
  // Writes the filter with `write` and announces it once the unit took it; after a failure the
  // filter takes back what the unit holds (see TakeUnitsFilter) before the failure is told.
  void WriteAndAnnounce(const std::function<void()>& write);
  // After a write of the filter that failed: the filter takes back the values last read or
  // written, never the ones typed, so that no later write carries an entry the unit did not take.
  // After a refusal it takes what the unit holds as far as it can be read, and the dialog shows it;
  // after a write in doubt the fields show unknown until the unit is read again.
  void TakeUnitsFilter(controls::ChangeOutcome outcome);
  // Whether the values shown may not be the unit's: a write to the unit's filters went unanswered
  // and this dialog has not read its filter since.
  bool ValuesInDoubt() const;
  // The filter takes the values the unit holds, read, and what the user typed over them, and the
  // dialog shows them; answers whether the unit gave them. A bus failure is told.
  bool TakeUnitsValues();
  // Before a change made relative to the values shown (a step, an arrow, a turn-over): values in
  // doubt are first read from the unit (see TakeUnitsValues). Answers whether the change may go
  // on: not when the unit did not give them, which is told once and leaves them unknown.
  bool StepsFromUnit();
  // Enter: the typed entries go to the unit.
  virtual void ApplyEntries();
  void CleanupWindow() override;

 private:
  void ForgetControls();
  void CmSetAsDefault();
  // Shows the filter, its fields empty while a write of it is in doubt.
  void Refill();

  IQDeviceOrdavinex* device_;
  familycommon::FilterHandle<TFilter> filter_;
  // The filter's values as the unit was last known to hold them: entries taken into the filter but
  // not yet written are not among them.
  std::unique_ptr<TFilter> held_;
  ui::Edit* frequencyControl_ = nullptr;
  ui::Edit* levelControl_ = nullptr;
  // A write of the filter went unanswered: what the unit holds is unknown until it is read again.
  bool unknown_ = false;
  // The filter was read from the unit since its values were last put in doubt.
  bool readSinceDoubt_ = false;
};

template <typename Change>
void TFilterDialog::ApplyChange(Change&& change, bool fullWrite) {
  // The write carries every value of the filter, those the change leaves alone too.
  if (filter_ == nullptr || device_ == nullptr || !StepsFromUnit()) return;
  ReadControls();
  change();
  WriteAndAnnounce(fullWrite);
}

// The empty dialog of a filter type without a dialog of its own (crossovers among them).
class TStubDialog : public TFilterDialog {
 public:
  explicit TStubDialog(ui::Window* parent);
};

// A new dialog, not yet created, for a filter of `typeCode`; `parent` is the editor's parameter
// window. Any type without its own dialog (0 included) gets the placeholder.
std::unique_ptr<TFilterDialog> CreateFilterDialog(int typeCode, IQDeviceOrdavinex& device,
                                                  ui::Window* parent);

}  // namespace namespaceOV
