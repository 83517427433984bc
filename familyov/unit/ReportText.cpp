#include "familyov/unit/ReportText.h"

#include <bit>
#include <cstdarg>
#include <cstdio>
#include <tuple>
#include <utility>

#include "familyov/unit/OrdavinexErrors.h"

namespace namespaceOV {

namespace {

// The blocks of the settings image that a report reads.
enum Block {
  kChannelLevels = 0,
  kCrosspointLevels = 1,
  kOutputMutes = 2,
  kMasterMute = 3,
  kChannelDelays = 4,
  kChannelGroups = 6,
  kLimiterThresholds = 7,
  kLimiterKnees = 8,
  kLimiterSpeeds = 9,
  kLimiterGroups = 10,
  kLimiterEnables = 11,
  kPolarities = 12,
  kPinkNoiseOn = 13,
  kPinkNoiseLevel = 14,
  kMasterLevel = 15,
  kCompPostGains = 18,
  kCompThresholds = 19,
  kCompRatios = 20,
  kCompSpeeds = 21,
  kCompGangs = 22,
  kCompSoftKnees = 23,
  kBlockCount = 24
};

// Two channels in a group of this number are the ganged pair of a two-channel side.
constexpr int kGangedPairGroup = 7;
constexpr float kInvertedPolarity = -1.0f;

[[gnu::format(printf, 2, 3)]] void Append(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list sizing;
  va_copy(sizing, args);
  const int length = std::vsnprintf(nullptr, 0, format, sizing);
  va_end(sizing);
  if (length > 0) {
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(length) + 1);
    std::vsnprintf(out.data() + start, static_cast<std::size_t>(length) + 1, format, args);
    out.resize(start + static_cast<std::size_t>(length));
  }
  va_end(args);
}

template <std::size_t N>
std::string NameAt(const char* const (&names)[N], int index) {
  return index >= 0 && index < static_cast<int>(N) ? names[index] : kUnknownName;
}

std::string KnownOrUnknown(std::string text) { return text.empty() ? kUnknownName : text; }

double Db(float gain, float offsetDb = 0.0f) {
  return double{dBLevelObject::GainToDb(gain, offsetDb)};
}

// Reads the image by block and index, refusing any word the image does not hold.
class ImageReader {
 public:
  ImageReader(std::span<const int> offsets, std::span<const uint32_t> image)
      : offsets_(offsets), image_(image) {
    if (offsets_.size() < kBlockCount) throw OrdavinexRangeError("Settings image layout unknown.");
  }
  int32_t Int(int block, int index) const { return static_cast<int32_t>(Word(block, index)); }
  float Float(int block, int index) const { return std::bit_cast<float>(Word(block, index)); }
  bool Flag(int block, int index) const { return Word(block, index) != 0; }
  uint32_t Word(int block, int index) const {
    const std::size_t at = static_cast<std::size_t>(offsets_[block]) + index;
    if (index < 0 || at >= image_.size()) {
      throw OrdavinexRangeError("Settings image too short for the unit's layout.");
    }
    return image_[at];
  }

 private:
  std::span<const int> offsets_;
  std::span<const uint32_t> image_;
};

class BodyWriter {
 public:
  BodyWriter(const ReportLayout& layout, std::span<const uint32_t> image,
             const ImageFilters& filters)
      : layout_(layout), image_(layout.offsets, image), filters_(filters) {}

  std::string Write() {
    PinkNoise();
    Inputs();
    if (layout_.compressors) Compressors();
    Mixing();
    Master();
    Outputs();
    Limiting();
    Filters();
    Crossovers();
    return std::move(out_);
  }

 private:
  const std::string& Name(int channel) const { return layout_.names[channel]; }
  int Output(int o) const { return layout_.firstOutput + o; }

  std::string Delay(int32_t samples) const {
    std::string text = kUnknownName;
    DelayUnitsObject::DelayToText(samples, text, layout_.delayUnits);
    return text + " " + DelayUnitName(layout_.delayUnits);
  }

  void PinkNoise() {
    if (!image_.Flag(kPinkNoiseOn, 0)) return;
    Append(out_, "**** PINK NOISE ENABLED AS SOURCE AT %.1fdB ****\n\n",
           Db(image_.Float(kPinkNoiseLevel, 0)));
  }

  // The groups of one side: a two-channel side is either ganged or not.
  void Groups(const char* side, const char* gangedText, int count, int firstChannel) {
    if (count == 2) {
      if (image_.Int(kChannelGroups, firstChannel) == kGangedPairGroup) out_ += gangedText;
      return;
    }
    if (count < 2) return;
    Append(out_, "---%s groups---\n", side);
    for (int c = firstChannel; c < firstChannel + count; ++c) {
      const int group = image_.Int(kChannelGroups, c);
      if (group != 0) Append(out_, "'%s' is in group %d\n", Name(c).c_str(), group);
    }
  }

