#include "sim/familyov/Model.h"

#include <stdexcept>

namespace sim::familyov {
namespace {

constexpr int kFirmwareChars = 3;
constexpr int k8148FilterSlots = 158;
constexpr int kTwoInputFilterSlots = 100;
constexpr int k8148ImageWords = 840;
constexpr int kTwoInputImageWords = 730;
constexpr int k8148Memories = 8;
constexpr int kEarlyTwoInputMemories = 12;
constexpr int kTwoInputMemories = 15;
// From this firmware on the 2-input models keep 15 memories.
constexpr int kFifteenMemoriesTenths = 15;

ModelTraits TwoInput(int outputs) {
  return {.familyCode = kTwoInputFamilyCode,
          .inputs = 2,
          .outputs = outputs,
          .firstOutput = 2,
          .digitPosition = 0,
          .filterSlots = kTwoInputFilterSlots,
          .imageWords = kTwoInputImageWords};
}

}  // namespace

ModelTraits TraitsOf(Model model) {
  switch (model) {
    case Model::k8122:
      return TwoInput(2);
    case Model::k8124:
      return TwoInput(4);
    case Model::k8126:
      return TwoInput(6);
    case Model::k8166:
      return {.familyCode = k8148FamilyCode,
              .inputs = 6,
              .outputs = 6,
              .firstOutput = 6,
              .digitPosition = 1,
              .filterSlots = k8148FilterSlots,
              .imageWords = k8148ImageWords};
    case Model::k8137:
      return {.familyCode = k8148FamilyCode,
              .inputs = 3,
              .outputs = 7,
              .firstOutput = 4,
              .digitPosition = 1,
              .filterSlots = k8148FilterSlots,
              .imageWords = k8148ImageWords};
    case Model::k8148:
      break;
  }
  return {.familyCode = k8148FamilyCode,
          .inputs = 4,
          .outputs = 8,
          .firstOutput = 4,
          .digitPosition = 1,
          .filterSlots = k8148FilterSlots,
          .imageWords = k8148ImageWords};
}

bool Of8148Family(Model model) { return TraitsOf(model).familyCode == k8148FamilyCode; }

int FirmwareTenths(const std::string& firmware) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (firmware.size() != kFirmwareChars || !digit(firmware[0]) || firmware[1] != '.' ||
      !digit(firmware[2])) {
    throw std::invalid_argument("firmware version must read like 1.5: " + firmware);
  }
  return (firmware[0] - '0') * 10 + (firmware[2] - '0');
}

int MemoryCount(Model model, const std::string& firmware) {
  const int tenths = FirmwareTenths(firmware);
  if (Of8148Family(model)) return k8148Memories;
  return tenths >= kFifteenMemoriesTenths ? kTwoInputMemories : kEarlyTwoInputMemories;
}

UnitIdentity IdentityOf(Model model, int address, int network, const std::string& firmware) {
  FirmwareTenths(firmware);
  const ModelTraits traits = TraitsOf(model);
  UnitIdentity identity{.address = address, .network = network, .family = traits.familyCode};
  // The 8148 leads with its input digit, which the program does not read.
  if (traits.digitPosition > 0) identity.modelId[0] = static_cast<uint8_t>('0' + traits.inputs);
  identity.modelId[traits.digitPosition] = static_cast<uint8_t>('0' + traits.outputs);
  for (int i = 0; i < kFirmwareChars; ++i) {
    identity.modelId[traits.digitPosition + 1 + i] = static_cast<uint8_t>(firmware[i]);
  }
  return identity;
}

}  // namespace sim::familyov
