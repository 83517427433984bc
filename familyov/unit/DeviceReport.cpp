#include "familyov/unit/DeviceReport.h"

#include "controls/ClientWindow.h"
#include "controls/DeviceErrorReport.h"
#include "familyov/filters/FilterElements.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/ReportText.h"
#include "familyov/unit/SettingsFileCommands.h"
#include "familyov/unit/SettingsImage.h"
#include "familyov/unit/UnitCommands.h"
#include "platform/registry/SafeFileWriter.h"
#include "platform/ui/Application.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/MessageBox.h"

namespace namespaceOV {

namespace {

constexpr const char* kTerminatedLine = "\n\n *** REPORT TERMINATED BY ERROR ***\n";
constexpr const char* kNoMemory = "<None>";

std::string ChannelName(IQDeviceOrdavinex& device, int channel) {
  gChannelNameObject.SetElement(channel);
  return gChannelNameObject.Read(device);
}

std::string MemoryName(IQDeviceOrdavinex& device, int memory) {
  gMemoryNameObject.SetElement(memory - 1);
  return gMemoryNameObject.Read(device);
}

void WriteHeader(IQDeviceOrdavinex& device, std::string& out) {
  out += Printf("%s device report\n", device.GetTypeName().c_str());
  if (device.IsOnline()) {
    out += Printf("(Address %d)\n", device.GetInfo().address);
  } else {
    out += Printf("(virtual device '%s')\n", device.GetName().c_str());
  }
  const std::string name = gUnitNameObject.Read(device);
  if (!name.empty()) out += Printf("Name: %s\n", name.c_str());
  if (!device.IsOnline()) return;
  out += "\n--Unit information--\n";
  out += Printf("S/N: %s\n", gSerialNumberObject.Read(device).c_str());
  out += Printf("Firmware: %s\n", FirmwareVersionText(device).c_str());
}

void WriteChannelNames(IQDeviceOrdavinex& device, std::string& out) {
  out += "\n---Channel Names---\n";
  for (const int c : device.ChannelIndexes()) {
    out += Printf("%s = '%s'\n", device.GetChannelLabel(c).c_str(), ChannelName(device, c).c_str());
  }
}

// The memory a logic input recalls; the unit names memories 1 to its count.
std::string LogicMemoryName(IQDeviceOrdavinex& device, int memory) {
  if (memory == 0) return kNoMemory;
  if (memory > device.GetMemoryCount()) return kUnknownName;
  return MemoryName(device, memory);
}

void WriteLogicMap(IQDeviceOrdavinex& device, std::string& out) {
  out += "\n---Logic In/Out Map---\n";
  out += "Logic In   Memory      Logic Out\n";
  for (int n = 1; n < kLogicInputCount; ++n) {
    gLogicMemoryObject.SetElement(n);
    const std::string name = LogicMemoryName(device, gLogicMemoryObject.Read(device));
    gLogicOutObject.SetElement(n);
    out += Printf("   %-2d    %-14s   %d\n", n, name.c_str(), int{gLogicOutObject.Read(device)});
  }
}

ReportLayout LayoutOf(IQDeviceOrdavinex& device, const ImageLayout& image) {
  ReportLayout layout{.inputs = device.inputs,
                      .outputs = device.outputs,
                      .firstOutput = device.firstOutput,
                      .matrixInputs = device.matrixInputs,
                      .matrixOutputs = device.matrixOutputs,
                      .offsets = device.GetImageOffsetTable(),
                      .crosspointDelays = image.crosspointDelays,
                      .compressors = image.compressors,
                      .delayUnits = gDelayUnitsObject.Read(device),
                      .useQ = device.useQ != 0};
  for (const int c : device.ChannelIndexes()) {
    layout.names[c] = ChannelName(device, c);
    layout.labels[c] = device.GetChannelLabel(c);
  }
  return layout;
}

// Every filter and crossover the image's records hold, a CD horn among them; a crossover is
// kept only for an output the unit has.
ImageFilters FiltersOf(const IQDeviceOrdavinex& device, const ImageLayout& layout,
                       const SettingsImage& image) {
  ImageFilters filters;
  for (int r = 0; r < layout.filterRecords; ++r) {
    std::unique_ptr<TFilter> filter =
        UnpackFilterRecord(image.Words().subspan(layout.FilterRecord(r), kFilterRecordWords), r);
    if (!filter) continue;
    const int output = filter->channel - device.firstOutput;
    const bool onOutput = output >= 0 && output < device.outputs;
    if (dynamic_cast<TLowCrossover*>(filter.get())) {
      if (onOutput)
        filters.lowCrossover[output].reset(static_cast<TLowCrossover*>(filter.release()));
    } else if (dynamic_cast<THighCrossover*>(filter.get())) {
      if (onOutput) {
        filters.highCrossover[output].reset(static_cast<THighCrossover*>(filter.release()));
      }
    } else {
      filters.filters.push_back(std::move(filter));
    }
  }
  return filters;
}

void WriteMemories(IQDeviceOrdavinex& device, int length, std::string& out,
                   ProgressReport* progress) {
  const ImageLayout layout(device);
  const ReportLayout reportLayout = LayoutOf(device, layout);
  SettingsImage image(length);
  UnchangedMarks marks(device);
  MemoryWalk walk(device);
  ProgressScope scope(progress, device.GetMemoryCount(), "Reading device parameters...");
  for (int m = 0; m <= device.GetMemoryCount(); ++m) {
    scope.Step(m);
    out += m == 0 ? std::string("\n\n*** Current Settings ***\n\n")
                  : Printf("\n\n*** Memory #%d, '%s' ***\n\n", m, MemoryName(device, m).c_str());
    ReadMemoryImage(device, m, image);
    out += ReportBody(reportLayout, image.Words(), FiltersOf(device, layout, image));
  }
}

void Tell(const std::string& text, const std::string& caption) {
  ui::MessageBox(controls::ClientWindow(), text, caption, ui::mb::kOk | ui::mb::kIconStop);
}

}  // namespace

void WriteDeviceReport(IQDeviceOrdavinex& device, std::string& out, ProgressReport* progress) {
  const int length = ReadImageLength(device);
  WriteHeader(device, out);
  WriteChannelNames(device, out);
  WriteLogicMap(device, out);
  if (device.UpdateClockPresence()) {
    device.ReadTimerEvents();
    out += ClockEventsSection(device.TimerEvents());
  }
  WriteMemories(device, length, out, progress);
}

bool PrintDeviceReport(IQDeviceOrdavinex& device) {
  // One failure, one report: the lock read, the clock events and the report's own reads may all
  // fail on the same silent unit.
  controls::OneReportScope command;
  if (StopsAtLock(device, "Print to file")) return false;
  ui::Window* owner = controls::ClientWindow();
  const std::optional<std::string> path = ui::AskSaveFile(
      owner, {.filters = {{"text file (*.txt)", "*.txt"}}, .defaultExtension = "txt"});
  if (!path) return false;

  registry::SafeFileWriter file;
  if (!file.Begin(*path)) {
    Tell("Could not open file for print.", "Print error");
    return false;
  }
  std::string report;
  try {
    ProgressWindow progress;
    ui::WaitCursor wait;
    WriteDeviceReport(device, report, &progress);
  } catch (const IQException& error) {
    // What was read stays readable, marked as cut short. The failure is told here rather than by
    // the caller, so that it joins a failed lock or clock read's report.
    report += kTerminatedLine;
    if (file.Write(report)) file.Commit();
    ReportCommError(error, device);
    return false;
  }
  if (!file.Write(report) || !file.Commit()) {
    Tell("Could not write file for print.", "Print error");
    return false;
  }
  return true;
}

bool IQDeviceOrdavinex::PrintReport() { return PrintDeviceReport(*this); }

}  // namespace namespaceOV
