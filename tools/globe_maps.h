#pragma once
// The map-data converter: TopoJSON from Natural Earth (world-atlas countries and land, us-atlas
// states) into the globe's layer files and profile.
#include <QByteArray>
#include <QString>
#include <string>
#include <utility>
#include <vector>

namespace korval {

class TGlobeLayer;

// The outer rings of every polygon of a TopoJSON object collection, each with its name
// ("name" property) and id; longitudes of +180 degrees are written as the largest value below
// it, so no ring seems to cross the date line.
struct TopoRing {
    QString name;
    QString id;
    std::vector<std::pair<std::int32_t, std::int32_t>> points; // longitude, latitude in globe units
};
// false with a reason for input that is not TopoJSON of that shape.
bool ReadTopoRings(const QByteArray& json, const QString& objectName, std::vector<TopoRing>& rings,
                   QString& reason, bool linesOnly = false);

// The two-letter code of a US state or territory from its FIPS number ("48" -> "TX").
QString UsStateCode(const QString& fips);

// Appends the rings to a layer as polygon (or polyline) objects titled by the given text.
void AddRings(TGlobeLayer& layer, const std::vector<TopoRing>& rings, std::int16_t featureID,
              const std::vector<std::string>& titles);

} // namespace korval
