#include "logbook/call_syntax.h"

namespace korval {

bool IsValidCall(const std::string& call)
{
    if (call.size() < 3 || call.front() == '/' || call.back() == '/')
        return false;
    bool letter = false;
    char prev = 0;
    for (char c : call) {
        if (c >= 'A' && c <= 'Z')
            letter = true;
        else if (c == '?')
            letter = true;
        else if (c == '/') {
            if (prev == '/')
                return false;
        } else if (c < '0' || c > '9')
            return false;
        prev = c;
    }
    return letter;
}

} // namespace korval
