#include "exchange/summary_reports.h"

#include <algorithm>

#include "logbook/bands_modes.h"
#include "logbook/country_db.h"

namespace korval {

void TSummaryReport::Build()
{
    MakeHeading();
    for (auto& row : counts_)
        std::fill(std::begin(row), std::end(row), 0);
    for (auto& row : bandCounts_)
        std::fill(std::begin(row), std::end(row), 0);
    SetCounts();
    if (ModeGroup != 0) {
        CountLine(ModeGroupName(ModeGroup), counts_[ModeGroup]);
    } else {
        if (Band == 0)
            CountLine("MIX", counts_[0]);
        for (int g = 1; g <= 3; ++g)
            if (AwardModeGroupValid(settings_, g))
                CountLine(ModeGroupName(g), counts_[g]);
    }
    if (Band != 0) {
        CountLine(BandName(Band), bandCounts_[Band]);
    } else {
        for (int b = 1; b <= BandCount; ++b)
            if (AwardBandValid(settings_, b))
                CountLine(BandName(b), bandCounts_[b]);
    }
}

void TSummaryReport::SummaryHeading(long available, const std::string& title)
{
    Heading.Title = title + " Summary" + SelectedModeBand();
    Heading.Columns.clear();
    for (const char* c : {"Bnd/Mode ", "Worked", "QSL Mailed", "Confirmed", "Submit", "Checked", "Totals"})
        Heading.AddColumn(c, 0, faRight);
    Line = "Available";
    for (int i = 0; i < 5; ++i)
        AddCell(".");
    AddCell(CountOrDot(available));
    NewLine();
}

void TSummaryReport::CountBlock(const TAwardStatusBlock& block)
{
    if (Band != 0) {
        int best = 0;
        for (int g = 1; g <= 3; ++g) {
            const int s = AwardModeStatus(block, TAwardStatusBlock::CellOf(Band, g));
            ++counts_[g][s];
            best = std::max(best, s);
        }
        ++bandCounts_[Band][best];
        return;
    }
    for (int g = 0; g <= 3; ++g)
        ++counts_[g][AwardModeStatus(block, g)];
    for (int b = 1; b <= BandCount; ++b)
        ++bandCounts_[b][ModeGroup != 0 ? AwardModeStatus(block, TAwardStatusBlock::CellOf(b, ModeGroup))
                                        : AwardBandStatus(block, b)];
}

void TSummaryReport::SetCounts()
{
    for (const TAwardEntity& e : Entities(flag_))
        CountBlock(*e.Block);
}

void TCountrySummaryReport::MakeHeading()
{
    SummaryHeading(static_cast<long>(Entities(flag_).size()),
                   std::string("Current") + (flag_ ? " & Deleted" : "") + " Countries ");
}

void TZoneSummaryReport::MakeHeading() { SummaryHeading(40, "Zones"); }

void TStateSummaryReport::MakeHeading()
{
    SummaryHeading(CountryDb.States ? std::max(0, CountryDb.States->Count() - 1) : 0, "States");
}

void TWPXSummaryReport::MakeHeading() { SummaryHeading(0, "Prefixes"); }

} // namespace korval
