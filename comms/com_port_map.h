#pragma once
// Which device a COM port number opens. COM1 is /dev/ttyS0 and so on, unless the port map in the
// program folder ("COMPORTS.INI", lines "COM3=/dev/ttyUSB0") names another device, which is how
// USB adapters and, in tests, pseudo-terminals are reached.
#include <string>
#include <vector>

namespace korval {

inline constexpr const char* kComPortMapName = "COMPORTS.INI";

class TComPortMap {
public:
    // The folder whose COMPORTS.INI is read; empty means no map (defaults only).
    static void SetFolder(const std::string& folder);
    static std::string Folder();

    // The device path for a port number (1 = COM1).
    static std::string DevicePath(int comNumber);
    // The numbers the map names, ascending.
    static std::vector<int> MappedNumbers();

    // Parses map text: "COMn=path" lines; sections, comments and other lines are skipped.
    static std::vector<std::pair<int, std::string>> Parse(const std::string& text);
};

} // namespace korval
