// A unit that answers not ready holds a change until it is ready or the bound has passed, some 11
// seconds on a real line: meanwhile the program says that it waits, as its other long waits do.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <ostream>
#include <string>
#include <vector>

#include "controls/TProgressDialog.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ReadyWaitShown.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "platform/ui/Application.h"
#include "platform/ui/TestHooks.h"
#include "resources/Family8100Ids.h"
#include "sim/family8100/Family8100Unit.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/family8100_windows/WindowTestEnvironment.h"

using namespace namespace8100;

namespace {

TProgressDialog* ProgressWindow() {
  for (ui::Window* w : ui::TopLevelWindows()) {
    if (auto* progress = dynamic_cast<TProgressDialog*>(w)) return progress;
  }
  return nullptr;
}

// What the user sees at each not-ready answer: the wait cursor, the progress window's text and
// whether it painted.
struct Seen {
  bool waitCursor;
  std::string progress;
  bool painted;
  bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& s, std::ostream* os) {
  *os << "{cursor " << s.waitCursor << ", \"" << s.progress << "\", painted " << s.painted << "}";
}

// Counts the paints of the progress window's widgets.
class ProgressPaints : public QObject {
 public:
  ProgressPaints() { qApp->installEventFilter(this); }
  ~ProgressPaints() override { qApp->removeEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() != QEvent::Paint || !watched->isWidgetType()) return false;
    for (ui::Window* w = ui::Window::FromWidget(static_cast<QWidget*>(watched)); w != nullptr;
         w = w->Parent()) {
      if (dynamic_cast<TProgressDialog*>(w) != nullptr) ++paints;
    }
    return false;
  }
};

TEST(ReadyWaitTest, AChangeWaitingForTheReadyFlagShowsTheWaitUntilItEnds) {
  test8100::ReportedErrors().clear();
  testsupport8100::OlderFamilyBus bus;
  const int index =
      sim::family8100::AddFamily8100Unit(bus.bus, {.model = sim::family8100::Model::kX});
  IQDevice8100& unit = *testsupport8100::OnlyUnit(bus);
  TSigFlowDialog dialog(nullptr, unit);
  dialog.Create();
  dialog.Show();
  ui::test::PumpMessages();
  bus.bus.StoreElement(index, sim::family8100::kReadyId, 0, {0});
  ProgressPaints paints;
  std::vector<Seen> seen;
  unit.SetReadyBound({.maxPolls = 3, .onPoll = [&](double) {
                        const TProgressDialog* progress = ProgressWindow();
                        seen.push_back({ui::WaitCursor::Active(),
                                        progress != nullptr ? progress->Text() : "",
                                        paints.paints > 0});
                      }});
  ui::test::Click(dialog, f8100res::kRouteBox1);
  const Seen waiting{true, ReadyWaitShown::kText, true};
  EXPECT_THAT(seen, testing::ElementsAre(waiting, waiting, waiting));
  EXPECT_THAT(test8100::ReportedErrors(), testing::ElementsAre(kNotReadyText));
  EXPECT_FALSE(ui::WaitCursor::Active());
  EXPECT_EQ(ProgressWindow(), nullptr);
  ui::test::PumpMessages();
}

}  // namespace
