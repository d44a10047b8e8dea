#include "exchange/group_names_editor.h"

#include <array>

#include "logbook/base/string_utils.h"
#include "logbook/config_record.h"
#include "logbook/qso_data.h"
#include "platform/message_dlg.h"

namespace korval {

namespace {

std::string Cut(const std::string& name) { return name.substr(0, TGroupNamesEditor::kNameLength); }

} // namespace

TGroupNamesEditor::TGroupNamesEditor(const TQsoData& log) : uses_(256, 0)
{
    for (std::size_t i = 0; i < log.GroupNames.size(); ++i)
        names_.push_back({log.GroupNames[i], static_cast<int>(i) + 1});
    for (const TQsoRecord* q : log.Qsos())
        ++uses_[q->Group];
    selected_ = names_.empty() ? -1 : 0;
}

std::string TGroupNamesEditor::Row(int row) const
{
    return ZeroPadNumber(static_cast<std::uint32_t>(row + 1), 3) + " " + Name(row);
}

std::string TGroupNamesEditor::SelectedName() const { return selected_ < 0 ? std::string() : Name(selected_); }

void TGroupNamesEditor::Select(int row)
{
    if (row >= 0 && row < Count())
        selected_ = row;
}

bool TGroupNamesEditor::Room() const
{
    if (Count() < kMaxNames)
        return true;
    MessageDlg("A log holds at most " + std::to_string(kMaxNames) + " group names", TMsgDlgType::mtWarning, mbOK);
    return false;
}

bool TGroupNamesEditor::Add(const std::string& name)
{
    if (!Room())
        return false;
    names_.push_back({Cut(name), 0});
    selected_ = Count() - 1;
    return true;
}

bool TGroupNamesEditor::Change(const std::string& name)
{
    if (selected_ < 0)
        return false;
    names_[static_cast<std::size_t>(selected_)].name = Cut(name);
    return true;
}

bool TGroupNamesEditor::Delete()
{
    if (selected_ < 0)
        return false;
    const TEntry& e = names_[static_cast<std::size_t>(selected_)];
    const long used = e.origin > 0 ? uses_[static_cast<std::size_t>(e.origin)] : 0;
    if (used > 0 && MessageDlg(CountText(used, "QSO") + "of group \"" + e.name +
                                   "\" will have no group.\rDelete the name all the same?",
                               TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return false;
    names_.erase(names_.begin() + selected_);
    if (names_.empty())
        selected_ = -1;
    else if (selected_ >= Count())
        selected_ = Count() - 1;
    return true;
}

bool TGroupNamesEditor::Insert(const std::string& name)
{
    if (selected_ < 0)
        return Add(name);
    if (!Room())
        return false;
    names_.insert(names_.begin() + selected_, {Cut(name), 0});
    ++selected_;
    return true;
}

void TGroupNamesEditor::Apply(TQsoData& log) const
{
    // The new number of every old group: its name's new place, 0 for a deleted name, and itself
    // for a number that had no name.
    std::array<std::uint8_t, 256> to{};
    for (int g = 0; g < 256; ++g)
        to[static_cast<std::size_t>(g)] = static_cast<std::uint8_t>(
            g == 0 || g > static_cast<int>(log.GroupNames.size()) ? g : 0);
    for (int i = 0; i < Count(); ++i)
        if (const int origin = names_[static_cast<std::size_t>(i)].origin; origin > 0)
            to[static_cast<std::size_t>(origin)] = static_cast<std::uint8_t>(i + 1);
    bool moves = false;
    for (int g = 0; g < 256; ++g)
        moves = moves || to[static_cast<std::size_t>(g)] != g;
    log.GroupNames.clear();
    for (const TEntry& e : names_)
        log.GroupNames.push_back(e.name);
    if (moves) {
        for (TQsoRecord* q : log.Qsos())
            q->Group = to[q->Group];
        // A selection's set names groups by number: the bits follow their groups; the QRP and
        // YL bits stay where they are.
        auto remap = [&to](TQsoSelection& s) {
            TQsoSelection old = s;
            for (int g = 0; g < TQsoSelection::kQrpOnlyBit; ++g)
                s.SetBit(g, false);
            for (int g = 0; g < TQsoSelection::kQrpOnlyBit; ++g)
                if (old.Bit(g) && (g == 0 || to[static_cast<std::size_t>(g)] != 0))
                    s.SetBit(to[static_cast<std::size_t>(g)], true);
        };
        for (TQsoSelection& s : log.Selections)
            remap(s);
        remap(log.Selection);
        Config.SetMergeGroup(to[Config.MergeGroup()]);
        log.ReorderAfterEdits();
        log.MarkAwardStatusNotBuilt();
    }
    log.SetModified();
}

} // namespace korval
