// Every lamp and switch of the family's dialogs shows, once its click is handled, what the unit
// then holds: after a click the unit refused, after one it took, and after a second one.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "controls/TLEDButton.h"
#include "controls/TPolarityButton.h"
#include "controls/TSwitchButton.h"
#include "family8100/filters/TCrossoverDialog.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/TLimiterDialog.h"
#include "family8100/unit/TNoiseDialog.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "platform/ui/Button.h"
#include "platform/ui/TestHooks.h"
#include "resources/Family8100CrossoverIds.h"
#include "resources/Family8100Ids.h"
#include "sim/Fault.h"
#include "sim/family8100/Family8100Unit.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/family8100_windows/WindowTestEnvironment.h"

using namespace namespace8100;
using sim::family8100::Model;

namespace {

enum class Opens { kLimiter, kNoise, kSignalFlow, kCrossovers };

struct Lamp {
  const char* name;
  Opens dialog;
  int id;
  const UCodeObject& object;
  // The bits of the object's value the lamp shows.
  uint32_t mask;
  // A "Hard" or "Pink" button is lit while the bits are clear.
  bool litWhileClear = false;
};

const Lamp kLamps[] = {
    {"Link Channels", Opens::kLimiter, f8100res::kLinkLed, g8100LimiterMode, 0x0000FF00},
    {"Enable Limiting", Opens::kLimiter, f8100res::kEnableLed, g8100LimiterMode, 0x000000FF},
    {"left soft knee", Opens::kLimiter, f8100res::kLeftSoftKnee, g8100LimiterMode, 0xFF000000},
    {"left hard knee", Opens::kLimiter, f8100res::kLeftHardKnee, g8100LimiterMode, 0xFF000000,
     true},
    {"right soft knee", Opens::kLimiter, f8100res::kRightSoftKnee, g8100LimiterMode, 0x00FF0000},
    {"right hard knee", Opens::kLimiter, f8100res::kRightHardKnee, g8100LimiterMode, 0x00FF0000,
     true},
    {"left flat noise", Opens::kNoise, f8100res::kLeftFlatButton, g8100LeftNoiseType, 0xFF},
    {"left pink noise", Opens::kNoise, f8100res::kLeftPinkButton, g8100LeftNoiseType, 0xFF, true},
    {"right flat noise", Opens::kNoise, f8100res::kRightFlatButton, g8100RightNoiseType, 0xFF},
    {"right pink noise", Opens::kNoise, f8100res::kRightPinkButton, g8100RightNoiseType, 0xFF,
     true},
    {"route 0", Opens::kSignalFlow, f8100res::kRouteBox0, g8100Routing, 0x000000FF},
    {"route 1", Opens::kSignalFlow, f8100res::kRouteBox1, g8100Routing, 0x0000FF00},
    {"route 2", Opens::kSignalFlow, f8100res::kRouteBox2, g8100Routing, 0x00FF0000},
    {"route 3", Opens::kSignalFlow, f8100res::kRouteBox3, g8100Routing, 0xFF000000},
    {"left mute", Opens::kSignalFlow, f8100res::kLeftMuteSwitch, g8100LeftMute, 0xFF},
    {"right mute", Opens::kSignalFlow, f8100res::kRightMuteSwitch, g8100RightMute, 0xFF},
    {"left noise", Opens::kSignalFlow, f8100res::kLeftNoiseSwitch, g8100LeftNoiseOn, 0xFF},
    {"right noise", Opens::kSignalFlow, f8100res::kRightNoiseSwitch, g8100RightNoiseOn, 0xFF},
    {"low polarity", Opens::kCrossovers, f8100res::kLowPolarity, g8100LeftPolarity, 0xFF},
    {"high polarity", Opens::kCrossovers, f8100res::kHighPolarity, g8100RightPolarity, 0xFF}};

std::unique_ptr<ui::Window> Open(Opens dialog, IQDevice8100& unit) {
  switch (dialog) {
    case Opens::kLimiter:
      return std::make_unique<TLimiterDialog>(nullptr, unit);
    case Opens::kNoise:
      return std::make_unique<TNoiseDialog>(nullptr, unit);
    case Opens::kSignalFlow:
      return std::make_unique<TSigFlowDialog>(nullptr, unit);
    case Opens::kCrossovers:
      return std::make_unique<TCrossoverDialog>(nullptr, unit);
  }
  return nullptr;
}

bool Lit(ui::Window& control) {
  if (auto* led = dynamic_cast<TLEDButton*>(&control)) return led->GetState() != TLEDButton::kOff;
  if (auto* drawn = dynamic_cast<TSwitchButton*>(&control)) return drawn->GetState() != 0;
  if (auto* polarity = dynamic_cast<TPolarityButton*>(&control)) return polarity->GetState() != 0;
  return dynamic_cast<ui::CheckBox&>(control).IsChecked();
}

class LampsTest : public testing::Test {
 protected:
  void SetUp() override { test8100::ReportedErrors().clear(); }
  void TearDown() override { ui::test::PumpMessages(); }

