#include "grids/choice_list.h"

#include <algorithm>
#include <cctype>

namespace korval {

namespace {

char Upper(char c)
{
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

int CompareText(std::string_view a, std::string_view b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char x = Upper(a[i]), y = Upper(b[i]);
        if (x != y)
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y) ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

// ---- TPopupItems ----

void TPopupItems::SetString(int index, std::string text)
{
    lines_.at(static_cast<size_t>(index)).text = std::move(text);
    Notify(TChange::Reset, -1);
}

int TPopupItems::Add(std::string text, intptr_t object)
{
    int index = Count();
    if (sorted_) {
        auto it = std::upper_bound(lines_.begin(), lines_.end(), text,
                                   [](const std::string& t, const Line& l) { return CompareText(t, l.text) < 0; });
        index = static_cast<int>(it - lines_.begin());
    }
    lines_.insert(lines_.begin() + index, Line{std::move(text), object});
    Notify(TChange::Inserted, index);
    return index;
}

void TPopupItems::Insert(int index, std::string text, intptr_t object)
{
    index = std::clamp(index, 0, Count());
    lines_.insert(lines_.begin() + index, Line{std::move(text), object});
    Notify(TChange::Inserted, index);
}

void TPopupItems::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    lines_.erase(lines_.begin() + index);
    Notify(TChange::Deleted, index);
}

void TPopupItems::Clear()
{
    lines_.clear();
    Notify(TChange::Reset, -1);
}

void TPopupItems::Assign(const std::vector<std::string>& texts)
{
    lines_.clear();
    for (const auto& t : texts)
        lines_.push_back(Line{t, 0});
    if (sorted_)
        std::stable_sort(lines_.begin(), lines_.end(),
                         [](const Line& a, const Line& b) { return CompareText(a.text, b.text) < 0; });
    Notify(TChange::Reset, -1);
}

int TPopupItems::IndexOf(std::string_view text) const
{
    for (int i = 0; i < Count(); ++i)
        if (CompareText(lines_[static_cast<size_t>(i)].text, text) == 0)
            return i;
    return -1;
}

void TPopupItems::SetSorted(bool sorted)
{
    if (sorted == sorted_)
        return;
    sorted_ = sorted;
    if (sorted_) {
        std::stable_sort(lines_.begin(), lines_.end(),
                         [](const Line& a, const Line& b) { return CompareText(a.text, b.text) < 0; });
        Notify(TChange::Reset, -1);
    }
}

// ---- TChoiceModel ----

TChoiceModel::TChoiceModel()
{
    // The selection follows the lines it was on; a deleted selected line leaves none selected.
    Items.OnChange = [this](TPopupItems::TChange change, int index) {
        int old = itemIndex_;
        switch (change) {
        case TPopupItems::TChange::Inserted:
            if (itemIndex_ >= index && itemIndex_ >= 0)
                ++itemIndex_;
            break;
        case TPopupItems::TChange::Deleted:
            if (itemIndex_ == index)
                itemIndex_ = -1;
            else if (itemIndex_ > index)
                --itemIndex_;
            break;
        case TPopupItems::TChange::Reset:
            if (itemIndex_ >= Items.Count())
                itemIndex_ = -1;
            break;
        }
        if (old != itemIndex_ && OnSelChange)
            OnSelChange();
    };
}

void TChoiceModel::SetListIndex(int index)
{
    if (index < 0 || index >= Items.Count())
        index = -1;
    if (index == itemIndex_)
        return;
    itemIndex_ = index;
    if (OnSelChange)
        OnSelChange();
}

void TChoiceModel::SetItemIndex(int index)
{
    SetListIndex(index);
    TakeTextFromSelection();
}

void TChoiceModel::SetText(const std::string& text)
{
    ChangeText(text, true);
}

void TChoiceModel::EditText(const std::string& text)
{
    ChangeText(text, false);
}

void TChoiceModel::ChangeText(const std::string& text, bool fromSetText)
{
    if (text == text_)
        return;
    text_ = text;
    TextChanged();
    // Typing in a free-text box with the list open leaves no line claiming to be the value.
    if (Style == pbsDropDown && Dropped && !fromSetText)
        SetListIndex(-1);
    if (OnChange)
        OnChange();
}

bool TChoiceModel::TakeTextFromSelection()
{
    if (itemIndex_ < 0)
        return false;
    std::string value = Items[itemIndex_];
    bool allowed = !ReadOnly;
    if (OnSetFieldValue)
        OnSetFieldValue(itemIndex_, value, allowed);
    if (allowed)
        SetText(value);
    return allowed;
}

void TChoiceModel::MatchText()
{
    if (text_.empty()) {
        if (itemIndex_ < 0 && Items.Count() > 0)
            SetListIndex(0);
        return;
    }
    int best = -1;
    size_t bestLength = 0;
    for (int i = 0; i < Items.Count(); ++i) {
        const std::string& item = Items[i];
        size_t n = 0;
        while (n < item.size() && n < text_.size() && Upper(item[n]) == Upper(text_[n]))
            ++n;
        if (n == item.size() && n == text_.size()) {
            best = i;
            break;
        }
        if (Style == pbsDropDownList && n > bestLength) {
            bestLength = n;
            best = i;
        }
    }
    SetListIndex(best);
}

bool TChoiceModel::Step(int target)
{
    if (target < 0 || target >= Items.Count())
        return true; // beyond either end: nothing moves, the key is still the box's
    SetListIndex(target);
    return true;
}

bool TChoiceModel::KeyDown(TChoiceKey key)
{
    const int count = Items.Count();
    const int cur = itemIndex_;
    if (Dropped) {
        if (Style == pbsDropDown &&
            (key == TChoiceKey::End || key == TChoiceKey::Home || key == TChoiceKey::Left || key == TChoiceKey::Right))
            return false;
        int target = cur;
        switch (key) {
        case TChoiceKey::Up:
        case TChoiceKey::Left:
            target = cur > 0 ? cur - 1 : cur;
            break;
        case TChoiceKey::Down:
        case TChoiceKey::Right:
            target = cur < count - 1 ? cur + 1 : cur;
            break;
        case TChoiceKey::PgUp:
            target = std::max(0, cur - std::max(1, PageLines - 1));
            break;
        case TChoiceKey::PgDn:
            target = std::min(count - 1, cur + std::max(1, PageLines - 1));
            break;
        case TChoiceKey::Home:
            target = 0;
            break;
        case TChoiceKey::End:
            target = count - 1;
            break;
        }
        if (count > 0)
            SetListIndex(target);
        if (Style == pbsDropDown)
            TakeTextFromSelection();
        return true;
    }
    if (IgnoreArrowKeys)
        return false;
    int target;
    switch (key) {
    case TChoiceKey::PgUp:
    case TChoiceKey::Up:
        target = cur - 1;
        break;
    case TChoiceKey::PgDn:
    case TChoiceKey::Down:
        target = cur + 1;
        break;
    case TChoiceKey::Left:
        if (Style == pbsDropDown)
            return false;
        target = cur - 1;
        break;
    case TChoiceKey::Right:
        if (Style == pbsDropDown)
            return false;
        target = cur + 1;
        break;
    case TChoiceKey::Home:
        if (Style == pbsDropDown)
            return false;
        target = 0;
        break;
    case TChoiceKey::End:
        if (Style == pbsDropDown)
            return false;
        target = count - 1;
        break;
    default:
        return false;
    }
    if (target < 0 || target >= count)
        return true;
    Step(target);
    TakeTextFromSelection();
    return true;
}

int TChoiceModel::FindPrefix(const std::string& prefix, int from) const
{
    const int count = Items.Count();
    auto starts = [&](int i) {
        const std::string& item = Items[i];
        if (item.size() < prefix.size())
            return false;
        for (size_t k = 0; k < prefix.size(); ++k)
            if (Upper(item[k]) != Upper(prefix[k]))
                return false;
        return true;
    };
    for (int n = 0; n < count; ++n) {
        const int i = (std::max(from, 0) + n) % count;
        if (starts(i))
            return i;
    }
    return -1;
}

bool TChoiceModel::KeyChar(char ch, std::int64_t nowMs)
{
    if (Style != pbsDropDownList || static_cast<unsigned char>(ch) < 32)
        return false;
    if (Items.Count() == 0)
        return true;
    const bool goesOn = nowMs != kKeyAfterPause && !typed_.empty() && nowMs - lastKeyMs_ <= TypeAheadPauseMs;
    lastKeyMs_ = nowMs;
    typed_ = goesOn ? typed_ + ch : std::string(1, ch);
    bool oneLetter = true;
    for (char c : typed_)
        oneLetter = oneLetter && Upper(c) == Upper(typed_[0]);
    int found = -1;
    if (!oneLetter)
        found = FindPrefix(typed_, itemIndex_);  // the current line may already fit the longer prefix
    if (found < 0) {
        // A letter that extends no prefix starts a new one.
        if (!oneLetter)
            typed_.assign(1, ch);
        found = FindPrefix(std::string(1, ch), itemIndex_ + 1);
    }
    if (found >= 0) {
        SetListIndex(found);
        if (!Dropped)
            TakeTextFromSelection();
    }
    return true;
}

// ---- TWheelxModel ----

TWheelxModel::TWheelxModel() = default;

void TWheelxModel::SetSelection(int value)
{
    int index = value - offset_;
    index = std::min(std::max(index, 0), Items.Count() - 1);
    SetItemIndex(index);
    Changed = 0;
}

void TWheelxModel::SetAllowDefault(bool value)
{
    // The blank first item is looked at, not assumed: items may have been given after the
    // switch was set, and taking away a real first item would shift every selection by one.
    allowDefault_ = value;
    const bool hasBlank = Items.Count() > 0 && Items[0] == " ";
    if (value && !hasBlank)
        Items.Insert(0, " ");
    else if (!value && hasBlank)
        Items.Delete(0);
    offset_ = value ? 0 : 1;
}

} // namespace korval
