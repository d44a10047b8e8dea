#pragma once
// The award submissions of DXCC, WAZ, WAS and WPX: per category (the mixed award, each mode
// group, each band) that reaches the award's threshold, the newest qualifying QSO of every
// confirmed entity gets the category's submitted bit; then every QSO carrying a submitted bit
// of the award is listed. The five-band submission marks one confirmed QSO per entity and band
// over the award's five-band set instead.
#include <cstdint>
#include <string>

#include "exchange/big_report.h"
#include "logbook/sort_orders.h"

namespace korval {

struct TQsoRecord;

// Entities of one category at Confirmed, Submitted and Checked, and whether it may be claimed.
struct TAwardCounter {
    int Confirmed = 0, Submitted = 0, Checked = 0;
    bool Claimable = false;
    int Sum() const { return Confirmed + Submitted + Checked; }
};

class TAwardReport : public TBigReport {
public:
    TAwardReport(TQsoData* log, int award, bool fiveBand);

    bool FiveBand() const { return fiveBand_; }
    int Threshold() const { return threshold_; }
    // Index 0 the mixed category, 1..3 the mode groups; bands 1..15.
    const TAwardCounter& Total(int index) const { return totals_[index]; }
    const TAwardCounter& BandTotal(int band) const { return bandTotals_[band]; }

protected:
    void Build() override;
    // The entity block a QSO is submitted for, or null (before the cut-off, no entity, digital
    // QSOs for WPX, or a QSO the award status did not count).
    TAwardStatusBlock* GetAwardPtr(const TQsoRecord& q);
    void CountEntity(const TAwardStatusBlock& block);
    void MarkAwards();
    void MarkSubmission();
    void ListSubmission();
    void MarkFiveBand();
    void ListFiveBand();
    // The QSO's cells after the line number, each led by a TAB.
    std::string QSOLine(const TQsoRecord& q) const;

private:
    bool Claimable(const TAwardCounter& c) const;
    // Gives the QSO the category's submitted bit; the cell becomes Submitted.
    void Submit(TAwardStatusBlock& block, int cell, TQsoRecord& q, std::uint32_t mask);
    // The QSOs passing the selection that carry one of the flags, in the award's order, as lines.
    void ListQsos(bool (*carries)(const TQsoRecord&, std::uint32_t), std::uint32_t flags);

    bool fiveBand_;
    int threshold_;
    int fiveBandTotal_;
    std::uint16_t fiveBandSet_ = 0;  // bit b: band b
    std::uint32_t mixedMask_, modeMask_, bandMask_;
    TCompareFunc compare_;
    TAwardCounter totals_[4];
    TAwardCounter bandTotals_[16];
    std::vector<TAwardEntity> entities_;
};

class TDXCCReport : public TAwardReport {
public:
    TDXCCReport(TQsoData* log, bool fiveBand) : TAwardReport(log, akDxcc, fiveBand) {}
};
class TWAZReport : public TAwardReport {
public:
    TWAZReport(TQsoData* log, bool fiveBand) : TAwardReport(log, akWaz, fiveBand) {}
};
class TWASReport : public TAwardReport {
public:
    TWASReport(TQsoData* log, bool fiveBand) : TAwardReport(log, akWas, fiveBand) {}
};
class TWPXSubmission : public TAwardReport {
public:
    explicit TWPXSubmission(TQsoData* log) : TAwardReport(log, akWpx, false) {}
};

} // namespace korval
