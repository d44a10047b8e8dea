#pragma once
// Everything model-specific about a radio: line settings, command byte strings, where each value
// sits in a reply and how it is coded, and the radio's codes for each operating mode. The CAT
// engine knows nothing of any model beyond this record.
#include "logbook/base/day_number.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace korval {

// A definition the program refuses (a command string that is no hexadecimal byte string); the
// text names the file and the key.
class ERadioDefinitionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TRadioCommand : std::uint8_t {
    rcNoCommand, rcClearClarifier, rcFileRead, rcFileWrite, rcInit, rcReadClarifier, rcReadID,
    rcReadMode, rcReadSMeter, rcReadStatus, rcReadVfoA, rcReadVfoAXtra, rcReadVfoB, rcSelectVfoA,
    rcSelectVfoB, rcSetMode, rcSetSplitOff, rcSetSplitOn, rcSetVfoA, rcSetVfoB, rcVfoAToB
};
inline constexpr int RadioCommandCount = 21;

enum TRadioField : std::uint8_t {
    rfClarifier, rfCurrentVfo, rfCurrentVfoIsA, rfCurrentVfoIsB, rfID, rfMode, rfRIT, rfSMeter,
    rfSignClarifier, rfSplitMode, rfVfoA, rfVfoB, rfWriteID, rfWriteMode, rfWriteVfoA, rfWriteVfoB, rfXIT
};
inline constexpr int RadioFieldCount = 17;

enum TRadioFormat : std::uint8_t { ffBCD, ffBCDR, ffBinary, ffBinaryR, ffByteM, ffFlag, ffString, ffStringR };
inline constexpr int RadioFormatCount = 8;

enum TRadioLocation : std::uint8_t { rlVfoAB, rlVfoB, rlStatus, rlOther };
inline constexpr int RadioLocationCount = 4;

inline constexpr std::uint8_t NoModeCode = 255;
inline constexpr int RadioModeCount = 15;

struct TRadioCommandEntry {
    std::string command;        // at most 50 characters, in the definition's notation
    std::uint8_t length = 0;    // reply bytes of a read; byte offset for the two file commands
    std::uint8_t location = 0;  // TRadioLocation
};

struct TRadioFieldEntry {
    std::uint8_t command = 0;   // TRadioCommand
    std::uint8_t format = 0;    // TRadioFormat
    std::uint8_t position = 0;  // in the reply, or in the command string for the write fields
    std::uint8_t lengthMask = 0;  // bytes; a bit mask for "Byte-M" and "Flag"
};

struct TRadioModeEntry {
    std::uint8_t read1 = NoModeCode, read2 = NoModeCode, write1 = NoModeCode, write2 = NoModeCode;
    bool prefer = false;
};

struct TRadioDefinition {
    std::string Model;          // 20
    TDayNumber Date = 0;
    std::string Notes;          // 35
    double FreqLow = 0, FreqHigh = 0;  // kHz
    std::uint16_t Baud = 0;
    std::uint8_t DataBits = 0;  // + 7
    std::uint8_t StopBits = 0;  // + 1
    std::string FileInterface;  // 40
    std::uint8_t CommandFormat = 0;  // 0 hex, 1 string
    std::uint8_t CommandOrder = 0;   // 0 normal, 1 reverse
    bool ReverseAB = false;
    std::uint8_t PositionBase = 0;   // 0 zero based, 1 one based
    std::string Preamble;       // 20
    std::uint8_t ConfirmLength = 0;
    double ReadFreqMul = 1.0, WriteFreqMul = 1.0, RitScale = 1.0, SMeterScale = 1.0;
    std::array<TRadioCommandEntry, RadioCommandCount> Commands {};
    std::array<TRadioFieldEntry, RadioFieldCount> Fields {};
    std::array<TRadioModeEntry, RadioModeCount + 1> Modes {};  // 1..15; 0 unused

    bool HasCommand(int c) const { return !Commands[static_cast<std::size_t>(c)].command.empty(); }
    // LM above 0 and its command exists.
    bool FieldDefined(int f) const
    {
        const TRadioFieldEntry& e = Fields[static_cast<std::size_t>(f)];
        return e.lengthMask > 0 && HasCommand(e.command);
    }
};

inline constexpr std::size_t MaxModelLength = 20, MaxNotesLength = 35, MaxFileInterfaceLength = 40,
                             MaxPreambleLength = 20, MaxCommandLength = 50;

const char* RadioCommandName(int c);
const char* RadioFieldName(int f);
const char* RadioFormatName(int f);
const char* RadioLocationName(int l);
// Index by name (compared ignoring case); 0 for an unknown name.
int RadioCommandFromName(const std::string& name);
int RadioFieldFromName(const std::string& name);
int RadioFormatFromName(const std::string& name);
int RadioLocationFromName(const std::string& name);

// The MODES value: "1,2;3;N" and back. An entry without any code gives "".
std::string ModeEntryText(const TRadioModeEntry& entry);
TRadioModeEntry ModeEntryFromText(const std::string& text);

// Why a command text cannot be used in the given notation; "" when it can. Hex texts must be
// whole pairs of hexadecimal digits (blanks are not allowed either: they would shift the pairs).
std::string CommandTextProblem(std::uint8_t commandFormat, const std::string& text);
// The bytes of a command text: hex pairs, or the text with every '|' a carriage return. A hex
// text that CommandTextProblem refuses gives the bytes of its leading whole pairs.
std::string ConvertCommand(std::uint8_t commandFormat, const std::string& text);

} // namespace korval
