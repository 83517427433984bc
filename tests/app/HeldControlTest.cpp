// A control that repeats while it is held, held down on a unit of each family as the user holds it
// (pressed, never released): it repeats while the unit answers; a step that fails is told once and
// ends the hold, so that nothing is written after it, nor once the unit answers again.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QRect>
#include <QSlider>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "controls/TQuadButton.h"
#include "family3300/IQDevice3300.h"
#include "family3300/TEdit3300Window.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/TEdit8100Window.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "familyov/channels/TLimiterWindow.h"
#include "familyov/channels/TSummaryWindow.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditOVWindow.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Trackbar.h"
#include "resources/AppIds.h"
#include "resources/ControlsResources.h"
#include "resources/Family3300Ids.h"
#include "resources/Family8100Ids.h"
#include "resources/FamilyOvProcessingIds.h"
#include "resources/FamilyOvSummaryIds.h"
#include "sim/WireFormat.h"
#include "sim/family3300/Family3300Unit.h"
#include "sim/family8100/Family8100Unit.h"
#include "sim/familyov/FamilyOvUnit.h"
#include "tests/app/AppTestSupport.h"
#include "tests/bus/RequestTrace.h"
#include "tests/support/FaultKinds.h"

namespace apptest {
namespace {

constexpr int kNewerUnit = 1;
constexpr int kOlderUnit = 3;
constexpr int kEqualiser = 5;
// Long enough for a spin button to pass its pause and double its step, and for a slider's track
// and an arrow to repeat several times.
constexpr int kHeldMs = 1000;

class HeldControlTest : public ShellTest {
 protected:
  void SetUp() override {
    SettingsKey().SetNumber("port number", kSimComNumber);
    UseBuiltInTypes();
    sim::familyov::AddFamilyOvUnit(bus,
                                   {.model = sim::familyov::Model::k8148, .address = kNewerUnit});
    sim::family8100::AddFamily8100Unit(
        bus, {.model = sim::family8100::Model::kRuneTide, .address = kOlderUnit});
    sim::family3300::AddFamily3300Unit(bus, {.address = kEqualiser});
    Start();
    RollCall();
  }

