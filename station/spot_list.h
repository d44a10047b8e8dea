#pragma once
// The DX spot list: classifies each spot against the log, keeps at most a configured number of
// them in the chosen order, replaces repeated reports of one station on one band and mode, and
// keeps the list in its own file between runs.
#include <cstdint>
#include <string>
#include <vector>

#include "station/spot_record.h"

namespace korval {

// What the list needs to know about calls and the log; the logbook side fills it in.
class TSpotClassifier {
public:
    virtual ~TSpotClassifier() = default;
    virtual int Country(const std::string& /*call*/, TDayNumber /*date*/) { return 0; }
    virtual std::string CountryPrefix(int /*country*/) { return {}; }
    virtual int CqZone(const std::string& /*call*/, TDayNumber /*date*/) { return 0; }
    // The award part of the classification ("1" to "6") for a spot whose country is set.
    virtual char AwardReason(const TSpotRecord& /*spot*/) { return '5'; }
};

// Where new spots are announced (the announcement thread).
class TSpotAnnouncer {
public:
    virtual ~TSpotAnnouncer() = default;
    virtual void Announce(const TSpotRecord& spot) = 0;
    // Drops the announcements still waiting.
    virtual void CancelAll() {}
};

struct TSpotListSettings {
    int capacity = 100;          // Packet_max_putout
    bool ignoreGray = false;     // Packet_IgnoreGray
    std::string callsignAlert;   // Packet_DXCallsign
    std::string okPrefixes;      // Packet_OkPrefixes
    int dxAlert = 2;             // Packet_DXAlert
};

enum TSpotSortOrder : int { spTime = 0, spArrival, spCallsign, spFrequency, spPriority, spSpotter };

enum class TSpotFileResult { Loaded, Missing, TooShort, Incompatible, Damaged };

inline constexpr const char* SpotFileMagic = "SPOTB";
inline constexpr const char* IncompatibleSpotFileText = "Incompatible DXSPOT file ignored";

class TSpotList {
public:
    TSpotList(TSpotClassifier& classifier, TSpotAnnouncer* announcer);

    void SetSettings(const TSpotListSettings& s);
    const TSpotListSettings& settings() const { return settings_; }
    void SetSortOrder(int order);
    int sortOrder() const { return sortOrder_; }

    // Returns true when the spot was kept.
    bool AddSpot(TSpotRecord spot);
    void ClassifySpot(TSpotRecord& spot);
    void RecheckAllSpots();
    // After a QSO was logged: the spots of its country or of no known country are classified
    // again, then the list is rechecked as a whole is (gray spots dropped, order kept).
    void RecheckSpotsForCountry(int country);
    void Clear();
    void Delete(std::size_t index);
    // Removes spots, from the start of the current order, older than two hours.
    void DeleteOldSpots();

    const std::vector<TSpotRecord>& spots() const { return spots_; }
    std::size_t lastRemoved() const { return lastRemoved_; }
    bool modified() const { return modified_; }

    // The spot file. Save writes only a modified list, atomically; an empty list deletes it.
    TSpotFileResult Load(const std::string& path);
    void Save(const std::string& path);
    // One text line per spot, in the current order.
    std::string SpotsAsText() const;

    // Whole-entry membership in a comma-separated list ("K," is not found in "VK,").
    static bool InCommaList(const std::string& list, const std::string& entry);
    static int ModeFromRemarks(const std::string& remarks, double freq, double qsx);
    static void FixShortQsx(TSpotRecord& spot);

private:
    bool Before(const TSpotRecord& a, const TSpotRecord& b) const;
    void Insert(const TSpotRecord& spot);
    void Resort();
    void DropGrayAndResort();

    TSpotClassifier& classifier_;
    TSpotAnnouncer* announcer_;
    TSpotListSettings settings_;
    int sortOrder_ = spTime;
    std::vector<TSpotRecord> spots_;
    std::int32_t arrival_ = 0;
    std::size_t lastRemoved_ = 0;
    bool modified_ = false;
};

} // namespace korval
