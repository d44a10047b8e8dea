#include "logbook/list_clipboard_text.h"

namespace korval {

std::string ListLinesToClipboardText(const std::vector<std::string>& lines, const std::vector<bool>& selected)
{
    bool any = false;
    for (std::size_t i = 0; i < lines.size() && i < selected.size(); ++i)
        any = any || selected[i];
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (any && !(i < selected.size() && selected[i]))
            continue;
        text += lines[i];
        text += "\r\n";
    }
    return text;
}

} // namespace korval
