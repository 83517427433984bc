#pragma once

// A 6-output unit of the 2-input model on the simulated bus, a data window that plays its edit
// window for the panes under test, and the unit's transfers as the tests compare them.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controls/TDataWindow.h"
#include "familyov/filters/FilterClasses.h"
#include "familyov/unit/OrdavinexModels.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/Window.h"
#include "tests/familyov_unit/GuiTestEnvironment.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV::dialogtest {

using Trace = std::vector<std::string>;

// Records what its panes tell the unit, and hands every record back down as the edit window does.
class Host : public ui::Window, public TDataWindow {
 public:
  Host();
  ~Host() override { Destroy(); }
  void Notify(NotifyRecord* record) override;

  std::vector<std::pair<uint32_t, void*>> records;
};

struct UnitTest : testing::Test {
  void SetUp() override;

  // A filter of the class made on the unit on `channel` at `frequency`, its transfers dropped.
  template <typename Filter>
  Filter& Add(int channel, int frequency) {
    auto made = std::make_unique<Filter>();
    made->channel = channel;
    made->frequency = frequency;
    auto& filter = static_cast<Filter&>(*unit.AddFilter(std::move(made)));
    filter.WriteToDevice(unit);
    filter.SendCreateCommand(unit);
    Transfers();
    return filter;
  }
  // The unit's transfers since the last call, without the reads of its ready flag.
  Trace Transfers();
  // Writes of the selection, as the trace shows them.
  static std::string Select(const TFilter& filter);

  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};
  ovtest::FamilyBus bus;
  IQ8126Type type;
  int index = bus.AddModelUnit(sim::familyov::Model::k8126, 8, "1.4");
  IQDeviceInfo record{8, 880, 1, ovtest::ModelId('6', "1.4", false)};
  IQDevice8126 unit{&type, &bus.manager, &record, 6};
  Host host;
};

// A click on a zone of the quad button `id` of `dialog`, and the step it posts taken.
void SpinQuad(ui::Window& dialog, int id, int zone);

}  // namespace namespaceOV::dialogtest
