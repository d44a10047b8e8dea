#pragma once
// The per-entity reports built straight from the QSOs: IOTA references, US counties, VUCC grid
// squares and a custom award. For every entity the QSO of its best status (the oldest of them)
// is kept with the entity's best status per band and mode group; the kind chooses a listing, a
// band or mode listing or summary, the needed entities, or a submission that marks the listed
// QSOs submitted.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "exchange/report.h"
#include "logbook/base/day_number.h"
#include "logbook/custom_award.h"

namespace korval {

struct TQsoRecord;

enum TSmallReportKind : int {
    srListing = 0, srFullListing = 1, srBandSummary = 2, srModeSummary = 3, srSubmission = 4, srBandListing = 5,
    srModeListing = 6, srNeededListing = 7,
};

// One entity: its best QSO (none for an entity only of the reference list) and its statuses.
// Qso is valid while the report is made; browsing later goes by call, date and time.
struct TSmallEntry {
    std::string Key;
    TQsoRecord* Qso = nullptr;
    std::string Call;
    TDayNumber Date = 0;
    std::int32_t Time = 0;
    std::uint8_t Band = 0;
    std::uint8_t BandStatus[16] = {};
    std::uint8_t ModeStatus[4] = {};  // 0: the entity's overall status
};

class TSmallReport : public TReport {
public:
    // mask: the award's submitted bit (the credited bit is the next one up); kind: a TSmallReportKind.
    TSmallReport(TQsoData* log, std::uint32_t mask, int kind);

    void MakeReport() override;
    bool RowSelect() const override { return true; }
    bool Browse(int col, int row, TQsoEntry& entry) override;
    bool Browses() const override { return true; }

    int Kind() const { return kind_; }
    // The entity list, in key order; empty once a summary or the band listing freed it.
    const std::vector<TSmallEntry>& Entries() const { return entries_; }
    bool HasEntries() const { return hasEntries_; }
    // The status of a QSO for this award.
    std::uint8_t QsoStatus(const TQsoRecord& q) const;

protected:
    // Adds the keys of the award's reference list.
    virtual void CollectFullSet(std::vector<std::string>& keys) const;
    // The QSO's entity key; empty when it counts for none.
    virtual std::string GetEntry(const TQsoRecord& q) const = 0;
    // The cells between the key and the call (each ending in TAB), for an entity key.
    virtual std::string GetQSOLine(const std::string& key) const;
    // Report title and the columns that name an entity (title, width).
    virtual std::string ReportTitle() const = 0;
    virtual std::vector<std::pair<std::string, int>> FixedColumns() const = 0;

    bool bandOn_[16] = {};
    bool groupOn_[4] = {};

private:
    void Gather();
    void AddReferenceList();
    void ListLines();
    void StatusListing(bool bands);
    void Summary(bool bands);
    void FreeEntries();

    std::uint32_t mask_;
    int kind_;
    std::vector<TSmallEntry> entries_;
    std::unordered_map<std::string, std::size_t> index_;  // upper-case key -> entry
    bool hasEntries_ = true;
};

class TIOTAReport : public TSmallReport {
public:
    TIOTAReport(TQsoData* log, int kind);

protected:
    void CollectFullSet(std::vector<std::string>& keys) const override;
    std::string GetEntry(const TQsoRecord& q) const override;
    std::string GetQSOLine(const std::string& key) const override;
    std::string ReportTitle() const override { return "IOTA"; }
    std::vector<std::pair<std::string, int>> FixedColumns() const override;
};

class TCountyReport : public TSmallReport {
public:
    TCountyReport(TQsoData* log, int kind);

protected:
    void CollectFullSet(std::vector<std::string>& keys) const override;
    std::string GetEntry(const TQsoRecord& q) const override;
    std::string ReportTitle() const override { return "Counties"; }
    std::vector<std::pair<std::string, int>> FixedColumns() const override;
};

class TVUCCReport : public TSmallReport {
public:
    TVUCCReport(TQsoData* log, int kind);

protected:
    std::string GetEntry(const TQsoRecord& q) const override;
    std::string ReportTitle() const override { return "Grid Squares"; }
    std::vector<std::pair<std::string, int>> FixedColumns() const override;

private:
    std::size_t gridLength_;
};

class TCustomReport : public TSmallReport {
public:
    TCustomReport(TQsoData* log, int kind, const TCustAward& award);

protected:
    void CollectFullSet(std::vector<std::string>& keys) const override;
    std::string GetEntry(const TQsoRecord& q) const override;
    std::string GetQSOLine(const std::string& key) const override;
    std::string ReportTitle() const override;
    std::vector<std::pair<std::string, int>> FixedColumns() const override;

private:
    TCustAward award_;
};

} // namespace korval
