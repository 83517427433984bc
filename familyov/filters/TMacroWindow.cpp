#include "familyov/filters/TMacroWindow.h"

#include <memory>
#include <string>
#include <utility>

#include "controls/CopyInDoubt.h"
#include "familyov/filters/MacroUnit.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/TMemoryWindow.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Validator.h"
#include "resources/FamilyOvCrossoverIds.h"

namespace namespaceOV {

namespace {

using namespace ovcrossover_res;

constexpr int kWidth = 550;
constexpr int kHeight = 170;
constexpr int kColumnMarginPixels = 15;
constexpr int kDescriptionColumnChars = 70;
constexpr const char* kCaption = "Crossover macros";
constexpr const char* kRecallCaption = "Crossover Macro";
constexpr const char* kNameCharacters = "-a-zA-Z0-9 ,./?'{}|`~@#$%^&*()_+=;:.>,<";

bool Asked(ui::Window* owner, const std::string& question) {
  return ui::MessageBox(owner, question, kCaption, ui::mb::kOkCancel | ui::mb::kIconExclamation) ==
         ui::kIdOk;
}

void Warn(ui::Window* owner, const std::string& text, const std::string& caption) {
  ui::MessageBox(owner, text, caption, ui::mb::kOk | ui::mb::kIconExclamation);
}

}  // namespace

TMacroDialog::TMacroDialog(ui::Window* parent, TXMacro& macro)
    : ui::Dialog(parent, kMacroPropertiesDialog),
      macro_(macro),
      name_(this, kMacroName, static_cast<int>(TXMacro::kNameChars)),
      description_(this, kMacroDescription, static_cast<int>(TXMacro::kDescriptionChars)) {}

TMacroDialog::~TMacroDialog() { Destroy(); }

void TMacroDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  for (ui::Edit* edit : {&name_, &description_}) {
    edit->SetValidator(std::make_unique<ui::CharSetValidator>(kNameCharacters));
  }
  name_.SetText(macro_.name);
  description_.SetText(macro_.description);
}

bool TMacroDialog::CanClose() {
  if (!name_.Text().empty()) return ui::Dialog::CanClose();
  ui::MessageBox(this, "Must have name field.", "", ui::mb::kOk | ui::mb::kIconExclamation);
  return false;
}

void TMacroDialog::CloseWindow(int result) {
  if (result == ui::kIdOk) {
    if (!CanClose()) return;
    macro_.name = name_.Text().substr(0, TXMacro::kNameChars);
    macro_.description = description_.Text().substr(0, TXMacro::kDescriptionChars);
  }
  ui::Dialog::CloseWindow(result);
}

TMacroWindow::TMacroWindow(IQDeviceOrdavinex& device, ui::Window* editor, ui::Window* root,
                           std::filesystem::path file)
    : ui::LayoutWindow(editor),
      device_(device),
      library_(std::move(file)),
      list_(this, kMacroList) {
  list_.Bind({kMacroList, ui::ControlKind::ListView, "", {}, ui::style::kReport}, {0, 0, 100, 100});
  SetText(kCaption);
  const ui::Rect area = ScreenWorkArea();
  SetRect({area.left, area.top, area.left + kWidth, area.top + kHeight});
  SetIcon(device.GetModelBitmapId());
  SetChildMetrics(list_, ui::LayoutMetrics::FillingClientArea());
  SetLink1(root);
  SetLink2(this);
  OnCommand(kCmMacroNew, [this] { CmNew(); });
  OnCommand(kCmMacroProperties, [this] { CmProperties(); });
  OnCommand(kCmMacroOpen, [this] { RecallMacro(); });
  OnCommand(kCmMacroDelete, [this] { CmDelete(); });
  OnCommand(kCmMacroSave, [this] { CmSave(); });
  // A library not read whole is never saved over, so nothing here may change it.
  OnEnable(kCmMacroNew, [this](ui::CommandState& state) { state.enabled = library_.Writable(); });
  OnEnable(kCmMacroOpen,
           [this](ui::CommandState& state) { state.enabled = SelectedMacro().has_value(); });
  for (int command : {kCmMacroProperties, kCmMacroDelete, kCmMacroSave}) {
    OnEnable(command, [this](ui::CommandState& state) {
      state.enabled = library_.Writable() && SelectedMacro().has_value();
    });
  }
  OnNotify(kMacroList, ui::Notify::RightClick, [this](const ui::Notification&) {
    PopupMenu();
    return 0;
  });
  OnNotify(kMacroList, ui::Notify::DoubleClick, [this](const ui::Notification&) {
    if (SelectedMacro()) RecallMacro();
    return 0;
  });
}

TMacroWindow::~TMacroWindow() { Destroy(); }

// Owned by the editor's window, shown as a window of its own.
QWidget* TMacroWindow::MakeWidget(QWidget*) { return ui::LayoutWindow::MakeWidget(nullptr); }

