#pragma once
// Why a spot matters to the open log: the country database for country, zone and prefix, and the
// log's award statistics of the award chosen for colouring (DXCC, WAZ or WPX).
#include "station/spot_list.h"

namespace korval {

// The colour groups of the spot window, by their menu names.
enum TSpotColourGroup : int { cgDxcc = 1, cgWaz = 2, cgWpx = 3 };
const char* SpotColourGroupName(int group);

class TLogSpotClassifier : public TSpotClassifier {
public:
    void SetColourGroup(int group) { group_ = group; }
    int colourGroup() const { return group_; }

    int Country(const std::string& call, TDayNumber date) override;
    std::string CountryPrefix(int country) override;
    int CqZone(const std::string& call, TDayNumber date) override;
    char AwardReason(const TSpotRecord& spot) override;

    // Brings the open log's award statistics up to date (before a full recheck).
    static void UpdateLogStatistics();

private:
    int group_ = cgDxcc;
};

} // namespace korval
