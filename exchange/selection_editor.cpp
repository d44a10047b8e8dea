#include "exchange/selection_editor.h"

#include "logbook/base/string_utils.h"
#include "logbook/qso_data.h"
#include "platform/message_dlg.h"

namespace korval {

namespace {

TQsoSelection NewSelection()
{
    TQsoSelection s = TQsoSelection::AllQsos();
    s.Name.assign(TSelectionEditor::kNewName);
    return s;
}

} // namespace

TSelectionEditor::TSelectionEditor(const TQsoData& log) : work_(log.Selections)
{
    Show(log.SelectionIndex);
    modified_ = false;
}

void TSelectionEditor::Show(int i)
{
    if (i < 0 || i >= Count()) {
        shown_ = 0;
        edited_ = TQsoSelection::AllQsos();
        edited_.Name.clear();
        return;
    }
    shown_ = i;
    edited_ = work_[static_cast<std::size_t>(i)];
}

void TSelectionEditor::ToggleGroup(int group)
{
    if (group >= 0 && group < TQsoSelection::kQrpOnlyBit)
        edited_.SetBit(group, !edited_.Bit(group));
}

std::string TSelectionEditor::GroupRow(int group, const std::string& name) const
{
    const bool in = group >= 0 && group < TQsoSelection::kQrpOnlyBit && edited_.Bit(group);
    return std::string(in ? "x" : " ") + "  " + ZeroPadNumber(static_cast<std::uint32_t>(group), 3) + "  " + name;
}

void TSelectionEditor::Add()
{
    work_.push_back(NewSelection());
    Show(Count() - 1);
    modified_ = true;
}

void TSelectionEditor::Delete()
{
    if (!Editable())
        return;
    work_.erase(work_.begin() + shown_);
    Show(shown_ < Count() ? shown_ : Count() - 1);
    modified_ = true;
}

bool TSelectionEditor::Update(bool dateFilter, bool groupFilter, TDayNumber first, TDayNumber last,
                              const std::string& name, bool qrp, bool yl)
{
    if (!Editable())
        return false;
    edited_.DateRange = dateFilter ? 1 : 0;
    edited_.GroupFlag = groupFilter ? 1 : 0;
    edited_.FromDate = first;
    edited_.ToDate = last == 0 ? kOpenEnd : last;
    edited_.Name.assign(std::string_view(name).substr(0, kNameLength));
    bool stored = false;
    if (edited_.FromDate <= edited_.ToDate) {
        edited_.SetBit(TQsoSelection::kQrpOnlyBit, qrp);
        edited_.SetBit(TQsoSelection::kYlOnlyBit, yl);
        work_[static_cast<std::size_t>(shown_)] = edited_;
        modified_ = true;
        stored = true;
    } else {
        MessageDlg("Please check your dates", TMsgDlgType::mtWarning, mbOK);
    }
    Show(shown_);
    return stored;
}

TSelectionEditor::TAcceptResult TSelectionEditor::Accept(TQsoData& log)
{
    if (!modified_ && shown_ == log.SelectionIndex)
        return arCancelled;
    TAcceptResult result = arSwitched;
    if (modified_) {
        log.Selections = work_;
        log.SetModified();
        result = arReplaced;
    }
    log.SelectionIndex = shown_ < static_cast<int>(log.Selections.size()) ? shown_ : 0;
    log.Selection = log.Selections[static_cast<std::size_t>(log.SelectionIndex)];
    log.MarkAwardStatusNotBuilt();
    return result;
}

} // namespace korval
