#include "reference/windows/country_editor_window.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_numeric_field.h"
#include "entry/windows/ovc_picture_field.h"
#include "entry/windows/ovc_simple_field.h"
#include "grids/windows/ovc_list_box.h"
#include "grids/windows/ovc_notebook.h"
#include "grids/windows/ovc_table.h"
#include "grids/windows/ovc_tc_entry_fields.h"
#include "grids/windows/ovc_tc_headings.h"
#include "grids/windows/popup_box.h"
#include "logbook/base/colors.h"
#include "logbook/base/day_number.h"
#include "logbook/base/string_utils.h"
#include "logbook/configured_formats.h"
#include "logbook/windows/picklist.h"
#include "logbook/windows/progress_bar.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"
#include "reference/country_editor.h"
#include "reference/windows/edit_table.h"

namespace korval {

namespace {

enum { tmPrefix = 1, tmMap, tmZone, tmSdate, tmEdate };
enum { tcCall = 1, tcZone, tcDate };

TOvcSimpleField* TextField(QWidget* parent, const char* name, int maxLen, char mask = 0)
{
    auto* f = new TOvcSimpleField(parent);
    f->setObjectName(name);
    f->SetMaxLength(maxLen);
    if (mask)
        f->SetPictureMask(mask);
    return f;
}

TOvcPictureField* DateField(QWidget* parent, const char* name)
{
    auto* f = new TOvcPictureField(parent);
    f->setObjectName(name);
    f->SetDataType(pftDate);
    f->SetPictureMask(DateFormatString());
    return f;
}

TOvcNumericField* NumberField(QWidget* parent, const char* name, const char* mask, const char* hi)
{
    auto* f = new TOvcNumericField(parent);
    f->setObjectName(name);
    f->SetDataType(nftDouble);
    f->SetPictureMask(mask);
    f->SetRangeLo("0");
    f->SetRangeHi(hi);
    return f;
}

TWheelx* Choice(QWidget* parent, const char* name, std::initializer_list<const char*> items)
{
    auto* w = new TWheelx(parent);
    w->setObjectName(name);
    for (const char* i : items)
        w->GetItems().Add(i);
    w->Loaded();
    return w;
}

// A stored day as the cell shows it; `empty` is the stored value of an empty date.
std::int32_t CellDate(TDayNumber d, TDayNumber empty) { return d == empty ? -1 : DayNumberToStDate(d); }
TDayNumber StoredDate(std::int32_t cell, TDayNumber empty) { return cell < 0 ? empty : StDateToDayNumber(cell); }
std::int32_t FieldDate(TOvcPictureField* f) { return f->GetAsStDate(); }
void SetFieldDate(TOvcPictureField* f, TDayNumber d, TDayNumber empty)
{
    const std::int32_t v = CellDate(d, empty);
    if (v < 0)
        f->SetAsString("");
    else
        f->SetAsStDate(v);
}

std::uint8_t ZoneValue(const std::string& s) { return static_cast<std::uint8_t>(s.empty() ? 0 : std::min<int>(DigitsValue(s), 255)); }
std::string ZoneText(std::uint8_t z) { return z ? std::to_string(z) : std::string(); }

// A signed quantity shown as its size and a side.
void SetSigned(TOvcNumericField* f, TWheelx* side, double v)
{
    f->SetAsFloat(std::fabs(v));
    side->SetSelection(v < 0 ? 2 : 1);
}
double GetSigned(TOvcNumericField* f, TWheelx* side)
{
    const double v = std::fabs(f->GetAsFloat());
    return side->GetSelection() == 2 ? -v : v;
}

// The states choice: "Y" the US states, "N" none, then Hawaii and Alaska.
int StatesChoice(std::uint8_t kind)
{
    switch (kind) {
    case skUsStates: return 1;
    case skHawaii: return 3;
    case skAlaska: return 4;
    default: return 2;
    }
}

} // namespace

TFctyed::TFctyed(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Fctyed"));
    setWindowTitle(QStringLiteral("Country Editor"));
    Controller = new TOvcController(this);
    BuildMenus();
    QWidget* header = BuildHeader();
    NB = new TOvcNotebook(this);
    NB->setObjectName(QStringLiteral("NB"));
    BuildDetails(NB->AddPage("Details"));
    BuildMapTable(NB->AddPage("Mappings"));
    BuildCallTable(NB->AddPage("Callsigns"));
    TOvcTabPage* messages = NB->AddPage("Messages");
    LB = new TOvcCustomListBox(messages);
    LB->setObjectName(QStringLiteral("LB"));
    LB->OnDblClick = [this](TOvcCustomListBox* box) { MessageChosen(box->ItemIndex()); };
    LB->setContextMenuPolicy(Qt::CustomContextMenu);
    MessagePopup = new QMenu(this);
    CopyToClipboard1 = MessagePopup->addAction(QStringLiteral("Copy to ClipBoard"), this, [this] { CopyMessages(); });
    connect(LB, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { MessagePopup->popup(LB->mapToGlobal(at)); });
    auto* msgLay = new QVBoxLayout(messages);
    msgLay->addWidget(LB);

    auto* lay = qobject_cast<QVBoxLayout*>(layout());
    lay->addWidget(header);
    lay->addWidget(NB, 1);
    ShowCountry(CountryDb.Loaded() && CountryDb.Countries->Count() > 1 ? 1 : 0);
    resize(720, 460);
}

void TFctyed::BuildMenus()
{
    auto* bar = new QMenuBar(this);
    auto* lay = new QVBoxLayout(this);
    lay->setMenuBar(bar);
    auto add = [this](QMenu* m, const char* name, const char* text, void (TFctyed::*slot)(), QKeySequence keys = {}) {
        QAction* a = m->addAction(QString::fromLatin1(text), this, [this, slot] { (this->*slot)(); });
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(keys);
        return a;
    };
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    add(file, "CheckforErrors1", "Check for Errors", &TFctyed::CheckForErrors);
    add(file, "MergeOtherCountryFile1", "Merge Other Country File", &TFctyed::MergeOtherCountryFile);
    add(file, "CancelChangesandExit1", "Cancel Changes and Exit", &TFctyed::reject);
    add(file, "SaveChangesandExit1", "Save Changes and Exit", &TFctyed::accept);
    QMenu* country = bar->addMenu(QStringLiteral("&Country"));
    add(country, "CountryAdd1", "Add", &TFctyed::AddCountryClick);
    add(country, "CountryUpdate1", "Update", &TFctyed::UpdateCountryClick);
    add(country, "First1", "First", &TFctyed::FirstClick, QKeySequence(Qt::CTRL | Qt::Key_F));
    add(country, "Next1", "Next", &TFctyed::NextClick, QKeySequence(Qt::CTRL | Qt::Key_N));
    add(country, "Previous1", "Previous", &TFctyed::PreviousClick, QKeySequence(Qt::CTRL | Qt::Key_P));
    add(country, "Last1", "Last", &TFctyed::LastClick, QKeySequence(Qt::CTRL | Qt::Key_L));
    add(country, "Find1", "Find", &TFctyed::FindClick);
    add(country, "CountryDelete1", "Delete", &TFctyed::DeleteCountryClick);
    QMenu* maps = bar->addMenu(QStringLiteral("&Mappings"));
    add(maps, "MapAdd1", "Add", &TFctyed::MapAdd);
    add(maps, "MapUpdate1", "Update", &TFctyed::MapUpdate);
    add(maps, "MapDelete1", "Delete", &TFctyed::MapDelete);
    QMenu* calls = bar->addMenu(QStringLiteral("C&alls"));
    add(calls, "CallAdd1", "Add", &TFctyed::CallAdd);
    add(calls, "CallUpdate1", "Update", &TFctyed::CallUpdate);
    add(calls, "CallDelete1", "Delete", &TFctyed::CallDelete);
}

QWidget* TFctyed::BuildHeader()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("HeaderPanel"));
    F_prefix = TextField(panel, "F_prefix", static_cast<int>(CountryPrefixCap), '!');
    F_cname = TextField(panel, "F_cname", 23);
    F_zone = TextField(panel, "F_zone", 2, '9');
    F_sdate = DateField(panel, "F_sdate");
    F_edate = DateField(panel, "F_edate");
    auto* g = new QGridLayout(panel);
    g->setContentsMargins(0, 0, 0, 0);
    g->addWidget(new QLabel(QStringLiteral("Prefix"), panel), 0, 0);
    g->addWidget(F_prefix, 1, 0);
    g->addWidget(new QLabel(QStringLiteral("Country name"), panel), 0, 1);
    g->addWidget(F_cname, 1, 1);
    g->addWidget(new QLabel(QStringLiteral("CQ zone"), panel), 0, 2);
    g->addWidget(F_zone, 1, 2);
    g->addWidget(new QLabel(QStringLiteral("Start date"), panel), 0, 3);
    g->addWidget(F_sdate, 1, 3);
    g->addWidget(new QLabel(QStringLiteral("End date"), panel), 0, 4);
    g->addWidget(F_edate, 1, 4);
    g->setColumnStretch(1, 3);
    return panel;
}

