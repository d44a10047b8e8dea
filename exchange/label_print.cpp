#include "exchange/label_print.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "logbook/base/day_number.h"
#include "logbook/bands_modes.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/note_editing.h"
#include "logbook/qso_data.h"
#include "logbook/qso_fields.h"
#include "logbook/qso_record.h"
#include "platform/message_dlg.h"
#include "reporting/base_report.h"
#include "reporting/report_system.h"

namespace korval {

namespace {

constexpr double kInnerMargin = 0.06;  // inches inside each label edge
constexpr double kCornerEllipse = 0.2;

// Route order of QSL labels: "$$$$", "Direct", "QSLSvc", "Buro", "Other", none, "Ignore".
int routeRank(int route)
{
    switch (route) {
    case qrMoney: return 0;
    case qrDirect: return 1;
    case qrQslSvc: return 2;
    case qrBuro: return 3;
    case qrOther: return 4;
    case qrNone: return 5;
    default: return 6;
    }
}

double round4(double v) { return std::round(v * 10000) / 10000; }

std::string routeName(int route)
{
    return route >= 1 && route <= kQslRouteCount ? QslRouteNames[route - 1] : "";
}

std::string replaceAll(std::string s, const std::string& what, const std::string& with)
{
    for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + with.size()))
        s.replace(at, what.size(), with);
    return s;
}

// Within the United States calls sort by their call area: "0" without a digit, else the digit;
// after a 4 its position in the call.
std::string usSortPrefix(const std::string& call)
{
    const auto digit = std::find_if(call.begin(), call.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
    if (digit == call.end())
        return "0";
    std::string p(1, *digit);
    if (*digit == '4')
        p += static_cast<char>('0' + (digit - call.begin()));
    return p;
}

} // namespace

TLabelLookups TLabelLookups::Program()
{
    TLabelLookups l;
    l.ManagerOf = [](const TQsoRecord& q) { return GetQslManager(q.Call.str(), q.Date).substr(0, 12); };
    l.CountryOf = [](const std::string& call, const TQsoRecord& q) { return int(CountryOfCall(call, q.Date)); };
    l.HasBureau = [](int country) {
        TCountryRecord c;
        return !(country >= 0 && GetCountry(static_cast<std::uint16_t>(country), c) && c.Bureau == NoQslBureau);
    };
    l.AddressOf = [](const std::string& call) { return ManagerAddressLines(call); };
    l.UsCountry = int(CountryOfCall("W1AW", 0));
    return l;
}

TLabelQueue::TLabelQueue(TQsoData& log, int kind, TLabelLookups lookups)
    : log_(log), kind_(kind), lookups_(std::move(lookups))
{
}

std::string TLabelQueue::ManagerOf(const TQsoRecord& q) const
{
    return choice_.PrintQslManagers && lookups_.ManagerOf ? lookups_.ManagerOf(q) : std::string();
}

std::vector<std::string> TLabelQueue::ManagerAddress(const TQsoRecord& q) const
{
    const int route = RouteOf(q);
    if ((route != qrDirect && route != qrMoney) || !lookups_.AddressOf)
        return {};
    const std::string manager = ManagerOf(q);
    return manager.empty() ? std::vector<std::string>() : lookups_.AddressOf(manager);
}

bool TLabelQueue::toMissingCountry(const TQsoRecord& q) const
{
    if (!lookups_.HasBureau)
        return false;
    int country = q.Country;
    const std::string manager = ManagerOf(q);
    if (!manager.empty() && lookups_.CountryOf)
        country = lookups_.CountryOf(manager, q);
    return !lookups_.HasBureau(country);
}

void TLabelQueue::Build(const TLabelChoice& choice)
{
    choice_ = choice;
    list_.clear();
    swl_.clear();
    planned_.clear();
    dropped_.clear();
    missing_ = 0;
    if (kind_ == lkSwl) {
        for (int i = 0; i < static_cast<int>(log_.Swl().size()); ++i)
            swl_.push_back(&log_.SwlAt(i));
        return;
    }
    for (TQsoRecord* q : LabelQueue(log_, kind_)) {
        if (choice_.Method != 0 && q->QslRoute != choice_.Method)
            continue;
        list_.push_back(q);
        if (q->QslRoute == qrBuro && toMissingCountry(*q))
            ++missing_;
    }
    sort();
}

int TLabelQueue::CountShown() const
{
    if (kind_ == lkSwl)
        return static_cast<int>(swl_.size());
    return static_cast<int>(list_.size()) - (choice_.AltMethod == qrIgnore ? missing_ : 0);
}

