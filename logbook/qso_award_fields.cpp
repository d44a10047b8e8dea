#include "logbook/qso_award_fields.h"

#include <algorithm>
#include <utility>

#include "logbook/bands_modes.h"
#include "logbook/custom_award.h"
#include "logbook/base/string_utils.h"

namespace korval {

void TQsoAwardFields::Fill(const std::string& id, const std::string& value, bool search)
{
    const TCustAwardList& list = CustAwardList();
    std::vector<std::pair<std::string, std::string>> items;  // name, id
    const std::string prefix = UpperAscii(TrimSpaces(fields_.Text[fPrefix]));
    const int band = fields_.Sel[fBand], group = ModeGroup(fields_.Sel[fMode]);
    for (int i = 0; i < list.Count(); ++i) {
        const TCustAward& a = list.At(i);
        if (!search && (!a.HasPrefix(prefix) || band < 1 || band > 15 || !a.Bands[static_cast<std::size_t>(band)] ||
                        group < 1 || !a.Modes[static_cast<std::size_t>(group)]))
            continue;
        items.emplace_back(a.LongName, a.ID);
    }
    std::sort(items.begin(), items.end());
    names_ = {"---"};
    ids_ = {""};
    for (auto& [name, aid] : items) {
        names_.push_back(name);
        ids_.push_back(aid);
    }
    int sel = search ? 0 : 1;
    if (!search)
        for (std::size_t i = 1; i < ids_.size(); ++i)
            if (!id.empty() && ids_[i] == id)
                sel = static_cast<int>(i) + 1;
    fields_.Sel[fAwdType] = sel;
    const TCustAward* a = sel > 1 ? list.Find(ids_[static_cast<std::size_t>(sel - 1)]) : nullptr;
    fields_.AwdSelVisible = a && a->HasValueTable();
    fields_.AwdValVisible = a && !a->HasValueTable();
    ShowValue(value, search);
    fields_.Modified[fAwdType] = fields_.EverModified[fAwdType] = false;
}

std::string TQsoAwardFields::SelectedId() const
{
    const int sel = fields_.Sel[fAwdType];
    return sel > 1 && sel - 1 < static_cast<int>(ids_.size()) ? ids_[static_cast<std::size_t>(sel - 1)]
                                                               : std::string();
}

void TQsoAwardFields::ShowValue(const std::string& value, bool search)
{
    const TCustAward* a = CustAwardList().Find(SelectedId());
    fields_.Text[fAwdSel].clear();
    fields_.Text[fAwdVal].clear();
    if (a && a->HasValueTable()) {
        const auto& vals = a->Values();
        if (!vals.empty() && (!value.empty() || !search)) {
            std::string name = vals.front().second;
            for (const auto& [k, n] : vals)
                if (k == value)
                    name = n;
            fields_.Text[fAwdSel] = name;
        }
    } else if (a) {
        fields_.Text[fAwdVal] = value;
    }
    fields_.Modified[fAwdSel] = fields_.Modified[fAwdVal] = false;
}

void TQsoAwardFields::Take(TQsoRecord& rec) const
{
    const TCustAward* a = CustAwardList().Find(SelectedId());
    if (!a) {
        rec.CustAwdId.clear();
        rec.CustAwdVal.clear();
        return;
    }
    rec.CustAwdId.assign(a->ID.substr(0, 4));
    std::string v = fields_.Text[fAwdVal];
    if (a->HasValueTable()) {
        const auto& vals = a->Values();
        v = vals.empty() ? std::string() : vals.front().first;
        for (const auto& [k, n] : vals)
            if (n == fields_.Text[fAwdSel])
                v = k;
    }
    rec.CustAwdVal.assign(TrimSpaces(v).substr(0, 8));
}

void TQsoAwardFields::Refresh(bool search)
{
    TQsoRecord r;
    Take(r);
    auto& ever = fields_.EverModified;
    const bool m1 = ever[fAwdType], m2 = ever[fAwdSel], m3 = ever[fAwdVal];
    Fill(r.CustAwdId.str(), r.CustAwdVal.str(), search);
    ever[fAwdType] = m1;
    ever[fAwdSel] = m2;
    ever[fAwdVal] = m3;
}

} // namespace korval
