#include "logbook/report_definitions.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "logbook/base/ini_file.h"
#include "logbook/paths.h"
#include "logbook/sort_orders.h"
#include "platform/message_dlg.h"

namespace korval {

const TReportField ReportFields[kReportFieldCount] = {
    {"Award", 20, raLeft},     {"AWD", 1, raCentre},       {"AwdStrng", 20, raLeft},   {"AwdVal", 8, raLeft},
    {"Band", 6, raRight},      {"Callsign", 12, raLeft},   {"Callsign Notes", 8, raLeft}, {"Conf", 1, raCentre},
    {"Country", 28, raLeft},   {"County", 18, raLeft},     {"CountyMix", 1, raCentre}, {"Date", 8, raLeft},
    {"DXCCbnd", 1, raCentre},  {"DXCCmix", 1, raCentre},   {"DXCCmod", 1, raCentre},   {"Grid", 6, raLeft},
    {"Group", 3, raRight},     {"Groupname", 25, raLeft},  {"IOTA", 5, raLeft},        {"IOTA Name", 38, raLeft},
    {"IOTAmix", 1, raCentre},  {"Label", 1, raCentre},     {"Mode", 3, raCentre},      {"Number", 6, raRight},
    {"Prefix", 5, raLeft},     {"QRP", 1, raCentre},       {"QSL Date", 8, raLeft},    {"QSL Mgr", 12, raLeft},
    {"QSL Mthd", 6, raLeft},   {"QSO Notes", 8, raLeft},   {"Recvd", 4, raRight},      {"rstR", 4, raRight},
    {"rstS", 4, raRight},      {"Satell", 8, raCentre},    {"SeqPrtNr", 6, raRight},   {"State", 2, raLeft},
    {"State Name", 15, raLeft}, {"Time", 5, raLeft},       {"ValidDX", 1, raCentre},   {"VUCC", 1, raCentre},
    {"WASbnd", 1, raCentre},   {"WASmix", 1, raCentre},    {"WASmod", 1, raCentre},    {"WAZbnd", 1, raCentre},
    {"WAZmix", 1, raCentre},   {"WAZmod", 1, raCentre},    {"WPX", 8, raLeft},         {"WPXbnd", 1, raLeft},
    {"WPXmix", 1, raCentre},   {"WPXmod", 1, raCentre},    {"YLop", 1, raCentre},      {"Zone", 2, raRight},
};

int ReportFieldNumber(std::string_view name)
{
    for (int i = 0; i < kReportFieldCount; ++i)
        if (name == ReportFields[i].Name)
            return i;
    return -1;
}

namespace {

constexpr const char* kSortKey = "SORT";
constexpr const char* kNoteWidthKey = "NOTEWIDTH";

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
               return up(x) == up(y);
           });
}

TReportDefinition DefaultDefinition()
{
    TReportDefinition d;
    d.Name = "??noname report??";
    d.SortOrder = 0;
    d.NoteWidth = 25;
    d.Columns = {rpfCallsign};
    return d;
}

std::string Quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

} // namespace

TReportDefinitions::TReportDefinitions() { items_.push_back(DefaultDefinition()); }

TReportDefinitions::TReportDefinitions(std::string fileName) : fileName_(std::move(fileName))
{
    Read();
    if (items_.empty())
        AddDefault();
    modified_ = false;
}