std::string TLabelQueue::CountText() const { return "Printing " + std::to_string(CountShown()) + " QSOs"; }

int TLabelQueue::RouteOf(const TQsoRecord& q) const
{
    const auto it = planned_.find(&q);
    return it != planned_.end() ? it->second : q.QslRoute;
}

void TLabelQueue::sort()
{
    if (kind_ == lkSequence) {
        std::stable_sort(list_.begin(), list_.end(),
                         [](const TQsoRecord* a, const TQsoRecord* b) { return a->SeqPrtNr < b->SeqPrtNr; });
        return;
    }
    struct TKey {
        int rank, country;
        std::string text;
        bool received;
        std::uint16_t date;
        std::int32_t time;
    };
    std::map<const TQsoRecord*, TKey> keys;
    for (const TQsoRecord* q : list_) {
        const std::string manager = ManagerOf(*q);
        const std::string addressee = manager.empty() ? q->Call.str() : manager;
        int country = q->Country;
        if (!manager.empty() && lookups_.CountryOf)
            country = lookups_.CountryOf(manager, *q);
        std::string text = (manager + q->Call.str()).substr(0, 24);
        if (country == lookups_.UsCountry && lookups_.UsCountry >= 0)
            text = usSortPrefix(addressee) + text;
        if (choice_.PrintGroupNames)
            text += log_.GroupName(*q);
        keys[q] = {routeRank(RouteOf(*q)), country, text, q->HasFlag(qfQslReceived), q->Date, q->Time};
    }
    std::stable_sort(list_.begin(), list_.end(), [&](const TQsoRecord* a, const TQsoRecord* b) {
        const TKey& x = keys[a];
        const TKey& y = keys[b];
        if (x.rank != y.rank)
            return x.rank < y.rank;
        if (x.country != y.country)
            return x.country < y.country;
        if (x.text != y.text)
            return x.text < y.text;
        if (x.received != y.received)
            return x.received;
        if (x.date != y.date)
            return x.date < y.date;
        return x.time < y.time;
    });
}

void TLabelQueue::PlanRun()
{
    planned_.clear();
    dropped_.clear();
    if (kind_ == lkSwl)
        return;
    if (missing_ >= 1 && choice_.AltMethod != qrBuro) {
        std::vector<TQsoRecord*> kept;
        for (TQsoRecord* q : list_) {
            if (q->QslRoute == qrBuro && toMissingCountry(*q)) {
                if (choice_.AltMethod == qrIgnore) {
                    dropped_.push_back(q);
                    continue;
                }
                planned_[q] = choice_.AltMethod;
            }
            kept.push_back(q);
        }
        list_ = std::move(kept);
    }
    sort();
}

void TLabelQueue::CommitRun()
{
    bool changed = false;
    for (const auto& [q, route] : planned_) {
        auto* rec = const_cast<TQsoRecord*>(q);
        if (rec->QslRoute != route) {
            rec->QslRoute = static_cast<std::uint8_t>(route);
            changed = true;
        }
    }
    for (TQsoRecord* q : dropped_) {
        if (q->HasFlag(qfLabelToPrint)) {
            q->Flags = static_cast<std::uint8_t>(q->Flags & ~qfLabelToPrint);
            changed = true;
        }
    }
    planned_.clear();
    dropped_.clear();
    if (changed)
        log_.SetModified();
}

// ---- the label printer

TMyLabPr::TMyLabPr(const TLabelLayout& layout, const TLabelSettings& settings, int kind)
    : layout_(layout), settings_(settings), kind_(kind), positions_(layout)
{
}

void TMyLabPr::Attach(TReportSystem& system, std::function<void(TMyLabPr&)> fill)
{
    fill_ = std::move(fill);
    system.OnBeforePrint = [this](TBaseReport& r) { beforePrint(r); };
    system.OnPrint = [this](TBaseReport& r) { print(r); };
}

