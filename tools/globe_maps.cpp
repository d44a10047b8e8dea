#include "tools/globe_maps.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <map>

#include "globe/globe_core.h"
#include "platform/windows/win1252.h"

namespace korval {

namespace {

// Positions are kept on whole minutes (about 1.9 km), which the layer file stores in two bytes
// and most steps in one.
std::int64_t Minutes(double deg) { return std::llround(deg * 60) * GU_MINUTE; }

std::int32_t Longitude(double deg)
{
    std::int64_t v = Minutes(deg);
    // +180 would normalise to -180 and make the ring look as if it jumped across the date line.
    if (v >= GU_180)
        v = GU_180 - 1;
    if (v < -GU_180)
        v = -GU_180;
    return static_cast<std::int32_t>(v);
}

std::int32_t Latitude(double deg)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(Minutes(deg), -GU_90, GU_90));
}

} // namespace

bool ReadTopoRings(const QByteArray& json, const QString& objectName, std::vector<TopoRing>& rings, QString& reason,
                   bool linesOnly)
{
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &err);
    if (doc.isNull()) {
        reason = err.errorString();
        return false;
    }
    const QJsonObject top = doc.object();
    const QJsonArray scale = top["transform"].toObject()["scale"].toArray();
    const QJsonArray translate = top["transform"].toObject()["translate"].toArray();
    const bool quantized = scale.size() == 2 && translate.size() == 2;
    // Decode every arc into absolute positions once.
    std::vector<std::vector<std::pair<double, double>>> arcs;
    for (const QJsonValue& a : top["arcs"].toArray()) {
        std::vector<std::pair<double, double>> pts;
        double x = 0, y = 0;
        for (const QJsonValue& p : a.toArray()) {
            const QJsonArray xy = p.toArray();
            if (xy.size() < 2) {
                reason = "bad arc";
                return false;
            }
            if (quantized) {
                x += xy[0].toDouble();
                y += xy[1].toDouble();
                pts.emplace_back(x * scale[0].toDouble() + translate[0].toDouble(), y * scale[1].toDouble() + translate[1].toDouble());
            } else {
                pts.emplace_back(xy[0].toDouble(), xy[1].toDouble());
            }
        }
        arcs.push_back(std::move(pts));
    }
    auto ring = [&](const QJsonArray& arcIndexes, TopoRing& out) {
        for (const QJsonValue& v : arcIndexes) {
            int i = v.toInt();
            const bool reversed = i < 0;
            if (reversed)
                i = ~i;
            if (i < 0 || i >= int(arcs.size()))
                return false;
            std::vector<std::pair<double, double>> a = arcs[std::size_t(i)];
            if (reversed)
                std::reverse(a.begin(), a.end());
            for (std::size_t k = out.points.empty() ? 0 : 1; k < a.size(); ++k)
                out.points.emplace_back(Longitude(a[k].first), Latitude(a[k].second));
        }
        return true;
    };
    const QJsonObject collection = top["objects"].toObject()[objectName].toObject();
    for (const QJsonValue& gv : collection["geometries"].toArray()) {
        const QJsonObject g = gv.toObject();
        const QString type = g["type"].toString();
        const QString name = g["properties"].toObject()["name"].toString();
        const QString id = g["id"].toVariant().toString();
        std::vector<QJsonArray> polygons;
        if (type == "Polygon")
            polygons.push_back(g["arcs"].toArray());
        else if (type == "MultiPolygon")
            for (const QJsonValue& p : g["arcs"].toArray())
                polygons.push_back(p.toArray());
        for (const QJsonArray& poly : polygons) {
            // The outer ring only (holes are drawn by the objects inside them); for coast lines
            // every ring.
            for (int r = 0; r < (linesOnly ? poly.size() : std::min<int>(1, poly.size())); ++r) {
                TopoRing out{name, id, {}};
                if (!ring(poly[r].toArray(), out)) {
                    reason = "bad arc index";
                    return false;
                }
                if (out.points.size() >= (linesOnly ? 2u : 3u))
                    rings.push_back(std::move(out));
            }
        }
    }
    if (rings.empty()) {
        reason = "no geometries in " + objectName;
        return false;
    }
    return true;
}

QString UsStateCode(const QString& fips)
{
    static const std::map<int, const char*> codes = {
        {1, "AL"}, {2, "AK"}, {4, "AZ"}, {5, "AR"}, {6, "CA"}, {8, "CO"}, {9, "CT"}, {10, "DE"}, {11, "DC"},
        {12, "FL"}, {13, "GA"}, {15, "HI"}, {16, "ID"}, {17, "IL"}, {18, "IN"}, {19, "IA"}, {20, "KS"},
        {21, "KY"}, {22, "LA"}, {23, "ME"}, {24, "MD"}, {25, "MA"}, {26, "MI"}, {27, "MN"}, {28, "MS"},
        {29, "MO"}, {30, "MT"}, {31, "NE"}, {32, "NV"}, {33, "NH"}, {34, "NJ"}, {35, "NM"}, {36, "NY"},
        {37, "NC"}, {38, "ND"}, {39, "OH"}, {40, "OK"}, {41, "OR"}, {42, "PA"}, {44, "RI"}, {45, "SC"},
        {46, "SD"}, {47, "TN"}, {48, "TX"}, {49, "UT"}, {50, "VT"}, {51, "VA"}, {53, "WA"}, {54, "WV"},
        {55, "WI"}, {56, "WY"}, {60, "AS"}, {66, "GU"}, {69, "MP"}, {72, "PR"}, {78, "VI"}};
    auto it = codes.find(fips.toInt());
    return it == codes.end() ? QString() : QString(it->second);
}

void AddRings(TGlobeLayer& layer, const std::vector<TopoRing>& rings, std::int16_t featureID,
              const std::vector<std::string>& titles)
{
    TGlobePresenter* presenter = layer.FindPresenter("", featureID);
    for (std::size_t i = 0; i < rings.size(); ++i) {
        auto chain = std::make_unique<TGeoDataObject>(&layer);
        for (const auto& [lon, lat] : rings[i].points)
            chain->Add({lon, lat, 0});
        chain->Title = i < titles.size() ? titles[i] : std::string();
        if (presenter)
            chain->SetPresenter(presenter);
        chain->FeatureID = featureID;
        layer.AddObject(std::move(chain));
    }
}

} // namespace korval
