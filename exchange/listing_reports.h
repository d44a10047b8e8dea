#pragma once
// The award status listings: one line per entity (country, zone, state, WPX prefix) with one
// status character per mode group and band, and the needed-countries listing. A double-click on
// a status cell browses the QSOs behind it in the QSO window.
#include <string>
#include <vector>

#include "exchange/big_report.h"

namespace korval {

class TListingReport : public TBigReport {
public:
    // selMixed, selMode, selBand: the QSO window's award-flag selectors of the award.
    TListingReport(TQsoData* log, int kind, int award, bool flag, int selMixed, int selMode, int selBand)
        : TBigReport(log, kind, award, flag), selMixed_(selMixed), selMode_(selMode), selBand_(selBand)
    {
    }
    std::string Hint() const override { return "Double-click to find QSOs (popup)"; }
    bool Browse(int col, int row, TQsoEntry& entry) override;
    bool Browses() const override { return true; }

protected:
    // The title with the choice, the fixed columns (a negative width is right-aligned), then a
    // status column per mode group and band that the choice and the award settings allow.
    void FormBandHeading(const std::string& title, const std::vector<std::string>& titles,
                         const std::vector<int>& widths);
    // TAB and the status character of each status column, then the line ends.
    void RestOfLine(const TAwardStatusBlock& block);
    // Puts line n's entity into the search fields; true when it did.
    virtual bool SetYourField(int line, TQsoEntry& entry) = 0;
    // The chosen band goes to the QSO window's band selector.
    void SetBaseFields(TQsoEntry& entry) const;
    // Field n (from 0) of line `line` (from 1).
    std::string LineField(int line, int n) const;

private:
    struct TStatusColumn {
        bool band;
        int value;  // mode group or band
    };
    std::vector<TStatusColumn> columns_;
    int selMixed_, selMode_, selBand_;
};

class TCountryListing : public TListingReport {
public:
    TCountryListing(TQsoData* log, bool includingDeleted);

protected:
    void Build() override;
    bool SetYourField(int line, TQsoEntry& entry) override;
};

class TCountryNeededListing : public TListingReport {
public:
    explicit TCountryNeededListing(TQsoData* log);

protected:
    void Build() override;
    bool SetYourField(int line, TQsoEntry& entry) override;
};

class TZoneListing : public TListingReport {
public:
    explicit TZoneListing(TQsoData* log);

protected:
    void Build() override;
    bool SetYourField(int line, TQsoEntry& entry) override;
};

class TStateListing : public TListingReport {
public:
    explicit TStateListing(TQsoData* log);

protected:
    void Build() override;
    bool SetYourField(int line, TQsoEntry& entry) override;
};

class TWPXListing : public TListingReport {
public:
    explicit TWPXListing(TQsoData* log);

protected:
    void Build() override;
    bool SetYourField(int line, TQsoEntry& entry) override;
};

} // namespace korval
