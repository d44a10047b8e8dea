// A report run on the surface: the page loop, page changes and which pages are produced, the
// output destinations, the hooks around pages, the status text and the macro tokens.
#include "reporting/base_report.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <stdexcept>

#include "reporting/report_strings.h"
#include "logbook/base/string_utils.h"

namespace korval {

// ---- events

void TBaseReport::DoPrint()
{
    if (OnPrint)
        OnPrint(*this);
}

bool TBaseReport::DoPrintPage()
{
    return OnPrintPage ? OnPrintPage(*this, currentPage_) : false;
}

void TBaseReport::DoBeforePrint()
{
    if (OnBeforePrint)
        OnBeforePrint(*this);
}

void TBaseReport::DoAfterPrint()
{
    if (OnAfterPrint)
        OnAfterPrint(*this);
}

void TBaseReport::DoNewPage()
{
    if (OnNewPage)
        OnNewPage(*this);
}

void TBaseReport::DoNewColumn()
{
    if (OnNewColumn)
        OnNewColumn(*this);
}

void TBaseReport::DoPrintHeader()
{
    if (OnPrintHeader)
        OnPrintHeader(*this);
}

void TBaseReport::DoPrintFooter()
{
    if (OnPrintFooter)
        OnPrintFooter(*this);
}

void TBaseReport::DoEndOfSection()
{
    if (OnEndOfSection)
        OnEndOfSection(*this);
}

// ---- the run

void TBaseReport::Execute()
{
    BeginDoc();
    // A document that could not begin (no printer, no stream) has already told the operator.
    if (!printing_)
        return;
    try {
        if (!OnPrint && OnPrintPage) {
            while (DoPrintPage() && !aborted_)
                NewPage();
        } else {
            DoPrint();
        }
    } catch (...) {
        EndDoc();
        throw;
    }
    EndDoc();
}

bool TBaseReport::OpenDocument(const std::function<bool()>& startJob)
{
    aborted_ = false;
    currentPage_ = 0;
    DoBeforePrint();
    if (startJob && !startJob())
        return false;
    AttachFontChange();
    ReadDeviceMetrics();
    printing_ = true;
    return true;
}

void TBaseReport::BeginFirstPage()
{
    reportDateTime_ = Clock ? Clock() : std::time(nullptr);
    const bool pushed = PushTabs();
    originX_ = originY_ = 0;
    sectionLeft_ = leftMarginLine_;
    sectionRight_ = rightMarginLine_;
    sectionTop_ = topMarginLine_;
    sectionBottom_ = bottomMarginLine_;
    ResetColumns();
    ClearTabs();
    JustifyOverride = 4;
    if (pushed)
        PopTabs();
    currentPage_ = 1;
    skipOutput_ = !PageSelected(1) || aborted_;
    StartPageOutput();
    GotoFirstLine();
    UpdateStatus();
    if (!aborted_)
        RunHooks(hkBeforePage);
    if (!aborted_)
        DoNewPage();
    if (!aborted_)
        DoPrintHeader();
}

void TBaseReport::NewPage()
{
    CheckPrinting();
    DoPrintFooter();
    RunHooks(hkAfterPage);
    EndPageOutput();
    ++currentPage_;
    UpdateStatus();
    skipOutput_ = !PageSelected(currentPage_) || aborted_;
    originX_ = originY_ = 0;
    ResetTabCursor();
    // The page size may have changed.
    SetMarginBottom(marginBottom_);
    SetMarginRight(marginRight_);
    sectionLeft_ = leftMarginLine_;
    sectionRight_ = rightMarginLine_;
    sectionTop_ = topMarginLine_;
    sectionBottom_ = bottomMarginLine_;
    StartPageOutput();
    if (columnCount_ > 1)
        DoNewColumn();
    GotoFirstLine();
    RunHooks(hkBeforePage);
    DoNewPage();
    DoPrintHeader();
}

void TBaseReport::FinishLastPage()
{
    if (aborted_)
        return;
    DoPrintFooter();
    RunHooks(hkAfterPage);
}

void TBaseReport::AbortPage()
{
    CheckPrinting();
    if (skipOutput_)
        return;
    skipOutput_ = true;
    --currentPage_;
    // Box lines of the discarded page are not drawn on the next one.
    lineBuffer_.Clear();
}

void TBaseReport::Abort()
{
    aborted_ = true;
    skipOutput_ = true;
}

bool TBaseReport::ShouldSkip()
{
    const int kind = Destination();
    return skipOutput_ || kind > 7 || !(outputSet_ & (1u << kind));
}

void TBaseReport::PreviewOutputOnly()
{
    outputSet_ = std::uint8_t((outputSet_ & ~1u) | 2u);
}

void TBaseReport::PrinterOutputOnly()
{
    outputSet_ = std::uint8_t((outputSet_ & ~2u) | 1u);
}

void TBaseReport::AllOutput()
{
    outputSet_ |= 3u;
}

void TBaseReport::AddHook(int kind, std::function<void()> hook)
{
    auto& list = kind == hkBeforePage ? beforeHooks_ : afterHooks_;
    list.insert(list.begin(), std::move(hook));
}

void TBaseReport::RunHooks(int kind)
{
    const auto list = kind == hkBeforePage ? beforeHooks_ : afterHooks_;
    for (const auto& hook : list)
        hook();
}

// ---- page selection

namespace {

// The platform's integer conversion: a whole decimal number or its error.
int pageNumber(const std::string& text)
{
    int value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    if (first < last && *first == '+')
        ++first;
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (text.empty() || ec != std::errc() || ptr != last)
        throw std::invalid_argument("'" + text + "' is not a valid integer value");
    return value;
}

bool itemSelects(const std::string& item, int page)
{
    const size_t minus = item.find('-');
    const bool ranged = minus != std::string::npos;
    const std::string raw = std::string(Trim(ranged ? item.substr(minus + 1) : item, kBlankAndControls));
    const std::string token = UpperCase(raw);
    int start = 1;
    if (ranged) {
        const std::string from = std::string(Trim(item.substr(0, minus), kBlankAndControls));
        if (!from.empty())
            start = pageNumber(from);
    }
    if (token.empty())
        return ranged && page >= start;
    if (token == "E" || token == "EVEN")
        return page % 2 == 0;
    if (token == "O" || token == "ODD")
        return page % 2 != 0;
    if (token == "A" || token == "ALL")
        return true;
    if (token == "R")
        return false;
    const int last = pageNumber(raw);
    return ranged ? start <= page && page <= last : page == last;
}

} // namespace

bool TBaseReport::PageSelected(int page) const
{
    if (Trim(SelectionText, kBlankAndControls).empty())
        return FirstPage <= page && page <= LastPage;
    size_t start = 0;
    while (true) {
        const size_t comma = SelectionText.find(',', start);
        const std::string item =
            SelectionText.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (itemSelects(item, page))
            return true;
        if (comma == std::string::npos)
            return false;
        start = comma + 1;
    }
}

// ---- status and macros

std::string TBaseReport::DeviceNameText() const
{
    return Destination() == dkPreview ? "Preview" : device_.DeviceName();
}

std::string TBaseReport::DriverNameText() const
{
    return Destination() == dkPreview ? "Preview" : device_.DriverName();
}

std::string TBaseReport::PortNameText() const
{
    return Destination() == dkPreview ? "Screen" : device_.PortName();
}

std::string TBaseReport::FormatStatus(const std::string& format) const
{
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            out += format[i];
            continue;
        }
        const char code = UpperChar(format[++i]);
        switch (code) {
        case '%': out += '%'; break;
        case 'C': out += std::to_string(CurrentCopy); break;
        case 'D': out += DeviceNameText(); break;
        case 'F': out += std::to_string(FirstPage); break;
        case 'L': out += std::to_string(LastPage); break;
        case 'N': out += '\r'; break;
        case 'P': out += std::to_string(currentPage_); break;
        case 'R': out += DriverNameText(); break;
        case 'S': out += std::to_string(TotalCopies); break;
        case 'T': out += PortNameText(); break;
        default:
            if (code >= '0' && code <= '9') {
                const size_t line = size_t(code - '0');
                if (line < StatusText.size())
                    out += StatusText[line];
            } else {
                out += "<ERROR-%";
                out += code;
                out += '>';
            }
        }
    }
    return out;
}

