#include "family3300/Labels3300.h"

#include <algorithm>
#include <array>

namespace namespace3300 {

namespace {

constexpr std::array<const char*, 28> kBandLabels = {
    "31.5 ", "40   ", "50   ", "63   ", "80   ", "100  ", "125  ", "160  ", "200  ", "250  ",
    "315  ", "400  ", "500  ", "630  ", "800  ", "1000 ", "1250 ", "1600 ", "2000 ", "2500 ",
    "3150 ", "4k   ", "5k   ", "6.3k ", "8k   ", "10k  ", "12.5k", "16k  "};
constexpr std::array<const char*, 8> kHpfLabels = {"10", "32",  "51",  "62",
                                                   "75", "100", "130", "160"};
constexpr std::array<const char*, 8> kLpfLabels = {"32k", "23k", "15k", "13k",
                                                   "11k", "9k",  "7k",  "6k"};
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

template <std::size_t N>
const char* Label(const std::array<const char*, N>& labels, int index) {
  if (index < 0 || index >= static_cast<int>(N)) return "?";
  return labels[static_cast<std::size_t>(index)];
}

constexpr std::size_t kVersionChars = 5;

}  // namespace

const char* BandLabel3300(int band) { return Label(kBandLabels, band - 1); }
const char* HpfLabel3300(int index) { return Label(kHpfLabels, index); }
const char* LpfLabel3300(int index) { return Label(kLpfLabels, index); }

std::string ErrorText3300(int code) {
  if (code < 0 || code >= static_cast<int>(kErrorTexts.size())) {
    return "Unknown error code " + std::to_string(code);
  }
  return kErrorTexts[static_cast<std::size_t>(code)];
}

std::string FirmwareVersionText3300(const IQDeviceInfo& info) {
  const std::string identity = info.ModelText();
  std::string version = identity.size() > 1 ? identity.substr(1, kVersionChars) : std::string();
  // The first units reported 4.00 as 01.00.
  if (version == "01.00") version = "4.00";
  return version.substr(std::min(version.find_first_not_of('0'), version.size()));
}

}  // namespace namespace3300