std::function<void(TMyLabPr&)> TMyLabPr::FillFrom(const TLabelQueue& queue)
{
    return [&queue](TMyLabPr& p) {
        const bool groups = queue.Choice().PrintGroupNames;
        for (TSwlRecord* s : queue.SwlList()) {
            if (p.Aborted())
                break;
            TLabelQso l;
            l.Call = s->Call.str();
            l.Group = groups ? queue.Log().GroupNameOf(s->Group) : std::string();
            l.Date = s->Date;
            l.Time = s->Time;
            l.Band = s->Band;
            l.Mode = s->Mode;
            l.Swl = s;
            p.AddQso(l);
        }
        for (TQsoRecord* q : queue.List()) {
            if (p.Aborted())
                break;
            TLabelQso l;
            l.Call = q->Call.str();
            l.Manager = queue.ManagerOf(*q);
            l.Group = groups ? queue.Log().GroupName(*q) : std::string();
            l.Route = queue.RouteOf(*q);
            l.QslReceived = q->HasFlag(qfQslReceived);
            l.Date = q->Date;
            l.Time = q->Time;
            l.Band = q->Band;
            l.Mode = q->Mode;
            l.RstSent = q->RstSent;
            l.Address = queue.ManagerAddress(*q);
            l.Record = q;
            p.AddQso(l);
        }
        p.Finish();
    };
}

bool TMyLabPr::Aborted() const { return !error_.empty() || (r_ ? r_->Aborted() : surfaceAborted_); }

void TMyLabPr::abort(const std::string& message)
{
    error_ = message;
    MessageDlg(message, TMsgDlgType::mtError, mbOK);
    if (r_)
        r_->Abort();
}

void TMyLabPr::beforePrint(TBaseReport& r)
{
    r.SetUnits(unInch);
    r.SetMarginLeft(r.GetUnprintableLeft());
    r.SetMarginTop(r.GetUnprintableTop());
    r.SetMarginRight(r.GetUnprintableRight());
    r.SetMarginBottom(r.GetUnprintableBottom());
    r.LineHeightMethod = lhmFont;
}

void TMyLabPr::print(TBaseReport& r)
{
    r_ = &r;
    surfaceAborted_ = false;
    placed_.clear();
    printed_.clear();
    printedSwl_.clear();
    positions_ = TLabelPositions(layout_);
    open_ = false;
    outlinedPage_ = 0;

    r.SetFont(settings_.CallFont.Name, settings_.CallFont.Size);
    r.SetBold(settings_.CallFont.Bold);
    callLine_ = round4(0.8 * r.GetLineHeight()) + layout_.VertShift;
    double fixed = callLine_;
    if (settings_.Commercial) {
        r.SetFont("Arial", 5);
        r.SetBold(false);
        fixed += round4(0.8 * r.GetLineHeight());
    }
    r.SetFont(settings_.BodyFont.Name, settings_.BodyFont.Size);
    r.SetBold(settings_.BodyFont.Bold);
    bodyLine_ = round4(r.GetLineHeight());
    fixed += bodyLine_;
    const bool g12 = !settings_.Greeting[0].empty() || !settings_.Greeting[1].empty();
    for (int i : kind_ == lkSwl ? std::vector<int>{2} : std::vector<int>{0, 1})
        if (!settings_.Greeting[i].empty())
            fixed += bodyLine_;
    if (!settings_.Commercial && g12)
        fixed -= 0.2 * bodyLine_;
    fixed_ = round4(fixed);
    if (fixed_ + bodyLine_ > layout_.LabelHeight) {
        abort(kNoQsoFits);
        r_ = nullptr;
        surfaceAborted_ = true;
        return;
    }
    if (fill_)
        fill_(*this);
    // The surface goes when its run ends.
    surfaceAborted_ = r.Aborted();
    r_ = nullptr;
}

void TMyLabPr::outlinePage()
{
    TBaseReport& r = *r_;
    outlinedPage_ = pos_.Page;
    TReportCanvas& canvas = r.GetCanvas();
    const TPenData pen = canvas.Pen();
    const TBrushData brush = canvas.Brush();
    r.SetPen(clBlack, psSolid, 1, pmCopy);
    r.SetBrush(clWhite, bsClear, nullptr);
    for (int c = 1; c <= layout_.NumAcross; ++c)
        for (int row = 1; row <= layout_.NumDown; ++row) {
            const TLabelRect rect = LabelRectAt(layout_, row, c);
            r.RoundRect(rect.X, rect.Y, rect.X + rect.Width, rect.Y + rect.Height, kCornerEllipse, kCornerEllipse);
        }
    canvas.SetPen(pen);
    canvas.SetBrush(brush);
}

