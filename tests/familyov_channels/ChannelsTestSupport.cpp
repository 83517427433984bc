#include "tests/familyov_channels/ChannelsTestSupport.h"

#include "familyov/unit/ParameterTable.h"
#include "platform/ui/TestHooks.h"
#include "sim/familyov/FamilyOvUnit.h"

namespace channelstest {
namespace {

const auto* const kEnvironment = ovtest::AddGuiEnvironment("familyov_channels_tests");

}  // namespace

ChannelsTest::ChannelsTest() {
  ovtest::ReportedErrors().clear();
  bus.port.SetRetries(0);
  bus.AddModelUnit(sim::familyov::Model::k8148, kAddress);
  unit = &dynamic_cast<namespaceOV::IQDevice8148&>(*bus.RollCall({&type}).at(0));
  editWindow = std::make_unique<namespaceOV::TEdit8148Window>(nullptr, *unit);
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
