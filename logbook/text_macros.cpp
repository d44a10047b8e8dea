#include "logbook/text_macros.h"

#include "logbook/config_record.h"
#include "logbook/base/day_number.h"
#include "logbook/paths.h"
#include "logbook/base/string_utils.h"
#include "platform/message_dlg.h"
#include "logbook/configured_formats.h"

#include <fstream>
#include <vector>

namespace korval {

namespace {

std::string Lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return s;
}

std::string Two(int v) { return ZeroPadNumber(static_cast<std::uint32_t>(v), 2); }

// A file name of the save folder; empty for one that would lead out of it.
std::string SaveFolderFile(std::string name)
{
    if (name.empty() || name.find('/') != std::string::npos || name.find('\\') != std::string::npos ||
        name == "." || name == "..")
        return {};
    if (name.find('.') == std::string::npos)
        name += ".txt";
    return GetSaveDir() + "/" + name;
}

// Reads at most limit + 1 bytes: more than limit can never be inserted anyway.
bool ReadLinesJoined(const std::string& path, std::size_t limit, std::string& out)
{
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return false;
    std::string all(limit + 1, '\0');
    f.read(all.data(), static_cast<std::streamsize>(all.size()));
    all.resize(static_cast<std::size_t>(f.gcount()));
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < all.size(); ++i) {
        char c = all[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < all.size() && all[i + 1] == '\n')
                ++i;
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    out.clear();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i)
            out += '\r';
        out += lines[i];
    }
    return true;
}

} // namespace

std::string KeyText(const std::string& key)
{
    std::size_t bar = key.find('|');
    return bar == std::string::npos ? key : key.substr(bar + 1);
}

std::string ExpandMacros(int keyNumber, const TFunctionKeys& keys, bool lowerCase, TMacroContext& context)
{
    std::string result;
    if (keyNumber < 1 || keyNumber > 16)
        return result;
    bool inUse[17] = {};
    inUse[keyNumber] = true;
    std::string rest = KeyText(keys[static_cast<std::size_t>(keyNumber - 1)]);
    bool logRequested = false;
    // Files being inserted: the name and the length of the input that follows the inserted text.
    std::vector<std::pair<std::string, std::size_t>> openFiles;

    auto insertKey = [&](int k) -> bool {
        if (inUse[k]) {
            MessageDlg("Recursion for register " + std::to_string(k), TMsgDlgType::mtWarning, mbOK);
            return false;
        }
        inUse[k] = true;
        rest = KeyText(keys[static_cast<std::size_t>(k - 1)]) + rest;
        return true;
    };

    // True when the result had grown past the bound (it is cut to it, and the operator told).
    auto cutToBound = [&] {
        if (result.size() <= MaxExpandedMacroSize)
            return false;
        result.resize(MaxExpandedMacroSize);
        MessageDlg(MacroTooLongMessage, TMsgDlgType::mtWarning, mbOK);
        return true;
    };

    for (;;) {
        std::size_t pct = rest.find('%');
        if (pct == std::string::npos) {
            result += rest;
            break;
        }
        result.append(rest, 0, pct);
        rest.erase(0, pct + 1);
        // A file is finished once the escape at hand lies in the input that followed it.
        while (!openFiles.empty() && rest.size() + 1 <= openFiles.back().second)
            openFiles.pop_back();
        if (rest.empty())
            break;
        char c = rest[0];
        rest.erase(0, 1);
        bool stop = false;
        if (c >= 'A' && c <= 'Z') {
            result += static_cast<char>(c - 'A' + 1);
        } else {
            switch (c) {
            case 'b': result += ' '; break;
            case 'e': result += '\x1b'; break;
            case '%': result += '%'; break;
            case '~': {
                std::string call = Config.OwnCall();
                result += lowerCase ? Lower(call) : call;
                break;
            }
            case '@':
                if (context.HasQsoWindow())
                    result += lowerCase ? Lower(context.CallField()) : context.CallField();
                break;
            case '$': result += context.RstSentField(); break;
            case 'r': result += context.RstRcvdField(); break;
            case '&': result += context.ExchangeText(); break;
            case 'n': result += context.Name(); break;
            case '#': {
                unsigned n = 0;
                if (context.SerialNumber(n)) {
                    std::string s = std::to_string(n);
                    if (s.size() < 3)
                        s.insert(0, 3 - s.size(), '0');
                    result += s;
                }
                break;
            }
            case 't': {
                TDayNumber d;
                std::int32_t t;
                GetUtcDateTime(d, t);
                result += SecondsToHHMM(t);
                break;
            }
            case 'x':
                result += FormatDayNumber(UtcToday());
                break;
            case 'd': {
                TDayNumber d;
                std::int32_t t;
                GetUtcDateTime(d, t);
                int y, m, dd;
                DecodeDayNumber(d, y, m, dd);
                result += Two(y % 100) + Two(m) + Two(dd) + Two(t / 3600) + Two((t / 60) % 60);
                break;
            }
            case 'l': logRequested = true; break;
            case '1':
                if (!rest.empty() && rest[0] >= '1' && rest[0] <= '8') {
                    int k = 8 + (rest[0] - '0');
                    rest.erase(0, 1);
                    stop = !insertKey(k);
                } else {
                    stop = !insertKey(1);
                }
                break;
            case '2': case '3': case '4': case '5': case '6': case '7': case '8':
                stop = !insertKey(c - '0');
                break;
            case 'f': {
                std::size_t end = rest.find('%');
                std::string name = rest.substr(0, end);
                rest.erase(0, end == std::string::npos ? rest.size() : end + 1);
                std::string path = SaveFolderFile(name);
                bool recursive = false;
                for (const auto& f : openFiles)
                    recursive = recursive || f.first == path;
                if (recursive && !path.empty()) {
                    MessageDlg("Recursion for file " + name, TMsgDlgType::mtWarning, mbOK);
                    stop = true;
                    break;
                }
                std::string text;
                if (path.empty() || !ReadLinesJoined(path, MaxExpandedMacroSize, text)) {
                    MessageDlg("File to send not found:\r" + (path.empty() ? name : path), TMsgDlgType::mtError,
                               mbOK);
                    break;
                }
                if (result.size() + text.size() + rest.size() > MaxExpandedMacroSize) {
                    MessageDlg(MacroTooLongMessage, TMsgDlgType::mtWarning, mbOK);
                    stop = true;
                    break;
                }
                openFiles.emplace_back(path, rest.size());
                rest = text + rest;
                break;
            }
            default:
                break;
            }
        }
        // Escapes such as "%~" give more than they take: the result is bounded on its own.
        if (cutToBound())
            stop = true;
        if (stop)
            break;
    }
    // The text after the last escape joins the result when the loop ends: the bound holds for it
    // too (a key inserted after a file that just fitted can bring it past).
    cutToBound();
    if (logRequested && context.HasQsoWindow() && context.RealTimeEntry())
        context.LogWithExchange();
    return result;
}

} // namespace korval
