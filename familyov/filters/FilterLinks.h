#pragma once

class TDataWindow;

namespace namespaceOV {

class IQDeviceOrdavinex;
class TFilter;

// Breaks up the link chain `filter` is in, for good: every member after the head gets link number
// 0 on the unit and in memory (a later full write must not link it again), and each filter of the
// chain is announced as changed through `sender`'s root. A bus failure propagates; the members
// before it are unlinked already.
void UnlinkChain(IQDeviceOrdavinex& device, TFilter& filter, const TDataWindow& sender);

}  // namespace namespaceOV
