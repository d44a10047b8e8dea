#include "comms/com_port_map.h"

#include "logbook/base/string_utils.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <mutex>

namespace korval {

namespace {
std::mutex g_lock;
std::string g_folder;

std::vector<std::pair<int, std::string>> ReadMap()
{
    std::string folder = TComPortMap::Folder();
    if (folder.empty())
        return {};
    std::ifstream in(folder + "/" + kComPortMapName, std::ios::binary);
    if (!in)
        return {};
    return TComPortMap::Parse(std::string(std::istreambuf_iterator<char>(in), {}));
}
} // namespace

void TComPortMap::SetFolder(const std::string& folder)
{
    std::lock_guard<std::mutex> g(g_lock);
    g_folder = folder;
}

std::string TComPortMap::Folder()
{
    std::lock_guard<std::mutex> g(g_lock);
    return g_folder;
}

std::vector<std::pair<int, std::string>> TComPortMap::Parse(const std::string& text)
{
    std::vector<std::pair<int, std::string>> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line(Trim(text.substr(pos, end - pos), kWhitespace));
        pos = end + 1;
        std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string key(Trim(line.substr(0, eq), kWhitespace));
        std::string value(Trim(line.substr(eq + 1), kWhitespace));
        if (key.size() < 4 || key.size() > 6 || value.empty())
            continue;
        std::string prefix = key.substr(0, 3);
        std::transform(prefix.begin(), prefix.end(), prefix.begin(), ::toupper);
        if (prefix != "COM")
            continue;
        int n = 0;
        bool digits = true;
        for (std::size_t i = 3; i < key.size(); ++i) {
            if (!std::isdigit(static_cast<unsigned char>(key[i])))
                digits = false;
            else
                n = n * 10 + (key[i] - '0');
        }
        if (!digits || n < 1 || n > 65535)
            continue;
        auto same = std::find_if(out.begin(), out.end(), [n](const auto& e) { return e.first == n; });
        if (same != out.end())
            same->second = value;
        else
            out.emplace_back(n, value);
    }
    return out;
}

std::string TComPortMap::DevicePath(int comNumber)
{
    for (const auto& [n, path] : ReadMap())
        if (n == comNumber)
            return path;
    return "/dev/ttyS" + std::to_string(comNumber - 1);
}

std::vector<int> TComPortMap::MappedNumbers()
{
    std::vector<int> out;
    for (const auto& e : ReadMap())
        out.push_back(e.first);
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace korval
