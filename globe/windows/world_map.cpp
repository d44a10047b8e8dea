#include "globe/windows/world_map.h"

#include <QAction>
#include <QColorDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrinter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <stdexcept>

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_picture_field.h"
#include "globe/great_circle.h"
#include "globe/windows/globe3.h"
#include "globe/windows/map_printer.h"
#include "grids/windows/ovc_spinner.h"
#include "grids/windows/popup_box.h"
#include "logbook/bands_modes.h"
#include "logbook/base/colors.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/configured_formats.h"
#include "logbook/country_db.h"
#include "logbook/date_time_steps.h"
#include "logbook/paths.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/form_placement.h"
#include "platform/korval_home.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"
#include "station/spot_record.h"

namespace korval {

namespace {

constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clGray = 0x808080;
// "Color Countries": the colour of an object is entry RowID mod 11 (maroon, green, olive,
// purple, teal, gray, silver, red, lime, blue, fuchsia).
constexpr TColor kCountryColours[11] = {0x000080, 0x008000, 0x008080, 0x800080, 0x808000, 0x808080,
                                        0xC0C0C0, 0x0000FF, 0x00FF00, 0xFF0000, 0xFF00FF};
// Paths are drawn only down to this zoom (pixels per globe unit).
constexpr double kPathScaleLimit = 0.0001;
// Distance rings: 2000 km or 1000 miles apart, out to half the world.
constexpr double kRingKm = 97192224.622;
constexpr double kRingMiles = 78157894.840;
constexpr double kRingLimit = 972000064.809;
constexpr std::int32_t kBearingStep = 81000000;  // 15 degrees

TGlobePoint DegreesToPoint(double longitude, double latitude)
{
    const double lat = std::clamp(latitude, -90.0, 90.0);
    return MakeGlobePoint(std::llround(longitude * GU_DEGREE), static_cast<std::int32_t>(std::llround(lat * GU_DEGREE)));
}

// The stored date and time as days since 30 Dec 1899, as the day and night shading takes them.
double DateTimeOf(TStDate date, TStTime time)
{
    static const TStDate base = DMYToDate(30, 12, 1899, 1900);
    return double(date - base) + time / 86400.0;
}

std::string UpperKey(const std::string& title)
{
    std::string key;
    for (char c : title) {
        if (c == ' ' || c == ',' || c == '.')
            continue;
        key += (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    }
    return key;
}

// A layer without objects that the window draws its paths for.
TGlobeLayer* AddOverlayLayer(TGlobeCore& core, const char* name)
{
    TGlobeLayer* layer = core.AddLayer();
    layer->Name = name;
    layer->ZoomMin = 1;
    layer->ZoomMax = 1000;
    layer->Animated = true;
    layer->Enabled = false;
    return layer;
}

QLabel* Caption(QWidget* parent, const char* text, QWidget* buddy)
{
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    l->setBuddy(buddy);
    return l;
}

} // namespace

std::vector<bool> SpottedCountries(const std::vector<TSpotRecord>& spots, int countryCount, TDayNumber endDay,
                                   int endMinute, int minutes, int band)
{
    std::vector<bool> flags(static_cast<std::size_t>(std::max(countryCount, 0)), false);
    long startDay = endDay;
    int startMinute = endMinute - minutes;
    if (minutes > endMinute) {
        --startDay;
        startMinute += 1440;
    }
    for (const TSpotRecord& s : spots) {
        // A spot without a time cannot be placed in the window.
        if (s.country == 0 || s.country >= countryCount || s.time >= 1440)
            continue;
        const bool afterStart = s.date > startDay || (s.date == startDay && s.time >= startMinute);
        const bool beforeEnd = s.date < endDay || (s.date == endDay && s.time <= endMinute);
        if (afterStart && beforeEnd && (band == 0 || s.band == band))
            flags[s.country] = true;
    }
    return flags;
}

std::string MapReadout(const TGlobePoint& home, const TGlobePoint& cursor, bool miles)
{
    const TGlobeUnits unit = miles ? TGlobeUnits::Mile : TGlobeUnits::Kilometer;
    // The bearing counts toward the west: turned into degrees clockwise from north, where a
    // bearing within a degree of north reads 360.
    const std::int32_t b = GreatCircleBearing(home, cursor) / GU_DEGREE;
    const int shown = b < 0 ? -b : 360 - b;
    const long distance = std::lround(static_cast<double>(GlobeUnitsToUnit(GreatCircleDistance(home, cursor), unit)));
    char tail[80];
    std::snprintf(tail, sizeof tail, ", Dist = %ld %s, %d degrees", distance, miles ? "MI" : "KM", shown);
    return FormatGlobeCoord(cursor.iLongX, "%d.%m%E ") + FormatGlobeCoord(cursor.iLatY, "%d.%m%N") + tail;
}

// ---- creation ----

TWorldMap::TWorldMap(std::function<TQsoMapPosition()> qsoPosition, QWidget* owner)
    : QWidget(owner), qsoPosition_(std::move(qsoPosition))
{
    setWindowFlag(Qt::Window, true);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("WorldMap"));
    setWindowTitle(QStringLiteral("World Map"));
    setFont(QFont(QStringLiteral("Arial")));
    new TOvcController(this);

