#pragma once

#include <functional>

#include "controls/ChangeOutcome.h"
#include "platform/ui/Dialog.h"

namespace namespace8100 {

class IQDevice8100;

// A click on a control of the unit's dialogs: `change` goes to the unit, and then `show` sets the
// controls to what the unit holds, so that the next click starts from there. A change that failed
// may or may not have reached the unit: its values are then read anew. One failure, one report.
// Whether the change was made.
bool ChangeThenShow(IQDevice8100& unit, const std::function<void()>& change,
                    const std::function<void()>& show);

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
  // again; one failure, one report. Whether `work` was done.
  bool Guarded(const std::function<void()>& work);
  // The typed values, then `change`, as one entry of every field (controls::CommitEntries): after
  // a failure no field shows a typed value, nor is one written later.
  controls::ChangeOutcome Commit(const std::function<void()>& change);

 protected:
  void SetupWindow() override;
  bool PreProcessKey(const ui::KeyStroke& key) override;
  IQDevice8100& Device() const { return device_; }

 private:
  IQDevice8100& device_;
};

}  // namespace namespace8100
