#include "family8100/unit/Reflash8100.h"

#include "controls/TProgressDialog.h"
#include "family8100/unit/Commands8100.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "familycommon/ReflashFlow.h"

namespace namespace8100 {

namespace {

using familycommon::Firmware;
using familycommon::HexRecord;
using familycommon::IgnoringBusFailure;

// The model record names the family code and the re-initialise flag; a data record goes to the
// unit as one flash block.
constexpr familycommon::HexRules kHexRules{.modelRecordBytes = 3, .maxDataBytes = kFlashBlockBytes};
// The unit's side of a reflash, step by step, with the progress dialog moving along.
class FirmwareSender : public familycommon::FirmwareSteps {
 public:
  explicit FirmwareSender(IQDevice8100& unit) : unit_(unit) {}

  void PrepareErase() override { g8100FlashStart.Write(unit_, true); }

  void Program(const Firmware& firmware, TProgressDialog& progress) override {
    progress_ = &progress;
    g8100FlashErase.Write(unit_, true);
    unit_.WaitUntilReady();
    progress.SetText("Reprogramming ...");
    g8100FlashAddress.Write(unit_, 0);
    for (std::size_t i = 0; i < firmware.records.size(); ++i) {
      progress.SetValue(static_cast<int>(i));
      Send(firmware.records[i]);
    }
    // Once the records are sent, whether the end-of-file record or a data record without data
    // ended them: a firmware that asks for it is initialised all the same.
    Reboot(firmware.reinitialise);
    Finish(firmware.reinitialise);
  }

 private:
  void Reboot(bool reinitialise) {
    progress_->SetText("Rebooting...");
    if (reinitialise) {
      g8100InitMode.Write(unit_, 1);
      unit_.WaitUntilReady();
    }
    IgnoringBusFailure([this] { g8100Reboot.Write(unit_, true); });
  }

  void Finish(bool reinitialise) {
    if (reinitialise) {
      progress_->SetText("Initializing...");
      unit_.WaitUntilRebooted();
      progress_->SetText("Rebooting...");
      IgnoringBusFailure([this] { g8100Reboot.Write(unit_, true); });
    }
    unit_.WaitUntilRebooted();
  }

  void Send(const HexRecord& record) {
    switch (record.type) {
      case familycommon::kHexUpperAddress:
        g8100FlashAddress.Write(unit_, (uint32_t{record.data[0]} << 8 | record.data[1]) << 16);
        break;
      case familycommon::kHexData:
        g8100FlashBlock.WriteBlock(unit_, record.data);
        unit_.WaitUntilReady();
        break;
      default:
        break;
    }
  }

  IQDevice8100& unit_;
  TProgressDialog* progress_ = nullptr;
};

}  // namespace

void ReflashUnit(IQDevice8100& unit, ui::Window* owner) {
  FirmwareSender sender(unit);
  familycommon::ReflashUnit(
      unit.GetInfo().familyCode, kHexRules, sender,
      [&unit](const IQException& e) { ReportBusFailure(e, unit); }, owner);
}

}  // namespace namespace8100