void TBaseReport::UpdateStatus()
{
    const auto label = StatusLabel.lock();
    if (!label)
        return;
    label->SetCaption(FormatStatus(StatusFormat));
    ProcessReportMessages();
}

namespace {

std::string formatTime(std::time_t when, const char* format)
{
    std::tm tm{};
    localtime_r(&when, &tm);
    char buffer[128];
    const size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
    return std::string(buffer, n);
}

constexpr std::string_view kMacroToken = "\xFD$RPCM";
constexpr std::string_view kNamedToken = "\xFD$RPCV\xFC";
// Macro lines may hold tokens themselves; a chain that keeps producing tokens stops here.
constexpr int kMaxExpansionPasses = 16;

} // namespace

std::string TBaseReport::GetMacro(int id) const
{
    switch (id) {
    case 0: return formatTime(reportDateTime_, "%x");
    case 1: return formatTime(reportDateTime_, "%A, %B %d, %Y");
    case 2: return formatTime(reportDateTime_, "%m/%d/%y");
    case 3: return formatTime(reportDateTime_, "%d/%m/%y");
    case 4: return formatTime(reportDateTime_, "%H:%M");
    case 5: return formatTime(reportDateTime_, "%H:%M:%S");
    case 6: return formatTime(reportDateTime_, "%I:%M %p");
    case 7: return formatTime(reportDateTime_, "%H:%M");
    case 8: return std::to_string(FirstPage);
    case 9: return std::to_string(LastPage);
    case 10: return std::to_string(TotalPages);
    case 11:
    case 12: return std::to_string(currentPage_);
    case 13: return DeviceNameText();
    case 14: return DriverNameText();
    case 15: return PortNameText();
    default:
        if (id >= 16 && id <= 35 && size_t(id - 16) < MacroLines.size())
            return MacroLines[size_t(id - 16)];
        return {};
    }
}

