#include "logbook/picklist_model.h"

#include <algorithm>
#include <unordered_map>

#include "logbook/base/sorted_collection.h"
#include "logbook/base/string_utils.h"

namespace korval {

TPicklistModel::TPicklistModel(const TTwoIndex& list, int firstIndex)
    : list_(list), first_(std::clamp(firstIndex, 0, std::max(0, list.Count())))
{
    Fill();
    Select(0);
}

void TPicklistModel::Fill()
{
    lines_.clear();
    longest_ = 10;
    const int count = list_.Count();
    // Name order shows the same records as key order, sorted by their names.
    std::vector<int> keyIndexes;
    if (byName_) {
        std::unordered_map<const void*, int> keyIndexOf;
        for (int i = first_; i < count; ++i)
            keyIndexOf.emplace(list_.At(i), i);
        for (int i = 0; i < list_.ByTail().Count(); ++i)
            if (auto it = keyIndexOf.find(list_.ByTail().At(i)); it != keyIndexOf.end())
                keyIndexes.push_back(it->second);
    } else {
        for (int i = first_; i < count; ++i)
            keyIndexes.push_back(i);
    }
    lines_.reserve(keyIndexes.size());
    for (int k : keyIndexes) {
        std::string key, name;
        list_.GetKeyString(k, key);
        list_.GetTail(k, name);
        longest_ = std::max(longest_, static_cast<int>(name.size()));
        TLine line{PadRight(key, 7) + "| " + name, UpperAscii(byName_ ? name : key), k};
        lines_.push_back(std::move(line));
    }
}

void TPicklistModel::SetByName(bool on)
{
    if (on == byName_)
        return;
    const int chosen = Chosen();
    byName_ = on;
    Fill();
    search_.clear();
    selected_ = lines_.empty() ? -1 : 0;
    for (int i = 0; i < LineCount(); ++i)
        if (lines_[static_cast<std::size_t>(i)].keyIndex == chosen)
            selected_ = i;
}

void TPicklistModel::Select(int line)
{
    selected_ = lines_.empty() ? -1 : std::clamp(line, 0, LineCount() - 1);
}

bool TPicklistModel::Type(char c)
{
    if (c == '\b') {
        if (!search_.empty())
            search_.pop_back();
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == ' ') {
        search_ += c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    } else {
        return false;
    }
    Search();
    return true;
}

void TPicklistModel::Search()
{
    for (;;) {
        for (int i = 0; i < LineCount(); ++i) {
            const std::string& m = lines_[static_cast<std::size_t>(i)].match;
            if (m.compare(0, search_.size(), search_) == 0) {
                selected_ = i;
                return;
            }
        }
        // Nothing begins so: the longest beginning that some line has stays.
        if (search_.empty())
            return;
        search_.pop_back();
    }
}

int TPicklistModel::Chosen() const
{
    return selected_ >= 0 && selected_ < LineCount() ? lines_[static_cast<std::size_t>(selected_)].keyIndex : -1;
}

} // namespace korval
