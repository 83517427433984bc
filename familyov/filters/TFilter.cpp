#include "familyov/filters/TFilter.h"

#include <algorithm>

#include "bus/SettingsTextFile.h"
#include "familyov/filters/FilterClasses.h"
#include "familyov/filters/FilterElements.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/ParameterTable.h"

namespace namespaceOV {

namespace {

constexpr const char* kTypeNames[] = {
    "Undefined", "Reserved",     "Subordinate",   "Parametric",    "Lowpass",
    "Highpass",  "Low shelving", "High shelving", "Low crossover", "High crossover",
    "Boost/cut", "CD Horn",      "Allpass"};
constexpr const char* kCrossoverTypeNames[] = {"None", "Butterworth", "Bessel", "Linkwitz-Riley"};

uint8_t LowByte(int value) { return static_cast<uint8_t>(value & 0xFF); }

}  // namespace

std::string FilterTypeName(int typeCode) {
  return typeCode >= 0 && typeCode < static_cast<int>(std::size(kTypeNames)) ? kTypeNames[typeCode]
                                                                             : "";
}

std::string CrossoverTypeName(int crossoverType) {
  return crossoverType >= 0 && crossoverType < static_cast<int>(std::size(kCrossoverTypeNames))
             ? kCrossoverTypeNames[crossoverType]
             : "";
}

std::unique_ptr<TFilter> MakeFilter(int typeCode) {
  switch (typeCode) {
    case kFilterParametric:
      return std::make_unique<TParametricFilter>();
    case kFilterLowpass:
      return std::make_unique<TLowpassFilter>();
    case kFilterHighpass:
      return std::make_unique<THighpassFilter>();
    case kFilterLowShelf:
      return std::make_unique<TLowshelfFilter>();
    case kFilterHighShelf:
      return std::make_unique<THighshelfFilter>();
    case kFilterLowCrossover:
      return std::make_unique<TLowCrossover>();
    case kFilterHighCrossover:
      return std::make_unique<THighCrossover>();
    case kFilterBoostCut:
      return std::make_unique<TOctaveFilter>();
    case kFilterCDHorn:
      return std::make_unique<TCDHornFilter>();
    case kFilterAllpass:
      return std::make_unique<TAllpassFilter>();
    default:
      return nullptr;
  }
}

TFilter::TFilter() : serialNumber(serialCounter_++) {}

TFilter::~TFilter() = default;

void TFilter::Select(IQDeviceOrdavinex& device) {
  gFilterSelectObject.Write(device, LowByte(number));
}

void TFilter::WriteCommand(IQDeviceOrdavinex& device, int command) {
  gFilterCommandObject.Write(device, static_cast<uint8_t>(command));
}

void TFilter::WriteToDevice(IQDeviceOrdavinex& device) {
  Select(device);
  gFilterTypeObject.Write(device, LowByte(typeCode));
  gFilterChannelObject.Write(device, LowByte(channel));
  gFilterBypassObject.Write(device, bypass);
  WriteIntElement(device, 0, frequency);
  gFilterLinkGroupObject.Write(device, LowByte(linkNumber));
  WriteClassElements(device);
}

void TFilter::UpdateDeviceLive(IQDeviceOrdavinex& device) {
  WriteLiveElements(device);
  WriteIntElement(device, 0, frequency);
  WriteCommand(device, kCommandLive);
  AfterCommand();
}

void TFilter::WriteParams(IQDeviceOrdavinex& device) {
  Select(device);
  WriteIntElement(device, 0, frequency);
  WriteParamElements(device);
  WriteCommand(device, kCommandUpdate);
  AfterCommand();
}

void TFilter::SendUpdateCommand(IQDeviceOrdavinex& device) { WriteCommand(device, kCommandUpdate); }

bool TFilter::ReadFromDevice(IQDeviceOrdavinex& device) {
  Select(device);
  const int slotChannel = gFilterChannelObject.Read(device);
  if (gFilterTypeObject.Read(device) != typeCode) return false;
  channel = slotChannel;
  bypass = gFilterBypassObject.Read(device);
  frequency = ReadIntElement(device, 0);
  linkNumber = gFilterLinkGroupObject.Read(device);
  ReadClassElements(device);
  return true;
}

void TFilter::SendCreateCommand(IQDeviceOrdavinex& device) {
  Select(device);
  WriteCommand(device, kCommandCreate);
}

void TFilter::CopyOnDevice(IQDeviceOrdavinex& device, const TFilter& source) {
  if (source.bypass != bypass) {
    SetBypass(device, source.bypass);
    return;
  }
  gFilterLinkObject.Write(device, uint32_t{LowByte(number)} * 256 + LowByte(source.number));
  // The unit copies the source's record word for word, whatever this filter's type: a chain that
  // links filters of two types (from a file or an older program) must not show other values.
  bypass = source.bypass;
  SetDeviceRecord(source.GetDeviceRecord());
}

void TFilter::SetBypass(IQDeviceOrdavinex& device, bool on) {
  Select(device);
  gFilterBypassSetObject.Write(device, on);
  bypass = on;
}

void TFilter::ToggleBypass(IQDeviceOrdavinex& device) { SetBypass(device, !bypass); }

std::string TFilter::FormatFrequency(bool longForm) const {
  if (!longForm) return Printf("%d", frequency);
  if (frequency < 5000) return Printf("%d Hz", frequency);
  return Printf("%.1f kHz", frequency * 0.001);
}

TFilter* TFilter::CloneToChannel(IQDeviceOrdavinex& device, int newChannel) const {
  std::unique_ptr<TFilter> copy = NewOfSameClass();
  copy->channel = newChannel;
  copy->frequency = frequency;
  // A filter switched out stays out wherever it is copied to.
  copy->bypass = bypass;
  copy->CopyClassParams(*this);
  if (!crossover) return device.CreateFilter(std::move(copy));
  copy->number = device.IsOnline() ? gNewFilterObject.Read(device) : -1;
  copy->WriteToDevice(device);
  copy->SendCreateCommand(device);
  return copy.release();
}

std::optional<std::string> TFilter::RangeFault() const {
  if (frequency >= kMinFilterFrequency && frequency <= kMaxFilterFrequency) return std::nullopt;
  return OutOfRangeText("filter frequency in Hz", frequency, kMinFilterFrequency,
                        kMaxFilterFrequency);
}

void TFilter::WriteToFile(SettingsTextFile& file) const {
  file.WriteInt(typeCode);
  file.WriteInt(channel);
  file.WriteInt(frequency);
  WriteClassFields(file);
}

void TFilter::ReadFromFile(SettingsTextFile& file) {
  const int fileChannel = file.ReadInt();
  if (fileChannel < 0 || fileChannel >= kMaxChannels) {
    throw FileParserError(FileParserError::kFormatError);
  }
  channel = fileChannel;
  frequency = file.ReadInt();
  bypass = false;
  ReadClassFields(file);
}

std::unique_ptr<TFilter> TFilter::Clone() const {
  std::unique_ptr<TFilter> copy = NewOfSameClass();
  copy->CopyFrom(*this);
  copy->CopyClassParams(*this);
  return copy;
}

void TFilter::CopyFrom(const TFilter& other) {
  number = other.number;
  typeCode = other.typeCode;
  channel = other.channel;
  frequency = other.frequency;
  bypass = other.bypass;
  linkNumber = other.linkNumber;
  dialogFrequencyControl = other.dialogFrequencyControl;
  dialogLevelControl = other.dialogLevelControl;
  serialNumber = other.serialNumber;
}

void TFilter::CopyParamsFrom(const TFilter& other) {
  bypass = other.bypass;
  frequency = other.frequency;
}

FilterShape TFilter::BaseShape() const {
  FilterShape shape;
  shape.typeCode = typeCode;
  shape.frequencyHz = frequency;
  return shape;
}

float TFilter::Magnitude(float frequencyHz) const {
  return namespaceOV::Magnitude(Shape(), frequencyHz);
}

std::complex<double> TFilter::Response(float frequencyHz) const {
  return namespaceOV::Response(Shape(), frequencyHz);
}

std::vector<TFilter*> TFilter::ChainMembers() {
  std::vector<TFilter*> members;
  for (TFilter* member = linkHead ? linkHead.get() : this; member; member = member->nextInChain) {
    if (std::ranges::find(members, member) != members.end()) break;
    members.push_back(member);
  }
  return members;
}

void TFilter::UpdateLinkedChannels() {
  linkedChannels.clear();
  if (!linkHead && !nextInChain) return;
  for (const TFilter* member : ChainMembers()) {
    if (member != this) linkedChannels.push_back(member->channel);
  }
  std::ranges::sort(linkedChannels);
}

}  // namespace namespaceOV
