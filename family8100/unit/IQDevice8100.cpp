#include "family8100/unit/IQDevice8100.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "family8100/unit/ParameterTable8100.h"

namespace namespace8100 {

namespace {

constexpr std::array<const char*, 16> kErrorTexts = {"Invalid Object ID",
                                                     "ASN.1 value larger than 3 bytes",
                                                     "Attribute ID out of range",
                                                     "Method ID out of range",
                                                     "Message ID unsupported by object",
                                                     "Incomplete UCode message",
                                                     "COMBUF full",
                                                     "Parameter out of range",
                                                     "Character disallowed",
                                                     "Wrong password",
                                                     "Device is locked",
                                                     "Must unlock device with password",
                                                     "Code 12",
                                                     "Code 13",
                                                     "Code 14",
                                                     "Code 15"};

constexpr uint32_t kFamilyCodesMatched[] = {kTypeCodeBase, kTypeCodePlus, kTypeCodeX,
                                            kTypeCodeRuneTide, 880};

constexpr uint32_t kDefaultRouting = 0x01000001;
constexpr uint32_t kDefaultRoutingX = 0x00010001;
constexpr uint32_t kThreshold16dBu = 262765;
constexpr float kSlowRelease = 2.0833333e-5F;
constexpr float kNoiseLevelDb = -40.0F;
constexpr double kFirstSingleDeleteVersion = 1.1;

// The firmware version sits in characters 3 to 8 of the identity text; an unreadable one counts
// as the oldest.
double FirmwareVersion(const IQDeviceInfo& info) {
  const std::string text = info.ModelText();
  if (text.size() <= 2) return 0.0;
  return std::strtod(text.substr(2, 6).c_str(), nullptr);
}

}  // namespace

std::string ErrorText8100(int code) {
  if (code < 0 || code >= static_cast<int>(kErrorTexts.size())) {
    return "Unknown error code " + std::to_string(code);
  }
  return kErrorTexts[static_cast<std::size_t>(code)];
}

IQDevice8100::IQDevice8100(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info,
                           uint32_t typeCode)
    : IQDevice(type, manager, info), typeCode_(typeCode), waitsForReady_(IsOnline()) {
  SetObjectCount(kObjectIdCount);
  if (IsOnline()) {
    deletesAllAtOnce_ = FirmwareVersion(GetInfo()) >= kFirstSingleDeleteVersion;
  } else {
    InitVirtualUnit();
  }
  SetModified(false);
}

bool IQDevice8100::DoOpen(ui::Window*) { return false; }

bool IQDevice8100::CopyFrom(IQDevice&) { return false; }

bool IQDevice8100::Matches(const IQDeviceInfo& info) const {
  return info.network == GetInfo().network && info.address == GetInfo().address &&
         std::ranges::find(kFamilyCodesMatched, info.familyCode) != std::end(kFamilyCodesMatched);
}

bool IQDevice8100::GetListText(std::string& text) const {
  if (!IsOnline()) return false;
  // Reading the unit only fills the value store; the device stays as it was otherwise.
  auto& self = const_cast<IQDevice8100&>(*this);
  const std::string address = "(" + std::to_string(GetInfo().address) + ")";
  text = g8100Locked.Read(self) ? address + " LOCKED" : address + " " + g8100UnitName.Read(self);
  return true;
}

void IQDevice8100::Write(const UCodeObject& object, std::span<const uint8_t> data, int) {
  if (waitsForReady_) WaitReady(*this, readyBound_);
  IQDevice::Write(object, data, 0);
}

void IQDevice8100::Request(const UCodeObject& object, int) {
  if (waitsForReady_ && &object == &g8100NewFilterSlot) WaitReady(*this, readyBound_);
  IQDevice::Request(object, 0);
}

void IQDevice8100::InitVirtualUnit() {
  // Every model keeps every id; the gates only decide what is shown and saved.
  g8100Ready.Write(*this, true);
  g8100RightMute.Write(*this, false);
  g8100LeftMute.Write(*this, false);
  g8100RightAttenuation.Write(*this, 0);
  g8100LeftAttenuation.Write(*this, 0);
  g8100Routing.Write(*this, typeCode_ == kTypeCodeX ? kDefaultRoutingX : kDefaultRouting);
  g8100FilterType.Write(*this, 0);
  g8100Locked.Write(*this, false);
  for (const LongIntUCodeObject* meter :
       {&g8100LevelMeter1, &g8100LevelMeter2, &g8100LevelMeter3, &g8100LevelMeter4}) {
    meter->Write(*this, 0);
  }
  g8100LeftDelay.Write(*this, 0);
  g8100RightDelay.Write(*this, 0);
  g8100LeftPolarity.Write(*this, false);
  g8100RightPolarity.Write(*this, false);
  g8100LeftThreshold.Write(*this, kThreshold16dBu);
  g8100RightThreshold.Write(*this, kThreshold16dBu);
  g8100LeftRelease.Write(*this, kSlowRelease);
  g8100RightRelease.Write(*this, kSlowRelease);
  g8100LeftGainReduction.Write(*this, 1.0F);
  g8100RightGainReduction.Write(*this, 1.0F);
  g8100LimiterMode.Write(*this, 0);
  g8100LeftNoiseLevel.Write(*this, kNoiseLevelDb);
  g8100RightNoiseLevel.Write(*this, kNoiseLevelDb);
  g8100LeftNoiseType.Write(*this, 0);
  g8100RightNoiseType.Write(*this, 0);
  g8100LeftNoiseOn.Write(*this, true);
  g8100RightNoiseOn.Write(*this, true);
}

}  // namespace namespace8100
