#include "exchange/label_layout.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <iterator>

#include "logbook/base/decimal_text.h"
#include "logbook/base/record_bytes.h"
#include "logbook/config_record.h"
#include "logbook/paths.h"

namespace korval {

namespace {

namespace off {
inline constexpr std::size_t Name = 0, Units = 11, SpacingTop = 12, SpacingLeft = 20, VertPitch = 28,
                             HorzPitch = 36, LabelHeight = 44, LabelWidth = 52, HorzShift = 60, VertShift = 68,
                             NumAcross = 76, NumDown = 77, PageWidth = 78, PageHeight = 86, PaperName = 94,
                             Portrait = 115;
}

// Lengths beyond this (inches) belong to no sheet of labels.
constexpr double kMaxLength = 100;
// Rounding of lengths typed in mm or inch must not refuse a layout that just fits.
constexpr double kTolerance = 0.005;

std::string upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

struct TPaper {
    const char* Name;
    double Width, Height;
};
constexpr TPaper kPapers[] = {
    {"LETTER", 8.5, 11},          {"LEGAL", 8.5, 14},          {"A4", 8.2677, 11.6929},
    {"A5", 5.8268, 8.2677},       {"A3", 11.6929, 16.5354},    {"B5", 6.9291, 9.8425},
    {"EXECUTIVE", 7.25, 10.5},    {"TABLOID", 11, 17},         {"LEDGER", 17, 11},
};

std::string lengthText(double v) { return FormatFixed(v, 3); }

} // namespace

bool TLabelLayout::CustomPaper() const { return upper(PaperName) == "CUSTOM"; }

void TLabelLayout::ToBytes(std::uint8_t* b) const
{
    std::fill(b, b + kSize, std::uint8_t(0));
    PutShortStr(b, off::Name, kNameCap, Name.substr(0, kNameCap));
    b[off::Units] = Units;
    PutDouble(b, off::SpacingTop, SpacingTop);
    PutDouble(b, off::SpacingLeft, SpacingLeft);
    PutDouble(b, off::VertPitch, VertPitch);
    PutDouble(b, off::HorzPitch, HorzPitch);
    PutDouble(b, off::LabelHeight, LabelHeight);
    PutDouble(b, off::LabelWidth, LabelWidth);
    PutDouble(b, off::HorzShift, HorzShift);
    PutDouble(b, off::VertShift, VertShift);
    b[off::NumAcross] = NumAcross;
    b[off::NumDown] = NumDown;
    PutDouble(b, off::PageWidth, PageWidth);
    PutDouble(b, off::PageHeight, PageHeight);
    PutShortStr(b, off::PaperName, kPaperCap, PaperName.substr(0, kPaperCap));
    b[off::Portrait] = Portrait ? 1 : 0;
}

bool TLabelLayout::FromBytes(const std::uint8_t* b, TLabelLayout& l, std::string& why)
{
    if (b[off::Name] > kNameCap) {
        why = "its name is longer than " + std::to_string(kNameCap) + " characters";
        return false;
    }
    if (b[off::PaperName] > kPaperCap) {
        why = "its paper name is longer than " + std::to_string(kPaperCap) + " characters";
        return false;
    }
    if (b[off::Units] > 1 || b[off::Portrait] > 1) {
        why = "its unit or orientation is no choice";
        return false;
    }
    l.Name = GetShortStr(b, off::Name, kNameCap);
    l.Units = b[off::Units];
    const std::pair<double*, std::size_t> lengths[] = {
        {&l.SpacingTop, off::SpacingTop},   {&l.SpacingLeft, off::SpacingLeft}, {&l.VertPitch, off::VertPitch},
        {&l.HorzPitch, off::HorzPitch},     {&l.LabelHeight, off::LabelHeight}, {&l.LabelWidth, off::LabelWidth},
        {&l.HorzShift, off::HorzShift},     {&l.VertShift, off::VertShift},     {&l.PageWidth, off::PageWidth},
        {&l.PageHeight, off::PageHeight}};
    for (const auto& [field, at] : lengths) {
        *field = GetDouble(b, at);
        if (!std::isfinite(*field) || std::fabs(*field) > kMaxLength) {
            why = "a length at byte " + std::to_string(at) + " is no length of a sheet";
            return false;
        }
    }
    l.NumAcross = b[off::NumAcross];
    l.NumDown = b[off::NumDown];
    l.PaperName = GetShortStr(b, off::PaperName, kPaperCap);
    l.Portrait = b[off::Portrait] != 0;
    return true;
}

bool LabelPageSize(const TLabelLayout& layout, double& width, double& height)
{
    width = height = 0;
    if (layout.CustomPaper()) {
        width = layout.PageWidth;
        height = layout.PageHeight;
    } else {
        const std::string want = upper(layout.PaperName);
        if (want.empty())
            return false;
        const TPaper* found = nullptr;
        for (const TPaper& p : kPapers)
            if (std::string(p.Name).find(want) != std::string::npos) {
                found = &p;
                break;
            }
        if (!found)
            return false;
        width = found->Width;
        height = found->Height;
    }
    if (!layout.Portrait)
        std::swap(width, height);
    return true;
}

std::string ValidateLabelLayout(const TLabelLayout& l, double pageWidth, double pageHeight)
{
    const std::string name = "The label layout \"" + l.Name + "\" ";
    if (l.NumAcross == 0 || l.NumDown == 0)
        return name + "has no labels across or down the page.";
    if (l.LabelWidth <= 0 || l.LabelHeight <= 0)
        return name + "has a label width or height of zero.";
    if ((l.NumAcross > 1 && l.HorzPitch <= 0) || (l.NumDown > 1 && l.VertPitch <= 0))
        return name + "has a pitch of zero: its labels lie on top of each other.";
    if (l.SpacingLeft + l.HorzShift < -kTolerance || l.SpacingTop + l.VertShift < -kTolerance)
        return name + "begins above or left of the page.";
    if (l.CustomPaper()) {
        if (l.PageWidth <= 0 || l.PageHeight <= 0)
            return name + "has a custom page of no width or height.";
        pageWidth = l.Portrait ? l.PageWidth : l.PageHeight;
        pageHeight = l.Portrait ? l.PageHeight : l.PageWidth;
    }
    const double right = l.SpacingLeft + l.HorzShift + (l.NumAcross - 1) * l.HorzPitch + l.LabelWidth;
    const double bottom = l.SpacingTop + l.VertShift + (l.NumDown - 1) * l.VertPitch + l.LabelHeight;
    if (pageWidth > 0 && right > pageWidth + kTolerance)
        return name + "is " + lengthText(right) + " inches wide, the page only " + lengthText(pageWidth) + ".";
    if (pageHeight > 0 && bottom > pageHeight + kTolerance)
        return name + "is " + lengthText(bottom) + " inches high, the page only " + lengthText(pageHeight) + ".";
    return {};
}

TLabelLayout CustomLabelLayout(const TConfigRecord& config, int index)
{
    TLabelLayout l;
    std::string why;
    if (!TLabelLayout::FromBytes(config.LabelLayoutBytes(index), l, why)) {
        // A damaged record in the configuration starts again empty under its name.
        l = TLabelLayout{};
        l.Name = index == 0 ? "Custom1" : "Custom2";
    }
    return l;
}

void SetCustomLabelLayout(TConfigRecord& config, int index, const TLabelLayout& layout)
{
    layout.ToBytes(config.LabelLayoutBytes(index));
}

std::string LabelLayoutFileName() { return GetDataFileName(7); }

TLabelLayoutList LoadLabelLayouts(const std::string& labFile, const TConfigRecord& config)
{
    TLabelLayoutList list;
    list.Layouts.push_back(CustomLabelLayout(config, 0));
    list.Layouts.push_back(CustomLabelLayout(config, 1));
    std::ifstream in(labFile, std::ios::binary);
    if (!in)
        return list;
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t n = bytes.size() / TLabelLayout::kSize;
    for (std::size_t i = 0; i < n; ++i) {
        TLabelLayout l;
        std::string why;
        if (TLabelLayout::FromBytes(bytes.data() + i * TLabelLayout::kSize, l, why))
            list.Layouts.push_back(std::move(l));
        else
            list.Problems.push_back("Label layout " + std::to_string(i + 1) + " of " + labFile + " is damaged (" +
                                    why + ") and was left out.");
    }
    if (bytes.size() % TLabelLayout::kSize)
        list.Problems.push_back(labFile + " ends in " + std::to_string(bytes.size() % TLabelLayout::kSize) +
                                " bytes that are no whole label layout; they were left out.");
    return list;
}

namespace {

TLabelFont readFont(const std::uint8_t* b, std::size_t at)
{
    TLabelFont f;
    f.Name = GetShortStr(b, at, 40);
    f.Size = b[at + 41];
    f.Color = GetU32(b, at + 44);
    f.Bold = b[at + 48] != 0;
    f.Italic = b[at + 49] != 0;
    return f;
}

void writeFont(std::uint8_t* b, std::size_t at, const TLabelFont& f)
{
    PutShortStr(b, at, 40, f.Name.substr(0, 40));
    b[at + 41] = f.Size;
    PutU32(b, at + 44, f.Color);
    b[at + 48] = f.Bold ? 1 : 0;
    b[at + 49] = f.Italic ? 1 : 0;
}

} // namespace

TLabelSettings TLabelSettings::FromConfig(const TConfigRecord& config)
{
    const std::uint8_t* b = config.Bytes();
    TLabelSettings s;
    s.CallFont = readFont(b, label_cfg::CallFont);
    s.BodyFont = readFont(b, label_cfg::BodyFont);
    // A configuration that never held label fonts prints in plain Arial.
    if (s.CallFont.Name.empty()) {
        s.CallFont.Name = "Arial";
        s.CallFont.Size = 12;
        s.CallFont.Bold = true;
    }
    if (s.BodyFont.Name.empty()) {
        s.BodyFont.Name = "Arial";
        s.BodyFont.Size = 8;
    }
    if (s.CallFont.Size == 0)
        s.CallFont.Size = 12;
    if (s.BodyFont.Size == 0)
        s.BodyFont.Size = 8;
    s.MaxQsos = std::min<std::uint8_t>(b[label_cfg::MaxQsos], 99);
    s.UseLines = b[label_cfg::UseLines] != 0;
    s.Commercial = b[label_cfg::Commercial] != 0;
    s.CallRightAligned = b[label_cfg::CallRight] != 0;
    s.PrintQslManagers = b[label_cfg::PrintQslMgr] != 0;
    s.PrintMethodLabels = b[label_cfg::PrintMethod] != 0;
    s.PrintGroupNames = b[label_cfg::PrintGroup] != 0;
    for (int i = 0; i < 3; ++i)
        s.Greeting[i] = config.LabelGreeting(i);
    s.CurrentLayout = GetU16(b, label_cfg::CurrentLayout);
    return s;
}

void TLabelSettings::ToConfig(TConfigRecord& config) const
{
    std::uint8_t* b = config.Bytes();
    writeFont(b, label_cfg::CallFont, CallFont);
    writeFont(b, label_cfg::BodyFont, BodyFont);
    b[label_cfg::MaxQsos] = std::min<std::uint8_t>(MaxQsos, 99);
    b[label_cfg::UseLines] = UseLines;
    b[label_cfg::Commercial] = Commercial;
    b[label_cfg::CallRight] = CallRightAligned;
    b[label_cfg::PrintQslMgr] = PrintQslManagers;
    b[label_cfg::PrintMethod] = PrintMethodLabels;
    b[label_cfg::PrintGroup] = PrintGroupNames;
    for (int i = 0; i < 3; ++i)
        config.SetLabelGreeting(i, Greeting[i]);
    PutU16(b, label_cfg::CurrentLayout, static_cast<std::uint16_t>(std::clamp(CurrentLayout, 0, 65535)));
}

TLabelRect LabelRectAt(const TLabelLayout& l, int row, int column)
{
    return {l.SpacingLeft + (column - 1) * l.HorzPitch + l.HorzShift, l.SpacingTop + (row - 1) * l.VertPitch + l.VertShift,
            l.LabelWidth, l.LabelHeight};
}

TLabelPosition TLabelPositions::Next()
{
    if (++pos_.Row > down_) {
        pos_.Row = 1;
        if (++pos_.Column > across_) {
            pos_.Column = 1;
            ++pos_.Page;
        }
    }
    return pos_;
}

} // namespace korval
