#pragma once

#include <exception>
#include <functional>
#include <string>

#include "controls/IdlePoll.h"
#include "controls/TDataWindow.h"
#include "controls/TLEDButton.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Static.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// The head of the memory window: the lamp column's title and "Save to all".
class TMemoryTitleDialog : public ui::Dialog, public TDataWindow {
 public:
  TMemoryTitleDialog(ui::Window* parent, IQDeviceOrdavinex& device);
  // Enter and Escape do nothing here.
  bool PreProcessKey(const ui::KeyStroke& key) override;

 private:
  void CmSaveAll();

  IQDeviceOrdavinex& device_;
};

// One memory of the unit: its number, its name (committed when the edit loses the focus or on
// Enter, only when it changed), Save, Recall, and a lamp lit when it was recalled last. Nothing is
// cached: names and the lamp are read from the unit when needed; what a silent unit did not give
// shows unknown and is read at the first idle pass that finds it answering.
class TMemoryDialog : public ui::Dialog, public TDataWindow {
 public:
  static constexpr int kNameLimit = 11;

  TMemoryDialog(ui::Window* parent, IQDeviceOrdavinex& device, int memory);

  // A recall anywhere in the unit's windows moves the lamp.
  void Notify(NotifyRecord* record) override;
  // Enter commits the name, Escape puts the unit's name back, Tab moves to the next row of the
  // memory window.
  bool PreProcessKey(const ui::KeyStroke& key) override;
  bool IdleAction(long idleCount) override;
  void UpdateLed();
  void CommitName();

 protected:
  void SetupWindow() override;

 private:
  std::string UnitName();
  // The memory's name as the unit holds it, unknown (empty) when the unit does not answer.
  void ShowUnitName();
  // The lamp's state for the memory the unit recalled last; a bus failure is thrown.
  int LampOfUnit();
  void ShowLamp(int state);
  // The name and the lamp read again; a bus failure is thrown.
  void ReadRow();
  // kNotRead: the memory's name, the command's opening read, failed and was reported; nothing
  // was asked or run.
  enum class RunOutcome { kNotRead, kDeclined, kDone, kFailed };
  // Asks whether to go on, naming this memory and its name in the unit between `before` and
  // `after`, then runs `operation` on the unit while the window waits; its failure is kept in
  // `failure`, to be told with what the command left.
  RunOutcome ConfirmedThenRun(const std::string& before, const std::string& after,
                              const std::string& caption, const std::string& waitText,
                              const std::function<void()>& operation, std::exception_ptr& failure);
  void CmSave();
  void CmRecall();

  IQDeviceOrdavinex& device_;
  int memory_;
  ui::Edit name_;
  ui::StaticText number_;
  TLEDButton lamp_;
  // The name or lamp a silent unit did not give.
  controls::OwedRead rowOwed_{[this] { ReadRow(); }};
};

}  // namespace namespaceOV
