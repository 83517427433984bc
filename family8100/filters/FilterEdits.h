#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace namespace8100 {

class IQDevice8100;
class TFilter;

// What a filter dialog does to its filter, apart from its controls: each dialog is a thin layer
// that reads its fields into these calls and shows the filter again.

// The texts of a dialog's edit fields; none for a field the dialog lacks.
struct TypedFields {
  std::optional<std::string> frequency;
  std::optional<std::string> level;
  std::optional<std::string> q;
};

// The lowest level a typed entry and a level step may reach for the filter's type.
float LowestTypedLevel(int32_t type);
float LowestSteppedLevel(int32_t type);

// Takes each typed field that holds a number into the filter, clamped to the type's range; with
// `invertLevel` the typed level is negated first. Returns whether any field held a number: when
// none did, there is nothing to write.
bool ApplyTypedFields(TFilter& filter, const TypedFields& fields, bool invertLevel = false);

// The filter's complete write and its commit, under the family's guard: a failure is reported and
// answered with false, and the filter keeps its values.
bool CommitFilter(IQDevice8100& unit, const TFilter& filter);
// The filter's complete write and its commit; bus failures pass to the caller.
void WriteAndCommit(IQDevice8100& unit, const TFilter& filter);

// After a refused write, which has been reported: the unit may have carried out all, part or none
// of it, so the filter takes what the unit holds, unless the slot now holds another type (then it
// keeps its own values, as a full read skips such a slot). A read that fails as well is not
// reported again. False when the unit answered that the slot holds another type: the unit deleted
// or moved the filter all the same.
bool ReadFilterBackQuietly(IQDevice8100& unit, TFilter& filter);

}  // namespace namespace8100
