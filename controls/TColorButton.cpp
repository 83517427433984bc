#include "controls/TColorButton.h"

#include "controls/ControlDrawing.h"

void TColorButton::DrawEntire(ui::Dc& dc, const ui::DrawItemState&) {
  const ui::Size client{ClientRect().Width(), ClientRect().Height()};
  controls::FillClient(dc, client, noColor_ ? controls::Face() : color_, controls::Shadow());
  controls::DrawButtonBevel(dc, client, controls::BevelLook::Sunken);
}
