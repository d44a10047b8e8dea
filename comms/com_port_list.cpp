#include "comms/com_port_list.h"

#include "comms/apd_errors.h"
#include "comms/com_port_map.h"
#include "comms/serial_device.h"

#include <algorithm>
#include <dirent.h>

namespace korval {

std::vector<TPortChoice> ListSerialPorts(const std::string& devFolder)
{
    std::vector<TPortChoice> out;
    int highest = 0;
    for (int n = 1; n <= 50; ++n) {
        std::string path = TComPortMap::DevicePath(n);
        TSerialDevice probe;
        int rc = probe.Open(path);
        if (rc == 0 || rc == ecAccessDenied) {
            out.push_back({n, path, false});
            highest = n;
        }
    }
    for (int n : TComPortMap::MappedNumbers())
        highest = std::max(highest, n);
    std::vector<std::string> found;
    if (DIR* dir = opendir(devFolder.c_str())) {
        while (dirent* e = readdir(dir)) {
            std::string name = e->d_name;
            if (name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0)
                found.push_back(devFolder + "/" + name);
        }
        closedir(dir);
    }
    std::sort(found.begin(), found.end());
    for (const std::string& path : found) {
        bool known = std::any_of(out.begin(), out.end(), [&](const TPortChoice& c) { return c.path == path; });
        if (!known)
            out.push_back({++highest, path, true});
    }
    return out;
}

std::string MapTextWith(const std::string& mapText, int number, const std::string& path)
{
    std::string out;
    std::string key = "COM" + std::to_string(number);
    std::size_t pos = 0;
    while (pos < mapText.size()) {
        std::size_t end = mapText.find('\n', pos);
        std::string line = mapText.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        pos = end == std::string::npos ? mapText.size() : end + 1;
        auto parsed = TComPortMap::Parse(line);
        if (!parsed.empty() && parsed[0].first == number)
            continue;
        out += line + "\n";
    }
    if (out.empty())
        out = "[Ports]\n";
    return out + key + "=" + path + "\n";
}

} // namespace korval
