#pragma once
// Font changes written inside a text: byte 1 opens a code block, byte 2 ends a command's value,
// byte 3 is ignored inside a value and byte 4 closes the block. A command is a letter and its
// value: B U I K S P (bold, underline, italic, strike-out, subscript, superscript; "1" on,
// anything else off), C colour, H pitch (D, V, F), J ignored, N face, Z size in points, R full
// reset, r style reset.
#include <string>
#include <string_view>

namespace korval {

class TBaseReport;
struct TFontRecord;

inline constexpr char kCodeOpen = '\x01';
inline constexpr char kCodeNext = '\x02';
inline constexpr char kCodeIgnore = '\x03';
inline constexpr char kCodeClose = '\x04';

// From pos (0-based), skips to the next byte 1 or 2, takes the byte after it as the letter and
// what follows up to byte 2 or 4 as the value (bytes 3 dropped). At the end the letter is ' '.
void NextCommand(std::string_view codes, size_t& pos, char& letter, std::string& value);
// Collects plain text into piece; a code block met before any text is copied whole (through
// byte 4, or to the end) into codes and collecting goes on after it. Each call yields the codes
// that precede a piece and the piece.
void NextPiece(std::string_view text, size_t& pos, std::string& piece, std::string& codes);
// Applies every command of codes, in order, to the record.
void ApplyCodeCommands(TFontRecord& font, std::string_view codes);
// Applies codes to a copy of the surface's font, then makes the copy current in one step.
void ApplyCodes(TBaseReport& report, std::string_view codes);
void NextPieceApply(TBaseReport& report, std::string_view text, size_t& pos, std::string& piece);
// The end position (pixels) of piece measured from startX, TAB characters advancing to the next
// multiple of the default tab width.
int PieceWidth(TBaseReport& report, std::string_view piece, int startX);
// The width of a text with codes, in pixels (at least 1); the surface's font is left as it was.
int FormattedWidth(TBaseReport& report, std::string_view text);

} // namespace korval
