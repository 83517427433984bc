#include "family3300/ReportText3300.h"

#include <cstdio>

#include "family3300/Labels3300.h"
#include "family3300/MemoryReads3300.h"
#include "family3300/Parameters3300.h"

namespace namespace3300 {

namespace {

constexpr int kBandRows = 7;
constexpr double kHalfDb = 0.5;
const char* const kChannelNames[kChannelCount] = {"A", "B"};

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char text[128];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

double BandDb(int value) { return (value - kFlatBandLevel) * kHalfDb; }

void WriteChannel(IQDevice3300& device, int channel, bool current, std::string& out) {
  const ChannelObjects& objects = Channel3300(channel);
  const char* name = kChannelNames[channel];
  out += Format("\nChannel %s equalizer filters:\n", name);
  for (int row = 0; row < kBandRows; ++row) {
    for (int band = row; band < kBandCount; band += kBandRows) {
      out += Format("%s -- %5.1f  ", BandLabel3300(band + 1),
                    BandDb(objects.bands[band].Read(device)));
    }
    out += "\n";
  }
  out += Format("\n%s HPF:  %s\n", name, HpfLabel3300(objects.hpf.Read(device)));
  out += Format("%s LPF:  %s\n", name, LpfLabel3300(objects.lpf.Read(device)));
  out += Format("%s gain: %.1f\n", name, objects.gain.Read(device) * kHalfDb);
  if (!current) return;
  if (objects.mute.Read(device)) out += Format("Channel %s muted\n", name);
  if (!objects.eqIn.Read(device)) out += Format("Channel %s equalizer bypassed\n", name);
}

void WriteBlock(IQDevice3300& device, bool current, std::string& out) {
  for (int channel = 0; channel < device.ChannelCount(); ++channel) {
    WriteChannel(device, channel, current, out);
  }
  out += "\n";
}

void WriteBody(IQDevice3300& device, uint32_t memoryMask, MemoryRecalls& recalls,
               std::string& out) {
  out += device.IsTwoChannel() ? "3300-2 Device settings\n" : "3300 Device settings\n";
  if (device.IsOnline()) {
    out += Format("(Address %d)\n\n", device.GetInfo().address);
  } else {
    out += "(virtual device '" + device.GetName() + "')\n\n";
  }
  out += "Unit name: " + g3300UnitName.Read(device) + "\n";
  out += "\n*** Current settings: ***\n";
  WriteBlock(device, true, out);
  for (int number = 1; number <= kMemoryCount; ++number) {
    if ((memoryMask & (1u << (number - 1))) == 0) continue;
    recalls.Recall(number);
    out += Format("\n*** Settings for memory %d ***\n", number);
    out += "'" + MemoryName3300(number).Read(device) + "'\n";
    WriteBlock(device, false, out);
  }
  out += "\n* Telvo Windows 2.3\n* Copyright Telvo. All rights reserved.\n\n--End of listing--\n";
}

}  // namespace

void WriteReport3300(IQDevice3300& device, uint32_t memoryMask, std::string& out,
                     familycommon::ProgressReport* progress) {
  ReadMemoriesWithPutBack(device, progress, [&](MemoryRecalls& recalls) {
    WriteBody(device, memoryMask, recalls, out);
    recalls.PutBack();
  });
}

}  // namespace namespace3300