    Globe = new TGlobe3(this);
    Globe->setObjectName(QStringLiteral("Globe"));
    TGlobeCore& core = Globe->Core();
    core.GlobeColor = clAqua;
    core.SelectedBrush = {clYellow, bsSolid};
    core.SelectedPen = {clRed, psSolid, 1};
    core.TransparentBrush = {clSilver, bsSolid};
    core.TransparentPen = {clGray, psSolid, 1};
    core.GridPen = {clSilver, psSolid, 1};
    core.SetTextureBackground(false);
    core.SetRotation(2 | 4, 23);  // X rotation, degrees
    core.SetRotation(1 | 4, 0);
    core.SetRotation(0 | 4, 0);

    InfoPanel = new QLabel(this);
    InfoPanel->setObjectName(QStringLiteral("InfoPanel"));
    InfoPanel->setFrameShape(QFrame::Panel);
    InfoPanel->setFrameShadow(QFrame::Sunken);
    InfoPanel->setMinimumHeight(InfoPanel->fontMetrics().height() + 6);
    BuildPanel();
    BuildMenus();

    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(1);
    lay->setMenuBar(MainMenu1);
    lay->addWidget(Panel1);
    lay->addWidget(InfoPanel);
    lay->addWidget(Globe, 1);

    // The profile, its layers made ready, then the overlay layers the window draws on.
    LoadProfile(FindFileNoCase(FindFileNoCase(GetProgramDir(), "maps"), "tglobe.prf"));
    PrepareLayers();
    greatCircle_ = AddOverlayLayer(core, "Great circle");
    for (int i = 0; i < 3; ++i)
        rotations_[i] = core.GetRotation(i);
    core.MinTextHeight = 0;
    const bool nothingSaved = Config.MapProjection() == 255;
    for (int i = 0; i < core.LayerCount(); ++i) {
        TGlobeLayer& layer = core.GetLayer(i);
        QAction* item = Draw1->addAction(FromWin1252(layer.Name));
        item->setCheckable(true);
        item->setData(i);
        if (!layer.LoadError.empty()) {
            // Its file could not be read: nothing to show or switch on.
            item->setEnabled(false);
        } else if (nothingSaved) {
            layer.Visible = true;
        } else if (i < SavedLayerCount) {
            layer.Visible = Config.MapLayerVisible(i);
        }
        item->setChecked(layer.Visible);
        connect(item, &QAction::triggered, this, [this, item] { LayerItemClick(item); });
        layerItems_.push_back(item);
    }
    propagation_ = AddOverlayLayer(core, "Propagation");
    propagation_->Visible = false;

    core.OnRender = [this] { GlobeRender(); };
    core.OnRenderObject = [this](TGlobeObject* o, bool& done) { GlobeRenderObject(o, done); };
    Globe->OnPaint = [this] { GlobePaint(); };
    Globe->viewport()->setMouseTracking(true);
    Globe->viewport()->installEventFilter(this);
    F_Date->installEventFilter(this);
    F_Time->installEventFilter(this);

