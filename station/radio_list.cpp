#include "station/radio_list.h"

#include "logbook/base/ini_file.h"
#include "logbook/bands_modes.h"
#include "logbook/paths.h"
#include "platform/atomic_file.h"

#include <filesystem>

namespace korval {

namespace {

constexpr const char* General = "GENERAL";
constexpr const char* ModesSection = "MODES";

std::string CommandSection(int c) { return std::string("RC-") + RadioCommandName(c); }
std::string FieldSection(int f) { return std::string("RF-") + RadioFieldName(f); }

std::uint8_t ByteOf(std::int32_t value) { return static_cast<std::uint8_t>(value); }

void CheckCommandText(const std::string& fileName, const std::string& section, const std::string& key,
                      std::uint8_t format, const std::string& text)
{
    const std::string problem = CommandTextProblem(format, text);
    if (!problem.empty())
        throw ERadioDefinitionError(fileName + ": [" + section + "] " + key + "=" + text + ": " + problem);
}

} // namespace

TRadioList::TRadioList(bool scanDirectory, std::string dir)
    : TDList(dir.empty() && scanDirectory ? GetRadiosDir() : std::move(dir), "rig")
{
    if (scanDirectory)
        Load();
}

void TRadioList::LoadItem(const std::string& fileName, TRadioDefinition& d)
{
    TIniFile ini(fileName);
    d = TRadioDefinition {};
    d.Model = ini.ReadString(General, "MODEL", "").substr(0, MaxModelLength);
    d.Date = static_cast<TDayNumber>(ini.ReadInteger(General, "DATE", UtcToday()));
    d.Notes = ini.ReadString(General, "NOTES", "").substr(0, MaxNotesLength);
    d.FreqLow = ini.ReadFloat(General, "FLOW", 0);
    d.FreqHigh = ini.ReadFloat(General, "FHIGH", 0);
    d.Baud = static_cast<std::uint16_t>(ini.ReadInteger(General, "BAUD", 0));
    d.DataBits = ByteOf(ini.ReadInteger(General, "DATAB", 0));
    d.StopBits = ByteOf(ini.ReadInteger(General, "STOPB", 0));
    d.CommandFormat = ByteOf(ini.ReadInteger(General, "CFMT", 0));
    d.CommandOrder = ByteOf(ini.ReadInteger(General, "CORDER", 0));
    d.ReverseAB = ini.ReadBool(General, "REV", false);
    d.PositionBase = ByteOf(ini.ReadInteger(General, "OFSET", 0));
    d.Preamble = ini.ReadString(General, "PABLE", "").substr(0, MaxPreambleLength);
    CheckCommandText(fileName, General, "PABLE", d.CommandFormat, d.Preamble);
    d.ConfirmLength = ByteOf(ini.ReadInteger(General, "CNFL", 0));
    d.ReadFreqMul = ini.ReadFloat(General, "RMUL", 1.0);
    d.WriteFreqMul = ini.ReadFloat(General, "WMUL", 1.0);
    d.RitScale = ini.ReadFloat(General, "RITSCL", 1.0);
    d.SMeterScale = ini.ReadFloat(General, "SMSCL", 1.0);
    d.FileInterface = ini.ReadString(General, "FILEINTERFACE", "").substr(0, MaxFileInterfaceLength);

    for (int c = 0; c < RadioCommandCount; ++c) {
        const std::string section = CommandSection(c);
        if (!ini.SectionExists(section))
            continue;
        TRadioCommandEntry& e = d.Commands[static_cast<std::size_t>(c)];
        e.command = ini.ReadString(section, "CSTR", "").substr(0, MaxCommandLength);
        // The data-directory kind names files in its two file commands, not bytes.
        const bool namesFile = !d.FileInterface.empty() && (c == rcFileRead || c == rcFileWrite) && d.CommandFormat == 1;
        if (!namesFile)
            CheckCommandText(fileName, section, "CSTR", d.CommandFormat, e.command);
        e.length = ByteOf(ini.ReadInteger(section, "LEN", 0));
        e.location = static_cast<std::uint8_t>(RadioLocationFromName(ini.ReadString(section, "LOC", "")));
    }
    for (int f = 0; f < RadioFieldCount; ++f) {
        const std::string section = FieldSection(f);
        TRadioFieldEntry& e = d.Fields[static_cast<std::size_t>(f)];
        e.command = static_cast<std::uint8_t>(RadioCommandFromName(ini.ReadString(section, "CMD", "")));
        e.format = static_cast<std::uint8_t>(RadioFormatFromName(ini.ReadString(section, "FMT", "")));
        e.position = ByteOf(ini.ReadInteger(section, "POS", 0));
        e.lengthMask = ByteOf(ini.ReadInteger(section, "LM", 0));
    }
    for (int m = 1; m <= RadioModeCount; ++m)
        d.Modes[static_cast<std::size_t>(m)] = ModeEntryFromText(ini.ReadString(ModesSection, ModeName(m), ""));
}

void TRadioList::SaveItem(const std::string& fileName, const TRadioDefinition& d)
{
    TIniFile ini(fileName, false);
    ini.WriteString(General, "MODEL", d.Model);
    ini.WriteInteger(General, "DATE", d.Date);
    ini.WriteString(General, "NOTES", d.Notes);
    ini.WriteFloat(General, "FLOW", d.FreqLow);
    ini.WriteFloat(General, "FHIGH", d.FreqHigh);
    ini.WriteInteger(General, "BAUD", d.Baud);
    ini.WriteInteger(General, "DATAB", d.DataBits);
    ini.WriteInteger(General, "STOPB", d.StopBits);
    ini.WriteString(General, "FILEINTERFACE", d.FileInterface);
    ini.WriteInteger(General, "CFMT", d.CommandFormat);
    ini.WriteInteger(General, "CORDER", d.CommandOrder);
    ini.WriteBool(General, "REV", d.ReverseAB);
    ini.WriteInteger(General, "OFSET", d.PositionBase);
    ini.WriteString(General, "PABLE", d.Preamble);
    ini.WriteInteger(General, "CNFL", d.ConfirmLength);
    ini.WriteFloat(General, "RMUL", d.ReadFreqMul);
    ini.WriteFloat(General, "WMUL", d.WriteFreqMul);
    ini.WriteFloat(General, "RITSCL", d.RitScale);
    ini.WriteFloat(General, "SMSCL", d.SMeterScale);
    for (int c = 0; c < RadioCommandCount; ++c) {
        const TRadioCommandEntry& e = d.Commands[static_cast<std::size_t>(c)];
        if (e.command.empty())
            continue;
        const std::string section = CommandSection(c);
        ini.WriteString(section, "CSTR", e.command);
        ini.WriteInteger(section, "LEN", e.length);
        ini.WriteString(section, "LOC", RadioLocationName(e.location));
    }
    for (int f = 0; f < RadioFieldCount; ++f) {
        const TRadioFieldEntry& e = d.Fields[static_cast<std::size_t>(f)];
        const std::string section = FieldSection(f);
        ini.WriteString(section, "CMD", RadioCommandName(e.command));
        ini.WriteString(section, "FMT", RadioFormatName(e.format));
        ini.WriteInteger(section, "POS", e.position);
        ini.WriteInteger(section, "LM", e.lengthMask);
    }
    for (int m = 1; m <= RadioModeCount; ++m) {
        const std::string value = ModeEntryText(d.Modes[static_cast<std::size_t>(m)]);
        if (!value.empty())
            ini.WriteString(ModesSection, ModeName(m), value);
    }
    ini.UpdateFile(PrepareFileRewrite(fileName));
}

void TRadioList::NewItem(TRadioDefinition& d)
{
    d = TRadioDefinition {};
    d.Model = "New radio";
    d.Date = UtcToday();
    d.Notes = "Replace name for radio!";
    for (int c = 0; c < RadioCommandCount; ++c) {
        std::uint8_t loc = rlOther;
        if (c == rcReadClarifier || c == rcReadMode || c == rcReadVfoA || c == rcReadVfoAXtra || c == rcReadVfoB)
            loc = rlVfoAB;
        else if (c == rcReadStatus)
            loc = rlStatus;
        d.Commands[static_cast<std::size_t>(c)].location = loc;
    }
    for (int f = 0; f < RadioFieldCount; ++f) {
        TRadioFieldEntry& e = d.Fields[static_cast<std::size_t>(f)];
        switch (f) {
        case rfClarifier: case rfMode: case rfRIT: case rfSplitMode: case rfVfoA: case rfVfoB: case rfXIT:
            e.command = rcReadVfoAXtra; break;
        case rfID: e.command = rcReadID; break;
        case rfSMeter: e.command = rcReadSMeter; break;
        case rfWriteMode: e.command = rcSetMode; break;
        case rfWriteVfoA: e.command = rcSetVfoA; break;
        case rfWriteVfoB: e.command = rcSetVfoB; break;
        default: e.command = rcReadStatus; break;
        }
        const bool flag = f == rfCurrentVfo || f == rfRIT || f == rfSignClarifier || f == rfSplitMode || f == rfXIT;
        e.format = flag ? ffFlag : ffBinary;
    }
}

} // namespace korval
