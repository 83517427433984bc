#pragma once

namespace shell {

// The desktop's warning sound.
void Beep();

}  // namespace shell