    // Fonts and the form scale first, then the stored placement, both before the first show:
    // the stored size wins over the scaled one, and the saved view goes into the globe at the
    // size it was saved at.
    resize(950, 650);
    SetFormFont(this);
    RestoreFormPlacement(this, psWorld);
}

void TWorldMap::BuildPanel()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    F_Date = new TOvcPictureField(Panel1);
    F_Date->setObjectName(QStringLiteral("F_Date"));
    F_Date->SetDataType(pftDate);
    F_Date->SetPictureMask(DateFormatString());
    F_Time = new TOvcPictureField(Panel1);
    F_Time->setObjectName(QStringLiteral("F_Time"));
    F_Time->SetDataType(pftTime);
    F_Time->SetPictureMask("hh:mm");
    F_Mins = new TOvcPictureField(Panel1);
    F_Mins->setObjectName(QStringLiteral("F_Mins"));
    F_Mins->SetDataType(pftWord);
    F_Mins->SetPictureMask("9999");
    F_Mins->SetRangeLo("5");
    F_Mins->SetRangeHi("1440");
    F_Mins->SetAsInteger(20);
    OvcSpinner1 = new TOvcSpinner(Panel1);
    OvcSpinner1->setObjectName(QStringLiteral("OvcSpinner1"));
    OvcSpinner1->SetFocusedControl(F_Mins);
    OvcSpinner1->SetDelta(5);
    OvcSpinner1->SetWrapMode(true);
    OvcSpinner1->SetAutoRepeat(true);
    OvcSpinner1->SetAcceleration(5);
    OvcSpinner1->SetDelayTime(500);
    F_band = new TPopupBox(Panel1);
    F_band->setObjectName(QStringLiteral("F_band"));
    F_band->SetStyle(pbsDropDownList);
    F_band->GetItems().Add("All");
    for (int band = 1; band <= 15; ++band)
        F_band->GetItems().Add(BandName(band));
    F_band->SetItemIndex(0);

    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(Caption(Panel1, "Date", F_Date));
    row->addWidget(F_Date);
    row->addWidget(Caption(Panel1, "Time", F_Time));
    row->addWidget(F_Time);
    auto* minsLabel = Caption(Panel1, "Minutes", F_Mins);
    auto* bandLabel = Caption(Panel1, "Band", F_band);
    minsLabel->setObjectName(QStringLiteral("MinsLabel"));
    bandLabel->setObjectName(QStringLiteral("BandLabel"));
    row->addWidget(minsLabel);
    row->addWidget(F_Mins);
    row->addWidget(OvcSpinner1);
    row->addWidget(bandLabel);
    row->addWidget(F_band);
    row->addStretch();
    Panel1->hide();

    F_Mins->OnChange = [this](QObject*) { PropChanged(); };
    F_Time->OnChange = [this](QObject*) { PropChanged(); };
    F_Date->AfterExit = [this](QObject*) { PropChanged(); };
    F_band->OnChange = [this](TCustomPopupBox*) { PropChanged(); };
}

void TWorldMap::BuildMenus()
{
    MainMenu1 = new QMenuBar(this);
    auto command = [this](QMenu* m, const char* caption, const char* key, void (TWorldMap::*fn)()) {
        QAction* a = m->addAction(QString::fromLatin1(caption), this, [this, fn] { (this->*fn)(); });
        if (key) {
            a->setShortcut(QKeySequence(QString::fromLatin1(key)));
            a->setShortcutContext(Qt::WindowShortcut);
        }
        return a;
    };
    QMenu* zoom = MainMenu1->addMenu(QStringLiteral("Zoom"));
    World1 = command(zoom, "World", "W", &TWorldMap::World1Click);
    Zoomin1 = command(zoom, "Zoom in", "I", &TWorldMap::Zoomin1Click);
    Zoomout1 = command(zoom, "Zoom out", "O", &TWorldMap::Zoomout1Click);

    QMenu* projection = MainMenu1->addMenu(QStringLiteral("Projection"));
    const std::pair<const char*, int> projections[ProjectionCount] = {
        {"Spherical", prSpherical}, {"Cartesian", prCartesian}, {"Mercator", prMercator},
        {"Equi-Distant", prEquidistant}, {"Cylindrical Equal Area", prCylEqualArea},
        {"Albers Equal Area Conic", prAlbers}, {"Sinusoidal", prSinusoidal}};
    for (const auto& [caption, index] : projections) {
        QAction* a = projection->addAction(QString::fromLatin1(caption));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, i = index] {
            ProjectionItems[std::size_t(i)]->setChecked(projection_ == i);
            SetProjection(i);
        });
        ProjectionItems[std::size_t(index)] = a;
    }

    Draw1 = MainMenu1->addMenu(QStringLiteral("Draw"));

    QMenu* options = MainMenu1->addMenu(QStringLiteral("Options"));
    // Checkable items toggle themselves; each handler runs on the new state.
    auto option = [&](const char* caption, void (TWorldMap::*fn)()) {
        QAction* a = options->addAction(QString::fromLatin1(caption));
        a->setCheckable(true);
        if (fn)
            connect(a, &QAction::triggered, this, [this, fn] { (this->*fn)(); });
        return a;
    };
    ShowSpotCountry1 = option("Show spot country", nullptr);
    ColorCountries1 = option("Color Countries", &TWorldMap::Redraw);
    DayandNight1 = option("Day and Night", nullptr);
    connect(DayandNight1, &QAction::triggered, this, [this] {
        if (!DayandNight1->isChecked())
            UpdateDayandNight1->setChecked(false);
        UpdateDayandNight1->setEnabled(DayandNight1->isChecked());
        UpdateOptionPanel();
    });
    UpdateDayandNight1 = option("Update Day and Night", nullptr);
    UpdateDayandNight1->setEnabled(false);
    connect(UpdateDayandNight1, &QAction::triggered, this, [this] {
        if (UpdateDayandNight1->isChecked()) {
            Propagation1->setChecked(false);
            SetTimeToNow();
        }
        UpdateOptionPanel();
    });
    Propagation1 = option("Propagation", &TWorldMap::UpdateOptionPanel);
    QMenu* colours = options->addMenu(QStringLiteral("Map Colors"));
    Water1 = command(colours, "Water", nullptr, &TWorldMap::Water1Click);
    Land1 = command(colours, "Land", nullptr, &TWorldMap::Land1Click);
    Gridlinesinfront1 = option("Gridlines in front", nullptr);
    connect(Gridlinesinfront1, &QAction::triggered, this, [this] {
        Globe->Core().DrawGrid = Gridlinesinfront1->isChecked() ? dgInFront : dgBehind;
        Globe->RedrawGlobe();
    });
    options->addSeparator();
    PrintMap1 = command(options, "Print Map", nullptr, &TWorldMap::PrintMap1Click);
}