bool TMyLabPr::nextLabel()
{
    TBaseReport& r = *r_;
    int passed = 0;
    for (;;) {
        if (r.Aborted())
            return false;
        const TLabelPosition before = pos_;
        pos_ = positions_.Next();
        if (before.Page != 0 && pos_.Page != before.Page)
            r.NewPage();
        if (outlinedPage_ != pos_.Page)
            outlinePage();
        if (Skip > 0) {
            --Skip;
            continue;
        }
        const TLabelRect rect = LabelRectAt(layout_, pos_.Row, pos_.Column);
        const double pageW = r.GetPageWidth(), pageH = r.GetPageHeight();
        const double left = std::max(rect.X + kInnerMargin, r.GetUnprintableLeft());
        const double right = std::min(rect.X + rect.Width - kInnerMargin, pageW - r.GetUnprintableRight());
        const double top = std::max(rect.Y + kInnerMargin, r.GetUnprintableTop());
        const double bottom = std::min(rect.Y + rect.Height - kInnerMargin, pageH - r.GetUnprintableBottom());
        fits_ = bodyLine_ > 0 ? int((bottom - top - fixed_) / bodyLine_) : 0;
        if (right <= left || fits_ < 1) {
            // A position that never fits must not be passed over without end.
            if (++passed >= positions_.PerPage()) {
                abort(kNoQsoFits);
                return false;
            }
            continue;
        }
        if (settings_.MaxQsos > 0)
            fits_ = std::min<int>(fits_, settings_.MaxQsos);
        r.SetSectionLeft(left);
        r.SetSectionRight(right);
        r.SetSectionTop(top);
        r.SetSectionBottom(bottom);
        labelBottom_ = bottom;
        printedOnLabel_ = 0;
        return true;
    }
}

void TMyLabPr::startLabel(const std::string& callLine, bool rightAligned)
{
    TBaseReport& r = *r_;
    r.SetFont(settings_.CallFont.Name, settings_.CallFont.Size);
    r.SetBold(settings_.CallFont.Bold);
    r.SetItalic(settings_.CallFont.Italic);
    r.SetFontColor(settings_.CallFont.Color);
    const double top = r.GetSectionTop();
    r.SetCursorY(top);
    // The call stands on the bottom of its line at the lowest, where the headings begin: a font
    // whose ascent is taller than the line would print the call over them.
    r.SetCursorY(top + std::min(r.AscentPart(), callLine_ - layout_.VertShift));
    if (rightAligned)
        r.PrintRight(callLine, r.GetSectionRight());
    else
        r.PrintLeft(callLine, r.GetSectionLeft());
    r.SetItalic(false);
    r.SetBold(false);
    r.SetFontColor(clBlack);
    TPlacedLabel placed;
    placed.Position = pos_;
    placed.CallLine = callLine;
    placed_.push_back(placed);
    open_ = true;
}

void TMyLabPr::setBodyTabs()
{
    TBaseReport& r = *r_;
    r.ClearTabs();
    struct TSample {
        const char* text;
        TTextJustify justify;
    };
    // The band column is as wide as the longest band name of the configured kind.
    const char* band = Config.BandNamesAsFrequency() ? "3.7MHz" : "160M";
    const TSample samples[] = {
        {"13-Jan-1999", pjLeft}, {"00:00", pjCenter}, {band, pjRight}, {"RST", pjRight}, {"PSK3", pjCenter}};
    std::vector<std::pair<const TSample*, double>> stops;
    double total = 0;
    for (const TSample& s : samples) {
        if (kind_ == lkSwl && std::string(s.text) == "RST")
            continue;
        double w = r.TextWidth(s.text) + 2 * kInnerMargin;
        if (!settings_.UseLines)
            w += 0.1;
        stops.emplace_back(&s, w);
        total += w;
    }
    // Columns wider than the label are narrowed alike, so the last one stays on it.
    const double room = r.GetSectionRight() - r.GetSectionLeft();
    const double scale = total > room && total > 0 ? room / total : 1.0;
    double x = r.GetSectionLeft();
    for (const auto& [s, w] : stops) {
        r.SetTab(x, s->justify, w * scale, settings_.UseLines ? 5 : 0, settings_.UseLines ? BOXLINEALL : BOXLINENONE, 0);
        x += w * scale;
    }
}

void TMyLabPr::headings()
{
    TBaseReport& r = *r_;
    r.SetFont(settings_.BodyFont.Name, settings_.BodyFont.Size);
    r.SetBold(settings_.BodyFont.Bold);
    r.SetItalic(settings_.BodyFont.Italic);
    setBodyTabs();
    const double y = r.GetSectionTop() + callLine_;
    r.SetCursorY(y);
    r.SetCursorY(y + r.AscentPart());
    r.SetCursorX(r.GetSectionLeft());
    r.ResetTabCursor();
    r.Print(kind_ == lkSwl ? "\tDate\tUTC\tBand\tMode" : "\tDate\tUTC\tBand\tRST\t2X");
}

