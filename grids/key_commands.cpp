#include "grids/key_commands.h"

#include "grids/entry_pending.h"

namespace korval {

using namespace entry_pending;

int GridKeyCommand(const QKeyEvent* e)
{
    const auto mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool shift = mods == Qt::ShiftModifier;
    if (mods != Qt::NoModifier && !shift)
        return ccNone;
    switch (e->key()) {
    case Qt::Key_Up:
        return shift ? ccExtendUp : ccUp;
    case Qt::Key_Down:
        return shift ? ccExtendDown : ccDown;
    case Qt::Key_PageUp:
        return shift ? ccExtendPgUp : ccPrevPage;
    case Qt::Key_PageDown:
        return shift ? ccExtendPgDn : ccNextPage;
    case Qt::Key_Home:
        return shift ? ccExtendHome : ccHome;
    case Qt::Key_End:
        return shift ? ccExtendEnd : ccEnd;
    case Qt::Key_Left:
        return shift ? ccNone : ccLeft;
    case Qt::Key_Right:
        return shift ? ccNone : ccRight;
    default:
        return ccNone;
    }
}

} // namespace korval
