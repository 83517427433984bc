#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <Qt>
#include <memory>
#include <tuple>

#include "bus/PollBackoff.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/TDelayDialog.h"
#include "family8100/unit/TEdit8100Window.h"
#include "family8100/unit/TLimiterDialog.h"
#include "family8100/unit/TNoiseDialog.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "family8100/unit/ValueConversions8100.h"
#include "platform/ui/TestHooks.h"
#include "resources/Family8100Ids.h"
#include "sim/Fault.h"
#include "sim/family8100/Family8100Unit.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/family8100_windows/WindowTestEnvironment.h"

using namespace namespace8100;
using sim::family8100::Model;
using testing::ElementsAre;
using testsupport8100::OlderFamilyBus;
using testsupport8100::OnlyUnit;
using testsupport8100::WriteFailure;

namespace {

TEST(ValueConversionTest, DelaysRoundToTheLowerSampleOnATieAndClamp) {
  EXPECT_EQ(TypedDelaySamples(1.0f, DelayUnits::Milliseconds), 48u);
  EXPECT_EQ(TypedDelaySamples(0.5f, DelayUnits::Feet), 21u);
  EXPECT_EQ(TypedDelaySamples(0.0104f, DelayUnits::Milliseconds), 0u);
  EXPECT_EQ(TypedDelaySamples(0.0105f, DelayUnits::Milliseconds), 1u);
  EXPECT_EQ(TypedDelaySamples(0.03125f, DelayUnits::Milliseconds), 1u);
  EXPECT_EQ(TypedDelaySamples(1000.0f, DelayUnits::Milliseconds), 16383u);
  EXPECT_EQ(TypedDelaySamples(-3.0f, DelayUnits::Meters), 0u);
  EXPECT_EQ(DelayText(16383, DelayUnits::Milliseconds), "341.312");
  EXPECT_EQ(DelayText(16383, DelayUnits::Feet), "390.071");
  EXPECT_EQ(DelayText(16383, DelayUnits::Meters), "117.021");
  EXPECT_EQ(SteppedDelay(16300, SamplesPerUnit(DelayUnits::Meters)), 16383u);
  EXPECT_EQ(SteppedDelay(0, -1.0f), 0u);
  EXPECT_FALSE(ParseTyped("").has_value());
  EXPECT_FALSE(ParseTyped(".").has_value());
  EXPECT_FALSE(ParseTyped("-").has_value());
}

TEST(ValueConversionTest, ThresholdsAndReleases) {
  EXPECT_EQ(ThresholdValue(22.0f), 524287u);
  EXPECT_EQ(ThresholdValue(0.0f), 41645u);
  EXPECT_EQ(ThresholdValue(-40.0f), 416u);
  EXPECT_EQ(ThresholdValue(30.0f), 524287u);
  EXPECT_NEAR(ThresholdDbu(1), -92.4f, 0.05f);
  EXPECT_EQ(ClassifyRelease(2.0833333e-5f), Release::Slow);
  EXPECT_EQ(ClassifyRelease(ReleaseCoefficient(Release::Medium)), Release::Medium);
  EXPECT_EQ(ClassifyRelease(4.3e-5f), Release::Fast);
}

class ValueDialogTest : public testing::Test {
 protected:
  void SetUp() override { test8100::ReportedErrors().clear(); }
  void TearDown() override { ui::test::PumpMessages(); }

  IQDevice8100& AddUnit(Model model) {
    index_ = sim::family8100::AddFamily8100Unit(bus.bus, {.model = model, .address = 9});
    return *OnlyUnit(bus);
  }
  void Store(const UCodeObject& object, std::vector<uint8_t> bytes) {
    bus.bus.StoreElement(index_, object.GetId(), 0, bytes);
  }
  void Enter(ui::Window& dialog, int editId, const std::string& text) {
    dynamic_cast<ui::Window&>(ui::test::ControlOf(dialog, editId)).SetText(text);
    ui::test::PressKey(ui::test::ControlOf(dialog, editId), Qt::Key_Return);
  }
  std::string TextOf(ui::Window& dialog, int id) { return ui::test::ControlOf(dialog, id).Text(); }

