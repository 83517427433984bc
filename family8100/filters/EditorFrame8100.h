#pragma once

#include <string>

#include "family8100/unit/EditorMakers8100.h"
#include "platform/ui/Frame.h"

namespace namespace8100 {

// The top-level frame of an editor the signal-flow page opens. It tells the page when the user
// closes it, and keeps in the unit where it stood when its window goes, so that the page opens it
// there again: its rectangle only while it is neither maximised nor minimised, and whether it was
// maximised.
class EditorFrame8100 : public ui::Frame {
 public:
  // The client is set by the editor, which owns it.
  explicit EditorFrame8100(const EditorRequest& request);
  ~EditorFrame8100() override;

  void CloseWindow(int result) override;

 protected:
  void CleanupWindow() override;
  ui::Window& Owner() { return owner_; }

  IQDevice8100& unit_;

 private:
  ui::Window& owner_;
  EditorView view_;
};

}  // namespace namespace8100
