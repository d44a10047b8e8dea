#include "logbook/qso_macro_context.h"

#include "logbook/base/string_utils.h"

namespace korval {

std::string TQsoMacroContext::ExchangeText() const
{
    if (!entry_)
        return {};
    const TQsoFields& f = entry_->Fields;
    if (!f.Text[fRecvd].empty())
        return f.Text[fRecvd];
    std::string r = f.Text[fRstr];
    if (!r.empty() && r[0] == ' ')
        r.erase(0, 1);
    return r;
}

std::string TQsoMacroContext::Name() const
{
    if (!entry_)
        return {};
    std::string s = TrimSpaces(entry_->Fields.Text[fCallNotes]);
    std::size_t cut = s.find_first_of(" ,");
    if (cut != std::string::npos)
        s.resize(cut);
    for (char c : s)
        if (c != '-' && (c < 'A' || c > 'z'))
            return {};
    return s;
}

} // namespace korval
