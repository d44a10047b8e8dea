#include "grids/windows/grid_keys.h"

#include "entry/windows/ovc_base.h"
#include "entry/windows/ovc_key_map.h"

namespace korval {

TOvcController* TGridKeyTranslator::Controller() const
{
    if (controller_)
        return controller_;
    return FindController(GetImmediateParentForm(control_));
}

TOvcCommandProcessor& TGridKeyTranslator::Processor()
{
    if (TOvcController* c = Controller())
        return c->EntryCommands();
    if (!own_)
        own_ = std::make_unique<TOvcCommandProcessor>();
    return *own_;
}

uint16_t TGridKeyTranslator::Translate(const QKeyEvent* e)
{
    const TOvcKey k = OvcKeyFromEvent(e);
    if (k.Key == 0)
        return ccNotCommand;
    return Processor().Translate(k.Key, k.Shift);
}

void TGridKeyTranslator::Reset()
{
    Processor().ResetCommandProcessor();
}

bool TGridKeyTranslator::ErrorPending() const
{
    TOvcController* c = Controller();
    return c && c->ErrorPending;
}

} // namespace korval
