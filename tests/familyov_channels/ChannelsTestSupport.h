#pragma once

// The channel windows against a simulated unit on the pseudo-terminal, opened from its edit
// window; every reported failure is recorded. By default an 8148 with 8 outputs: inputs 0..3,
// outputs 4..11.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "familyov/unit/OrdavinexTypes.h"
#include "familyov/unit/TEditModelWindows.h"
#include "platform/ui/Prompts.h"
#include "tests/familyov_unit/GuiTestEnvironment.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace channelstest {

class ChannelsTest : public testing::Test {
 protected:
  static constexpr int kAddress = 5;

  explicit ChannelsTest(sim::familyov::Model model = sim::familyov::Model::k8148);
  ~ChannelsTest() override;

  // Opens the window of the tree node and hands it back as the class it must be.
  template <typename Window>
  Window& Open(int node) {
    editWindow->OpenChildWindow(node);
    auto* window = dynamic_cast<Window*>(editWindow->ChildWindow(node));
    if (window == nullptr) throw std::logic_error("the node opened no window of that class");
    return *window;
  }
  // The writes since the last call, as "W1B.5 3F800000"; reads are dropped.
  std::vector<std::string> Writes();
  // The transfers since the last call that start with `prefix`.
  std::vector<std::string> Taken(const std::string& prefix);
  void StoreGroup(int channel, int group);
  void StoreDelay(int channel, int samples);
  // Grabs the window, sized to show all of its panes, to the build folder's gallery.
  void Grab(ui::Window& window, int width, int height, const std::string& name);

  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};
  ovtest::FamilyBus bus;
  namespaceOV::IQ8122Type type8122;
  namespaceOV::IQ8126Type type8126;
  namespaceOV::IQ8148Type type8148;
  namespaceOV::IQDeviceOrdavinex* unit = nullptr;
  std::unique_ptr<namespaceOV::TEditOVWindow> editWindow;
};

}  // namespace channelstest
