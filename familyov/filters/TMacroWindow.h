#pragma once

#include <filesystem>
#include <optional>

#include "controls/TDataWindow.h"
#include "familyov/filters/MacroLibrary.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/LayoutWindow.h"
#include "platform/ui/ListView.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// A macro's name and description; OK takes them, an empty name is refused.
class TMacroDialog : public ui::Dialog {
 public:
  TMacroDialog(ui::Window* parent, TXMacro& macro);
  ~TMacroDialog() override;

  bool CanClose() override;
  void CloseWindow(int result = ui::kIdCancel) override;

 protected:
  void SetupWindow() override;

 private:
  TXMacro& macro_;
  ui::Edit name_;
  ui::Edit description_;
};

// The crossover macros made for units with as many outputs as this one: make one from the unit,
// save the unit over one, rename or describe one, delete one, recall one onto the unit. The
// library is read when the window opens and written after every change; one macro window at a
// time in the whole program, since each holds the whole library. A window of its own on the
// screen, it belongs to the crossover editor that opened it and closes with it: it must not act
// for a unit whose windows have gone.
class TMacroWindow : public ui::LayoutWindow, public TDataWindow {
 public:
  // `editor`: the crossover editor's layout window; `root`: the window whose records reach every
  // window of the unit.
  TMacroWindow(IQDeviceOrdavinex& device, ui::Window* editor, ui::Window* root,
               std::filesystem::path file = MacroLibrary::UserFile());
  ~TMacroWindow() override;

  // Whether a macro window is open anywhere in the program.
  static bool InUse() { return inUse_; }

  ui::ListView& List() { return list_; }
  const MacroLibrary& Library() const { return library_; }
  void CmNew();
  void CmProperties();
  void CmSave();
  void CmDelete();
  void RecallMacro();

 protected:
  QWidget* MakeWidget(QWidget* parentWidget) override;
  void SetupWindow() override;
  void CleanupWindow() override;

 private:
  // The library index of the selected item; none without a selection.
  std::optional<std::size_t> SelectedMacro() const;
  // Takes the unit's output filters and crossovers into `macro`; answers whether it could. A
  // failure is told.
  bool Capture(TXMacro& macro);
  void FillList();
  // Sorted first when `sort`; a refused or failed save is shown.
  void SaveLibrary(bool sort);
  void PopupMenu();

  static inline bool inUse_ = false;

  IQDeviceOrdavinex& device_;
  MacroLibrary library_;
  ui::ListView list_;
};

}  // namespace namespaceOV
