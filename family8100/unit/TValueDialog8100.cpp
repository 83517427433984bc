#include "family8100/unit/TValueDialog8100.h"

#include <vector>

#include "controls/ControlChange.h"
#include "controls/DeviceErrorReport.h"
#include "controls/TypedEntry.h"
#include "family8100/unit/IQDevice8100.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"

namespace namespace8100 {

bool ChangeThenShow(IQDevice8100& unit, const std::function<void()>& change,
                    const std::function<void()>& show, const std::function<void()>& unknown) {
  const auto shown = [&] {
    if (!controls::GuardedBusCall(&unit, show)) unknown();
  };
  return controls::ApplyChange([&] { return controls::GuardedBusCall(&unit, change); },
                               {.taken = shown, .showUnit = shown, .showUnknown = unknown}) ==
         controls::ChangeOutcome::kTaken;
}

TValueDialog8100::TValueDialog8100(ui::Window* parent, int resourceId, IQDevice8100& device)
    : ui::Dialog(parent, resourceId), device_(device) {}

void TValueDialog8100::SetupWindow() {
  ui::Dialog::SetupWindow();
  Guarded([] {});
  // The dialog is there to take values: it opens with the keyboard in the first of them, ready
  // for typing, wherever its template puts the choices that come with them.
  for (ui::Window* child : Children()) {
    if (auto* edit = dynamic_cast<ui::Edit*>(child)) {
      edit->SetFocus();
      return;
    }
  }
}

bool TValueDialog8100::Guarded(const std::function<void()>& work) {
  return ChangeThenShow(
      device_, work, [this] { FillControls(); }, [this] { ShowUnknown(); });
}

void TValueDialog8100::ShowUnknown() {
  for (ui::Window* child : Children()) {
    if (auto* edit = dynamic_cast<ui::Edit*>(child)) edit->SetText(std::string());
    if (auto* box = dynamic_cast<ui::CheckBox*>(child)) box->ShowNoState();
  }
}

std::vector<ui::Edit*> TValueDialog8100::Fields() {
  std::vector<ui::Edit*> fields;
  for (ui::Window* child : Children()) {
    if (auto* edit = dynamic_cast<ui::Edit*>(child)) fields.push_back(edit);
  }
  return fields;
}

void TValueDialog8100::Commit(const std::function<void()>& change) {
  controls::CommitEntries(Fields(), [&] {
    Guarded([&] {
      ApplyTyped();
      change();
    });
  });
}

bool TValueDialog8100::PreProcessKey(const ui::KeyStroke& key) {
  if (key.code != ui::key::kReturn && key.code != ui::key::kEscape) return false;
  if (!key.down) {
    if (key.code == ui::key::kReturn) {
      Commit([] {});
    } else {
      Guarded([] {});
    }
  }
  return true;
}

}  // namespace namespace8100
