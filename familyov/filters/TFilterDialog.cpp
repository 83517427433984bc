#include "familyov/filters/TFilterDialog.h"

#include "resources/FamilyOvFilterDialogIds.h"

namespace namespaceOV {

TFilterDialog::TFilterDialog(IQDeviceOrdavinex* device, ui::Window* parent, int resourceId)
    : ui::Dialog(parent, resourceId), TDataWindow(parent), device_(device) {}

TFilterDialog::~TFilterDialog() { Destroy(); }

void TFilterDialog::SetFilter(TFilter* filter) { filter_ = filter; }

void TFilterDialog::Notify(NotifyRecord* record) { TDataWindow::Notify(record); }

bool TFilterDialog::PreProcessKey(const ui::KeyStroke& key) {
  return ui::Dialog::PreProcessKey(key);
}

TStubDialog::TStubDialog(ui::Window* parent)
    : TFilterDialog(nullptr, parent, ovfilterdlg_res::kStubDialog) {}

std::unique_ptr<TFilterDialog> CreateFilterDialog(int /*typeCode*/, IQDeviceOrdavinex& /*device*/,
                                                  ui::Window* parent) {
  return std::make_unique<TStubDialog>(parent);
}

}  // namespace namespaceOV
