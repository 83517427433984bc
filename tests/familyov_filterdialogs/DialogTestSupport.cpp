#include "tests/familyov_filterdialogs/DialogTestSupport.h"

#include <algorithm>

#include "controls/TQuadButton.h"
#include "platform/ui/TestHooks.h"
#include "tests/familyov_unit/GuiTestEnvironment.h"

namespace namespaceOV::dialogtest {

namespace {
const auto* const kEnvironment = ovtest::AddGuiEnvironment("familyov_filterdialogs_tests");
}  // namespace

Host::Host() : TDataWindow(nullptr) {
  SetLink1(this);
  SetLink2(this);
}

void Host::Notify(NotifyRecord* record) {
  records.push_back({record->code, record->pointer});
  TDataWindow::Notify(record);
}

void UnitTest::SetUp() {
  ovtest::ReportedErrors().clear();
  ui::test::UseManualTimers();
  host.Create();
  Transfers();
}

Trace UnitTest::Transfers() {
  Trace trace = bus.TakeTrace();
  std::erase(trace, "R06");
  return trace;
}

std::string UnitTest::Select(const TFilter& filter) { return "W11 " + ovtest::Hex(filter.number); }

void SpinQuad(ui::Window& dialog, int id, int zone) {
  auto& quad = dynamic_cast<TQuadButton&>(ui::test::ControlOf(dialog, id));
  const ui::Rect r = quad.ZoneRect(zone);
  const ui::Point centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ui::test::MouseDown(quad, centre);
  ui::test::MouseUp(quad, centre);
  ui::test::PumpMessages();
}

}  // namespace namespaceOV::dialogtest