TWorldMap::~TWorldMap()
{
    destroying_ = true;
    SaveSettings();
    SaveFormPlacement(this, psWorld);
    TGlobeCore& core = Globe->Core();
    core.OnRender = nullptr;
    core.OnRenderObject = nullptr;
    core.OnPaintGraticule = nullptr;
    Globe->OnPaint = nullptr;
    if (OnClosed)
        OnClosed();
}

void TWorldMap::SaveSettings()
{
    TGlobeCore& core = Globe->Core();
    Config.SetMapProjection(static_cast<std::uint8_t>(projection_));
    const std::string view = GlobeViewToBytes(core.SaveView());
    std::memcpy(Config.Bytes() + TConfigRecord::MapViewOffset, view.data(), GLOBE_VIEW_BYTES);
    // Only the first sixteen layers have a byte: the option bytes follow them.
    for (int i = 0; i < std::min(core.LayerCount(), SavedLayerCount); ++i)
        Config.SetMapLayerVisible(i, core.GetLayer(i).Visible);
    Config.SetMapOption(opShowSpotCountry, ShowSpotCountry1->isChecked());
    Config.SetMapOption(opColorCountries, ColorCountries1->isChecked());
    Config.SetMapOption(opDayAndNight, DayandNight1->isChecked());
    Config.SetMapOption(opUpdateDayAndNight, UpdateDayandNight1->isChecked());
    Config.SetMapOption(opGridInFront, Gridlinesinfront1->isChecked());
}

void TWorldMap::LoadProfile(const std::string& fileName)
{
    // A profile that is missing leaves the globe without layers; a layer file that is missing
    // or damaged leaves its layer empty and the others are shown.
    layerErrors_.clear();
    Globe->Core().ClearLayers();
    try {
        Globe->Core().SetProfileName(fileName, &layerErrors_);
    } catch (const std::exception& e) {
        layerErrors_.push_back(e.what());
    }
}

void TWorldMap::AssignRowID(TGlobeObject* object, std::vector<std::string>& keys)
{
    const std::string key = UpperKey(object->Title);
    auto it = std::find(keys.begin(), keys.end(), key);
    if (it == keys.end()) {
        keys.push_back(key);
        it = keys.end() - 1;
    }
    object->RowID = static_cast<std::int32_t>(it - keys.begin());
}

void TWorldMap::PrepareLayers()
{
    TGlobeCore& core = Globe->Core();
    // One list of names for the states and the countries, so every country or state has a
    // number of its own; the objects of one country share it.
    std::vector<std::string> keys;
    if (core.LayerCount() > 1) {
        TGlobeLayer& states = core.GetLayer(1);
        for (int i = states.ObjectCount() - 1; i >= 0; --i) {
            TGlobeObject* o = states.Object(i);
            const std::string& t = o->Title;
            if (t.size() >= 3 && t[2] == ',' && StateNumber(t.substr(0, 2)) != 0)
                AssignRowID(o, keys);
            else
                states.DeleteObject(o);
        }
    }
    if (core.LayerCount() > 0) {
        TGlobeLayer& countries = core.GetLayer(0);
        for (int i = 0; i < countries.ObjectCount(); ++i)
            AssignRowID(countries.Object(i), keys);
    }
    if (core.LayerCount() > 3) {
        TGlobeLayer& titles = core.GetLayer(3);
        for (int i = 0; i < titles.ObjectCount(); ++i) {
            std::string& t = titles.Object(i)->Title;
            if (const auto comma = t.find(','); comma != std::string::npos)
                t.erase(comma);
        }
    }
}