void TFctyed::BuildDetails(QWidget* page)
{
    F_continent = Choice(page, "F_continent",
                         {"???", "Africa", "Antarct", "Asia", "Europe", "North Am", "Oceania", "South Am"});
    F_itu = TextField(page, "F_itu", 2, '9');
    F_utc = NumberField(page, "F_utc", "##.##", "24");
    F_utcSide = Choice(page, "F_utcSide", {"Ahead", "Behind"});
    F_long = NumberField(page, "F_long", "###.##", "180");
    F_longSide = Choice(page, "F_longSide", {"East", "West"});
    F_lat = NumberField(page, "F_lat", "##.##", "90");
    F_latSide = Choice(page, "F_latSide", {"North", "South"});
    F_map = TextField(page, "F_map", 5, '9');
    F_iota = new TOvcPictureField(page);
    F_iota->setObjectName(QStringLiteral("F_iota"));
    F_iota->SetPictureMask("!!999");
    F_bureau = Choice(page, "F_bureau", {"Y", "N"});
    F_fieldcheck = Choice(page, "F_fieldcheck", {"Y", "N"});
    F_states = Choice(page, "F_states", {"Y", "N", "HI", "AK"});
    auto* g = new QGridLayout(page);
    int row = 0;
    auto add = [&](const char* label, QWidget* w, QWidget* side = nullptr) {
        g->addWidget(new QLabel(QString::fromLatin1(label), page), row, 0);
        g->addWidget(w, row, 1);
        if (side)
            g->addWidget(side, row, 2);
        ++row;
    };
    add("Continent", F_continent);
    add("ITU zone", F_itu);
    add("UTC offset", F_utc, F_utcSide);
    add("Longitude", F_long, F_longSide);
    add("Latitude", F_lat, F_latSide);
    add("Map number", F_map);
    add("Default IOTA", F_iota);
    add("QSL bureau", F_bureau);
    add("Field check", F_fieldcheck);
    add("States", F_states);
    g->setRowStretch(row, 1);
    g->setColumnStretch(3, 1);
}