  void Inputs() {
    out_ += "---Input levels---\n";
    for (int i = 0; i < layout_.inputs; ++i) {
      Append(out_, "%s : %.1fdB\n", Name(i).c_str(), Db(image_.Float(kChannelLevels, i)));
    }
    Groups("Input", "Inputs are ganged.\n", layout_.inputs, 0);
    out_ += "\n---Input delay---\n";
    for (int i = 0; i < layout_.inputs; ++i) {
      Append(out_, "%s : %s\n", Name(i).c_str(), Delay(image_.Int(kChannelDelays, i)).c_str());
    }
  }

  void Compressors() {
    out_ += "\n--Compressors--\n";
    for (int i = 0; i < layout_.inputs; ++i) {
      Append(out_, "%s : %s Threshold at %.1fdB, %s, %s timing, %.1fdB post-gain\n",
             Name(i).c_str(), CompRatioCodeToText(image_.Int(kCompRatios, i)).c_str(),
             Db(image_.Float(kCompThresholds, i)),
             CompressorKneeName(image_.Int(kCompSoftKnees, i)).c_str(),
             KnownOrUnknown(CompSpeedToText(image_.Int(kCompSpeeds, i))).c_str(),
             Db(image_.Float(kCompPostGains, i)));
      // The last input has no next input to be ganged to.
      if (image_.Flag(kCompGangs, i) && i + 1 < layout_.inputs) {
        Append(out_, " (%s is ganged to %s)\n", Name(i).c_str(), Name(i + 1).c_str());
      }
    }
  }

  int Crosspoint(int i, int o) const { return o * layout_.matrixInputs + i; }

  void Mixing() {
    out_ += "\n---Input/Output mixing---\n";
    if (layout_.crosspointDelays) {
      // The crosspoint delays follow the channel delays in the delay block.
      const int delayBase = layout_.matrixInputs + layout_.matrixOutputs;
      for (int i = 0; i < layout_.inputs; ++i) {
        for (int o = 0; o < layout_.outputs; ++o) {
          const double level = Db(image_.Float(kCrosspointLevels, Crosspoint(i, o)));
          if (!(level > double{dBLevelObject::kFloorDb})) continue;
          Append(out_, "%s -> %s\n", Name(i).c_str(), Name(Output(o)).c_str());
          Append(out_, "%.1f dB, %s\n", level,
                 Delay(image_.Int(kChannelDelays, delayBase + Crosspoint(i, o))).c_str());
        }
      }
      return;
    }
    out_ += "   ";
    for (int o = 0; o < layout_.outputs; ++o)
      Append(out_, " %s ", layout_.labels[Output(o)].c_str());
    out_ += "\n";
    for (int i = 0; i < layout_.inputs; ++i) {
      Append(out_, " %s ", layout_.labels[i].c_str());
      for (int o = 0; o < layout_.outputs; ++o) {
        out_ += image_.Word(kCrosspointLevels, Crosspoint(i, o)) == 0 ? "   " : " X ";
      }
      out_ += "\n";
    }
  }

  void Master() {
    Append(out_, "\nMaster level: %.1fdB\n", Db(image_.Float(kMasterLevel, 0)));
    if (image_.Flag(kMasterMute, 0)) out_ += "\n *** MUTED *** \n";
  }

  void Outputs() {
    out_ += "\n---Output levels---\n";
    for (int o = 0; o < layout_.outputs; ++o) {
      Append(out_, "%s : %.1fdB", Name(Output(o)).c_str(),
             Db(image_.Float(kChannelLevels, Output(o))));
      if (image_.Flag(kOutputMutes, o)) out_ += " (MUTED)";
      if (image_.Float(kPolarities, o) == kInvertedPolarity) out_ += " (INVERTED)";
      out_ += "\n";
    }
    Groups("Output", "Outputs are ganged.\n", layout_.outputs, layout_.firstOutput);
    out_ += "\n---Output delay---\n";
    for (int o = 0; o < layout_.outputs; ++o) {
      Append(out_, "%s : %s\n", Name(Output(o)).c_str(),
             Delay(image_.Int(kChannelDelays, Output(o))).c_str());
    }
  }

