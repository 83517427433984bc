#pragma once

#include <memory>

#include "controls/TDataWindow.h"
#include "platform/ui/Dialog.h"

namespace ui {
class Edit;
}

namespace namespaceOV {

class IQDeviceOrdavinex;
class TFilter;

// The parameter dialog of one filter, shown modeless in the filter editor's parameter window.
// Enter applies the entries to the unit, Escape shows the filter's values again, a right click
// offers "Set as default", and any filter change refreshes it. A dialog registers its frequency
// and level edits in the filter it shows (a drag on the graph writes into them) and takes them out
// again when it gives the filter up or its window goes.
class TFilterDialog : public ui::Dialog, public TDataWindow {
 public:
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

  bool PreProcessKey(const ui::KeyStroke& key) override;

 protected:
  IQDeviceOrdavinex* Device() const { return device_; }

 private:
  IQDeviceOrdavinex* device_;
  TFilter* filter_ = nullptr;
};

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
