#include "reporting/inline_codes.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "reporting/base_report.h"
#include "logbook/base/string_utils.h"

namespace korval {

void NextCommand(std::string_view codes, size_t& pos, char& letter, std::string& value)
{
    value.clear();
    while (pos < codes.size() && codes[pos] != kCodeOpen && codes[pos] != kCodeNext)
        ++pos;
    if (pos + 1 >= codes.size()) {
        pos = codes.size();
        letter = ' ';
        return;
    }
    letter = codes[pos + 1];
    pos += 2;
    for (; pos < codes.size() && codes[pos] != kCodeNext && codes[pos] != kCodeClose; ++pos)
        if (codes[pos] != kCodeIgnore)
            value += codes[pos];
}

void NextPiece(std::string_view text, size_t& pos, std::string& piece, std::string& codes)
{
    piece.clear();
    codes.clear();
    while (pos < text.size()) {
        if (text[pos] != kCodeOpen) {
            piece += text[pos++];
            continue;
        }
        if (!piece.empty())
            return;
        const size_t close = text.find(kCodeClose, pos);
        const size_t end = close == std::string_view::npos ? text.size() : close + 1;
        codes.append(text.substr(pos, end - pos));
        pos = end;
    }
}

namespace {

// A whole number or decimal value; leading blanks are allowed, nothing after it.
template <class T>
bool parseNumber(const std::string& text, T& out)
{
    const std::string_view digits = TrimLeft(text);
    const char* last = digits.data() + digits.size();
    auto [ptr, ec] = std::from_chars(digits.data(), last, out);
    return ec == std::errc() && ptr == last;
}

void styleReset(TFontRecord& f)
{
    f.Bold = f.Underline = f.Italic = f.StrikeOut = false;
    f.Color = clBlack;
    f.Pitch = 0;
    f.CharSet = DEFAULT_CHARSET;
    f.Subscript = f.Superscript = false;
    f.Rotation = 0;
    f.Width = 0;
    f.Align = 0;
}

} // namespace

void ApplyCodeCommands(TFontRecord& font, std::string_view codes)
{
    size_t pos = 0;
    char letter;
    std::string value;
    while (true) {
        NextCommand(codes, pos, letter, value);
        if (letter == ' ' && pos >= codes.size())
            return;
        const bool on = value == "1";
        switch (letter) {
        case 'B': font.Bold = on; break;
        case 'U': font.Underline = on; break;
        case 'I': font.Italic = on; break;
        case 'K': font.StrikeOut = on; break;
        case 'S':
            font.Subscript = on;
            if (on)
                font.Superscript = false;
            break;
        case 'P':
            font.Superscript = on;
            if (on)
                font.Subscript = false;
            break;
        case 'C': {
            long long color;
            if (parseNumber(value, color))
                font.Color = TColor(color);
            break;
        }
        case 'H':
            if (!value.empty()) {
                if (value[0] == 'D')
                    font.Pitch = 0;
                else if (value[0] == 'V')
                    font.Pitch = 1;
                else if (value[0] == 'F')
                    font.Pitch = 2;
            }
            break;
        case 'N': font.Name = value.substr(0, 60); break;
        case 'Z': {
            double size;
            if (parseNumber(value, size) && size > 0) {
                font.Size = size;
                font.Height = size / 72;
            }
            break;
        }
        case 'R':
            styleReset(font);
            font.Name = "Arial";
            font.Size = 12;
            font.Height = 12.0 / 72;
            break;
        case 'r': styleReset(font); break;
        default: break;  // J and unknown letters change nothing
        }
    }
}

void ApplyCodes(TBaseReport& report, std::string_view codes)
{
    TFontRecord font = report.BaseFont();
    ApplyCodeCommands(font, codes);
    report.ApplyFontRecord(font);
}

void NextPieceApply(TBaseReport& report, std::string_view text, size_t& pos, std::string& piece)
{
    std::string codes;
    NextPiece(text, pos, piece, codes);
    if (!codes.empty())
        ApplyCodes(report, codes);
}

int PieceWidth(TBaseReport& report, std::string_view piece, int startX)
{
    const int tabWidth =
        int(std::lround(report.UnitsToInchesX(report.GetDefaultTabWidth()) * report.DpiX()));
    int position = startX;
    size_t start = 0;
    for (size_t tab = piece.find('\t'); tab != std::string_view::npos; tab = piece.find('\t', start)) {
        position += report.GetTextExtent(std::string(piece.substr(start, tab - start))).cx;
        if (tabWidth > 0)
            position = ((position - 1) / tabWidth + 1) * tabWidth;
        start = tab + 1;
    }
    return position + report.GetTextExtent(std::string(piece.substr(start))).cx;
}

int FormattedWidth(TBaseReport& report, std::string_view text)
{
    const TFontRecord saved = report.BaseFont();
    int position = 0;
    size_t pos = 0;
    std::string piece;
    while (pos < text.size()) {
        NextPieceApply(report, text, pos, piece);
        if (!piece.empty()) {
            report.RealizeFont();
            position = PieceWidth(report, piece, position);
        }
    }
    report.ApplyFontRecord(saved);
    return std::max(position, 1);
}

} // namespace korval