void TReportDefinitions::Read()
{
    std::error_code ec;
    if (std::filesystem::exists(fileName_, ec)) {
        std::ifstream probe(fileName_, std::ios::binary);
        if (!std::filesystem::is_regular_file(fileName_, ec) || !probe) {
            problems_.push_back(fileName_ + " cannot be read");
            return;
        }
    }
    const TIniFile ini(fileName_);
    for (const std::string& section : ini.SectionNames()) {
        TReportDefinition d;
        const std::string what = "Report " + Quoted(section) + ": ";
        d.Name = section.substr(0, kReportNameCapacity);
        if (d.Name.size() < section.size())
            problems_.push_back(what + "name cut to " + Quoted(d.Name));
        const std::vector<std::string> keys = ini.KeyNames(section);
        // The file keeps the order and the note width as its first two keys; the columns follow.
        if (keys.size() < 2 || !SameText(keys[0], kSortKey) || !SameText(keys[1], kNoteWidthKey)) {
            std::string lost;
            for (std::size_t k = 0; k < keys.size() && k < 2; ++k)
                if (!SameText(keys[k], kSortKey) && !SameText(keys[k], kNoteWidthKey))
                    lost += (lost.empty() ? "" : ", ") + Quoted(keys[k]);
            problems_.push_back(what + "does not begin with SORT and NOTEWIDTH" +
                                (lost.empty() ? std::string() : "; " + lost + " dropped"));
        }
        const std::string sort = ini.ReadString(section, kSortKey, "Date");
        d.SortOrder = soDate;
        bool known = false;
        for (int n = 0; n < kSortOrderCount; ++n)
            if (sort == SortOrderNames[n]) {
                d.SortOrder = static_cast<std::uint8_t>(n);
                known = true;
                break;
            }
        if (!known)
            problems_.push_back(what + "unknown sort order " + Quoted(sort) + ", \"Date\" used");
        // A value that is no number reads as either default; one outside a byte is not taken.
        const std::int32_t width = ini.ReadInteger(section, kNoteWidthKey, -1);
        const bool unreadable = width == -1 && ini.ReadInteger(section, kNoteWidthKey, -2) == -2;
        if (width > 255 || (width < 0 && !unreadable) ||
            (unreadable && !ini.ReadString(section, kNoteWidthKey, "").empty()))
            problems_.push_back(what + "note width " + Quoted(ini.ReadString(section, kNoteWidthKey, "")) +
                                " cannot be used, 15 taken");
        d.NoteWidth = static_cast<std::uint8_t>(width >= 0 && width <= 255 ? width : 15);
        for (std::size_t k = 2; k < keys.size(); ++k) {
            const int field = ReportFieldNumber(keys[k]);
            if (field >= 0 && static_cast<int>(d.Columns.size()) < kMaxReportColumns)
                d.Columns.push_back(static_cast<std::uint8_t>(field));
            else if (field < 0 && !SameText(keys[k], kSortKey) && !SameText(keys[k], kNoteWidthKey))
                problems_.push_back(what + "unknown column " + Quoted(keys[k]) + " dropped");
        }
        items_.push_back(std::move(d));
    }
}

bool TReportDefinitions::GetName(int index, std::string& name) const
{
    if (index < 0 || index >= Count())
        return false;
    name = items_[static_cast<std::size_t>(index)].Name;
    return true;
}

bool TReportDefinitions::GetItem(int index, TReportDefinition& def) const
{
    if (index < 0 || index >= Count())
        return false;
    def = items_[static_cast<std::size_t>(index)];
    return true;
}

void TReportDefinitions::SetItem(int index, const TReportDefinition& def)
{
    if (index < 0 || index >= Count())
        return;
    TReportDefinition& d = items_[static_cast<std::size_t>(index)];
    d = def;
    d.Name.resize(std::min(d.Name.size(), kReportNameCapacity));
    if (d.Columns.size() > static_cast<std::size_t>(kMaxReportColumns))
        d.Columns.resize(kMaxReportColumns);
    modified_ = true;
}

void TReportDefinitions::AddDefault()
{
    items_.push_back(DefaultDefinition());
    modified_ = true;
}

int TReportDefinitions::IndexOfName(std::string_view name) const
{
    for (int i = 0; i < Count(); ++i)
        if (SameText(items_[static_cast<std::size_t>(i)].Name, name))
            return i;
    return -1;
}

std::string TReportDefinitions::Text() const
{
    // Built anew: nothing of the old file survives but what the definitions hold.
    TIniFile ini(fileName_, false);
    for (const TReportDefinition& d : items_) {
        ini.WriteString(d.Name, kSortKey, SortOrderNames[d.SortOrder < kSortOrderCount ? static_cast<int>(d.SortOrder) : static_cast<int>(soDate)]);
        ini.WriteInteger(d.Name, kNoteWidthKey, d.NoteWidth);
        for (std::uint8_t c : d.Columns)
            if (c < kReportFieldCount)
                ini.WriteString(d.Name, ReportFields[c].Name, "");
    }
    std::string text = ini.Text();
    ini.DiscardChanges();
    return text;
}

void TReportDefinitions::Save()
{
    if (!modified_ || fileName_.empty())
        return;
    std::unique_ptr<AtomicFile> file = PrepareFileRewrite(fileName_);
    file->write(Text());
    file->commit();
    modified_ = false;
}

namespace {
std::unique_ptr<TReportDefinitions> g_definitions;
}

TReportDefinitions& ReportDefinitions()
{
    if (!g_definitions)
        g_definitions = std::make_unique<TReportDefinitions>();
    return *g_definitions;
}

void SetReportDefinitions(std::unique_ptr<TReportDefinitions> defs) { g_definitions = std::move(defs); }

void LoadReportDefinitions()
{
    g_definitions = std::make_unique<TReportDefinitions>(GetDataFileName(dfReports));
    const auto& problems = g_definitions->Problems();
    if (problems.empty())
        return;
    std::string text = "Some report definitions could not be read completely:";
    for (const std::string& p : problems)
        text += "\r" + p;
    MessageDlg(text, TMsgDlgType::mtWarning, mbOK);
}

void SaveReportDefinitions()
{
    if (!g_definitions)
        return;
    try {
        g_definitions->Save();
    } catch (const std::exception& e) {
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
    }
}

} // namespace korval
