#pragma once

#include <functional>
#include <vector>

#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"

namespace namespace8100 {

class IQDevice8100;

// A change the user made on a control of the unit's windows: `change` goes to the unit, and then
// `show` draws the controls from what the unit holds, taken or not, so that the next click starts
// from there (controls::ApplyChange). After a write whose answer never came, and when the unit
// does not answer `show`'s reads, `unknown` shows the controls unknown instead: never the click.
// One failure, one report. Whether the unit took the change.
bool ChangeThenShow(IQDevice8100& unit, const std::function<void()>& change,
                    const std::function<void()>& show, const std::function<void()>& unknown);

// Base of the family's modeless value dialogs: they open with the keyboard in their first edit;
// releasing Enter applies the typed values, releasing Escape shows the unit's values again, and
// neither key closes the dialog. Both run under the family's guard, so a bus failure is reported
// and the dialog stays open.
class TValueDialog8100 : public ui::Dialog {
 public:
  TValueDialog8100(ui::Window* parent, int resourceId, IQDevice8100& device);

  // Shows what the unit holds.
  virtual void FillControls() = 0;
  // Writes what the user typed; a field left as shown, empty or not a number writes nothing.
  virtual void ApplyTyped() = 0;
  // Runs `work` under the guard, then, whether or not the unit took it, shows the unit's values
  // again; while a write's answer is lost, or the unit does not give its values, the dialog
  // shows unknown (ShowUnknown). One failure, one report. Whether `work` was done.
  bool Guarded(const std::function<void()>& work);
  // The typed values, then `change`, as one entry of every field (controls::CommitEntries): after
  // a failure no field shows a typed value, nor is one written later.
  void Commit(const std::function<void()>& change);

 protected:
  void SetupWindow() override;
  bool PreProcessKey(const ui::KeyStroke& key) override;
  // Every value the dialog shows as unknown: its fields empty, its check boxes and radio buttons
  // with no state; a dialog with other controls shows those unknown too.
  virtual void ShowUnknown();
  IQDevice8100& Device() const { return device_; }

 private:
  std::vector<ui::Edit*> Fields();

  IQDevice8100& device_;
};

}  // namespace namespace8100
