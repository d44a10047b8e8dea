#include "exchange/worked_summary.h"

#include <algorithm>
#include <charconv>
#include <memory>

#include "logbook/bands_modes.h"
#include "logbook/base/sorted_collection.h"
#include "logbook/base/string_utils.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/qso_data.h"

namespace korval {

char SummaryStatusChar(int status)
{
    switch (status <= 0 ? 0 : status >= asConfirmed ? asConfirmed : status) {
    case asWorked: return 'W';
    case asQslSent: return 'M';
    case asConfirmed: return 'C';
    default: return static_cast<char>(183);
    }
}

TWorkedSummary::TWorkedSummary(int kind) : kind_(kind) { SetupGrid(); }

void TWorkedSummary::SetupGrid()
{
    bands_.clear();
    groups_.clear();
    const bool known = kind_ == skwCountry || kind_ == skwZone || kind_ == skwState || kind_ == skwIota ||
                       kind_ == skwGrid || kind_ == skwWpx;
    if (known) {
        for (int band = 1; band <= BandCount; ++band) {
            bool shown = false;
            switch (kind_) {
            case skwCountry: shown = AwardBandValid(Config.AwardSettings(akDxcc), band); break;
            case skwZone: shown = AwardBandValid(Config.AwardSettings(akWaz), band); break;
            case skwState: shown = AwardBandValid(Config.AwardSettings(akWas), band); break;
            case skwWpx: shown = AwardBandValid(Config.AwardSettings(akWpx), band); break;
            case skwIota: shown = IsStationBand(band); break;
            case skwGrid: shown = IsStationBand(band) && IsVuccBand(band); break;
            default: break;
            }
            if (shown)
                bands_.push_back(band);
        }
        if (kind_ == skwIota || kind_ == skwGrid) {
            groups_.push_back(mgMixed);
        } else {
            for (int group = mgMixed; group <= mgDigital; ++group)
                if (StationModeGroupUsed(group))
                    groups_.push_back(group);
        }
    }
    Fill(nullptr);
}

void TWorkedSummary::Fill(const TAwardStatusBlock* block)
{
    cells_.assign(groups_.size() * bands_.size(), SummaryStatusChar(asNone));
    if (!block)
        return;
    const bool singleRow = kind_ == skwIota || kind_ == skwGrid;
    for (std::size_t r = 0; r < groups_.size(); ++r)
        for (std::size_t c = 0; c < bands_.size(); ++c) {
            const int band = bands_[c], group = groups_[r];
            int status;
            if (singleRow) {
                // The band's first cell holds the best of its mode groups.
                status = block->Status(TAwardStatusBlock::CellOf(band, mgPhone));
            } else if (group == mgMixed) {
                // All modes: the best of the band's mode-group cells.
                status = 0;
                for (int g = mgPhone; g <= mgDigital; ++g)
                    status = std::max<int>(status, block->Status(TAwardStatusBlock::CellOf(band, g)));
            } else {
                status = block->Status(TAwardStatusBlock::CellOf(band, group));
            }
            cells_[r * bands_.size() + c] = SummaryStatusChar(status);
        }
}

void TWorkedSummary::UpdateWPX(std::string_view call)
{
    const std::string c = UpperAscii(TrimSpaces(call));
    if (c.empty()) {
        caption_ = "WPX = <none>";
        Fill(nullptr);
        return;
    }
    const std::string prefix = CalcWPXPrefix(c);
    const TAwardStatusBlock* block = WpxStatistics(prefix, false);
    // The record's own mark is kept for a deleted prefix; the deleted list answers for any
    // prefix, worked or not.
    bool deleted = IsDeletedWPXPrefix(prefix);
    if (block && reinterpret_cast<const std::uint8_t*>(block)[-1] != 0)
        deleted = true;
    caption_ = "WPX = " + prefix + (deleted ? " (Del)" : "");
    Fill(block);
}

void TWorkedSummary::UpdateForQso(const TSummaryEntry& e, TQsoData& log)
{
    log.EnsureAwardStatus();
    if (kind_ == skwWpx) {
        UpdateWPX(e.Call);
        return;
    }
    const TAwardStatusBlock* block = nullptr;
    std::unique_ptr<TAwardStatusBlock> computed;
    switch (kind_) {
    case skwCountry: {
        const std::string prefix = UpperAscii(TrimSpaces(e.Prefix));
        const std::int32_t n = prefix.empty() ? -1 : CountryNumberOfPrefix(prefix);
        caption_ = n >= 0 ? CountryName(static_cast<std::uint16_t>(n)) : "Country";
        if (n >= 0)
            block = CountryStatistics(static_cast<std::uint16_t>(n));
        break;
    }
    case skwZone: {
        const std::string text = TrimSpaces(e.Zone);
        int zone = 0;
        if (std::from_chars(text.data(), text.data() + text.size(), zone).ptr != text.data() + text.size())
            zone = 0;
        if (zone >= 1 && zone <= 40) {
            caption_ = "Zone = " + std::to_string(zone);
            block = &log.ZoneStatus(zone);
        } else {
            caption_ = "Zone";
        }
        break;
    }
    case skwState: {
        const std::uint8_t n = StateNumber(UpperAscii(TrimSpaces(e.State)));
        TUsStateRecord s;
        if (n > 0 && n < TQsoData::kStateBlocks && GetState(n, s)) {
            caption_ = s.Name;
            block = &log.StateStatus(n);
        } else {
            caption_ = "State";
        }
        break;
    }
    case skwIota: {
        const std::string ref = UpperAscii(TrimSpaces(e.Iota));
        std::int32_t i = -1;
        if (!ref.empty() && CountryDb.Iota) {
            auto key = MakeShortStrKey(ref);
            i = CountryDb.Iota->IndexOfKey(key.data());
        }
        if (i >= 0) {
            caption_ = TIotaRecord::FromBytes(CountryDb.Iota->Record(i)).Name;
            computed = log.IotaStatus(ref);
        } else {
            caption_ = "IOTA";
        }
        break;
    }
    case skwGrid: {
        // A square shorter than two characters is no square: four then.
        const std::size_t length = Config.GridSquareLength() >= 2 ? Config.GridSquareLength() : 4;
        const std::string grid = TrimSpaces(e.Grid);
        if (grid.size() >= length) {
            const std::string square = grid.substr(0, length);
            caption_ = "Grid = " + square;
            computed = log.GridStatus(square);
        } else {
            caption_ = "GRID";
        }
        break;
    }
    default:
        caption_.clear();
        break;
    }
    Fill(computed ? computed.get() : block);
}

std::string TWorkedSummary::CellText(int col, int row) const
{
    if (row < 0 || col < 0 || row >= RowCount() || col >= ColCount())
        return {};
    if (row == 0)
        return col == 0 ? std::string() : BandName(bands_[static_cast<std::size_t>(col - 1)]);
    if (col == 0)
        return ModeGroupName(groups_[static_cast<std::size_t>(row - 1)]);
    return std::string(1, cells_[static_cast<std::size_t>(row - 1) * bands_.size() + static_cast<std::size_t>(col - 1)]);
}

bool TWorkedSummary::HighlightCell(int band, int mode, int& col, int& row) const
{
    const auto b = std::find(bands_.begin(), bands_.end(), band);
    const int group = kind_ == skwIota || kind_ == skwGrid ? mgMixed : ModeGroup(mode);
    const auto g = std::find(groups_.begin(), groups_.end(), group);
    if (b == bands_.end() || g == groups_.end() || (group == mgMixed && kind_ != skwIota && kind_ != skwGrid))
        return false;
    col = static_cast<int>(b - bands_.begin()) + 1;
    row = static_cast<int>(g - groups_.begin()) + 1;
    return true;
}

} // namespace korval
