#include "entry/ovc_strings.h"

#include "entry/ovc_exceptions.h"

#include <algorithm>

namespace korval {

namespace {

uint32_t getU32(const std::string& b, size_t off)
{
    return uint32_t(uint8_t(b[off])) | uint32_t(uint8_t(b[off + 1])) << 8 |
           uint32_t(uint8_t(b[off + 2])) << 16 | uint32_t(uint8_t(b[off + 3])) << 24;
}

void putU32(std::string& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(char((v >> (8 * i)) & 0xFF));
}

// Windows-1252 0x80..0x9F as Unicode; the rest of the byte range maps to itself.
const char16_t kHigh1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t toUnicode(uint8_t c)
{
    return (c >= 0x80 && c < 0xA0) ? kHigh1252[c - 0x80] : char16_t(c);
}

char fromUnicode(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return char(u);
    for (int i = 0; i < 32; ++i)
        if (kHigh1252[i] == u)
            return char(0x80 + i);
    return '?';
}

std::string replaceFirst(std::string s, const std::string& what, const std::string& with)
{
    auto p = s.find(what);
    if (p != std::string::npos)
        s.replace(p, what.size(), with);
    return s;
}

// The reader's own messages.
std::string readerMessage(int id, const std::string& arg)
{
    switch (id) {
    case SRStringNotFound: return replaceFirst("String not found: %d", "%d", arg);
    case SRCannotLock: return "Cannot lock resource";
    case SRResourceNotFound: return replaceFirst("String resource not found: %s", "%s", arg);
    case SRCannotOpen: return replaceFirst("Unable to open string resource: %s", "%s", arg);
    default: return replaceFirst("%s is not a valid string resource", "%s", arg);
    }
}

const char* const kCommandNames[76] = {
    "ccNone", "ccBack", "ccBotOfPage", "ccBotRightCell", "ccCompleteDate", "ccCompleteTime",
    "ccCopy", "ccCtrlChar", "ccCut", "ccDec", "ccDel", "ccDelBol", "ccDelEol", "ccDelLine",
    "ccDelWord", "ccDown", "ccEnd", "ccExtendDown", "ccExtendEnd", "ccExtendHome", "ccExtendLeft",
    "ccExtendPgDn", "ccExtendPgUp", "ccExtendRight", "ccExtendUp", "ccExtBotOfPage",
    "ccExtFirstPage", "ccExtLastPage", "ccExtTopOfPage", "ccExtWordLeft", "ccExtWordRight",
    "ccFirstPage", "ccGotoMarker0", "ccGotoMarker1", "ccGotoMarker2", "ccGotoMarker3",
    "ccGotoMarker4", "ccGotoMarker5", "ccGotoMarker6", "ccGotoMarker7", "ccGotoMarker8",
    "ccGotoMarker9", "ccHome", "ccInc", "ccIns", "ccLastPage", "ccLeft", "ccNewLine",
    "ccNextPage", "ccPageLeft", "ccPageRight", "ccPaste", "ccPrevPage", "ccRedo", "ccRestore",
    "ccRight", "ccScrollDown", "ccScrollUp", "ccSetMarker0", "ccSetMarker1", "ccSetMarker2",
    "ccSetMarker3", "ccSetMarker4", "ccSetMarker5", "ccSetMarker6", "ccSetMarker7",
    "ccSetMarker8", "ccSetMarker9", "ccTab", "ccTableEdit", "ccTopLeftCell", "ccTopOfPage",
    "ccUndo", "ccUp", "ccWordLeft", "ccWordRight"};

const char* const kColorNames[16] = {"Black", "Maroon", "Green", "Olive", "Navy", "Purple",
                                     "Teal", "Gray", "Silver", "Red", "Lime", "Yellow",
                                     "Blue", "Fuchsia", "Aqua", "White"};

const char* const kDataTypeNames[16] = {"String", "Char", "Boolean", "YesNo", "LongInt",
                                        "Word", "SmallInt", "Byte", "ShortInt", "Real",
                                        "Extended", "Double", "Single", "Comp", "Date", "Time"};

// The texts the controls of this program show or raise.
std::vector<std::pair<int, std::string>> controlTexts()
{
    std::vector<std::pair<int, std::string>> t = {
        {30168, "Unknown Error condition"},
        {30169, "Duplicate command found while adding a new command to the table"},
        {30170, "Command table not found or command table index out of range"},
        {30172, "No Controller assigned"},
        {30179, "Value is not within required range"},
        {30180, "Value is not valid for this field type"},
        {30181, "A value is required in this field"},
        {30182, "Value is not a valid date"},
        {30183, "Value is not a valid time"},
        {30184, "This field should contain no blanks"},
        {30185, "This field should be either empty or completely full"},
        {30188, "Parameter value is invalid"},
        {30189, "No Window's timers are available"},
        {30192, "OnSelect event is not assigned"},
        {30193, "Invalid page index value"},
        {30194, "Invalid data type for this field"},
        {30195, "Invalid font. Non toTop oriented tabs require a True-Type font"},
        {30202, "Invalid picture mask: %s"},
        {30203, "Invalid range. Enter a value between (%d) and (%d)"},
        {30204, "Invalid range. Enter a value between (-1.7e+38) and (+1.7e+38)"},
        {30205, "Invalid range. Enter a value between (-1.1e+4932) and (+1.1e+4932)"},
        {30206, "Invalid range. Enter a value between (-1.7e+308) and (+1.7e+308)"},
        {30207, "Invalid range. Enter a value between (-3.4e+38) and (+3.4e+38)"},
        {30208, "Invalid range. Enter a value between (-9.2e+18) and (+9.2e+18)"},
        {30209, "Invalid date range. Enter a value using '%s' as the format"},
        {30210, "Invalid time range. Enter a value using '%s' as the format"},
        {30211, "Invalid range value"},
        {30226, "OnIsSelected event is not assigned"},
        {30241, "No collection exists in the owner component"},
        {30242, "Owner must be a TOvcComponent or TOvcCustomComponent descendant"},
        {30244, "Label not attached"},
        {30245, "Item class not set"},
        {30246, "No collection found for this type"},
        {30266, "Grid"},
        {30267, "(None)"},
        {30268, "ccUser"},
        {30269, "ccUser%d"},
        {30270, "Delete the %s table?"},
        {30271, "Rename Table"},
        {30272, "Enter new table name for %s:"},
        {30273, "NewTable"},
        {30275, "Default"},
        {30276, "WordStar"},
        {30277, "(Unknown)"},
        {30278, "Entry Error"},
        {30287, "&Restore"},
        {30288, "Cu&t"},
        {30289, "&Copy"},
        {30290, "&Paste"},
        {30291, "&Delete"},
        {30292, "Select &All"},
        {30368, "Y"},
        {30369, "N"},
        {30370, "T"},
        {30371, "F"},
        {30372, "Hours"},
        {30373, "Minutes"},
        {30374, "Seconds"},
        {30375, "Close"},
    };
    for (int i = 0; i < 16; ++i)
        t.emplace_back(SCColorNames + i, kColorNames[i]);
    for (int i = 0; i < 76; ++i)
        t.emplace_back(SCCommandNames + i, kCommandNames[i]);
    for (int i = 0; i < 16; ++i)
        t.emplace_back(SCDataTypeNames + i, kDataTypeNames[i]);
    return t;
}

} // namespace

TOvcStringResource::TOvcStringResource(std::string name, std::string bytes)
    : name_(std::move(name)), bytes_(std::move(bytes))
{
    if (bytes_.size() < 8 || bytes_.compare(0, 4, "STR0") != 0)
        throw EOvcException(readerMessage(SRNotValid, name_));
    uint32_t count = getU32(bytes_, 4);
    if (count > (bytes_.size() - 8) / 12)
        throw EOvcException(readerMessage(SRNotValid, name_));
    uint32_t prevId = 0;
    for (uint32_t i = 0; i < count; ++i) {
        size_t e = 8 + size_t(i) * 12;
        uint32_t id = getU32(bytes_, e), off = getU32(bytes_, e + 4), len = getU32(bytes_, e + 8);
        // Entries out of order would defeat the bisection; texts outside the bytes would be read
        // past the end.
        if ((i > 0 && id <= prevId) || off > bytes_.size() || len > (bytes_.size() - off) / 2)
            throw EOvcException(readerMessage(SRNotValid, name_));
        prevId = id;
    }
    count_ = int(count);
}

int TOvcStringResource::find(int id) const
{
    // Ids are stored as 32 bits without sign; an int id carries the same bits.
    const uint32_t want = uint32_t(id);
    int lo = 0, hi = count_ - 1;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        uint32_t midId = getU32(bytes_, 8 + size_t(mid) * 12);
        if (midId == want)
            return mid;
        if (midId < want)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return -1;
}

bool TOvcStringResource::HasString(int id) const
{
    return find(id) >= 0;
}

std::string TOvcStringResource::GetString(int id) const
{
    int i = find(id);
    if (i < 0) {
        if (RaiseOnMissing)
            throw EOvcException(readerMessage(SRStringNotFound, std::to_string(id)));
        return {};
    }
    size_t e = 8 + size_t(i) * 12;
    uint32_t off = getU32(bytes_, e + 4), len = getU32(bytes_, e + 8);
    std::string out;
    out.reserve(len);
    for (uint32_t k = 0; k < len; ++k) {
        char16_t u = char16_t(uint8_t(bytes_[off + 2 * k]) | uint8_t(bytes_[off + 2 * k + 1]) << 8);
        out.push_back(fromUnicode(u));
    }
    return out;
}

std::string BuildStringResource(std::vector<std::pair<int, std::string>> entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return uint32_t(a.first) < uint32_t(b.first); });
    std::string b = "STR0";
    putU32(b, uint32_t(entries.size()));
    uint32_t off = uint32_t(8 + 12 * entries.size());
    for (const auto& [id, text] : entries) {
        putU32(b, uint32_t(id));
        putU32(b, off);
        putU32(b, uint32_t(text.size()));
        off += uint32_t(2 * text.size());
    }
    for (const auto& e : entries)
        for (char c : e.second) {
            char16_t u = toUnicode(uint8_t(c));
            b.push_back(char(u & 0xFF));
            b.push_back(char(u >> 8));
        }
    return b;
}

const TOvcStringResource& ControlStrings()
{
    static const TOvcStringResource table("CONTROL_STRINGS_ENGLISH",
                                          BuildStringResource(controlTexts()));
    return table;
}

std::string GetLibraryString(int id)
{
    const auto& t = ControlStrings();
    return t.HasString(id) ? t.GetString(id) : std::string("Unknown");
}

std::string FormatLibraryString(int id, const std::vector<std::string>& args)
{
    std::string text = GetLibraryString(id);
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == 's' || text[i + 1] == 'd') &&
            next < args.size()) {
            out += args[next++];
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

} // namespace korval
