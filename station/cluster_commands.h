#pragma once
// Texts the cluster terminal builds: the DX announcement, the read-message command of a
// double-clicked line, and the window caption with its modes.
#include <string>

namespace korval {

// "DX 14025.00 VP8LP QSX 14027.00 CW up": the QSX part only when qsx is not 0, the remarks only
// when there are some.
std::string AnnounceDXCommand(double kHz, const std::string& call, double qsxKHz, const std::string& remarks);
// The remarks an announcement starts with: the mode's name, none for CW and SSB, "PSK31" for
// PSK31.
std::string AnnounceRemarks(int mode);
// "R 123" + CR for a message-list line that begins (after blanks) with its number; else empty.
std::string ReadMessageCommand(const std::string& line);

struct TTerminalModes {
    int kind = 0;          // 0 packet, 1 RTTY
    bool fake = false;
    bool alwaysImmediate = false;
    bool immediate = false;
    bool holding = false;
};
std::string TerminalCaption(const TTerminalModes& m);

} // namespace korval
