#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/ui/Control.h"
#include "platform/ui/Window.h"
#include "platform/ui/draw/Color.h"
#include "tests/support/OutputPath.h"

namespace controlstest {

using testsupport::OutputPath;

// A shown top-level window holding controls placed by hand at exact pixel rectangles, so the
// controls' geometry is known to the pixel. It records the messages its controls post to it.
class Host : public ui::Window {
 public:
  Host();
  // Binds `control` (a child of this host) to the rectangle, before Create.
  static void Place(ui::Control& control, const ui::Rect& pixels,
                    ui::ControlKind kind = ui::ControlKind::OwnerDrawButton);
  void Open();
  void Record(ui::MessageId id);
  std::vector<ui::Message> received;
};

// Saves the window as PNG in the build folder and checks it was written.
void SavePicture(ui::Window& window, const std::string& fileName);

inline ui::Color Face() { return ui::SystemColorOf(ui::SystemColor::ButtonFace); }
inline ui::Color Shadow() { return ui::SystemColorOf(ui::SystemColor::ButtonShadow); }
inline ui::Color DarkShadow() { return ui::SystemColorOf(ui::SystemColor::ButtonDarkShadow); }
inline ui::Color Highlight() { return ui::SystemColorOf(ui::SystemColor::ButtonHighlight); }

}  // namespace controlstest