  // Whether the lamp's object, as the unit holds it (big-endian), lights the lamp.
  bool HeldLit(const Lamp& lamp) const {
    uint32_t value = 0;
    for (const uint8_t byte : bus_->bus.Element(index_, lamp.object.GetId(), 0)) {
      value = value << 8 | byte;
    }
    return ((value & lamp.mask) != 0) != lamp.litWhileClear;
  }

  // A new bus with one unit of the model, the lamp's object stored dark.
  IQDevice8100& UnitWithDarkLamp(const Lamp& lamp, Model model) {
    bus_ = std::make_unique<testsupport8100::OlderFamilyBus>();
    index_ = sim::family8100::AddFamily8100Unit(bus_->bus, {.model = model, .address = 5});
    const std::vector<uint8_t> dark(static_cast<std::size_t>(lamp.object.ElementSize()),
                                    lamp.litWhileClear ? 0xFF : 0x00);
    bus_->bus.StoreElement(index_, lamp.object.GetId(), 0, dark);
    return *testsupport8100::OnlyUnit(*bus_);
  }

  std::unique_ptr<testsupport8100::OlderFamilyBus> bus_;
  int index_ = 0;
};

TEST_F(LampsTest, EveryLampShowsWhatTheUnitHoldsAfterItsClick) {
  // A click whose change never reached the unit (its ready poll refused), one the unit took but
  // answered with an error, and two it took.
  const std::optional<sim::Fault> clicks[] = {
      sim::Fault::ErrorObject(4).ForObject(g8100Ready.GetId()).Times(1),
      sim::Fault::ErrorObject(4).ForOpcode(sim::kOpcodeSet).Times(1), std::nullopt, std::nullopt};
  for (const Lamp& lamp : kLamps) {
    SCOPED_TRACE(lamp.name);
    const bool x = lamp.dialog == Opens::kLimiter || lamp.dialog == Opens::kCrossovers;
    IQDevice8100& unit = UnitWithDarkLamp(lamp, x ? Model::kX : Model::kRuneTide);
    const std::unique_ptr<ui::Window> dialog = Open(lamp.dialog, unit);
    dialog->Create();
    ui::Window& control = ui::test::ControlOf(*dialog, lamp.id);
    ASSERT_FALSE(Lit(control));
    bool litOnce = false;
    for (const std::optional<sim::Fault>& fault : clicks) {
      SCOPED_TRACE(fault ? "refused" : "taken");
      if (fault) bus_->bus.AddFault(*fault);
      ui::test::Click(*dialog, lamp.id);
      bus_->bus.ClearFaults();
      EXPECT_EQ(test8100::ReportedErrors().size(), fault ? 1u : 0u);
      test8100::ReportedErrors().clear();
      EXPECT_EQ(Lit(control), HeldLit(lamp));
      litOnce = litOnce || Lit(control);
    }
    EXPECT_TRUE(litOnce);
    dialog->Destroy();
  }
}

}  // namespace