void TFctyed::BuildMapTable(QWidget* page)
{
    auto* map = TextCell(page, "TM_map", static_cast<int>(CountryPrefixCap), '!');
    map->SetAccess(otxReadOnly);
    MapTable = NewEditTable(page, "MapTable", Controller, {"", "Prefix", "Country", "Zone", "Start", "End"},
                        {{TextCell(page, "TM_prefix", static_cast<int>(MappedPrefixCap), '!'), 70},
                         {map, 70},
                         {TextCell(page, "TM_zone", 2, '9'), 50},
                         {DateCell(page, "TM_sdate"), 100},
                         {DateCell(page, "TM_edate"), 100}});
    (new QVBoxLayout(page))->addWidget(MapTable);
    MapTable->OnGetCellData = [this](int r, int c, TOvcCellData& data, TOvcCellDataPurpose) {
        if (r < 1 || r > static_cast<int>(wrkMaps_.size()))
            return;
        TWrkMap& m = wrkMaps_[static_cast<std::size_t>(r - 1)];
        switch (c) {
        case tmPrefix: data = TOvcCellData::String(m.Prefix); break;
        case tmMap: data = TOvcCellData::String(m.MapCountry); break;
        case tmZone: data = TOvcCellData::String(m.Zone); break;
        case tmSdate: data = TOvcCellData::Date(m.StartDate); break;
        case tmEdate: data = TOvcCellData::Date(m.EndDate); break;
        default: break;
        }
    };
    MapTable->OnGetCellAttributes = [this](int r, int, TOvcCellAttributes& a) {
        if (r >= 1 && r <= static_cast<int>(wrkMaps_.size()) && wrkMaps_[static_cast<std::size_t>(r - 1)].Reference) {
            a.Color = clSilver;
            a.Access = otxReadOnly;
        }
    };
    MapTable->OnBeginEdit = [this](int r, int, bool& allow) {
        allow = !(r >= 1 && r <= static_cast<int>(wrkMaps_.size()) && wrkMaps_[static_cast<std::size_t>(r - 1)].Reference);
    };
}

