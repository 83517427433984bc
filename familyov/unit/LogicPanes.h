#pragma once

#include <array>
#include <functional>
#include <memory>

#include "controls/IdlePoll.h"
#include "controls/TDataWindow.h"
#include "familyov/unit/LogicMap.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DragImage.h"
#include "platform/ui/Edit.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/LayoutWindow.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Trackbar.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// Edits the response of the selected logic input (the device's selectedLogicIn): the memory it
// recalls and the logic output it drives, each change written at once; and fires the input.
class TLogicDialog : public ui::Dialog, public TDataWindow {
 public:
  TLogicDialog(ui::Window* parent, IQDeviceOrdavinex& device);

  // Acts on renamed memories and on a new selection, then passes the record on.
  void Notify(NotifyRecord* record) override;
  // Enter commits the number typed in either edit; Enter and Escape never close the pane.
  bool PreProcessKey(const ui::KeyStroke& key) override;
  void Refresh();

 protected:
  void SetupWindow() override;

 private:
  void FillMemoryList();
  void ShowOutputUnknown();
  void Select(int input);
  // Writes the logic output `changed` makes of the one the unit holds for the selected input.
  void ChangeLogicOut(const std::function<int(int held)>& changed);
  void CmLogicInBit();
  void CmLogicOutBit(int box);
  void CmMemorySelected();
  void CmTriggerNow();
  void EvLogicInSpin(int delta);
  void EvLogicOutSpin(int delta);
  void SendLocal(uint32_t code, int input);

  IQDeviceOrdavinex& device_;
  std::array<std::unique_ptr<ui::CheckBox>, kLogicBits> inBits_;
  std::array<std::unique_ptr<ui::CheckBox>, kLogicBits> outBits_;
  ui::Edit inNumber_;
  ui::Edit outNumber_;
  ui::UpDown inSpin_;
  ui::UpDown outSpin_;
  ui::ComboBox memories_;
  ui::PushButton trigger_;
};

// The whole logic map, one row per input 1..31 (memory name and logic output), the input that
// fired last marked. Selecting a row selects the input; dragging a row onto another copies its
// response there. Every input has its row: what a silent unit did not give shows unknown, and is
// read at the first idle pass that finds the unit answering.
class TLogicListWindow : public ui::LayoutWindow, public TDataWindow {
 public:
  TLogicListWindow(ui::Window* parent, IQDeviceOrdavinex& device);
  ~TLogicListWindow() override;

  void Notify(NotifyRecord* record) override;
  bool IdleAction(long idleCount) override;
  ui::ListView& List() { return list_; }

 protected:
  void SetupWindow() override;

 private:
  void Fill();
  // The input fired last and every row's response read and shown; a bus failure is thrown, the
  // rows not yet read left as they were.
  void ShowRows();
  void SelectRow(int input);
  void UpdateRow(int input);
  void ShowResponse(int row, int input);
  void ShowResponseUnknown(int row);
  void EvItemChanged();
  void EvBeginDrag(int row);
  void EvMouseMove(ui::Point p);
  void EvLButtonUp(ui::Point p);

  IQDeviceOrdavinex& device_;
  ui::ListView list_;
  ui::ImageList images_;
  // Rows selected by the program are not the user's choice.
  bool selecting_ = false;
  int draggedRow_ = -1;
  std::unique_ptr<ui::DragImage> dragImage_;
  // The rows a silent unit did not give.
  controls::OwedRead rowsOwed_{[this] { ShowRows(); }};
};

}  // namespace namespaceOV