  OlderFamilyBus bus;
  int index_ = 0;
};

TEST_F(ValueDialogTest, DelayWritesTypedNumbersOnlyAndEscapeRestores) {
  IQDevice8100& unit = AddUnit(Model::kPlus);
  TDelayDialog dialog(nullptr, unit);
  dialog.Create();
  bus.TakeTrace();
  ui::test::ControlOf(dialog, f8100res::kRightDelayEdit).SetText("");
  Enter(dialog, f8100res::kLeftDelayEdit, "0.0104");
  EXPECT_THAT(bus.TakeTrace(), ElementsAre("R06", "W2C 00000000"));
  Enter(dialog, f8100res::kLeftDelayEdit, "1000");
  EXPECT_EQ(TextOf(dialog, f8100res::kLeftDelayEdit), "341.312");
  // The right delay, shown as the unit holds it, is not written again.
  EXPECT_THAT(bus.TakeTrace(), ElementsAre("R06", "W2C 00003FFF"));

  ui::test::ControlOf(dialog, f8100res::kLeftDelayEdit).SetText("12");
  ui::test::PressKey(ui::test::ControlOf(dialog, f8100res::kLeftDelayEdit), Qt::Key_Escape);
  EXPECT_EQ(TextOf(dialog, f8100res::kLeftDelayEdit), "341.312");
  EXPECT_TRUE(bus.TakeTrace().empty());
  EXPECT_TRUE(dialog.IsCreated());
}

TEST_F(ValueDialogTest, LimiterWritesOnlyTheChangedThresholdAndPollsInIdleTime) {
  IQDevice8100& unit = AddUnit(Model::kX);
  Store(g8100LimiterMode, {0, 0, 0, 0xFF});
  TLimiterDialog dialog(nullptr, unit);
  dialog.Create();
  bus.TakeTrace();
  Enter(dialog, f8100res::kLeftThresholdEdit, "30");
  EXPECT_EQ(TextOf(dialog, f8100res::kLeftThresholdEdit), "22.0");
  Enter(dialog, f8100res::kRightThresholdEdit, "-");
  EXPECT_THAT(bus.TakeTrace(), ElementsAre("R06", "W30 0007FFFF"));

  ui::test::Click(dialog, f8100res::kLinkLed);
  EXPECT_THAT(bus.TakeTrace(), ElementsAre("R06", "W36 0000FFFF"));

  std::vector<std::vector<std::string>> passes;
  for (int pass = 0; pass < 3; ++pass) {
    ui::test::PumpIdle(1);
    passes.push_back(bus.TakeTrace());
  }
  EXPECT_THAT(passes, ElementsAre(ElementsAre("R06"), ElementsAre("R34"), ElementsAre("R35")));

  // A refused write is shown and the dialog stays open.
  bus.bus.AddFault(sim::Fault::ErrorObject(4).ForOpcode(sim::kOpcodeSet));
  Enter(dialog, f8100res::kLeftThresholdEdit, "0");
  EXPECT_EQ(test8100::ReportedErrors().size(), 1u);
  EXPECT_TRUE(dialog.IsCreated());
}

TEST_F(ValueDialogTest, NoiseClampsTypedLevelsAndWritesTheTypes) {
  IQDevice8100& unit = AddUnit(Model::kRuneTide);
  Store(g8100RightNoiseType, {2});
  TNoiseDialog dialog(nullptr, unit);
  dialog.Create();
  bus.TakeTrace();
  EXPECT_TRUE(
      dynamic_cast<ui::RadioButton&>(ui::test::ControlOf(dialog, f8100res::kRightFlatButton))
          .IsChecked());
  Enter(dialog, f8100res::kLeftNoiseLevelEdit, "5");
  EXPECT_EQ(TextOf(dialog, f8100res::kLeftNoiseLevelEdit), "0.0");
  Enter(dialog, f8100res::kRightNoiseLevelEdit, "-95");
  EXPECT_THAT(bus.TakeTrace(), ElementsAre("R06", "W37 00000000", "R06", "W38 C2A00000"));
  ui::test::Click(dialog, f8100res::kRightFlatButton);
  // Only the type that differs from the unit's is written.
  EXPECT_THAT(bus.TakeTrace(), ElementsAre("R06", "W3A 01"));
}

// A value typed while the unit fails, then Enter: one report; the field shows unknown while the
// unit may hold the value, what it showed before after a refusal. Once the unit answers, the field
// shows what the unit holds, and a value the unit did not take is not written later.
struct TypedValue {
  const char* what;
  Model model;
  int button;  // on the signal flow
  int edit;
  const char* typed;
  const char* taken;  // the field once the unit holds the typed value
};

class FailedValueEntryTest
    : public ValueDialogTest,
      public testing::WithParamInterface<std::tuple<TypedValue, WriteFailure>> {};

TEST_P(FailedValueEntryTest, IsToldOnceAndShowsWhatTheUnitHoldsOnceItAnswers) {
  const auto& [field, failure] = GetParam();
  TEdit8100Window window(nullptr, AddUnit(field.model));
  window.Create();
  ui::test::Click(window.SignalFlow(), field.button);
  ui::Window& dialog = *window.SignalFlow().SubDialog(field.button);
  auto& edit = ui::test::ControlOf(dialog, field.edit);
  const auto enter = [&] {
    bus.TakeTrace();
    ui::test::PressKey(edit, Qt::Key_Return);
    auto writes = bus.TakeTrace();
    std::erase_if(writes, [](const std::string& line) { return line[0] != 'W'; });
    return writes;
  };
  const auto untyped = enter();
  const std::string shown = edit.Text();
  ui::test::Type(dialog, field.edit, field.typed);
  bus.bus.AddFault(FailingWrites(failure, 9));
  enter();
  EXPECT_EQ(test8100::ReportedErrors().size(), 1u);
  EXPECT_EQ(edit.Text(), failure == WriteFailure::kRefused ? shown : "");

  bus.bus.ClearFaults();
  PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
  ui::test::PumpIdle(3);
  ui::test::PumpMessages();
  EXPECT_EQ(edit.Text(), failure == WriteFailure::kCarriedOut ? field.taken : shown);
  if (failure != WriteFailure::kCarriedOut) {
    EXPECT_EQ(enter(), untyped);
  }
  EXPECT_EQ(test8100::ReportedErrors().size(), 1u);
  window.CloseWindow();
}

INSTANTIATE_TEST_SUITE_P(
    EveryTypedValue, FailedValueEntryTest,
    testing::Combine(testing::Values(TypedValue{"Delay", Model::kPlus, f8100res::kLeftDelayButton,
                                                f8100res::kLeftDelayEdit, "12", "12.000"},
                                     TypedValue{"Limiter", Model::kX, f8100res::kLeftLimiterButton,
                                                f8100res::kRightThresholdEdit, "-3", "-3.0"},
                                     TypedValue{"Noise", Model::kRuneTide, f8100res::kNoiseButton,
                                                f8100res::kLeftNoiseLevelEdit, "-20", "-20.0"}),
                     testing::ValuesIn(testsupport8100::kEachWriteFailure)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).what) + NameOf(std::get<1>(info.param));
    });

}  // namespace
