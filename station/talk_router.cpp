#include "station/talk_router.h"

#include "logbook/base/string_utils.h"

namespace korval {

bool MatchTalkPattern(std::string_view patternIn, std::string_view lineIn)
{
    if (patternIn.empty())
        return false;
    std::string pattern = UpperAscii(std::string(patternIn));
    // Runs of "*" stand for one.
    for (std::size_t i = pattern.find("**"); i != std::string::npos; i = pattern.find("**", i))
        pattern.erase(i, 1);
    std::string line = UpperAscii(std::string(lineIn));
    if (pattern.find('*') == std::string::npos)
        return line.compare(0, pattern.size(), pattern) == 0;
    if (pattern == "*")
        return !line.empty();
    // Each "*" is worked through from the left: the text before it must stand at the same place
    // in the line, and the line's characters up to the pattern's next character are dropped.
    for (std::size_t star = pattern.find('*'); star != std::string::npos; star = pattern.find('*', star)) {
        if (line.size() < star || line.compare(0, star, pattern, 0, star) != 0)
            return false;
        pattern.erase(star, 1);
        if (star == pattern.size()) {
            line.erase(star); // the last "*" takes the rest
            break;
        }
        const std::size_t next = line.find(pattern[star], star);
        if (next == std::string::npos)
            return false;
        line.erase(star, next - star);
    }
    // What is left of the pattern after its last "*" must end the line.
    return pattern == line;
}

bool TTalkLines::Route(const std::array<std::string, 4>& patterns, const std::string& ownCall, const std::string& line)
{
    for (std::string pattern : patterns) {
        if (!ownCall.empty())
            for (std::size_t i = pattern.find('~'); i != std::string::npos; i = pattern.find('~', i + ownCall.size()))
                pattern.replace(i, 1, ownCall);
        if (!MatchTalkPattern(pattern, line))
            continue;
        lines_.push_back(line);
        while (lines_.size() > MaxLines)
            lines_.pop_front();
        return true;
    }
    return false;
}

std::string TTalkLines::Text() const
{
    std::string out;
    for (const std::string& l : lines_) {
        if (!out.empty())
            out += '\n';
        out += l;
    }
    return out;
}

} // namespace korval
