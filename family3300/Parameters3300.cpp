#include "family3300/Parameters3300.h"

#include <utility>

namespace namespace3300 {

namespace {

constexpr int kFirstMemoryNameId = 19;
constexpr int kFirstBandAId = 29;
constexpr int kFirstBandBId = 57;

template <typename Object, std::size_t... I, typename... Extra>
std::array<Object, sizeof...(I)> MakeRun(int firstId, std::index_sequence<I...>, Extra... extra) {
  return {Object(firstId + static_cast<int>(I), 1, true, extra...)...};
}

}  // namespace

BoolUCodeObject g3300DspiSwitch(1, 1, true);
ByteUCodeObject g3300HpfA(2, 1, true);
ByteUCodeObject g3300HpfB(3, 1, true);
ByteUCodeObject g3300LpfA(4, 1, true);
ByteUCodeObject g3300LpfB(5, 1, true);
ByteUCodeObject g3300GainA(6, 1, true);
ByteUCodeObject g3300GainB(7, 1, true);
BoolUCodeObject g3300EqInA(8, 1, true);
BoolUCodeObject g3300EqInB(9, 1, true);
BoolUCodeObject g3300MuteA(10, 1, true);
BoolUCodeObject g3300MuteB(11, 1, true);
StringUCodeObject g3300PasswordEntry(12, 1, true, false);
BoolUCodeObject g3300Lock(13, 1, true);
StringUCodeObject g3300NewPassword(14, 1, true, false);
StringUCodeObject g3300Status(15, 1, true, true);
StringUCodeObject g3300UnitName(16, 1, true, false);
ByteUCodeObject g3300MemoryNumber(17, 1, true);
MemoryAccessObject g3300MemoryAccess(18, 1, true);
std::array<StringUCodeObject, kMemoryCount> g3300MemoryName = MakeRun<StringUCodeObject>(
    kFirstMemoryNameId, std::make_index_sequence<kMemoryCount>{}, true, kNameChars + 1);
std::array<ByteUCodeObject, kBandCount> g3300BandA =
    MakeRun<ByteUCodeObject>(kFirstBandAId, std::make_index_sequence<kBandCount>{});
std::array<ByteUCodeObject, kBandCount> g3300BandB =
    MakeRun<ByteUCodeObject>(kFirstBandBId, std::make_index_sequence<kBandCount>{});

const ChannelObjects& Channel3300(int channel) {
  static const ChannelObjects kChannels[kChannelCount] = {
      {g3300BandA, g3300HpfA, g3300LpfA, g3300GainA, g3300MuteA, g3300EqInA},
      {g3300BandB, g3300HpfB, g3300LpfB, g3300GainB, g3300MuteB, g3300EqInB}};
  return kChannels[channel == 0 ? 0 : 1];
}

const StringUCodeObject& MemoryName3300(int number) {
  return g3300MemoryName.at(static_cast<std::size_t>(number - 1));
}

}  // namespace namespace3300
