#pragma once

#include <string>

#include "sim/Unit.h"

namespace sim::familyov {

// k8166 and k8137 are the 8148's six-input, six-output and three-input, seven-output
// configurations.
enum class Model { k8122, k8124, k8126, k8148, k8166, k8137 };

inline constexpr int kTwoInputFamilyCode = 880;
inline constexpr int k8148FamilyCode = 1136;

// What tells the models apart on the wire and in the unit's own stores.
struct ModelTraits {
  int familyCode = 0;
  int inputs = 0;
  int outputs = 0;
  // The channel index of the first output. The three-input configuration keeps the 8148's
  // numbering, so no channel has index 3.
  int firstOutput = 0;
  // Where the output digit stands in the model id; the firmware version follows it.
  int digitPosition = 0;
  int filterSlots = 0;
  // Words in one memory image.
  int imageWords = 0;
};

ModelTraits TraitsOf(Model model);
// The 8148 and its other configurations, as opposed to the 2-input models.
bool Of8148Family(Model model);

// The version in tenths: "1.5" is 15. Throws std::invalid_argument unless the text is a digit,
// a point and a digit.
int FirmwareTenths(const std::string& firmware);

// Memories the unit stores: 8 on the 8148; 12 on the 2-input models before firmware 1.5, else 15.
int MemoryCount(Model model, const std::string& firmware);

// The roll-call identity: the output digit (on the 8148 after its input digit), then the three
// firmware characters ("1.5"), the rest of the eight bytes zero. Throws std::invalid_argument for
// a firmware text that does not read like 1.5.
UnitIdentity IdentityOf(Model model, int address, int network, const std::string& firmware);

}  // namespace sim::familyov
