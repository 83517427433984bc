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

std::string FirmwareVersionText3300(const IQDeviceInfo& info) {
  const std::string identity = info.ModelText();
  std::string version = identity.size() > 1 ? identity.substr(1, kVersionChars) : std::string();
  // The first units reported 4.00 as 01.00.
  if (version == "01.00") version = "4.00";
  return version.substr(std::min(version.find_first_not_of('0'), version.size()));
}

}  // namespace namespace3300