 public:
  namespaceOV::IQDeviceOrdavinex& NewerDevice() {
    return dynamic_cast<namespaceOV::IQDeviceOrdavinex&>(OpenBusUnit(kNewerUnit));
  }
  ui::Window& NewerChild(int namespaceOV::NodeIds::*node) {
    auto& edit = dynamic_cast<namespaceOV::TEditOVWindow&>(*NewerDevice().EditWindow());
    const int id = edit.Ids().*node;
    if (edit.ChildWindow(id) == nullptr) edit.OpenChildWindow(id);
    return *edit.ChildWindow(id);
  }
  namespace8100::TSigFlowDialog& OlderFlow() {
    auto& unit = dynamic_cast<namespace8100::IQDevice8100&>(OpenBusUnit(kOlderUnit));
    return dynamic_cast<namespace8100::TEdit8100Window&>(*unit.EditWindow()).SignalFlow();
  }
  namespace3300::TEdit3300Window& Equaliser() {
    auto& unit = dynamic_cast<namespace3300::IQDevice3300&>(OpenBusUnit(kEqualiser));
    return dynamic_cast<namespace3300::TEdit3300Window&>(*unit.EditWindow());
  }
  std::vector<std::string> Writes() {
    std::vector<std::string> writes = bustest::TakeRequestTrace(bus, true);
    std::erase_if(
        writes, [](const std::string& request) { return request.find(":W") == std::string::npos; });
    return writes;
  }
};

// Where a press holds a control: the middle of a spin button's fine-up zone, or a slider's track
// beyond its thumb, toward its maximum.
ui::Point HeldPoint(ui::Window& control) {
  if (auto* spin = dynamic_cast<TQuadButton*>(&control)) {
    const ui::Rect zone = spin->ZoneRect(TQuadButton::kUpperRight);
    return {(zone.left + zone.right) / 2, (zone.top + zone.bottom) / 2};
  }
  const auto* slider = static_cast<QSlider*>(control.Widget());
  const QRect thumb = ui::test::SliderThumb(control);
  // On the line through the thumb, halfway between it and the end farther from it.
  const bool vertical = slider->orientation() == Qt::Vertical;
  const QPoint c = thumb.center();
  const int along = vertical ? c.y() : c.x();
  const int length = vertical ? slider->height() : slider->width();
  const int farEnd = along > length / 2 ? 0 : length - 1;
  const int p = (along + farEnd) / 2;
  return vertical ? ui::Point{c.x(), p} : ui::Point{p, c.y()};
}

// The left button going down or up on `control` at `p`, the only button down: Qt's test input
// would add the buttons that an earlier test's right click left down, and a slider takes a press
// with another button down for no press.
void Left(QEvent::Type type, ui::Window& control, ui::Point p) {
  QWidget& widget = *control.Widget();
  const QPoint local(p.x, p.y);
  QMouseEvent event(type, local, widget.mapToGlobal(local), Qt::LeftButton,
                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&widget, &event);
}
void LeftDown(ui::Window& control, ui::Point p) { Left(QEvent::MouseButtonPress, control, p); }
void LeftUp(ui::Window& control, ui::Point p) { Left(QEvent::MouseButtonRelease, control, p); }

struct HeldControl {
  const char* what;
  int address;
  // Opens the control's window while the unit answers; answers the control.
  std::function<ui::Window&(HeldControlTest&)> open;
};

const HeldControl kHeldControls[] = {
    {"the newer family's limiter threshold spin", kNewerUnit,
     [](HeldControlTest& t) -> ui::Window& {
       namespaceOV::IQDeviceOrdavinex& unit = t.NewerDevice();
       namespaceOV::gLimiterEnableObject.SetElement(unit.firstOutput);
       namespaceOV::gLimiterEnableObject.Write(unit, true);
       auto& limiter =
           dynamic_cast<namespaceOV::TLimiterWindow&>(t.NewerChild(&namespaceOV::NodeIds::limiter));
       return ui::test::ControlOf(limiter.Pane(0), ovprocessing_res::kLimThresholdSpin);
     }},
    {"the newer family's input level spin", kNewerUnit,
     [](HeldControlTest& t) -> ui::Window& {
       auto& summary =
           dynamic_cast<namespaceOV::TSummaryWindow&>(t.NewerChild(&namespaceOV::NodeIds::summary));
       return ui::test::ControlOf(summary.Panes().Input(0), ovsummary_res::kInputLevelSpin);
     }},
    {"the older family's noise level spin", kOlderUnit,
     [](HeldControlTest& t) -> ui::Window& {
       namespace8100::TSigFlowDialog& flow = t.OlderFlow();
       ui::test::Click(flow, f8100res::kNoiseButton);
       return ui::test::ControlOf(*flow.SubDialog(f8100res::kNoiseButton),
                                  f8100res::kLeftNoiseSpin);
     }},
    {"the equaliser's gain slider", kEqualiser,
     [](HeldControlTest& t) -> ui::Window& {
       namespace3300::TEdit3300Window& eq = t.Equaliser();
       eq.RunItem(namespace3300::kItemGainA);
       return ui::test::ControlOf(*eq.Gain(0), controls_res::kLevelTrackbar);
     }},
};

TEST_F(HeldControlTest, RepeatsWhileTheUnitAnswersAndAFailedStepIsToldOnceAndEndsTheHold) {
  for (const HeldControl& row : kHeldControls) {
    SCOPED_TRACE(row.what);
    ui::Window& control = row.open(*this);
    ui::test::PumpMessages();
    const ui::Point held = HeldPoint(control);
    Writes();

    LeftDown(control, held);
    ui::test::StepTimers(kHeldMs);
    ui::test::PumpMessages();
    EXPECT_GE(Writes().size(), 3u) << "a held control repeats";
    LeftUp(control, held);
    ui::test::StepTimers(kHeldMs);
    ui::test::PumpMessages();
    EXPECT_TRUE(Writes().empty()) << "released, it stops";

    for (const testsupport::FaultKind& kind : testsupport::kFaultKinds) {
      SCOPED_TRACE(kind.name);
      const bool refused = std::string(kind.name) == "refused";
      bus.AddFault(kind.fault.ForUnit(row.address).ForOpcode(sim::kOpcodeSet).Times(kind.times));
      ui::PromptScript script(FailTest);
      // The newer family tells every failure of its windows in the plain error dialog.
      script.RunDialog(
          refused && row.address != kNewerUnit ? appres::kErrorObjectDialog : appres::kErrorDialog,
          [](ui::Dialog& d) { d.CloseWindow(ui::kIdCancel); });
      // Held past the pause with its steps piling up behind the first, which fails.
      LeftDown(control, held);
      ui::test::StepTimers(kHeldMs);
      ui::test::PumpMessages();
      EXPECT_EQ(script.Seen().size(), 1u);
      Writes();
      ui::test::StepTimers(kHeldMs);
      ui::test::PumpMessages();
      EXPECT_TRUE(Writes().empty()) << "the failed step ended the hold";
      bus.ClearFaults();
      ui::test::StepTimers(kHeldMs);
      ui::test::PumpMessages();
      EXPECT_TRUE(Writes().empty()) << "the unit answers again, and nothing steps by itself";
      LeftUp(control, held);
      ui::test::PumpMessages();
      EXPECT_TRUE(Writes().empty()) << "the hand that lets go at last steps nothing";
      EXPECT_EQ(script.Seen().size(), 1u);
    }
  }
}

}  // namespace
}  // namespace apptest