void TFctyed::BuildCallTable(QWidget* page)
{
    CallTable = NewEditTable(page, "CallTable", Controller, {"", "Callsign", "Zone", "Start"},
                         {{TextCell(page, "TC_call", static_cast<int>(CallCap), '!'), 130},
                          {TextCell(page, "TC_zone", 2, '9'), 50},
                          {DateCell(page, "TC_date"), 100}});
    (new QVBoxLayout(page))->addWidget(CallTable);
    CallTable->OnGetCellData = [this](int r, int c, TOvcCellData& data, TOvcCellDataPurpose) {
        if (r < 1 || r > static_cast<int>(wrkCalls_.size()))
            return;
        TWrkCall& w = wrkCalls_[static_cast<std::size_t>(r - 1)];
        switch (c) {
        case tcCall: data = TOvcCellData::String(w.Call); break;
        case tcZone: data = TOvcCellData::String(w.Zone); break;
        case tcDate: data = TOvcCellData::Date(w.Date); break;
        default: break;
        }
    };
}

void TFctyed::ShowCountry(std::int32_t number)
{
    if (!CountryDb.Loaded())
        return;
    const std::int32_t count = CountryDb.Countries->Count();
    current_ = count > 1 ? std::clamp(number, 1, count - 1) : 0;
    shown_ = current_ > 0 ? TCountryRecord::FromBytes(CountryDb.Countries->Record(current_)) : TCountryRecord{};
    F_prefix->SetAsString(shown_.Prefix);
    F_cname->SetAsString(shown_.Name);
    F_zone->SetAsString(ZoneText(shown_.CqZone));
    SetFieldDate(F_sdate, shown_.StartDate, 0);
    SetFieldDate(F_edate, shown_.EndDate, OpenEndDate);
    F_continent->SetSelection(shown_.Continent < 8 ? shown_.Continent + 1 : 1);
    F_itu->SetAsString(ZoneText(shown_.ItuZone));
    SetSigned(F_utc, F_utcSide, shown_.UtcOffset);
    SetSigned(F_long, F_longSide, shown_.Longitude);
    SetSigned(F_lat, F_latSide, shown_.Latitude);
    F_map->SetAsString(std::to_string(shown_.MapNumber));
    F_iota->SetAsString(shown_.DefaultIota);
    F_bureau->SetSelection(shown_.Bureau == NoQslBureau ? 2 : 1);
    F_fieldcheck->SetSelection(shown_.FieldCheck ? 1 : 2);
    F_states->SetSelection(StatesChoice(shown_.StatesKind));
    BuildWorkCopies();
    update();
}

