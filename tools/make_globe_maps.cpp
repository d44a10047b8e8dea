// Builds the shipped world map (data/maps/) from Natural Earth data in TopoJSON:
//   make_globe_maps <countries-50m.json> <land-50m.json> <states-10m.json> <KORVAL.CTY> <out dir>
// (the npm packages world-atlas and us-atlas; the country file gives the title positions).
#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "globe/globe_core.h"
#include "logbook/country_db.h"
#include "platform/windows/win1252.h"
#include "tools/globe_maps.h"

using namespace korval;

namespace {

QByteArray ReadAll(const char* path)
{
    QFile f(QString::fromLocal8Bit(path));
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", path);
        std::exit(1);
    }
    return f.readAll();
}

std::vector<TopoRing> Rings(const char* path, const char* object, bool lines = false)
{
    std::vector<TopoRing> rings;
    QString reason;
    if (!ReadTopoRings(ReadAll(path), object, rings, reason, lines)) {
        std::fprintf(stderr, "%s: %s\n", path, qPrintable(reason));
        std::exit(1);
    }
    return rings;
}

template <class P> P* AddPresenter(TGlobeLayer& layer, std::int16_t id, const char* name)
{
    auto* p = static_cast<P*>(layer.AddPresenter(std::make_unique<P>(&layer)));
    p->Name_FeatureID(id, name);
    return p;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 6) {
        std::fprintf(stderr, "usage: make_globe_maps countries.json land.json states.json KORVAL.CTY outdir\n");
        return 2;
    }
    const std::string out = std::string(argv[5]) + "/";
    TGlobeCore globe;

    // Layer 0: countries, titled by name.
    TGlobeLayer& countries = *globe.AddLayer();
    countries.Name = "Countries";
    auto* land = AddPresenter<TPolygonPresenter>(countries, 1, "Countries");
    land->PolygonPen.data = {0x000000, psSolid, 1};
    land->PolygonBrush.data = {0x80D0A0, bsSolid};
    std::vector<TopoRing> c = Rings(argv[1], "countries");
    // The 50m countries keep only a sliver of Antarctica along the pole; the land polygons
    // south of 60 degrees take its place.
    c.erase(std::remove_if(c.begin(), c.end(), [](const TopoRing& r) { return r.name == "Antarctica"; }), c.end());
    for (TopoRing& r : Rings(argv[2], "land")) {
        bool south = true;
        for (const auto& pt : r.points)
            south = south && pt.second < -60 * GU_DEGREE;
        if (south) {
            r.name = "Antarctica";
            c.push_back(std::move(r));
        }
    }
    std::vector<std::string> titles;
    for (const TopoRing& r : c)
        titles.push_back(ToWin1252(r.name));
    AddRings(countries, c, 1, titles);

    // Layer 1: US states titled "TX,Texas".
    TGlobeLayer& states = *globe.AddLayer();
    states.Name = "US States";
    auto* st = AddPresenter<TPolygonPresenter>(states, 1, "States");
    st->PolygonPen.data = {0x606060, psSolid, 1};
    st->PolygonBrush.data = {0x90D8B0, bsSolid};
    std::vector<TopoRing> s = Rings(argv[3], "states");
    titles.clear();
    for (const TopoRing& r : s)
        titles.push_back(ToWin1252(UsStateCode(r.id) + "," + r.name));
    AddRings(states, s, 1, titles);

    // Layer 2: coast lines.
    TGlobeLayer& coast = *globe.AddLayer();
    coast.Name = "Coast lines";
    auto* line = AddPresenter<TPolylinePresenter>(coast, 1, "Coast");
    line->PolylinePen.data = {0x404040, psSolid, 1};
    AddRings(coast, Rings(argv[2], "land", true), 1, {});

    // Layer 3: country names at the country file's positions, "Name,Prefix".
    TGlobeLayer& names = *globe.AddLayer();
    names.Name = "Country names";
    auto* title = AddPresenter<TPointPresenter>(names, 1, "Titles");
    title->PointType = ppNone;
    title->TitleAlignment = taCenter;
    title->TitleFont.FontName = "Arial";
    title->TitleFont.FontSize = 10;
    title->TitleFont.FontUnit = TGlobeUnits::Pixel;
    std::ifstream cty(argv[4], std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(cty)), {});
    TCountryData db;
    std::string reason;
    if (!ReadCountryDatabase(bytes, db, false, &reason)) {
        std::fprintf(stderr, "%s: %s\n", argv[4], reason.c_str());
        return 1;
    }
    for (std::int32_t i = 0; i < db.Countries->Count(); ++i) {
        TCountryRecord rec = TCountryRecord::FromBytes(db.Countries->Record(i));
        if (rec.EndDate != OpenEndDate || rec.Name.empty())
            continue; // deleted entities have no place on today's map
        auto point = std::make_unique<TGeoDataObject>(&names);
        point->Add(MakeGlobePoint(std::llround(rec.Longitude * GU_DEGREE), static_cast<std::int32_t>(std::llround(rec.Latitude * GU_DEGREE))));
        point->Title = rec.Name + "," + rec.Prefix;
        point->SetPresenter(title);
        names.AddObject(std::move(point));
    }

    const char* files[] = {"countries.lyr", "states.lyr", "coast.lyr", "titles.lyr"};
    for (int i = 0; i < 4; ++i)
        globe.GetLayer(i).SaveToFile(out + files[i]);
    globe.DataDirectory = "";
    globe.SaveProfile(out + "tglobe.prf");
    std::printf("wrote %zu countries, %zu states, %d titles\n", c.size(), s.size(), names.ObjectCount());
    return 0;
}
