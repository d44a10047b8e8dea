#pragma once
// Keys to editing commands for the grid controls, as the "Default" key table gives them.
// Controls with a controller translate through its command processor instead.
#include <QKeyEvent>

namespace korval {

// The command of a key press, 0 when it is none.
int GridKeyCommand(const QKeyEvent* e);

} // namespace korval