// ---- showing and closing ----

void TWorldMap::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (shown_)
        return;
    double lat = 0, lon = 0;
    HomePosition(lat, lon);
    home_ = DegreesToPoint(lon, lat);
    TGlobeCore& core = Globe->Core();
    core.GlobeColor = Config.MapWaterColour();
    if (Config.MapOption(opShowSpotCountry))
        ShowSpotCountry1->trigger();
    if (Config.MapOption(opColorCountries))
        ColorCountries1->trigger();
    if (Config.MapOption(opDayAndNight))
        DayandNight1->trigger();
    if (Config.MapOption(opUpdateDayAndNight) && Config.MapOption(opDayAndNight))
        UpdateDayandNight1->trigger();
    if (Config.MapOption(opGridInFront))
        Gridlinesinfront1->trigger();
    UpdateOptionPanel();
    if (Config.MapProjection() < 255) {
        SetProjection(Config.MapProjection());
        TGlobeView view;
        if (GlobeViewFromBytes(std::string_view(reinterpret_cast<const char*>(Config.Bytes()) + TConfigRecord::MapViewOffset,
                                                GLOBE_VIEW_BYTES),
                               view))
            core.RestoreView(view);
    } else {
        // The globe starts spherical: its item says so.
        SetProjection(prSpherical);
        core.ViewRect({}); // the whole world
    }
    shown_ = true;
    SetTimeToNow();
}

void TWorldMap::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    penWidth_ = Globe->width() > 1000 ? 2 : 1;
}

// ---- the main window's operations ----

bool TWorldMap::TimeChanged(TDayNumber day, std::uint16_t minute) const
{
    if (minute != redrawMinute_)
        return true;
    return UpdateDayandNight1->isEnabled() && UpdateDayandNight1->isChecked() && shown_ && day != redrawDay_;
}

void TWorldMap::SetTimeToNow()
{
    TDayNumber day = 0;
    std::int32_t seconds = 0;
    GetUtcDateTime(day, seconds);
    storedDate_ = DayNumberToStDate(day);
    storedTime_ = seconds;
    PropChanged();
}

void TWorldMap::Redraw()
{
    if (!shown_)
        return;
    Globe->RedrawGlobe();
    TDayNumber day = 0;
    std::int32_t seconds = 0;
    GetUtcDateTime(day, seconds);
    redrawDay_ = day;
    redrawMinute_ = seconds / 60;
}

void TWorldMap::ShowQsoCountry()
{
    const TQsoMapPosition pos = qsoPosition_ ? qsoPosition_() : TQsoMapPosition{};
    shownPosition_ = pos;
    positionShown_ = true;
    destinationLabel_ = pos.Label.substr(0, 6);
    destination_ = DegreesToPoint(pos.Longitude, pos.Latitude);
    TGlobeCore& core = Globe->Core();
    core.SetSelectedObject(nullptr);
    if (ShowSpotCountry1->isChecked() && !destinationLabel_.empty()) {
        const int index = pos.UsState && core.LayerCount() > 1 && core.GetLayer(1).Visible ? 1 : 0;
        if (index < core.LayerCount()) {
            TGlobeLayer& layer = core.GetLayer(index);
            for (int i = 0; i < layer.ObjectCount(); ++i)
                if (layer.Object(i)->ContainsLL(destination_)) {
                    core.SetSelectedObject(layer.Object(i));
                    break;
                }
        }
    }
    if (greatCircle_->Visible)
        Redraw();
}

void TWorldMap::RefreshQsoCountry()
{
    if (!positionShown_ || !(qsoPosition_ && qsoPosition_() == shownPosition_))
        ShowQsoCountry();
}

// ---- commands ----

void TWorldMap::SetHome(const TGlobePoint& home)
{
    home_ = home;
    Redraw();
    RecentreEquidistant();
}

void TWorldMap::World1Click()
{
    TGlobeCore& core = Globe->Core();
    if (projection_ == prEquidistant) {
        core.Model().SetIntegerProperty(ppZRotation, 0);
    } else {
        for (int i = 0; i < 3; ++i)
            core.SetRotation(i, rotations_[i]);
    }
    core.ViewRect({});
}

void TWorldMap::Zoomin1Click() { Globe->Core().SetScale(Globe->Core().Scale() * 1.4); }

void TWorldMap::Zoomout1Click() { Globe->Core().SetScale(Globe->Core().Scale() / 1.4); }

