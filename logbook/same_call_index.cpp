#include "logbook/same_call_index.h"

#include <algorithm>

#include "logbook/base/string_utils.h"
#include "logbook/call_lookup.h"
#include "logbook/qso_data.h"

namespace korval {

namespace {

bool ByCall(const TQsoRecord* a, const TQsoRecord* b) { return CompareQsoByCall(a, b) < 0; }

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
    groups_.clear();
    if (!log_)
        return;
    // Walked in by-call order, each group comes out in that order; a call's base is worked out
    // once for all its QSOs.
    std::string lastCall, key;
    std::vector<TQsoRecord*>* group = nullptr;
    for (TQsoRecord* r : log_->ByCall().Items()) {
        if (!group || r->Call.view() != lastCall) {
            lastCall = r->Call.str();
            key = KeyOf(lastCall);
            group = &groups_[key];
        }
        group->push_back(r);
    }
}

const std::vector<TQsoRecord*>& TSameCallIndex::QsosOf(std::string_view call) const
{
    static const std::vector<TQsoRecord*> none;
    const auto it = groups_.find(KeyOf(call));
    return it == groups_.end() ? none : it->second;
}

void TSameCallIndex::QsoInserted(TQsoRecord* rec)
{
    const std::string key = KeyOf(rec->Call.view());
    auto& group = groups_[key];
    group.insert(std::lower_bound(group.begin(), group.end(), rec, ByCall), rec);
    if (OnChanged)
        OnChanged(key);
}

void TSameCallIndex::QsoDeleting(TQsoRecord* rec)
{
    std::string key = KeyOf(rec->Call.view());
    auto it = groups_.find(key);
    if (it == groups_.end() || std::find(it->second.begin(), it->second.end(), rec) == it->second.end()) {
        // Not under its call's base (its call was changed in place): look in every group.
        it = std::find_if(groups_.begin(), groups_.end(), [rec](const auto& g) {
            return std::find(g.second.begin(), g.second.end(), rec) != g.second.end();
        });
        if (it == groups_.end())
            return;
        key = it->first;
    }
    auto& group = it->second;
    group.erase(std::remove(group.begin(), group.end(), rec), group.end());
    if (group.empty())
        groups_.erase(it);
    if (OnChanged)
        OnChanged(key);
}

void TSameCallIndex::QsosReset()
{
    Build();
    if (OnChanged)
        OnChanged({});
}

void TSameCallIndex::LogGone()
{
    log_ = nullptr;
    groups_.clear();
    if (OnChanged)
        OnChanged({});
}

} // namespace korval