void TFctyed::BuildWorkCopies()
{
    wrkMaps_.clear();
    wrkCalls_.clear();
    if (current_ > 0) {
        const TSuffixIndex& maps = *CountryDb.Prefixes;
        std::vector<std::string> own;
        for (std::int32_t i = 1; i < maps.Count(); ++i) {
            const TPrefixMapRecord m = TPrefixMapRecord::FromBytes(maps.Record(i));
            if (m.Country != current_)
                continue;
            wrkMaps_.push_back({m.Prefix, shown_.Prefix, ZoneText(m.CqZone), CellDate(m.StartDate, 0),
                                CellDate(m.EndDate, OpenEndDate), false});
            own.push_back(m.Prefix);
        }
        // The same prefixes held by other countries, for comparison.
        for (std::int32_t i = 1; i < maps.Count(); ++i) {
            const TPrefixMapRecord m = TPrefixMapRecord::FromBytes(maps.Record(i));
            if (m.Country == current_ || std::find(own.begin(), own.end(), m.Prefix) == own.end())
                continue;
            wrkMaps_.push_back({m.Prefix, CountryPrefix(m.Country), ZoneText(m.CqZone), CellDate(m.StartDate, 0),
                                CellDate(m.EndDate, OpenEndDate), true});
        }
        std::stable_sort(wrkMaps_.begin(), wrkMaps_.end(),
                         [](const TWrkMap& a, const TWrkMap& b) { return a.Prefix < b.Prefix; });
        const TDefcallIndex& calls = *CountryDb.ExceptionCalls;
        for (std::int32_t i = 1; i < calls.Count(); ++i) {
            const TExceptionCallRecord c = TExceptionCallRecord::FromBytes(calls.Record(i));
            if (c.Country == current_)
                wrkCalls_.push_back({c.Call, ZoneText(c.CqZone), CellDate(c.StartDate, 0)});
        }
    }
    SizeTables();
}

void TFctyed::SizeTables()
{
    for (TOvcTable* t : {MapTable, CallTable})
        if (t->InEditingState())
            t->StopEditingState(true);
    MapTable->SetRowLimit(static_cast<int>(wrkMaps_.size()) + 1);
    CallTable->SetRowLimit(static_cast<int>(wrkCalls_.size()) + 1);
    MapTable->InvalidateTable();
    CallTable->InvalidateTable();
}

TCountryRecord TFctyed::ReadFields() const
{
    TCountryRecord r = shown_; // what the window does not show (the home mark) stays
    r.Prefix = UpperAscii(TrimSpaces(F_prefix->GetAsString()));
    r.Name = F_cname->GetAsString();
    r.CqZone = ZoneValue(F_zone->GetAsString());
    r.StartDate = StoredDate(FieldDate(F_sdate), 0);
    r.EndDate = StoredDate(FieldDate(F_edate), OpenEndDate);
    r.Continent = static_cast<std::uint8_t>(std::max(F_continent->GetSelection(), 1) - 1);
    r.ItuZone = ZoneValue(F_itu->GetAsString());
    r.UtcOffset = GetSigned(F_utc, F_utcSide);
    r.Longitude = GetSigned(F_long, F_longSide);
    r.Latitude = GetSigned(F_lat, F_latSide);
    r.MapNumber = ZoneValue(F_map->GetAsString());
    r.DefaultIota = TrimSpaces(F_iota->GetAsString());
    if (F_bureau->GetSelection() == 2)
        r.Bureau = NoQslBureau;
    else if (r.Bureau == NoQslBureau)
        r.Bureau = 0;
    r.FieldCheck = F_fieldcheck->GetSelection() == 1 ? 1 : 0;
    switch (F_states->GetSelection()) {
    case 1: r.StatesKind = skUsStates; break;
    case 3: r.StatesKind = skHawaii; break;
    case 4: r.StatesKind = skAlaska; break;
    default:
        if (r.StatesKind != skNoState)
            r.StatesKind = skNone;
        break;
    }
    return r;
}

void TFctyed::ReportEdit(int result, const std::string& prefix)
{
    switch (static_cast<TCountryEditResult>(result)) {
    case TCountryEditResult::DuplicatePrefix:
        MessageDlg("The prefix " + prefix + " belongs to another country", TMsgDlgType::mtError, mbOK);
        break;
    case TCountryEditResult::EmptyPrefix:
        MessageDlg("Please enter a prefix", TMsgDlgType::mtError, mbOK);
        break;
    default: break;
    }
}

void TFctyed::AddCountryClick()
{
    TCountryRecord rec = ReadFields();
    rec.HomeCountry = 0;
    const TCountryEdit edit = AddCountry(CountryDb, rec);
    if (edit.Result != TCountryEditResult::Done) {
        ReportEdit(static_cast<int>(edit.Result), rec.Prefix);
        return;
    }
    SetCountryDataModified();
    ShowCountry(edit.Number);
}

