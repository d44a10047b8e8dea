#include "logbook/same_call_index.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "logbook/base/string_utils.h"
#include "logbook/call_lookup.h"
#include "logbook/qso_data.h"

namespace korval {

namespace {

bool ByCall(const TQsoRecord* a, const TQsoRecord* b) { return CompareQsoByCall(a, b) < 0; }

bool Designated(const TQsoRecord& r) { return std::memchr(r.Call.s, '/', r.Call.view().size()) != nullptr; }

} // namespace

TSameCallIndex::TSameCallIndex(TQsoData* log) : log_(log)
{
    if (!log_)
        return;
    log_->AddObserver(this);
    Build();
}

TSameCallIndex::~TSameCallIndex()
{
    if (log_)
        log_->RemoveObserver(this);
}

std::string TSameCallIndex::KeyOf(std::string_view call) { return BaseCall(UpperAscii(std::string(call))); }

void TSameCallIndex::Build()
{
    designated_.clear();
    if (!log_)
        return;
    // In by-call order each group comes out in that order.
    for (TQsoRecord* r : log_->ByCall().Items())
        if (Designated(*r))
            designated_[KeyOf(r->Call.view())].push_back(r);
}

std::vector<TQsoRecord*> TSameCallIndex::QsosOf(std::string_view call) const
{
    std::vector<TQsoRecord*> out;
    const std::string key = KeyOf(call);
    if (!log_ || key.empty())
        return out;
    // The plain call: its QSOs stand together in the logbook's by-call order.
    TQsoRecord first;
    first.Call.assign(key);
    first.Time = INT32_MIN;
    int i = 0;
    const TQsoIndex& byCall = log_->ByCall();
    byCall.Find(first, i);
    for (; i < byCall.Count() && byCall.At(i)->Call == key; ++i)
        out.push_back(byCall.At(i));
    if (auto it = designated_.find(key); it != designated_.end()) {
        const std::size_t plain = out.size();
        out.insert(out.end(), it->second.begin(), it->second.end());
        std::inplace_merge(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(plain), out.end(), ByCall);
    }
    out.erase(std::remove(out.begin(), out.end(), going_), out.end());
    return out;
}

void TSameCallIndex::QsoInserted(TQsoRecord* rec)
{
    const std::string key = KeyOf(rec->Call.view());
    if (Designated(*rec)) {
        auto& group = designated_[key];
        group.insert(std::lower_bound(group.begin(), group.end(), rec, ByCall), rec);
    }
    if (OnChanged)
        OnChanged(key, rec);
}

void TSameCallIndex::QsoDeleting(TQsoRecord* rec)
{
    const std::string key = KeyOf(rec->Call.view());
    if (Designated(*rec)) {
        auto it = designated_.find(key);
        auto holds = [rec](const auto& g) { return std::find(g.second.begin(), g.second.end(), rec) != g.second.end(); };
        // Not under its call's base: its call was changed in place since it was grouped.
        if (it == designated_.end() || !holds(*it))
            it = std::find_if(designated_.begin(), designated_.end(), holds);
        if (it != designated_.end()) {
            auto& group = it->second;
            group.erase(std::find(group.begin(), group.end(), rec));
            if (group.empty())
                designated_.erase(it);
        }
    }
    going_ = rec;
    if (OnChanged)
        OnChanged(key, rec);
    going_ = nullptr;
}

void TSameCallIndex::QsosReset()
{
    Build();
    if (OnChanged)
        OnChanged({}, nullptr);
}

void TSameCallIndex::LogGone()
{
    log_ = nullptr;
    designated_.clear();
    if (OnChanged)
        OnChanged({}, nullptr);
}

} // namespace korval