void TWorldMap::SetProjection(int index)
{
    if (index == projection_ || index < prNone || index > ProjectionCount)
        return;
    projection_ = index;
    for (int i = 1; i <= ProjectionCount; ++i)
        ProjectionItems[std::size_t(i)]->setChecked(i == index);
    for (TGlobeObject* o : hidden_)
        o->SetHidden(false);
    hidden_.clear();
    TGlobeCore& core = Globe->Core();
    core.OnPaintGraticule = nullptr;
    Globe->MouseRotateButton = mzbLeft;
    switch (index) {
    case prSpherical: Globe->SetProjection(gpSpherical); break;
    case prMercator: Globe->SetProjection(gpMercator); break;
    case prCartesian: Globe->SetProjection(gpCartesian); break;
    case prEquidistant: {
        core.OnPaintGraticule = [this] { GlobePaintGraticule(); };
        auto model = std::make_unique<TQZEquidistantPrj>(core);
        TQZEquidistantPrj* equidistant = model.get();
        core.SetProjectionModel(std::move(model));
        // The map is drawn around home and cannot be turned.
        Globe->MouseRotateButton = mzbNone;
        // Home's antipode lies on the whole rim: an area there would be smeared around it. The
        // areas that hold it are hidden (the country first, then its state), not the lines or
        // names of the layers drawn over them, which do not smear.
        const TGlobePoint antipode = MakeGlobePoint(std::int64_t(home_.iLongX) + GU_180, -home_.iLatY);
        for (int l = 0; l < core.LayerCount(); ++l) {
            TGlobeLayer& layer = core.GetLayer(l);
            for (int i = layer.ObjectCount() - 1; i >= 0; --i) {
                TGlobeObject* o = layer.Object(i);
                if (dynamic_cast<TPolygonPresenter*>(o->Presenter()) && o->ContainsLL(antipode)) {
                    o->SetHidden(true);
                    hidden_.push_back(o);
                }
            }
        }
        equidistant->SetCentre(home_.iLongX, home_.iLatY);
        core.Model().SetIntegerProperty(ppZRotation, 0);
        core.ViewRect({});
        break;
    }
    case prCylEqualArea: core.SetProjectionModel(std::make_unique<TCylEqualAreaPrj>(core)); break;
    case prAlbers: core.SetProjectionModel(std::make_unique<TAlbersEqualAreaConicPrj>(core)); break;
    case prSinusoidal: core.SetProjectionModel(std::make_unique<TSinusoidalPrj>(core)); break;
    default: break;
    }
}

void TWorldMap::RecentreEquidistant()
{
    if (projection_ == prEquidistant)
        if (auto* m = dynamic_cast<TQZEquidistantPrj*>(&Globe->Core().Model()))
            m->SetCentre(home_.iLongX, home_.iLatY);
    Redraw();
}

void TWorldMap::LayerItemClick(QAction* item)
{
    TGlobeCore& core = Globe->Core();
    const int i = item->data().toInt();
    if (i < core.LayerCount())
        core.GetLayer(i).Visible = item->isChecked();
    Globe->RedrawGlobe();
}

void TWorldMap::ShowSpotCountry1Click() { ShowSpotCountry1->trigger(); }
void TWorldMap::ColorCountries1Click() { ColorCountries1->trigger(); }
void TWorldMap::DayandNight1Click() { DayandNight1->trigger(); }
void TWorldMap::UpdateDayandNight1Click() { UpdateDayandNight1->trigger(); }
void TWorldMap::Propagation1Click() { Propagation1->trigger(); }
void TWorldMap::Gridlinesinfront1Click() { Gridlinesinfront1->trigger(); }

void TWorldMap::UpdateOptionPanel()
{
    const bool p = Propagation1->isChecked(), d = DayandNight1->isChecked();
    if (p && UpdateDayandNight1->isChecked())
        UpdateDayandNight1->setChecked(false);
    const bool u = UpdateDayandNight1->isChecked() && d;
    const bool visible = (d || p) && !u;
    Panel1->setVisible(visible);
    propagation_->Visible = visible && p;
    if (visible) {
        for (QWidget* w : {static_cast<QWidget*>(F_Mins), static_cast<QWidget*>(OvcSpinner1),
                           static_cast<QWidget*>(F_band), Panel1->findChild<QWidget*>("MinsLabel"),
                           Panel1->findChild<QWidget*>("BandLabel")})
            w->setVisible(p);
        if (p) {
            F_band->SetItemIndex(0);
            F_Mins->SetAsInteger(20);
        }
    }
    PropChanged();
}