void TFctyed::UpdateCountryClick()
{
    if (current_ < 1)
        return;
    const TCountryRecord rec = ReadFields();
    const TCountryEdit edit = UpdateCountry(CountryDb, current_, rec);
    if (edit.Result != TCountryEditResult::Done) {
        ReportEdit(static_cast<int>(edit.Result), rec.Prefix);
        return;
    }
    SetCountryDataModified();
    ShowCountry(edit.Number);
}

void TFctyed::FirstClick() { ShowCountry(1); }
void TFctyed::NextClick() { ShowCountry(current_ + 1); }
void TFctyed::PreviousClick() { ShowCountry(current_ - 1); }
void TFctyed::LastClick() { ShowCountry(CountryDb.Countries->Count() - 1); }

void TFctyed::FindClick()
{
    std::vector<std::string> entries;
    for (std::int32_t i = 1; i < CountryDb.Countries->Count(); ++i)
        entries.push_back(PadRight(CountryPrefix(static_cast<std::uint16_t>(i)), 6) +
                          CountryName(static_cast<std::uint16_t>(i)));
    const int first = current_ - 1;
    // The pick list answers with a country number; the entries start at country 1.
    const int chosen = AskCountry ? AskCountry(entries, first) : ShowPicklist(this, "Prefix", *CountryDb.Countries, 1) - 1;
    if (chosen >= 0)
        ShowCountry(chosen + 1);
}

void TFctyed::DeleteCountryClick()
{
    if (current_ < 1 || !DeleteCountry(CountryDb, current_))
        return;
    SetCountryDataModified();
    ShowCountry(current_);
}

bool TFctyed::OnPage(TPage page)
{
    if (NB->PageIndex() == page)
        return true;
    MessageDlg("Command not executed!\rSwitching to correct page", TMsgDlgType::mtWarning, mbOK);
    NB->SetPageIndex(page);
    return false;
}

void TFctyed::MapAdd()
{
    if (!OnPage(pgMappings))
        return;
    wrkMaps_.push_back({"", shown_.Prefix, ZoneText(shown_.CqZone), -1, -1, false});
    SizeTables();
    MapTable->SetActiveCell(static_cast<int>(wrkMaps_.size()), tmPrefix);
}

void TFctyed::MapDelete()
{
    if (!OnPage(pgMappings))
        return;
    const int r = MapTable->ActiveRow();
    if (r < 1 || r > static_cast<int>(wrkMaps_.size()) || wrkMaps_[static_cast<std::size_t>(r - 1)].Reference)
        return;
    wrkMaps_.erase(wrkMaps_.begin() + (r - 1));
    SizeTables();
}

void TFctyed::MapUpdate()
{
    if (!OnPage(pgMappings) || current_ < 1)
        return;
    SizeTables(); // ends an edit in progress, keeping its value
    TSuffixIndex& maps = *CountryDb.Prefixes;
    for (std::int32_t i = maps.Count() - 1; i >= 1; --i)
        if (TPrefixMapRecord::FromBytes(maps.Record(i)).Country == current_)
            maps.DeleteRecord(i);
    for (const TWrkMap& w : wrkMaps_) {
        const std::string prefix = UpperAscii(TrimSpaces(w.Prefix));
        if (w.Reference || prefix.empty())
            continue;
        TPrefixMapRecord m;
        m.Prefix = prefix.substr(0, MappedPrefixCap);
        m.Country = static_cast<std::uint16_t>(current_);
        m.CqZone = ZoneValue(w.Zone);
        m.StartDate = StoredDate(w.StartDate, 0);
        m.EndDate = StoredDate(w.EndDate, OpenEndDate);
        maps.InsertRecord(m.ToBytes().data());
    }
    SetCountryDataModified();
    BuildWorkCopies();
}

void TFctyed::CallAdd()
{
    if (!OnPage(pgCallsigns))
        return;
    wrkCalls_.push_back({"", ZoneText(shown_.CqZone), -1});
    SizeTables();
    CallTable->SetActiveCell(static_cast<int>(wrkCalls_.size()), tcCall);
}

