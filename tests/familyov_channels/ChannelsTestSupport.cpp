#include "tests/familyov_channels/ChannelsTestSupport.h"

#include <filesystem>

#include "familyov/unit/ParameterTable.h"
#include "platform/ui/TestHooks.h"
#include "sim/familyov/FamilyOvUnit.h"

namespace channelstest {
namespace {

const auto* const kEnvironment = ovtest::AddGuiEnvironment("familyov_channels_tests");

}  // namespace

ChannelsTest::ChannelsTest(sim::familyov::Model model) {
  ovtest::ReportedErrors().clear();
  bus.port.SetRetries(0);
  bus.AddModelUnit(model, kAddress);
  auto* found = dynamic_cast<namespaceOV::IQDeviceOrdavinex*>(
      bus.RollCall({&type8122, &type8126, &type8148}).at(0));
  found->autoOpenSummary = 0;  // only the windows a test opens
  if (auto* unit8148 = dynamic_cast<namespaceOV::IQDevice8148*>(found)) {
    editWindow = std::make_unique<namespaceOV::TEdit8148Window>(nullptr, *unit8148);
  } else {
    editWindow = std::make_unique<namespaceOV::TEdit8126Window>(
        nullptr, dynamic_cast<namespaceOV::IQDevice8126&>(*found));
  }
  unit = &editWindow->Device();
  editWindow->Create();
  bus.TakeTrace();
}

ChannelsTest::~ChannelsTest() {
  editWindow.reset();
  ui::test::PumpMessages();
}

std::vector<std::string> ChannelsTest::Writes() { return Taken("W"); }

std::vector<std::string> ChannelsTest::Taken(const std::string& prefix) {
  std::vector<std::string> taken;
  for (std::string& line : bus.TakeTrace()) {
    if (line.starts_with(prefix)) taken.push_back(std::move(line));
  }
  return taken;
}

void ChannelsTest::StoreGroup(int channel, int group) {
  bus.StoreByte(0, namespaceOV::gChannelGroupObject.GetId(), channel, static_cast<uint8_t>(group));
  unit->InvalidateValues();
}

void ChannelsTest::StoreDelay(int channel, int samples) {
  bus.StoreLong(0, namespaceOV::gChannelDelayObject.GetId(), channel,
                static_cast<uint32_t>(samples));
  unit->InvalidateValues();
}

}  // namespace channelstest

namespace channelstest {

void ChannelsTest::Grab(ui::Window& window, int width, int height, const std::string& name) {
  // Room for a frame's menu bar and the group window's scroll bars besides the panes.
  constexpr int kMargin = 40;
  window.SetClientSize({width + kMargin, height + kMargin});
  ui::test::PumpMessages();
  const std::filesystem::path folder = TELVO_GALLERY_DIR;
  std::filesystem::create_directories(folder);
  EXPECT_TRUE(ui::test::GrabPng(window, (folder / name).string()));
}

}  // namespace channelstest
