#pragma once
// The serial ports present on this machine, as the port selection offers them.
#include <string>
#include <vector>

namespace korval {

struct TPortChoice {
    int number;       // COM number
    std::string path; // device
    bool unmapped;    // a USB or ACM device the port map does not name yet
};

// Probes COM1 to COM50 (a port counts when it opens or is in use) and adds the /dev/ttyUSB* and
// /dev/ttyACM* devices no number reaches yet, numbered after the highest one in use.
std::vector<TPortChoice> ListSerialPorts(const std::string& devFolder = "/dev");

// The port map's text with "COMn=path" added (or replaced).
std::string MapTextWith(const std::string& mapText, int number, const std::string& path);

} // namespace korval