void TFctyed::CallDelete()
{
    if (!OnPage(pgCallsigns))
        return;
    const int r = CallTable->ActiveRow();
    if (r < 1 || r > static_cast<int>(wrkCalls_.size()))
        return;
    wrkCalls_.erase(wrkCalls_.begin() + (r - 1));
    SizeTables();
}

void TFctyed::CallUpdate()
{
    if (!OnPage(pgCallsigns) || current_ < 1)
        return;
    SizeTables();
    TDefcallIndex& calls = *CountryDb.ExceptionCalls;
    for (std::int32_t i = calls.Count() - 1; i >= 1; --i)
        if (TExceptionCallRecord::FromBytes(calls.Record(i)).Country == current_)
            calls.DeleteRecord(i);
    for (const TWrkCall& w : wrkCalls_) {
        const std::string call = UpperAscii(TrimSpaces(w.Call));
        if (call.empty())
            continue;
        TExceptionCallRecord c;
        c.Call = call.substr(0, CallCap);
        c.Country = static_cast<std::uint16_t>(current_);
        c.CqZone = ZoneValue(w.Zone);
        c.StartDate = StoredDate(w.Date, 0);
        calls.InsertRecord(c.ToBytes().data());
    }
    SetCountryDataModified();
    BuildWorkCopies();
}

void TFctyed::AddMessage(std::string line) { messages_.Add(std::move(line)); }

void TFctyed::ShowMessages()
{
    LB->Items().Clear();
    for (const std::string& l : messages_.Lines())
        LB->Items().Add(l);
    NB->SetPageIndex(pgMessages);
    LB->viewport()->update();
}

void TFctyed::CheckForErrors()
{
    messages_.Clear();
    for (std::string& l : CheckCountryErrors(CountryDb))
        AddMessage(std::move(l));
    ShowMessages();
}

std::int32_t TFctyed::CountryNumberOfLine(const std::string& line) const
{
    // A finding ends with the country prefix in 8 characters and the mapping prefix in 7.
    if (line.size() < 15)
        return -1;
    return CountryNumberOfPrefix(TrimSpaces(line.substr(line.size() - 15, 8)));
}

void TFctyed::MessageChosen(int line)
{
    const auto& lines = messages_.Lines();
    if (line < 0 || line + 1 >= static_cast<int>(lines.size()))
        return;
    const std::int32_t n = CountryNumberOfLine(lines[static_cast<std::size_t>(line)]);
    if (n >= 1)
        ShowCountry(n);
}

void TFctyed::CopyMessages()
{
    std::string text;
    for (const std::string& l : messages_.Lines())
        text += l + "\r\n";
    QApplication::clipboard()->setText(FromWin1252(text));
}

void TFctyed::MergeOtherCountryFile()
{
    const std::string path =
        AskMergeFile ? AskMergeFile()
                     : QFileDialog::getOpenFileName(this, QStringLiteral("Merge Other Country File"),
                                                    QString(), QStringLiteral("KORVAL country file (*.CTY *.cty)"),
                                                    nullptr, QFileDialog::ReadOnly)
                           .toStdString();
    if (path.empty())
        return;
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TCountryData other;
    std::string reason;
    if (!in.good() && !in.eof()) {
        MessageDlg("Cannot read " + path, TMsgDlgType::mtError, mbOK);
        return;
    }
    if (!ReadCountryDatabase(bytes, other, false, &reason)) {
        MessageDlg(path + " is not a country file: " + reason, TMsgDlgType::mtError, mbOK);
        return;
    }
    TMergeHooks hooks;
    hooks.Confirm = [](const std::string& title) {
        return MessageDlg(title, TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes;
    };
    if (TProgressbar* bar = ProgressWindow()) {
        hooks.Start = [bar](const std::string& caption, int total) { bar->SetUp(FromWin1252(caption), total); };
        hooks.Step = [bar] { bar->ShowProgress(); };
        hooks.Finish = [bar] { bar->Finished(); };
    }
    messages_.Clear();
    if (MergeCountryFile(CountryDb, other, hooks, messages_))
        SetCountryDataModified();
    ShowCountry(current_);
    ShowMessages();
}

} // namespace korval