void TBaseReport::ExpandMacros(std::string& text)
{
    for (int pass = 0; pass < kMaxExpansionPasses; ++pass) {
        bool replaced = false;
        std::string out;
        size_t i = 0;
        while (i < text.size()) {
            const size_t at = text.find('\xFD', i);
            if (at == std::string::npos) {
                out.append(text, i, std::string::npos);
                break;
            }
            out.append(text, i, at - i);
            const std::string_view rest = std::string_view(text).substr(at);
            if (rest.substr(0, kMacroToken.size()) == kMacroToken && rest.size() >= 8 &&
                std::isdigit(static_cast<unsigned char>(rest[6])) && std::isdigit(static_cast<unsigned char>(rest[7]))) {
                out += GetMacro((rest[6] - '0') * 10 + (rest[7] - '0'));
                i = at + 8;
                replaced = true;
            } else if (rest.substr(0, kNamedToken.size()) == kNamedToken) {
                const size_t nameStart = at + kNamedToken.size();
                const size_t close = text.find('\xFB', nameStart);
                out += GetNamedString(text.substr(nameStart, close == std::string::npos ? std::string::npos
                                                                                          : close - nameStart));
                i = close == std::string::npos ? text.size() : close + 1;
                replaced = true;
            } else {
                out += '\xFD';
                i = at + 1;
            }
        }
        text = std::move(out);
        if (!replaced)
            return;
    }
}

void TBaseReport::AssignTo(TBaseReport& dest) const
{
    dest.FirstPage = FirstPage;
    dest.LastPage = LastPage;
    dest.SelectionText = SelectionText;
    dest.StatusLabel = StatusLabel;
    dest.StatusFormat = StatusFormat;
    dest.StatusText = StatusText;
    dest.LineHeightMethod = LineHeightMethod;
    dest.lineHeight_ = lineHeight_;
    dest.linesPerInch_ = linesPerInch_;
    dest.units_ = units_;
    dest.SetMarginLeft(marginLeft_);
    dest.SetMarginRight(marginRight_);
    dest.SetMarginTop(marginTop_);
    dest.SetMarginBottom(marginBottom_);
    dest.tabShade_ = tabShade_;
    dest.ShadeColor = ShadeColor;
    dest.ShadeOutlineColor = ShadeOutlineColor;
    dest.Title = Title;
    dest.textBKMode_ = textBKMode_;
    if (!dest.printing_)
        dest.SetCopies(copies_);
    dest.SetOrientation(orientation_);
    dest.scaleX_ = scaleX_;
    dest.scaleY_ = scaleY_;
    dest.MacroLines = MacroLines;
    CopyPageEvents(*this, dest);
}

} // namespace korval