  void Limiting() {
    out_ += "\n---Limiting---\n";
    for (int o = 0; o < layout_.outputs; ++o) {
      const char* name = Name(Output(o)).c_str();
      if (!image_.Flag(kLimiterEnables, o)) {
        Append(out_, "Limiting disabled for '%s'\n", name);
        continue;
      }
      // The threshold is shown as the limiter's own windows show it, with the codec's offset.
      Append(out_, "Limiting enabled for '%s'; %s, %s at %.1fdB\n", name,
             LimiterKneeName(image_.Int(kLimiterKnees, o)).c_str(),
             LimiterSpeedName(image_.Int(kLimiterSpeeds, o)).c_str(),
             Db(image_.Float(kLimiterThresholds, o), limiterLevelObject::kOffsetDb));
    }
    out_ += "---Limiting groups---\n";
    for (int o = 0; o < layout_.outputs; ++o) {
      const int group = image_.Int(kLimiterGroups, o);
      if (group != 0) Append(out_, "'%s' is in group %d\n", Name(Output(o)).c_str(), group);
    }
  }

  void ChannelFilters(int channel) {
    Append(out_, "*** Channel '%s'\n", Name(channel).c_str());
    for (const auto& filter : filters_.filters) {
      if (filter->channel == channel) out_ += filter->FormatPrintLine(layout_.useQ);
    }
  }

  void Filters() {
    out_ += "\n---EQ Filters---\n";
    for (int i = 0; i < layout_.inputs; ++i) ChannelFilters(i);
    for (int o = 0; o < layout_.outputs; ++o) ChannelFilters(Output(o));
  }

  void Crossovers() {
    out_ += "\n---Crossovers---\n";
    for (int o = 0; o < layout_.outputs; ++o) {
      Append(out_, "*** Channel '%s'\n", Name(Output(o)).c_str());
      const TLowCrossover* low = filters_.lowCrossover[o].get();
      const THighCrossover* high = filters_.highCrossover[o].get();
      if (low) out_ += low->FormatPrintLine(false);
      if (high) out_ += high->FormatPrintLine(false);
      if (!low && !high) out_ += "No crossovers installed\n";
    }
  }

  const ReportLayout& layout_;
  ImageReader image_;
  const ImageFilters& filters_;
  std::string out_;
};

}  // namespace

std::string DelayUnitName(int units) {
  static constexpr const char* kNames[] = {"msec", "feet", "meters"};
  return NameAt(kNames, units);
}

std::string LimiterKneeName(int knee) {
  static constexpr const char* kNames[] = {"soft knee", "hard knee"};
  return NameAt(kNames, knee);
}

std::string CompressorKneeName(int softKnee) {
  static constexpr const char* kNames[] = {"hard knee", "soft knee"};
  return NameAt(kNames, softKnee);
}

std::string LimiterSpeedName(int speed) {
  static constexpr const char* kNames[] = {"slow release", "medium release", "fast release"};
  return NameAt(kNames, speed);
}

std::string DayName(int day) {
  static constexpr const char* kNames[] = {"Noday",     "Sunday",   "Monday", "Tuesday",
                                           "Wednesday", "Thursday", "Friday", "Saturday"};
  return NameAt(kNames, day);
}

std::string ClockEventTime(const TTimerStruct& event) {
  constexpr int kHoursPerHalfDay = 12;
  constexpr int kHoursPerDay = 24;
  std::string text;
  const std::string day = DayName(event.day);
  if (event.hour < 0 || event.hour >= kHoursPerDay) {
    Append(text, "%-10s %s", day.c_str(), kUnknownName);
    return text;
  }
  const char* suffix = event.hour < kHoursPerHalfDay ? "AM" : "PM";
  const int hour = event.hour % kHoursPerHalfDay;
  if (hour == 0) {
    Append(text, "%-10s 12:%02d:%02d %s", day.c_str(), event.minute, event.second, suffix);
  } else {
    Append(text, "%-10s %2d:%02d:%02d %s", day.c_str(), hour, event.minute, event.second, suffix);
  }
  return text;
}

std::vector<TTimerStruct> ReportedClockEvents(std::vector<TTimerStruct> events) {
  const auto key = [](const TTimerStruct& e) { return std::tie(e.day, e.hour, e.minute); };
  // The exchange sort is kept, not a library sort: which of two events in the same minute comes
  // first depends on it, and reports are compared with the ones users have.
  for (std::size_t p = 0; p < events.size(); ++p) {
    for (std::size_t q = p + 1; q < events.size(); ++q) {
      if (key(events[q]) < key(events[p])) std::swap(events[p], events[q]);
    }
  }
  std::erase_if(events, [](const TTimerStruct& e) { return e.day == 0; });
  return events;
}

std::string ClockEventsSection(const std::vector<TTimerStruct>& events) {
  std::string text = "\n---Clock Events---\n";
  for (const TTimerStruct& event : ReportedClockEvents(events)) {
    Append(text, "%s : activate logic %d\n", ClockEventTime(event).c_str(), event.logic);
  }
  return text;
}

std::string ReportBody(const ReportLayout& layout, std::span<const uint32_t> image,
                       const ImageFilters& filters) {
  return BodyWriter(layout, image, filters).Write();
}

}  // namespace namespaceOV
