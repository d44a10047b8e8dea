#pragma once
// Cluster lines that are no spots but may matter to the operator (talk to him, messages to all,
// propagation bulletins) are recognised by the operator's warning patterns and the last of them
// kept for the talk window.
#include <array>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace korval {

// A pattern is compared with the line in upper case. Without "*" the line must begin with the
// pattern; "*" stands for any run of characters up to the character that follows it in the
// pattern (a "*" at the end takes the rest of the line). A "*" whose next character does not
// occur in the rest of the line, and an empty pattern, match nothing.
bool MatchTalkPattern(std::string_view pattern, std::string_view line);

class TTalkLines {
public:
    static constexpr std::size_t MaxLines = 20;

    // Tries the patterns in order ("~" in a pattern is the own callsign); a line that matches
    // one is kept, the oldest going when more than MaxLines are kept. True when kept.
    bool Route(const std::array<std::string, 4>& patterns, const std::string& ownCall, const std::string& line);
    const std::deque<std::string>& Lines() const { return lines_; }
    // The kept lines with a line break after each but the last.
    std::string Text() const;

private:
    std::deque<std::string> lines_;
};

} // namespace korval
