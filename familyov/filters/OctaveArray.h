#pragma once

namespace ui {
class Window;
}
class TDataWindow;

namespace namespaceOV {

class IQDeviceOrdavinex;

// The filter editor's "Graphic EQ filters..." command: asks for the range, spacing and Q, then
// fills `channel` with boost/cut filters at the ISO centres in the range. `owner` is the editor's
// layout window (the dialog's parent and the capacity refusal's owner); `sender` tells the unit's
// windows of each new filter.
void RunOctaveArrayCommand(ui::Window& owner, const TDataWindow& sender, IQDeviceOrdavinex& device,
                           int channel);

}  // namespace namespaceOV
