#include "logbook/qso_navigator.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "logbook/qso_data.h"
#include "logbook/qso_entry_host.h"

namespace korval {

TQsoNavigator::~TQsoNavigator()
{
    if (view_ && log_)
        log_->RemoveIndex(view_);
}

int TQsoNavigator::Count() const { return log_->Count(); }

TQsoRecord* TQsoNavigator::At(int i) const
{
    if (i < 0 || i >= log_->Count())
        return nullptr;
    if (sortOrder_ == soDate)
        return log_->At(i);
    if (sortOrder_ == soCallsign)
        return log_->ByCall().At(i);
    return view_ ? view_->At(i) : log_->At(i);
}

void TQsoNavigator::SetSortOrder(int order)
{
    if (order < 0 || order >= kSortOrderCount)
        return;
    const TQsoRecord* cur = At(current_);
    if (view_) {
        log_->RemoveIndex(view_);
        view_ = nullptr;
    }
    sortOrder_ = order;
    if (order != soDate && order != soCallsign)
        view_ = log_->AddIndex(SortOrderCompare(order));
    SetCurrentFromRecord(cur);
}

void TQsoNavigator::SetCurrentFromRecord(const TQsoRecord* rec)
{
    if (!rec)
        return;
    if (sortOrder_ == soDate) {
        int i = 0;
        log_->Find(*rec, i);
        while (i < log_->Count() && log_->At(i) != rec)
            ++i;
        if (i < log_->Count()) {
            current_ = i;
            return;
        }
    }
    for (int i = 0; i < Count(); ++i)
        if (At(i) == rec) {
            current_ = i;
            return;
        }
}

TRecordState TQsoNavigator::RecordState(int index) const
{
    const TQsoRecord* r = At(index);
    if (!r)
        return rsNoRecord;
    if (!log_->InSelection(*r) || (searchHides_ && searchHides_(*r)))
        return rsHidden;
    return rsShown;
}

bool TQsoNavigator::Step(bool forward)
{
    const int dir = forward ? 1 : -1;
    while (current_ >= 0 && current_ < Count() && RecordState(current_) == rsHidden)
        current_ += dir;
    if (current_ < 0 || current_ >= Count()) {
        host_->Beep();
        current_ = previous_;
        return false;
    }
    return true;
}

bool TQsoNavigator::MoveFirst()
{
    Remember();
    current_ = 0;
    return Step(true);
}

bool TQsoNavigator::MoveLast()
{
    Remember();
    current_ = Count() - 1;
    return Step(false);
}

bool TQsoNavigator::MoveBy(int delta)
{
    Remember();
    current_ += delta;
    return Step(delta > 0);
}

bool TQsoNavigator::MoveToNextKey(bool forward)
{
    auto keyOf = [this](const TQsoRecord& r) -> std::string {
        switch (sortOrder_) {
        case soBand: return std::to_string(r.Band);
        case soCallsign: return r.Call.str();
        case soCounty: return std::to_string(r.State) + "/" + std::to_string(r.County);
        case soDate: return std::to_string(r.Date);
        case soGrid: return r.Grid.str();
        case soGroup: return std::to_string(r.Group);
        case soIota: return r.Iota.str();
        case soPrefix: return std::to_string(r.Country);
        case soPrtSeqNr: return std::to_string(r.SeqPrtNr);
        case soState: return std::to_string(r.State);
        case soWpx: return r.WpxPrefix.str();
        default: return std::to_string(r.Zone);  // zone, and the custom-award order
        }
    };
    const TQsoRecord* start = At(current_);
    if (!start)
        return false;
    const std::string key = keyOf(*start);
    const int dir = forward ? 1 : -1;
    for (int i = current_ + dir; i >= 0 && i < Count(); i += dir) {
        if (RecordState(i) == rsHidden)
            continue;
        if (keyOf(*At(i)) != key) {
            previous_ = current_;
            current_ = i;
            return true;
        }
    }
    host_->Beep();
    return false;
}

bool TQsoNavigator::ScrollDelta(int code, int position, int& delta) const
{
    switch (code) {
    case SB_LINEUP: delta = -1; return true;
    case SB_LINEDOWN: delta = 1; return true;
    case SB_PAGEUP: delta = -10; return true;
    case SB_PAGEDOWN: delta = 10; return true;
    case SB_THUMBTRACK: delta = position - current_; return true;
    case SB_TOP: delta = -current_; return true;
    case SB_BOTTOM: delta = Count() - 1 - current_; return true;
    default: return false;
    }
}

void TQsoNavigator::Scroll(int delta, bool nothingHidden)
{
    if (nothingHidden) {
        current_ = std::clamp(current_ + delta, 0, std::max(0, Count() - 1));
        return;
    }
    const bool forward = delta > 0;
    for (int n = 0; n < std::abs(delta); ++n) {
        previous_ = current_;
        current_ += forward ? 1 : -1;
        if (!Step(forward)) {
            previous_ = current_;
            current_ = forward ? Count() - 1 : 0;
            Step(!forward);
            break;
        }
    }
}

} // namespace korval
