#include "station/internet_address.h"

#include <fstream>
#include <iterator>

#include "logbook/base/string_utils.h"

namespace korval {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && UpperAscii(std::string(text.substr(0, prefix.size()))) == prefix;
}

} // namespace

std::string TInternetAddress::Text() const
{
    return host + ":" + port + (Web() ? path : std::string());
}

TInternetAddress ParseInternetAddress(std::string_view entry)
{
    if (auto comma = entry.find(','); comma != std::string_view::npos)
        entry.remove_prefix(comma + 1);
    std::string rest = TrimSpaces(std::string(entry));
    bool web = false;
    if (StartsWithNoCase(rest, "HTTP://")) {
        rest.erase(0, 7);
        web = true;
    }
    TInternetAddress a;
    if (auto slash = rest.find('/'); slash != std::string::npos) {
        a.path = rest.substr(slash);
        rest.resize(slash);
    } else if (web) {
        a.path = "/";
    }
    if (auto colon = rest.find(':'); colon != std::string::npos) {
        a.host = TrimSpaces(rest.substr(0, colon));
        a.port = TrimSpaces(rest.substr(colon + 1));
    } else {
        a.host = TrimSpaces(rest);
        a.port = a.path.empty() ? "23" : "80";
    }
    return a;
}

bool ResolveLocation(const TInternetAddress& from, std::string_view location, TInternetAddress& to)
{
    std::string loc = TrimSpaces(std::string(location));
    if (loc.empty())
        return false;
    if (StartsWithNoCase(loc, "HTTP://")) {
        to = ParseInternetAddress("," + loc);
        return !to.host.empty();
    }
    if (loc.rfind("//", 0) == 0) {
        to = ParseInternetAddress(",http:" + loc);
        return !to.host.empty();
    }
    // A scheme of another kind ("https:") cannot be fetched here.
    const auto colon = loc.find(':');
    if (colon != std::string::npos && loc.find_first_of("/?#") > colon)
        return false;
    to = from;
    if (loc[0] == '/') {
        to.path = loc;
    } else {
        std::string base = from.path.empty() ? "/" : from.path;
        base = base.substr(0, base.find_first_of("?#"));
        to.path = base.substr(0, base.rfind('/') + 1) + loc;
    }
    return true;
}

std::vector<std::string> SplitAddressList(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::vector<std::string> LoadAddressList(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return {};
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return SplitAddressList(bytes);
}

} // namespace korval