void TMyLabPr::AddQso(const TLabelQso& q)
{
    if (Aborted())
        return;
    const bool newLabel = !open_ || q.Call != last_.Call || q.Manager != last_.Manager || q.Route != last_.Route ||
                          q.QslReceived != last_.QslReceived || printedOnLabel_ >= fits_ ||
                          (settings_.PrintGroupNames && q.Group != last_.Group);
    if (newLabel) {
        const bool routeChanged = !open_ || q.Route != last_.Route;
        // The address label follows the last label of a manager (or of its route).
        if (open_ && (q.Manager != last_.Manager || routeChanged))
            Finish();
        else
            closeLabel();
        if (Aborted())
            return;
        if (settings_.PrintMethodLabels && kind_ == lkLabelFlag && routeChanged) {
            if (!nextLabel())
                return;
            startLabel("Method = " + routeName(q.Route), false);
            open_ = false;
        }
        if (!nextLabel())
            return;
        const std::string call = kind_ == lkSwl      ? "SWL: " + q.Call
                                 : q.Manager.empty() ? q.Call
                                                     : q.Call + " via " + q.Manager;
        startLabel(call, settings_.CallRightAligned);
        headings();
    }
    last_ = q;
    TBaseReport& r = *r_;
    const double y = r.GetSectionTop() + callLine_ + bodyLine_ * (1 + printedOnLabel_);
    r.SetCursorY(y);
    r.SetCursorY(y + r.AscentPart());
    r.ResetTabCursor();
    std::string line = "\t" + FormatDateDMY(q.Date) + "\t" + SecondsToHHMM(q.Time) + "\t" + BandName(q.Band);
    if (kind_ != lkSwl)
        line += "\t" + std::to_string(q.RstSent);
    line += "\t" + ModeName(q.Mode);
    r.Print(line);
    ++printedOnLabel_;
    ++placed_.back().QsoLines;
    if (MarkPrinted && q.Record)
        printed_.push_back(q.Record);
    if (MarkPrinted && q.Swl)
        printedSwl_.push_back(q.Swl);
}

void TMyLabPr::Finish()
{
    const bool wasOpen = open_ && r_;
    closeLabel();
    if (wasOpen && !last_.Address.empty() && !Aborted())
        addressLabel(last_.Address);
}

void TMyLabPr::addressLabel(const std::vector<std::string>& lines)
{
    if (!nextLabel())
        return;
    TBaseReport& r = *r_;
    r.ClearTabs();
    r.SetFont("Arial", 10);
    r.SetBold(true);
    TPlacedLabel placed;
    placed.Position = pos_;
    const double height = r.GetLineHeight();
    double y = r.GetSectionTop();
    for (const std::string& line : lines) {
        // Lines beginning with '!' are the operator's own remarks, not part of the address.
        if (!line.empty() && line[0] == '!')
            continue;
        if (y + height > r.GetSectionBottom() + 1e-9)
            break;
        r.SetCursorY(y);
        r.SetCursorY(y + r.AscentPart());
        r.PrintLeft(line, r.GetSectionLeft());
        if (placed.CallLine.empty())
            placed.CallLine = line;
        y += height;
    }
    r.SetBold(false);
    placed_.push_back(placed);
}

void TMyLabPr::closeLabel()
{
    if (!open_ || !r_)
        return;
    open_ = false;
    TBaseReport& r = *r_;
    r.ClearTabs();
    r.SetFont(settings_.BodyFont.Name, settings_.BodyFont.Size);
    double y = r.GetSectionTop() + callLine_ + bodyLine_ * (1 + fits_);
    for (int i : kind_ == lkSwl ? std::vector<int>{2} : std::vector<int>{0, 1}) {
        std::string g = settings_.Greeting[i];
        if (g.empty())
            continue;
        g = replaceAll(g, "@@", last_.QslReceived ? "Tnx QSL" : "Pse QSL");
        // "~" stands for the station's own callsign, as in the default "@@ 73 de ~".
        g = replaceAll(g, "~", Config.OwnCall());
        if (settings_.PrintGroupNames)
            g = replaceAll(g, "%%", last_.Group);
        r.SetCursorY(y);
        r.SetCursorY(y + r.AscentPart());
        r.PrintLeft(g, r.GetSectionLeft());
        y += bodyLine_;
    }
    if (settings_.Commercial) {
        r.SetFont("Arial", 5);
        r.SetCursorY(y);
        r.SetCursorY(y + r.AscentPart());
        r.PrintLeft("QSL label printed with Korval", r.GetSectionLeft());
    }
}

} // namespace korval
