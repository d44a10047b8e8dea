#include "reference/windows/sun_windows.h"

#include "entry/windows/ovc_controller.h"
#include "entry/ovc_intl.h"
#include "entry/windows/ovc_picture_field.h"
#include "entry/windows/ovc_simple_field.h"
#include "grids/windows/my_grid.h"
#include "grids/windows/ovc_list_box.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/base/day_number.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/form_placement.h"
#include "logbook/position.h"
#include "logbook/base/string_utils.h"
#include "platform/windows/win1252.h"
#include "reference/windows/date_step.h"
#include "logbook/configured_formats.h"

#include <QApplication>
#include <algorithm>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QVBoxLayout>

namespace korval {

namespace {

const char* const TimePicture = "hh:mm";

// A read-only display that asks for the room its widest text needs at the window's font, so
// a larger configured font never cuts a time or a name.
class TSunDisplay : public TOvcSimpleField {
public:
    TSunDisplay(QWidget* parent, QString widest) : TOvcSimpleField(parent), widest_(std::move(widest)) {}
    QSize sizeHint() const override
    {
        return {fontMetrics().horizontalAdvance(widest_) + 2 * TextMargin() + 8, TOvcSimpleField::sizeHint().height()};
    }

private:
    QString widest_;
};

TOvcSimpleField* display(QWidget* parent, const char* name, const QString& widest)
{
    auto* f = new TSunDisplay(parent, widest);
    f->setObjectName(QString::fromLatin1(name));
    TOvcEntryFieldOptions o = f->Options();
    o.Include(efoReadOnly);
    f->SetOptions(o);
    f->setFocusPolicy(Qt::NoFocus);
    f->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return f;
}

const QString WidestHeading = QStringLiteral("888");
const QString WidestTime = QStringLiteral("88:88");

QString WidestCountryName()
{
    std::string widest = "Fed. Rep. of Germany";
    for (std::int32_t n = 0; n < CountryCount(); ++n) {
        std::string name = CountryName(static_cast<std::uint16_t>(n));
        if (name.size() > widest.size())
            widest = std::move(name);
    }
    return FromWin1252(widest) + QStringLiteral("W");
}

// Child windows of the sunrise windows: their own top-level windows, owned by the opener.
void makeToolWindow(QWidget* w) { w->setWindowFlag(Qt::Window, true); }

QString Q(const std::string& s) { return FromWin1252(s); }

struct TColumn {
    const char* caption;
    int width;
    TMyGridAlign align;
};

TMyGrid* makeGrid(QWidget* parent, std::initializer_list<TColumn> columns)
{
    auto* g = new TMyGrid(parent);
    g->setObjectName("DG");
    for (const TColumn& c : columns)
        g->AddColumn(c.caption, c.width, c.align);
    return g;
}

// "Update" on the window's menu bar, F10 while the window is active.
QAction* addUpdateAction(QMenuBar* bar, QWidget* window, std::function<void()> run)
{
    QAction* a = bar->addAction("Update", window, std::move(run));
    a->setShortcut(QKeySequence(Qt::Key_F10));
    a->setShortcutContext(Qt::WindowShortcut);
    window->addAction(a);
    return a;
}

// Wide enough for every column of the grid, so that none starts out of view; runs when the
// window is shown, after the configured fonts have set the column widths.
void fitToGrid(QWidget* window, TMyGrid* g)
{
    int extra = g->frameWidth() * 2 + g->verticalScrollBar()->sizeHint().width() + g->ColCount * g->GridLineWidth;
    if (QLayout* l = window->layout())
        extra += l->contentsMargins().left() + l->contentsMargins().right();
    window->resize(std::max(window->width(), g->GridWith() + extra), window->height());
}

// A caption and its control side by side in a grid layout.
void addLabelled(QGridLayout* g, int row, int col, const char* caption, QWidget* w)
{
    g->addWidget(new QLabel(caption, w->parentWidget()), row, col);
    g->addWidget(w, row, col + 1);
}

bool countryPosition(std::uint16_t number, TCountryRecord& rec) { return number != 0 && GetCountry(number, rec); }

// The modal pick list of the program's own list box.
int runPicklist(QWidget* parent, const std::string& caption, const std::vector<std::string>& entries, int first)
{
    QDialog dlg(parent);
    dlg.setWindowTitle(Q(caption));
    auto* list = new TOvcCustomListBox(&dlg);
    for (const std::string& e : entries)
        list->Items().Add(e);
    list->SetItemIndex(first >= 0 && first < static_cast<int>(entries.size()) ? first : 0);
    list->OnDblClick = [&dlg](TOvcCustomListBox*) { dlg.accept(); };
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    auto* lay = new QVBoxLayout(&dlg);
    lay->addWidget(list);
    lay->addWidget(buttons);
    dlg.resize(240, 360);
    SetFormFont(&dlg);
    return dlg.exec() == QDialog::Accepted ? list->ItemIndex() : -1;
}

} // namespace

std::string SunTimeText(TStTime t)
{
    return t < 0 ? std::string("--:--") : OvcIntlSup().FormatTime(TimePicture, t, false);
}

TStDate SunToday() { return DayNumberToStDate(UtcToday()); }

std::vector<TSunCountry> SunCountryList()
{
    std::vector<TSunCountry> list;
    const std::int32_t count = CountryCount();
    for (std::int32_t i = 1; i < count; ++i) {
        TCountryRecord c;
        if (!GetCountry(static_cast<std::uint16_t>(i), c))
            continue;
        list.push_back({c.Prefix, c.Name, c.Longitude, c.Latitude, c.EndDate == OpenEndDate});
    }
    return list;
}

// ---- TCountryInfo ----

TCountryInfo::TCountryInfo(std::function<std::uint16_t()> country, QWidget* owner)
    : QWidget(owner), country_(std::move(country))
{
    makeToolWindow(this);
    setObjectName("CountryInfo");
    setWindowTitle("Country SunRise/Set");
    setToolTip("SunRise/Set (PopUp)");
    new TOvcController(this);
    F_Heading = display(this, "F_Heading", WidestHeading);
    F_LongPath = display(this, "F_LongPath", WidestHeading);
    F_Reciprocal = display(this, "F_Reciprocal", WidestHeading);
    F_Sunrise = display(this, "F_Sunrise", WidestTime);
    F_SunSet = display(this, "F_SunSet", WidestTime);
    F_DXSunRise = display(this, "F_DXSunRise", WidestTime);
    F_DXSunSet = display(this, "F_DXSunSet", WidestTime);

    auto* g = new QGridLayout(this);
    addLabelled(g, 0, 0, "Heading", F_Heading);
    addLabelled(g, 1, 0, "Long Path", F_LongPath);
    addLabelled(g, 2, 0, "Reciprocal", F_Reciprocal);
    // Every time here is UTC; "Home" is the own station's place.
    g->addWidget(new QLabel("Rise UTC", this), 0, 3);
    g->addWidget(new QLabel("Set UTC", this), 0, 4);
    addLabelled(g, 1, 2, "Home", F_Sunrise);
    g->addWidget(F_SunSet, 1, 4);
    addLabelled(g, 2, 2, "DX", F_DXSunRise);
    g->addWidget(F_DXSunSet, 2, 4);

    PopupMenu = new QMenu(this);
    OneyearSunRiseSet1 = PopupMenu->addAction("One year Sun Rise/Set", this, [this] { OneYearClick(); });
    SunRiseSetbyDate1 = PopupMenu->addAction("Sun Rise/Set by Date", this, [this] { ByDateClick(); });
    RestoreFormPlacement(this, psSun);
    ShowCountry();
}

TCountryInfo::~TCountryInfo() = default;

void TCountryInfo::showEvent(QShowEvent* e)
{
    SetFormFont(this);
    resize(size().expandedTo(sizeHint()));
    QWidget::showEvent(e);
}

void TCountryInfo::closeEvent(QCloseEvent* e)
{
    SaveFormPlacement(this, psSun);
    QWidget::closeEvent(e);
}

void TCountryInfo::contextMenuEvent(QContextMenuEvent* e) { PopupMenu->popup(e->globalPos()); }

void TCountryInfo::ShowCountry()
{
    const TStDate today = SunToday();
    // Without a home position nothing is computed from 0 N 0 E as if it were one.
    double lat = 0, lon = 0;
    const bool home = HomePosition(lat, lon);
    // A changed home position counts at once, not only from the next UTC day on.
    const bool homeChanged = !localValid_ || today != localDay_ || lon != homeLon_ || lat != homeLat_;
    if (homeChanged) {
        const TStRiseSetRec r = SunRiseSet(today, lon, lat);
        F_Sunrise->SetAsString(home ? SunTimeText(r.ORise) : std::string());
        F_SunSet->SetAsString(home ? SunTimeText(r.OSet) : std::string());
        localValid_ = true;
        localDay_ = today;
        homeLon_ = lon;
        homeLat_ = lat;
    }

    const std::uint16_t number = country_ ? country_() : 0;
    TCountryRecord c;
    if (!countryPosition(number, c)) {
        if (dxValid_ || dxCountry_ != 0 || windowTitle() != "Info: unknown location") {
            setWindowTitle("Info: unknown location");
            for (TOvcSimpleField* f : {F_Heading, F_LongPath, F_Reciprocal, F_DXSunRise, F_DXSunSet})
                f->SetAsString("");
        }
        dxValid_ = false;
        dxCountry_ = 0;
        return;
    }
    if (dxValid_ && number == dxCountry_ && today == dxDay_ && c.Longitude == dxLon_ && c.Latitude == dxLat_ &&
        !homeChanged)
        return;
    setWindowTitle(Q("Info: " + c.Name));
    int heading = 0, reciprocal = 0, km = 0;
    CalcBearingDistanceFrom(lat, lon, true, heading, km, c.Latitude, c.Longitude);
    CalcBearingDistanceFrom(lat, lon, false, reciprocal, km, c.Latitude, c.Longitude);
    F_Heading->SetAsString(home ? std::to_string(heading) : std::string());
    F_LongPath->SetAsString(home ? std::to_string((heading + 180) % 360) : std::string());
    F_Reciprocal->SetAsString(home ? std::to_string(reciprocal) : std::string());
    const TStRiseSetRec dx = SunRiseSet(today, c.Longitude, c.Latitude);
    F_DXSunRise->SetAsString(SunTimeText(dx.ORise));
    F_DXSunSet->SetAsString(SunTimeText(dx.OSet));
    dxValid_ = true;
    dxCountry_ = number;
    dxDay_ = today;
    dxLon_ = c.Longitude;
    dxLat_ = c.Latitude;
}

void TCountryInfo::OneYearClick()
{
    if (!oneYear_)
        oneYear_ = new TOneYearSRS(country_ ? country_() : 0, this);
    oneYear_->show();
    oneYear_->raise();
    oneYear_->activateWindow();
}

void TCountryInfo::ByDateClick()
{
    if (!byDate_)
        byDate_ = new TCountrySRS(this);
    byDate_->show();
    byDate_->raise();
    byDate_->activateWindow();
}

// ---- TOneYearSRS ----

TOneYearSRS::TOneYearSRS(std::uint16_t country, QWidget* owner) : QWidget(owner)
{
    makeToolWindow(this);
    setObjectName("OneYearSRS");
    setWindowTitle("One Year Sun Rise/Set");
    new TOvcController(this);
    auto* menuBar = new QMenuBar(this);
    SelectCountry1 = menuBar->addAction("Select Country", this, [this] { SelectCountryClick(); });
    Update1 = addUpdateAction(menuBar, this, [this] { UpdateClick(); });
    F_Country = display(this, "F_Country", WidestCountryName());
    DG = makeGrid(this, {{"Date", 10, gaLeft}, {"Rise", 5, gaCenter}, {"Set", 5, gaCenter}, {"DX Rise", 7, gaCenter},
                         {"DX Set", 7, gaCenter}});
    DG->OnGetCell = [this](TMyGrid*, int col, int row, std::string& value) {
        const int i = row - 1;
        if (i < 0 || i >= static_cast<int>(rows_.size()))
            return;
        value = GetTabField(col, RowText(i));
    };
    DG->ApplyHeader();
    auto* l = new QVBoxLayout(this);
    l->setMenuBar(menuBar);
    l->addWidget(F_Country);
    l->addWidget(DG, 1);
    resize(380, 420);

    RunPicklist = [this](const std::string& caption, const std::vector<std::string>& entries, int first) {
        return runPicklist(this, caption, entries, first);
    };
    SetCountry(country);
}

void TOneYearSRS::showEvent(QShowEvent* e)
{
    SetFormFont(this);
    fitToGrid(this, DG);
    QWidget::showEvent(e);
}

std::string TOneYearSRS::RowText(int index) const
{
    const TSunYearRow& r = rows_[static_cast<std::size_t>(index)];
    TDayNumber day = 0;
    try {
        day = StDateToDayNumber(r.Date);
    } catch (const EDateRangeError&) {
    }
    return FormatDayNumber(day) + "\t" + SunTimeText(r.Home.ORise) + "\t" + SunTimeText(r.Home.OSet) + "\t" +
           SunTimeText(r.Dx.ORise) + "\t" + SunTimeText(r.Dx.OSet);
}

void TOneYearSRS::SetCountry(std::uint16_t country)
{
    country_ = country;
    UpdateClick();
}

void TOneYearSRS::UpdateClick()
{
    TCountryRecord c;
    const bool known = countryPosition(country_, c);
    F_Country->SetAsString(known ? c.Name : std::string());
    // Without a country the DX columns repeat nothing useful, so the table shows home alone.
    const TStDate today = SunToday();
    double lat = 0, lon = 0;
    const bool home = HomePosition(lat, lon);
    rows_ = SunYearTable(today, Days, lon, lat, known ? c.Longitude : 0, known ? c.Latitude : 0);
    for (TSunYearRow& r : rows_) {
        if (!known)
            r.Dx = {RiseSetBadDate, RiseSetBadDate};
        if (!home)
            r.Home = {RiseSetBadDate, RiseSetBadDate};
    }
    DG->SetRows(static_cast<int>(rows_.size()) + 1, 1, 1);
    DG->viewport()->update();
}

void TOneYearSRS::SelectCountryClick()
{
    std::vector<std::string> prefixes;
    const std::int32_t count = CountryCount();
    for (std::int32_t i = 1; i < count; ++i)
        prefixes.push_back(CountryPrefix(static_cast<std::uint16_t>(i)));
    if (prefixes.empty())
        return;
    const int chosen = RunPicklist("Prefix", prefixes, country_ > 0 ? country_ - 1 : 0);
    if (chosen >= 0 && chosen < static_cast<int>(prefixes.size()))
        SetCountry(static_cast<std::uint16_t>(chosen + 1));
}

// ---- TCountrySRS ----

TCountrySRS::TCountrySRS(QWidget* owner) : QWidget(owner)
{
    makeToolWindow(this);
    setObjectName("CountrySRS");
    setWindowTitle("SunRise and SunSet by Date");
    Controller = new TOvcController(this);
    auto* menuBar = new QMenuBar(this);
    Update1 = addUpdateAction(menuBar, this, [this] { UpdateClick(); });

    F_Date = new TOvcPictureField(this);
    F_Date->setObjectName("F_Date");
    F_Date->SetDataType(pftDate);
    F_Date->SetPictureMask(DateFormatString());
    (new TDateStepper(this))->Watch(F_Date);
    F_Max = new TOvcPictureField(this);
    F_Max->setObjectName("F_Max");
    F_Max->SetDataType(pftTime);
    F_Max->SetPictureMask(TimePicture);
    F_SunRise = display(this, "F_SunRise", WidestTime);
    F_SunSet = display(this, "F_SunSet", WidestTime);

    DG = makeGrid(this, {{"Prfx", 5, gaLeft}, {"Country", 24, gaLeft}, {"DX Rise", 7, gaCenter}, {" DX Set", 7, gaCenter},
                         {"Diff", 5, gaCenter}});
    DG->OnGetCell = [this](TMyGrid*, int col, int row, std::string& value) {
        const int i = row - 1;
        if (i < 0 || i >= static_cast<int>(rows_.size()))
            return;
        const TGreyLineRow& r = rows_[static_cast<std::size_t>(i)];
        switch (col) {
        case 0: value = r.Prefix; break;
        case 1: value = r.Name; break;
        case 2: value = SunTimeText(r.DxRise); break;
        case 3: value = SunTimeText(r.DxSet); break;
        default: value = SunTimeText(r.Diff); break;
        }
    };
    DG->ApplyHeader();

    auto* top = new QGridLayout;
    addLabelled(top, 0, 0, "Date", F_Date);
    addLabelled(top, 0, 2, "Window", F_Max);
    addLabelled(top, 1, 0, "Home Rise UTC", F_SunRise);
    addLabelled(top, 1, 2, "Home Set UTC", F_SunSet);
    auto* l = new QVBoxLayout(this);
    l->setMenuBar(menuBar);
    l->addLayout(top);
    l->addWidget(DG, 1);
    resize(480, 420);

    F_Date->SetAsStDate(SunToday());
    F_Max->SetAsStTime(30 * 60);
    UpdateClick();
}

void TCountrySRS::showEvent(QShowEvent* e)
{
    SetFormFont(this);
    fitToGrid(this, DG);
    QWidget::showEvent(e);
}

void TCountrySRS::UpdateClick()
{
    TStDate date = F_Date->GetAsStDate();
    if (date < 0) {
        date = SunToday();
        F_Date->SetAsStDate(date);
    }
    TStTime window = F_Max->GetAsStTime();
    if (window < 0)
        window = 0;
    double lat = 0, lon = 0;
    const bool known = HomePosition(lat, lon);
    const TStRiseSetRec home = SunRiseSet(date, lon, lat);
    F_SunRise->SetAsString(known ? SunTimeText(home.ORise) : std::string());
    F_SunSet->SetAsString(known ? SunTimeText(home.OSet) : std::string());
    rows_.clear();
    if (known) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        rows_ = GreyLineCountries(date, lon, lat, SunCountryList(), window);
        QApplication::restoreOverrideCursor();
    }
    DG->SetRows(static_cast<int>(rows_.size()) + 1, 1, 1);
    DG->viewport()->update();
}

} // namespace korval
