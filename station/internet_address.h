#pragma once
// The cluster terminal's address list (SAVE/KORVAL.TCP): one entry a line, an optional
// description and a comma, then host, optionally ":" and a port, optionally a path. A path, or a
// leading "HTTP://", makes the entry a web page that is fetched once instead of a telnet node.
#include <string>
#include <string_view>
#include <vector>

namespace korval {

struct TInternetAddress {
    std::string host;
    std::string port;
    std::string path;  // empty: a telnet node
    bool Web() const { return !path.empty(); }
    // "host:port", with the path of a web address.
    std::string Text() const;
    bool operator==(const TInternetAddress&) const = default;
};

TInternetAddress ParseInternetAddress(std::string_view entry);

// Where a redirection's Location leads from the page that was asked for: an absolute
// "http://" address, a path from the root, or a path relative to the page's folder. False for
// what cannot be fetched (another scheme, an empty location).
bool ResolveLocation(const TInternetAddress& from, std::string_view location, TInternetAddress& to);

// The lines of the address file (line ends CR, LF or CR LF); empty when it cannot be read.
std::vector<std::string> LoadAddressList(const std::string& fileName);
std::vector<std::string> SplitAddressList(std::string_view bytes);

} // namespace korval
