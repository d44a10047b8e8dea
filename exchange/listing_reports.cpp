#include "exchange/listing_reports.h"

#include "logbook/bands_modes.h"
#include "logbook/base/string_utils.h"
#include "logbook/qso_entry.h"
#include "platform/message_dlg.h"

namespace korval {

void TListingReport::FormBandHeading(const std::string& title, const std::vector<std::string>& titles,
                                     const std::vector<int>& widths)
{
    Heading.SetHeading(title + SelectedModeBand(), titles, widths);
    columns_.clear();
    if (ModeGroup != 0) {
        columns_.push_back({false, ModeGroup});
    } else {
        for (int g = Band != 0 ? 1 : 0; g <= 3; ++g)
            if (AwardModeGroupValid(settings_, g))
                columns_.push_back({false, g});
    }
    if (Band != 0) {
        columns_.push_back({true, Band});
    } else {
        for (int b = 1; b <= BandCount; ++b)
            if (AwardBandValid(settings_, b))
                columns_.push_back({true, b});
    }
    for (const TStatusColumn& c : columns_)
        Heading.AddColumn(c.band ? BandShortName(c.value) : ModeGroupName(c.value), 3, faCenter);
}

void TListingReport::RestOfLine(const TAwardStatusBlock& block)
{
    for (const TStatusColumn& c : columns_) {
        int status;
        if (!c.band)
            status = AwardModeStatus(block, Band != 0 ? TAwardStatusBlock::CellOf(Band, c.value) : c.value);
        else if (ModeGroup != 0)
            status = AwardModeStatus(block, TAwardStatusBlock::CellOf(c.value, ModeGroup));
        else
            status = AwardBandStatus(block, c.value);
        Line += '\t';
        Line += StatusChar(status);
    }
    NewLine();
}

void TListingReport::SetBaseFields(TQsoEntry& entry) const
{
    if (Band != 0)
        entry.SetBand(Band);
}

std::string TListingReport::LineField(int line, int n) const
{
    return line >= 1 && line <= RowCount() ? GetTabField(n, Lines[static_cast<std::size_t>(line - 1)]) : std::string();
}

bool TListingReport::Browse(int col, int row, TQsoEntry& entry)
{
    if (col < 0 || col >= Heading.ColumnCount() || row < 1 || row > RowCount())
        return false;
    const std::string& title = Heading.Columns[static_cast<std::size_t>(col)].Title;
    int group = -1, band = 0;
    for (int g = 0; g <= 3 && group < 0; ++g)
        if (title == ModeGroupName(g))
            group = g;
    for (int b = 1; b <= BandCount && group < 0 && band == 0; ++b)
        if (title == BandShortName(b))
            band = b;
    if (group < 0 && band == 0) {
        MessageDlg("Please select a mode or a band", TMsgDlgType::mtError, mbOK);
        return false;
    }
    const int status = StatusOfCell(Cell(col, row));
    if (status <= asNone) {
        MessageDlg("Cannot select a QSO that never occured", TMsgDlgType::mtError, mbOK);
        return false;
    }
    entry.BeginSearch(true);
    if (entry.EntryMode() != emSearch || !SetYourField(row, entry))
        return false;
    TQsoFields& f = entry.Fields;
    if (band != 0) {
        group = ModeGroup;
        entry.SetBand(band);
    }
    if (status == asQslSent)
        f.QslDate = DayNumberToStDate(1);  // the first day after "no date": any QSL-sent date
    if (status >= asConfirmed)
        f.EditSel(fConf, ynYes);
    if (status >= asSubmitted)
        f.EditSel(band != 0 ? selBand_ : group == 0 ? selMixed_ : selMode_,
                  status == asSubmitted ? aiSubmitted : aiCredited);
    entry.SearchFor(WpxCondition, group);
    return true;
}

// ---- the listings ----

TCountryListing::TCountryListing(TQsoData* log, bool includingDeleted)
    : TListingReport(log, bkDxcc, akDxcc, includingDeleted, fAwDxccMixed, fAwDxccMode, fAwDxccBand)
{
}

void TCountryListing::Build()
{
    if (flag_)
        FormBandHeading("Countries listing (including deleted)", {"Del", "Prefix", "Country"}, {3, 5, 28});
    else
        FormBandHeading("Countries listing", {"Prefix", "Country"}, {5, 28});
    for (const TAwardEntity& e : Entities(flag_)) {
        if (flag_)
            Line = e.Deleted ? "D\t" : "\t";
        Line += e.Key;
        AddCell(e.Name);
        RestOfLine(*e.Block);
    }
}

bool TCountryListing::SetYourField(int line, TQsoEntry& entry)
{
    SetBaseFields(entry);
    entry.Fields.EditSel(fValid, ynYes);
    entry.Fields.Edit(fPrefix, LineField(line, flag_ ? 1 : 0));
    return true;
}

TCountryNeededListing::TCountryNeededListing(TQsoData* log)
    : TListingReport(log, bkDxcc, akDxcc, false, fAwDxccMixed, fAwDxccMode, fAwDxccBand)
{
}

void TCountryNeededListing::Build()
{
    FormBandHeading("Needed Countries listing", {"Prefix", "Country"}, {5, 28});
    for (const TAwardEntity& e : Entities(false)) {
        const int status = ModeGroup != 0 ? AwardModeStatus(*e.Block, ModeGroup)
                           : Band != 0    ? AwardBandStatus(*e.Block, Band)
                                          : AwardStatus(*e.Block);
        if (status >= asConfirmed)
            continue;
        Line = e.Key;
        AddCell(e.Name);
        RestOfLine(*e.Block);
    }
}

bool TCountryNeededListing::SetYourField(int line, TQsoEntry& entry)
{
    SetBaseFields(entry);
    entry.Fields.EditSel(fValid, ynYes);
    entry.Fields.Edit(fPrefix, LineField(line, 0));
    return true;
}

TZoneListing::TZoneListing(TQsoData* log)
    : TListingReport(log, bkWaz, akWaz, true, fAwWazMixed, fAwWazMode, fAwWazBand)
{
}

void TZoneListing::Build()
{
    FormBandHeading("Zones listing", {"Zone"}, {-2});
    for (const TAwardEntity& e : Entities(true)) {
        Line = e.Key;
        RestOfLine(*e.Block);
    }
}

bool TZoneListing::SetYourField(int line, TQsoEntry& entry)
{
    SetBaseFields(entry);
    entry.Fields.Edit(fZone, LineField(line, 0));
    return true;
}

TStateListing::TStateListing(TQsoData* log)
    : TListingReport(log, bkWas, akWas, true, fAwWasMixed, fAwWasMode, fAwWasBand)
{
}

void TStateListing::Build()
{
    FormBandHeading("States listing", {"ST", "State"}, {3, 15});
    for (const TAwardEntity& e : Entities(true)) {
        Line = e.Key;
        AddCell(e.Name);
        RestOfLine(*e.Block);
    }
}

bool TStateListing::SetYourField(int line, TQsoEntry& entry)
{
    SetBaseFields(entry);
    entry.Fields.Edit(fState, LineField(line, 0));
    return true;
}

TWPXListing::TWPXListing(TQsoData* log)
    : TListingReport(log, bkWpx, akWpx, true, fAwWpxMixed, fAwWpxMode, fAwWpxBand)
{
}

void TWPXListing::Build()
{
    FormBandHeading("WPX listing", {"PFX", "D"}, {7, 1});
    for (const TAwardEntity& e : Entities(true)) {
        Line = e.Key;
        AddCell(e.Deleted ? "D" : "");
        RestOfLine(*e.Block);
    }
}

bool TWPXListing::SetYourField(int line, TQsoEntry& entry)
{
    SetBaseFields(entry);
    WpxCondition = LineField(line, 0);
    return true;
}

} // namespace korval