void TMacroWindow::CleanupWindow() {
  inUse_ = false;
  ui::LayoutWindow::CleanupWindow();
}

void TMacroWindow::SetupWindow() {
  ui::LayoutWindow::SetupWindow();
  list_.AddColumn("Name", TextWidth("Mono 3-way (48dB) Butterworth") + kColumnMarginPixels);
  list_.AddColumn("Description", kDescriptionColumnChars * TextWidth("T") + kColumnMarginPixels);
  list_.SetEmptyHint(
      "No macros for this model yet. Click the right mouse button and choose \"New\" to keep the "
      "unit's crossovers as a macro.");
  library_.Load();
  if (library_.Writable()) {
    library_.Sort();
  } else {
    Warn(this,
         library_.LoadError() + "\n\nThe macro file " + library_.File().string() +
             " could not be read whole, so this window saves nothing over it: New, Save, "
             "Properties and Delete stay off until the file is mended or moved away. The macros "
             "listed can still be recalled.",
         "File read error");
  }
  FillList();
  inUse_ = true;
}

std::optional<std::size_t> TMacroWindow::SelectedMacro() const {
  const int item = list_.SelectedItem();
  if (item < 0) return std::nullopt;
  const auto index = static_cast<std::size_t>(list_.ItemData(item));
  if (index >= library_.Macros().size()) return std::nullopt;
  return index;
}

void TMacroWindow::FillList() {
  list_.DeleteAllItems();
  const auto& macros = library_.Macros();
  for (std::size_t k = 0; k < macros.size(); ++k) {
    if (static_cast<int>(macros[k].outputs.size()) != device_.outputs) continue;
    const int item = list_.InsertItem(0, macros[k].name, -1, static_cast<ui::Param>(k));
    list_.SetItemText(item, 1, macros[k].description);
  }
}

void TMacroWindow::SaveLibrary(bool sort) {
  if (sort) library_.Sort();
  if (!library_.Save()) Warn(this, library_.SaveError(), "File error");
  FillList();
}

void TMacroWindow::PopupMenu() {
  ui::Menu menu({{"New", kCmMacroNew, {}},
                 {"Open", kCmMacroOpen, {}},
                 {},
                 {"Save", kCmMacroSave, {}},
                 {"Delete", kCmMacroDelete, {}},
                 {},
                 {"Properties", kCmMacroProperties, {}}});
  menu.TrackAtCursor(*this);
}

void TMacroWindow::CmNew() {
  if (!library_.Writable()) return;
  TXMacro macro;
  if (TMacroDialog(this, macro).Execute() != ui::kIdOk) return;
  if (!Capture(macro)) return;
  library_.Add(std::move(macro));
  SaveLibrary(true);
}

void TMacroWindow::CmProperties() {
  const auto index = SelectedMacro();
  if (!index || !library_.Writable()) return;
  if (TMacroDialog(this, library_.At(*index)).Execute() != ui::kIdOk) return;
  SaveLibrary(false);
}

void TMacroWindow::CmSave() {
  const auto index = SelectedMacro();
  if (!index || !library_.Writable() || !Asked(this, "Save over selected macro?")) return;
  const TXMacro& old = library_.At(*index);
  TXMacro fresh{.name = old.name, .description = old.description};
  // The old macro stays until the new one is captured whole.
  if (!Capture(fresh)) return;
  library_.Replace(*index, std::move(fresh));
  SaveLibrary(true);
}

bool TMacroWindow::Capture(TXMacro& macro) {
  // A macro holds the output filters and crossovers as the program's copy holds them.
  return controls::SettleCopy(device_) &&
         GuardedUnitCall(device_, [&] { CaptureMacro(device_, macro); });
}

void TMacroWindow::CmDelete() {
  const auto index = SelectedMacro();
  if (!index || !library_.Writable() || !Asked(this, "Delete selected macro?")) return;
  library_.Remove(*index);
  SaveLibrary(false);
}

void TMacroWindow::RecallMacro() {
  const auto index = SelectedMacro();
  if (!index ||
      !Asked(this,
             "Recall selected macro (will overwrite current crossovers, output EQ filters and "
             "output delay)?")) {
    return;
  }
  if (RootLink() == nullptr) return;
  auto outcome = MacroRecall::kDone;
  GuardedUnitCall(device_, [&] {
    outcome = namespaceOV::RecallMacro(device_, library_.At(*index),
                                       [this](NotifyRecord& record) { NotifyRoot(&record); });
  });
  if (outcome == MacroRecall::kNoCapacity) {
    Warn(this, "Insufficient DSP Capacity.", kRecallCaption);
  } else if (outcome == MacroRecall::kNoDelayCapacity) {
    Warn(this, "Insufficient delay capacity.", kRecallCaption);
  }
}

}  // namespace namespaceOV