void TWorldMap::PropChanged()
{
    if (propChanging_)
        return;
    ++propChanging_;
    F_Date->SetAsStDate(storedDate_);
    F_Time->SetAsStTime(storedTime_);
    F_Date->update();
    F_Time->update();
    --propChanging_;
    Redraw();
}

void TWorldMap::StepTime(int command)
{
    std::int32_t date = F_Date->GetAsStDate(), time = F_Time->GetAsStTime();
    if (!StepDateTime(date, time, 5, command))
        return;
    storedDate_ = date;
    storedTime_ = time;
    PropChanged();
}

void TWorldMap::StepDate(int command)
{
    std::int32_t date = F_Date->GetAsStDate();
    if (!korval::StepDate(date, command) || date > MaxDate)
        return;
    storedDate_ = date;
    PropChanged();
}

bool TWorldMap::ChooseColour(std::uint32_t& colour)
{
    if (AskColour)
        return AskColour(colour);
    const QColor chosen = QColorDialog::getColor(ColorRefToQColor(colour), this);
    if (!chosen.isValid())
        return false;
    colour = QColorToColorRef(chosen);
    return true;
}

void TWorldMap::Water1Click()
{
    std::uint32_t colour = Config.MapWaterColour();
    if (!ChooseColour(colour))
        return;
    Config.SetMapWaterColour(colour);
    Globe->Core().GlobeColor = colour;
    Redraw();
}

void TWorldMap::Land1Click()
{
    std::uint32_t colour = Config.MapLandColour();
    if (!ChooseColour(colour))
        return;
    Config.SetMapLandColour(colour);
    Redraw();
}

