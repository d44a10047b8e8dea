#include "reference/settings_ini.h"

#include <span>
#include <string>

#include "logbook/bands_modes.h"
#include "logbook/base/decimal_text.h"
#include "logbook/base/ini_file.h"
#include "logbook/base/string_utils.h"
#include "logbook/base/record_bytes.h"

namespace korval {

const char* const SettingsWindowNames[PlacementSlotCount] = {
    "QSO", "CTY", "CALL", "STATE", "ZONE", "IOTA", "LOGB", "SPOT", "PACK", "EXT",
    "CW", "SUN", "TALK", "RTTY", "GRID", "MASTR", "WORLD", "WPX", "SHFRE", "PSK31"};

namespace {

constexpr int KeyCount = 16;
constexpr int DisabledFieldCount = 23;
// The per-band rotator rules follow the rotator's offset and correction.
constexpr std::size_t RotatorRuleOffset = 7248;
// The two label fonts: name string[40], size at +41, colour at +44, bold at +48, italic at +49.
constexpr std::size_t LabelHeadFontOffset = 4476;
constexpr std::size_t LabelBodyFontOffset = 4528;
// The PSK31 terminal's three split positions.
constexpr std::size_t PskSplitterOffset = 7359;

// Fields of a custom label layout (lengths in inches as doubles).
namespace lab {
constexpr std::size_t Name = 0, Units = 11, SpacingTop = 12, SpacingLeft = 20, VertPitch = 28, HorzPitch = 36,
                      LabelHeight = 44, LabelWidth = 52, HorzShift = 60, VertShift = 68, NumAcross = 76,
                      NumDown = 77, PageWidth = 78, PageHeight = 86, PaperName = 94, Portrait = 115;
}

std::string Key(int n) { return "F" + std::to_string(n + 1); }
std::string BandKey(int band) { return BandInfo(band).Name; }
std::string Fixed(double v, int decimals, int width = 0) { return PadLeft(FormatFixed(v, decimals), width); }

// The four sets of function-key macros.
struct TKeySet {
    const char* section;
    std::string (*get)(const TConfigRecord&, int);
    void (*set)(TConfigRecord&, int, const std::string&);
};
const TKeySet KeySets[] = {
    {"CWKEYS", [](const TConfigRecord& r, int i) { return r.CwKey(i); },
     [](TConfigRecord& r, int i, const std::string& v) { r.SetCwKey(i, v); }},
    {"TNCKEYS", [](const TConfigRecord& r, int i) { return r.PacketPort().FunctionKey(i); },
     [](TConfigRecord& r, int i, const std::string& v) {
         TPortSettings p = r.PacketPort();
         p.SetFunctionKey(i, v);
         r.SetPortSettings(0, p);
     }},
    {"RTTYKEYS", [](const TConfigRecord& r, int i) { return r.RttyPort().FunctionKey(i); },
     [](TConfigRecord& r, int i, const std::string& v) {
         TPortSettings p = r.RttyPort();
         p.SetFunctionKey(i, v);
         r.SetPortSettings(1, p);
     }},
    {"PSK31KEYS", [](const TConfigRecord& r, int i) { return r.PskKey(i); },
     [](TConfigRecord& r, int i, const std::string& v) { r.SetPskKey(i, v); }},
};

// A byte, word or flag of the record read and written as an integer or boolean key.
enum class TKind { U8, U16, I32, Bool };
struct TValueKey {
    const char* key;
    std::size_t offset;
    TKind kind;
    std::int32_t def;
};

std::int32_t GetValue(const std::uint8_t* b, const TValueKey& k)
{
    switch (k.kind) {
    case TKind::U8: return GetU8(b, k.offset);
    case TKind::U16: return GetU16(b, k.offset);
    case TKind::I32: return GetI32(b, k.offset);
    case TKind::Bool: return GetU8(b, k.offset) != 0;
    }
    return 0;
}

void PutValue(std::uint8_t* b, const TValueKey& k, std::int32_t v)
{
    switch (k.kind) {
    case TKind::U8: PutU8(b, k.offset, static_cast<std::uint8_t>(v)); break;
    case TKind::U16: PutU16(b, k.offset, static_cast<std::uint16_t>(v)); break;
    case TKind::I32: PutI32(b, k.offset, v); break;
    case TKind::Bool: PutU8(b, k.offset, v != 0 ? 1 : 0); break;
    }
}

void WriteValues(TIniFile& ini, const char* section, const TConfigRecord& r, std::span<const TValueKey> keys)
{
    for (const TValueKey& k : keys) {
        if (k.kind == TKind::Bool)
            ini.WriteBool(section, k.key, GetValue(r.Bytes(), k) != 0);
        else
            ini.WriteInteger(section, k.key, GetValue(r.Bytes(), k));
    }
}

void MergeValues(const TIniFile& ini, const char* section, TConfigRecord& r, std::span<const TValueKey> keys)
{
    for (const TValueKey& k : keys) {
        if (k.kind == TKind::Bool)
            PutValue(r.Bytes(), k, ini.ReadBool(section, k.key, k.def != 0));
        else
            PutValue(r.Bytes(), k, ini.ReadInteger(section, k.key, k.def));
    }
}

const TValueKey CwKeys[] = {
    {"Speed", TConfigRecord::CwCharWpmOffset, TKind::I32, 20},
    {"wpm", TConfigRecord::CwSpacingWpmOffset, TKind::I32, 20},
    {"weight", TConfigRecord::CwWeightOffset, TKind::I32, 100},
    {"tone", TConfigRecord::CwSideToneHzOffset, TKind::I32, 850},
    {"sidetone", TConfigRecord::CwSideToneOffset, TKind::Bool, 1},
    {"marquee", TConfigRecord::CwEchoOffset, TKind::Bool, 1},
    {"immediate", TConfigRecord::CwImmediateOffset, TKind::Bool, 1},
    {"showfunc", TConfigRecord::CwShowFunctionKeysOffset, TKind::Bool, 1},
};

const TValueKey PskKeys[] = {
    {"CenterFreq", TConfigRecord::PskCenterFreqOffset, TKind::U16, 1500},
    {"MainFreq", TConfigRecord::PskRxFreqOffset, TKind::U16, 1500},
    {"FreqChan2", TConfigRecord::PskSecondFreqOffset, TKind::U16, 1600},
    {"Mode", TConfigRecord::PskModeOffset, TKind::U8, 0},
    {"AFC", TConfigRecord::PskAfcOffset, TKind::Bool, 1},
    {"Net", TConfigRecord::PskNetOffset, TKind::Bool, 1},
    {"Smooth", TConfigRecord::PskSmoothingOffset, TKind::U8, 3},
    {"AFCRange", TConfigRecord::PskAfcRangeOffset, TKind::U8, 100},
    {"BaseLine", TConfigRecord::PskBaselineOffset, TKind::U8, 30},
    {"SlowMeter", TConfigRecord::PskSlowImdOffset, TKind::Bool, 1},
    {"ThreshHold", TConfigRecord::PskSquelchOffset, TKind::U8, 0},
    {"Display", TConfigRecord::PskDisplayKindOffset, TKind::U8, 0},
    {"Split1", PskSplitterOffset, TKind::U8, 50},
    {"Split2", PskSplitterOffset + 1, TKind::U8, 50},
    {"Split3", PskSplitterOffset + 2, TKind::U8, 50},
    {"KEYING", TConfigRecord::PskKeyingOffset, TKind::U8, 1},
    {"KEYDTR", TConfigRecord::PskKeyLineOffset, TKind::Bool, 1},
    {"OTHERH", TConfigRecord::PskOtherLineHighOffset, TKind::Bool, 0},
    {"CHAN2", TConfigRecord::PskSecondChannelOffset, TKind::Bool, 0},
    {"Scale", TConfigRecord::PskDisplaySpanOffset, TKind::U8, 1},
};

// The lengths of a label layout with their keys.
struct TLabelLength {
    const char* key;
    std::size_t offset;
};
const TLabelLength LabelLengths[] = {
    {"SpacingTop", lab::SpacingTop},   {"SpacingLeft", lab::SpacingLeft}, {"SpacingHeight", lab::VertPitch},
    {"SpacingWidth", lab::HorzPitch},  {"LabelHeight", lab::LabelHeight}, {"LabelWidth", lab::LabelWidth},
    {"RightShift", lab::HorzShift},    {"DownShift", lab::VertShift},     {"PageWidth", lab::PageWidth},
    {"PageHeight", lab::PageHeight},
};

std::string LabelSection(int layout) { return "CustLab" + std::to_string(layout + 1); }

void WriteLabelLayout(TIniFile& ini, const TConfigRecord& r, int layout)
{
    const std::string s = LabelSection(layout);
    const std::uint8_t* b = r.LabelLayoutBytes(layout);
    ini.WriteString(s, "LabelID", GetShortStr(b, lab::Name, 10));
    ini.WriteBool(s, "Metric", b[lab::Units] != 0);
    for (const TLabelLength& l : LabelLengths)
        ini.WriteString(s, l.key, Fixed(GetDouble(b, l.offset), 3));
    ini.WriteInteger(s, "NumAcross", b[lab::NumAcross]);
    ini.WriteInteger(s, "NumDown", b[lab::NumDown]);
    ini.WriteString(s, "PaperName", GetShortStr(b, lab::PaperName, 20));
    ini.WriteBool(s, "Portrait", b[lab::Portrait] != 0);
}

void MergeLabelLayout(const TIniFile& ini, TConfigRecord& r, int layout)
{
    const std::string s = LabelSection(layout);
    if (!ini.SectionExists(s))
        return;
    std::uint8_t* b = r.LabelLayoutBytes(layout);
    PutShortStr(b, lab::Name, 10, ini.ReadString(s, "LabelID", ""));
    b[lab::Units] = ini.ReadBool(s, "Metric", false) ? 1 : 0;
    for (const TLabelLength& l : LabelLengths)
        PutDouble(b, l.offset, ini.ReadFloat(s, l.key, GetDouble(b, l.offset)));
    b[lab::NumAcross] = static_cast<std::uint8_t>(ini.ReadInteger(s, "NumAcross", 1));
    b[lab::NumDown] = static_cast<std::uint8_t>(ini.ReadInteger(s, "NumDown", 1));
    PutShortStr(b, lab::PaperName, 20, ini.ReadString(s, "PaperName", ""));
    b[lab::Portrait] = ini.ReadBool(s, "Portrait", false) ? 1 : 0;
}

struct TLabelFont {
    const char* section;
    std::size_t offset;
};
const TLabelFont LabelFonts[] = {{"LABHEAD", LabelHeadFontOffset}, {"LABBODY", LabelBodyFontOffset}};

void WriteLabelFont(TIniFile& ini, const TConfigRecord& r, const TLabelFont& f)
{
    const std::uint8_t* b = r.Bytes() + f.offset;
    ini.WriteString(f.section, "Name", GetShortStr(b, 0, 40));
    ini.WriteInteger(f.section, "Size", b[41]);
    ini.WriteInteger(f.section, "Color", GetI32(b, 44));
    ini.WriteBool(f.section, "Bold", b[48] != 0);
    ini.WriteBool(f.section, "Italic", b[49] != 0);
}

void MergeLabelFont(const TIniFile& ini, TConfigRecord& r, const TLabelFont& f)
{
    if (!ini.SectionExists(f.section))
        return;
    std::uint8_t* b = r.Bytes() + f.offset;
    PutShortStr(b, 0, 40, ini.ReadString(f.section, "Name", "Arial"));
    b[41] = static_cast<std::uint8_t>(ini.ReadInteger(f.section, "Size", 10));
    PutI32(b, 44, ini.ReadInteger(f.section, "Color", 0));
    b[48] = ini.ReadBool(f.section, "Bold", false) ? 1 : 0;
    b[49] = ini.ReadBool(f.section, "Italic", false) ? 1 : 0;
}

std::string WindowSection(int slot) { return std::string("W-") + SettingsWindowNames[slot]; }

} // namespace

void WriteFixedSettings(TIniFile& ini, const TConfigRecord& r, const std::array<int, 2>& splitPositions)
{
    for (const TKeySet& set : KeySets)
        for (int i = 0; i < KeyCount; ++i)
            ini.WriteString(set.section, Key(i), set.get(r, i));
    for (int band = 1; band <= 15; ++band)
        ini.WriteString("CWCUTOFF", BandKey(band), Fixed(r.BandCutoff(band), 2, 10));
    WriteValues(ini, "CW", r, CwKeys);

    ini.WriteString("SYSTEM", "LASTLOG", r.LastLogFile());
    std::string disabled;
    for (int field = 1; field <= DisabledFieldCount; ++field)
        disabled += r.FieldDisabled(field) ? 'Y' : 'N';
    ini.WriteString("SYSTEM", "DISABLED", disabled);

    ini.WriteInteger("ROTATOR", "OFFSET", r.RotatorOffset());
    ini.WriteInteger("ROTATOR", "CORRECTION", r.RotatorCorrection());
    for (int band = 1; band <= 15; ++band)
        ini.WriteInteger("ROTATOR", BandKey(band), r.Bytes()[RotatorRuleOffset + band]);

    for (int slot = 0; slot < PlacementSlotCount; ++slot) {
        const TFormPlacement p = r.Placement(slot);
        if (p.Left == 0 && p.Top == 0)
            continue;
        const std::string s = WindowSection(slot);
        ini.WriteInteger(s, "LEFT", p.Left);
        ini.WriteInteger(s, "TOP", p.Top);
        ini.WriteInteger(s, "HEIGT", p.Height);
        ini.WriteInteger(s, "WIDTH", p.Width);
    }
    ini.WriteInteger(WindowSection(psPack), "POSITION", splitPositions[0]);
    ini.WriteInteger(WindowSection(psRtty), "POSITION", splitPositions[1]);

    for (int col = 0; col < 7; ++col)
        ini.WriteInteger("PACKETCOL", "Col" + std::to_string(col), r.SpotColumnWidth(col));

    if (r.MapProjection() != 255) {
        ini.WriteInteger("MAP", "Projection", r.MapProjection());
        ini.WriteInteger("MAP", "Water", static_cast<std::int32_t>(r.MapWaterColour()));
        ini.WriteInteger("MAP", "Land", static_cast<std::int32_t>(r.MapLandColour()));
    }
    for (int layout = 0; layout < 2; ++layout)
        WriteLabelLayout(ini, r, layout);
    for (const TLabelFont& f : LabelFonts)
        WriteLabelFont(ini, r, f);
    WriteValues(ini, "PSK31", r, PskKeys);
}

bool MergeFixedSettings(const TIniFile& ini, TConfigRecord& r)
{
    for (const TKeySet& set : KeySets)
        if (ini.SectionExists(set.section))
            for (int i = 0; i < KeyCount; ++i)
                set.set(r, i, ini.ReadString(set.section, Key(i), set.get(r, i)));
    if (ini.SectionExists("CWCUTOFF"))
        for (int band = 1; band <= 15; ++band)
            r.SetBandCutoff(band, ini.ReadFloat("CWCUTOFF", BandKey(band), r.BandCutoff(band)));
    if (ini.SectionExists("CW"))
        MergeValues(ini, "CW", r, CwKeys);

    if (ini.SectionExists("SYSTEM")) {
        r.SetLastLogFile(ini.ReadString("SYSTEM", "LASTLOG", ""));
        const std::string disabled = ini.ReadString("SYSTEM", "DISABLED", "");
        for (int field = 1; field <= DisabledFieldCount && field <= static_cast<int>(disabled.size()); ++field)
            r.SetFieldDisabled(field, disabled[static_cast<std::size_t>(field - 1)] == 'Y');
    }

    if (ini.SectionExists("ROTATOR")) {
        r.SetRotatorOffset(ini.ReadInteger("ROTATOR", "OFFSET", 90));
        r.SetRotatorCorrection(ini.ReadInteger("ROTATOR", "CORRECTION", 0));
        for (int band = 1; band <= 15; ++band) {
            std::uint8_t& rule = r.Bytes()[RotatorRuleOffset + band];
            rule = static_cast<std::uint8_t>(ini.ReadInteger("ROTATOR", BandKey(band), rule));
        }
    }

    for (int slot = 0; slot < PlacementSlotCount; ++slot) {
        const std::string s = WindowSection(slot);
        if (!ini.SectionExists(s))
            continue;
        TFormPlacement p = r.Placement(slot);
        p.Left = ini.ReadInteger(s, "LEFT", p.Left);
        p.Top = ini.ReadInteger(s, "TOP", p.Top);
        p.Height = ini.ReadInteger(s, "HEIGT", p.Height);
        p.Width = ini.ReadInteger(s, "WIDTH", p.Width);
        r.SetPlacement(slot, p);
    }
    for (int terminal = 0; terminal < 2; ++terminal) {
        const std::string s = WindowSection(terminal == 0 ? psPack : psRtty);
        if (!ini.SectionExists(s))
            continue;
        TPortSettings p = r.PortSettings(terminal);
        p.SetSplitterPercent(ini.ReadInteger(s, "POSITION", 50));
        r.SetPortSettings(terminal, p);
    }

    bool allColumns = ini.SectionExists("PACKETCOL");
    if (allColumns)
        for (int col = 0; col < 7; ++col) {
            const auto width = static_cast<std::uint16_t>(
                ini.ReadInteger("PACKETCOL", "Col" + std::to_string(col), r.SpotColumnWidth(col)));
            r.SetSpotColumnWidth(col, width);
            allColumns = allColumns && width != 0;
        }

    if (ini.SectionExists("MAP")) {
        r.SetMapProjection(static_cast<std::uint8_t>(ini.ReadInteger("MAP", "Projection", 255)));
        r.SetMapWaterColour(static_cast<std::uint32_t>(ini.ReadInteger("MAP", "Water", 0xFFFF00)));
        r.SetMapLandColour(static_cast<std::uint32_t>(ini.ReadInteger("MAP", "Land", 0x008000)));
    }
    for (int layout = 0; layout < 2; ++layout)
        MergeLabelLayout(ini, r, layout);
    for (const TLabelFont& f : LabelFonts)
        MergeLabelFont(ini, r, f);
    if (ini.SectionExists("PSK31")) {
        MergeValues(ini, "PSK31", r, PskKeys);
        if (r.PskKeying() > 10)
            r.SetPskKeying(1);
    }
    return allColumns;
}

} // namespace korval