void TWorldMap::PrintMap1Click()
{
    if (MessageDlg("Print map on default printer", TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    PrintMapOnReportPrinter(
        [this](QPainter& painter, const QRect& page, int resolution) { Globe->PrintGlobeOn(painter, page, resolution); },
        AskPdfFile ? AskPdfFile : std::function<std::string()>([this] {
            return ToWin1252(QFileDialog::getSaveFileName(this, QStringLiteral("Print Map"), QStringLiteral("World map.pdf"),
                                                          QStringLiteral("PDF (*.pdf)")));
        }));
}

// ---- drawing ----

std::vector<bool> TWorldMap::PropagationCountries() const
{
    const std::vector<TSpotRecord>* spots = SpotList ? SpotList() : nullptr;
    if (!spots)
        return {};
    return SpottedCountries(*spots, CountryCount(), StDateToDayNumber(storedDate_), storedTime_ / 60,
                            F_Mins->GetAsInteger(), F_band->GetItemIndex());
}

void TWorldMap::DrawLabel(const TGlobePoint& at, const std::string& text)
{
    TGlobeCore& core = Globe->Core();
    TScreenPoint s;
    if (!core.Surface || !core.Model().Project(at, s))
        return;
    // The label keeps its size on the screen and on paper whatever the zoom.
    TFontSpec font;
    font.name = "Arial";
    font.color = clBlack;
    font.pixelHeight = std::max(1, core.SizeToPixels(15, TGlobeUnits::Pixel));
    core.Surface->SetFont(font);
    int w = 0, h = 0;
    core.Surface->TextExtent(text, w, h);
    core.Surface->SetPen({clYellow, psClear, 1});
    core.Surface->SetBrush({clYellow, bsSolid});
    core.Surface->Rectangle(s.x, s.y, s.x + w + 1, s.y + h + 1);
    core.Surface->Text(s.x, s.y, text, taLeftFlag | taTopFlag);
}

void TWorldMap::GlobeRender()
{
    if (destroying_ || !shown_)
        return;
    TGlobeCore& core = Globe->Core();
    TGlobeSurface* surface = core.Surface;
    if (!surface)
        return;
    if (DayandNight1->isChecked()) {
        TGlobePoint sun;
        core.DrawDayNight(clBlack, clSilver, sun, 2, DateTimeOf(storedDate_, storedTime_));
    }
    if (core.Scale() > kPathScaleLimit)
        return;
    if (greatCircle_->Visible && !destinationLabel_.empty()) {
        surface->SetPen({clRed, psSolid, std::uint8_t(penWidth_)});
        core.DrawGreatCircle(home_, destination_, 0);
        DrawLabel(destination_, " " + destinationLabel_ + " ");
        surface->SetPen({clBlack, psSolid, std::uint8_t(penWidth_)});
        core.DrawGreatCircle(home_, destination_, 1);
    }
    if (propagation_->Visible) {
        const std::vector<bool> flags = PropagationCountries();
        surface->SetPen({clRed, psSolid, 1});
        for (std::size_t c = 1; c < flags.size(); ++c) {
            TCountryRecord rec;
            if (flags[c] && GetCountry(static_cast<std::uint16_t>(c), rec))
                core.DrawGreatCircle(home_, DegreesToPoint(rec.Longitude, rec.Latitude), 0);
        }
    }
    surface->SetPen({clBlack, psSolid, 1});
}

void TWorldMap::GlobePaint()
{
    if (!drag_ || destroying_)
        return;
    TGlobeCore& core = Globe->Core();
    if (!core.Surface)
        return;
    core.Surface->SetPen({clRed, psSolid, std::uint8_t(penWidth_)});
    core.DrawGreatCircle(home_, cursor_, 0);
}

void TWorldMap::GlobePaintGraticule()
{
    if (projection_ != prEquidistant)
        throw std::logic_error("Wrong graticule (fglobe, line 948)");
    TGlobeCore& core = Globe->Core();
    const double step = Config.DistanceUnit() == kDistanceInMiles ? kRingMiles : kRingKm;
    double d = step;
    for (; d < kRingLimit; d += step)
        core.DrawCircle(home_, RoundGU(d), 128);
    for (std::int64_t a = 0; a < GU_360; a += kBearingStep) {
        std::int32_t lat = 0, lon = 0;
        DestinationPoint(home_.iLongX, home_.iLatY, RoundGU(d), lat, lon, static_cast<std::int32_t>(a));
        core.DrawGreatCircle(home_, MakeGlobePoint(lon, lat), 0);
    }
}

void TWorldMap::GlobeRenderObject(TGlobeObject* object, bool& done)
{
    done = false;
    auto* presenter = dynamic_cast<TPolygonPresenter*>(object->Presenter());
    TGlobeCore& core = Globe->Core();
    const bool countryOrState = (core.LayerCount() > 0 && object->Layer() == &core.GetLayer(0)) ||
                                (core.LayerCount() > 1 && object->Layer() == &core.GetLayer(1));
    if (!presenter || !countryOrState)
        return;
    presenter->PolygonPen.data.color = clBlack;
    if (object->Selected())
        presenter->PolygonBrush.data.color = clYellow;
    else if (ColorCountries1->isChecked())
        presenter->PolygonBrush.data.color = kCountryColours[std::abs(object->RowID) % 11];
    else
        presenter->PolygonBrush.data.color = Config.MapLandColour();
}

// ---- mouse and keys ----

void TWorldMap::GlobeMouseMove(int x, int y)
{
    TGlobeCore& core = Globe->Core();
    TGlobePoint p;
    const bool onMap = core.ScreenToGlobe(x, y, p);
    cursor_ = p;
    if (!onMap) {
        // Off the map there is no position to measure to.
        InfoPanel->clear();
    } else {
        std::string text;
        if (TGlobeObject* o = core.ObjectAtXY(x, y))
            text = o->Title + " ";
        text += MapReadout(home_, p, Config.DistanceUnit() == kDistanceInMiles);
        InfoPanel->setText(FromWin1252(text));
    }
    if (drag_)
        Globe->viewport()->update();
}

void TWorldMap::keyPressEvent(QKeyEvent* e)
{
    // The zoom keys in either case.
    const QString key = e->text().toUpper();
    QAction* a = key == QLatin1String("I") ? Zoomin1 : key == QLatin1String("O") ? Zoomout1
               : key == QLatin1String("W") ? World1 : nullptr;
    if (a) {
        a->trigger();
        return;
    }
    QWidget::keyPressEvent(e);
}

bool TWorldMap::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Globe->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* m = static_cast<QMouseEvent*>(event);
            const QPoint pos = m->position().toPoint();
            if (m->button() != Qt::LeftButton || !(m->modifiers() & Qt::ControlModifier))
                break;
            if (m->modifiers() & Qt::ShiftModifier) {
                TGlobePoint p;
                if (Globe->Core().ScreenToGlobe(pos.x(), pos.y(), p))
                    SetHome(p);
            } else {
                drag_ = true;
                GlobeMouseMove(pos.x(), pos.y());
            }
            break;
        }
        case QEvent::MouseMove: {
            const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
            GlobeMouseMove(pos.x(), pos.y());
            break;
        }
        case QEvent::MouseButtonRelease:
            if (drag_) {
                drag_ = false;
                Globe->viewport()->update();
            }
            break;
        default: break;
        }
        return false;
    }
    if ((watched == F_Date || watched == F_Time) && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if ((k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) && k->modifiers() == Qt::NoModifier) {
            const int command = k->key() == Qt::Key_Up ? ccStepUp : ccStepDown;
            if (watched == F_Time)
                StepTime(command);
            else
                StepDate(command);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace korval
